#include "judge/check_solution.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "base/log.h"
#include "base/run_settings.h"
#include "judge/school_rules.h"
#include "problem/dependence_rule.h"
#include "problem/weeks.h"

namespace {


// A resource that the activity being judged may not use.
constexpr int notAllowed = INT_MIN;
// Position of a directly required resource in the activity's resource map.
constexpr int directlyRequired = -1;

// Broken bookkeeping, not bad input: the analysed problem breaks one of its
// own invariants.
void requireInvariant(bool holds, const char* what) {
    if (!holds) fatalError("Internal error in checksol: %s", what);
}

bool fitsInInt(long long value) { return value >= INT_MIN && value <= INT_MAX; }

// Cost of one set of preferences, counted without overflow.
long long preferenceCost(const ProblemData& problem, int start, const TimePrefs& prefs,
                         int activity, int resource, bool detailed) {
    const Activity& act = problem.activities[activity];
    const long long end = static_cast<long long>(start) + act.length;  // one past the last slot
    for (int slot : prefs.unavail) {
        if (start <= slot && slot < end) {
            if (resource < 0)
                fatalError("Hard constraint broken {act %d [%s], time %d}", activity,
                           problem.activityName(activity), slot);
            fatalError("Hard constraint broken {act %d [%s], res %d [%s], time %d}", activity,
                       problem.activityName(activity), resource, problem.resourceName(resource),
                       slot);
        }
    }
    const long long last = std::min<long long>(end, static_cast<long long>(prefs.soft.size()));
    long long sum = 0;
    for (long long slot = std::max(start, 0); slot < last; ++slot) {
        const int value = prefs.soft[slot];
        sum += value;
        if (value == 0 || !detailed) continue;
        if (resource < 0)
            logPrint("Soft constraint broken {act %d [%s], time %d, value %d}\n", activity,
                     problem.activityName(activity), static_cast<int>(slot), value);
        else
            logPrint("Soft constraint broken {act %d [%s], res %d [%s], time %d, value %d}\n",
                     activity, problem.activityName(activity), resource,
                     problem.resourceName(resource), static_cast<int>(slot), value);
    }
    // A resource's preference weighs half for an activity held in one week of the two.
    return resource < 0 ? sum : Weeks::weighted(sum, act.week);
}

// The terms of the score, in the order of the report.
struct Counters {
    long long unassigned = 0;
    long long activityPrefs = 0;
    long long resourcePrefs = 0;
    long long dependences = 0;
    long long continuousSoft = 0;
    long long continuousHard = 0;
    long long balanced = 0;
    long long rules[nbRuleKinds] = {};  // soft school rules, by kind
};

// One judgement: the per-resource tables live only for the call.
class Judgement {
public:
    // With quiet nothing is logged (a broken hard rule still stops the
    // program).
    Judgement(const ProblemData& problem, const std::vector<SolutionEntry>& solution, bool quiet);
    int run(JudgementTerms* terms);

private:
    bool logs(int level) const { return !quiet && logLevel(level); }
    void judgeEntry(const SolutionEntry& entry);
    void checkGrid(int act, int start) const;
    void buildResourceMap(const Activity& activity);
    void clearResourceMap(const Activity& activity);
    void useResource(const SolutionEntry& entry, int position);
    void checkMaxDays() const;
    void countBalanced();
    void countDependences();
    void countSchoolRules();
    void countContinuous();
    int total() const;

    int& occupancy(int week, int res, int slot) {
        return occupancy_[(static_cast<std::size_t>(week) * nbResources + res) * nbSlots + slot];
    }
    int& firstUse(int week, int res, int day) {
        return firstUse_[(static_cast<std::size_t>(week) * nbResources + res) * days + day];
    }
    int& lastUse(int week, int res, int day) {
        return lastUse_[(static_cast<std::size_t>(week) * nbResources + res) * days + day];
    }
    long long& busyTime(int week, int res) {
        return busyTime_[static_cast<std::size_t>(week) * nbResources + res];
    }
    long long& dayLoad(int res, int day) {
        return dayLoad_[static_cast<std::size_t>(res) * days + day];
    }
    bool usedOnDay(int res, int day) const {
        for (int w = 0; w < 2; ++w) {
            const std::size_t cell = (static_cast<std::size_t>(w) * nbResources + res) * days + day;
            if (firstUse_[cell] <= lastUse_[cell]) return true;
        }
        return false;
    }
    int dayOf(long long slot) const {
        return slotsPerDay > 0 ? static_cast<int>(slot / slotsPerDay) : 0;
    }

    const ProblemData& problem;
    const std::vector<SolutionEntry>& solution;
    const bool quiet;
    const int nbActivities;
    const int nbResources;
    const int days;
    const int slotsPerDay;
    const int nbSlots;

    std::vector<int> startOf;
    std::vector<int> occupancy_;
    std::vector<int> firstUse_;
    std::vector<int> lastUse_;
    std::vector<long long> busyTime_;
    std::vector<long long> dayLoad_;
    // For the activity being judged: group position of each resource it may
    // use (directlyRequired for its own resources), notAllowed for the rest.
    std::vector<int> groupOf;
    std::vector<char> groupTaken;
    Counters counters;
    bool softKinds[nbRuleKinds] = {};  // the kinds of the problem's soft school rules
};

Judgement::Judgement(const ProblemData& problem, const std::vector<SolutionEntry>& solution,
                     bool quiet)
    : problem(problem),
      solution(solution),
      quiet(quiet),
      nbActivities(static_cast<int>(problem.activities.size())),
      nbResources(static_cast<int>(problem.resources.size())),
      days(problem.days),
      slotsPerDay(problem.slotsPerDay),
      nbSlots(problem.nbSlots) {
    requireInvariant(days >= 0 && slotsPerDay >= 0 &&
                         static_cast<long long>(days) * slotsPerDay == nbSlots,
                     "time grid");
    // An activity without an entry in the timetable counts as unassigned.
    startOf.assign(nbActivities, -1);
    occupancy_.assign(2 * static_cast<std::size_t>(nbResources) * nbSlots, -1);
    firstUse_.assign(2 * static_cast<std::size_t>(nbResources) * days, nbSlots);
    lastUse_.assign(2 * static_cast<std::size_t>(nbResources) * days, 0);
    busyTime_.assign(2 * static_cast<std::size_t>(nbResources), 0);
    dayLoad_.assign(static_cast<std::size_t>(nbResources) * days, 0);
    groupOf.assign(nbResources, notAllowed);
}

int Judgement::run(JudgementTerms* terms) {
    for (const SolutionEntry& entry : solution) judgeEntry(entry);
    checkMaxDays();
    countBalanced();
    countDependences();
    countSchoolRules();
    countContinuous();
    const int score = total();
    // A rule kind has a term when the problem gives a soft rule of it.
    std::vector<int> ruleTerms;
    for (int kind = 0; kind < nbRuleKinds; ++kind)
        if (softKinds[kind]) ruleTerms.push_back(kind);
    if (terms) {
        // total() has checked that every term fits in an int.
        *terms = {static_cast<int>(counters.unassigned), static_cast<int>(counters.activityPrefs),
                  static_cast<int>(counters.resourcePrefs), static_cast<int>(counters.dependences),
                  static_cast<int>(counters.continuousSoft),
                  static_cast<int>(counters.continuousHard), static_cast<int>(counters.balanced),
                  {}};
        for (int kind : ruleTerms)
            terms->rules.push_back({ruleKindName(kind), static_cast<int>(counters.rules[kind])});
    }
    if (logs(10)) {
        logPrint("Judgement:\n- Unassigned activities: %d\n"
                 "- Soft time preferences (activities): %d\n"
                 "- Soft time preferences (resources): %d\n- Broken dependences: %d\n"
                 "- Broken 'continuous' (soft): %d\n- Broken 'continuous' (hard): %d\n"
                 "- Violated 'balanced': %d\n",
                 static_cast<int>(counters.unassigned), static_cast<int>(counters.activityPrefs),
                 static_cast<int>(counters.resourcePrefs), static_cast<int>(counters.dependences),
                 static_cast<int>(counters.continuousSoft),
                 static_cast<int>(counters.continuousHard), static_cast<int>(counters.balanced));
        for (int kind : ruleTerms)
            logPrint("- Broken '%s': %d\n", ruleKindName(kind),
                     static_cast<int>(counters.rules[kind]));
    }
    return score;
}

void Judgement::judgeEntry(const SolutionEntry& entry) {
    const int a = entry.act;
    requireInvariant(a >= 0 && a < nbActivities, "activity index of a timetable entry");
    const Activity& activity = problem.activities[a];
    const int t = entry.start;
    const int len = activity.length;
    startOf[a] = t;

    if (t < 0) {
        counters.unassigned += unassignedCost;
        if (logs(10))
            logPrint("Unasigned activity %d [%s] !!!!!!!!!!!!!!!!!!!!!!\n", a,
                     problem.activityName(a));
        // Its resources must still keep room for it: the continuity gap counts it.
        for (int r : activity.reqRes) {
            requireInvariant(r >= 0 && r < nbResources, "required resource index");
            for (int w = 0; w < 2; ++w)
                if (Weeks::holds(activity.week, w))
                    busyTime(w, r) += static_cast<long long>(problem.resources[r].breakSlots) + len;
        }
        return;
    }

    checkGrid(a, t);
    counters.activityPrefs += preferenceCost(problem, t, activity.ownTimePrefs, a, -1, logs(25));
    const int day = dayOf(t);
    if (day != dayOf(static_cast<long long>(t) + len - 1))
        fatalError("Activity crosses end of day {act %d [%s]}", a, problem.activityName(a));

    if (entry.res.size() != activity.reqRes.size() + activity.reqGroups.size())
        fatalError("Wrong number of used resources {act %d [%s]}", a, problem.activityName(a));

    buildResourceMap(activity);
    for (std::size_t i = 0; i < entry.res.size(); ++i) useResource(entry, static_cast<int>(i));
    clearResourceMap(activity);
}

// A start whose activity would run past the grid is refused before any
// per-slot table is read.
void Judgement::checkGrid(int a, int t) const {
    const long long last = static_cast<long long>(t) + problem.activities[a].length - 1;
    if (std::max<long long>(t, last) < nbSlots) return;
    if (dayOf(t) != dayOf(last))
        fatalError("Activity crosses end of day {act %d [%s]}", a, problem.activityName(a));
    fatalError("Wrong timeslot number {act %d [%s]}", a, problem.activityName(a));
}

// Direct requirements first, so that a resource both required and in a group
// stays direct; a resource in two groups keeps its first group.
void Judgement::buildResourceMap(const Activity& activity) {
    for (int r : activity.reqRes) {
        requireInvariant(r >= 0 && r < nbResources, "required resource index");
        if (groupOf[r] == notAllowed) groupOf[r] = directlyRequired;
    }
    for (std::size_t k = 0; k < activity.reqGroups.size(); ++k) {
        const int g = activity.reqGroups[k];
        requireInvariant(g >= 0 && g < static_cast<int>(problem.groups.size()), "group index");
        for (int r : problem.groups[g].resources) {
            requireInvariant(r >= 0 && r < nbResources, "group member index");
            if (groupOf[r] == notAllowed) groupOf[r] = static_cast<int>(k);
        }
    }
    groupTaken.assign(activity.reqGroups.size(), 0);
}

void Judgement::clearResourceMap(const Activity& activity) {
    for (int r : activity.reqRes) groupOf[r] = notAllowed;
    for (int g : activity.reqGroups)
        for (int r : problem.groups[g].resources) groupOf[r] = notAllowed;
}

void Judgement::useResource(const SolutionEntry& entry, int position) {
    const int a = entry.act;
    const Activity& activity = problem.activities[a];
    const int t = entry.start;
    const int len = activity.length;
    const int day = dayOf(t);
    const int u = entry.res[position];

    if (u < 0 || u >= nbResources || groupOf[u] == notAllowed)
        fatalError("Activity uses wrong resource {act %d [%s], res %d [%s]}", a,
                   problem.activityName(a), u, problem.resourceName(u));
    const int k = groupOf[u];
    if (k >= 0) {
        if (groupTaken[k]) {
            int earlier = u;
            for (int other : entry.res) {
                if (other >= 0 && other < nbResources && groupOf[other] == k) {
                    earlier = other;
                    break;
                }
            }
            fatalError("Two resources from the same group used "
                       "{act %d [%s], res %d [%s] and %d [%s]}",
                       a, problem.activityName(a), earlier, problem.resourceName(earlier), u,
                       problem.resourceName(u));
        }
        groupTaken[k] = 1;
    }

    // The activity and the break after it hold the resource, but the break
    // never reaches into the next day.
    const Resource& resource = problem.resources[u];
    const long long dayEnd = static_cast<long long>(day) * slotsPerDay + slotsPerDay - 1;
    const long long held = std::min<long long>(
        static_cast<long long>(t) + len + resource.breakSlots - 1, dayEnd);
    for (long long s = t; s <= held; ++s) {
        for (int w = 0; w < 2; ++w) {
            if (!Weeks::holds(activity.week, w)) continue;
            int& holder = occupancy(w, u, static_cast<int>(s));
            if (holder >= 0)
                fatalError("The same resource used twice (or no break) {act %d [%s] and %d [%s], "
                           "res %d [%s], time %d}",
                           holder, problem.activityName(holder), a, problem.activityName(a), u,
                           problem.resourceName(u), static_cast<int>(s));
            holder = a;
        }
    }

    dayLoad(u, day) += activity.weekLoad;
    counters.resourcePrefs += preferenceCost(problem, t, resource.timePrefs, a, u, logs(25));
    for (int w = 0; w < 2; ++w) {
        if (!Weeks::holds(activity.week, w)) continue;
        firstUse(w, u, day) = std::min(firstUse(w, u, day), t);
        lastUse(w, u, day) = static_cast<int>(
            std::max<long long>(lastUse(w, u, day), static_cast<long long>(t) + len - 1));
        busyTime(w, u) += len;
    }
}

// A day counts when the resource holds a slot in it in either week; a used
// day is exactly one whose first use lies before its last.
void Judgement::checkMaxDays() const {
    for (int r = 0; r < nbResources; ++r) {
        const Resource& resource = problem.resources[r];
        if (resource.maxDays >= days) continue;
        int used = 0;
        for (int d = 0; d < days; ++d)
            if (usedOnDay(r, d)) ++used;
        if (used > resource.maxDays)
            fatalError("Resource used in too many days {res %d [%s]}", r, problem.resourceName(r));
    }
}

void Judgement::countBalanced() {
    for (int r = 0; r < nbResources; ++r) {
        const Resource& resource = problem.resources[r];
        if (resource.balanced <= 0) continue;
        for (int d = 0; d < days; ++d) {
            const long long excess = std::max(0LL, dayLoad(r, d) - resource.dayQuota);
            if (excess > 0 && logs(25))
                logPrint("Resource %d [%s] in day %d causes 'balanced' score %d\n", r,
                         problem.resourceName(r), d, static_cast<int>(excess));
            counters.balanced += excess * resource.balanced;
        }
    }
}

void Judgement::countDependences() {
    for (std::size_t i = 0; i < problem.dependences.size(); ++i) {
        const Dependence& dep = problem.dependences[i];
        requireInvariant(dep.first >= 0 && dep.first < nbActivities && dep.second >= 0 &&
                             dep.second < nbActivities,
                         "dependence activity index");
        const long long t1 = startOf[dep.first];
        const long long t2 = startOf[dep.second];
        if (t1 < 0 || t2 < 0) continue;
        const long long len1 = problem.activities[dep.first].length;
        const long long len2 = problem.activities[dep.second].length;
        requireInvariant(isAnalysedOperator(dep.op), "dependence operator");
        const bool broken =
            dependenceBroken(dep.op, t1, len1, t2, len2, problem.slotsPerDay);
        const char* kind = dep.op == DependenceOp::before          ? "before"
                           : dep.op == DependenceOp::closelyBefore ? "closely before"
                                                       : "concurrently";
        if (!broken) continue;
        if (dep.score < 0)
            fatalError("Broken %s dependence %d (%d [%s]: %d-%d, %d [%s]: %d-%d)", kind,
                       static_cast<int>(i), dep.first, problem.activityName(dep.first),
                       static_cast<int>(t1), static_cast<int>(t1 + len1 - 1), dep.second,
                       problem.activityName(dep.second), static_cast<int>(t2),
                       static_cast<int>(t2 + len2 - 1));
        counters.dependences += dep.score;
    }
}

// The school rules, once every other hard rule holds: the first hard one
// broken stops the judgement; the soft ones are terms of their own.
void Judgement::countSchoolRules() {
    for (const Resource& resource : problem.resources)
        for (const ResourceRule& rule : resource.rules)
            if (!rule.hard()) softKinds[ruleKindIndex(rule.kind)] = true;
    for (const ActivityRule& rule : problem.activityRules)
        if (!rule.hard()) softKinds[ruleKindIndex(rule.kind)] = true;
    if (!problem.hasSchoolRules()) return;
    for (const RuleBreach& breach : schoolRuleBreaches(problem, startOf)) {
        if (breach.hard) fatalError("%s", breach.text.c_str());
        counters.rules[breach.kind] += breach.cost;
    }
}

// The gap of a resource is the span of its used days minus the time its
// activities and their breaks must hold, both weeks together; activities left
// unassigned still count, through busyTime.
void Judgement::countContinuous() {
    for (int r = 0; r < nbResources; ++r) {
        const Resource& resource = problem.resources[r];
        const int c = resource.continuous;
        if (c == 0) continue;
        const long long n = static_cast<long long>(resource.activities.size());
        long long gap = 0;
        for (int w = 0; w < 2; ++w) {
            long long used = 0;
            for (int d = 0; d < days; ++d) {
                if (firstUse(w, r, d) <= lastUse(w, r, d)) {
                    ++used;
                    gap += lastUse(w, r, d) - firstUse(w, r, d) + 1;
                }
            }
            gap -= (n - used) * resource.breakSlots + busyTime(w, r);
        }
        const long long penalty = static_cast<long long>(c / 2) * gap;
        if (penalty <= 0 || c <= 0) continue;
        if (c == hardContinuous) {
            if (logs(10))
                logPrint("Resource usage is not continuous (res %d [%s], penalty %d) "
                         "!!!!!!!!!!!!!!!!!!!!!!\n",
                         r, problem.resourceName(r),
                         fitsInInt(penalty) ? static_cast<int>(penalty) : INT_MAX);
            counters.continuousHard += penalty;
        } else {
            counters.continuousSoft += penalty;
        }
    }
}

// The score is an int everywhere else in the program; a total beyond it
// cannot be reported truthfully, so it stops the run instead of wrapping.
int Judgement::total() const {
    const struct {
        const char* name;
        long long value;
    } terms[] = {{"unassigned activities", counters.unassigned},
                 {"soft time preferences (activities)", counters.activityPrefs},
                 {"soft time preferences (resources)", counters.resourcePrefs},
                 {"broken dependences", counters.dependences},
                 {"broken 'continuous' (soft)", counters.continuousSoft},
                 {"broken 'continuous' (hard)", counters.continuousHard},
                 {"violated 'balanced'", counters.balanced}};
    long long sum = 0;
    for (const auto& term : terms) {
        if (!fitsInInt(term.value))
            fatalError("Score too large to count (%s: %lld)", term.name, term.value);
        sum += term.value;
    }
    for (int kind = 0; kind < nbRuleKinds; ++kind) {
        if (!fitsInInt(counters.rules[kind]))
            fatalError("Score too large to count (broken '%s': %lld)", ruleKindName(kind),
                       counters.rules[kind]);
        sum += counters.rules[kind];
    }
    if (!fitsInInt(sum)) fatalError("Score too large to count (total: %lld)", sum);
    return static_cast<int>(sum);
}

}  // namespace

int timePreferenceCost(const ProblemData& problem, int start, const TimePrefs& prefs,
                       int activity, int resource) {
    requireInvariant(activity >= 0 && activity < static_cast<int>(problem.activities.size()),
                     "activity index of a preference cost");
    const long long cost = preferenceCost(problem, start, prefs, activity, resource, logLevel(25));
    if (!fitsInInt(cost)) fatalError("Score too large to count (time preferences: %lld)", cost);
    return static_cast<int>(cost);
}

int checkSolution(const ProblemData& problem) {
    Judgement judgement(problem, problem.solution, false);
    return judgement.run(nullptr);
}

int checkSolution(const ProblemData& problem, JudgementTerms& terms) {
    Judgement judgement(problem, problem.solution, false);
    return judgement.run(&terms);
}

int judgeQuietly(const ProblemData& problem, const std::vector<SolutionEntry>& solution) {
    Judgement judgement(problem, solution, true);
    return judgement.run(nullptr);
}
