#include <gtest/gtest.h>

#include "space/propagator_statistics.h"
#include "space_fixture.h"

using namespace space_testing;
using Propagators::Outcome;

namespace {

// Two unrelated activities on 3 days of 8 slots, propagated, with bounds set
// by hand; each test then adds one rule and calls it directly.
struct Pair {
    Built built;
    SearchSpace& space;
    explicit Pair(int lengthA = 1, int lengthB = 1)
        : built(problemText(3, 8, resource("T") + resource("U"),
                            activity("A", lengthA, {"T"}) + activity("B", lengthB, {"U"}))),
          space(*built.space) {}
    void bounds(int v, int min, int max) {
        space.removeRange(v, 0, min - 1);
        space.removeRange(v, max + 1, space.problem.nbSlots);
        space.processPropagators();
    }
};

TEST(PropagatorsTest, BeforeAndSameDayAroundFixedOrNarrowFirstActivities) {
    Pair before(3, 1);
    before.bounds(0, 9, 9);
    auto* rule = &before.space.post<Propagators::BeforePropagator>(0, 3, 1);
    EXPECT_EQ(rule->propagate(before.space, 0), Outcome::finished);  // finished: A is fixed
    EXPECT_EQ(before.space.time[1].min, 12);

    Pair sameDay;
    sameDay.bounds(0, 10, 12);
    auto* day = &sameDay.space.post<Propagators::SameDayPropagator>(0, 1, 8);
    EXPECT_EQ(day->propagate(sameDay.space, 0), Outcome::finished);
    EXPECT_EQ(sameDay.built.starts(1), range(8, 15));
}

TEST(PropagatorsTest, DisjointRemovesOverlapsAndCountsItsCalls) {
    Pair fixed;
    fixed.bounds(0, 5, 5);
    auto* rule = &fixed.space.post<Propagators::DisjointPropagator>(0, 3, 1, 2);
    PropagatorStatistics before = fixed.space.disjointStatistics;
    EXPECT_EQ(rule->propagate(fixed.space, 0), Outcome::finished);
    std::vector<int> expected = range(0, 3);
    for (int s = 8; s < 24; ++s) expected.push_back(s);
    EXPECT_EQ(fixed.built.starts(1), expected);
    EXPECT_EQ(fixed.space.disjointStatistics.calls, before.calls + 1);
    EXPECT_EQ(fixed.space.disjointStatistics.callsUnfixed, before.callsUnfixed);
    EXPECT_EQ(fixed.space.disjointStatistics.worked, before.worked + 1);
    EXPECT_EQ(fixed.space.disjointStatistics.boundsChanged, before.boundsChanged);  // an inner hole only

    Pair wide;
    wide.bounds(0, 0, 10);
    wide.bounds(1, 0, 10);
    auto* idle = &wide.space.post<Propagators::DisjointPropagator>(0, 3, 1, 2);
    before = wide.space.disjointStatistics;
    const std::size_t journal = wide.space.journal_values.size();
    EXPECT_EQ(idle->propagate(wide.space, 0), Outcome::active);
    EXPECT_EQ(wide.space.journal_values.size(), journal);
    EXPECT_EQ(wide.space.disjointStatistics.callsUnfixed, before.callsUnfixed + 1);
    EXPECT_EQ(wide.space.disjointStatistics.worked, before.worked);

    // A contradiction counts the call but not its effects.
    Pair clash;
    clash.bounds(0, 0, 0);
    clash.bounds(1, 2, 2);
    auto* failing = &clash.space.post<Propagators::DisjointPropagator>(0, 3, 1, 3);
    before = clash.space.disjointStatistics;
    EXPECT_EQ(failing->propagate(clash.space, 0), Outcome::failed);
    EXPECT_EQ(clash.space.failedVar, 1);
    EXPECT_EQ(clash.space.disjointStatistics.calls, before.calls + 1);
    EXPECT_EQ(clash.space.disjointStatistics.worked, before.worked);
}

TEST(PropagatorsTest, ConcurrentlyKeepsTheInnerActivityWithinTheOuter) {
    Pair equal(2, 2);
    equal.bounds(0, 9, 13);
    auto* rule = &equal.space.post<Propagators::ConcurrentlyPropagator>(0, 1, 0);
    EXPECT_EQ(rule->propagate(equal.space, 0), Outcome::active);
    EXPECT_EQ(equal.space.time[1].min, 9);
    EXPECT_EQ(equal.space.time[1].max, 13);

    Pair longer(3, 1);
    longer.bounds(1, 10, 11);
    auto* inner = &longer.space.post<Propagators::ConcurrentlyPropagator>(0, 1, 2);
    EXPECT_EQ(inner->propagate(longer.space, 1), Outcome::active);
    EXPECT_EQ(longer.built.starts(0), range(8, 11));
}

// Through the queue: a finished rule is detached from the variable that ran
// it, journaled, and never called again for that variable.
TEST(PropagatorsTest, FinishedRuleIsDetachedFromTheTriggeringVariable) {
    Built built(problemText(1, 6, resource("T"), activity("A", 2, {"T"}) + activity("B", 2, {"T"})));
    SearchSpace& space = *built.space;
    space.processPropagators();
    ASSERT_EQ(space.propagators.size(), 1u);
    const std::size_t detached = space.journal_propagators.size();
    space.assign(0, 0);
    space.processPropagators();
    EXPECT_EQ(built.starts(1), range(2, 4));
    // B now starts after A's end, so the rule is finished for B as well.
    EXPECT_TRUE(space.time[0].watchers.empty());
    EXPECT_TRUE(space.time[1].watchers.empty());
    ASSERT_EQ(space.journal_propagators.size(), detached + 2);
    EXPECT_EQ(space.journal_propagators[detached],
              (DetachedPropagator{0, space.propagators[0]}));
    EXPECT_EQ(space.journal_propagators[detached + 1].activity, 1);
}

}  // namespace
