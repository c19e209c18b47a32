#pragma once
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "base/run_settings.h"
#include "problem/problem_data.h"
#include "problem/solution_record.h"
#include "problem/weeks.h"
#include "space/activity_queue.h"
#include "space/propagator_statistics.h"
#include "space/propagator_store.h"
#include "space/propagators.h"
#include "space/search_failure.h"
#include "space/slot_bits.h"

// The state of one search over a problem: a start-time variable per activity,
// the propagators between them, the booking of resources, the decision levels
// and the journals that undo decisions.
//
// Failures inside the search travel as a thrown Contradiction (the activity
// whose domain became empty or that found no free resource) or BoundReached
// (the score reached the bound); see search_failure.h. The decision
// operations catch them and mark the space failed. Inside the propagation
// loop the propagators return the same failure instead (see propagators.h),
// and the loop marks the space failed with failedVar recorded alike.

// Start-time variable of one activity.
struct TimeVar {
    SlotBits possible;                            // bit s set while start s is allowed
    std::vector<Propagators::Propagator*> watchers;  // attached propagators
    int min = 0;          // lowest allowed start
    int max = 0;          // highest allowed start
    int changedAt = 1;    // stamp of the last bound change
    int processedAt = 0;  // stamp when its propagators last ran

    bool fixed() const { return min == max; }
    bool allows(int s) const { return s >= min && s <= max && possible.test(s); }
    // Lowest allowed start >= s, or -1 when none is left.
    int nextAllowed(int s) const {
        const int next = possible.nextSet(s < min ? min : s);
        return next > max ? -1 : next;
    }
    int allowedCount() const { return possible.count(min, max); }
};

// One decision level: the activity decided there, the start the first approach
// computed for it, and one candidate resource list per requirement group
// handled so far (the newest belongs to the group being chosen).
struct LevelFrame {
    int activity = -1;
    int start = -1;
    std::vector<std::vector<int>> pending;

    bool operator==(const LevelFrame& other) const = default;
};

// Everything a search needs to go back to an earlier point; the taker keeps it.
struct JournalMark {
    int values = 0;       // size of journal_values
    int propagators = 0;  // size of journal_propagators
    int cont = 0;         // size of journal_cont
    int myScore = 0;
    int randseed = 0;
    int noOfWaiting = 0;
    int levels = 0;       // number of frames in levels
    int pending = 0;      // pending lists in the top frame
    int selection = 0;    // size of journal_selection
};

// Group counts at one slot: members taken in the even week only, in the odd
// week only, and free in both weeks. A member's count sits at index
// ((~flags) & 3) - 1; a member taken in both weeks is counted nowhere.
using GroupCounts = std::array<int, 3>;

// cont_start / cont_stop shape: [week index][contres][day].
using ContTable = std::array<std::vector<std::vector<int>>, 2>;

struct RemovedStart {
    int activity, start;
    bool operator==(const RemovedStart&) const = default;
};
struct DetachedPropagator {
    int activity;
    Propagators::Propagator* propagator;
    bool operator==(const DetachedPropagator&) const = default;
};
struct Selection {
    int activity, resource;  // resource -1: the placement of the activity itself
    bool operator==(const Selection&) const = default;
};
struct ContCell {
    int contres, day, week, oldStart, oldStop;
    bool operator==(const ContCell&) const = default;
};

// Usage flags of a grouped resource at a slot.
constexpr std::uint8_t takenOdd = 1, takenEven = 2, takenBoth = 3, forbidFlag = 4;

// Where a space stands after propagation: a contradiction was found, some
// activity is still undecided, or every activity is decided.
enum class SpaceState { failed, open, solved };

class SearchSpace {
public:
    // Builds the space over an analysed problem; reads the bound and the
    // suggestions from records. Draws randseed and the order of waiting from
    // a random stream seeded with seed. Stops the program when an activity
    // has no start.
    SearchSpace(const ProblemData& problem, SolutionRecords& records, unsigned seed);
    ~SearchSpace();
    SearchSpace(const SearchSpace&) = delete;
    SearchSpace& operator=(const SearchSpace&) = delete;

    const ProblemData& problem;
    SolutionRecords& records;

    // --- generic finite-domain core ---
    PropagatorStore propagators;
    ActivityQueue changedVar;
    std::vector<TimeVar> time;
    int failedVar = -1;
    int stamp = 2;
    SpaceState state = SpaceState::open;
    std::vector<RemovedStart> journal_values;
    std::vector<DetachedPropagator> journal_propagators;

    // --- timetable ---
    std::vector<std::vector<int>> mdLoad;  // [mdres][day]
    std::vector<int> mdDays;               // [mdres]
    std::vector<int> grsel;                // chosen resource per group selection, -1 none
    std::vector<int> waiting;              // first noOfWaiting entries are undecided
    int noOfWaiting = 0;
    std::vector<std::vector<GroupCounts>> availableRes;       // [group][slot]
    std::vector<std::vector<std::uint8_t>> isGrresUsed;       // [grres][slot]
    std::vector<bool> used;                // activity placed
    ContTable cont_start;                  // earliest occupied slot, nbSlots when none
    ContTable cont_stop;                   // latest occupied slot (break included), 0 when none
    std::vector<LevelFrame> levels;        // stack; back() is the level being decided
    std::vector<Selection> journal_selection;
    int myScore = 0;
    std::vector<ContCell> journal_cont;
    std::vector<int> time_sel;             // start per activity of the stored solution, -1 none
    int randseed = 0;
    std::vector<int> solGrsel;             // chosen resource per group selection of that solution
    ContTable fsContStart;                 // working copies of the fast shuffle
    ContTable fsContStop;
    std::vector<std::vector<int>> fsMdLoad;
    std::vector<int> fsMdDays;

    // Set by removeRange when it removed a start, by fixBounds when it moved a
    // bound; reset and read by the disjoint propagator for its statistics.
    int valuesRemoved = 0;
    int boundsChanged = 0;
    PropagatorStatistics disjointStatistics;

    // --- variables, domains and the propagation queue ---
    void markChanged(int v);
    void fixBounds(int v, bool changed);
    bool removeRange(int v, int from, int to);
    // removeRange for the propagators: an emptied domain records failedVar
    // and returns false instead of throwing.
    bool pruneRange(int v, int from, int to);
    void assign(int v, int value);
    // Runs the propagators of changed variables until nothing changes; a
    // contradiction marks the space failed and leaves the queue as it is.
    void processPropagators();
    void fail() { state = SpaceState::failed; }
    void checkSolved();

    // --- decisions (placement.cpp) ---
    int prepareFirst();
    void commitFirst(int branch);
    int prepareImprove();
    int commitImprove(int choice);
    void pickNextActivity();
    int suggestStart(int a);
    void placeActivity(int start);
    void leaveUnused();
    void candidatesFirst();
    void candidatesImprove();
    void selectResource(int k);
    void checkBound();

    // --- resource usage and availability ---
    // Books resource r for placed activity a at its start (bookResource) and
    // then removes the starts the booking rules out (forbidForBooking).
    // Only the second step can throw. A placement books every directly
    // required resource first and forbids afterwards: then a failure never
    // leaves a resource half-booked, and going back, which releases all of
    // them, finds every booking complete.
    void takeResource(int a, int r);
    // Week flags, group counts, day load and day count of r for a; charges
    // the balanced increase to myScore. Never throws.
    void bookResource(int a, int r);
    // The starts ruled out by a's booking of r: r's direct activities that
    // would collide, the activities of a group left without a free member,
    // and the other days of r when it has just reached its MaxDays.
    void forbidForBooking(int a, int r);
    void releaseResource(int a, int r);
    // Sets flags on r at from..to and updates the group counts, then forbids
    // the colliding starts. Every slot is booked before anything is forbidden.
    void markResourceUsed(int r, int from, int to, int flags);
    void freeResourceUse(int r, int from, int to, int flags);
    // Removes the starts of the unplaced activities of the list whose week
    // bit is in flags and that would cover from..to; with breakSlots, also
    // those whose break after them would reach from.
    void forbidActivities(const std::vector<int>& activities, int from, int to, int flags,
                          int breakSlots = 0);
    // Gap slots of week w of resource r (contres >= 0) in the given tables,
    // never negative; logs the days at level 20 when positive.
    int continuityExcess(int r, int w, const ContTable& starts, const ContTable& stops) const;
    int continuityExcess(int r, int w) const { return continuityExcess(r, w, cont_start, cont_stop); }

    // Continuity as the judgement charges it. For resource r (contres >= 0):
    // gap = sum over both weeks and the days with a booking of (stop - start + 1)
    //       + breakSlots x placedWeeks - continuityBase[contres],
    // where placedWeeks counts the weeks of r's direct activities that are
    // placed. The charge is (continuous / 2) x max(0, gap).
    int continuityGap(int r, const ContTable& starts, const ContTable& stops,
                      int placedWeeks) const;
    // Weeks (1 or 2 per activity) of r's direct activities that are placed.
    int placedWeeks(int r) const;
    // Charge of r for the placed activities and the space's own tables.
    int continuityCharge(int r) const;
    // Excess of a day load over r's dayQuota, never negative.
    int balancedExcess(int r, int load) const {
        const int excess = load - problem.resources[r].dayQuota;
        return excess > 0 ? excess : 0;
    }

    // --- going back (journal.cpp) ---
    JournalMark takeMark() const {
        return JournalMark{static_cast<int>(journal_values.size()),
                           static_cast<int>(journal_propagators.size()),
                           static_cast<int>(journal_cont.size()),
                           myScore,
                           randseed,
                           noOfWaiting,
                           static_cast<int>(levels.size()),
                           static_cast<int>(levels.back().pending.size()),
                           static_cast<int>(journal_selection.size())};
    }
    // Undoes everything recorded since mark; with other, then compares this
    // space with other field by field (a debugging aid: a difference is an
    // assertion failure).
    void goBack(const JournalMark& mark, const SearchSpace* other = nullptr);
    void checkConsistency(const SearchSpace& other) const;

    // --- small helpers ---
    // Makes a propagator of the given rule in the space's store, which owns
    // it, and adds it to the watchers of its activities a and then b.
    template <class Rule, class... Args>
    Rule& post(Args&&... args) {
        Rule& rule = propagators.make<Rule>(std::forward<Args>(args)...);
        time[rule.a].watchers.push_back(&rule);
        time[rule.b].watchers.push_back(&rule);
        return rule;
    }
    // Slot day and week helpers.
    int day(int slot) const { return slot / problem.slotsPerDay; }
    // 1 for week 1, 2 for week 2, 4 for week 3: tested against forbidding flags.
    int weekBit(int a) const {
        const int week = problem.activities[a].week;
        return week == Weeks::both ? forbidFlag : week;
    }
    // Last slot resource r is blocked by activity a starting at s (its break included).
    int useEnd(int a, int r, int s) const {
        return s + problem.activities[a].length + problem.resources[r].breakSlots - 1;
    }

    // Per contres: 2 x n x breakSlots + sum of length x weeks + breakSlots x
    // sum of weeks, over the resource's n direct activities.
    std::vector<int> continuityBase;

private:
    // Per grres and slot: takenBoth where the resource itself is unavailable.
    // Releasing a booking whose break covered such a slot keeps it taken.
    std::vector<std::vector<std::uint8_t>> closedFlags;

    void initActivity(int a);
    void buildPropagators();
    // fixBounds and removeRange without the throw: false on an empty domain
    // (failedVar set); cutRange gives -1 for that, else whether a bound moved.
    bool tightenBounds(int v, bool changed);
    int cutRange(int v, int from, int to);
    // Log lines of the domain operations, kept out of their inline bodies.
    void logVariableChanged(int v) const;
    void logStartsRemoved(int v, int from, int to) const;
    void bookSlots(int r, int from, int to, int flags);
    void forbidSlots(int r, int from, int to, int flags, bool booking);
};

// Assertion of the space's bookkeeping: when it does not hold, prints the
// expression text and the source name "myspace", then aborts.
[[noreturn]] void spaceAssertFailed(const char* expression);
inline void spaceAssert(bool holds, const char* expression) {
    if (!holds) spaceAssertFailed(expression);
}

// The domain operations are the innermost loop of every search: they are
// defined here so that the propagators inline them, which also shortens the
// path a failure unwinds.

inline void SearchSpace::markChanged(int v) {
    TimeVar& var = time[v];
    if (var.changedAt <= var.processedAt) {
        changedVar.push_back(v);
        if (logLevel(25)) logVariableChanged(v);
    }
    var.changedAt = stamp++;
}

inline bool SearchSpace::tightenBounds(int v, bool changed) {
    TimeVar& var = time[v];
    if (var.max >= 0 && !var.possible.test(var.max)) {
        var.max = var.possible.previousSet(var.max);
        changed = true;
    }
    if (var.max < 0) {
        failedVar = v;
        return false;
    }
    if (!var.possible.test(var.min)) {
        var.min = var.possible.nextSet(var.min);
        changed = true;
    }
    if (changed) {
        boundsChanged = 1;
        markChanged(v);
    }
    return true;
}

inline void SearchSpace::fixBounds(int v, bool changed) {
    if (!tightenBounds(v, changed)) throw Contradiction(v);
}

inline int SearchSpace::cutRange(int v, int from, int to) {
    TimeVar& var = time[v];
    if (from < var.min) from = var.min;
    if (to > var.max) to = var.max;
    if (from > to) return 0;

    const int removed = var.possible.clearRange(
        from, to, [&](int s) { journal_values.push_back(RemovedStart{v, s}); });
    if (removed == 0) return 0;

    if (logLevel(25)) logStartsRemoved(v, from, to);
    bool moved = false;
    if (from <= var.min && var.min <= to) {
        var.min = to + 1;
        moved = true;
    }
    if (from <= var.max && var.max <= to) {
        var.max = from - 1;
        moved = true;
    }
    // With both bounds inside the range nothing is left below from, so
    // tightenBounds runs max down to -1 and fails.
    if (!tightenBounds(v, moved)) return -1;
    valuesRemoved = 1;
    return moved ? 1 : 0;
}

inline bool SearchSpace::removeRange(int v, int from, int to) {
    const int result = cutRange(v, from, to);
    if (result < 0) throw Contradiction(v);
    return result > 0;
}

inline bool SearchSpace::pruneRange(int v, int from, int to) { return cutRange(v, from, to) >= 0; }
