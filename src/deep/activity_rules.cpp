#include "deep/activity_rules.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

long long above(long long value, long long limit) { return value > limit ? value - limit : 0; }

int indexIn(const std::vector<int>& list, int a) {
    for (std::size_t k = 0; k < list.size(); ++k)
        if (list[k] == a) return static_cast<int>(k);
    return -1;
}

// Whether a and b both need some resource under Classes.
bool sharesAClass(const Facts& facts, int a, int b) {
    for (int c : facts.activities[a].direct) {
        if (!facts.problem.resources[c].isClass) continue;
        for (int x : facts.activities[b].direct)
            if (x == c) return true;
    }
    return false;
}

// Whether another lesson of a class of L starts on L's day after L ends.
bool notLastOfDay(const Facts& facts, const RuleView& view, int listed) {
    const ActivityFacts& act = facts.activities[listed];
    const int t = view.startOf(listed);
    const int end = t + act.length;
    const int dayEnd = (facts.dayOf(t) + 1) * facts.slotsPerDay;
    for (int c : act.direct) {
        if (!facts.problem.resources[c].isClass) continue;
        const bool onC = view.placesOn(c);
        for (int w = 0; w < 2; ++w) {
            if (!Weeks::holds(act.week, w)) continue;
            for (int s = end; s < dayEnd; ++s) {
                const int h = view.holder(c, w, s, onC);
                if (h >= 0 && h != listed && view.startOf(h) >= end) return true;
            }
        }
    }
    return false;
}

long long consecutiveUnits(const Facts& facts, const ActivityRuleFacts& rule, const RuleView& view) {
    std::vector<int> placed;
    for (int a : rule.activities)
        if (view.placed(a)) placed.push_back(a);
    if (!rule.ordered)
        std::stable_sort(placed.begin(), placed.end(),
                         [&](int a, int b) { return view.startOf(a) < view.startOf(b); });
    long long units = 0;
    for (std::size_t k = 1; k < placed.size(); ++k) {
        const int a = placed[k - 1], b = placed[k];
        const int ta = view.startOf(a), tb = view.startOf(b);
        if (tb != ta + facts.activities[a].length || facts.dayOf(ta) != facts.dayOf(tb)) ++units;
    }
    return units;
}

long long dailyLimitUnits(const Facts& facts, const ActivityRuleFacts& rule, const RuleView& view) {
    long long units = 0;
    std::vector<long long> perDay(facts.days);
    for (int w = 0; w < 2; ++w) {
        std::fill(perDay.begin(), perDay.end(), 0);
        for (int a : rule.activities) {
            const int t = view.startOf(a);
            if (t < 0 || !Weeks::holds(facts.activities[a].week, w)) continue;
            perDay[facts.dayOf(t)] += facts.activities[a].length;
        }
        for (long long slots : perDay) units += above(slots, rule.slots);
    }
    return units;
}

}  // namespace

long long activityRuleUnits(const Facts& facts, int i, const RuleView& view) {
    const ActivityRuleFacts& rule = facts.activityRules[i];
    auto pairs = [&](auto broken) {
        long long units = 0;
        for (std::size_t x = 0; x < rule.activities.size(); ++x) {
            const int tx = view.startOf(rule.activities[x]);
            if (tx < 0) continue;
            for (std::size_t y = x + 1; y < rule.activities.size(); ++y) {
                const int ty = view.startOf(rule.activities[y]);
                if (ty >= 0 && broken(tx, ty)) ++units;
            }
        }
        return units;
    };
    switch (rule.kind) {
    case ActivityRuleKind::differentDays:
        return pairs([&](int tx, int ty) {
            return std::abs(facts.dayOf(tx) - facts.dayOf(ty)) < rule.days;
        });
    case ActivityRuleKind::sameDay:
        return pairs([&](int tx, int ty) { return facts.dayOf(tx) != facts.dayOf(ty); });
    case ActivityRuleKind::samePeriod:
        return pairs([&](int tx, int ty) {
            return tx % facts.slotsPerDay != ty % facts.slotsPerDay;
        });
    case ActivityRuleKind::consecutive: return consecutiveUnits(facts, rule, view);
    case ActivityRuleKind::dailyLimit: return dailyLimitUnits(facts, rule, view);
    case ActivityRuleKind::lastOfDay: {
        long long units = 0;
        for (int a : rule.activities)
            if (view.placed(a) && notLastOfDay(facts, view, a)) ++units;
        return units;
    }
    }
    return 0;
}

void activityRuleConflicts(const Facts& facts, int i, const RuleView& view, int a, int t,
                           ConflictSink& sink) {
    const ActivityRuleFacts& rule = facts.activityRules[i];
    const ActivityFacts& act = facts.activities[a];
    const int d = facts.dayOf(t);
    // Each placed lesson of the rule but a, with its start in the view.
    auto forOthers = [&](auto visit) {
        for (int b : rule.activities) {
            if (b == a) continue;
            const int tb = view.startOf(b);
            if (tb >= 0) visit(b, tb);
        }
    };
    switch (rule.kind) {
    case ActivityRuleKind::differentDays:
        forOthers([&](int b, int tb) {
            if (std::abs(facts.dayOf(tb) - d) < rule.days) sink.takeOut(b);
        });
        break;
    case ActivityRuleKind::sameDay:
        forOthers([&](int b, int tb) {
            if (facts.dayOf(tb) != d) sink.takeOut(b);
        });
        break;
    case ActivityRuleKind::samePeriod:
        forOthers([&](int b, int tb) {
            if (tb % facts.slotsPerDay != t % facts.slotsPerDay) sink.takeOut(b);
        });
        break;
    case ActivityRuleKind::consecutive: {
        if (rule.ordered) {
            const int anchor = t - rule.offsets[indexIn(rule.activities, a)];
            forOthers([&](int b, int tb) {
                if (tb != anchor + rule.offsets[indexIn(rule.activities, b)]) sink.takeOut(b);
            });
            break;
        }
        // On a's day, clear of it, and within one window of the chain's
        // length around it.
        const int length = rule.totalLength;
        forOthers([&](int b, int tb) {
            const int lb = facts.activities[b].length;
            if (facts.dayOf(tb) != d || (tb < t + act.length && t < tb + lb) ||
                tb < t + act.length - length || tb + lb > t + length)
                sink.takeOut(b);
        });
        for (;;) {
            int first = t, last = t + act.length, farthest = -1, distance = -1;
            forOthers([&](int b, int tb) {
                first = std::min(first, tb);
                last = std::max(last, tb + facts.activities[b].length);
                const int away = std::max(t - tb, tb - t);
                if (away > distance) {
                    distance = away;
                    farthest = b;
                }
            });
            if (last - first <= length || farthest < 0) break;
            sink.takeOut(farthest);
        }
        break;
    }
    case ActivityRuleKind::dailyLimit:
        for (int w = 0; w < 2; ++w) {
            if (!Weeks::holds(act.week, w)) continue;
            for (;;) {
                long long slots = act.length;
                int lightest = -1;
                long long lightestWeight = LLONG_MAX;
                forOthers([&](int b, int tb) {
                    if (facts.dayOf(tb) != d || !Weeks::holds(facts.activities[b].week, w)) return;
                    slots += facts.activities[b].length;
                    const long long weight = sink.weight(b);
                    if (weight < lightestWeight) {
                        lightestWeight = weight;
                        lightest = b;
                    }
                });
                if (slots <= rule.slots || lightest < 0) break;
                sink.takeOut(lightest);
            }
        }
        break;
    case ActivityRuleKind::lastOfDay: {
        const int end = t + act.length;
        if (indexIn(rule.activities, a) >= 0) {
            // a must end its classes' day: what starts after it goes.
            const int dayEnd = (d + 1) * facts.slotsPerDay;
            for (int c : act.direct) {
                if (!facts.problem.resources[c].isClass) continue;
                for (int w = 0; w < 2; ++w) {
                    if (!Weeks::holds(act.week, w)) continue;
                    for (int s = end; s < dayEnd; ++s) {
                        const int h = view.holder(c, w, s, false);
                        if (h >= 0 && h != a && view.startOf(h) >= end) sink.takeOut(h);
                    }
                }
            }
        }
        // A listed lesson that a would follow on a class they share is no
        // longer last.
        forOthers([&](int b, int tb) {
            if (facts.dayOf(tb) != d || t < tb + facts.activities[b].length) return;
            if ((facts.activities[b].week & act.week) == 0 || !sharesAClass(facts, a, b)) return;
            sink.takeOut(b);
        });
        break;
    }
    }
}

bool activityRuleAllowsAlone(const Facts& facts, const ActivityRuleFacts& rule, int a, int t) {
    const ActivityFacts& act = facts.activities[a];
    switch (rule.kind) {
    case ActivityRuleKind::dailyLimit: return act.length <= rule.slots;
    case ActivityRuleKind::consecutive: {
        const int d = facts.dayOf(t);
        if (rule.ordered) {
            // Every lesson of the chain must be able to start where the
            // chain puts it.
            const int anchor = t - rule.offsets[indexIn(rule.activities, a)];
            for (std::size_t j = 0; j < rule.activities.size(); ++j) {
                const int at = anchor + rule.offsets[j];
                if (at < 0 || facts.dayOf(at) != d || !facts.allowedBefore(rule.activities[j], at))
                    return false;
            }
            return true;
        }
        const int dayStart = d * facts.slotsPerDay;
        const int low = std::max(dayStart, t + act.length - rule.totalLength);
        const int high = std::min(t, dayStart + facts.fileSlotsPerDay - rule.totalLength);
        return low <= high;
    }
    default: return true;
    }
}
