#include "deep/resource_rules.h"

#include <algorithm>

namespace {

long long above(long long value, long long limit) { return value > limit ? value - limit : 0; }

// Days busy in either week: a day counts as for MaxDays.
int workingDays(const Facts& facts, const ResourceDays& days) {
    int working = 0;
    for (int d = 0; d < facts.days; ++d)
        if (days.days[0][d].busy > 0 || days.days[1][d].busy > 0) ++working;
    return working;
}

// Days of one week that begin at the second available slot, and those that
// begin later: what MaxLateStarts counts.
long long lateUnits(const Facts& facts, const std::vector<DayFigure>& week, int n) {
    long long late = 0, later = 0;
    for (int d = 0; d < facts.days; ++d) {
        if (week[d].busy == 0) continue;
        if (week[d].startRank == 1) ++late;
        if (week[d].startRank > 1) ++later;
    }
    return above(late, n) + later;
}

}  // namespace

void ResourceDays::count(const Facts& facts, int r, int a, int sign) {
    const ActivityFacts& act = facts.activities[a];
    placedAll += sign;
    for (int w = 0; w < 2; ++w) {
        if (!Weeks::holds(act.week, w)) continue;
        placed[w] += sign;
        placedWithBreaks[w] += sign * (act.length + facts.resources[r].breakSlots);
    }
}

long long ruleUnits(const Facts& facts, int, const ResourceRule& rule, const ResourceDays& days) {
    const int n = rule.limit;
    long long units = 0;
    if (rule.kind == ResourceRuleKind::minDays)
        return days.placedAll > 0 ? above(n, workingDays(facts, days)) : 0;
    for (int w = 0; w < 2; ++w) {
        const std::vector<DayFigure>& week = days.days[w];
        switch (rule.kind) {
        case ResourceRuleKind::maxPerDay:
            for (const DayFigure& f : week) units += above(f.busy, n);
            break;
        case ResourceRuleKind::minPerDay:
            for (const DayFigure& f : week)
                if (f.busy > 0) units += above(n, f.busy);
            break;
        case ResourceRuleKind::maxGaps: {
            long long gaps = 0;
            for (const DayFigure& f : week) gaps += f.gaps;
            units += above(gaps, n);
            break;
        }
        case ResourceRuleKind::maxGapsPerDay:
            for (const DayFigure& f : week) units += above(f.gaps, n);
            break;
        case ResourceRuleKind::maxConsecutive:
            for (const DayFigure& f : week) units += f.runExcess;
            break;
        case ResourceRuleKind::maxLateStarts: units += lateUnits(facts, week, n); break;
        case ResourceRuleKind::minDays: break;
        }
    }
    return units;
}

// Each form below never rises when a lesson is taken out, and equals the
// rule once every lesson of the resource is placed: a lesson still to be
// placed fills at most its slots and its break of gap, opens at most one
// day, and mends at most one late day.
long long ruleExcess(const Facts& facts, int r, const ResourceRule& rule, const ResourceDays& days) {
    const ResourceFacts& res = facts.resources[r];
    const int n = rule.limit;
    switch (rule.kind) {
    case ResourceRuleKind::maxPerDay:
    case ResourceRuleKind::maxConsecutive: return ruleUnits(facts, r, rule, days);
    case ResourceRuleKind::minDays: {
        if (days.placedAll == 0) return 0;
        const int toPlace = res.lessonsAll - days.placedAll;
        return above(n, workingDays(facts, days) + toPlace);
    }
    default: break;
    }
    long long excess = 0;
    for (int w = 0; w < 2; ++w) {
        const std::vector<DayFigure>& week = days.days[w];
        const long long toPlace = res.lessons[w] - days.placed[w];
        const long long toFill = res.loadWithBreaks[w] - days.placedWithBreaks[w];
        switch (rule.kind) {
        case ResourceRuleKind::minPerDay: {
            // Every working day filled to n needs that many slots in all.
            long long needed = 0;
            for (const DayFigure& f : week)
                if (f.busy > 0) needed += std::max(f.busy, n);
            excess += above(needed, res.load[w]);
            break;
        }
        case ResourceRuleKind::maxGaps: {
            long long gaps = 0;
            for (const DayFigure& f : week) gaps += f.gaps;
            excess += above(gaps - n, toFill);
            break;
        }
        case ResourceRuleKind::maxGapsPerDay: {
            long long over = 0;
            for (const DayFigure& f : week) over += above(f.gaps, n);
            excess += above(over, toFill);
            break;
        }
        case ResourceRuleKind::maxLateStarts:
            excess += above(lateUnits(facts, week, n), toPlace);
            break;
        default: break;
        }
    }
    return excess;
}

bool resourceRuleAllowsAlone(const Facts& facts, int r, const ResourceRule& rule, int a, int t) {
    const ResourceFacts& res = facts.resources[r];
    const ActivityFacts& act = facts.activities[a];
    const int n = rule.limit;
    switch (rule.kind) {
    case ResourceRuleKind::maxPerDay:
    case ResourceRuleKind::maxConsecutive: return act.length <= n;
    case ResourceRuleKind::minDays: return res.lessonsAll >= n;
    case ResourceRuleKind::minPerDay:
        for (int w = 0; w < 2; ++w)
            if (Weeks::holds(act.week, w) && std::max(act.length, n) > res.load[w]) return false;
        return true;
    case ResourceRuleKind::maxLateStarts: {
        const int dayStart = facts.dayOf(t) * facts.slotsPerDay;
        int rank = 0;
        for (int s = dayStart; s < t; ++s)
            if (!res.unavailable(s)) ++rank;
        const int late = rank == 0 ? 0 : rank == 1 ? (n == 0 ? 1 : 0) : 1;
        for (int w = 0; w < 2; ++w)
            if (Weeks::holds(act.week, w) && late > res.lessons[w] - 1) return false;
        return true;
    }
    case ResourceRuleKind::maxGaps:
    case ResourceRuleKind::maxGapsPerDay: return true;
    }
    return true;
}
