#include <gtest/gtest.h>

#include <algorithm>

#include "space/slot_bits.h"
#include "space_fixture.h"

using namespace space_testing;

namespace {

// Scans, counts and range clearing across word boundaries, against a plain
// reference.
TEST(SlotBitsTest, AgreesWithAPlainReferenceAcrossWords) {
    SlotBits bits(150);
    std::vector<bool> reference(150, true);
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
        for (int s = 149; s >= from; --s)
            if (reference[s]) next = s;
        for (int s = 0; s <= from; ++s)
            if (reference[s]) previous = s;
        for (int s = from; s < 150; ++s) count += reference[s];
        EXPECT_EQ(bits.nextSet(from), next) << from;
        EXPECT_EQ(bits.previousSet(from), previous) << from;
        EXPECT_EQ(bits.count(from, 149), count) << from;
    }
    EXPECT_EQ(bits.nextSet(150), -1);
    EXPECT_EQ(bits.clearRange(61, 99, [](int) { ADD_FAILURE(); }), 0);
    SlotBits wordSized(64);  // no stray bits past the end
    EXPECT_EQ(wordSized.count(), 64);
    EXPECT_EQ(wordSized.previousSet(200), 63);
}

// Two unrelated activities of length 1 on 2 days of 10 slots, propagated.
struct VariablesTest : ::testing::Test {
    Built built{problemText(2, 10, resource("T") + resource("U"),
                            activity("A", 1, {"T"}) + activity("B", 1, {"U"}))};
    SearchSpace& space = *built.space;
    void SetUp() override { space.processPropagators(); }
};

TEST_F(VariablesTest, RemovingNothingOrInnerStartsQueuesNothing) {
    const std::size_t journal = space.journal_values.size();
    const int stamp = space.stamp;
    space.valuesRemoved = 0;
    EXPECT_FALSE(space.removeRange(0, 5, 4));     // from > to
    EXPECT_FALSE(space.removeRange(0, -10, -1));  // below min
    EXPECT_FALSE(space.removeRange(0, 20, 30));   // above max
    EXPECT_EQ(space.journal_values.size(), journal);
    EXPECT_EQ(space.stamp, stamp);
    EXPECT_EQ(space.valuesRemoved, 0);

    EXPECT_FALSE(space.removeRange(0, 3, 5));
    EXPECT_EQ(space.valuesRemoved, 1);
    EXPECT_TRUE(space.changedVar.empty());
    ASSERT_EQ(space.journal_values.size(), journal + 3);
    EXPECT_EQ(space.journal_values.back(), (RemovedStart{0, 5}));
    EXPECT_EQ(space.time[0].allowedCount(), 17);
}

TEST_F(VariablesTest, MovingBoundsQueuesTheVariableOnce) {
    space.removeRange(0, 2, 4);
    EXPECT_TRUE(space.removeRange(0, 0, 1));  // min jumps over the earlier hole
    EXPECT_EQ(space.time[0].min, 5);
    EXPECT_TRUE(space.removeRange(0, 19, 19));
    EXPECT_EQ(space.time[0].max, 18);
    EXPECT_EQ(space.changedVar.size(), 1);
    space.processPropagators();
    EXPECT_TRUE(space.changedVar.empty());
    EXPECT_GT(space.time[0].processedAt, space.time[0].changedAt);
}

TEST_F(VariablesTest, EmptyingADomainThrowsTheActivityAfterJournaling) {
    space.removeRange(1, 5, 9);
    const std::size_t journal = space.journal_values.size();
    EXPECT_THROW(space.removeRange(1, -5, 30), Contradiction);
    EXPECT_EQ(space.failedVar, 1);
    EXPECT_EQ(space.journal_values.size(), journal + 15);
}

TEST_F(VariablesTest, AssignLeavesOneStartAndJournalsTheRest) {
    space.removeRange(0, 10, 12);
    const std::size_t journal = space.journal_values.size();
    space.boundsChanged = 0;
    space.assign(0, 7);
    EXPECT_EQ(space.time[0].min, 7);
    EXPECT_EQ(space.time[0].max, 7);
    EXPECT_EQ(space.journal_values.size(), journal + 16);
    EXPECT_EQ(space.boundsChanged, 0);
    EXPECT_EQ(space.changedVar.size(), 1);
    space.assign(0, 7);
    EXPECT_EQ(space.journal_values.size(), journal + 16);
    EXPECT_EXIT(space.assign(0, 3), ::testing::ExitedWithCode(1), "Internal error");
}

TEST(PropagationTest, ContradictionLeavesTheSpaceFailed) {
    // Two lessons of 3 slots on one teacher in a day of 4.
    Built built(problemText(1, 4, resource("T"), activity("A", 3, {"T"}) + activity("B", 3, {"T"})));
    SearchSpace& space = *built.space;
    space.checkSolved();
    EXPECT_EQ(space.state, SpaceState::failed);
    const int stamp = space.stamp;
    space.processPropagators();  // a failed space stays as it is
    EXPECT_EQ(space.stamp, stamp);
}

}  // namespace
