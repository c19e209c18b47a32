#include "view/hard_rules.h"

#include <algorithm>
#include <climits>
#include <map>
#include <tuple>

#include "problem/dependence_rule.h"
#include "problem/weeks.h"

namespace View {

namespace {

constexpr int notAllowed = INT_MIN;
constexpr int directlyRequired = -1;

class RuleFinder {
public:
    explicit RuleFinder(const ProblemData& problem)
        : problem(problem),
          nbResources(static_cast<int>(problem.resources.size())),
          days(problem.days),
          slotsPerDay(problem.slotsPerDay),
          fileSlotsPerDay(problem.slotsPerDay - problem.addedSlots),
          nbSlots(problem.nbSlots) {
        startOf.assign(problem.activities.size(), -1);
        holderOf.assign(2 * static_cast<std::size_t>(nbResources) * nbSlots, -1);
        heldAsBreak.assign(holderOf.size(), 0);
        firstUse.assign(2 * static_cast<std::size_t>(nbResources) * days, nbSlots);
        lastUse.assign(firstUse.size(), 0);
        groupOf.assign(nbResources, notAllowed);
    }

    std::vector<BrokenRule> run() {
        for (const SolutionEntry& entry : problem.solution) judgeEntry(entry);
        checkMaxDays();
        checkDependences();
        checkSchoolRules();
        return std::move(rules);
    }

private:
    int dayOf(long long slot) const {
        return slotsPerDay > 0 ? static_cast<int>(slot / slotsPerDay) : 0;
    }
    // A slot beyond the file's day: one of the slots the analysis adds at the
    // end of each day, or a slot of another day.
    bool pastDayEnd(int slot, int day) const {
        return dayOf(slot) != day || slot % slotsPerDay >= fileSlotsPerDay;
    }
    std::size_t cell(int week, int resource, int slot) const {
        return (static_cast<std::size_t>(week) * nbResources + resource) * nbSlots + slot;
    }
    std::size_t dayCell(int week, int resource, int day) const {
        return (static_cast<std::size_t>(week) * nbResources + resource) * days + day;
    }

    void judgeEntry(const SolutionEntry& entry) {
        const int a = entry.act;
        if (a < 0 || a >= static_cast<int>(problem.activities.size())) return;
        const Activity& activity = problem.activities[a];
        const int t = entry.start;
        startOf[a] = t;
        if (t < 0) return;
        const long long last = static_cast<long long>(t) + activity.length - 1;
        const int day = dayOf(t);
        if (t >= nbSlots) {
            // Nowhere on the grid: nothing of it can be placed or checked.
            rules.push_back({.kind = dayOf(last) != day ? Rule::crossesDayEnd : Rule::outsideGrid,
                             .activity = a,
                             .slots = {t}});
            return;
        }
        // The judgement looks at the grid first, then at the lesson's own
        // slots (where a crossing shows as a forbidden added slot), and only
        // then at the day's end.
        const int dayEnd = day * slotsPerDay + fileSlotsPerDay;  // first slot past the day
        bool crossingFound = false;
        auto crossing = [&] {
            if (crossingFound) return;
            crossingFound = true;
            rules.push_back({.kind = Rule::crossesDayEnd, .activity = a, .slots = {dayEnd}});
        };
        if (last >= nbSlots) crossing();
        BrokenRule own{.kind = Rule::lessonUnavailable, .activity = a};
        for (int s : slotsWithin(activity.ownTimePrefs.unavail, t, activity.length)) {
            if (pastDayEnd(s, day)) {
                if (!own.slots.empty()) rules.push_back(own);
                own.slots.clear();
                crossing();
            } else {
                own.slots.push_back(s);
            }
        }
        if (!own.slots.empty()) rules.push_back(own);
        if (dayOf(last) != day) crossing();

        if (entry.res.size() != activity.reqRes.size() + activity.reqGroups.size())
            rules.push_back({.kind = Rule::wrongResourceCount, .activity = a});

        buildResourceMap(activity);
        for (std::size_t i = 0; i < entry.res.size(); ++i) useResource(entry, i, day);
        clearResourceMap(activity);
    }

    std::vector<int> slotsWithin(const std::vector<int>& sorted, int start, int length) const {
        auto from = std::lower_bound(sorted.begin(), sorted.end(), start);
        auto to = std::lower_bound(from, sorted.end(), static_cast<long long>(start) + length);
        return {from, to};
    }

    void buildResourceMap(const Activity& activity) {
        for (int r : activity.reqRes)
            if (groupOf[r] == notAllowed) groupOf[r] = directlyRequired;
        for (std::size_t k = 0; k < activity.reqGroups.size(); ++k)
            for (int r : problem.groups[activity.reqGroups[k]].resources)
                if (groupOf[r] == notAllowed) groupOf[r] = static_cast<int>(k);
        groupTaken.assign(activity.reqGroups.size(), 0);
    }

    void clearResourceMap(const Activity& activity) {
        for (int r : activity.reqRes) groupOf[r] = notAllowed;
        for (int g : activity.reqGroups)
            for (int r : problem.groups[g].resources) groupOf[r] = notAllowed;
    }

    void useResource(const SolutionEntry& entry, std::size_t position, int day) {
        const int a = entry.act;
        const Activity& activity = problem.activities[a];
        const int t = entry.start;
        const int u = entry.res[position];
        if (u < 0 || u >= nbResources) return;
        if (groupOf[u] == notAllowed) {
            rules.push_back({.kind = Rule::wrongResource, .activity = a, .resource = u});
        } else if (const int k = groupOf[u]; k >= 0) {
            if (groupTaken[k]) {
                int earlier = u;
                for (int other : entry.res) {
                    if (other >= 0 && other < nbResources && groupOf[other] == k) {
                        earlier = other;
                        break;
                    }
                }
                rules.push_back({.kind = Rule::twoFromGroup,
                                 .activity = a,
                                 .resource = u,
                                 .otherResource = earlier});
            }
            groupTaken[k] = 1;
        }

        // The lesson and the break after it hold the resource; the break ends
        // with the day.
        const Resource& resource = problem.resources[u];
        const long long dayLast = static_cast<long long>(day) * slotsPerDay + slotsPerDay - 1;
        const long long held = std::min<long long>(
            static_cast<long long>(t) + activity.length + resource.breakSlots - 1, dayLast);
        const long long lessonEnd = static_cast<long long>(t) + activity.length;
        for (long long s = t; s <= held && s < nbSlots; ++s) {
            for (int w = 0; w < 2; ++w) {
                if (!Weeks::holds(activity.week, w)) continue;
                const std::size_t at = cell(w, u, static_cast<int>(s));
                const bool asBreak = s >= lessonEnd;
                if (holderOf[at] >= 0)
                    meet(holderOf[at], heldAsBreak[at] != 0, a, asBreak, u, static_cast<int>(s), w);
                else {
                    holderOf[at] = a;
                    heldAsBreak[at] = asBreak;
                }
            }
        }
        for (int w = 0; w < 2; ++w) {
            if (!Weeks::holds(activity.week, w)) continue;
            int& first = firstUse[dayCell(w, u, day)];
            int& lastSlot = lastUse[dayCell(w, u, day)];
            first = std::min(first, t);
            lastSlot = static_cast<int>(std::max<long long>(lastSlot, lessonEnd - 1));
        }

        BrokenRule closed{.kind = Rule::resourceUnavailable, .activity = a, .resource = u};
        for (int s : slotsWithin(resource.timePrefs.unavail, t, activity.length))
            if (!pastDayEnd(s, day)) closed.slots.push_back(s);
        if (!closed.slots.empty()) rules.push_back(std::move(closed));
    }

    // Lesson a reaches a slot of resource u that lesson holder already holds:
    // one entry per pair of lessons and resource, a clash when both teach at
    // some slot, a missing break when only a break meets the other lesson.
    void meet(int holder, bool holderBreak, int a, bool asBreak, int u, int slot, int week) {
        const auto key = std::make_tuple(holder, a, u);
        auto found = meetings.find(key);
        if (found == meetings.end()) {
            found = meetings.emplace(key, rules.size()).first;
            rules.push_back({.kind = Rule::noBreak, .activity = a, .other = holder, .resource = u});
        }
        // The first meeting of two lessons is where the judgement stops. When
        // both teach there, it is a clash and the slots are those where both
        // teach; otherwise only a break meets a lesson, and the first slot is kept.
        BrokenRule& rule = rules[found->second];
        rule.weeks |= Weeks::bitOf(week);
        if (!holderBreak && !asBreak) {
            rule.kind = Rule::resourceTwice;
            if (rule.slots.empty() || rule.slots.back() != slot) rule.slots.push_back(slot);
        } else if (rule.slots.empty()) {
            rule.slots.push_back(slot);
        }
    }

    void checkMaxDays() {
        for (int r = 0; r < nbResources; ++r) {
            if (problem.resources[r].maxDays >= days) continue;
            BrokenRule rule{.kind = Rule::tooManyDays, .resource = r};
            for (int d = 0; d < days; ++d) {
                for (int w = 0; w < 2; ++w) {
                    if (firstUse[dayCell(w, r, d)] <= lastUse[dayCell(w, r, d)]) {
                        rule.days.push_back(d);
                        break;
                    }
                }
            }
            if (static_cast<int>(rule.days.size()) > problem.resources[r].maxDays)
                rules.push_back(std::move(rule));
        }
    }

    void checkDependences() {
        for (std::size_t i = 0; i < problem.dependences.size(); ++i) {
            const Dependence& dep = problem.dependences[i];
            if (dep.score >= 0) continue;
            const int t1 = startOf[dep.first], t2 = startOf[dep.second];
            if (t1 < 0 || t2 < 0) continue;
            if (!dependenceBroken(dep.op, t1, problem.activities[dep.first].length, t2,
                                  problem.activities[dep.second].length, slotsPerDay))
                continue;
            rules.push_back({.kind = Rule::dependence,
                             .activity = dep.first,
                             .other = dep.second,
                             .slots = {t1, t2},
                             .dependence = static_cast<int>(i)});
        }
    }

    void checkSchoolRules() {
        if (!problem.hasSchoolRules()) return;
        for (RuleBreach& breach : schoolRuleBreachesOf(problem)) {
            if (!breach.hard) continue;
            BrokenRule rule{.kind = Rule::schoolRule, .resource = breach.resource};
            if (!breach.activities.empty()) rule.activity = breach.activities[0];
            if (breach.activities.size() > 1) rule.other = breach.activities[1];
            if (breach.slot >= 0) rule.slots.push_back(breach.slot);
            rule.breach = std::move(breach);
            rules.push_back(std::move(rule));
        }
    }

    const ProblemData& problem;
    const int nbResources;
    const int days;
    const int slotsPerDay;
    const int fileSlotsPerDay;
    const int nbSlots;

    std::vector<int> startOf;
    std::vector<int> holderOf;      // [week][resource][slot]: the first lesson holding it
    std::vector<char> heldAsBreak;  // and whether it holds it only as its break
    std::vector<int> firstUse;      // [week][resource][day]
    std::vector<int> lastUse;
    std::vector<int> groupOf;
    std::vector<char> groupTaken;
    std::map<std::tuple<int, int, int>, std::size_t> meetings;  // (holder, lesson, resource)
    std::vector<BrokenRule> rules;
};

}  // namespace

std::vector<BrokenRule> findBrokenRules(const ProblemData& problem) {
    return RuleFinder(problem).run();
}

std::vector<RuleBreach> schoolRuleBreachesOf(const ProblemData& problem, int activity,
                                             int start) {
    std::vector<int> startOf(problem.activities.size(), -1);
    auto place = [&](int a, int t) {
        if (a < 0 || a >= static_cast<int>(startOf.size()) || t < 0 || t >= problem.nbSlots) return;
        const long long last = static_cast<long long>(t) + problem.activities[a].length - 1;
        if (last / problem.slotsPerDay == t / problem.slotsPerDay) startOf[a] = t;
    };
    for (const SolutionEntry& entry : problem.solution) place(entry.act, entry.start);
    if (activity >= 0 && activity < static_cast<int>(startOf.size())) {
        startOf[activity] = -1;
        place(activity, start);
    }
    return schoolRuleBreaches(problem, startOf);
}

}  // namespace View
