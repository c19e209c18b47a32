// Every hard rule stops the run with its own framed message; where a
// timetable breaks several, the first met in the judgement's order is named.
// Grids: one character per slot, '|' a day boundary, 'x' an added slot.
#include <gtest/gtest.h>

#include <climits>

#include "judge/check_solution.h"
#include "judge/timetable_builder.h"

using namespace judge_test;
using ::testing::ExitedWithCode;

namespace {

std::string resource(const std::string& id, const std::string& inner = "") {
    return "<Resource id=\"" + id + "\">" + inner + "</Resource>\n";
}

std::string hardAt(const std::string& slots) {
    return "<TimePreferences><Hard>" + slots + "</Hard></TimePreferences>";
}

#define EXPECT_JUDGEMENT_STOPS(text, placements, message)                      \
    do {                                                                      \
        ProblemData problem = judgedProblem(text, placements);                \
        EXPECT_EXIT(checkSolution(problem), ExitedWithCode(1), message);      \
    } while (0)

#define EXPECT_JUDGEMENT_PASSES(text, placements, score)                       \
    do {                                                                      \
        ProblemData problem = judgedProblem(text, placements);                \
        EXPECT_EQ(checkSolution(problem), score);                             \
    } while (0)

using P = std::vector<Placement>;

TEST(ForbiddenSlots, OfTheActivity) {
    // slot 0123   A may not use slot 2
    //      .AA.
    const std::string text = problemText(1, 4, "", activity("A", 2, {}, {}, "", hardAt("2")));
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", 1, {}}}),
                           "\\*+ ERROR \\*+\nHard constraint broken \\{act 0 \\[A\\], time 2\\}\n\\*+\n");
    EXPECT_JUDGEMENT_PASSES(text, (P{{"A", 0, {}}}), 0);
}

TEST(ForbiddenSlots, OfAUsedResource) {
    // slot 0123   T unavailable at 3; R1 and R2 form a group, R2 is unavailable at 0
    //      ..AA
    const std::string text =
        problemText(1, 4, resource("T", hardAt("3")) + resource("R1") + resource("R2", hardAt("0")),
                    activity("A", 2, {"T"}) + activity("B", 1, {}, {{"R1", "R2"}}));
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", 2, {"T"}}, {"B", -1, {}}}),
                           "Hard constraint broken \\{act 0 \\[A\\], res 0 \\[T\\], time 3\\}");
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", -1, {}}, {"B", 0, {"R2"}}}),
                           "Hard constraint broken \\{act 1 \\[B\\], res 2 \\[R2\\], time 0\\}");
    EXPECT_JUDGEMENT_PASSES(text, (P{{"A", 1, {"T"}}, {"B", 0, {"R1"}}}), 0);
}

TEST(ForbiddenSlots, AddedSlotsAreForbiddenToEveryone) {
    // T needs a break of 1: internal day 0123x|5678x
    //      ...Ax   A would end on the added slot
    const std::string text =
        problemText(2, 4, resource("T", "<Break>1</Break>"), activity("A", 2, {"T"}));
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", 3, {"T"}}}),
                           "Hard constraint broken \\{act 0 \\[A\\], time 4\\}");
}

TEST(DayEnd, AnActivityMayNotCrossIt) {
    // slot 0123|4567
    //      ...A|A...
    const std::string text = problemText(2, 4, "", activity("A", 2, {}));
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", 3, {}}}), "Activity crosses end of day \\{act 0 \\[A\\]\\}");
    // The last slot of the grid: the activity would also run past the grid.
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", 7, {}}}), "Activity crosses end of day \\{act 0 \\[A\\]\\}");
    EXPECT_JUDGEMENT_PASSES(text, (P{{"A", 2, {}}}), 0);
}

TEST(DayEnd, AForbiddenSlotIsReportedFirst) {
    // slot 0123|4567   A may not use slot 4
    //      ...A|A...
    const std::string text = problemText(2, 4, "", activity("A", 2, {}, {}, "", hardAt("4")));
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", 3, {}}}), "Hard constraint broken \\{act 0 \\[A\\], time 4\\}");
}

TEST(Grid, StartsBeyondItAreRefusedBeforeAnyTableIsRead) {
    // slot 0123|4567   8 and later lie outside the grid
    const std::string text = problemText(2, 4, resource("T"), activity("A", 1, {"T"}));
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", 8, {"T"}}}), "Wrong timeslot number \\{act 0 \\[A\\]\\}");
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", INT_MAX, {"T"}}}), "Wrong timeslot number \\{act 0 \\[A\\]\\}");
}

TEST(UsedResources, MustMatchTheRequirementsInNumber) {
    const std::string text = problemText(1, 4, resource("T") + resource("R1") + resource("R2"),
                                         activity("A", 1, {"T"}, {{"R1", "R2"}}));
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", 0, {"T"}}}),
                           "Wrong number of used resources \\{act 0 \\[A\\]\\}");
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", 0, {"T", "R1", "R2"}}}),
                           "Wrong number of used resources \\{act 0 \\[A\\]\\}");
    // In any order.
    EXPECT_JUDGEMENT_PASSES(text, (P{{"A", 0, {"R2", "T"}}}), 0);
}

TEST(UsedResources, MustBeRequiredOrInARequiredGroup) {
    const std::string text = problemText(1, 4, resource("T") + resource("R1") + resource("X"),
                                         activity("A", 1, {"T"}));
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", 0, {"X"}}}),
                           "Activity uses wrong resource \\{act 0 \\[A\\], res 2 \\[X\\]\\}");
    // An index outside the table is refused by name, not looked up.
    ProblemData problem = judgedProblem(text, {{"A", 0, {"T"}}});
    problem.solution[0].res[0] = 99;
    EXPECT_EXIT(checkSolution(problem), ExitedWithCode(1),
                "Activity uses wrong resource \\{act 0 \\[A\\], res 99 \\[illegal\\]\\}");
}

TEST(UsedResources, OnlyOneFromEachGroup) {
    const std::string text =
        problemText(1, 4, resource("R1") + resource("R2") + resource("R3") + resource("R4"),
                    activity("A", 1, {}, {{"R1", "R2"}, {"R3", "R4"}}));
    EXPECT_JUDGEMENT_STOPS(
        text, (P{{"A", 0, {"R2", "R1"}}}),
        "Two resources from the same group used \\{act 0 \\[A\\], res 1 \\[R2\\] and 0 \\[R1\\]\\}");
    EXPECT_JUDGEMENT_PASSES(text, (P{{"A", 0, {"R4", "R1"}}}), 0);
}

TEST(Occupancy, OneActivityPerResourceAndSlot) {
    // slot 0123
    //      AA..
    //      .B..   B overlaps A on T at slot 1
    const std::string text = problemText(1, 4, resource("T"),
                                         activity("A", 2, {"T"}) + activity("B", 1, {"T"}));
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", 0, {"T"}}, {"B", 1, {"T"}}}),
                           "The same resource used twice \\(or no break\\) \\{act 0 \\[A\\] and 1 "
                           "\\[B\\], res 0 \\[T\\], time 1\\}");
}

TEST(Occupancy, ARequiredResourceListedTwice) {
    const std::string text = problemText(1, 4, resource("T") + resource("C"),
                                         activity("A", 1, {"T", "C"}));
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", 2, {"T", "T"}}}),
                           "The same resource used twice \\(or no break\\) \\{act 0 \\[A\\] and 0 "
                           "\\[A\\], res 0 \\[T\\], time 2\\}");
}

TEST(Occupancy, BreaksMustStayFreeWithinTheDay) {
    // T needs a break of 1; internal slots 0123x|5678x
    //      AB..x|.....   no break after A
    //      A.B.x|.....   passes
    //      ...Ax|B....   A ends the day: its break does not reach day 1
    const std::string text = problemText(2, 4, resource("T", "<Break>1</Break>"),
                                         activity("A", 1, {"T"}) + activity("B", 1, {"T"}));
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", 0, {"T"}}, {"B", 1, {"T"}}}),
                           "The same resource used twice \\(or no break\\) \\{act 0 \\[A\\] and 1 "
                           "\\[B\\], res 0 \\[T\\], time 1\\}");
    EXPECT_JUDGEMENT_PASSES(text, (P{{"A", 0, {"T"}}, {"B", 2, {"T"}}}), 0);
    EXPECT_JUDGEMENT_PASSES(text, (P{{"A", 3, {"T"}}, {"B", 5, {"T"}}}), 0);
}

TEST(Occupancy, DifferentWeeksShareASlot) {
    // slot 0123   E in the even week, O in the odd week, both on T at slot 1
    const std::string text = problemText(
        1, 4, resource("T"), activity("E", 1, {"T"}, {}, "E") + activity("O", 1, {"T"}, {}, "O") +
                                 activity("A", 1, {"T"}));
    EXPECT_JUDGEMENT_PASSES(text, (P{{"E", 1, {"T"}}, {"O", 1, {"T"}}, {"A", 0, {"T"}}}), 0);
    // Meeting one of them in its own week is a clash.
    EXPECT_JUDGEMENT_STOPS(text, (P{{"E", 1, {"T"}}, {"O", 2, {"T"}}, {"A", 2, {"T"}}}),
                           "\\{act 1 \\[O\\] and 2 \\[A\\], res 0 \\[T\\], time 2\\}");
}

TEST(MaxDays, CountsDaysUsedInEitherWeek) {
    // MaxDays 2 of 3 days; E even week, O odd week, A both
    // slot 012|345|678
    //      E..|O..|A..   three days: stop
    //      E..|O..|...   two days: pass (A unassigned)
    const std::string text = problemText(
        3, 3, resource("T", "<MaxDays>2</MaxDays>"),
        activity("E", 1, {"T"}, {}, "E") + activity("O", 1, {"T"}, {}, "O") + activity("A", 1, {"T"}));
    EXPECT_JUDGEMENT_STOPS(text, (P{{"E", 0, {"T"}}, {"O", 3, {"T"}}, {"A", 6, {"T"}}}),
                           "Resource used in too many days \\{res 0 \\[T\\]\\}");
    EXPECT_JUDGEMENT_PASSES(text, (P{{"E", 0, {"T"}}, {"O", 3, {"T"}}, {"A", -1, {}}}), 1000000);
}

TEST(HardDependences, BrokenOnesNameBothActivitiesAndTheirSlots) {
    // slot 0123|4567
    //      .BBA|....   A before B broken
    const std::string text = problemText(2, 4, "", activity("A", 1, {}) + activity("B", 2, {}),
                                         dependence("A", "Before", "B"));
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", 3, {}}, {"B", 1, {}}}),
                           "Broken before dependence 0 \\(0 \\[A\\]: 3-3, 1 \\[B\\]: 1-2\\)");
    const std::string closely = problemText(2, 4, "", activity("A", 1, {}) + activity("B", 2, {}),
                                            dependence("A", "Closely before", "B"));
    EXPECT_JUDGEMENT_STOPS(closely, (P{{"A", 3, {}}, {"B", 4, {}}}),
                           "Broken closely before dependence 0 \\(0 \\[A\\]: 3-3, 1 \\[B\\]: 4-5\\)");
    // Concurrently stores the longer activity first.
    const std::string together = problemText(2, 4, "", activity("A", 1, {}) + activity("B", 2, {}),
                                             dependence("A", "Concurrently", "B"));
    EXPECT_JUDGEMENT_STOPS(together, (P{{"A", 3, {}}, {"B", 1, {}}}),
                           "Broken concurrently dependence 0 \\(1 \\[B\\]: 1-2, 0 \\[A\\]: 3-3\\)");
}

TEST(Order, HardRulesOfAnEarlierEntryComeFirst) {
    // B (listed first) has the wrong number of resources, A a forbidden slot.
    const std::string text = problemText(1, 4, resource("T"),
                                         activity("A", 1, {}, {}, "", hardAt("0")) +
                                             activity("B", 1, {"T"}));
    EXPECT_JUDGEMENT_STOPS(text, (P{{"B", 1, {}}, {"A", 0, {}}}),
                           "Wrong number of used resources \\{act 1 \\[B\\]\\}");
}

TEST(Order, MaxDaysBeforeDependences) {
    // slot 0|1   T MaxDays 1; A before B broken and hard
    //      B|A
    const std::string text =
        problemText(2, 1, resource("T", "<MaxDays>1</MaxDays>"),
                    activity("A", 1, {"T"}) + activity("B", 1, {"T"}), dependence("A", "Before", "B"));
    EXPECT_JUDGEMENT_STOPS(text, (P{{"A", 1, {"T"}}, {"B", 0, {"T"}}}),
                           "Resource used in too many days \\{res 0 \\[T\\]\\}");
}

}  // namespace
