#include <gtest/gtest.h>

#include "space_fixture.h"

using namespace space_testing;

namespace {

// Places activity a at start as a decision does: fixes it, marks it used,
// then books the given resources.
void place(SearchSpace& space, int a, int start, const std::vector<int>& resources) {
    space.assign(a, start);
    space.used[a] = true;
    for (int r : resources) space.bookResource(a, r);
    for (int r : resources) space.forbidForBooking(a, r);
}

const std::string rooms = resource("R1") + resource("R2");
const std::vector<std::vector<std::string>> roomGroup = {{"R1", "R2"}};

TEST(ResourceUsageTest, GroupFullInTheEvenWeekClosesItToEvenAndEveryWeekLessons) {
    Built built(problemText(1, 4, resource("T1") + resource("T2") + resource("T3") + resource("T4") +
                                      resource("T5") + rooms,
                            activity("Even1", 1, {"T1"}, roomGroup, week("E")) +
                                activity("Even2", 1, {"T2"}, roomGroup, week("E")) +
                                activity("Even3", 1, {"T3"}, roomGroup, week("E")) +
                                activity("Odd", 1, {"T4"}, roomGroup, week("O")) +
                                activity("Every", 1, {"T5"}, roomGroup, week("A"))));
    SearchSpace& space = *built.space;
    space.processPropagators();
    const int r1 = built.resource("R1"), r2 = built.resource("R2");
    place(space, built.activity("Even1"), 1, {r1});
    EXPECT_EQ(space.availableRes[0][1], (GroupCounts{1, 0, 1}));
    place(space, built.activity("Even2"), 1, {r2});
    EXPECT_EQ(space.availableRes[0][1], (GroupCounts{2, 0, 0}));
    EXPECT_EQ(built.starts(built.activity("Even3")), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(built.starts(built.activity("Every")), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(built.starts(built.activity("Odd")), range(0, 3));
    // The odd week still has both rooms at slot 1.
    place(space, built.activity("Odd"), 1, {r1});
    EXPECT_EQ(space.availableRes[0][1], (GroupCounts{1, 0, 0}));
    EXPECT_EQ(space.isGrresUsed[built.problem.resources[r1].grres][1], takenBoth);
}

TEST(ResourceUsageTest, OneWeekBookingMovesAMemberBetweenCountsAndBack) {
    Built built(problemText(1, 6, resource("T", "<Break>1</Break>") + rooms,
                            activity("Odd", 2, {"T"}, roomGroup, week("O"))));
    SearchSpace& space = *built.space;
    space.processPropagators();
    const int r2 = built.resource("R2");
    const int grres = built.problem.resources[r2].grres;
    place(space, 0, 1, {r2});
    // Slots 1 and 2; rooms have no break of their own.
    for (int t : {1, 2}) {
        EXPECT_EQ(space.availableRes[0][t], (GroupCounts{0, 1, 1})) << t;
        EXPECT_EQ(space.isGrresUsed[grres][t], takenOdd) << t;
    }
    EXPECT_EQ(space.availableRes[0][3], (GroupCounts{0, 0, 2}));
    space.releaseResource(0, r2);
    for (int t = 0; t < built.problem.nbSlots; ++t) {
        const bool added = t % built.problem.slotsPerDay >= 6;  // closed to everything
        EXPECT_EQ(space.isGrresUsed[grres][t], added ? takenBoth : 0) << t;
        EXPECT_EQ(space.availableRes[0][t], (GroupCounts{0, 0, added ? 0 : 2})) << t;
    }
}

TEST(ResourceUsageTest, BookingBlocksTheResourceForItsBreak) {
    Built built(problemText(1, 8, resource("T") + resource("R1", "<Break>2</Break>") + resource("R2"),
                            activity("A", 1, {"T"}, roomGroup) + activity("B", 1, {"R1"})));
    SearchSpace& space = *built.space;
    space.processPropagators();
    place(space, 0, 2, {built.resource("R1")});
    // B uses R1 directly: it may neither overlap A, nor start in A's break,
    // nor end so close before A that its own break reaches A.
    std::vector<int> expected = {5, 6, 7};
    EXPECT_EQ(built.starts(1), expected);
}

TEST(ResourceUsageTest, ReleasingABreakOverAClosedSlotKeepsTheSlotClosed) {
    // slot 01234   R1: .AbX.  (b = A's break, X = R1 closed)
    Built built(problemText(1, 5,
                            resource("R1", "<TimePreferences><Hard>3</Hard></TimePreferences><Break>1</Break>") +
                                resource("R2") + resource("T"),
                            activity("A", 1, {"R1"}) + activity("Other", 1, {"T"}, roomGroup)));
    SearchSpace& space = *built.space;
    space.processPropagators();
    const int r1 = built.resource("R1");
    const int grres = built.problem.resources[r1].grres;
    const std::vector<std::uint8_t> before = space.isGrresUsed[grres];
    const std::vector<GroupCounts> counts = space.availableRes[0];
    place(space, built.activity("A"), 2, {r1});
    EXPECT_EQ(space.isGrresUsed[grres][2], takenBoth);
    space.releaseResource(built.activity("A"), r1);
    EXPECT_EQ(space.isGrresUsed[grres], before);
    EXPECT_EQ(space.availableRes[0], counts);
}

TEST(ResourceUsageTest, ReachingMaxDaysKeepsTheOtherActivitiesOnUsedDays) {
    Built built(problemText(3, 4, resource("T", "<MaxDays>1</MaxDays>"),
                            activity("A", 1, {"T"}) + activity("B", 1, {"T"}) +
                                activity("C", 2, {"T"})));
    SearchSpace& space = *built.space;
    space.processPropagators();
    const int t = built.resource("T");
    const int mdres = built.problem.resources[t].mdres;
    place(space, 0, 5, {t});
    EXPECT_EQ(space.mdDays[mdres], 1);
    EXPECT_EQ(space.mdLoad[mdres], (std::vector<int>{0, 2, 0}));
    space.processPropagators();
    // C keeps only 6 on day 1, which leaves B only 4.
    EXPECT_EQ(built.starts(2), (std::vector<int>{6}));
    EXPECT_EQ(built.starts(1), (std::vector<int>{4}));
    space.releaseResource(0, t);
    EXPECT_EQ(space.mdDays[mdres], 0);
    EXPECT_EQ(space.mdLoad[mdres], (std::vector<int>{0, 0, 0}));
}

TEST(ResourceUsageTest, BalancedChargesAddUpToTheDaysExcess) {
    // Four every-week lessons of one slot on 2 days: quota (4 x 2) / 2 = 4.
    std::string lessons;
    for (int i = 0; i < 4; ++i) lessons += activity("L" + std::to_string(i), 1, {"T"});
    Built built(problemText(2, 6, resource("T", "<Balanced score=\"10\"></Balanced>"), lessons));
    SearchSpace& space = *built.space;
    space.processPropagators();
    const int t = built.resource("T");
    ASSERT_EQ(built.problem.resources[t].dayQuota, 4);
    std::vector<int> scores;
    for (int i = 0; i < 4; ++i) {
        place(space, i, i, {t});
        scores.push_back(space.myScore);
    }
    // Day loads 2, 4, 6, 8: the judgement charges 10 x (8 - 4) once.
    EXPECT_EQ(scores, (std::vector<int>{0, 0, 20, 40}));
}

TEST(ResourceUsageTest, FailedBookingLeavesEveryGroupCountConsistent) {
    // R1 belongs to two groups. Booking it empties the group whose other
    // room is closed at the slot where that group's lesson must start: the
    // booking fails, and both groups must still count R1 as taken so that
    // releasing it is exact.
    Built built(problemText(1, 4,
                            resource("T1", "<TimePreferences><Avail>2</Avail></TimePreferences>") +
                                resource("T2") + rooms +
                                resource("R3", "<TimePreferences><Hard>2</Hard></TimePreferences>"),
                            activity("Only", 1, {"T1"}, {{"R1", "R3"}}) +
                                activity("Either", 1, {"T2"}, roomGroup)));
    SearchSpace& space = *built.space;
    space.processPropagators();
    ASSERT_EQ(built.starts(0), (std::vector<int>{2}));
    const int r1 = built.resource("R1");
    const std::vector<int>& groups = built.problem.resources[r1].groups;
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_THROW(space.markResourceUsed(r1, 2, 2, takenBoth), Contradiction);
    EXPECT_EQ(space.failedVar, 0);
    const int closed = built.problem.groups[groups[0]].activities == std::vector<int>{0}
                           ? groups[0] : groups[1];
    const int open = closed == groups[0] ? groups[1] : groups[0];
    EXPECT_EQ(space.availableRes[open][2], (GroupCounts{0, 0, 1}));
    EXPECT_EQ(space.availableRes[closed][2], (GroupCounts{0, 0, 0}));
    space.freeResourceUse(r1, 2, 2, takenBoth);
    EXPECT_EQ(space.availableRes[open][2], (GroupCounts{0, 0, 2}));
    EXPECT_EQ(space.availableRes[closed][2], (GroupCounts{0, 0, 1}));
}

TEST(ResourceUsageTest, ContinuityGapMatchesTheJudgementsCount) {
    // slot 0123456   C: A..B.  in both weeks, break 1 (slot 6 is the added
    // one), a third lesson U left unplaced. The judgement counts per week
    // span 4 - (3 - 1 lessons not on the day) x break - busy (2 + U's 1 + 1) = -2.
    Built built(problemText(1, 6, resource("C", "<Continuous score=\"10\"></Continuous><Break>1</Break>"),
                            activity("A", 1, {"C"}) + activity("B", 1, {"C"}) +
                                activity("U", 1, {"C"})));
    SearchSpace& space = *built.space;
    const int c = built.resource("C");
    const int contres = built.problem.resources[c].contres;
    auto stopAt = [&](int stop) {
        for (int w = 0; w < 2; ++w) {
            space.cont_start[w][contres][0] = 0;
            space.cont_stop[w][contres][0] = stop;  // B's last slot plus its break
        }
    };
    auto gap = [&] {
        return space.continuityGap(c, space.cont_start, space.cont_stop, space.placedWeeks(c));
    };
    // Nothing booked: no span, and never a negative excess.
    EXPECT_EQ(space.continuityExcess(c, 0), 0);
    EXPECT_EQ(space.continuityCharge(c), 0);
    stopAt(4);
    space.used[built.activity("A")] = true;
    space.used[built.activity("B")] = true;
    EXPECT_EQ(gap(), -4);
    EXPECT_EQ(space.continuityCharge(c), 0);
    // U placed inside the span: per week 4 - 2 x 1 - 3 = -1.
    space.used[built.activity("U")] = true;
    EXPECT_EQ(gap(), -2);
    // B moved to slot 5: per week 6 - 2 - 3 = 1, at continuous / 2 per slot.
    stopAt(6);
    EXPECT_EQ(gap(), 2);
    EXPECT_EQ(space.continuityCharge(c), 5 * 2);
    // Excess of one week as the shuffle measures it: span 7 against busyEven.
    EXPECT_EQ(space.continuityExcess(c, 0), 7 - built.problem.resources[c].busyEven);
}

}  // namespace
