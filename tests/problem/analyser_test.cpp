// The input analysis: internal slots, requirement groups, dependences,
// resource indexes and figures, conflict lists, the trace and the statistics.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/run_settings.h"
#include "problem/analyser.h"
#include "problem_test_support.h"

using namespace problem_tests;

namespace {

using Conflicts = std::vector<std::pair<int, int>>;

void expectError(const std::string& text, const std::string& message) {
    TempFile file(text);
    EXPECT_EXIT(analyseFile(file), ::testing::ExitedWithCode(1), framed(inFile(file), message))
        << text;
}


std::string resourceXml(const std::string& id, const std::string& content) {
    return "<Resource id=\"" + id + "\">" + content + "</Resource>";
}

}  // namespace

TEST(Analyser, BreaksAddSlotsAtTheEndOfEachDay) {
    // Breaks 0, 2 and 1: two slots are added to each of the 5 days of 8.
    std::string text = problemText(
        5, 8,
        resourceXml("R0", "<Break>0</Break>") +
            resourceXml("R1", "<TimePreferences><Hard>9</Hard><Soft score=\"3\">9</Soft>"
                              "</TimePreferences><Break>2</Break>") +
            resourceXml("R2", "<Break>1</Break>"),
        "");
    ProblemData problem;
    std::string log = captureLog([&] {
        runSettings.verbosity = 10;
        testing_support::loadProblem(text, problem);
    });
    EXPECT_EQ(log,
              "Added additional 2 timeslots at end of each day\n"
              "Statistics: 0 activities, 3 resources, 0 groups, 50 timeslots (5 days x 10 hours), "
              "0 dependences, 0 grres, 0 grsel\n");
    EXPECT_EQ(problem.addedSlots, 2);
    EXPECT_EQ(problem.slotsPerDay, 10);
    EXPECT_EQ(problem.nbSlots, 50);
    // File slot 9 (day 1, hour 1) is internal slot 11; the added slots of
    // every day are unavailable to everyone.
    const TimePrefs& prefs = problem.resources[1].timePrefs;
    EXPECT_EQ(prefs.unavail, (std::vector<int>{8, 9, 11, 18, 19, 28, 29, 38, 39, 48, 49}));
    ASSERT_EQ(prefs.soft.size(), 50u);
    EXPECT_EQ(prefs.soft[11], 3);
    EXPECT_EQ(prefs.soft[9], 0);
    EXPECT_EQ(problem.resources[0].timePrefs.unavail.size(), 10u);
}

TEST(Analyser, SlotsOutsideTheGridAreRefused) {
    expectError(problemText(5, 8, resourceXml("T", "<TimePreferences><Hard>40</Hard>"
                                                  "</TimePreferences>"), ""),
                "Timeslot number out of range (40)");
    expectError(problemText(5, 8, "",
                           "<Activity id=\"a\"><Length>1</Length><RequiredResources/>"
                           "<TimePreferences><Soft>39#41</Soft></TimePreferences></Activity>"),
                "Timeslot number out of range (40)");
}

TEST(Analyser, SizeLimits) {
    expectError(problemText(5, 8, "", activityText("a", 41, "")),
                "Activity longer than the whole timetable (activity 0 [a])");
    EXPECT_EQ(analysed(problemText(5, 8, "", activityText("a", 40, ""))).activities[0].length, 40);

    expectError(problemText(1000, 100, resourceXml("T", "<Break>1</Break>"), ""),
                "Too many timeslots with the added slots (1000 days x 101 slots per day, "
                "at most 100000)");
    expectError(problemText(5, 8, resourceXml("T", "<Break>2147483647</Break>"), ""),
                "Too many timeslots with the added slots (5 days x 2147483655 slots per day, "
                "at most 100000)");

    // 501 activities on 100000 slots would need more than 50000000 entries
    // per per-slot table.
    std::string activities;
    for (int i = 0; i < 501; ++i) activities += activityText("a" + std::to_string(i), 1, "");
    expectError(problemText(1, 100000, "", activities),
                "Problem too large (501 activities, 0 resources, 100000 timeslots; at most "
                "50000000 activity or resource timeslots)");
}

TEST(Analyser, SoftCostsNeverOverflow) {
    expectError(problemText(5, 8,
                           resourceXml("T", "<TimePreferences><Soft score=\"2147483647\">3</Soft>"
                                            "<Soft score=\"1\">3</Soft></TimePreferences>"),
                           ""),
                "Soft scores too large (resource 0 [T])");
    expectError(problemText(5, 8, "",
                           "<Activity id=\"a\"><Length>2</Length><RequiredResources/>"
                           "<TimePreferences><Soft score=\"2147483647\">0#1</Soft>"
                           "</TimePreferences></Activity>"),
                "Soft scores too large (activity 0 [a])");
}

TEST(Analyser, GroupsAreIdenticalOnlyInTheSameOrder) {
    std::string resources = resourceXml("X", "") + resourceXml("Y", "") + resourceXml("Z", "");
    std::string activities =
        activityText("a", 1, group(res("X") + res("Y"))) +
        activityText("b", 1, group(res("Y") + res("X"))) +
        activityText("c", 1, res("Z") + group(res("X") + res("Y")));
    ProblemData problem = analysed(problemText(5, 8, resources, activities));
    ASSERT_EQ(problem.groups.size(), 2u);
    EXPECT_EQ(problem.groups[0].resources, (std::vector<int>{0, 1}));
    EXPECT_EQ(problem.groups[0].activities, (std::vector<int>{0, 2}));
    EXPECT_EQ(problem.groups[1].resources, (std::vector<int>{1, 0}));
    EXPECT_EQ(problem.groups[1].activities, (std::vector<int>{1}));
    EXPECT_EQ(problem.resources[0].groups, (std::vector<int>{0, 1}));
    EXPECT_TRUE(problem.resources[2].groups.empty());
    EXPECT_EQ(problem.resources[2].activities, (std::vector<int>{2}));
    EXPECT_EQ(problem.activities[2].reqRes, (std::vector<int>{2}));
    EXPECT_EQ(problem.activities[2].reqGroups, (std::vector<int>{0}));
    // Only resources in groups get a grres.
    EXPECT_EQ(problem.nbGrres, 2);
    EXPECT_EQ(problem.resources[2].grres, -1);
    // An activity that needs resources only through groups conflicts with nothing.
    EXPECT_TRUE(problem.activities[0].conflicts.empty());
}

TEST(Analyser, TraceShowsEachGroupAsNewOnlyOnce) {
    std::string resources = resourceXml("X", "") + resourceXml("Y", "") + resourceXml("Z", "");
    std::string activities = activityText("a", 1, res("Z") + group(res("X") + res("Y"))) +
                             activityText("b", 1, group(res("X") + res("Y"))) +
                             activityText("c", 1, "");
    std::string text = problemText(5, 8, resources, activities);
    ProblemData problem;
    std::string log = captureLog([&] {
        runSettings.verbosity = 40;
        testing_support::loadProblem(text, problem);
    });
    EXPECT_EQ(log,
              "  Generating requires and groups\n"
              "    Activity 0 [a]\n"
              "      Required resources: 2 [Z]\n"
              "      Required groups: ( 0 [X] 1 [Y] :new:)\n"
              "    Activity 1 [b]\n"
              "      Required resources:\n"
              "      Required groups: ( 0 [X] 1 [Y])\n"
              "    Activity 2 [c]\n"
              "      Required resources:\n"
              "      Required groups:\n"
              "Statistics: 3 activities, 3 resources, 1 groups, 40 timeslots (5 days x 8 hours), "
              "0 dependences, 2 grres, 2 grsel\n");
}

TEST(Analyser, NameAndRequirementMessages) {
    std::string resources = resourceXml("X", "") + resourceXml("Y", "") + resourceXml("Z", "");
    auto one = [&](const std::string& required) {
        return problemText(5, 8, resources, activityText("a", 1, required));
    };
    expectError(one(res("X") + group(res("X") + res("Y"))),
                "The same resource needed twice (0 [X])");
    expectError(one(group(res("Z") + res("Y")) + group(res("Y") + res("X"))),
                "The same resource needed twice (1 [Y])");
    expectError(one(group(res("Z") + res("Z"))), "The same resource needed twice (2 [Z])");
    expectError(one(res("Y") + res("Y")), "The same resource needed twice (1 [Y])");
    expectError(one(res("Q")), "Id \"Q\" not found");
    // Names differ by case.
    expectError(one(res("x")), "Id \"x\" not found");
    expectError(problemText(5, 8, resources + resourceXml("Y", ""), ""),
                "The same ID used twice (Y)");
    expectError(problemText(5, 8, "", activityText("a", 1, "") + activityText("a", 1, "")),
                "The same ID used twice (a)");
}

TEST(Analyser, DependencesAreNormalised) {
    std::string activities;
    for (int i = 0; i < 6; ++i)
        activities += activityText("a" + std::to_string(i), i == 2 ? 2 : 1, "");
    auto dependence = [](const std::string& first, const std::string& second,
                         const std::string& op) {
        return "<Dependence><FirstActivity>" + first + "</FirstActivity><SecondActivity>" +
               second + "</SecondActivity><Operator>" + op + "</Operator></Dependence>";
    };
    std::string dependences = dependence("a3", "a5", "After") +
                              dependence("a0", "a1", "Closely after") +
                              dependence("a1", "a2", "Concurrently") +
                              dependence("a4", "a3", "Concurrently") +
                              dependence("a4", "a0", "Closely before");
    ProblemData problem = analysed(problemText(5, 8, "", activities, dependences));
    auto expect = [&](int i, int first, int second, DependenceOp op) {
        const Dependence& d = problem.dependences[i];
        EXPECT_EQ(std::vector<int>({d.first, d.second}), std::vector<int>({first, second}))
            << "dependence " << i;
        EXPECT_EQ(d.op, op) << "dependence " << i;
        EXPECT_TRUE(d.firstId.empty() && d.secondId.empty());
    };
    expect(0, 5, 3, DependenceOp::before);
    expect(1, 1, 0, DependenceOp::closelyBefore);
    expect(2, 2, 1, DependenceOp::concurrently);  // the longer activity first
    expect(3, 4, 3, DependenceOp::concurrently);  // equal lengths keep their order
    expect(4, 4, 0, DependenceOp::closelyBefore);
    EXPECT_EQ(problem.activities[0].dependences, (std::vector<int>{1, 4}));
    EXPECT_EQ(problem.activities[3].dependences, (std::vector<int>{0, 3}));
    EXPECT_EQ(problem.activities[4].dependences, (std::vector<int>{3, 4}));

    expectError(problemText(5, 8, "", activities, dependence("a0", "zz", "Before")),
                "Id \"zz\" not found");
}

TEST(Analyser, ResourceRuleMessages) {
    auto grouped = [](const std::string& rule) {
        return problemText(5, 8, resourceXml("P", "") + resourceXml("G", rule),
                          activityText("a", 1, group(res("P") + res("G"))));
    };
    expectError(grouped("<Balanced score=\"2\"/>"),
                "MaxDays and Balanced are not supported for resources in groups (resource 1 [G])");
    expectError(grouped("<MaxDays>2</MaxDays>"),
                "MaxDays and Balanced are not supported for resources in groups (resource 1 [G])");
    expectError(grouped("<Continuous/>"),
                "Continuous not supported for resources in groups (resource 1 [G])");
    expectError(problemText(5, 8, resourceXml("P", "") + resourceXml("M", "<MaxDays>0</MaxDays>"), ""),
                "MaxDays shoud be at least 1 (resource 1 [M])");
}

TEST(Analyser, ResourceIndexesAndFigures) {
    std::string resources = resourceXml("G1", "") +
                            resourceXml("M", "<MaxDays>2</MaxDays>") +
                            resourceXml("C", "<Continuous/><Break>1</Break>") +
                            resourceXml("B", "<Balanced score=\"3\"/><Continuous score=\"5\"/>") +
                            resourceXml("P", "") + resourceXml("G2", "");
    std::string activities =
        activityText("a", 2, res("M") + res("C") + res("B") + group(res("G1") + res("G2")), week("A")) +
        activityText("b", 1, res("M") + res("B"), week("O")) +
        activityText("c", 2, res("C"), week("E")) +
        activityText("d", 3, res("C") + group(res("G2") + res("G1")), week("O"));
    ProblemData problem = analysed(problemText(5, 8, resources, activities));
    auto indexes = [&](int r) {
        const Resource& resource = problem.resources[r];
        return std::vector<int>{resource.grres, resource.mdres, resource.contres};
    };
    EXPECT_EQ(indexes(0), (std::vector<int>{0, -1, -1}));
    EXPECT_EQ(indexes(1), (std::vector<int>{-1, 0, -1}));
    EXPECT_EQ(indexes(2), (std::vector<int>{-1, -1, 0}));
    EXPECT_EQ(indexes(3), (std::vector<int>{-1, 1, 1}));
    EXPECT_EQ(indexes(4), (std::vector<int>{-1, -1, -1}));
    EXPECT_EQ(indexes(5), (std::vector<int>{1, -1, -1}));
    EXPECT_EQ(problem.nbGrres, 2);
    EXPECT_EQ(problem.nbMdres, 2);
    EXPECT_EQ(problem.nbContres, 2);

    // Week loads 4 (a, every week), 1 (b), 2 (c), 3 (d).
    EXPECT_EQ(problem.activities[0].weekLoad, 4);
    EXPECT_EQ(problem.activities[1].weekLoad, 1);
    // M: (4 + 1) / min(MaxDays 2, 5 days); B: (4 + 1) / 5; C: (4 + 2 + 3) / 5.
    EXPECT_EQ(problem.resources[1].dayQuota, 2);
    EXPECT_EQ(problem.resources[3].dayQuota, 1);
    EXPECT_EQ(problem.resources[2].dayQuota, 1);
    // C (break 1): even week a and c: (2+1) + (2+1); odd week a and d: (2+1) + (3+1).
    EXPECT_EQ(problem.resources[2].busyEven, 6);
    EXPECT_EQ(problem.resources[2].busyOdd, 7);
    // B (no break): even week a; odd week a and b.
    EXPECT_EQ(problem.resources[3].busyEven, 2);
    EXPECT_EQ(problem.resources[3].busyOdd, 3);
}

TEST(Analyser, ConflictsShareAResourceInACommonWeek) {
    std::string resources = resourceXml("T", "<Break>2</Break>") + resourceXml("C", "") +
                            resourceXml("R1", "") + resourceXml("R2", "");
    std::string activities = activityText("x", 1, res("T") + res("C"), week("A")) +
                             activityText("y", 1, res("T"), week("E")) +
                             activityText("z", 1, res("C"), week("O")) +
                             activityText("w", 1, res("C") + res("T"), week("O")) +
                             activityText("v", 1, group(res("R1") + res("R2")));
    ProblemData problem = analysed(problemText(5, 8, resources, activities));
    EXPECT_EQ(problem.activities[0].conflicts, (Conflicts{{0, 2}, {1, 2}, {2, 0}, {3, 2}}));
    EXPECT_EQ(problem.activities[1].conflicts, (Conflicts{{0, 2}, {1, 2}}));
    EXPECT_EQ(problem.activities[2].conflicts, (Conflicts{{0, 0}, {2, 0}, {3, 0}}));
    EXPECT_EQ(problem.activities[3].conflicts, (Conflicts{{0, 2}, {2, 0}, {3, 2}}));
    EXPECT_TRUE(problem.activities[4].conflicts.empty());
}

TEST(Analyser, GroupSelectionOffsets) {
    std::string resources = resourceXml("X", "") + resourceXml("Y", "") + resourceXml("Z", "") +
                            resourceXml("W", "");
    std::string activities =
        activityText("a", 1, group(res("X") + res("Y")) + group(res("Z") + res("W"))) +
        activityText("b", 1, res("X")) +
        activityText("c", 1, group(res("Z") + res("W")));
    ProblemData problem = analysed(problemText(5, 8, resources, activities));
    EXPECT_EQ(problem.activities[0].grsel, 0);
    EXPECT_EQ(problem.activities[1].grsel, 2);
    EXPECT_EQ(problem.activities[2].grsel, 2);
    EXPECT_EQ(problem.nbGrsel, 3);
}

TEST(Analyser, StartCostsAndHalvedResourceCosts) {
    // 2 days of 4 slots; a break elsewhere adds one slot to each day:
    //   internal slot  0 1 2 3 4 | 5 6 7 8 9      (4 and 9 added)
    //   S soft         0 5 3 3 0 | 0 0 0 0 0
    std::string resources =
        resourceXml("S", "<TimePreferences><Soft score=\"5\">1</Soft><Soft score=\"3\">2#3</Soft>"
                         "<Hard>0</Hard></TimePreferences>") +
        resourceXml("R", "<Break>1</Break>");
    std::string own = "<TimePreferences><Soft score=\"4\">4</Soft><Hard>7</Hard></TimePreferences>";
    std::string activities =
        "<Activity id=\"odd\"><Length>2</Length><Week>O</Week><RequiredResources>" + res("S") +
        "</RequiredResources>" + own + "</Activity>" + activityText("every", 2, res("S"));
    ProblemData problem = analysed(problemText(2, 4, resources, activities));
    ASSERT_EQ(problem.nbSlots, 10);

    // One-week activity: the resource's costs count half (integer division).
    const Activity& odd = problem.activities[0];
    EXPECT_EQ(odd.timePrefs.soft, (std::vector<int>{0, 2, 1, 1, 0, 4, 0, 0, 0, 0}));
    EXPECT_EQ(odd.timePrefs.startSoft, (std::vector<int>{2, 3, 2, 1, 4, 4, 0, 0, 0, 0}));
    EXPECT_EQ(odd.timePrefs.unavail, (std::vector<int>{0, 4, 8, 9}));
    EXPECT_EQ(odd.ownTimePrefs.soft, (std::vector<int>{0, 0, 0, 0, 0, 4, 0, 0, 0, 0}));
    EXPECT_EQ(odd.ownTimePrefs.unavail, (std::vector<int>{4, 8, 9}));
    EXPECT_TRUE(odd.ownTimePrefs.startSoft.empty());
    EXPECT_EQ(odd.weekLoad, 2);

    const Activity& every = problem.activities[1];
    EXPECT_EQ(every.timePrefs.soft, (std::vector<int>{0, 5, 3, 3, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(every.timePrefs.startSoft, (std::vector<int>{5, 8, 6, 3, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(every.weekLoad, 4);
}

TEST(Analyser, BenchStatistics) {
    QUORVEX_BENCH_PATH_OR_SKIP(path, "large-1");
    ProblemData problem;
    std::string log = captureLog([&] {
        runSettings.verbosity = 10;
        testing_support::loadProblemFile(path, problem);
    });
    EXPECT_EQ(log, "Added additional 1 timeslots at end of each day\n"
                   "Statistics: 2460 activities, 246 resources, 26 groups, 66 timeslots "
                   "(6 days x 11 hours), 98 dependences, 86 grres, 2612 grsel\n");
}
