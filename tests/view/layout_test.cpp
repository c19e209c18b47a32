#include <gtest/gtest.h>

#include "view/blocking_reasons.h"
#include "view/renderers.h"
#include "view/timetable_layout.h"
#include "view_fixture.h"

using namespace view_testing;
using View::GridCell;

namespace {

// Two days of four slots; T's break adds one internal slot to each day, so
// file slot 4 (day 2, slot 0) is internal slot 5. T cannot teach file slot 7.
//
//        day 1           day 2
// K   0  .             E: EV / O: OD
//     1  A (2 slots)   .
//     2  A             L
//     3  .             .
std::string layoutProblem() {
    return problemWithKinds(
        2, 4,
        "<Classrooms><Resource id=\"R1\"/><Resource id=\"R2\"/></Classrooms>"
        "<Teachers><Resource id=\"T\"><TimePreferences><Hard>7</Hard><Soft score=\"2\">2</Soft>"
        "</TimePreferences><Break>1</Break></Resource></Teachers>"
        "<Classes><Resource id=\"K\"/></Classes><Special><Resource id=\"LAB\"/></Special>",
        activity("A", 2, {"K", "T"}, {{"R1", "R2"}}) +
            activity("EV", 1, {"K", "R2"}, {}, week("E")) +
            activity("OD", 1, {"K", "R2"}, {}, week("O")) + activity("L", 1, {"K", "LAB"}) +
            activity("X", 1, {"K"}));
}

std::string layoutSolution() {
    return solutionText({{"A", 1, {"K", "T", "R1"}},
                         {"EV", 4, {"K", "R2"}},
                         {"OD", 4, {"R2", "K"}},
                         {"L", 6, {"K", "LAB"}},
                         {"X", -1, {}}});
}

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override { loadChecked(layoutProblem(), layoutSolution(), checked); }
    int resource(const char* id) const {
        for (std::size_t r = 0; r < checked.problem.resources.size(); ++r)
            if (checked.problem.resources[r].id == id) return static_cast<int>(r);
        return -1;
    }
    const char* lessonOf(const View::TimetableLayout& layout, const GridCell& cell) const {
        return cell.placement < 0
                   ? "-"
                   : checked.problem.activityName(layout.placements[cell.placement].activity);
    }
    View::CheckedTimetable checked;
};

TEST_F(LayoutTest, LessonsLandInTheirCellsWithSpansAndWeekHalves) {
    View::TimetableLayout layout(checked.problem);
    ASSERT_EQ(layout.fileSlotsPerDay, 4);
    const View::ResourceGrid grid = layout.gridOf(resource("K"));
    EXPECT_TRUE(grid.splitWeeks);
    ASSERT_EQ(grid.cells.size(), 4u);

    // Row 0: day 1 free over both weeks; day 2 split, even half before odd.
    ASSERT_EQ(grid.cells[0].size(), 3u);
    EXPECT_EQ(grid.cells[0][0].week, 3);
    EXPECT_STREQ(lessonOf(layout, grid.cells[0][0]), "-");
    EXPECT_EQ(grid.cells[0][1].week, 2);
    EXPECT_STREQ(lessonOf(layout, grid.cells[0][1]), "EV");
    EXPECT_EQ(grid.cells[0][2].week, 1);
    EXPECT_STREQ(lessonOf(layout, grid.cells[0][2]), "OD");

    // Row 1: A starts and spans two rows; row 2 has no cell for day 1.
    ASSERT_EQ(grid.cells[1].size(), 2u);
    EXPECT_STREQ(lessonOf(layout, grid.cells[1][0]), "A");
    EXPECT_EQ(grid.cells[1][0].rows, 2);
    EXPECT_EQ(grid.cells[1][0].week, 3);
    ASSERT_EQ(grid.cells[2].size(), 1u);
    EXPECT_EQ(grid.cells[2][0].day, 1);
    EXPECT_STREQ(lessonOf(layout, grid.cells[2][0]), "L");

    // The unassigned lesson holds nothing and is listed.
    ASSERT_EQ(layout.unassigned.size(), 1u);
    EXPECT_STREQ(checked.problem.activityName(layout.unassigned[0]), "X");
}

TEST_F(LayoutTest, BreaksShowFreeAndUnavailableSlotsAreShaded) {
    View::TimetableLayout layout(checked.problem);
    const View::ResourceGrid grid = layout.gridOf(resource("T"));
    EXPECT_FALSE(grid.splitWeeks);
    // Slot 3 of day 1 is T's break after A: free, not unavailable.
    ASSERT_EQ(grid.cells[3].size(), 2u);
    EXPECT_EQ(grid.cells[3][0].placement, -1);
    EXPECT_FALSE(grid.cells[3][0].unavailable);
    EXPECT_TRUE(layout.holder(0, resource("T"), 3).isBreak);
    // File slot 7 is the last slot of day 2.
    EXPECT_TRUE(grid.cells[3][1].unavailable);
}

TEST_F(LayoutTest, SoftCostsMarkPlacementsAndTermsAddUpToTheScore) {
    View::TimetableLayout layout(checked.problem);
    // A covers T's soft slot 2 (cost 2).
    EXPECT_EQ(layout.placements[0].softCost, 2);
    EXPECT_TRUE(layout.placements[0].penalised());
    EXPECT_FALSE(layout.placements[1].penalised());
    const JudgementTerms& t = checked.terms;
    EXPECT_EQ(t.unassigned, 1000000);
    EXPECT_EQ(t.resourcePrefs, 2);
    EXPECT_EQ(checked.score, t.unassigned + t.activityPrefs + t.resourcePrefs + t.dependences +
                                 t.continuousSoft + t.continuousHard + t.balanced);
}

TEST_F(LayoutTest, StartsBlockedByOneCauseFormOneRun) {
    View::TimetableLayout layout(checked.problem);
    const int x = layout.unassigned[0];
    const std::vector<View::DayBlocking> days = View::blockingOf(layout, x);
    ASSERT_EQ(days.size(), 2u);
    // Day 1: free at slot 0, K busy with A over slots 1-2, free at slot 3.
    ASSERT_EQ(days[0].runs.size(), 3u);
    EXPECT_EQ(days[0].runs[0].reason.kind, View::Block::fits);
    EXPECT_EQ(days[0].runs[1].firstHour, 1);
    EXPECT_EQ(days[0].runs[1].lastHour, 2);
    EXPECT_EQ(View::describe(layout, x, days[0].runs[1]), "K is busy with A");
    // Day 2: the even week is looked at first.
    EXPECT_EQ(View::describe(layout, x, days[1].runs[0]), "K is busy with EV at slot 4");
    ASSERT_EQ(days[1].runs.size(), 4u);
    EXPECT_EQ(View::describe(layout, x, days[1].runs[2]), "K is busy with L at slot 6");
}

TEST_F(LayoutTest, CsvHasOneRowPerAssignedLessonWithDayPeriodAndFileSlot) {
    View::TimetableLayout layout(checked.problem);
    EXPECT_EQ(View::renderCsv(layout),
              "lesson,day,period,slot,length,weeks,resources\r\n"
              "A,1,2,1,2,A,K;T;R1\r\n"
              "EV,2,1,4,1,E,K;R2\r\n"
              "OD,2,1,4,1,O,R2;K\r\n"
              "L,2,3,6,1,A,K;LAB\r\n");
    // Named days and periods replace the numbers; the slot stays the file's.
    layout.calendar = {{"Mon", "Tue"}, {"8:00", "9:00", "10:00", "11:00"}};
    EXPECT_EQ(View::renderCsv(layout).substr(0, 72),
              "lesson,day,period,slot,length,weeks,resources\r\n"
              "A,Mon,9:00,1,2,A,K;T;R1\r\n");
}

TEST_F(LayoutTest, ResourceKindsComeFromTheirSections) {
    using View::ResourceKind;
    EXPECT_EQ(checked.kinds[resource("R1")], ResourceKind::classroom);
    EXPECT_EQ(checked.kinds[resource("T")], ResourceKind::teacher);
    EXPECT_EQ(checked.kinds[resource("K")], ResourceKind::schoolClass);
    EXPECT_EQ(checked.kinds[resource("LAB")], ResourceKind::special);
}

}  // namespace
