#include <gtest/gtest.h>

#include "view/blocking_reasons.h"
#include "view_fixture.h"

using namespace view_testing;
using View::Block;
using View::BlockReason;

namespace {

// Two days of three slots (file slots 0-2 and 3-5); T's break makes each day
// four internal slots. Placed lessons:
//
//          day 1 (0-2)       day 2 (3-5)
// K        P1 .  .           .  P6 .
// T        P1 br .           .  .  .
// U        P2 .  .           .  .  .      (MaxDays 1)
// M        P2 .  .           .  P5 .
// N        .  .  .           P3(E) .  .
// R1       .  .  .           P3(E) P6 .
// R2       .  .  .           .  P5 .
// V unavailable on day 2.
class BlockingTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string resources =
            "<Classrooms><Resource id=\"R1\"/><Resource id=\"R2\"/></Classrooms>"
            "<Teachers><Resource id=\"T\"><Break>1</Break></Resource>"
            "<Resource id=\"U\"><MaxDays>1</MaxDays></Resource>"
            "<Resource id=\"V\"><TimePreferences><Hard>3#5</Hard></TimePreferences></Resource>"
            "</Teachers><Classes><Resource id=\"K\"/><Resource id=\"M\"/><Resource id=\"N\"/>"
            "<Resource id=\"L\"/></Classes>";
        const std::string activities =
            activity("P1", 1, {"K", "T"}) + activity("P2", 1, {"U", "M"}) +
            activity("P3", 1, {"N", "R1"}, {}, week("E")) + activity("P5", 1, {"R2", "M"}) +
            activity("P6", 1, {"R1", "K"}) + activity("Q1", 1, {"K", "T"}) +
            activity("Q2", 1, {"U"}) + activity("Q3", 2, {"V"}) +
            activity("Q4", 1, {"N"}, {{"R1", "R2"}}, week("O")) +
            activity("Q5", 1, {"N"}, {{"R1", "R2"}}, week("E")) +
            activity("Q6", 1, {"L"}, {}, hardAt("5"));
        const std::string dependences =
            "<Dependence><FirstActivity>Q6</FirstActivity><SecondActivity>P1</SecondActivity>"
            "<Operator>Before</Operator></Dependence>";
        const std::string solution = solutionText({{"P1", 0, {"K", "T"}},
                                                   {"P2", 0, {"U", "M"}},
                                                   {"P3", 3, {"N", "R1"}},
                                                   {"P5", 4, {"R2", "M"}},
                                                   {"P6", 4, {"R1", "K"}},
                                                   {"Q1", -1, {}},
                                                   {"Q2", -1, {}},
                                                   {"Q3", -1, {}},
                                                   {"Q4", -1, {}},
                                                   {"Q5", -1, {}},
                                                   {"Q6", -1, {}}});
        loadChecked(problemWithKinds(2, 3, resources, activities, dependences), solution, checked);
    }
    int index(const char* id) const {
        for (std::size_t a = 0; a < checked.problem.activities.size(); ++a)
            if (checked.problem.activities[a].id == id) return static_cast<int>(a);
        for (std::size_t r = 0; r < checked.problem.resources.size(); ++r)
            if (checked.problem.resources[r].id == id) return static_cast<int>(r);
        return -1;
    }
    BlockReason block(const View::TimetableLayout& layout, const char* lesson, int day,
                      int hour) const {
        return View::firstBlock(layout, index(lesson), day, hour);
    }
    View::CheckedTimetable checked;
};

TEST_F(BlockingTest, ABusyResourceNamesTheLessonAndABreakIsToldApart) {
    View::TimetableLayout layout(checked.problem);
    BlockReason busy = block(layout, "Q1", 0, 0);
    EXPECT_EQ(busy.kind, Block::resourceBusy);
    EXPECT_EQ(busy.resource, index("K"));
    EXPECT_EQ(busy.other, index("P1"));
    EXPECT_EQ(busy.slot, 0);
    BlockReason rest = block(layout, "Q1", 0, 1);
    EXPECT_EQ(rest.kind, Block::breakNeeded);
    EXPECT_EQ(rest.resource, index("T"));
    EXPECT_EQ(rest.other, index("P1"));
    EXPECT_EQ(block(layout, "Q1", 0, 2).kind, Block::fits);
    // Day 2, slot 4: K holds P6 there (file slot 4, not internal slot 5).
    BlockReason later = block(layout, "Q1", 1, 1);
    EXPECT_EQ(later.kind, Block::resourceBusy);
    EXPECT_EQ(later.slot, 4);
}

TEST_F(BlockingTest, DayLimitUnavailableSlotsAndTheDaysEnd) {
    View::TimetableLayout layout(checked.problem);
    EXPECT_EQ(block(layout, "Q2", 0, 0).kind, Block::resourceBusy);
    EXPECT_EQ(block(layout, "Q2", 0, 1).kind, Block::fits);
    BlockReason limit = block(layout, "Q2", 1, 0);
    EXPECT_EQ(limit.kind, Block::dayLimit);
    EXPECT_EQ(limit.resource, index("U"));

    EXPECT_EQ(block(layout, "Q3", 0, 1).kind, Block::fits);
    EXPECT_EQ(block(layout, "Q3", 0, 2).kind, Block::dayEnd);
    BlockReason shut = block(layout, "Q3", 1, 1);
    EXPECT_EQ(shut.kind, Block::resourceUnavailable);
    EXPECT_EQ(shut.slot, 4);
    EXPECT_EQ(block(layout, "Q6", 1, 2).kind, Block::lessonUnavailable);
}

TEST_F(BlockingTest, LessonsOfTheOtherWeekDoNotBlock) {
    View::TimetableLayout layout(checked.problem);
    // P3 holds N and R1 in the even week only; the odd lesson Q4 fits beside it.
    EXPECT_EQ(block(layout, "Q4", 1, 0).kind, Block::fits);
    BlockReason even = block(layout, "Q5", 1, 0);
    EXPECT_EQ(even.kind, Block::resourceBusy);
    EXPECT_EQ(even.other, index("P3"));
}

TEST_F(BlockingTest, AFullGroupTellsWhyEachMemberIsTaken) {
    View::TimetableLayout layout(checked.problem);
    BlockReason full = block(layout, "Q4", 1, 1);
    ASSERT_EQ(full.kind, Block::groupFull);
    ASSERT_EQ(full.members.size(), 2u);
    EXPECT_EQ(full.members[0].other, index("P6"));
    EXPECT_EQ(full.members[1].other, index("P5"));
    EXPECT_EQ(View::describe(layout, index("Q4"), full),
              "no member of the group is free (R1 is busy with P6 at slot 4; "
              "R2 is busy with P5 at slot 4)");
}

TEST_F(BlockingTest, AHardDependenceOnAPlacedLessonBlocksEveryStartAfterIt) {
    View::TimetableLayout layout(checked.problem);
    // Q6 must end before P1 starts at slot 0: nothing fits.
    BlockReason dep = block(layout, "Q6", 0, 0);
    EXPECT_EQ(dep.kind, Block::dependence);
    EXPECT_EQ(dep.other, index("P1"));
    EXPECT_EQ(View::describe(layout, index("Q6"), dep), "must end before P1 starts (slot 0)");
    std::vector<View::DayBlocking> days = View::blockingOf(layout, index("Q6"));
    ASSERT_EQ(days.size(), 2u);
    ASSERT_EQ(days[0].runs.size(), 1u);
    EXPECT_EQ(days[0].runs[0].lastHour, 2);
    // Day 2: the dependence, then the lesson's own forbidden slot 5.
    ASSERT_EQ(days[1].runs.size(), 2u);
    EXPECT_EQ(days[1].runs[0].lastHour, 1);
    EXPECT_EQ(days[1].runs[1].reason.kind, Block::lessonUnavailable);
}

}  // namespace
