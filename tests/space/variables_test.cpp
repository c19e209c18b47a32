#include <gtest/gtest.h>

#include <algorithm>

#include "space/slot_bits.h"
#include "space_fixture.h"

using namespace space_testing;

namespace {

// Bit sets across word boundaries against a plain reference.
TEST(SlotBitsTest, ScansCountsAndClearsAcrossWords) {
    SlotBits bits(150);
    std::vector<bool> reference(150, true);
    EXPECT_EQ(bits.count(), 150);
    EXPECT_EQ(bits.nextSet(149), 149);
    EXPECT_EQ(bits.nextSet(150), -1);
    EXPECT_EQ(bits.previousSet(-1), -1);

    std::vector<int> removed;
    EXPECT_EQ(bits.clearRange(60, 130, [&](int s) { removed.push_back(s); }), 71);
    EXPECT_EQ(removed, range(60, 130));
    std::fill(reference.begin() + 60, reference.begin() + 131, false);
    bits.clear(3);
    reference[3] = false;
    bits.set(100);
    reference[100] = true;

    for (int from = 0; from < 150; ++from) {
        int next = -1, previous = -1, count = 0;
        for (int s = from; s < 150; ++s)
            if (reference[s]) { next = s; break; }
        for (int s = from; s >= 0; --s)
            if (reference[s]) { previous = s; break; }
        for (int s = from; s < 150; ++s) count += reference[s];
        EXPECT_EQ(bits.nextSet(from), next) << from;
        EXPECT_EQ(bits.previousSet(from), previous) << from;
        EXPECT_EQ(bits.count(from, 149), count) << from;
    }
    // Clearing an already empty stretch reports nothing.
    EXPECT_EQ(bits.clearRange(61, 99, [](int) { ADD_FAILURE(); }), 0);
}

TEST(SlotBitsTest, SizeOnAWordBoundaryKeepsNoStrayBits) {
    SlotBits bits(64);
    EXPECT_EQ(bits.count(), 64);
    EXPECT_EQ(bits.nextSet(63), 63);
    EXPECT_EQ(bits.previousSet(200), 63);
    SlotBits small(5);
    EXPECT_EQ(small.nextSet(5), -1);
    EXPECT_EQ(small.count(), 5);
}

// Two independent activities of length 1 on 2 days of 10 slots.
std::string twoFree() {
    return problemText(2, 10, resource("T") + resource("U"),
                       activity("A", 1, {"T"}) + activity("B", 1, {"U"}));
}

TEST(VariablesTest, RemovingNothingChangesNothing) {
    Built built(twoFree());
    SearchSpace& space = *built.space;
    space.processPropagators();
    const std::size_t journal = space.journal_values.size();
    const int stamp = space.stamp;
    space.valuesRemoved = 0;
    EXPECT_FALSE(space.removeRange(0, 5, 4));     // from > to
    EXPECT_FALSE(space.removeRange(0, -10, -1));  // below min
    EXPECT_FALSE(space.removeRange(0, 20, 30));   // above max
    EXPECT_EQ(space.journal_values.size(), journal);
    EXPECT_EQ(space.stamp, stamp);
    EXPECT_EQ(space.valuesRemoved, 0);
    EXPECT_TRUE(space.changedVar.empty());
}

TEST(VariablesTest, InnerRemovalJournalsButQueuesNothing) {
    Built built(twoFree());
    SearchSpace& space = *built.space;
    space.processPropagators();
    const std::size_t journal = space.journal_values.size();
    EXPECT_FALSE(space.removeRange(0, 3, 5));
    EXPECT_EQ(space.valuesRemoved, 1);
    EXPECT_TRUE(space.changedVar.empty());
    ASSERT_EQ(space.journal_values.size(), journal + 3);
    EXPECT_EQ(space.journal_values.back(), (RemovedStart{0, 5}));
    EXPECT_EQ(space.time[0].min, 0);
    EXPECT_EQ(space.time[0].max, 19);
    EXPECT_EQ(space.time[0].allowedCount(), 17);
}

TEST(VariablesTest, MovingABoundQueuesTheVariableOnce) {
    Built built(twoFree());
    SearchSpace& space = *built.space;
    space.processPropagators();
    space.removeRange(0, 2, 4);
    EXPECT_TRUE(space.removeRange(0, 0, 1));  // min skips the earlier hole
    EXPECT_EQ(space.time[0].min, 5);
    EXPECT_EQ(space.changedVar.size(), 1);
    EXPECT_TRUE(space.removeRange(0, 19, 19));
    EXPECT_EQ(space.time[0].max, 18);
    EXPECT_EQ(space.changedVar.size(), 1);
    EXPECT_EQ(space.changedVar.front(), 0);
    space.processPropagators();
    EXPECT_TRUE(space.changedVar.empty());
    EXPECT_GT(space.time[0].processedAt, space.time[0].changedAt);
}

TEST(VariablesTest, EmptyingADomainThrowsTheActivityAfterJournaling) {
    Built built(twoFree());
    SearchSpace& space = *built.space;
    space.processPropagators();
    space.removeRange(1, 5, 9);
    const std::size_t journal = space.journal_values.size();
    try {
        space.removeRange(1, -5, 30);
        FAIL() << "no failure";
    } catch (int failed) {
        EXPECT_EQ(failed, 1);
    }
    EXPECT_EQ(space.failedVar, 1);
    EXPECT_EQ(space.journal_values.size(), journal + 15);
}

TEST(VariablesTest, AssignLeavesOneStartAndJournalsTheRest) {
    Built built(twoFree());
    SearchSpace& space = *built.space;
    space.processPropagators();
    space.removeRange(0, 10, 12);
    const std::size_t journal = space.journal_values.size();
    space.boundsChanged = 0;
    space.assign(0, 7);
    EXPECT_TRUE(space.time[0].fixed());
    EXPECT_EQ(space.time[0].min, 7);
    EXPECT_EQ(space.journal_values.size(), journal + 16);
    EXPECT_EQ(space.boundsChanged, 0);
    EXPECT_EQ(space.changedVar.size(), 1);
    space.assign(0, 7);  // already fixed there: nothing more
    EXPECT_EQ(space.journal_values.size(), journal + 16);
}

TEST(VariablesDeathTest, AssignToAForbiddenStartIsAnInternalError) {
    Built built(twoFree());
    built.space->removeRange(0, 3, 3);
    EXPECT_EXIT(built.space->assign(0, 3), ::testing::ExitedWithCode(1), "Internal error");
}

TEST(VariablesTest, FailedPropagationLeavesTheSpaceFailed) {
    // Two lessons of 3 slots on one teacher in a day of 4: no room.
    Built built(problemText(1, 4, resource("T"),
                            activity("A", 3, {"T"}) + activity("B", 3, {"T"})));
    SearchSpace& space = *built.space;
    EXPECT_EQ(space.state, 1);
    space.checkSolved();
    EXPECT_EQ(space.state, 0);
    const int stamp = space.stamp;
    space.processPropagators();  // a failed space stays as it is
    EXPECT_EQ(space.stamp, stamp);
}

}  // namespace
