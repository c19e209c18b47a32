#include <gtest/gtest.h>

#include "space/propagator_statistics.h"
#include "space_fixture.h"

using namespace space_testing;

namespace {

// Two independent activities (lengths given) on 3 days of 8 slots, already
// propagated; the tests add one propagator by hand and narrow the bounds.
struct Pair {
    Built built;
    SearchSpace& space;
    explicit Pair(int lengthA = 1, int lengthB = 1)
        : built(problemText(3, 8, resource("T") + resource("U"),
                            activity("A", lengthA, {"T"}) + activity("B", lengthB, {"U"}))),
          space(*built.space) {
        space.processPropagators();
    }
    void bounds(int v, int min, int max) {
        space.removeRange(v, 0, min - 1);
        space.removeRange(v, max + 1, space.problem.nbSlots);
        space.processPropagators();
    }
};

TEST(PropagatorsTest, BeforeWithAFixedFirstCutsEarlierStartsAndFinishes) {
    Pair pair(3, 1);
    pair.bounds(0, 9, 9);
    auto* rule = new Propagators::BeforePropagator(pair.space, 0, 3, 1);
    EXPECT_TRUE(rule->propagate(pair.space, 0));
    EXPECT_EQ(pair.space.time[1].min, 12);
}

TEST(PropagatorsTest, BeforeForTheSecondCutsLateStartsOfTheFirst) {
    Pair pair(2, 1);
    pair.bounds(1, 0, 10);
    auto* rule = new Propagators::BeforePropagator(pair.space, 0, 2, 1);
    EXPECT_FALSE(rule->propagate(pair.space, 1));
    EXPECT_EQ(pair.space.time[0].max, 8);  // 8 + 2 <= 10
}

TEST(PropagatorsTest, SameDayKeepsTheOtherOnTheOnlyDay) {
    Pair pair;
    pair.bounds(0, 10, 12);
    auto* rule = new Propagators::SameDayPropagator(pair.space, 0, 1, 8);
    EXPECT_TRUE(rule->propagate(pair.space, 0));
    EXPECT_EQ(pair.built.starts(1), range(8, 15));
}

TEST(PropagatorsTest, DisjointAroundAFixedActivity) {
    Pair pair;
    pair.bounds(0, 5, 5);
    auto* rule = new Propagators::DisjointPropagator(pair.space, 0, 3, 1, 2);
    const PropagatorStatistics before = disjointStatistics;
    EXPECT_TRUE(rule->propagate(pair.space, 0));
    std::vector<int> expected = range(0, 3);
    for (int s = 8; s < 24; ++s) expected.push_back(s);
    EXPECT_EQ(pair.built.starts(1), expected);
    EXPECT_EQ(disjointStatistics.calls, before.calls + 1);
    EXPECT_EQ(disjointStatistics.callsUnfixed, before.callsUnfixed);
    EXPECT_EQ(disjointStatistics.worked, before.worked + 1);
    EXPECT_EQ(disjointStatistics.boundsChanged, before.boundsChanged);  // inner removal only
}

TEST(PropagatorsTest, DisjointWithWideBoundsDoesNothingAndStays) {
    Pair pair;
    pair.bounds(0, 0, 10);
    pair.bounds(1, 0, 10);
    auto* rule = new Propagators::DisjointPropagator(pair.space, 0, 3, 1, 2);
    const PropagatorStatistics before = disjointStatistics;
    const std::size_t journal = pair.space.journal_values.size();
    EXPECT_FALSE(rule->propagate(pair.space, 0));
    EXPECT_EQ(pair.space.journal_values.size(), journal);
    EXPECT_EQ(disjointStatistics.calls, before.calls + 1);
    EXPECT_EQ(disjointStatistics.callsUnfixed, before.callsUnfixed + 1);
    EXPECT_EQ(disjointStatistics.worked, before.worked);
}

TEST(PropagatorsTest, DisjointCountsMovedBoundsAndNotAFailedCall) {
    Pair pair;
    pair.bounds(0, 0, 0);
    pair.bounds(1, 0, 3);
    auto* rule = new Propagators::DisjointPropagator(pair.space, 0, 2, 1, 2);
    PropagatorStatistics before = disjointStatistics;
    EXPECT_TRUE(rule->propagate(pair.space, 0));
    EXPECT_EQ(pair.space.time[1].min, 2);
    EXPECT_EQ(disjointStatistics.boundsChanged, before.boundsChanged + 1);

    pair.bounds(1, 2, 2);
    auto* clash = new Propagators::DisjointPropagator(pair.space, 0, 3, 1, 3);
    before = disjointStatistics;
    EXPECT_THROW(clash->propagate(pair.space, 0), int);
    EXPECT_EQ(disjointStatistics.calls, before.calls + 1);
    EXPECT_EQ(disjointStatistics.worked, before.worked);
}

TEST(PropagatorsTest, ConcurrentlyOfEqualLengthsCopiesTheBounds) {
    Pair pair(2, 2);
    pair.bounds(0, 9, 13);
    auto* rule = new Propagators::ConcurrentlyPropagator(pair.space, 0, 1, 0);
    EXPECT_FALSE(rule->propagate(pair.space, 0));
    EXPECT_EQ(pair.space.time[1].min, 9);
    EXPECT_EQ(pair.space.time[1].max, 13);
}

TEST(PropagatorsTest, ConcurrentlyForTheInnerActivity) {
    Pair pair(3, 1);
    pair.bounds(1, 10, 11);
    auto* rule = new Propagators::ConcurrentlyPropagator(pair.space, 0, 1, 2);
    EXPECT_FALSE(rule->propagate(pair.space, 1));
    EXPECT_EQ(pair.space.time[0].min, 8);   // 10 - 2
    EXPECT_EQ(pair.space.time[0].max, 11);
}

// Through the queue: a finished propagator is detached from the variable that
// triggered it and journaled, and stays attached to the other one.
TEST(PropagatorsTest, FinishedPropagatorIsDetachedFromTheTriggeringVariable) {
    Built built(problemText(1, 6, resource("T"), activity("A", 2, {"T"}) + activity("B", 2, {"T"})));
    SearchSpace& space = *built.space;
    space.processPropagators();
    ASSERT_EQ(space.propagators.size(), 1u);
    const std::size_t detached = space.journal_propagators.size();
    space.assign(0, 0);
    space.processPropagators();
    EXPECT_EQ(space.state, 1);
    EXPECT_TRUE(space.time[0].watchers.empty());
    EXPECT_EQ(built.starts(1), range(2, 4));
    // B moved past A's end, so the rule is finished for B as well.
    EXPECT_TRUE(space.time[1].watchers.empty());
    ASSERT_EQ(space.journal_propagators.size(), detached + 2);
    EXPECT_EQ(space.journal_propagators[detached].activity, 0);
    EXPECT_EQ(space.journal_propagators[detached + 1].activity, 1);
    EXPECT_EQ(space.journal_propagators[detached].propagator, space.propagators[0].get());
}

TEST(PropagatorsTest, CloselyBeforeChainPropagatesThroughTheQueue) {
    Built built(problemText(2, 5, resource("T") + resource("U") + resource("V"),
                            activity("A", 2, {"T"}) + activity("B", 1, {"U"}) +
                                activity("C", 1, {"V"}),
                            dependence("A", "B", "Closely before") +
                                dependence("B", "C", "Before")));
    SearchSpace& space = *built.space;
    space.processPropagators();
    const int a = built.activity("A"), b = built.activity("B"), c = built.activity("C");
    EXPECT_EQ(space.time[b].min, 2);
    EXPECT_EQ(space.time[c].min, 3);
    EXPECT_EQ(space.time[a].max, 6);  // C at 9 at the latest, B at 8, A at 6
    space.removeRange(a, 0, 4);  // A on day 1
    space.processPropagators();
    EXPECT_EQ(built.starts(a), range(5, 6));
    EXPECT_EQ(built.starts(b), range(7, 8));
    EXPECT_EQ(built.starts(c), range(8, 9));
}

}  // namespace
