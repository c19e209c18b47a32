#include "deep/timetable.h"

#include <algorithm>

#include "deep/rule_books.h"

Timetable::Timetable(const Facts& facts) : facts(facts) {
    const int n = facts.nbActivities;
    const int nbResources = facts.nbResources;
    starts.assign(n, -1);
    members.assign(facts.problem.nbGrsel, -1);
    preferenceCost.assign(n, 0);
    holders.assign(static_cast<std::size_t>(nbResources) * 2 * facts.nbSlots, -1);
    dayCount.assign(static_cast<std::size_t>(nbResources) * facts.days, 0);
    usedDays.assign(nbResources, 0);
    dayLoad.assign(static_cast<std::size_t>(nbResources) * facts.days, 0);
    contSpan.assign(nbResources, 0);
    contUsed.assign(nbResources, 0);
    contBusy.assign(nbResources, 0);
    contPenalty.assign(nbResources, 0);
    // An unassigned activity still keeps its time and break on the resources
    // it needs: the judgement counts them in the time a resource must hold.
    for (int a = 0; a < n; ++a) {
        const ActivityFacts& act = facts.activities[a];
        for (int r : act.direct) {
            contBusy[r] += static_cast<long long>(Weeks::count(act.week)) *
                           (act.length + facts.resources[r].breakSlots);
        }
    }
    unassignedList.resize(n);
    unassignedAt.resize(n);
    for (int a = 0; a < n; ++a) unassignedList[a] = unassignedAt[a] = a;
    if (facts.hasRules) books = std::make_unique<RuleBooks>(facts);
}

Timetable::~Timetable() = default;
Timetable::Timetable(Timetable&&) noexcept = default;

long long Timetable::hardBreaches() const { return books ? books->hardUnits() : 0; }

void Timetable::place(int a, int t, const int* chosen) {
    const ActivityFacts& act = facts.activities[a];
    starts[a] = t;
    const int at = unassignedAt[a];
    unassignedAt[unassignedList.back()] = at;
    unassignedList[at] = unassignedList.back();
    unassignedList.pop_back();
    unassignedAt[a] = -1;

    long long delta = facts.ownCost(a, t);
    long long preferences = facts.fixedCost(a, t);
    for (int r : act.direct) delta += book(a, r, t, true);
    for (std::size_t k = 0; k < act.groups.size(); ++k) {
        members[act.grsel + k] = chosen[k];
        delta += book(a, chosen[k], t, true);
        preferences += facts.resourceCost(chosen[k], a, t);
    }
    preferenceCost[a] = preferences;
    delta += dependenceCost(a, t);
    if (books) delta += books->update(*this, a, t, true);
    softScore += delta;
}

void Timetable::remove(int a) {
    const ActivityFacts& act = facts.activities[a];
    const int t = starts[a];
    long long delta = -facts.ownCost(a, t) - dependenceCost(a, t);
    for (int r : act.direct) delta += book(a, r, t, false);
    for (std::size_t k = 0; k < act.groups.size(); ++k) {
        delta += book(a, members[act.grsel + k], t, false);
        members[act.grsel + k] = -1;
    }
    starts[a] = -1;
    if (books) delta += books->update(*this, a, t, false);
    softScore += delta;
    unassignedAt[a] = static_cast<int>(unassignedList.size());
    unassignedList.push_back(a);
}

// Books or frees resource r for activity a starting at t and returns the
// change of the score.
long long Timetable::book(int a, int r, int t, bool on) {
    const ActivityFacts& act = facts.activities[a];
    const ResourceFacts& res = facts.resources[r];
    const int d = facts.dayOf(t);
    const int end = facts.heldEnd(r, a, t);
    long long delta = on ? facts.resourceCost(r, a, t) : -facts.resourceCost(r, a, t);

    const bool continuous = res.continuous != 0;
    if (continuous) {
        for (int w = 0; w < 2; ++w) {
            if (!Weeks::holds(act.week, w)) continue;
            const int span = daySpan(r, w, d);
            contSpan[r] -= span;
            if (span > 0) --contUsed[r];
        }
    }
    const int holder = on ? a : -1;
    for (int w = 0; w < 2; ++w) {
        if (!Weeks::holds(act.week, w)) continue;
        int* row = &holders[cell(r, w, 0)];
        for (int s = t; s <= end; ++s) row[s] = holder;
    }
    if (continuous) {
        int weeks = 0;
        for (int w = 0; w < 2; ++w) {
            if (!Weeks::holds(act.week, w)) continue;
            ++weeks;
            const int span = daySpan(r, w, d);
            contSpan[r] += span;
            if (span > 0) ++contUsed[r];
        }
        // A placed activity's break is no longer part of the time to hold.
        contBusy[r] += static_cast<long long>(on ? -weeks : weeks) * res.breakSlots;
        const long long penalty = continuityPenalty(r);
        delta += penalty - contPenalty[r];
        contPenalty[r] = penalty;
    }

    const std::size_t dayCell = static_cast<std::size_t>(r) * facts.days + d;
    if (on) {
        if (dayCount[dayCell]++ == 0) ++usedDays[r];
    } else {
        if (--dayCount[dayCell] == 0) --usedDays[r];
    }
    const long long excessBefore = res.balanced > 0 ? balanceExcess(r, d) : 0;
    dayLoad[dayCell] += on ? act.weekLoad : -act.weekLoad;
    if (res.balanced > 0) delta += res.balanced * (balanceExcess(r, d) - excessBefore);
    return delta;
}

long long Timetable::dependenceCost(int a, int t) const {
    long long cost = 0;
    for (const DependenceLink& link : facts.activities[a].links) {
        if (link.hard) continue;
        const int tp = link.partner == a ? t : starts[link.partner];
        if (tp >= 0 && facts.broken(link, a, t, tp)) cost += link.score;
    }
    return cost;
}

bool Timetable::paysPenalty(int a) const {
    const ActivityFacts& act = facts.activities[a];
    const int t = starts[a];
    if (preferenceCost[a] > 0 || dependenceCost(a, t) > 0) return true;
    if (books && books->paysPenalty(a)) return true;
    const int d = facts.dayOf(t);
    for (int r : act.direct)
        if (contPenalty[r] > 0 || (facts.resources[r].balanced > 0 && balanceExcess(r, d) > 0))
            return true;
    return false;
}

int Timetable::daySpan(int r, int w, int d) const {
    const int* row = &holders[cell(r, w, 0)];
    int first = -1, last = -1;
    for (int s = d * facts.slotsPerDay, e = s + facts.slotsPerDay; s < e; ++s) {
        const int h = row[s];
        // Slots of a break after an activity hold the resource but are no use of it.
        if (h < 0 || s >= starts[h] + facts.activities[h].length) continue;
        if (first < 0) first = s;
        last = s;
    }
    return first < 0 ? 0 : last - first + 1;
}

// The judgement's gap: spans of both weeks, less the time the resource's
// activities must hold and a break between each two on one day.
long long Timetable::continuityPenalty(int r) const {
    const ResourceFacts& res = facts.resources[r];
    const long long gap = contSpan[r] -
                          (2LL * res.nbActivities - contUsed[r]) * res.breakSlots - contBusy[r];
    const long long penalty = static_cast<long long>(res.continuous / 2) * gap;
    return penalty > 0 ? penalty : 0;
}

long long Timetable::balanceExcess(int r, int d) const {
    const long long excess =
        dayLoad[static_cast<std::size_t>(r) * facts.days + d] - facts.resources[r].dayQuota;
    return excess > 0 ? excess : 0;
}

void Timetable::restore(const std::vector<int>& savedStarts,
                        const std::vector<int>& savedMembers) {
    for (int a = 0; a < facts.nbActivities; ++a)
        if (placed(a)) remove(a);
    for (int a = 0; a < facts.nbActivities; ++a)
        if (savedStarts[a] >= 0)
            place(a, savedStarts[a], savedMembers.data() + facts.activities[a].grsel);
}

void Timetable::writeTo(std::vector<SolutionEntry>& solution) const {
    solution.assign(facts.nbActivities, SolutionEntry());
    for (int a = 0; a < facts.nbActivities; ++a) {
        const ActivityFacts& act = facts.activities[a];
        SolutionEntry& entry = solution[a];
        entry.act = a;
        entry.start = starts[a];
        if (starts[a] < 0) continue;
        for (std::size_t k = 0; k < act.groups.size(); ++k)
            entry.res.push_back(members[act.grsel + k]);
        entry.res.insert(entry.res.end(), act.direct.begin(), act.direct.end());
    }
}

void Timetable::readFrom(const std::vector<SolutionEntry>& solution) {
    std::vector<int> chosen;
    for (const SolutionEntry& entry : solution) {
        if (entry.start < 0 || placed(entry.act)) continue;
        const ActivityFacts& act = facts.activities[entry.act];
        chosen.assign(act.groups.size(), -1);
        for (int used : entry.res) {
            for (std::size_t k = 0; k < act.groups.size(); ++k) {
                const std::vector<int>& group = facts.problem.groups[act.groups[k]].resources;
                if (chosen[k] < 0 && std::find(group.begin(), group.end(), used) != group.end()) {
                    chosen[k] = used;
                    break;
                }
            }
        }
        place(entry.act, entry.start, chosen.data());
    }
}
