// Each penalty term of the score, with timetables that avoid it and pay it.
// Grids: one character per slot, '.' free, '|' a day boundary, 'x' an added slot.
#include <gtest/gtest.h>

#include "judge/check_solution.h"
#include "judge/timetable_builder.h"

using namespace judge_test;

namespace {

struct Scored {
    const char* what;
    std::string problem;
    Timetable timetable;
    int score;
};

const std::string twoActivities = activity("A", 1, {}) + activity("B", 1, {});
const std::string twoOnC = activity("A", 1, {"C"}) + activity("B", 1, {"C"});
const std::string threeOnT = activity("A", 1, {"T"}) + activity("B", 1, {"T"}) + activity("D", 1, {"T"});

const std::vector<Scored> scoredCases = {
    // slot 0123   both unassigned; C's continuity gap is negative, not a penalty
    {"unassigned", problemText(1, 4, resource("C", "<Continuous/>"), twoOnC),
     {{"A", -1, {}}, {"B", -1, {}}}, 2000000},
    // slot 0123   A's own soft 5 at slot 2 costs fully, even in one week
    //      .AA.
    {"own preference", problemText(1, 4, "", activity("A", 2, {}, {}, week("E") + softAt(5, "2"))),
     {{"A", 1, {}}}, 5},
    {"own preference avoided", problemText(1, 4, "", activity("A", 2, {}, {}, softAt(5, "2"))),
     {{"A", 0, {}}}, 0},
    // slot 0123   T costs 3 at slot 1: 3 every week, 3 / 2 in one week
    //      .A..
    {"resource preference", problemText(1, 4, resource("T", softAt(3, "1")), activity("A", 1, {"T"})),
     {{"A", 1, {"T"}}}, 3},
    {"resource preference, one week",
     problemText(1, 4, resource("T", softAt(3, "1")), activity("A", 1, {"T"}, {}, week("O"))),
     {{"A", 1, {"T"}}}, 1},
    // slot 0123   group member R2 costs 4 at slot 0
    //      A...
    {"chosen member's preference",
     problemText(1, 4, resource("R1") + resource("R2", softAt(4, "0")), activity("A", 1, {}, {{"R1", "R2"}})),
     {{"A", 0, {"R2"}}}, 4},
    // slot 0123   A before B, weight 7; overlapping is not before
    //      B.A.  / AB..
    {"before broken", problemText(1, 4, "", twoActivities, dependence("A", "B", "Before", 7)),
     {{"A", 2, {}}, {"B", 0, {}}}, 7},
    {"before overlapping", problemText(1, 4, "", twoActivities, dependence("A", "B", "Before", 7)),
     {{"A", 0, {}}, {"B", 0, {}}}, 7},
    {"before kept", problemText(1, 4, "", twoActivities, dependence("A", "B", "Before", 7)),
     {{"A", 0, {}}, {"B", 1, {}}}, 0},
    // slot 0123   A after B is stored as B before A
    //      AB..
    {"after broken", problemText(1, 4, "", twoActivities, dependence("A", "B", "After", 6)),
     {{"A", 0, {}}, {"B", 1, {}}}, 6},
    // slot 0123|4567   B starts after A ends, but on the next day
    //      ..A.|B...
    {"closely before, next day", problemText(2, 4, "", twoActivities, dependence("A", "B", "Closely before", 5)),
     {{"A", 2, {}}, {"B", 4, {}}}, 5},
    {"closely before kept", problemText(2, 4, "", twoActivities, dependence("A", "B", "Closely before", 5)),
     {{"A", 2, {}}, {"B", 3, {}}}, 0},
    // slot 0123   the shorter must lie inside the longer (stored first)
    //      LLL.   SS ends after L: broken; S inside: kept
    //      ..SS
    //      .S..
    {"concurrently",
     problemText(1, 4, "", activity("S", 1, {}) + activity("L", 3, {}) + activity("SS", 2, {}),
                 dependence("S", "L", "Concurrently", 9) + dependence("L", "SS", "Concurrently", 8)),
     {{"S", 1, {}}, {"L", 0, {}}, {"SS", 2, {}}}, 8},
    // slot 0123   broken, but weight 0; the hard one has B unassigned
    //      .A..
    {"weight 0 and unassigned",
     problemText(1, 4, "", twoActivities, dependence("A", "B", "Before", 0) + dependence("A", "B", "Before")),
     {{"A", 1, {}}, {"B", -1, {}}}, 1000000},
    // slot 0123   continuous 7: 7 / 2 per slot of gap, one slot in each week
    //      A.B.
    {"continuous soft", problemText(1, 4, resource("C", "<Continuous score=\"7\"/>"), twoOnC),
     {{"A", 0, {"C"}}, {"B", 2, {"C"}}}, 6},
    // slot 0123   hard continuous: 5000 per slot of gap, two in each week, not fatal
    //      A..B
    {"continuous hard", problemText(1, 4, resource("C", "<Continuous/>"), twoOnC),
     {{"A", 0, {"C"}}, {"B", 3, {"C"}}}, 20000},
    // slot 0123x  the free slot is A's break
    //      A.B.x
    {"continuous with a break", problemText(1, 4, resource("C", "<Continuous/><Break>1</Break>"), twoOnC),
     {{"A", 0, {"C"}}, {"B", 2, {"C"}}}, 0},
    // slot 0123   D unassigned still owes its slot: no gap
    //      A.B.
    {"continuous with an unassigned activity",
     problemText(1, 4, resource("C", "<Continuous/>"), twoOnC + activity("D", 1, {"C"})),
     {{"A", 0, {"C"}}, {"B", 2, {"C"}}, {"D", -1, {}}}, 1000000},
    // slot 0123|4567   continuous 10; gaps of both weeks summed: 1 + 0
    // even A.B.|....
    // odd  DE..|....
    {"continuous over two weeks",
     problemText(2, 4, resource("C", "<Continuous score=\"10\"/>"),
                 activity("A", 1, {"C"}, {}, week("E")) + activity("B", 1, {"C"}, {}, week("E")) +
                     activity("D", 1, {"C"}, {}, week("O")) + activity("E", 1, {"C"}, {}, week("O"))),
     {{"A", 0, {"C"}}, {"B", 2, {"C"}}, {"D", 0, {"C"}}, {"E", 1, {"C"}}}, 5},
    // slot 0123|4567   balanced 4, quota 6 / 2 days = 3; day 0 load 6
    //      ABD.|....
    {"balanced", problemText(2, 4, resource("T", "<Balanced score=\"4\"/>"), threeOnT),
     {{"A", 0, {"T"}}, {"B", 1, {"T"}}, {"D", 2, {"T"}}}, 12},
    //      AB..|D...   day 0 load 4
    {"balanced, spread", problemText(2, 4, resource("T", "<Balanced score=\"4\"/>"), threeOnT),
     {{"A", 0, {"T"}}, {"B", 1, {"T"}}, {"D", 4, {"T"}}}, 4},
    //      ABD.|....   MaxDays 1: quota 6
    {"balanced, quota over MaxDays",
     problemText(2, 4, resource("T", "<Balanced score=\"4\"/><MaxDays>1</MaxDays>"), threeOnT),
     {{"A", 0, {"T"}}, {"B", 1, {"T"}}, {"D", 2, {"T"}}}, 0},
};

TEST(Score, EachPenaltyKind) {
    for (const Scored& c : scoredCases) {
        ProblemData problem = judgedProblem(c.problem, c.timetable);
        EXPECT_EQ(checkSolution(problem), c.score) << c.what;
    }
}

TEST(Score, NegativeHalfTruncatesTowardZero) {
    // slot 0123   T's cost at slot 1 set to -3 by hand; odd week only: -1
    //      .A..
    ProblemData problem = judgedProblem(
        problemText(1, 4, resource("T", softAt(3, "1")), activity("A", 1, {"T"}, {}, week("O"))),
        {{"A", 1, {"T"}}});
    problem.resources[0].timePrefs.soft[1] = -3;
    EXPECT_EQ(checkSolution(problem), -1);
    EXPECT_EQ(timePreferenceCost(problem, 1, problem.resources[0].timePrefs, 0, 0), -1);
    EXPECT_EQ(timePreferenceCost(problem, 1, problem.resources[0].timePrefs, 0, -1), -3);
}

TEST(Score, BeyondAnIntStopsTheRunInsteadOfWrapping) {
    // slot 0123|4567   T balanced with a huge score, quota 3
    //      ABD.|....   excess 3: one term alone is too large
    //      AB..|D...   excess 1: each term fits, with E unassigned their sum does not
    // The analysis refuses weights this large, so they are set after it: the
    // judgement guards its own sums all the same.
    const std::string text = problemText(2, 4, resource("T", "<Balanced score=\"1\"/>"),
                                         threeOnT + activity("E", 1, {}));
    ProblemData oneTerm = judgedProblem(
        text, {{"A", 0, {"T"}}, {"B", 1, {"T"}}, {"D", 2, {"T"}}, {"E", 0, {}}});
    oneTerm.resources[0].balanced = 2000000000;
    EXPECT_EXIT(checkSolution(oneTerm), ::testing::ExitedWithCode(1),
                "Score too large to count \\(violated 'balanced': 6000000000\\)");
    ProblemData total = judgedProblem(
        text, {{"A", 0, {"T"}}, {"B", 1, {"T"}}, {"D", 4, {"T"}}, {"E", -1, {}}});
    total.resources[0].balanced = 2147000000;
    EXPECT_EXIT(checkSolution(total), ::testing::ExitedWithCode(1),
                "Score too large to count \\(total: 2148000000\\)");
}

}  // namespace
