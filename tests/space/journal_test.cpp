#include <gtest/gtest.h>

#include <cstdlib>

#include "judge/check_solution.h"
#include "random_descent.h"
#include "space_fixture.h"

using namespace space_testing;
using namespace descent_testing;

namespace {

TEST(JournalTest, GoingBackToTheCurrentPointOnlyResetsTheScalars) {
    Built built(problemText(1, 4, resource("T"), activity("A", 1, {"T"}) + activity("B", 1, {"T"})));
    SearchSpace& space = *built.space;
    space.processPropagators();
    const JournalMark mark = space.takeMark();
    const std::vector<TimeVar> domains = space.time;
    const int stamp = space.stamp;
    space.markChanged(0);
    space.state = SpaceState::failed;
    space.myScore += 5;
    space.randseed += 1;
    space.noOfWaiting -= 1;
    space.goBack(mark);
    EXPECT_TRUE(space.changedVar.empty());
    EXPECT_EQ(space.stamp, stamp + 2);  // one for markChanged, one for going back
    EXPECT_EQ(space.state, SpaceState::open);
    EXPECT_EQ(space.myScore, mark.myScore);
    EXPECT_EQ(space.randseed, mark.randseed);
    EXPECT_EQ(space.noOfWaiting, mark.noOfWaiting);
    EXPECT_EQ(space.journal_values.size(), static_cast<std::size_t>(mark.values));
    for (int a = 0; a < 2; ++a) {
        EXPECT_EQ(space.time[a].possible, domains[a].possible);
        EXPECT_EQ(space.time[a].min, domains[a].min);
        EXPECT_EQ(space.time[a].max, domains[a].max);
    }
}

// Three lessons of one teacher on two slots: placing one leaves the other
// two a single slot, which propagation finds contradictory.
std::string crowdedProblem() {
    return problemText(1, 2, resource("T"),
                       activity("A", 1, {"T"}) + activity("B", 1, {"T"}) + activity("C", 1, {"T"}));
}

TEST(JournalTest, GoingBackAfterAFailedPropagationGivesTheRootAgain) {
    Built built(crowdedProblem());
    Built fresh(crowdedProblem());
    fresh.space->processPropagators();
    SearchSpace& space = *built.space;
    space.processPropagators();
    const JournalMark root = space.takeMark();
    space.prepareImprove();
    space.commitImprove(0);
    space.processPropagators();
    ASSERT_EQ(space.state, SpaceState::failed);
    EXPECT_EQ(space.myScore, 0);
    space.goBack(root, fresh.space.get());
    EXPECT_EQ(space.state, SpaceState::open);
    EXPECT_TRUE(space.changedVar.empty());
    for (int a = 0; a < 3; ++a) EXPECT_EQ(built.starts(a), range(0, 1));
}

// Random decision sequences on small problems with every feature, complete
// or cut short, then back to the root: the space equals a freshly built and
// propagated one (the consistency check aborts on any difference).
TEST(JournalPropertyTest, RandomDecisionsUndoneToTheRootGiveAFreshSpace) {
    FatalErrorsThrow fatalErrorsThrow;
    int walks = 0;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        reportSeedOnAbort(seed);
        std::mt19937 random(seed);
        const std::string text = testing_support::randomProblem(random);
        std::unique_ptr<Built> built, fresh;
        try {
            built = std::make_unique<Built>(text, seed);
        } catch (const std::runtime_error&) {
            continue;
        }
        fresh = std::make_unique<Built>(text, seed);
        fresh->space->processPropagators();
        SearchSpace& space = *built->space;
        space.processPropagators();
        if (space.state != SpaceState::open) continue;  // contradictory hard dependences
        const JournalMark root = space.takeMark();
        for (unsigned i = 0; i < 3; ++i) {
            RandomDescent walk(seed * 8 + i);
            if (i == 1) walk.maxDepth = static_cast<int>(seed % 7);
            walk.run(space);
            space.goBack(root, fresh->space.get());
            EXPECT_EQ(space.myScore, 0);
            ++walks;
        }
    }
    EXPECT_GT(walks, 300);
}

// Going back to a mark in the middle of a descent gives the space that made
// only the decisions up to that mark.
TEST(JournalPropertyTest, GoingBackToAMidPointEqualsTheReplayUpToIt) {
    FatalErrorsThrow fatalErrorsThrow;
    int compared = 0;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        reportSeedOnAbort(seed);
        std::mt19937 random(seed);
        const std::string text = testing_support::randomProblem(random);
        std::unique_ptr<Built> built, replay;
        try {
            built = std::make_unique<Built>(text, seed);
        } catch (const std::runtime_error&) {
            continue;
        }
        const int depth = 1 + static_cast<int>(seed % 9);
        RandomDescent walk(seed);
        walk.markDepth = depth;
        if (!walk.run(*built->space) || !walk.midMark || walk.markLost) continue;

        replay = std::make_unique<Built>(text, seed);
        RandomDescent replayWalk(seed);
        replayWalk.markDepth = depth;
        replayWalk.stopAtMark = true;
        ASSERT_TRUE(replayWalk.run(*replay->space));
        built->space->goBack(*walk.midMark, replay->space.get());
        ++compared;
    }
    EXPECT_GT(compared, 50);
}

// The same on the benchmark problems, with longer decision sequences.
TEST(JournalPropertyTest, BenchmarkDecisionsUndoneToTheRootGiveAFreshSpace) {
    for (const char* name : {"small-1", "medium-1", "large-1", "real-es-secondary",
                             "real-ro-oradea-school10"}) {
        SCOPED_TRACE(name);
        reportSeedOnAbort(7);
        testing_support::quietLogs();
        ProblemData problem;
        QUORVEX_BENCH_PATH_OR_SKIP(path, name);
        testing_support::loadProblemFile(path, problem);
        SolutionRecords records;
        allocateRecords(records, problem);
        SearchSpace space(problem, records, 7);
        SearchSpace fresh(problem, records, 7);
        fresh.processPropagators();
        space.processPropagators();
        const JournalMark root = space.takeMark();
        for (unsigned i = 0; i < 3; ++i) {
            RandomDescent walk(i);
            walk.nodeLimit = 2000;
            walk.maxDepth = i == 0 ? -1 : 60 * static_cast<int>(i);
            const bool stopped = walk.run(space);
            EXPECT_GT(walk.nodes, 50);
            // A complete random timetable of a real problem: one score.
            if (stopped && space.state == SpaceState::solved) {
                storeTimetable(space, problem);
                EXPECT_EQ(space.myScore, checkSolution(problem));
            }
            space.goBack(root, &fresh);
        }
    }
}

}  // namespace
