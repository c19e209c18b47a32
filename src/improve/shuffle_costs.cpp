// The parts of the score that the shuffle prices itself, each kept equal to
// the judgement's term for the timetable it holds.
#include <algorithm>

#include "base/log.h"
#include "base/run_settings.h"
#include "improve/shuffler.h"
#include "problem/dependence_rule.h"

void Shuffler::checkScore() const {
    if (!firstTime) shuffleAssert(space.myScore >= 0, "myScore>=0");
}

// The cost of the chosen member of each group: its resScore, halved once for
// an activity of one week, as the judgement halves a resource's preferences.
void Shuffler::addGroupCost(int a, int sign) {
    const Activity& act = problem.activities[a];
    const bool log = logLevel(20);
    if (log) logPrint("      Updating myScore using resScore:");
    for (std::size_t k = 0; k < act.reqGroups.size(); k++) {
        const std::vector<int>& members = problem.groups[act.reqGroups[k]].resources;
        const int* scores = resScoreOf(static_cast<int>(k));
        const int chosen = space.solGrsel[act.grsel + k];
        for (std::size_t j = 0; j < members.size(); j++) {
            if (log) logPrint(" %d", scores[j]);
            if (members[j] != chosen) continue;
            space.myScore += sign * Weeks::weighted(scores[j], act.week);
        }
    }
    if (log) logPrint("\n");
    checkScore();
}

// What a booking of weekLoad on a day already loaded with load adds to the
// balanced penalty of resource r: the change of the day's excess, so that the
// charges of one day add up to the judgement's single charge for it.
int Shuffler::balancedCharge(int r, int load, int weekLoad) const {
    const int balanced = problem.resources[r].balanced;
    return balanced * (space.balancedExcess(r, load + weekLoad) - space.balancedExcess(r, load));
}

// The balanced charge of activity a starting at t, over its direct resources.
int Shuffler::balancedCost(int a, int t) const {
    const Activity& act = problem.activities[a];
    const int d = dayOf(t);
    int cost = 0;
    for (int r : act.reqRes) {
        const Resource& res = problem.resources[r];
        if (res.balanced <= 0) continue;
        shuffleAssert(res.mdres >= 0, "res.mdres>=0");
        cost += balancedCharge(r, space.fsMdLoad[res.mdres][d], act.weekLoad);
    }
    return cost;
}

// The pieces price a one-week activity's slots by its merged preferences, in
// which every direct resource's value is halved slot by slot. The judgement
// halves each resource's sum over the activity's slots once; this is the
// difference at start t.
int Shuffler::resourcePreferenceCorrection(int a, int t) const {
    const Activity& act = problem.activities[a];
    if (act.week == Weeks::both) return 0;
    const int end = t + act.length;
    int exact = 0;
    int merged = 0;
    for (int s = t; s < end; s++) {
        exact += act.ownTimePrefs.soft[s];
        merged += act.timePrefs.soft[s];
    }
    for (int r : act.reqRes) {
        const std::vector<int>& soft = problem.resources[r].timePrefs.soft;
        int sum = 0;
        for (int s = t; s < end; s++) sum += soft[s];
        exact += Weeks::weighted(sum, act.week);
    }
    return exact - merged;
}

// The weights of the soft dependences of a that it breaks at start t with
// its placed partners.
int Shuffler::softDependenceCost(int a, int t) const {
    const Activity& act = problem.activities[a];
    int cost = 0;
    int previous = -1;
    for (int i : act.dependences) {
        if (i == previous) continue;  // an activity depending on itself is listed twice
        previous = i;
        const Dependence& dep = problem.dependences[i];
        if (dep.score < 0) continue;
        const int t1 = dep.first == a ? t : space.time_sel[dep.first];
        const int t2 = dep.second == a ? t : space.time_sel[dep.second];
        if (t1 < 0 || t2 < 0) continue;
        const int len1 = problem.activities[dep.first].length;
        const int len2 = problem.activities[dep.second].length;
        shuffleAssert(isAnalysedOperator(dep.op), "dep.op==0||dep.op==1||dep.op==4");
        const bool broken = dependenceBroken(dep.op, t1, len1, t2, len2, problem.slotsPerDay);
        if (broken) cost += dep.score;
    }
    return cost;
}

// The continuity charge of resource r, the same term as the space's:
// (continuous / 2) x max(0, gap), with the gap from the working copies and
// the weeks of r's activities that are placed.
int Shuffler::continuityCharge(int r) const {
    const Resource& res = problem.resources[r];
    const int c = res.contres;
    const int gap = contSpan[c] + res.breakSlots * contPlacedWeeks[c] - space.continuityBase[c];
    if (gap > 0 && logLevel(20)) {
        for (int w = 0; w < 2; w++) {
            logPrint(" %s.%d:%d(->%d)[", res.id.c_str(), c, w == 0 ? res.busyEven : res.busyOdd,
                     gap);
            for (int d = 0; d < problem.days; d++)
                logPrint("%d %d%s", space.fsContStart[w][c][d], space.fsContStop[w][c][d],
                         d + 1 < problem.days ? " " : "]\n");
        }
    }
    return gap > 0 ? (res.continuous / 2) * gap : 0;
}

void Shuffler::setContinuityCell(int r, int w, int d, int start, int stop) {
    const int c = problem.resources[r].contres;
    int& cellStart = space.fsContStart[w][c][d];
    int& cellStop = space.fsContStop[w][c][d];
    if (cellStart <= cellStop) contSpan[c] -= cellStop - cellStart + 1;
    cellStart = start;
    cellStop = stop;
    if (cellStart <= cellStop) contSpan[c] += cellStop - cellStart + 1;
}

// r takes the slots t..e in week w.
void Shuffler::continuityInsertion(int r, int w, int t, int e) {
    const int c = problem.resources[r].contres;
    const int d = dayOf(t);
    space.myScore -= continuityCharge(r);
    checkScore();
    setContinuityCell(r, w, d, std::min(space.fsContStart[w][c][d], t),
                      std::max(space.fsContStop[w][c][d], e));
    space.myScore += continuityCharge(r);
}

// r gave up the slots t..e in week w (FSResUsed no longer holds them): the
// day's span shrinks to the slots still held. A day left empty ends with its
// start above its stop.
void Shuffler::continuityRemoval(int r, int w, int t, int e) {
    const int c = problem.resources[r].contres;
    const int d = dayOf(t);
    const int dayStart = d * slotsPerDay;
    const int dayEnd = dayStart + slotsPerDay;
    const std::uint8_t mask = Weeks::bitOf(w);
    const std::uint8_t* row = resUsedRow(r);
    space.myScore -= continuityCharge(r);
    checkScore();
    int start = space.fsContStart[w][c][d];
    int stop = space.fsContStop[w][c][d];
    if (start == t) {
        start = e + 1;
        while (start < dayEnd && !(row[start] & mask)) start++;
    }
    if (stop == e) {
        stop = t - 1;
        while (stop >= dayStart && !(row[stop] & mask)) stop--;
    }
    setContinuityCell(r, w, d, start, stop);
    space.myScore += continuityCharge(r);
}

// The activity changes between unassigned and placed: the continuity gap of
// its direct resources counts the break of every activity not placed.
void Shuffler::markPlaced(int a, bool placed) {
    const Activity& act = problem.activities[a];
    for (int r : act.reqRes) {
        const int c = problem.resources[r].contres;
        if (c < 0) continue;
        space.myScore -= continuityCharge(r);
        contPlacedWeeks[c] += placed ? Weeks::count(act.week) : -Weeks::count(act.week);
        space.myScore += continuityCharge(r);
    }
}
