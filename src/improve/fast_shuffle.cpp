#include "improve/fast_shuffle.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "base/log.h"
#include "base/run_settings.h"
#include "improve/shuffler.h"

void shuffleAssertFailed(const char* expression) {
    std::fprintf(stderr, "Assertion failed: %s, file fastshufle\n", expression);
    std::fflush(stderr);
    std::abort();
}

void FastShuffle(SearchSpace& space, ShuffleTables& tables) { Shuffler(space, tables).run(); }

void FastShuffle(SearchSpace& space) {
    ShuffleTables tables;
    FastShuffle(space, tables);
}

Shuffler::Shuffler(SearchSpace& space, ShuffleTables& tables)
    : space(space),
      problem(space.problem),
      tables(tables),
      nbSlots(space.problem.nbSlots),
      slotsPerDay(space.problem.slotsPerDay) {}

void Shuffler::run() {
    if (logLevel(20)) logPrint("Fast shufle\n");
    setUp();
    const int n = static_cast<int>(problem.activities.size());
    for (;;) {
        const int prev = space.myScore;
        if (logLevel(20)) logPrint("  Starting new pass (score = %d)\n", prev);
        for (int a = 0; a < n; a++) activityStep(a, prev);
        if (space.myScore == prev) {
            if (logLevel(10)) logPrint("Fast shufle gives score %d\n", space.myScore);
            return;
        }
    }
}

void Shuffler::setUp() {
    buildWorkingCopies();
    buildResourceUse();
}

// The day loads and continuity spans of the stored timetable. They are built
// from time_sel itself, which describes the same placements as the space's
// own tables when the driver has just stored a solution, and stays right for
// a timetable put into time_sel by other means.
void Shuffler::buildWorkingCopies() {
    const int days = problem.days;
    for (int w = 0; w < 2; w++) {
        space.fsContStart[w].assign(problem.nbContres, std::vector<int>(days, nbSlots));
        space.fsContStop[w].assign(problem.nbContres, std::vector<int>(days, 0));
    }
    space.fsMdLoad.assign(problem.nbMdres, std::vector<int>(days, 0));
    space.fsMdDays.assign(problem.nbMdres, 0);
    contSpan.assign(problem.nbContres, 0);
    contPlacedWeeks.assign(problem.nbContres, 0);

    const int n = static_cast<int>(problem.activities.size());
    for (int a = 0; a < n; a++) {
        const int t = space.time_sel[a];
        if (t < 0) continue;
        const Activity& act = problem.activities[a];
        const int d = dayOf(t);
        for (int r : act.reqRes) {
            const Resource& res = problem.resources[r];
            if (res.mdres >= 0) {
                int& load = space.fsMdLoad[res.mdres][d];
                if (load == 0) space.fsMdDays[res.mdres]++;
                load += act.weekLoad;
            }
            if (res.contres < 0) continue;
            const int c = res.contres;
            contPlacedWeeks[c] += Weeks::count(act.week);
            const int stop = breakEnd(r, t + act.length) - 1;
            for (int w = 0; w < 2; w++) {
                if (!Weeks::holds(act.week, w)) continue;
                int& cellStart = space.fsContStart[w][c][d];
                int& cellStop = space.fsContStop[w][c][d];
                cellStart = std::min(cellStart, t);
                cellStop = std::max(cellStop, stop);
            }
        }
    }
    for (int c = 0; c < problem.nbContres; c++)
        for (int w = 0; w < 2; w++)
            for (int d = 0; d < days; d++)
                if (space.fsContStart[w][c][d] <= space.fsContStop[w][c][d])
                    contSpan[c] += space.fsContStop[w][c][d] - space.fsContStart[w][c][d] + 1;
}

// FSResUsed: the weeks in which every resource is held at every slot by the
// placed activities (breaks included), and the resources' own unavailable slots.
void Shuffler::buildResourceUse() {
    tables.resUsed.assign(problem.resources.size() * static_cast<std::size_t>(nbSlots), 0);
    const int n = static_cast<int>(problem.activities.size());
    for (int a = 0; a < n; a++) {
        const int t = space.time_sel[a];
        if (t < 0) continue;
        const Activity& act = problem.activities[a];
        auto hold = [&](int r) {
            std::uint8_t* row = resUsedRow(r);
            const int end = breakEnd(r, t + act.length);
            for (int s = t; s < end; s++) row[s] |= act.week;
        };
        for (int r : act.reqRes) hold(r);
        for (std::size_t k = 0; k < act.reqGroups.size(); k++) {
            const int r = space.solGrsel[act.grsel + k];
            shuffleAssert(r >= 0, "solGrsel[act.grsel+k]>=0");
            hold(r);
        }
    }
    for (std::size_t r = 0; r < problem.resources.size(); r++) {
        std::uint8_t* row = resUsedRow(static_cast<int>(r));
        for (int u : problem.resources[r].timePrefs.unavail) row[u] |= unavailableFlag;
    }
}
