#include "view/hard_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "base/log.h"
#include "judge/check_solution.h"
#include "view/explanations.h"
#include "view_fixture.h"

using namespace view_testing;
using View::BrokenRule;
using View::Rule;

namespace {

// Two days of four slots; T's break adds one internal slot to each day.
//
//          day 1 (0-3)            day 2 (4-7)
//    slot  0   1   2   3          4   5   6   7   (8 = past the week)
// K        A   AB                                 B clashes with A
// R1       A   AB      H                          H uses R1 and R2
// T        A   A   C! (break)         G           C in A's break; G on T's Hard 6
// L                C                  D   E   E>  D on its Hard 5; E runs past the day
// M                                           F,J J (even weeks) meets F
// N                    H                          I starts past the week
// F must end before D starts (hard); T may work one day (MaxDays 1).
std::string brokenProblem() {
    const std::string resources =
        "<Classrooms><Resource id=\"R1\"/><Resource id=\"R2\"/></Classrooms>"
        "<Teachers><Resource id=\"T\"><TimePreferences><Hard>6</Hard></TimePreferences>"
        "<Break>1</Break><MaxDays>1</MaxDays></Resource></Teachers>"
        "<Classes><Resource id=\"K\"/><Resource id=\"L\"/><Resource id=\"M\"/>"
        "<Resource id=\"N\"/></Classes>";
    const std::string activities =
        activity("A", 2, {"K", "T"}, {{"R1", "R2"}}) + activity("B", 1, {"K"}, {{"R1", "R2"}}) +
        activity("C", 1, {"L", "T"}) + activity("D", 1, {"L"}, {}, hardAt("5")) +
        activity("E", 3, {"L"}) + activity("F", 1, {"M"}) + activity("G", 1, {"T"}) +
        activity("H", 1, {"N"}, {{"R1", "R2"}}) + activity("I", 1, {"N"}) +
        activity("J", 1, {"M"}, {}, week("E"));
    return problemWithKinds(2, 4, resources, activities, dependence("F", "D", "Before"));
}

std::string brokenSolution() {
    return solutionText({{"A", 0, {"R1", "K", "T"}},
                         {"B", 1, {"R1", "K"}},
                         {"C", 2, {"L", "T"}},
                         {"D", 5, {"L"}},
                         {"E", 6, {"L"}},
                         {"F", 7, {"M"}},
                         {"G", 6, {"T"}},
                         {"H", 3, {"R1", "N", "R2"}},
                         {"I", 9, {"N", "T"}},
                         {"J", 7, {"M"}}});
}

TEST(HardRules, EveryBrokenRuleIsListedWithItsLessonResourceAndPlace) {
    View::CheckedTimetable checked;
    loadChecked(brokenProblem(), brokenSolution(), checked);
    EXPECT_FALSE(checked.judged);
    const View::TimetableLayout layout(checked.problem);
    std::vector<std::string> texts;
    for (const BrokenRule& rule : layout.rules) texts.push_back(View::describe(layout, rule));
    const std::vector<std::string> expected = {
        "R1 has two lessons at once, A and B: Day 1, period 2 (slot 1)",
        "K has two lessons at once, A and B: Day 1, period 2 (slot 1)",
        "T needs a break of 1 slot after A (Day 1, periods 1-2 (slots 0-1)), but C follows at "
        "Day 1, period 3 (slot 2)",
        "D is placed at Day 2, period 2 (slot 5), where the lesson itself may not be held",
        "E (3 slots from Day 2, period 3 (slot 6)) runs past the end of Day 2",
        "T is unavailable at Day 2, period 3 (slot 6), where G is placed",
        "H uses 3 resources but needs 2: N and one of R1 or R2",
        "H (Day 1, period 4 (slot 3)) uses both R1 and R2, where it needs only one of its group",
        "I starts beyond the last slot of the week (slot 7)",
        "M has two lessons at once, F and J: Day 2, period 4 (slot 7) in even weeks",
        "T works on 2 days (Day 1, Day 2), more than its MaxDays of 1",
        "Hard dependence 0 broken: F must end before D starts (F at Day 2, period 4 (slot 7), "
        "D at Day 2, period 2 (slot 5))"};
    EXPECT_EQ(texts, expected);

    // Every lesson in a rule is marked; one beyond the week has no cell.
    for (const View::Placement& p : layout.placements)
        EXPECT_TRUE(p.broken()) << checked.problem.activityName(p.activity);
    EXPECT_EQ(layout.placements.size(), 9u);
    EXPECT_TRUE(layout.unassigned.empty());
}

TEST(HardRules, ClashingLessonsShareTheirCellsOnTheGrid) {
    View::CheckedTimetable checked;
    loadChecked(brokenProblem(), brokenSolution(), checked);
    const View::TimetableLayout layout(checked.problem);
    const ProblemData& problem = checked.problem;
    auto resource = [&](const char* id) {
        for (std::size_t r = 0; r < problem.resources.size(); ++r)
            if (problem.resources[r].id == id) return static_cast<int>(r);
        return -1;
    };
    // K on day 1: every cell one row high; slot 1 holds A (continuing) and B.
    const View::ResourceGrid k = layout.gridOf(resource("K"));
    const View::GridCell& both = k.cells[1][0];
    EXPECT_TRUE(both.clash);
    ASSERT_EQ(both.holders.size(), 2u);
    EXPECT_STREQ(problem.activityName(layout.placements[both.holders[0].placement].activity), "A");
    EXPECT_STREQ(problem.activityName(layout.placements[both.holders[1].placement].activity), "B");
    EXPECT_EQ(k.cells[0][0].rows, 1);
    // T at slot 2: C's lesson and A's break.
    const View::ResourceGrid t = layout.gridOf(resource("T"));
    const View::GridCell& rest = t.cells[2][0];
    EXPECT_TRUE(rest.clash);
    ASSERT_EQ(rest.holders.size(), 2u);
    EXPECT_FALSE(rest.holders[0].isBreak);
    EXPECT_TRUE(rest.holders[1].isBreak);
    // M at slot 7: F every week, J in even weeks only; the odd half holds F alone.
    const View::ResourceGrid m = layout.gridOf(resource("M"));
    ASSERT_EQ(m.cells[3].size(), 3u);
    EXPECT_TRUE(m.cells[3][1].clash);
    EXPECT_EQ(m.cells[3][1].week, 2);
    EXPECT_FALSE(m.cells[3][2].clash);
    EXPECT_EQ(m.cells[3][2].week, 1);
    // G on T's forbidden slot: a lesson cell marked unavailable.
    const View::GridCell& shut = t.cells[2][1];
    EXPECT_GE(shut.placement, 0);
    EXPECT_TRUE(shut.unavailable);
}

// The judgement's verdict on problem.solution: "" when it accepts it,
// otherwise its message without the frame. A broken rule ends the program
// there; here it throws.
struct Refused {};

std::string judgeVerdict(const ProblemData& problem) {
    FILE* log = std::tmpfile();
    FILE* saved = logStream;
    logStream = log;
    currentFile.clear();
    setFatalExit([](int) { throw Refused(); });
    std::string verdict;
    try {
        checkSolution(problem);
    } catch (const Refused&) {
        std::rewind(log);
        for (int c; (c = std::fgetc(log)) != EOF;) verdict += static_cast<char>(c);
        const std::size_t from = verdict.find('\n') + 1;
        verdict = verdict.substr(from, verdict.rfind("\n*") - from);
    }
    setFatalExit(nullptr);
    logStream = saved;
    std::fclose(log);
    return verdict;
}

// The message the judgement gives for the first rule it meets.
std::string judgementMessage(const ProblemData& problem, const BrokenRule& rule) {
    auto act = [&](int a) { return std::to_string(a) + " [" + problem.activityName(a) + "]"; };
    auto res = [&](int r) { return std::to_string(r) + " [" + problem.resourceName(r) + "]"; };
    const int a = rule.activity;
    switch (rule.kind) {
    case Rule::outsideGrid:
        return "Wrong timeslot number {act " + act(a) + "}";
    case Rule::crossesDayEnd: {
        // Inside the grid the lesson first meets its own forbidden slots past
        // the day's end (the slots added after each day are forbidden to all).
        int start = -1;
        for (const SolutionEntry& e : problem.solution)
            if (e.act == a) start = e.start;
        const long long end = static_cast<long long>(start) + problem.activities[a].length;
        for (int s : problem.activities[a].ownTimePrefs.unavail)
            if (end <= problem.nbSlots && s >= start && s < end)
                return "Hard constraint broken {act " + act(a) + ", time " + std::to_string(s) +
                       "}";
        return "Activity crosses end of day {act " + act(a) + "}";
    }
    case Rule::lessonUnavailable:
        return "Hard constraint broken {act " + act(a) + ", time " + std::to_string(rule.slots[0]) +
               "}";
    case Rule::wrongResourceCount:
        return "Wrong number of used resources {act " + act(a) + "}";
    case Rule::wrongResource:
        return "Activity uses wrong resource {act " + act(a) + ", res " + res(rule.resource) + "}";
    case Rule::twoFromGroup:
        return "Two resources from the same group used {act " + act(a) + ", res " +
               res(rule.otherResource) + " and " + res(rule.resource) + "}";
    case Rule::resourceTwice:
    case Rule::noBreak:
        return "The same resource used twice (or no break) {act " + act(rule.other) + " and " +
               act(a) + ", res " + res(rule.resource) + ", time " + std::to_string(rule.slots[0]) +
               "}";
    case Rule::resourceUnavailable:
        return "Hard constraint broken {act " + act(a) + ", res " + res(rule.resource) + ", time " +
               std::to_string(rule.slots[0]) + "}";
    case Rule::tooManyDays:
        return "Resource used in too many days {res " + res(rule.resource) + "}";
    case Rule::dependence: {
        const Dependence& dep = problem.dependences[rule.dependence];
        const char* kind = dep.op == DependenceOp::before          ? "before"
                           : dep.op == DependenceOp::closelyBefore ? "closely before"
                                                                   : "concurrently";
        const int t1 = rule.slots[0], t2 = rule.slots[1];
        return std::string("Broken ") + kind + " dependence " + std::to_string(rule.dependence) +
               " (" + act(dep.first) + ": " + std::to_string(t1) + "-" +
               std::to_string(t1 + problem.activities[dep.first].length - 1) + ", " +
               act(dep.second) + ": " + std::to_string(t2) + "-" +
               std::to_string(t2 + problem.activities[dep.second].length - 1) + ")";
    }
    case Rule::schoolRule:
        return rule.breach.text;
    }
    return "";
}

// The soft terms of an accepted timetable, piece by piece as quorvex-view
// explains them.
JudgementTerms explainedTerms(const ProblemData& problem) {
    const View::TimetableLayout layout(problem);
    JudgementTerms terms;
    terms.unassigned = static_cast<int>(layout.unassigned.size()) * unassignedCost;
    std::set<int> dependences;
    for (const View::Placement& p : layout.placements) {
        for (const View::PreferenceCost& cost : p.preferences)
            (cost.resource < 0 ? terms.activityPrefs : terms.resourcePrefs) +=
                static_cast<int>(cost.cost);
        dependences.insert(p.brokenDependences.begin(), p.brokenDependences.end());
    }
    for (int i : dependences) terms.dependences += problem.dependences[i].score;
    for (const View::ResourcePenalty& penalty : layout.resourcePenalties) {
        int& term = penalty.kind == View::ResourcePenalty::Kind::balanced ? terms.balanced
                    : penalty.hard                                        ? terms.continuousHard
                                                                          : terms.continuousSoft;
        term += static_cast<int>(penalty.amount);
    }
    // A term for each kind of school rule that the problem has a soft rule of.
    bool soft[nbRuleKinds] = {};
    for (const Resource& resource : problem.resources)
        for (const ResourceRule& rule : resource.rules)
            if (!rule.hard()) soft[ruleKindIndex(rule.kind)] = true;
    for (const ActivityRule& rule : problem.activityRules)
        if (!rule.hard()) soft[ruleKindIndex(rule.kind)] = true;
    for (int kind = 0; kind < nbRuleKinds; ++kind) {
        if (!soft[kind]) continue;
        int cost = 0;
        for (const RuleBreach& breach : layout.rulePenalties)
            if (breach.kind == kind) cost += static_cast<int>(breach.cost);
        terms.rules.push_back({ruleKindName(kind), cost});
    }
    return terms;
}

// Whether the rules found and the judgement agree on the current timetable:
// no rule exactly when the judgement accepts it (and then every soft term is
// explained), otherwise the first rule is the judgement's message.
bool agrees(const ProblemData& problem, const std::string& what) {
    const std::vector<BrokenRule> rules = View::findBrokenRules(problem);
    const std::string verdict = judgeVerdict(problem);
    if (rules.empty() != verdict.empty()) {
        ADD_FAILURE() << what << ": judgement says \"" << verdict << "\", " << rules.size()
                      << " rules found";
        return false;
    }
    if (!rules.empty()) {
        const std::string expected = judgementMessage(problem, rules[0]);
        if (verdict == expected) return true;
        ADD_FAILURE() << what << ": judgement \"" << verdict << "\", first rule \"" << expected
                      << "\"";
        return false;
    }
    JudgementTerms judged;
    checkSolution(problem, judged);
    const JudgementTerms explained = explainedTerms(problem);
    const auto a = labelledTerms(judged), b = labelledTerms(explained);
    if (a.size() != b.size()) {
        ADD_FAILURE() << what << ": " << a.size() << " terms judged, " << b.size() << " explained";
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].second == b[i].second) continue;
        ADD_FAILURE() << what << ": " << a[i].first << " judged " << a[i].second << ", explained "
                      << b[i].second;
        return false;
    }
    return true;
}

struct Counts {
    int accepted = 0;
    int refused = 0;
    std::set<Rule> kinds;
    std::set<int> schoolRuleKinds;  // of the hard school rules found broken
    std::set<int> penaltyKinds;     // of the soft school rules explained
};

// Every lesson moved to every start of the week (and one past it), and every
// resource of every lesson replaced by every other one or left out: each
// timetable is asked of both.
void expectAgreementAround(const std::string& problemFile, const std::string& solutionFile,
                           Counts& counts) {
    View::CheckedTimetable checked;
    loadChecked(sourceText(problemFile), sourceText(solutionFile), checked);
    ProblemData& problem = checked.problem;
    ASSERT_TRUE(checked.judged) << solutionFile;
    const int fileSlots = problem.days * (problem.slotsPerDay - problem.addedSlots);
    int failures = 0;
    auto ask = [&](const std::string& what) {
        if (!agrees(problem, problemFile + ", " + what)) ++failures;
        const std::vector<BrokenRule> rules = View::findBrokenRules(problem);
        rules.empty() ? ++counts.accepted : ++counts.refused;
        for (const BrokenRule& rule : rules) {
            counts.kinds.insert(rule.kind);
            if (rule.kind == Rule::schoolRule) counts.schoolRuleKinds.insert(rule.breach.kind);
        }
        if (rules.empty() && problem.hasSchoolRules())
            for (const RuleBreach& breach : View::TimetableLayout(problem).rulePenalties)
                counts.penaltyKinds.insert(breach.kind);
    };
    for (SolutionEntry& entry : problem.solution) {
        const SolutionEntry kept = entry;
        const Activity& activity = problem.activities[entry.act];
        if (entry.start < 0) {
            entry.res = activity.reqRes;
            for (int g : activity.reqGroups) entry.res.push_back(problem.groups[g].resources[0]);
        }
        const std::string id = problem.activityName(entry.act);
        for (int f = 0; f <= fileSlots && failures < 5; ++f) {
            const int perDay = problem.slotsPerDay - problem.addedSlots;
            entry.start = std::min(f + problem.addedSlots * (f / perDay), problem.nbSlots);
            ask(id + " at file slot " + std::to_string(f));
        }
        entry.start = kept.start >= 0 ? kept.start : 0;
        for (std::size_t k = 0; k < entry.res.size() && failures < 5; ++k) {
            const int own = entry.res[k];
            for (int r = 0; r < static_cast<int>(problem.resources.size()); ++r) {
                entry.res[k] = r;
                ask(id + " with resource " + std::to_string(k) + " = " + problem.resourceName(r));
            }
            entry.res[k] = own;
        }
        if (!entry.res.empty()) {
            entry.res.pop_back();
            ask(id + " without its last resource");
        }
        entry = kept;
        if (failures >= 5) break;
    }
}

TEST(HardRules, TheFirstRuleFoundIsTheJudgementsOnEveryTimetableAroundTheExamples) {
    Counts counts;
    expectAgreementAround("examples/school.xml", "tests/cli/cases/view-school/solution.xml",
                          counts);
    for (const char* name : {"primary", "secondary", "college"})
        expectAgreementAround(std::string("examples/") + name + ".xml",
                              std::string("examples/") + name + "-timetable.xml", counts);
    // The moves reach every rule, and valid timetables beside broken ones.
    EXPECT_GT(counts.accepted, 100);
    EXPECT_GT(counts.refused, 1000);
    for (Rule kind :
         {Rule::outsideGrid, Rule::crossesDayEnd, Rule::lessonUnavailable, Rule::wrongResourceCount,
          Rule::wrongResource, Rule::twoFromGroup, Rule::resourceTwice, Rule::noBreak,
          Rule::resourceUnavailable, Rule::tooManyDays, Rule::dependence})
        EXPECT_TRUE(counts.kinds.count(kind)) << "rule " << static_cast<int>(kind) << " never met";
}

// The school with every kind of school rule: the first rule found is the
// judgement's message, and every soft rule's penalty is explained, on every
// timetable one move away from the one kept beside it.
TEST(HardRules, TheFirstRuleFoundIsTheJudgementsAroundTheSchoolWithRules) {
    Counts counts;
    expectAgreementAround("examples/middle.xml", "examples/middle-timetable.xml", counts);
    EXPECT_GT(counts.accepted, 100);
    EXPECT_TRUE(counts.kinds.count(Rule::schoolRule));
    // One move breaks every kind of hard rule of the school but MinDays (its
    // teachers work on more days than they must), and pays the soft
    // MaxPerDay and DifferentDays; moves that break only a soft MaxGaps or
    // MinPerDay break a hard rule of a class as well.
    for (int kind = 0; kind < nbRuleKinds; ++kind) {
        if (kind == ruleKindIndex(ResourceRuleKind::minDays)) continue;
        EXPECT_TRUE(counts.schoolRuleKinds.count(kind)) << ruleKindName(kind) << " never broken";
    }
    EXPECT_TRUE(counts.penaltyKinds.count(ruleKindIndex(ResourceRuleKind::maxPerDay)));
    EXPECT_TRUE(counts.penaltyKinds.count(ruleKindIndex(ActivityRuleKind::differentDays)));
}

}  // namespace
