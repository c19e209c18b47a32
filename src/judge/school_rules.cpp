#include "judge/school_rules.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "problem/weeks.h"

namespace {

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    char small[256];
    const int length = std::vsnprintf(small, sizeof small, pattern, args);
    va_end(args);
    if (length < static_cast<int>(sizeof small)) return small;
    std::string text(length, '\0');
    va_start(args, pattern);
    std::vsnprintf(text.data(), text.size() + 1, pattern, args);
    va_end(args);
    return text;
}

// "1, 3, 4": days counted from 1, as in every message of the rules.
std::string dayList(const std::vector<int>& days) {
    std::string text;
    for (int d : days) text += (text.empty() ? "" : ", ") + std::to_string(d + 1);
    return text;
}

const char* const weekNames[2] = {"even week", "odd week"};

// One resource in one week, slot by slot.
struct WeekSlots {
    std::vector<char> busy;
    std::vector<char> inBreak;
};

// The busy slots of one day of a resource in one week, and what they make.
struct DayFigure {
    int busy = 0;
    int first = -1;   // first busy slot, -1 on a day without work
    int gaps = 0;
    int startRank = 0;  // available slots of the day before the first busy one
    std::vector<std::pair<int, int>> runs;  // first slot and length of each run of busy slots
};

class ResourceJudge {
public:
    ResourceJudge(const ProblemData& problem, const std::vector<int>& startOf, int r)
        : problem(problem), resource(problem.resources[r]), r(r) {
        const int n = problem.nbSlots;
        unavailable.assign(n, 0);
        for (int s : resource.timePrefs.unavail)
            if (s >= 0 && s < n) unavailable[s] = 1;
        for (WeekSlots& week : weeks) {
            week.busy.assign(n, 0);
            week.inBreak.assign(n, 0);
        }
        for (int a : resource.activities) {
            const int t = startOf[a];
            if (t < 0) continue;
            ++placed;
            const Activity& activity = problem.activities[a];
            const int dayEnd = (t / problem.slotsPerDay + 1) * problem.slotsPerDay;
            for (int w = 0; w < 2; ++w) {
                if (!Weeks::holds(activity.week, w)) continue;
                for (int s = t; s < t + activity.length; ++s) weeks[w].busy[s] = 1;
                const int breakEnd = std::min(t + activity.length + resource.breakSlots, dayEnd);
                for (int s = t + activity.length; s < breakEnd; ++s) weeks[w].inBreak[s] = 1;
            }
        }
        for (int w = 0; w < 2; ++w)
            for (int d = 0; d < problem.days; ++d) figures[w].push_back(figure(w, d));
    }

    void judge(const ResourceRule& rule, std::vector<RuleBreach>& out) const {
        if (rule.kind == ResourceRuleKind::minDays) {
            judgeMinDays(rule, out);
            return;
        }
        std::vector<RuleBreach> perWeek[2];
        for (int w = 0; w < 2; ++w) judgeWeek(rule, w, perWeek[w]);
        mergeWeeks(perWeek, out);
    }

private:
    DayFigure figure(int w, int d) const {
        const WeekSlots& week = weeks[w];
        DayFigure f;
        const int begin = d * problem.slotsPerDay, end = begin + problem.slotsPerDay;
        int last = -1;
        for (int s = begin; s < end; ++s) {
            if (!week.busy[s]) continue;
            if (f.first < 0) f.first = s;
            last = s;
            ++f.busy;
            if (s > begin && week.busy[s - 1]) ++f.runs.back().second;
            else f.runs.push_back({s, 1});
        }
        if (f.first < 0) return f;
        for (int s = f.first; s < last; ++s)
            if (!week.busy[s] && !unavailable[s] && !week.inBreak[s]) ++f.gaps;
        for (int s = begin; s < f.first; ++s)
            if (!unavailable[s]) ++f.startRank;
        return f;
    }

    RuleBreach breach(const ResourceRule& rule, long long units, int day, std::string detail) const {
        RuleBreach b;
        b.kind = ruleKindIndex(rule.kind);
        b.hard = rule.hard();
        b.units = units;
        b.resource = r;
        b.day = day;
        b.text = format("res %d [%s]", r, problem.resourceName(r)) + detail;
        return b;
    }

    void judgeWeek(const ResourceRule& rule, int w, std::vector<RuleBreach>& out) const {
        const int n = rule.limit;
        const std::vector<DayFigure>& days = figures[w];
        switch (rule.kind) {
        case ResourceRuleKind::maxPerDay:
            for (int d = 0; d < problem.days; ++d)
                if (days[d].busy > n)
                    out.push_back(breach(rule, days[d].busy - n, d,
                                         format(", day %d: %d busy slots, at most %d", d + 1,
                                                days[d].busy, n)));
            break;
        case ResourceRuleKind::minPerDay:
            for (int d = 0; d < problem.days; ++d)
                if (days[d].busy > 0 && days[d].busy < n)
                    out.push_back(breach(rule, n - days[d].busy, d,
                                         format(", day %d: %d busy slots, at least %d", d + 1,
                                                days[d].busy, n)));
            break;
        case ResourceRuleKind::maxGapsPerDay:
            for (int d = 0; d < problem.days; ++d)
                if (days[d].gaps > n)
                    out.push_back(breach(rule, days[d].gaps - n, d,
                                         format(", day %d: %d gap slots, at most %d", d + 1,
                                                days[d].gaps, n)));
            break;
        case ResourceRuleKind::maxGaps: {
            int gaps = 0;
            std::vector<int> withGaps;
            for (int d = 0; d < problem.days; ++d) {
                gaps += days[d].gaps;
                if (days[d].gaps > 0) withGaps.push_back(d);
            }
            if (gaps > n)
                out.push_back(breach(rule, gaps - n, -1,
                                     format(": %d gap slots in the week (days %s), at most %d",
                                            gaps, dayList(withGaps).c_str(), n)));
            break;
        }
        case ResourceRuleKind::maxConsecutive:
            for (int d = 0; d < problem.days; ++d)
                for (const auto& [first, length] : days[d].runs)
                    if (length > n)
                        out.push_back(breach(rule, length - n, d,
                                             format(", day %d: %d busy slots in a row from time "
                                                    "%d, at most %d",
                                                    d + 1, length, first, n)));
            break;
        case ResourceRuleKind::maxLateStarts: {
            std::vector<int> late;
            for (int d = 0; d < problem.days; ++d) {
                if (days[d].busy == 0) continue;
                if (days[d].startRank == 1) late.push_back(d);
                if (days[d].startRank > 1)
                    out.push_back(breach(rule, 1, d,
                                         format(", day %d: begins at time %d, after its second "
                                                "available slot",
                                                d + 1, days[d].first)));
            }
            if (static_cast<int>(late.size()) > n)
                out.push_back(breach(rule, static_cast<int>(late.size()) - n, -1,
                                     format(": begins at its second available slot on %d days "
                                            "(days %s), at most %d",
                                            static_cast<int>(late.size()), dayList(late).c_str(),
                                            n)));
            break;
        }
        case ResourceRuleKind::minDays: break;
        }
    }

    // A day counts when the resource is busy on it in either week.
    void judgeMinDays(const ResourceRule& rule, std::vector<RuleBreach>& out) const {
        if (placed == 0) return;
        int working = 0;
        for (int d = 0; d < problem.days; ++d)
            if (figures[0][d].busy > 0 || figures[1][d].busy > 0) ++working;
        if (working < rule.limit)
            out.push_back(breach(rule, rule.limit - working, -1,
                                 format(": works on %d days, at least %d", working, rule.limit)));
    }

    // A breach alike in both weeks is one breach of every-week lessons;
    // the others name their week.
    static void mergeWeeks(std::vector<RuleBreach> (&perWeek)[2], std::vector<RuleBreach>& out) {
        std::vector<char> matched(perWeek[1].size(), 0);
        for (RuleBreach& even : perWeek[0]) {
            bool merged = false;
            for (std::size_t i = 0; i < perWeek[1].size() && !merged; ++i) {
                if (matched[i] || perWeek[1][i].text != even.text) continue;
                matched[i] = 1;
                even.units += perWeek[1][i].units;
                merged = true;
            }
            if (!merged) even.text += std::string(" (") + weekNames[0] + ")";
            out.push_back(std::move(even));
        }
        for (std::size_t i = 0; i < perWeek[1].size(); ++i) {
            if (matched[i]) continue;
            perWeek[1][i].text += std::string(" (") + weekNames[1] + ")";
            out.push_back(std::move(perWeek[1][i]));
        }
    }

    const ProblemData& problem;
    const Resource& resource;
    const int r;
    int placed = 0;  // its lessons that have a start
    std::vector<char> unavailable;
    WeekSlots weeks[2];
    std::vector<DayFigure> figures[2];
};

class ActivityRuleJudge {
public:
    ActivityRuleJudge(const ProblemData& problem, const std::vector<int>& startOf)
        : problem(problem), startOf(startOf) {}

    void judge(int i, std::vector<RuleBreach>& out) const {
        const ActivityRule& rule = problem.activityRules[i];
        std::vector<int> placed;
        for (int a : rule.activities)
            if (startOf[a] >= 0) placed.push_back(a);
        switch (rule.kind) {
        case ActivityRuleKind::differentDays:
            forPairs(placed, [&](int a, int b) {
                if (std::abs(day(a) - day(b)) >= rule.days) return;
                out.push_back(breach(i, a, b,
                                     format("act %d [%s] on day %d and act %d [%s] on day %d, "
                                            "%s",
                                            a, name(a), day(a) + 1, b, name(b), day(b) + 1,
                                            rule.days == 1
                                                ? "on different days"
                                                : format("at least %d days apart", rule.days)
                                                      .c_str())));
            });
            break;
        case ActivityRuleKind::sameDay:
            forPairs(placed, [&](int a, int b) {
                if (day(a) == day(b)) return;
                out.push_back(breach(i, a, b,
                                     format("act %d [%s] on day %d and act %d [%s] on day %d", a,
                                            name(a), day(a) + 1, b, name(b), day(b) + 1)));
            });
            break;
        case ActivityRuleKind::samePeriod:
            forPairs(placed, [&](int a, int b) {
                if (period(a) == period(b)) return;
                out.push_back(breach(i, a, b,
                                     format("act %d [%s] at period %d and act %d [%s] at period "
                                            "%d",
                                            a, name(a), period(a) + 1, b, name(b),
                                            period(b) + 1)));
            });
            break;
        case ActivityRuleKind::consecutive: judgeConsecutive(i, placed, out); break;
        case ActivityRuleKind::dailyLimit: judgeDailyLimit(i, placed, out); break;
        case ActivityRuleKind::lastOfDay:
            for (int a : placed) judgeLastOfDay(i, a, out);
            break;
        }
    }

private:
    int day(int a) const { return startOf[a] / problem.slotsPerDay; }
    int period(int a) const { return startOf[a] % problem.slotsPerDay; }
    int end(int a) const { return startOf[a] + problem.activities[a].length; }
    const char* name(int a) const { return problem.activityName(a); }

    template <class Visit>
    static void forPairs(const std::vector<int>& placed, Visit visit) {
        for (std::size_t x = 0; x < placed.size(); ++x)
            for (std::size_t y = x + 1; y < placed.size(); ++y) visit(placed[x], placed[y]);
    }

    RuleBreach breach(int i, int a, int b, std::string detail, long long units = 1) const {
        const ActivityRule& rule = problem.activityRules[i];
        RuleBreach br;
        br.kind = ruleKindIndex(rule.kind);
        br.hard = rule.hard();
        br.units = units;
        br.rule = i;
        br.day = a >= 0 ? day(a) : -1;
        if (a >= 0) br.activities.push_back(a);
        if (b >= 0) br.activities.push_back(b);
        br.text = std::move(detail);
        return br;
    }

    // Each placed lesson must start where the one before it ends, on the
    // same day: in the listed order, or in the order of the starts.
    void judgeConsecutive(int i, std::vector<int> placed, std::vector<RuleBreach>& out) const {
        if (!problem.activityRules[i].ordered)
            std::stable_sort(placed.begin(), placed.end(),
                             [&](int a, int b) { return startOf[a] < startOf[b]; });
        for (std::size_t k = 1; k < placed.size(); ++k) {
            const int a = placed[k - 1], b = placed[k];
            if (startOf[b] == end(a) && day(a) == day(b)) continue;
            out.push_back(breach(i, a, b,
                                 format("act %d [%s] ends at time %d, act %d [%s] starts at "
                                        "time %d on day %d",
                                        a, name(a), end(a) - 1, b, name(b), startOf[b],
                                        day(b) + 1)));
        }
    }

    void judgeDailyLimit(int i, const std::vector<int>& placed, std::vector<RuleBreach>& out) const {
        const ActivityRule& rule = problem.activityRules[i];
        std::vector<RuleBreach> perWeek[2];
        for (int w = 0; w < 2; ++w) {
            for (int d = 0; d < problem.days; ++d) {
                int slots = 0;
                std::vector<int> held;
                for (int a : placed) {
                    if (day(a) != d || !Weeks::holds(problem.activities[a].week, w)) continue;
                    slots += problem.activities[a].length;
                    held.push_back(a);
                }
                if (slots <= rule.slots) continue;
                std::string detail = format("day %d: %d slots of", d + 1, slots);
                for (int a : held) detail += format(" act %d [%s]", a, name(a));
                detail += format(", at most %d", rule.slots);
                RuleBreach b = breach(i, held.front(), -1, detail, slots - rule.slots);
                b.activities = held;
                perWeek[w].push_back(std::move(b));
            }
        }
        for (RuleBreach& even : perWeek[0]) {
            auto odd = std::find_if(perWeek[1].begin(), perWeek[1].end(),
                                    [&](const RuleBreach& o) { return o.text == even.text; });
            if (odd != perWeek[1].end()) {
                even.units += odd->units;
                perWeek[1].erase(odd);
            } else {
                even.text += std::string(" (") + weekNames[0] + ")";
            }
            out.push_back(std::move(even));
        }
        for (RuleBreach& odd : perWeek[1]) {
            odd.text += std::string(" (") + weekNames[1] + ")";
            out.push_back(std::move(odd));
        }
    }

    // The listed lesson must be the last of the day for every class it
    // requires, in each of its weeks: no other lesson of the class in a
    // common week starts on that day at or after its end.
    void judgeLastOfDay(int i, int a, std::vector<RuleBreach>& out) const {
        const Activity& listed = problem.activities[a];
        for (int c : listed.reqRes) {
            const Resource& resource = problem.resources[c];
            if (!resource.isClass) continue;
            for (int b : resource.activities) {
                if (b == a || startOf[b] < 0 || day(b) != day(a) || startOf[b] < end(a)) continue;
                if ((problem.activities[b].week & listed.week) == 0) continue;
                RuleBreach br = breach(i, a, b,
                                       format("act %d [%s], day %d: act %d [%s] of res %d [%s] "
                                              "starts at time %d after it",
                                              a, name(a), day(a) + 1, b, name(b), c,
                                              problem.resourceName(c), startOf[b]));
                out.push_back(std::move(br));
                return;  // one breach per listed lesson
            }
        }
    }

    const ProblemData& problem;
    const std::vector<int>& startOf;
};

}  // namespace

const char* ruleKindName(int kindIndex) {
    if (kindIndex < nbResourceRuleKinds) return ruleName(static_cast<ResourceRuleKind>(kindIndex));
    return ruleName(static_cast<ActivityRuleKind>(kindIndex - nbResourceRuleKinds));
}

std::vector<RuleBreach> schoolRuleBreaches(const ProblemData& problem,
                                           const std::vector<int>& startOf) {
    std::vector<RuleBreach> breaches;
    for (int r = 0; r < static_cast<int>(problem.resources.size()); ++r) {
        const Resource& resource = problem.resources[r];
        if (resource.rules.empty()) continue;
        const ResourceJudge judge(problem, startOf, r);
        for (const ResourceRule& rule : resource.rules) {
            const std::size_t first = breaches.size();
            judge.judge(rule, breaches);
            for (std::size_t k = first; k < breaches.size(); ++k)
                if (!rule.hard()) breaches[k].cost = breaches[k].units * rule.score;
        }
    }
    const ActivityRuleJudge judge(problem, startOf);
    for (int i = 0; i < static_cast<int>(problem.activityRules.size()); ++i) {
        const std::size_t first = breaches.size();
        judge.judge(i, breaches);
        const ActivityRule& rule = problem.activityRules[i];
        for (std::size_t k = first; k < breaches.size(); ++k)
            if (!rule.hard()) breaches[k].cost = breaches[k].units * rule.score;
    }
    for (RuleBreach& breach : breaches)
        breach.text = format("Broken %s rule {%s}", ruleKindName(breach.kind), breach.text.c_str());
    return breaches;
}
