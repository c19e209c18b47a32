// Every score is an int: a problem whose timetables could score beyond it is
// refused at the analysis, before any sum of its weights is formed.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "problem/score_bound.h"
#include "problem_test_support.h"

using namespace problem_tests;

namespace {

void expectRefused(const std::string& text) {
    TempFile file(text);
    EXPECT_EXIT(analyseFile(file), ::testing::ExitedWithCode(1),
                framed(inFile(file),
                       "Scores too large (the penalties of one timetable could pass 2147483647)"))
        << text;
}

std::string teacher(const std::string& content) {
    return "<Resource id=\"T\">" + content + "</Resource>";
}

std::string dependence(const std::string& score) {
    return "<Dependence score=\"" + score + "\"><FirstActivity>a</FirstActivity><SecondActivity>"
           "b</SecondActivity><Operator>Before</Operator></Dependence>";
}

const std::string twoActivities =
    activityText("a", 3, res("T")) + activityText("b", 1, "");

}  // namespace

TEST(ScoreBound, CountsEachTermAtItsLargest) {
    // Preferences: T costs 5 at slots 0 and 1, so a's three slots cost at
    // most min(3 x 5, 10) = 10. Dependence: 7. Continuity: 4 / 2 on every
    // slot of both weeks of 2 x 4, 32. Balance: 3 x a's load of 2 x 3, 18.
    ProblemData problem = analysed(
        problemText(2, 4,
                   teacher("<TimePreferences><Soft score=\"5\">0#1</Soft></TimePreferences>"
                           "<Continuous score=\"4\"/><Balanced score=\"3\"/>"),
                   twoActivities, dependence("7")));
    EXPECT_EQ(placedPenaltyBound(problem, INT_MAX), 10 + 7 + 32 + 18);
    // Counting stops once past the limit.
    EXPECT_EQ(placedPenaltyBound(problem, 9), 10);
}

TEST(ScoreBound, TheDearestGroupMemberCounts) {
    std::string resources =
        teacher("") +
        "<Resource id=\"X\"><TimePreferences><Soft score=\"2\">0</Soft></TimePreferences>"
        "</Resource><Resource id=\"Y\"><TimePreferences><Soft score=\"9\">5</Soft>"
        "</TimePreferences></Resource>";
    ProblemData problem = analysed(problemText(
        2, 4, resources,
        activityText("a", 1, "<Group>" + res("X") + res("Y") + "</Group>")));
    EXPECT_EQ(placedPenaltyBound(problem, INT_MAX), 9);
}

TEST(ScoreBound, AScoreOfTheLargestIntFitsOnce) {
    const ProblemData problem = analysed(problemText(
        2, 4, teacher("<TimePreferences><Soft score=\"2147483647\">3</Soft></TimePreferences>"),
        activityText("a", 1, res("T"))));
    EXPECT_EQ(problem.activities[0].timePrefs.startSoft[3], 2147483647);
}

TEST(ScoreBound, SumsBeyondAnIntAreRefused) {
    const std::string dear =
        "<TimePreferences><Soft score=\"2147483647\">3</Soft></TimePreferences>";
    // Two activities on a dear slot.
    expectRefused(problemText(2, 4, teacher(dear),
                             activityText("a", 1, res("T")) + activityText("b", 1, res("T"))));
    // Many large soft dependences.
    expectRefused(problemText(2, 4, teacher(""), twoActivities,
                             dependence("1000000000") + dependence("1000000000") +
                                 dependence("1000000000")));
    // Continuity and balance weights near 2^31 on a long grid.
    expectRefused(problemText(5, 20000, teacher("<Continuous score=\"2147483647\"/>"), twoActivities));
    expectRefused(problemText(2, 4, teacher("<Balanced score=\"2147483647\"/>"), twoActivities));
}
