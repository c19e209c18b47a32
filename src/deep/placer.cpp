#include "deep/placer.h"

#include <algorithm>
#include <climits>

#include "deep/rule_books.h"


Placer::Placer(Timetable& timetable, Random& random, double aging)
    : timetable(timetable),
      facts(timetable.facts),
      random(random),
      // Conflicts of long ago weigh less than new ones: counts that only grow
      // freeze the search into its old choices. Halving them every few
      // placements of each activity placed every lesson of tight schools
      // with many lessons tied together that otherwise stayed one or two
      // short for minutes.
      agingInterval(static_cast<long long>(aging * (10000 + 10.0 * timetable.facts.nbActivities))) {
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
    if (unassigned.empty()) return -1;
    for (int tries = 0; tries < 8; ++tries) {
        const int a = unassigned[random.below(static_cast<int>(unassigned.size()))];
        if (!hopeless[a]) return a;
    }
    for (int a : unassigned)
        if (!hopeless[a]) return a;
    return -1;
}

void Placer::gatherMoving(int a) {
    moving.assign(1, a);
    for (int b : facts.activities[a].block)
        if (b != a && !hopeless[b]) moving.push_back(b);
}

bool Placer::allowedForAll(int t) const {
    for (int b : moving)
        if (!facts.allowedStart(b, t)) return false;
    return true;
}

void Placer::step() {
    const int a = pickActivity();
    if (a < 0) return;
    if (++steps % agingInterval == 0) memory.age();
    gatherMoving(a);
    // Activities of the block that are placed move with it.
    for (std::size_t i = 1; i < moving.size(); ++i)
        if (timetable.placed(moving[i])) timetable.remove(moving[i]);

    // The start with the least in the way, then the cheapest; a tie is
    // broken at random. (Placing now and then at a random start instead, as a
    // random walk, made placing much slower on every school tried; so did
    // preferring, among starts with as much in the way, the one that leaves
    // the school rules more room: several times more steps on real schools.)
    for (int pass = 0; pass < 2; ++pass) {
        int bestStart = -1;
        long long bestWeight = LLONG_MAX, bestCost = LLONG_MAX;
        int ties = 0;
        for (int t : facts.activities[a].starts) {
            if (moving.size() > 1 && !allowedForAll(t)) continue;
            bound = bestWeight;
            const long long weight = weighMoving(a, t, false);
            if (weight < 0 || weight > bestWeight) continue;
            long long cost = 0;
            std::size_t k = 0;
            for (int b : moving) {
                cost += facts.fixedCost(b, t);
                for (std::size_t g = 0; g < facts.activities[b].groups.size(); ++g)
                    cost += facts.resourceCost(chosen[k++], b, t);
            }
            if (weight == bestWeight && cost > bestCost) continue;
            if (weight < bestWeight || cost < bestCost) {
                bestWeight = weight;
                bestCost = cost;
                ties = 0;
            }
            if (random.below(++ties) == 0) bestStart = t;
        }
        if (bestStart >= 0) {
            placeMoving(a, bestStart);
            return;
        }
        if (moving.size() == 1) break;
        // The block has no start in common: the activity goes alone, and the
        // dependences take out what it clashes with.
        moving.assign(1, a);
    }
    hopeless[a] = 1;
}

void Placer::addInTheWay(int key, int t, int b, long long& weight, bool collect) {
    if (mark[b] == stamp) return;
    mark[b] = stamp;
    weight += weightOf(key, t, b);
    if (collect) inTheWay.push_back(b);
}

long long Placer::weighMoving(int key, int t, bool collect) {
    if (stamp == INT_MAX) {
        std::fill(mark.begin(), mark.end(), 0);
        stamp = 0;
    }
    ++stamp;
    if (collect) inTheWay.clear();
    std::size_t nbChosen = 0;
    for (int b : moving) nbChosen += facts.activities[b].groups.size();
    chosen.resize(nbChosen);
    long long weight = 0;
    std::size_t k = 0;
    for (int b : moving) {
        boundLeft = collect || bound == LLONG_MAX ? LLONG_MAX : bound - weight;
        const long long part = weighStart(key, b, t, chosen.data() + k, collect);
        if (part < 0) return -1;
        weight += part;
        // A start already weighing more than the best one is no choice.
        if (!collect && weight > bound) return weight;
        k += facts.activities[b].groups.size();
    }
    return weight;
}

long long Placer::weighStart(int key, int a, int t, int* chosenMembers, bool collect) {
    const ActivityFacts& act = facts.activities[a];
    long long weight = 0;
    auto inTheWayOf = [&](int h) {
        addInTheWay(key, t, h, weight, collect);
        return true;
    };
    for (int r : act.direct) timetable.forEachHolder(r, a, t, inTheWayOf);
    if (act.hasHardLinks) {
        for (const DependenceLink& link : act.links) {
            if (!link.hard || link.partner == a) continue;
            const int tp = timetable.start(link.partner);
            if (tp >= 0 && facts.broken(link, a, t, tp))
                addInTheWay(key, t, link.partner, weight, collect);
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
            // A member already heavier than the best one is left at once.
            timetable.forEachHolder(m, a, t, [&](int h) {
                if (mark[h] != stamp && std::find(local.begin(), local.end(), h) == local.end()) {
                    local.push_back(h);
                    memberWeight += weightOf(key, t, h);
                }
                return memberWeight <= bestWeight;
            });
            if (memberWeight > bestWeight) continue;
            const long long cost = facts.resourceCost(m, a, t);
            if (memberWeight == bestWeight && cost >= bestCost) continue;
            bestMember = m;
            bestWeight = memberWeight;
            bestCost = cost;
            // Nothing in the way and no cost: no member can do better.
            if (bestWeight == 0 && bestCost == 0) break;
        }
        if (bestMember < 0) return -1;
        chosenMembers[k] = bestMember;
        timetable.forEachHolder(bestMember, a, t, inTheWayOf);
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
    // The school rules need out of the way what would break them. Those
    // take most of the weighing: a start already too heavy is left there.
    if (timetable.rules() && weight <= boundLeft) {
        SinkOf sink([&](int b) { return weightOf(key, t, b); },
                    [&](int b) { addInTheWay(key, t, b, weight, collect); },
                    [&] { return weight > boundLeft; });
        timetable.rules()->conflicts(RuleView{timetable, a, t, &mark, stamp}, sink);
    }
    return weight;
}

void Placer::takeOut(int key, int t, int b) {
    memory.record(key, t, b, timetable.start(b));
    timetable.remove(b);
    ++removals;
}

// Takes out what is in the way of the moving activities at t and places them
// one by one, each weighed again on the timetable as it is by then, so that
// what it is placed beside never breaks a rule. An activity of the block that
// clashes with another of it (they share a resource) stays unassigned.
void Placer::placeMoving(int key, int t) {
    weighMoving(key, t, true);
    for (int b : inTheWay) takeOut(key, t, b);
    std::vector<int> together;
    together.swap(moving);
    for (int a : together) {
        moving.assign(1, a);
        if (weighMoving(key, t, true) < 0) continue;
        bool clash = false;
        for (int b : inTheWay)
            if (std::find(together.begin(), together.end(), b) != together.end()) clash = true;
        if (clash) continue;
        for (int b : inTheWay) takeOut(key, t, b);
        const int d = facts.dayOf(t);
        for (int r : facts.activities[a].direct) {
            const ResourceFacts& res = facts.resources[r];
            if (res.limitedDays && timetable.activitiesOnDay(r, d) == 0 &&
                timetable.daysUsed(r) >= res.maxDays)
                freeDay(key, t, r);
        }
        timetable.place(a, t, chosen.data());
        // What the rules still find in the way (taking out one activity can
        // ask for another) goes too.
        if (const RuleBooks* rules = timetable.rules()) {
            for (int b; (b = rules->toTakeOut(timetable, a)) >= 0;) takeOut(key, t, b);
        }
    }
}

// Empties the lightest day of a resource at its day limit, so that an
// activity can take the day of t.
void Placer::freeDay(int key, int t, int r) {
    const int d = facts.dayOf(t);
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
    for (int b : facts.problem.resources[r].activities)
        if (timetable.placed(b) && facts.dayOf(timetable.start(b)) == lightest) takeOut(key, t, b);
}
