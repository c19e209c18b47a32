#include "deep/changes.h"

#include "deep/rule_books.h"

Changes::Changes(Timetable& timetable) : timetable(timetable), facts(timetable.facts) {}

void Changes::remove(int a) {
    const ActivityFacts& act = facts.activities[a];
    journal.push_back({a, timetable.start(a), savedMembers.size()});
    for (std::size_t k = 0; k < act.groups.size(); ++k)
        savedMembers.push_back(timetable.member(act.grsel + k));
    timetable.remove(a);
}

bool Changes::placeIfFits(int a, int t, const int* preferred) {
    if (!fitsDirect(a, t)) return false;
    const ActivityFacts& act = facts.activities[a];
    chosen.resize(act.groups.size());
    for (std::size_t k = 0; k < act.groups.size(); ++k) {
        chosen[k] = freeMember(a, static_cast<int>(k), t, preferred ? preferred[k] : -1);
        if (chosen[k] < 0) return false;
    }
    timetable.place(a, t, chosen.data());
    // The school rules are checked on the placed activity: they count what
    // holds each slot, which the timetable books.
    if (timetable.rules() && !timetable.rules()->hold(timetable, a)) {
        timetable.remove(a);
        return false;
    }
    journal.push_back({a, -1, savedMembers.size()});
    return true;
}

bool Changes::moveAll(const std::vector<int>& activities, const std::vector<int>& targets) {
    preferred.clear();
    for (int a : activities) {
        const ActivityFacts& act = facts.activities[a];
        for (std::size_t k = 0; k < act.groups.size(); ++k)
            preferred.push_back(timetable.member(act.grsel + k));
    }
    for (int a : activities) remove(a);
    std::size_t first = 0;
    for (std::size_t i = 0; i < activities.size(); ++i) {
        if (!placeIfFits(activities[i], targets[i], preferred.data() + first)) return false;
        first += facts.activities[activities[i]].groups.size();
    }
    return true;
}

void Changes::undo() {
    while (!journal.empty()) undoLast();
}

void Changes::undoLast() {
    const Entry entry = journal.back();
    journal.pop_back();
    if (entry.start < 0) {
        timetable.remove(entry.activity);
    } else {
        timetable.place(entry.activity, entry.start, savedMembers.data() + entry.firstMember);
        savedMembers.resize(entry.firstMember);
    }
}

bool Changes::fitsDirect(int a, int t) const {
    if (!facts.allowedStart(a, t)) return false;
    const ActivityFacts& act = facts.activities[a];
    for (int r : act.direct) {
        if (!timetable.isFree(r, a, t)) return false;
        const ResourceFacts& res = facts.resources[r];
        if (res.limitedDays && timetable.activitiesOnDay(r, facts.dayOf(t)) == 0 &&
            timetable.daysUsed(r) >= res.maxDays)
            return false;
    }
    if (act.hasHardLinks) {
        for (const DependenceLink& link : act.links) {
            if (!link.hard || link.partner == a) continue;
            const int tp = timetable.start(link.partner);
            if (tp >= 0 && facts.broken(link, a, t, tp)) return false;
        }
    }
    return true;
}

bool Changes::memberFree(int a, int m, int t) const {
    return facts.memberAvailable(m, a, t) && timetable.isFree(m, a, t);
}

int Changes::freeMember(int a, int k, int t, int preferred) const {
    if (preferred >= 0 && memberFree(a, preferred, t)) return preferred;
    const std::vector<int>& group =
        facts.problem.groups[facts.activities[a].groups[k]].resources;
    int best = -1;
    long long bestCost = 0;
    for (int m : group) {
        if (!memberFree(a, m, t)) continue;
        const long long cost = facts.resourceCost(m, a, t);
        if (best < 0 || cost < bestCost) {
            best = m;
            bestCost = cost;
        }
    }
    return best;
}
