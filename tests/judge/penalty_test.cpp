// One test per penalty term of the score, each with a timetable that avoids
// it and one that pays it. Grids are drawn with one character per slot:
// letters are activities, '.' free slots, '|' a day boundary.
#include <gtest/gtest.h>

#include "judge/check_solution.h"
#include "judge/timetable_builder.h"

using namespace judge_test;

namespace {

std::string resource(const std::string& id, const std::string& inner = "") {
    return "<Resource id=\"" + id + "\">" + inner + "</Resource>\n";
}

std::string softAt(int score, const std::string& slots) {
    return "<TimePreferences><Soft score=\"" + std::to_string(score) + "\">" + slots +
           "</Soft></TimePreferences>";
}

int judge(const std::string& text, const std::vector<Placement>& placements) {
    ProblemData problem = judgedProblem(text, placements);
    return checkSolution(problem);
}

TEST(Unassigned, EachCostsOneMillionAndLeavesNoContinuityGap) {
    // slot 0123
    //      ....   A and B unassigned; C is continuous (hard)
    const std::string text = problemText(1, 4, resource("C", "<Continuous/>"),
                                         activity("A", 1, {"C"}) + activity("B", 2, {"C"}));
    EXPECT_EQ(judge(text, {{"A", -1, {}}, {"B", -1, {}}}), 2000000);
    EXPECT_EQ(judge(text, {{"A", 0, {"C"}}, {"B", -1, {}}}), 1000000);
}

TEST(ActivityPreferences, CostTheirFullValueInEveryWeek) {
    // slot 0123   soft 5 at slot 2
    //      AA..   0
    //      .AA.   5
    //      ..AA   5 (also for an even-week activity)
    const std::string prefs = softAt(5, "2");
    const std::string both = problemText(1, 4, "", activity("A", 2, {}, {}, "", prefs));
    EXPECT_EQ(judge(both, {{"A", 0, {}}}), 0);
    EXPECT_EQ(judge(both, {{"A", 1, {}}}), 5);
    const std::string even = problemText(1, 4, "", activity("A", 2, {}, {}, "E", prefs));
    EXPECT_EQ(judge(even, {{"A", 2, {}}}), 5);
}

TEST(ResourcePreferences, WeighHalfForOneWeekActivities) {
    // slot 0123   T costs 3 at slot 1
    //      .A..   3 when A runs every week, 3 / 2 = 1 in one week
    for (auto [week, cost] : {std::pair<std::string, int>{"A", 3}, {"E", 1}, {"O", 1}}) {
        const std::string text =
            problemText(1, 4, resource("T", softAt(3, "1")), activity("A", 1, {"T"}, {}, week));
        EXPECT_EQ(judge(text, {{"A", 1, {"T"}}}), cost) << "week " << week;
        EXPECT_EQ(judge(text, {{"A", 2, {"T"}}}), 0) << "week " << week;
    }
}

TEST(ResourcePreferences, NegativeHalfTruncatesTowardZero) {
    // slot 0123   T's cost at slot 1 set to -3 by hand
    //      .A..   odd week only: -3 / 2 = -1
    ProblemData problem = judgedProblem(
        problemText(1, 4, resource("T", softAt(3, "1")), activity("A", 1, {"T"}, {}, "O")),
        {{"A", 1, {"T"}}});
    problem.resources[0].timePrefs.soft[1] = -3;
    EXPECT_EQ(checkSolution(problem), -1);
}

TEST(ResourcePreferences, GroupMemberPreferencesCount) {
    // slot 0123   R2 costs 4 at slot 0, R1 nothing
    //      A...   with R1: 0, with R2: 4
    const std::string text = problemText(1, 4, resource("R1") + resource("R2", softAt(4, "0")),
                                         activity("A", 1, {}, {{"R1", "R2"}}));
    EXPECT_EQ(judge(text, {{"A", 0, {"R1"}}}), 0);
    EXPECT_EQ(judge(text, {{"A", 0, {"R2"}}}), 4);
}

TEST(SoftDependences, BeforeCostsItsWeightWhenBroken) {
    // slot 0123
    //      AB..   kept
    //      BA..   broken: 7
    const std::string text = problemText(1, 4, "", activity("A", 1, {}) + activity("B", 1, {}),
                                         dependence("A", "Before", "B", 7));
    EXPECT_EQ(judge(text, {{"A", 0, {}}, {"B", 1, {}}}), 0);
    EXPECT_EQ(judge(text, {{"A", 1, {}}, {"B", 0, {}}}), 7);
    // Overlapping is not "before" either.
    EXPECT_EQ(judge(text, {{"A", 0, {}}, {"B", 0, {}}}), 7);
}

TEST(SoftDependences, AfterIsBeforeTurnedRound) {
    // slot 0123
    //      AB..   A after B is broken: 6
    const std::string text = problemText(1, 4, "", activity("A", 1, {}) + activity("B", 1, {}),
                                         dependence("A", "After", "B", 6));
    EXPECT_EQ(judge(text, {{"A", 0, {}}, {"B", 1, {}}}), 6);
    EXPECT_EQ(judge(text, {{"A", 1, {}}, {"B", 0, {}}}), 0);
}

TEST(SoftDependences, CloselyBeforeNeedsTheSameDay) {
    // slot 0123|4567
    //      ...A|B...   B starts after A ends, but on the next day: broken, 5
    //      ..A.|B...   the same
    //      ..AB|....   kept
    const std::string text = problemText(2, 4, "", activity("A", 1, {}) + activity("B", 1, {}),
                                         dependence("A", "Closely before", "B", 5));
    EXPECT_EQ(judge(text, {{"A", 3, {}}, {"B", 4, {}}}), 5);
    EXPECT_EQ(judge(text, {{"A", 2, {}}, {"B", 4, {}}}), 5);
    EXPECT_EQ(judge(text, {{"A", 2, {}}, {"B", 3, {}}}), 0);
}

TEST(SoftDependences, ConcurrentlyKeepsTheShorterInsideTheLonger) {
    // slot 0123
    //      LLL.   S inside L: kept, wherever it lies within
    //      ..S.
    //      .LLL   S starts before L: broken, 9
    //      S...
    //      LLL.   S ends after L: broken, 9 (S is length 2)
    const std::string text =
        problemText(1, 4, "", activity("S", 1, {}) + activity("L", 3, {}) + activity("S2", 2, {}),
                    dependence("S", "Concurrently", "L", 9) + dependence("L", "Concurrently", "S2", 9));
    EXPECT_EQ(judge(text, {{"S", 2, {}}, {"L", 0, {}}, {"S2", 0, {}}}), 0);
    EXPECT_EQ(judge(text, {{"S", 0, {}}, {"L", 1, {}}, {"S2", 1, {}}}), 9);
    EXPECT_EQ(judge(text, {{"S", 1, {}}, {"L", 0, {}}, {"S2", 2, {}}}), 9);
}

TEST(SoftDependences, WeightZeroAndUnassignedActivitiesCostNothing) {
    // slot 0123
    //      BA..   broken, but its weight is 0; the hard one has B unassigned
    const std::string text = problemText(1, 4, "", activity("A", 1, {}) + activity("B", 1, {}),
                                         dependence("A", "Before", "B", 0) +
                                             dependence("A", "Before", "B"));
    EXPECT_EQ(judge(text, {{"A", 1, {}}, {"B", -1, {}}}), 1000000);
    EXPECT_EQ(judge(text, {{"A", -1, {}}, {"B", 0, {}}}), 1000000);
}

TEST(Continuous, SoftScoreCostsHalfPerSlotOfGap) {
    // slot 0123   C continuous with score 7: 7 / 2 = 3 per slot of gap
    //      AB..   0
    //      A.B.   one slot of gap in each week: 2 x 3
    const std::string text = problemText(1, 4, resource("C", "<Continuous score=\"7\"/>"),
                                         activity("A", 1, {"C"}) + activity("B", 1, {"C"}));
    EXPECT_EQ(judge(text, {{"A", 0, {"C"}}, {"B", 1, {"C"}}}), 0);
    EXPECT_EQ(judge(text, {{"A", 0, {"C"}}, {"B", 2, {"C"}}}), 6);
}

TEST(Continuous, HardCostsFiveThousandPerSlotButIsNotFatal) {
    // slot 0123
    //      A..B   two slots of gap in each week: 4 x 5000
    const std::string text = problemText(1, 4, resource("C", "<Continuous/>"),
                                         activity("A", 1, {"C"}) + activity("B", 1, {"C"}));
    EXPECT_EQ(judge(text, {{"A", 0, {"C"}}, {"B", 3, {"C"}}}), 20000);
}

TEST(Continuous, GapsOfBothWeeksAreSummedBeforeTheTest) {
    // slot 0123|4567   A, B even week; D, E odd week; C continuous 10
    // even A.B.|....   gap 1
    // odd  DE..|....   no gap
    const std::string text = problemText(
        2, 4, resource("C", "<Continuous score=\"10\"/>"),
        activity("A", 1, {"C"}, {}, "E") + activity("B", 1, {"C"}, {}, "E") +
            activity("D", 1, {"C"}, {}, "O") + activity("E", 1, {"C"}, {}, "O"));
    EXPECT_EQ(judge(text, {{"A", 0, {"C"}}, {"B", 2, {"C"}}, {"D", 0, {"C"}}, {"E", 1, {"C"}}}), 5);
    // even A...|B...   one used day each; odd D...|E...: no gap anywhere
    EXPECT_EQ(judge(text, {{"A", 0, {"C"}}, {"B", 5, {"C"}}, {"D", 0, {"C"}}, {"E", 5, {"C"}}}), 0);
}

TEST(Continuous, BreaksAndUnassignedActivitiesFillTheGap) {
    // C needs a break of 1, so every day has one added slot (internal slot 4).
    // slot 0123x
    //      A.B.x   the free slot is A's break: no gap
    const std::string withBreak = problemText(1, 4, resource("C", "<Continuous/><Break>1</Break>"),
                                              activity("A", 1, {"C"}) + activity("B", 1, {"C"}));
    EXPECT_EQ(judge(withBreak, {{"A", 0, {"C"}}, {"B", 2, {"C"}}}), 0);
    // slot 0123
    //      A.B.   D unassigned: its slot is owed, so the span is not too long
    const std::string withUnassigned =
        problemText(1, 4, resource("C", "<Continuous/>"),
                    activity("A", 1, {"C"}) + activity("B", 1, {"C"}) + activity("D", 1, {"C"}));
    EXPECT_EQ(judge(withUnassigned, {{"A", 0, {"C"}}, {"B", 2, {"C"}}, {"D", -1, {}}}), 1000000);
}

TEST(Balanced, ChargesTheExcessOverTheDayQuotaOncePerDay) {
    // 3 activities every week on T: load 6 over 2 days, quota 3; score 4
    // slot 0123|4567
    //      ABD.|....   day 0 load 6: excess 3 x 4
    //      AB..|D...   day 0 load 4: excess 1 x 4
    const std::string text =
        problemText(2, 4, resource("T", "<Balanced score=\"4\"/>"),
                    activity("A", 1, {"T"}) + activity("B", 1, {"T"}) + activity("D", 1, {"T"}));
    EXPECT_EQ(judge(text, {{"A", 0, {"T"}}, {"B", 1, {"T"}}, {"D", 2, {"T"}}}), 12);
    EXPECT_EQ(judge(text, {{"A", 0, {"T"}}, {"B", 1, {"T"}}, {"D", 4, {"T"}}}), 4);
}

TEST(Balanced, QuotaFollowsMaxDays) {
    // MaxDays 1 of 2 days: quota 6, so one full day costs nothing
    // slot 0123|4567
    //      ABD.|....
    const std::string text = problemText(
        2, 4, resource("T", "<Balanced score=\"4\"/><MaxDays>1</MaxDays>"),
        activity("A", 1, {"T"}) + activity("B", 1, {"T"}) + activity("D", 1, {"T"}));
    EXPECT_EQ(judge(text, {{"A", 0, {"T"}}, {"B", 1, {"T"}}, {"D", 2, {"T"}}}), 0);
}

TEST(Score, AddsEveryTerm) {
    // slot 0123|4567   A before B broken (3), A on T's soft slot (2), D unassigned
    //      B.A.|....
    const std::string text =
        problemText(2, 4, resource("T", softAt(2, "2")),
                    activity("A", 1, {"T"}) + activity("B", 1, {}) + activity("D", 1, {}),
                    dependence("A", "Before", "B", 3));
    EXPECT_EQ(judge(text, {{"A", 2, {"T"}}, {"B", 0, {}}, {"D", -1, {}}}), 1000005);
}

TEST(Score, BeyondAnIntStopsTheRunInsteadOfWrapping) {
    // slot 0123|4567   T balanced with a huge score, quota 3
    //      ABD.|....   excess 3: one term alone is too large
    //      AB..|D...   excess 1: each term fits, with E unassigned their sum does not
    const auto text = [](const std::string& score) {
        return problemText(2, 4, resource("T", "<Balanced score=\"" + score + "\"/>"),
                           activity("A", 1, {"T"}) + activity("B", 1, {"T"}) +
                               activity("D", 1, {"T"}) + activity("E", 1, {}));
    };
    ProblemData oneTerm = judgedProblem(
        text("2000000000"), {{"A", 0, {"T"}}, {"B", 1, {"T"}}, {"D", 2, {"T"}}, {"E", 0, {}}});
    EXPECT_EXIT(checkSolution(oneTerm), ::testing::ExitedWithCode(1),
                "Score too large to count \\(violated 'balanced': 6000000000\\)");
    ProblemData total = judgedProblem(
        text("2147000000"), {{"A", 0, {"T"}}, {"B", 1, {"T"}}, {"D", 4, {"T"}}, {"E", -1, {}}});
    EXPECT_EXIT(checkSolution(total), ::testing::ExitedWithCode(1),
                "Score too large to count \\(total: 2148000000\\)");
}

TEST(TimePreferenceCost, ActivityPreferencesIgnoreTheWeek) {
    ProblemData problem = judgedProblem(
        problemText(1, 4, "", activity("A", 2, {}, {}, "O", softAt(3, "1#2"))), {});
    EXPECT_EQ(timePreferenceCost(problem, 1, problem.activities[0].ownTimePrefs, 0, -1), 6);
    EXPECT_EQ(timePreferenceCost(problem, 1, problem.activities[0].ownTimePrefs, 0, 0), 3);
}

}  // namespace
