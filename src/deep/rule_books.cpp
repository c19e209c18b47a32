#include "deep/rule_books.h"

#include <algorithm>
#include <climits>

#include "deep/activity_rules.h"
#include "deep/timetable.h"

namespace {

// Takes note of the first activity a rule needs out, and marks it.
class FirstOut : public ConflictSink {
public:
    explicit FirstOut(const RuleView& view) : view(view) {}
    long long weight(int) override { return 0; }
    bool full() override { return found >= 0; }
    void takeOut(int b) override {
        if (found < 0) found = b;
        (*view.mark)[b] = view.stamp;
    }
    int found = -1;

private:
    const RuleView& view;
};

// Lessons leaving as little excess that are weighed against each other.
constexpr int maxWeighed = 4;
// Lessons tried as the next to take out while a placement is weighed.
constexpr int maxTried = 8;

bool dayLocal(ResourceRuleKind kind) {
    return kind == ResourceRuleKind::maxPerDay || kind == ResourceRuleKind::maxConsecutive;
}

}  // namespace

RuleBooks::RuleBooks(const Facts& facts) : facts(facts) {
    ruled.assign(facts.nbResources, -1);
    for (int r = 0; r < facts.nbResources; ++r) {
        const std::vector<ResourceRule>& rules = facts.resources[r].rules;
        if (rules.empty()) continue;
        ruled[r] = static_cast<int>(days.size());
        ruledResources.push_back(r);
        ResourceDays& resourceDays = days.emplace_back();
        for (int w = 0; w < 2; ++w) {
            resourceDays.days[w].assign(facts.days, DayFigure());
            if (facts.dayBits) {
                resourceDays.busyBits[w].assign(facts.days, 0);
                resourceDays.breakBits[w].assign(facts.days, 0);
            }
        }
        resourceRuleUnits.emplace_back(rules.size(), 0);
    }
    activityUnits.assign(facts.activityRules.size(), 0);
    scratchMark.assign(facts.nbActivities, 0);
    dirty.assign(2 * static_cast<std::size_t>(facts.days), 0);
}

RuleView RuleBooks::freshView(const Timetable& timetable) const {
    if (scratchStamp == INT_MAX) {
        std::fill(scratchMark.begin(), scratchMark.end(), 0);
        scratchStamp = 0;
    }
    RuleView view{timetable};
    view.mark = &scratchMark;
    view.stamp = ++scratchStamp;
    return view;
}

void RuleBooks::activityRulesOf(int a, std::vector<int>& rules) const {
    rules = facts.activities[a].rules;
    for (int c : facts.activities[a].direct)
        for (int i : facts.lastOfDayRules[c])
            if (std::find(rules.begin(), rules.end(), i) == rules.end()) rules.push_back(i);
}

long long RuleBooks::update(const Timetable& timetable, int a, int t, bool placed) {
    const ActivityFacts& act = facts.activities[a];
    const RuleView view{timetable};
    const int d = facts.dayOf(t);
    long long soft = 0;
    for (int r : act.ruledResources) {
        const int k = ruled[r];
        ResourceDays& resourceDays = days[k];
        resourceDays.count(facts, r, a, t, placed ? 1 : -1);
        if (!facts.dayBits)
            for (int w = 0; w < 2; ++w)
                if (Weeks::holds(act.week, w)) resourceDays.days[w][d] = view.figure(r, w, d);
        const std::vector<ResourceRule>& rules = facts.resources[r].rules;
        for (std::size_t j = 0; j < rules.size(); ++j) {
            const long long units = ruleUnits(facts, r, rules[j], resourceDays);
            const long long change = units - resourceRuleUnits[k][j];
            resourceRuleUnits[k][j] = units;
            if (rules[j].hard()) hard += change;
            else soft += change * rules[j].score;
        }
    }
    activityRulesOf(a, rulesScratch);
    for (int i : rulesScratch) {
        const long long units = activityRuleUnits(facts, i, view);
        const long long change = units - activityUnits[i];
        activityUnits[i] = units;
        const ActivityRuleFacts& rule = facts.activityRules[i];
        if (rule.hard()) hard += change;
        else soft += change * rule.score;
    }
    return soft;
}

bool RuleBooks::paysPenalty(int a) const {
    for (int r : facts.activities[a].ruledResources) {
        const std::vector<ResourceRule>& rules = facts.resources[r].rules;
        for (std::size_t j = 0; j < rules.size(); ++j)
            if (!rules[j].hard() && resourceRuleUnits[ruled[r]][j] > 0) return true;
    }
    for (int i : facts.activities[a].rules)
        if (!facts.activityRules[i].hard() && activityUnits[i] > 0) return true;
    return false;
}

void RuleBooks::project(const RuleView& view, int r, ResourceDays& into) const {
    into = days[ruled[r]];
    bool changed = false;
    auto touch = [&](int b, int t, int sign) {
        into.count(facts, r, b, t, sign);
        if (facts.dayBits) return;
        for (int w = 0; w < 2; ++w)
            if (Weeks::holds(facts.activities[b].week, w))
                dirty[static_cast<std::size_t>(w) * facts.days + facts.dayOf(t)] = 1;
        changed = true;
    };
    if (view.mark)
        for (int b : facts.problem.resources[r].activities)
            if (view.out(b) && view.timetable.placed(b)) touch(b, view.timetable.start(b), -1);
    if (view.placesOn(r) && !view.timetable.placed(view.activity))
        touch(view.activity, view.start, 1);
    if (!changed) return;
    for (int w = 0; w < 2; ++w) {
        for (int d = 0; d < facts.days; ++d) {
            char& flag = dirty[static_cast<std::size_t>(w) * facts.days + d];
            if (!flag) continue;
            flag = 0;
            into.days[w][d] = view.figure(r, w, d);
        }
    }
}

void RuleBooks::takeOutOf(const RuleView& view, int r, int b, ResourceDays& into) const {
    into.count(facts, r, b, view.timetable.start(b), -1);
    if (facts.dayBits) return;
    const int d = facts.dayOf(view.timetable.start(b));
    for (int w = 0; w < 2; ++w)
        if (Weeks::holds(facts.activities[b].week, w)) into.days[w][d] = view.figure(r, w, d);
}

long long RuleBooks::hardExcess(const ResourceDays& resourceDays, int r) const {
    long long excess = fillExcess(facts, r, resourceDays);
    for (const ResourceRule& rule : facts.resources[r].rules)
        if (rule.hard()) excess += ruleExcess(facts, r, rule, resourceDays);
    return excess;
}

long long RuleBooks::resourceUnits(const ResourceDays& resourceDays, int r, bool hardOnly) const {
    long long units = 0;
    for (const ResourceRule& rule : facts.resources[r].rules)
        if (rule.hard() || !hardOnly) units += ruleUnits(facts, r, rule, resourceDays);
    return units;
}

int RuleBooks::bestOut(const RuleView& view, int r, int a, bool exact, ConflictSink* sink,
                       ResourceDays& now) const {
    // When only rules of one day are in excess, only lessons of that day help.
    int onlyDay = -1;
    if (!exact && view.activity >= 0) {
        bool local = fillExcess(facts, r, now) == 0;
        for (const ResourceRule& rule : facts.resources[r].rules)
            if (rule.hard() && !dayLocal(rule.kind) && ruleExcess(facts, r, rule, now) > 0)
                local = false;
        if (local) onlyDay = facts.dayOf(view.start);
    }
    // The scan begins at another lesson each time, and weighs at most a few
    // of the lessons that leave as little: weighing is what costs.
    const std::vector<int>& lessons = facts.problem.resources[r].activities;
    const std::size_t n = lessons.size();
    const std::size_t from = n == 0 ? 0 : static_cast<std::size_t>(++rotation) % n;
    int best = -1, weighed = 0, tried = 0;
    long long bestLeft = LLONG_MAX, bestWeight = LLONG_MAX;
    for (std::size_t i = 0; i < n; ++i) {
        const int b = lessons[(from + i) % n];
        if (b == a || b == view.activity || !view.placed(b)) continue;
        if (onlyDay >= 0 && facts.dayOf(view.startOf(b)) != onlyDay) continue;
        // While weighing, a sample of the lessons will do.
        if (sink && ++tried > maxTried && best >= 0) break;
        // b out of the view and of the days for a moment.
        const int saved = (*view.mark)[b];
        (*view.mark)[b] = view.stamp;
        const ResourceDays::Day before = now.day(facts, view.timetable.start(b));
        takeOutOf(view, r, b, now);
        (*view.mark)[b] = saved;
        const long long left = exact ? resourceUnits(now, r, true) : hardExcess(now, r);
        now.restore(before);
        if (left > bestLeft) continue;
        if (left < bestLeft) {
            best = b;
            bestLeft = left;
            bestWeight = LLONG_MAX;
            weighed = 0;
        }
        // The weight only tells ties apart.
        if (!sink || weighed >= maxWeighed) continue;
        ++weighed;
        const long long weight = sink->weight(b);
        if (weight < bestWeight) {
            best = b;
            bestWeight = weight;
        }
    }
    return best;
}

void RuleBooks::conflicts(const RuleView& view, ConflictSink& sink) const {
    const int a = view.activity;
    activityRulesOf(a, rulesScratch);
    for (int i : rulesScratch) {
        if (sink.full()) return;
        if (facts.activityRules[i].hard())
            activityRuleConflicts(facts, i, view, a, view.start, sink);
    }
    for (int r : facts.activities[a].ruledResources) {
        if (!facts.resources[r].hardRules) continue;
        project(view, r, projected);
        while (!sink.full() && hardExcess(projected, r) > 0) {
            const int b = bestOut(view, r, a, false, &sink, projected);
            if (b < 0) break;
            sink.takeOut(b);
            takeOutOf(view, r, b, projected);
        }
    }
}

bool RuleBooks::hold(const Timetable& timetable, int a) const {
    for (int r : facts.activities[a].ruledResources)
        if (facts.resources[r].hardRules && hardExcess(days[ruled[r]], r) > 0) return false;
    activityRulesOf(a, rulesScratch);
    if (rulesScratch.empty()) return true;
    const RuleView view = freshView(timetable);
    FirstOut first(view);
    for (int i : rulesScratch) {
        if (!facts.activityRules[i].hard()) continue;
        activityRuleConflicts(facts, i, view, a, timetable.start(a), first);
        if (first.found >= 0) return false;
    }
    return true;
}

int RuleBooks::toTakeOut(const Timetable& timetable, int a) const {
    const RuleView view = freshView(timetable);
    activityRulesOf(a, rulesScratch);
    FirstOut first(view);
    for (int i : rulesScratch) {
        if (!facts.activityRules[i].hard()) continue;
        activityRuleConflicts(facts, i, view, a, timetable.start(a), first);
        if (first.found >= 0) return first.found;
    }
    for (int r : facts.activities[a].ruledResources) {
        if (!facts.resources[r].hardRules || hardExcess(days[ruled[r]], r) == 0) continue;
        projected = days[ruled[r]];
        const int b = bestOut(view, r, a, false, nullptr, projected);
        if (b >= 0) return b;
    }
    return -1;
}

int RuleBooks::toRepair(const Timetable& timetable) const {
    if (hard == 0) return -1;
    for (std::size_t k = 0; k < days.size(); ++k) {
        const int r = ruledResources[k];
        const std::vector<ResourceRule>& rules = facts.resources[r].rules;
        long long owed = 0;
        bool minDays = false;
        for (std::size_t j = 0; j < rules.size(); ++j) {
            if (!rules[j].hard() || resourceRuleUnits[k][j] == 0) continue;
            owed += resourceRuleUnits[k][j];
            if (rules[j].kind == ResourceRuleKind::minDays) minDays = true;
        }
        if (owed == 0) continue;
        const RuleView view = freshView(timetable);
        projected = days[k];
        const int b = bestOut(view, r, -1, true, nullptr, projected);
        if (b < 0) continue;
        (*view.mark)[b] = view.stamp;
        trial = days[k];
        takeOutOf(view, r, b, trial);
        const long long left = resourceUnits(trial, r, true);
        if (left < owed || minDays) return b;
        // No one lesson mends the rule (a day short of lessons, a late
        // start): the day goes whole, lesson by lesson.
        for (int w = 0; w < 2; ++w) {
            for (int d = 0; d < facts.days; ++d) {
                const DayFigure& f = days[k].days[w][d];
                if (f.busy == 0) continue;
                bool owing = f.gaps > 0 || f.startRank > 0 || f.runExcess > 0;
                for (const ResourceRule& rule : rules)
                    if (rule.hard() && ((rule.kind == ResourceRuleKind::minPerDay && f.busy < rule.limit) ||
                                        (rule.kind == ResourceRuleKind::maxPerDay && f.busy > rule.limit)))
                        owing = true;
                if (!owing) continue;
                for (int x : facts.problem.resources[r].activities)
                    if (timetable.placed(x) && facts.dayOf(timetable.start(x)) == d &&
                        Weeks::holds(facts.activities[x].week, w))
                        return x;
            }
        }
        return b;
    }
    for (std::size_t i = 0; i < activityUnits.size(); ++i) {
        if (!facts.activityRules[i].hard() || activityUnits[i] == 0) continue;
        int best = -1;
        long long fewest = LLONG_MAX;
        for (int b : facts.activityRules[i].activities) {
            if (!timetable.placed(b)) continue;
            const RuleView view = freshView(timetable);
            (*view.mark)[b] = view.stamp;
            const long long left = activityRuleUnits(facts, static_cast<int>(i), view);
            if (left < fewest) {
                fewest = left;
                best = b;
            }
        }
        if (best >= 0) return best;
    }
    return -1;
}
