#include "deep/placer.h"

#include <algorithm>
#include <climits>

Placer::Placer(Timetable& timetable, Random& random)
    : timetable(timetable), facts(timetable.facts), random(random) {
    const int n = facts.nbActivities;
    hopeless.assign(n, 0);
    mark.assign(n, 0);
    for (int a = 0; a < n; ++a)
        if (facts.activities[a].starts.empty()) hopeless[a] = 1;

    // The first pass takes the hardest activities first: fewest starts, then
    // the most time on their busiest resource.
    std::vector<long long> load(facts.nbResources, 0);
    for (int a = 0; a < n; ++a)
        for (int r : facts.activities[a].direct) load[r] += facts.activities[a].weekLoad;
    std::vector<long long> busiest(n, 0);
    for (int a = 0; a < n; ++a)
        for (int r : facts.activities[a].direct) busiest[a] = std::max(busiest[a], load[r]);
    for (int a : timetable.unassigned()) order.push_back(a);
    std::sort(order.begin(), order.end(), [&](int x, int y) {
        const std::size_t sx = facts.activities[x].starts.size();
        const std::size_t sy = facts.activities[y].starts.size();
        if (sx != sy) return sx < sy;
        if (busiest[x] != busiest[y]) return busiest[x] > busiest[y];
        return x < y;
    });
}

bool Placer::hasWork() {
    for (int a : timetable.unassigned())
        if (!hopeless[a]) return true;
    return false;
}

int Placer::pickActivity() {
    while (nextInOrder < order.size()) {
        const int a = order[nextInOrder++];
        if (!timetable.placed(a) && !hopeless[a]) return a;
    }
    const std::vector<int>& unassigned = timetable.unassigned();
    for (int tries = 0; tries < 8; ++tries) {
        const int a = unassigned[random.below(static_cast<int>(unassigned.size()))];
        if (!hopeless[a]) return a;
    }
    for (int a : unassigned)
        if (!hopeless[a]) return a;
    return -1;
}

void Placer::step() {
    const int a = pickActivity();
    if (a < 0) return;
    ++steps;
    const ActivityFacts& act = facts.activities[a];
    const std::size_t nbGroups = act.groups.size();
    chosen.resize(nbGroups);

    // The start with the least in the way, then the cheapest; a tie is
    // broken at random. (Placing now and then at a random start instead, as a
    // random walk, made placing much slower on every school tried.)
    int bestStart = -1;
    long long bestWeight = LLONG_MAX, bestCost = LLONG_MAX;
    int ties = 0;
    for (int t : act.starts) {
        const long long weight = weighStart(a, t, chosen.data(), false);
        if (weight < 0 || weight > bestWeight) continue;
        long long cost = facts.fixedCost(a, t);
        for (std::size_t k = 0; k < nbGroups; ++k) cost += facts.resourceCost(chosen[k], a, t);
        if (weight == bestWeight && cost > bestCost) continue;
        if (weight < bestWeight || cost < bestCost) {
            bestWeight = weight;
            bestCost = cost;
            ties = 0;
        }
        if (random.below(++ties) == 0) bestStart = t;
    }
    if (bestStart < 0) {
        hopeless[a] = 1;
        return;
    }
    placeAt(a, bestStart);
}

void Placer::addInTheWay(int a, int t, int b, long long& weight, bool collect) {
    if (mark[b] == stamp) return;
    mark[b] = stamp;
    weight += weightOf(a, t, b);
    if (collect) inTheWay.push_back(b);
}

long long Placer::weighStart(int a, int t, int* chosenMembers, bool collect) {
    const ActivityFacts& act = facts.activities[a];
    ++stamp;
    if (collect) inTheWay.clear();
    long long weight = 0;

    for (int r : act.direct) {
        const int end = facts.heldEnd(r, a, t);
        for (int w = 0; w < 2; ++w) {
            if (!inWeek(act.week, w)) continue;
            for (int s = t; s <= end; ++s) {
                const int h = timetable.holder(r, w, s);
                if (h >= 0) addInTheWay(a, t, h, weight, collect);
            }
        }
    }
    if (act.hasHardLinks) {
        for (const DependenceLink& link : act.links) {
            if (!link.hard || link.partner == a) continue;
            const int tp = timetable.start(link.partner);
            if (tp >= 0 && facts.broken(link, a, t, tp))
                addInTheWay(a, t, link.partner, weight, collect);
        }
    }
    for (std::size_t k = 0; k < act.groups.size(); ++k) {
        const std::vector<int>& group = facts.problem.groups[act.groups[k]].resources;
        int bestMember = -1;
        long long bestWeight = LLONG_MAX, bestCost = LLONG_MAX;
        for (int m : group) {
            if (!facts.memberAvailable(m, a, t)) continue;
            local.clear();
            long long memberWeight = 0;
            const int end = facts.heldEnd(m, a, t);
            for (int w = 0; w < 2; ++w) {
                if (!inWeek(act.week, w)) continue;
                for (int s = t; s <= end; ++s) {
                    const int h = timetable.holder(m, w, s);
                    if (h < 0 || mark[h] == stamp ||
                        std::find(local.begin(), local.end(), h) != local.end())
                        continue;
                    local.push_back(h);
                    memberWeight += weightOf(a, t, h);
                }
            }
            if (memberWeight > bestWeight) continue;
            const long long cost = facts.resourceCost(m, a, t);
            if (memberWeight == bestWeight && cost >= bestCost) continue;
            bestMember = m;
            bestWeight = memberWeight;
            bestCost = cost;
        }
        if (bestMember < 0) return -1;
        chosenMembers[k] = bestMember;
        const int end = facts.heldEnd(bestMember, a, t);
        for (int w = 0; w < 2; ++w) {
            if (!inWeek(act.week, w)) continue;
            for (int s = t; s <= end; ++s) {
                const int h = timetable.holder(bestMember, w, s);
                if (h >= 0) addInTheWay(a, t, h, weight, collect);
            }
        }
    }
    // A resource at its day limit can only take a new day if one of its days
    // is emptied: count the activities of its lightest day.
    const int d = facts.dayOf(t);
    for (int r : act.direct) {
        const ResourceFacts& res = facts.resources[r];
        if (!res.limitedDays || timetable.activitiesOnDay(r, d) > 0 ||
            timetable.daysUsed(r) < res.maxDays)
            continue;
        int lightest = INT_MAX;
        for (int e = 0; e < facts.days; ++e) {
            const int count = timetable.activitiesOnDay(r, e);
            if (count > 0) lightest = std::min(lightest, count);
        }
        weight += lightest;
    }
    return weight;
}

void Placer::placeAt(int a, int t) {
    // Weighed again on the same timetable, so the same members are chosen.
    weighStart(a, t, chosen.data(), true);
    for (int b : inTheWay) {
        memory.record(a, t, b, timetable.start(b));
        timetable.remove(b);
        ++removals;
    }
    const int d = facts.dayOf(t);
    for (int r : facts.activities[a].direct) {
        const ResourceFacts& res = facts.resources[r];
        if (res.limitedDays && timetable.activitiesOnDay(r, d) == 0 &&
            timetable.daysUsed(r) >= res.maxDays)
            freeDay(r, d, a, t);
    }
    timetable.place(a, t, chosen.data());
}

// Empties the lightest day of a resource at its day limit, so that the
// activity can take day d.
void Placer::freeDay(int r, int d, int a, int t) {
    int lightest = -1;
    int ties = 0;
    for (int e = 0; e < facts.days; ++e) {
        const int count = timetable.activitiesOnDay(r, e);
        if (e == d || count == 0) continue;
        if (lightest < 0 || count < timetable.activitiesOnDay(r, lightest)) {
            lightest = e;
            ties = 1;
        } else if (count == timetable.activitiesOnDay(r, lightest) && random.below(++ties) == 0) {
            lightest = e;
        }
    }
    for (int b : facts.problem.resources[r].activities) {
        if (!timetable.placed(b) || facts.dayOf(timetable.start(b)) != lightest) continue;
        memory.record(a, t, b, timetable.start(b));
        timetable.remove(b);
        ++removals;
    }
}
