#include "problem/score_bound.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "base/log.h"

namespace {

// The largest cost of a window of `length` consecutive slots of a prepared
// soft table, bounded from above by two cheap figures: length times the
// dearest slot, and the sum of all slots.
struct SoftFigures {
    long long dearest = 0;
    long long total = 0;

    explicit SoftFigures(const TimePrefs& prefs) {
        for (int cost : prefs.soft) {
            dearest = std::max<long long>(dearest, cost);
            total += cost;
        }
    }
    long long window(int length) const { return std::min(dearest * length, total); }
};

// The most units of breach a rule can have in any timetable.
long long mostUnits(const ProblemData& problem, const Resource& resource, const ResourceRule& rule) {
    long long load = 0;  // busy slots of both weeks when every lesson is placed
    for (int a : resource.activities) load += problem.activities[a].weekLoad;
    const long long days = problem.days;
    switch (rule.kind) {
    case ResourceRuleKind::maxPerDay:
    case ResourceRuleKind::maxConsecutive: return load;
    case ResourceRuleKind::minPerDay: return 2 * days * rule.limit;
    case ResourceRuleKind::maxGaps:
    case ResourceRuleKind::maxGapsPerDay: return 2LL * problem.nbSlots;
    case ResourceRuleKind::minDays: return rule.limit;
    case ResourceRuleKind::maxLateStarts: return 2 * days;
    }
    return 0;
}

long long mostUnits(const ProblemData& problem, const ActivityRule& rule) {
    const long long k = static_cast<long long>(rule.activities.size());
    switch (rule.kind) {
    case ActivityRuleKind::differentDays:
    case ActivityRuleKind::sameDay:
    case ActivityRuleKind::samePeriod: return k * (k - 1) / 2;
    case ActivityRuleKind::consecutive: return k - 1;
    case ActivityRuleKind::lastOfDay: return k;
    case ActivityRuleKind::dailyLimit: {
        long long load = 0;
        for (int a : rule.activities) load += problem.activities[a].weekLoad;
        return load;
    }
    }
    return 0;
}

}  // namespace

long long placedPenaltyBound(const ProblemData& problem, long long limit) {
    // Each term added is at most an int times the table sizes the analysis
    // allows (resources or activities times slots, at most 5 x 10^7, times
    // 2), below 2^58; counting stops once past limit, so the sum stays far
    // from overflow.
    long long bound = 0;
    auto add = [&](long long term) {
        bound += term;
        return bound > limit;
    };
    // A rule's units times its score: a rule may list every activity, so
    // the product is tested before it is formed.
    auto addRule = [&](long long units, int score) {
        if (units > 0 && units > (limit - bound) / score) {
            bound = limit + 1;
            return true;
        }
        return add(units * score);
    };

    std::vector<SoftFigures> resourceSoft;
    resourceSoft.reserve(problem.resources.size());
    for (const Resource& resource : problem.resources) resourceSoft.emplace_back(resource.timePrefs);

    for (const Activity& activity : problem.activities) {
        // Its own preferences, those of its required resources and the dearest
        // member of each group it chooses from; halving is left out.
        long long cost = SoftFigures(activity.ownTimePrefs).window(activity.length);
        for (int r : activity.reqRes) cost += resourceSoft[r].window(activity.length);
        for (int g : activity.reqGroups) {
            long long dearest = 0;
            for (int r : problem.groups[g].resources)
                dearest = std::max(dearest, resourceSoft[r].window(activity.length));
            cost += dearest;
        }
        if (add(cost)) return bound;
    }
    for (const Dependence& dependence : problem.dependences)
        if (dependence.score > 0 && add(dependence.score)) return bound;
    for (const Resource& resource : problem.resources) {
        // A gap lies inside the used days of one week: at most every slot of
        // both weeks.
        if (resource.continuous > 0 &&
            add(static_cast<long long>(resource.continuous / 2) * 2 * problem.nbSlots))
            return bound;
        // The excess over the day quota, summed over the days, is at most the
        // resource's whole load.
        if (resource.balanced > 0) {
            long long load = 0;
            for (int a : resource.activities) load += problem.activities[a].weekLoad;
            if (add(load * resource.balanced)) return bound;
        }
        for (const ResourceRule& rule : resource.rules)
            if (rule.score > 0 && addRule(mostUnits(problem, resource, rule), rule.score)) return bound;
    }
    for (const ActivityRule& rule : problem.activityRules)
        if (rule.score > 0 && addRule(mostUnits(problem, rule), rule.score)) return bound;
    return bound;
}

void checkScoreBound(const ProblemData& problem) {
    long long bound = placedPenaltyBound(problem, INT_MAX);
    if (bound > INT_MAX)
        fatalError("Scores too large (the penalties of one timetable could pass %d)", INT_MAX);
}
