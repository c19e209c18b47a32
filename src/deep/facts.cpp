#include "deep/facts.h"

#include <algorithm>

#include "deep/activity_rules.h"
#include "deep/resource_rules.h"
#include "problem/dependence_rule.h"

namespace {

std::vector<long long> prefixOf(const std::vector<int>& perSlot, int nbSlots) {
    std::vector<long long> prefix(nbSlots + 1, 0);
    for (int s = 0; s < nbSlots; ++s)
        prefix[s + 1] = prefix[s] + (s < static_cast<int>(perSlot.size()) ? perSlot[s] : 0);
    return prefix;
}

std::vector<int> countsOf(const std::vector<int>& slots, int nbSlots) {
    std::vector<int> marked(nbSlots, 0);
    for (int s : slots)
        if (s >= 0 && s < nbSlots) marked[s] = 1;
    std::vector<int> prefix(nbSlots + 1, 0);
    for (int s = 0; s < nbSlots; ++s) prefix[s + 1] = prefix[s] + marked[s];
    return prefix;
}

}  // namespace

Facts::Facts(const ProblemData& problem)
    : problem(problem),
      nbActivities(static_cast<int>(problem.activities.size())),
      nbResources(static_cast<int>(problem.resources.size())),
      days(problem.days),
      slotsPerDay(problem.slotsPerDay),
      nbSlots(problem.nbSlots) {
    fileSlotsPerDay = slotsPerDay - problem.addedSlots;
    resources.resize(nbResources);
    for (int r = 0; r < nbResources; ++r) {
        const Resource& resource = problem.resources[r];
        ResourceFacts& facts = resources[r];
        facts.breakSlots = resource.breakSlots;
        facts.maxDays = resource.maxDays;
        facts.limitedDays = resource.maxDays < days;
        facts.balanced = resource.balanced;
        facts.dayQuota = resource.dayQuota;
        facts.continuous = resource.continuous;
        facts.nbActivities = static_cast<int>(resource.activities.size());
        facts.softPrefix = prefixOf(resource.timePrefs.soft, nbSlots);
        facts.unavailPrefix = countsOf(resource.timePrefs.unavail, nbSlots);
    }

    activities.resize(nbActivities);
    ownSoftPrefix.resize(nbActivities);
    allowed.assign(static_cast<std::size_t>(nbActivities) * nbSlots, 0);
    for (int a = 0; a < nbActivities; ++a) {
        const Activity& activity = problem.activities[a];
        ActivityFacts& facts = activities[a];
        facts.length = activity.length;
        facts.week = activity.week;
        facts.weekLoad = activity.weekLoad;
        facts.grsel = activity.grsel;
        facts.direct = activity.reqRes;
        facts.groups = activity.reqGroups;
        ownSoftPrefix[a] = prefixOf(activity.ownTimePrefs.soft, nbSlots);

        // A self-dependence stands twice in the activity's list; it is one rule.
        std::vector<int> seen;
        for (int d : activity.dependences) {
            if (std::find(seen.begin(), seen.end(), d) != seen.end()) continue;
            seen.push_back(d);
            const Dependence& dep = problem.dependences[d];
            const bool isFirst = dep.first == a;
            const int partner = isFirst ? dep.second : dep.first;
            facts.links.push_back({d, partner, isFirst, dep.score < 0, dep.score});
            if (dep.score < 0) facts.hasHardLinks = true;
        }

        // Unavailable slots of the activity and its direct resources, merged.
        const std::vector<int> blocked = countsOf(activity.timePrefs.unavail, nbSlots);
        for (int t = 0; t + facts.length <= nbSlots; ++t) {
            if (dayOf(t) != dayOf(t + facts.length - 1)) continue;
            if (blocked[t + facts.length] != blocked[t]) continue;
            bool selfBroken = false;
            for (const DependenceLink& link : facts.links)
                if (link.partner == a && link.hard && broken(link, a, t, t)) selfBroken = true;
            if (selfBroken) continue;
            facts.starts.push_back(t);
            allowed[static_cast<std::size_t>(a) * nbSlots + t] = 1;
        }
    }
    buildRules();
    if (hasRules) {
        // The starts that break a school rule even alone go; a chain of
        // lessons back to back is placed against the starts each had before.
        baseAllowed = allowed;
        for (int a = 0; a < nbActivities; ++a) {
            std::vector<int>& starts = activities[a].starts;
            std::vector<int> kept;
            for (int t : starts) {
                if (rulesAllowAlone(a, t)) kept.push_back(t);
                else allowed[static_cast<std::size_t>(a) * nbSlots + t] = 0;
            }
            starts.swap(kept);
        }
        baseAllowed.clear();
    }
    buildBlocks();
}

void Facts::buildRules() {
    dayBits = slotsPerDay <= 64;
    for (int r = 0; r < nbResources; ++r) {
        ResourceFacts& facts = resources[r];
        for (int& limit : facts.hardLimit) limit = -1;
        for (const ResourceRule& rule : problem.resources[r].rules) {
            if (rule.score == 0) continue;
            facts.rules.push_back(rule);
            if (rule.hard()) {
                facts.hardRules = true;
                facts.hardLimit[static_cast<int>(rule.kind)] = rule.limit;
                if (rule.kind == ResourceRuleKind::minPerDay || rule.kind == ResourceRuleKind::maxGaps ||
                    rule.kind == ResourceRuleKind::maxGapsPerDay ||
                    rule.kind == ResourceRuleKind::maxLateStarts ||
                    rule.kind == ResourceRuleKind::minDays)
                    facts.fillsDays = true;
            }
            if (rule.kind == ResourceRuleKind::maxConsecutive) facts.maxConsecutive = rule.limit;
        }
        if (facts.rules.empty()) continue;
        hasRules = true;
        const int mostPerDay = facts.limitOf(ResourceRuleKind::maxPerDay);
        const int inARow = facts.limitOf(ResourceRuleKind::maxConsecutive);
        const bool noGaps = facts.limitOf(ResourceRuleKind::maxGapsPerDay) == 0 ||
                            facts.limitOf(ResourceRuleKind::maxGaps) == 0;
        facts.dayCapacity.assign(days, 0);
        for (int d = 0; d < days; ++d) {
            // Without gaps the busy slots of a run of available slots are one
            // run themselves.
            int capacity = 0, run = 0;
            for (int s = d * slotsPerDay; s <= (d + 1) * slotsPerDay; ++s) {
                if (s < (d + 1) * slotsPerDay && !facts.unavailable(s)) {
                    ++run;
                    continue;
                }
                capacity += noGaps && inARow > 0 ? std::min(run, inARow) : run;
                run = 0;
            }
            if (mostPerDay > 0) capacity = std::min(capacity, mostPerDay);
            facts.dayCapacity[d] = capacity;
            facts.mostOnADay = std::max(facts.mostOnADay, capacity);
        }
        if (dayBits) {
            facts.availableBits.assign(days, 0);
            for (int s = 0; s < nbSlots; ++s)
                if (!facts.unavailable(s))
                    facts.availableBits[dayOf(s)] |= std::uint64_t(1) << (s % slotsPerDay);
        }
        for (int a : problem.resources[r].activities) {
            const ActivityFacts& act = activities[a];
            ++facts.lessonsAll;
            for (int w = 0; w < 2; ++w) {
                if (!Weeks::holds(act.week, w)) continue;
                ++facts.lessons[w];
                facts.load[w] += act.length;
                facts.loadWithBreaks[w] += act.length + facts.breakSlots;
            }
            activities[a].ruledResources.push_back(r);
        }
    }
    lastOfDayRules.assign(nbResources, {});
    for (int i = 0; i < static_cast<int>(problem.activityRules.size()); ++i) {
        const ActivityRule& rule = problem.activityRules[i];
        ActivityRuleFacts& facts = activityRules.emplace_back(
            ActivityRuleFacts{rule.kind, rule.activities, rule.score, rule.days, rule.slots,
                              rule.ordered, {}, 0});
        for (int a : rule.activities) {
            facts.offsets.push_back(facts.totalLength);
            facts.totalLength += activities[a].length;
        }
        if (rule.score == 0) continue;
        hasRules = true;
        for (int a : rule.activities) activities[a].rules.push_back(i);
        if (rule.kind != ActivityRuleKind::lastOfDay) continue;
        for (int a : rule.activities)
            for (int c : activities[a].direct)
                if (problem.resources[c].isClass) {
                    std::vector<int>& list = lastOfDayRules[c];
                    if (list.empty() || list.back() != i) list.push_back(i);
                }
    }
}

bool Facts::rulesAllowAlone(int a, int t) const {
    for (int r : activities[a].ruledResources)
        if (!resourceRulesAllowAlone(*this, r, a, t)) return false;
    for (int i : activities[a].rules)
        if (activityRules[i].hard() && !activityRuleAllowsAlone(*this, activityRules[i], a, t))
            return false;
    return true;
}

// Joins the activities that hard Concurrently dependences between equal
// lengths force to one start.
void Facts::buildBlocks() {
    std::vector<int> root(nbActivities);
    for (int a = 0; a < nbActivities; ++a) root[a] = a;
    auto find = [&root](int a) {
        while (root[a] != a) a = root[a] = root[root[a]];
        return a;
    };
    for (const Dependence& dep : problem.dependences) {
        if (dep.score >= 0 || dep.op != DependenceOp::concurrently || dep.first == dep.second) continue;
        if (activities[dep.first].length != activities[dep.second].length) continue;
        root[find(dep.first)] = find(dep.second);
    }
    std::vector<std::vector<int>> members(nbActivities);
    for (int a = 0; a < nbActivities; ++a) members[find(a)].push_back(a);
    for (int a = 0; a < nbActivities; ++a) {
        const std::vector<int>& group = members[find(a)];
        if (group.size() < 2) continue;
        std::vector<int>& block = activities[a].block;
        block.push_back(a);
        for (int b : group)
            if (b != a) block.push_back(b);
    }
}

long long Facts::fixedCost(int a, int t) const {
    long long cost = ownCost(a, t);
    for (int r : activities[a].direct) cost += resourceCost(r, a, t);
    return cost;
}

bool Facts::broken(const DependenceLink& link, int a, int ta, int tp) const {
    const Dependence& dep = problem.dependences[link.dependence];
    const int first = link.isFirst ? a : link.partner;
    const int second = link.isFirst ? link.partner : a;
    const int t1 = link.isFirst ? ta : tp;
    const int t2 = link.isFirst ? tp : ta;
    return dependenceBroken(dep.op, t1, activities[first].length, t2, activities[second].length,
                            slotsPerDay);
}
