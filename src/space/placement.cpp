// The decisions of the search: which activity comes next, where it starts (or
// that it stays unused) and which member of each of its groups it takes.
// Every decision keeps myScore equal to what the judgement charges for the
// activities decided so far, so that the score of a complete timetable is
// exactly the judgement's and a partial score is a bound for the search.
#include <climits>
#include <cstdlib>

#include "base/log.h"
#include "base/random_stream.h"
#include "base/run_settings.h"
#include "problem/dependence_rule.h"
#include "space/search_space.h"
#include "problem/weeks.h"

namespace {

// Sum of the soft costs of the slots start .. start + length - 1.
long long softSum(const std::vector<int>& soft, int start, int length) {
    long long sum = 0;
    for (int t = start; t < start + length; ++t) sum += soft[t];
    return sum;
}

// The halving of a one-week activity applies once to the resource's whole sum.
long long resourcePreferenceCost(const Resource& resource, const Activity& activity, int start) {
    return Weeks::weighted(softSum(resource.timePrefs.soft, start, activity.length), activity.week);
}

// Adds a charge to the running score. A score beyond an int could not be
// reported truthfully: the run stops, as the judgement of such a timetable
// would.
void addCharge(int& score, long long amount, const char* what) {
    const long long sum = score + amount;
    if (sum > INT_MAX || sum < INT_MIN) fatalError("Score too large to count (%s)", what);
    score = static_cast<int>(sum);
}

// The continuity charge of a resource whose gap is the given one.
long long continuityChargeOf(const Resource& resource, long long gap) {
    return gap > 0 ? static_cast<long long>(resource.continuous / 2) * gap : 0;
}

}  // namespace

void SearchSpace::pickNextActivity() {
    --noOfWaiting;
    levels.back().activity = waiting[noOfWaiting];
}

// The start of the first approach: the cheapest allowed start, counting the
// activity's own and its resources' preferences and what the placement would
// add to the balanced and continuity charges of its direct resources. Ties
// are drawn from the space's own random stream, which going back restores,
// so the same node always yields the same start.
int SearchSpace::suggestStart(int a) {
    const Activity& activity = problem.activities[a];
    const TimeVar& var = time[a];

    // The continuity gap of each resource before the placement: placing a
    // adds its span growth and takes its break out of the room kept for
    // activities not placed.
    struct ContinuityTerm {
        const Resource* resource;
        int contres;
        long long gap;
        long long charge;
    };
    std::vector<ContinuityTerm> continuity;
    std::vector<int> balanced;
    for (int r : activity.reqRes) {
        const Resource& resource = problem.resources[r];
        if (resource.contres >= 0) {
            const long long gap = continuityGap(r, cont_start, cont_stop, placedWeeks(r));
            continuity.push_back({&resource, resource.contres, gap, continuityChargeOf(resource, gap)});
        }
        if (resource.balanced > 0) {
            spaceAssert(resource.mdres >= 0, "res.mdres>=0");
            balanced.push_back(r);
        }
    }

    long long bestCost = LLONG_MAX;  // every start competes, however expensive
    std::vector<int> ties;
    for (int x = var.nextAllowed(var.min); x >= 0; x = var.nextAllowed(x + 1)) {
        long long cost = activity.timePrefs.startSoft[x];
        const int d = day(x);
        for (const ContinuityTerm& term : continuity) {
            const int breakSlots = term.resource->breakSlots;
            const int end = x + activity.length + breakSlots - 1;
            long long growth = 0;
            for (int w = 0; w < 2; ++w) {
                if (!Weeks::holds(activity.week, w)) continue;
                const int start = cont_start[w][term.contres][d];
                const int stop = cont_stop[w][term.contres][d];
                if (start <= stop)
                    growth += (start > x ? start - x : 0) + (end > stop ? end - stop : 0);
                else
                    growth += end - x + 1;
                growth += breakSlots;
            }
            cost += continuityChargeOf(*term.resource, term.gap + growth) - term.charge;
        }
        for (int r : balanced) {
            const Resource& resource = problem.resources[r];
            const int load = mdLoad[resource.mdres][d];
            cost += static_cast<long long>(resource.balanced) *
                    (balancedExcess(r, load + activity.weekLoad) - balancedExcess(r, load));
        }
        if (cost < bestCost) {
            bestCost = cost;
            ties.clear();
        }
        if (cost == bestCost) ties.push_back(x);
    }

    randseed = firstDraw(static_cast<unsigned>(randseed));
    return ties[randseed % static_cast<int>(ties.size())];
}

int SearchSpace::prepareFirst() {
    processPropagators();
    if (state != SpaceState::open) return 0;
    if (noOfWaiting == 0) {
        checkSolved();
        return 0;
    }
    pickNextActivity();
    const int start = suggestStart(levels.back().activity);
    levels.back().start = start;
    return 2;
}

void SearchSpace::commitFirst(int branch) {
    if (logLevel(20)) logPrint("------------------------------------------\n");
    if (state != SpaceState::open) return;
    try {
        if (branch == 0) {
            placeActivity(levels.back().start);
            const Activity& activity = problem.activities[levels.back().activity];
            for (std::size_t k = 0; k < activity.reqGroups.size(); ++k) {
                if (state == SpaceState::failed) return;
                levels.back().pending.emplace_back();
                candidatesFirst();
                selectResource(0);
            }
        } else {
            leaveUnused();
        }
    } catch (const SpaceFailure&) {
        if (logLevel(20)) logPrint("(failed %d)\n", failedVar);
        fail();
        return;
    }
    levels.emplace_back();
}

int SearchSpace::prepareImprove() {
    processPropagators();
    if (state != SpaceState::open) return 0;
    if (!levels.back().pending.empty()) {
        try {
            candidatesImprove();
        } catch (const SpaceFailure&) {
            fail();
            return 0;
        }
        return static_cast<int>(levels.back().pending.back().size());
    }
    if (noOfWaiting == 0) {
        checkSolved();
        return 0;
    }
    pickNextActivity();
    return 1 + time[levels.back().activity].allowedCount();
}

// Alternatives of a start decision are the starts 0 .. nbSlots - 1 and
// nbSlots for leaving the activity unused, tried in a cyclic order that
// begins with the suggested start; a choice value says where the next call
// goes on.
int SearchSpace::commitImprove(int choice) {
    if (state != SpaceState::open) return 0;
    const int a = levels.back().activity;
    const Activity& activity = problem.activities[a];
    int next = 0;
    try {
        if (!levels.back().pending.empty()) {
            if (logLevel(19)) logPrint("Choosing resource\n");
            const int k = choice > 0 ? choice : 0;
            selectResource(k);
            next = k + 1;
        } else {
            const int unusedChoice = problem.nbSlots;
            const int suggested = records.suggestion.start()[a];
            const bool narrow = records.narrowChoices;
            if (choice < 0) choice = suggested >= 0 ? suggested : unusedChoice;
            const int first = suggested >= 0 ? suggested : (narrow ? 0 : unusedChoice);
            while (true) {
                const int current = choice;
                if (!narrow)
                    next = (current + 1) % (unusedChoice + 1);
                else if (current == first)
                    next = unusedChoice;
                else if (current == unusedChoice)
                    next = (first + 1) % unusedChoice;
                else
                    next = (current + 1) % unusedChoice;
                choice = next;
                if (current >= unusedChoice) {
                    leaveUnused();
                    break;
                }
                if (time[a].allows(current)) {
                    placeActivity(current);
                    break;
                }
            }
        }
    } catch (const SpaceFailure&) {
        fail();
        return 0;
    }
    // The next decision chooses a resource for the next group of a placed
    // activity, or starts a new level.
    if (used[a] && levels.back().pending.size() < activity.reqGroups.size())
        levels.back().pending.emplace_back();
    else
        levels.emplace_back();
    return next;
}

// Places the activity of the top level at start with its directly required
// resources and charges everything the judgement charges for it: its own and
// its resources' preferences, the growth of the balanced and continuity
// charges, and its soft dependences on activities already placed.
void SearchSpace::placeActivity(int start) {
    const int a = levels.back().activity;
    const Activity& activity = problem.activities[a];
    journal_selection.push_back(Selection{a, -1});
    if (logLevel(19))
        logPrint("Activity %d [%s] starts at %d (bestSug: %d)\n", a, problem.activityName(a), start,
                 records.suggestion.start()[a]);
    assign(a, start);
    used[a] = true;

    // Every resource is booked before any start is forbidden: a failure while
    // forbidding then leaves complete bookings for going back to release.
    const int d = day(start);
    for (int r : activity.reqRes) {
        bookResource(a, r);
        const Resource& resource = problem.resources[r];
        if (resource.contres < 0) continue;
        const int c = resource.contres;
        const int placed = placedWeeks(r);
        const long long before = continuityChargeOf(
            resource,
            continuityGap(r, cont_start, cont_stop, placed - Weeks::count(activity.week)));
        const int end = useEnd(a, r, start);
        for (int w = 0; w < 2; ++w) {
            if (!Weeks::holds(activity.week, w)) continue;
            int& first = cont_start[w][c][d];
            int& last = cont_stop[w][c][d];
            journal_cont.push_back(ContCell{c, d, w, first, last});
            if (start < first) first = start;
            if (end > last) last = end;
        }
        const long long after =
            continuityChargeOf(resource, continuityGap(r, cont_start, cont_stop, placed));
        addCharge(myScore, after - before, "continuity");
    }
    for (int r : activity.reqRes) forbidForBooking(a, r);

    addCharge(myScore, softSum(activity.ownTimePrefs.soft, start, activity.length),
              "time preferences");
    for (int r : activity.reqRes)
        addCharge(myScore, resourcePreferenceCost(problem.resources[r], activity, start),
                  "time preferences");

    // A dependence of an activity with itself is listed twice; it counts once.
    int previous = -1;
    for (int i : activity.dependences) {
        if (i == previous) continue;
        previous = i;
        const Dependence& dependence = problem.dependences[i];
        if (dependence.score < 0) continue;  // hard: the propagators keep it
        const int other = dependence.first == a ? dependence.second : dependence.first;
        if (!used[other]) continue;
        spaceAssert(isAnalysedOperator(dependence.op),
                    "dependence.op==0||dependence.op==1||dependence.op==4");
        if (dependenceBroken(dependence.op, time[dependence.first].min,
                             problem.activities[dependence.first].length,
                             time[dependence.second].min,
                             problem.activities[dependence.second].length, problem.slotsPerDay))
            addCharge(myScore, dependence.score, "broken dependences");
    }
    checkBound();
}

void SearchSpace::leaveUnused() {
    const int a = levels.back().activity;
    if (logLevel(19)) logPrint("Activity %d [%s] unused\n", a, problem.activityName(a));
    addCharge(myScore, unassignedCost, "too many unassigned activities");
    checkBound();
}

void SearchSpace::checkBound() {
    if (myScore < records.found.score()) return;
    if (logLevel(21)) logPrint("Score to low -> fail\n");
    failedVar = -1;
    throw BoundReached();
}

namespace {

// First slot in start .. end at which the member is taken in a week of the
// activity, or -1 when it is free throughout.
int firstBusySlot(const std::vector<std::uint8_t>& usage, int start, int end, int week) {
    for (int t = start; t <= end; ++t)
        if (usage[t] & week) return t;
    return -1;
}

}  // namespace

void SearchSpace::candidatesFirst() {
    const LevelFrame& frame = levels.back();
    const int a = frame.activity;
    const Activity& activity = problem.activities[a];
    const int s = time[a].min;
    const Group& group = problem.groups[activity.reqGroups[frame.pending.size() - 1]];
    for (int r : group.resources) {
        const Resource& resource = problem.resources[r];
        const int busy = firstBusySlot(isGrresUsed[resource.grres], s, useEnd(a, r, s), activity.week);
        if (busy < 0) {
            levels.back().pending.back().push_back(r);
            return;
        }
        if (logLevel(20))
            logPrint("[Resource %d [%s] (grres = %d) unavailable at %d (needed by %d [%s])]\n", r,
                     problem.resourceName(r), resource.grres, busy, a, problem.activityName(a));
    }
    failedVar = a;
    throw Contradiction(a);
}

// Every free member, the suggested one first.
void SearchSpace::candidatesImprove() {
    LevelFrame& frame = levels.back();
    const int a = frame.activity;
    const Activity& activity = problem.activities[a];
    const int s = time[a].min;
    const int m = static_cast<int>(frame.pending.size());
    const Group& group = problem.groups[activity.reqGroups[m - 1]];
    const int suggested = records.suggestion.grsel()[activity.grsel + m - 1];
    std::vector<int>& list = frame.pending.back();
    list.clear();
    for (int r : group.resources) {
        const Resource& resource = problem.resources[r];
        if (firstBusySlot(isGrresUsed[resource.grres], s, useEnd(a, r, s), activity.week) >= 0)
            continue;
        if (r == suggested && !list.empty()) {
            list.push_back(list.front());
            list.front() = r;
        } else {
            list.push_back(r);
        }
    }
    if (list.empty()) {
        failedVar = a;
        throw Contradiction(a);
    }
}

void SearchSpace::selectResource(int k) {
    LevelFrame& frame = levels.back();
    const int a = frame.activity;
    const Activity& activity = problem.activities[a];
    const int m = static_cast<int>(frame.pending.size());
    const int r = frame.pending.back()[k];
    journal_selection.push_back(Selection{a, r});
    if (logLevel(20))
        logPrint("Activity %d [%s] selects resource %d [%s]\n", a, problem.activityName(a), r,
                 problem.resourceName(r));
    grsel[activity.grsel + m - 1] = r;
    takeResource(a, r);
    addCharge(myScore, resourcePreferenceCost(problem.resources[r], activity, time[a].min),
              "time preferences");
    checkBound();
}
