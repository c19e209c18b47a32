#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "problem/problem_data.h"
#include "problem/weeks.h"
#include "improve/shuffle_tables.h"
#include "space/search_space.h"

// Flag bits of FSResUsed.
constexpr std::uint8_t heldWeeks = Weeks::both, unavailableFlag = 4;

// Result of an attempt to slide an activity: whether the start is possible,
// and the next start worth trying.
struct MoveResult {
    bool possible;
    int next;
};

// One run of the fast shuffle over the solution stored in a space
// (time_sel, solGrsel, myScore). The running score stays equal to the
// judgement of the timetable held whenever an activity step ends.
class Shuffler {
public:
    Shuffler(SearchSpace& space, ShuffleTables& tables);
    // Passes over all activities until one leaves the score unchanged.
    void run();

    // Called with the activity after each activity step, when set: tests
    // compare the running score with the judgement there.
    std::function<void(int)> afterStep;

private:
    // --- set-up (fast_shuffle.cpp) ---
    void setUp();
    void buildWorkingCopies();
    void buildResourceUse();

    // --- the activity step (activity_step.cpp) ---
    void activityStep(int a, int passStart);
    void restrictDays(int a);
    void restrictToDependences(int a);
    void releaseGroupResources(int a);
    void applyGroupResources(int a);
    void settleDayLoads(int a);
    void buildResScore(int a);

    // --- sliding (slide.cpp) ---
    MoveResult moveActivity(int a, int newT);
    MoveResult tryInsert(int a, int t, int n, bool withBreak);
    void removePiece(int a, int t, int n, bool withBreak);
    void insertPiece(int a, int t, int n, bool withBreak);
    void updateResScore(int a, int t, int n, int sign);
    // First slot in t..end-1 at which resource r collides with activity a
    // (the slots from pieceEnd on are break slots), or -1.
    int firstCollision(int a, int r, int t, int pieceEnd, int end) const;
    bool chooseGroupResources(int a);

    // --- costs (shuffle_costs.cpp) ---
    void addGroupCost(int a, int sign);
    int balancedCharge(int r, int load, int weekLoad) const;
    int balancedCost(int a, int t) const;
    int resourcePreferenceCorrection(int a, int t) const;
    int softDependenceCost(int a, int t) const;
    int continuityCharge(int r) const;
    void setContinuityCell(int r, int w, int d, int start, int stop);
    void continuityInsertion(int r, int w, int t, int e);
    void continuityRemoval(int r, int w, int t, int e);
    void markPlaced(int a, bool placed);
    void checkScore() const;

    // --- helpers ---
    std::uint8_t* resUsedRow(int r) { return tables.resUsed.data() + r * nbSlots; }
    const std::uint8_t* resUsedRow(int r) const { return tables.resUsed.data() + r * nbSlots; }
    int* resScoreOf(int k) { return tables.resScore.data() + tables.resOffset[k]; }
    int dayOf(int slot) const { return slot / slotsPerDay; }
    // One past the last slot r is blocked by a piece ending before pieceEnd,
    // with its break: never past the end of that day.
    int breakEnd(int r, int pieceEnd) const {
        const int dayEnd = (dayOf(pieceEnd - 1) + 1) * slotsPerDay;
        const int end = pieceEnd + problem.resources[r].breakSlots;
        return end < dayEnd ? end : dayEnd;
    }

    SearchSpace& space;
    const ProblemData& problem;
    ShuffleTables& tables;
    const int nbSlots;
    const int slotsPerDay;

    // State of the activity being moved.
    int curLength = 0;      // its slots currently applied
    bool breakReq = false;  // the break slots after them are applied
    bool firstTime = false; // its costs are being built: no checks, no resScore log

    // Continuity, per contres: the sum over both weeks and the days with a
    // booking of stop - start + 1 in the working copies, and the weeks of the
    // resource's direct activities that are placed.
    std::vector<int> contSpan;
    std::vector<int> contPlacedWeeks;
};

// Internal check of the shuffle's bookkeeping: prints the expression and the
// source name "fastshufle", then aborts.
[[noreturn]] void shuffleAssertFailed(const char* expression);
inline void shuffleAssert(bool holds, const char* expression) {
    if (!holds) shuffleAssertFailed(expression);
}
