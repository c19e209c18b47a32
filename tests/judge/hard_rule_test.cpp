// Every hard rule stops the run with its framed message; where a timetable
// breaks several, the first met in the judgement's order is named.
// Grids: one character per slot, '.' free, '|' a day boundary, 'x' an added slot.
#include <gtest/gtest.h>

#include <climits>

#include "judge/check_solution.h"
#include "judge/timetable_builder.h"

using namespace judge_test;

namespace {

struct Refused {
    std::string problem;
    Timetable timetable;
    const char* message;  // a regular expression
};

const std::string onT = resource("T");
const std::string withBreak = resource("T", "<Break>1</Break>");
const std::string roomGroup = resource("R1") + resource("R2") + resource("R3") + resource("R4");

const std::vector<Refused> refusedCases = {
    // slot 0123   A may not use slot 2
    //      .AA.
    {problemText(1, 4, "", activity("A", 2, {}, {}, hardAt("2"))), {{"A", 1, {}}},
     "^\\*+ ERROR \\*+\nHard constraint broken \\{act 0 \\[A\\], time 2\\}\n\\*+\n$"},
    // slot 0123   group member X may not use slot 0
    //      A...
    {problemText(1, 4, roomGroup + resource("X", hardAt("0")), activity("A", 1, {}, {{"X", "R1"}})),
     {{"A", 0, {"X"}}}, "Hard constraint broken \\{act 0 \\[A\\], res 4 \\[X\\], time 0\\}"},
    // slot 0123x|5678x   T's break adds a slot that nobody may use
    //      ...AA|.....
    {problemText(2, 4, withBreak, activity("A", 2, {"T"})), {{"A", 3, {"T"}}},
     "Hard constraint broken \\{act 0 \\[A\\], time 4\\}"},
    // slot 0123|4567
    //      ...A|A...
    {problemText(2, 4, "", activity("A", 2, {})), {{"A", 3, {}}},
     "Activity crosses end of day \\{act 0 \\[A\\]\\}"},
    //      ....|...A A   past the end of the grid as well
    {problemText(2, 4, "", activity("A", 2, {})), {{"A", 7, {}}},
     "Activity crosses end of day \\{act 0 \\[A\\]\\}"},
    //      ...A|A...   A may not use slot 4: reported before the day's end
    {problemText(2, 4, "", activity("A", 2, {}, {}, hardAt("4"))), {{"A", 3, {}}},
     "Hard constraint broken \\{act 0 \\[A\\], time 4\\}"},
    // slot 0123|4567 A   starts beyond the grid, refused before any table is read
    {problemText(2, 4, onT, activity("A", 1, {"T"})), {{"A", 8, {"T"}}},
     "Wrong timeslot number \\{act 0 \\[A\\]\\}"},
    {problemText(2, 4, onT, activity("A", 1, {"T"})), {{"A", INT_MAX, {"T"}}},
     "Wrong timeslot number \\{act 0 \\[A\\]\\}"},
    {problemText(1, 4, onT + roomGroup, activity("A", 1, {"T"}, {{"R1", "R2"}})), {{"A", 0, {"T"}}},
     "Wrong number of used resources \\{act 0 \\[A\\]\\}"},
    {problemText(1, 4, onT + roomGroup, activity("A", 1, {"T"})), {{"A", 0, {"R3"}}},
     "Activity uses wrong resource \\{act 0 \\[A\\], res 3 \\[R3\\]\\}"},
    {problemText(1, 4, roomGroup, activity("A", 1, {}, {{"R1", "R2"}, {"R3", "R4"}})),
     {{"A", 0, {"R2", "R1"}}},
     "Two resources from the same group used \\{act 0 \\[A\\], res 1 \\[R2\\] and 0 \\[R1\\]\\}"},
    // slot 0123
    //      AA..
    //      .B..   B meets A on T at slot 1
    {problemText(1, 4, onT, activity("A", 2, {"T"}) + activity("B", 1, {"T"})),
     {{"A", 0, {"T"}}, {"B", 1, {"T"}}},
     "The same resource used twice \\(or no break\\) \\{act 0 \\[A\\] and 1 \\[B\\], res 0 \\[T\\], time 1\\}"},
    //      ..A.   T listed twice
    {problemText(1, 4, onT + resource("C"), activity("A", 1, {"T", "C"})), {{"A", 2, {"T", "T"}}},
     "The same resource used twice \\(or no break\\) \\{act 0 \\[A\\] and 0 \\[A\\], res 0 \\[T\\], time 2\\}"},
    // slot 0123x   no break after A
    //      AB..x
    {problemText(1, 4, withBreak, activity("A", 1, {"T"}) + activity("B", 1, {"T"})),
     {{"A", 0, {"T"}}, {"B", 1, {"T"}}},
     "The same resource used twice \\(or no break\\) \\{act 0 \\[A\\] and 1 \\[B\\], res 0 \\[T\\], time 1\\}"},
    // slot 0123   O (odd week) meets A (both weeks); E (even week) does not
    //      .E..
    //      ..O.
    //      ..A.
    {problemText(1, 4, onT, activity("E", 1, {"T"}, {}, week("E")) +
                                activity("O", 1, {"T"}, {}, week("O")) + activity("A", 1, {"T"})),
     {{"E", 1, {"T"}}, {"O", 2, {"T"}}, {"A", 2, {"T"}}},
     "\\{act 1 \\[O\\] and 2 \\[A\\], res 0 \\[T\\], time 2\\}"},
    // slot 012|345|678   MaxDays 2, days used in either week
    //      E..|O..|A..
    {problemText(3, 3, resource("T", "<MaxDays>2</MaxDays>"),
                 activity("E", 1, {"T"}, {}, week("E")) + activity("O", 1, {"T"}, {}, week("O")) +
                     activity("A", 1, {"T"})),
     {{"E", 0, {"T"}}, {"O", 3, {"T"}}, {"A", 6, {"T"}}},
     "Resource used in too many days \\{res 0 \\[T\\]\\}"},
    // slot 0123|4567
    //      .BBA|....
    {problemText(2, 4, "", activity("A", 1, {}) + activity("B", 2, {}), dependence("A", "B", "Before")),
     {{"A", 3, {}}, {"B", 1, {}}}, "Broken before dependence 0 \\(0 \\[A\\]: 3-3, 1 \\[B\\]: 1-2\\)"},
    //      ...A|BB..
    {problemText(2, 4, "", activity("A", 1, {}) + activity("B", 2, {}),
                 dependence("A", "B", "Closely before")),
     {{"A", 3, {}}, {"B", 4, {}}},
     "Broken closely before dependence 0 \\(0 \\[A\\]: 3-3, 1 \\[B\\]: 4-5\\)"},
    //      .BBA|....   the longer activity is stored first
    {problemText(2, 4, "", activity("A", 1, {}) + activity("B", 2, {}),
                 dependence("A", "B", "Concurrently")),
     {{"A", 3, {}}, {"B", 1, {}}},
     "Broken concurrently dependence 0 \\(1 \\[B\\]: 1-2, 0 \\[A\\]: 3-3\\)"},
    // Order: B, listed first, has too few resources; A a forbidden slot.
    {problemText(1, 4, onT, activity("A", 1, {}, {}, hardAt("0")) + activity("B", 1, {"T"})),
     {{"B", 1, {}}, {"A", 0, {}}}, "Wrong number of used resources \\{act 1 \\[B\\]\\}"},
    // Order: MaxDays before dependences.  slot 0|1  B|A
    {problemText(2, 1, resource("T", "<MaxDays>1</MaxDays>"),
                 activity("A", 1, {"T"}) + activity("B", 1, {"T"}), dependence("A", "B", "Before")),
     {{"A", 1, {"T"}}, {"B", 0, {"T"}}}, "Resource used in too many days \\{res 0 \\[T\\]\\}"},
};

TEST(HardRules, EachStopsTheRunWithItsMessage) {
    for (const Refused& c : refusedCases) {
        SCOPED_TRACE(c.message);
        ProblemData problem = judgedProblem(c.problem, c.timetable);
        EXPECT_EXIT(checkSolution(problem), ::testing::ExitedWithCode(1), c.message);
    }
}

TEST(HardRules, AResourceOutsideTheTableIsNotLookedUp) {
    ProblemData problem = judgedProblem(problemText(1, 4, onT, activity("A", 1, {"T"})), {{"A", 0, {"T"}}});
    problem.solution[0].res[0] = 99;
    EXPECT_EXIT(checkSolution(problem), ::testing::ExitedWithCode(1),
                "Activity uses wrong resource \\{act 0 \\[A\\], res 99 \\[illegal\\]\\}");
}

// Timetables that come close to a hard rule without breaking it.
TEST(HardRules, NearMissesPass) {
    const std::vector<std::pair<std::string, Timetable>> passing = {
        // slot 0123x|5678x   one free slot after A; A ends the day, its break does not reach day 1
        //      A.B..|.....
        //      ...Ax|B....
        {problemText(2, 4, withBreak, activity("A", 1, {"T"}) + activity("B", 1, {"T"})),
         {{"A", 0, {"T"}}, {"B", 2, {"T"}}}},
        {problemText(2, 4, withBreak, activity("A", 1, {"T"}) + activity("B", 1, {"T"})),
         {{"A", 3, {"T"}}, {"B", 5, {"T"}}}},
        // slot 0123   E in the even week and O in the odd week share slot 1
        {problemText(1, 4, onT, activity("E", 1, {"T"}, {}, week("E")) + activity("O", 1, {"T"}, {}, week("O"))),
         {{"E", 1, {"T"}}, {"O", 1, {"T"}}}},
        // used resources in any order, one from each group
        {problemText(1, 4, onT + roomGroup, activity("A", 1, {"T"}, {{"R1", "R2"}, {"R3", "R4"}})),
         {{"A", 0, {"R4", "T", "R1"}}}},
    };
    for (const auto& [text, timetable] : passing) {
        ProblemData problem = judgedProblem(text, timetable);
        EXPECT_EQ(checkSolution(problem), 0);
    }
}

}  // namespace
