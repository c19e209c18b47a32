#include <algorithm>
#include <climits>

#include "base/log.h"
#include "base/run_settings.h"
#include "improve/shuffler.h"

// One activity step: take the activity's costs out of the score, try every
// start with the other activities fixed, and settle the activity at the
// cheapest (the earliest on a tie).
void Shuffler::activityStep(int a, int passStart) {
    const Activity& act = problem.activities[a];
    const int len = act.length;
    const int t0 = space.time_sel[a];
    if (logLevel(20))
        logPrint("    Trying with activity %d [%s] (time = %d, length = %d)\n", a,
                 problem.activityName(a), t0, len);

    int best = INT_MAX;
    int bestT = -1;
    curLength = t0 < 0 ? 0 : len;
    breakReq = curLength != 0;
    tables.allowed.assign(nbSlots, 1);

    restrictDays(a);
    restrictToDependences(a);
    releaseGroupResources(a);
    buildResScore(a);
    addGroupCost(a, -1);
    if (t0 >= 0) {
        space.myScore -= resourcePreferenceCorrection(a, t0) + softDependenceCost(a, t0);
        checkScore();
    }
    // Used when the activity is unassigned: it is placed only where that costs
    // no more than leaving it out, which a broken soft dependence or a
    // continuity gap can exceed.
    const int unassignedScore = space.myScore;

    bool foundT0 = false;
    int t = 0;
    while (t < nbSlots) {
        if (!tables.allowed[t]) {
            if (logLevel(20)) logPrint("      Time = %d -> skip\n", t);
            t++;
            continue;
        }
        const MoveResult move = moveActivity(a, t);
        if (!move.possible) {
            if (logLevel(20)) logPrint("      Time = %d -> impossible\n", t);
        } else {
            if (t == t0) foundT0 = true;
            addGroupCost(a, +1);
            const int score = space.myScore + balancedCost(a, t) +
                              resourcePreferenceCorrection(a, t) + softDependenceCost(a, t);
            if (score < best) {
                best = score;
                bestT = t;
            }
            if (logLevel(20)) logPrint("      Time = %d -> ok, score = %d\n", t, score);
            addGroupCost(a, -1);
        }
        t = move.next;
    }
    if (t0 >= 0) shuffleAssert(foundT0, "foundT0");
    if (t0 < 0 && bestT >= 0 && best > unassignedScore) bestT = -1;

    const MoveResult settled = moveActivity(a, bestT);
    shuffleAssert(settled.possible, "moveActivity(a,bestT)");
    shuffleAssert(curLength == (space.time_sel[a] >= 0 ? len : 0), "curLength==length");
    addGroupCost(a, +1);
    applyGroupResources(a);
    settleDayLoads(a);
    if (space.time_sel[a] >= 0)
        space.myScore += resourcePreferenceCorrection(a, bestT) + softDependenceCost(a, bestT);

    if (logLevel(20))
        logPrint("    Selecting %d, score is %d (should be %d)\n", bestT, space.myScore, best);
    if (bestT >= 0) shuffleAssert(space.myScore == best, "myScore==best");
    shuffleAssert(space.myScore <= passStart, "myScore<=prev");
    if (afterStep) afterStep(a);
}

// MaxDays and balanced: the activity's day load comes off its resources; a
// resource already working on its maximum number of days cannot take the
// activity to another day.
void Shuffler::restrictDays(int a) {
    const Activity& act = problem.activities[a];
    const int t0 = space.time_sel[a];
    const int d0 = t0 >= 0 ? dayOf(t0) : -1;
    for (int r : act.reqRes) {
        const Resource& res = problem.resources[r];
        const int m = res.mdres;
        if (m < 0) continue;
        std::vector<int>& load = space.fsMdLoad[m];
        if (t0 >= 0) {
            load[d0] -= act.weekLoad;
            if (load[d0] == 0) space.fsMdDays[m]--;
        }
        if (space.fsMdDays[m] == res.maxDays) {
            for (int d = 0; d < problem.days; d++) {
                if (load[d] != 0) continue;
                if (logLevel(20)) logPrint("      Day %d disallowed\n", d);
                std::fill_n(tables.allowed.begin() + d * slotsPerDay, slotsPerDay, 0);
            }
        }
        if (t0 >= 0 && res.balanced > 0) {
            space.myScore -= balancedCharge(r, load[d0], act.weekLoad);
        }
    }
}

// The window left by the hard dependences whose other activity is placed.
// Soft dependences are priced, not enforced (softDependenceCost).
void Shuffler::restrictToDependences(int a) {
    const Activity& act = problem.activities[a];
    const int len = act.length;
    int lo = 0;
    int hi = nbSlots - 1;
    int previous = -1;
    for (int i : act.dependences) {
        if (i == previous) continue;  // an activity depending on itself is listed twice
        previous = i;
        const Dependence& dep = problem.dependences[i];
        if (dep.score >= 0) continue;
        if (dep.first == dep.second) {
            // Before itself can never hold; concurrently with itself always does.
            if (dep.op != DependenceOp::concurrently) lo = nbSlots;
            continue;
        }
        const bool isFirst = dep.first == a;
        const int other = isFirst ? dep.second : dep.first;
        const int to = space.time_sel[other];
        if (to < 0) continue;
        const int leno = problem.activities[other].length;
        switch (dep.op) {
        case DependenceOp::closelyBefore: {
            const int ds = dayOf(to) * slotsPerDay;
            lo = std::max(lo, ds);
            hi = std::min(hi, ds + slotsPerDay - 1);
        }
            [[fallthrough]];
        case DependenceOp::before:
            if (isFirst)
                hi = std::min(hi, to - len);
            else
                lo = std::max(lo, to + leno);
            break;
        case DependenceOp::concurrently:
            if (isFirst) {
                lo = std::max(lo, to + leno - len);
                hi = std::min(hi, to);
            } else {
                lo = std::max(lo, to);
                hi = std::min(hi, to + leno - len);
            }
            break;
        default:
            shuffleAssert(false, "dep.op==0||dep.op==1||dep.op==4");
        }
    }
    for (int t = 0; t < nbSlots; t++)
        if (t < lo || t > hi) tables.allowed[t] = 0;
}

// Takes the activity's chosen group members out of FSResUsed: while it
// slides, the members are tested and priced through resScore instead.
void Shuffler::releaseGroupResources(int a) {
    const Activity& act = problem.activities[a];
    const int t0 = space.time_sel[a];
    for (std::size_t k = 0; k < act.reqGroups.size(); k++) {
        const int r = space.solGrsel[act.grsel + k];
        if (t0 >= 0) {
            const std::vector<int>& members = problem.groups[act.reqGroups[k]].resources;
            const auto found = std::find(members.begin(), members.end(), r);
            shuffleAssert(found != members.end(), "selected resource in its group");
            shuffleAssert(std::find(found + 1, members.end(), r) == members.end(),
                          "selected resource once in its group");
            if (logLevel(20))
                logPrint("    Selected resource: %d [%s] (index in group: %d)\n", r,
                         problem.resourceName(r), static_cast<int>(found - members.begin()));
        }
        if (curLength == 0) continue;
        std::uint8_t* row = resUsedRow(r);
        const int end = breakReq ? breakEnd(r, t0 + curLength) : t0 + curLength;
        for (int s = t0; s < end; s++) row[s] &= static_cast<std::uint8_t>(~act.week);
    }
}

// Puts the chosen group members back into FSResUsed at the activity's start.
void Shuffler::applyGroupResources(int a) {
    const Activity& act = problem.activities[a];
    const int t = space.time_sel[a];
    if (curLength == 0) return;
    for (std::size_t k = 0; k < act.reqGroups.size(); k++) {
        const int r = space.solGrsel[act.grsel + k];
        std::uint8_t* row = resUsedRow(r);
        const int end = breakReq ? breakEnd(r, t + curLength) : t + curLength;
        for (int s = t; s < end; s++) row[s] |= act.week;
    }
}

// Puts the activity's day load back on its resources at its new day, with
// the balanced charge of the day's change.
void Shuffler::settleDayLoads(int a) {
    const Activity& act = problem.activities[a];
    const int t = space.time_sel[a];
    if (t < 0) return;
    const int d = dayOf(t);
    for (int r : act.reqRes) {
        const Resource& res = problem.resources[r];
        const int m = res.mdres;
        if (m < 0) continue;
        int& load = space.fsMdLoad[m][d];
        if (res.balanced > 0) space.myScore += balancedCharge(r, load, act.weekLoad);
        if (load == 0) space.fsMdDays[m]++;
        load += act.weekLoad;
    }
}

// resScore: per group position and member, the member's cost over the slots
// the activity covers at its start, plus 1000000 per slot at which the member
// is not free.
void Shuffler::buildResScore(int a) {
    const Activity& act = problem.activities[a];
    tables.resOffset.resize(act.reqGroups.size());
    int size = 0;
    for (std::size_t k = 0; k < act.reqGroups.size(); k++) {
        tables.resOffset[k] = size;
        size += static_cast<int>(problem.groups[act.reqGroups[k]].resources.size());
    }
    tables.resScore.assign(size, 0);
    firstTime = true;
    if (space.time_sel[a] >= 0) updateResScore(a, space.time_sel[a], act.length, +1);
    firstTime = false;
    if (logLevel(20)) logPrint("      resScore is now calculated, I start shufling\n");
}
