#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>

#include "base/log.h"
#include "base/run_settings.h"
#include "space/propagator_statistics.h"
#include "space_fixture.h"

using namespace space_testing;

namespace {

TEST(ConstructionTest, DayLengthActivityKeepsTheFirstSlotOfEachDay) {
    Built built(problemText(3, 4, resource("T"), activity("A", 4, {"T"})));
    EXPECT_EQ(built.starts(0), (std::vector<int>{0, 4, 8}));
    const SearchSpace& space = *built.space;
    EXPECT_EQ(space.time[0].min, 0);
    EXPECT_EQ(space.time[0].max, 8);
    // The activity waits for its first propagation.
    EXPECT_EQ(space.changedVar.size(), 1);
}

TEST(ConstructionTest, UnavailableSlotsCutEveryStartThatCoversThem) {
    Built built(problemText(1, 8, resource("T", "<TimePreferences><Hard>3</Hard></TimePreferences>"),
                            activity("A", 2, {"T"})));
    EXPECT_EQ(built.starts(0), (std::vector<int>{0, 1, 4, 5, 6}));
}

TEST(ConstructionDeathTest, ActivityLongerThanADayStopsTheProgram) {
    EXPECT_EXIT(Built(problemText(2, 3, resource("T"), activity("Long", 4, {"T"}))),
                ::testing::ExitedWithCode(1),
                "Activity 0 \\[Long\\] do not have any timeslots available");
}

TEST(ConstructionDeathTest, GroupWhoseMembersAreNeverAvailableStopsTheProgram) {
    // Both rooms are closed on day 0 and the lesson must be held on day 0:
    // no start survives the group's empty slots.
    const std::string closed = "<TimePreferences><Hard>0#3</Hard></TimePreferences>";
    EXPECT_EXIT(Built(problemText(2, 4, resource("T", "<TimePreferences><Hard>4#7</Hard></TimePreferences>") +
                                            resource("R1", closed) + resource("R2", closed),
                                  activity("Lesson", 1, {"T"}, {{"R1", "R2"}}))),
                ::testing::ExitedWithCode(1),
                "Activity 0 \\[Lesson\\] do not have any timeslots available");
}

TEST(ConstructionTest, SameSeedGivesTheSameOrder) {
    std::string lessons;
    for (int i = 0; i < 12; ++i) lessons += activity("L" + std::to_string(i), 1, {"T"});
    const std::string text = problemText(5, 6, resource("T"), lessons);
    Built first(text, 77), second(text, 77), other(text, 78);
    EXPECT_EQ(first.space->randseed, second.space->randseed);
    EXPECT_EQ(first.space->waiting, second.space->waiting);
    EXPECT_NE(first.space->waiting, other.space->waiting);
    std::vector<int> sorted = first.space->waiting;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, range(0, 11));
    EXPECT_EQ(first.space->noOfWaiting, 12);
}

TEST(ConstructionTest, ConflictsAndHardDependencesBecomePropagators) {
    Built built(problemText(2, 6, resource("T", "<Break>1</Break>") + resource("U"),
                            activity("A", 2, {"T"}) + activity("B", 1, {"T"}) +
                                activity("C", 1, {"U"}) + activity("D", 1, {"U"}),
                            dependence("A", "C", "Closely before") +
                                dependence("C", "D", "Before", 5) +
                                dependence("D", "A", "Concurrently")));
    const SearchSpace& space = *built.space;
    const int a = built.activity("A"), b = built.activity("B"), c = built.activity("C"),
              d = built.activity("D");
    // A-B and C-D share a resource; C before D is soft and gets nothing.
    ASSERT_EQ(space.propagators.size(), 5u);
    auto rule = [&](int i) { return space.propagators[i]; };
    using namespace Propagators;
    auto* disjoint = dynamic_cast<DisjointPropagator*>(rule(0));
    ASSERT_NE(disjoint, nullptr);
    EXPECT_EQ((std::vector<int>{disjoint->a, disjoint->b, disjoint->delayA, disjoint->delayB}),
              (std::vector<int>{a, b, 3, 2}));  // length + break 1
    EXPECT_NE(dynamic_cast<DisjointPropagator*>(rule(1)), nullptr);
    auto* before = dynamic_cast<BeforePropagator*>(rule(2));
    ASSERT_NE(before, nullptr);
    EXPECT_EQ((std::vector<int>{before->a, before->b, before->length}), (std::vector<int>{a, c, 2}));
    EXPECT_NE(dynamic_cast<SameDayPropagator*>(rule(3)), nullptr);
    auto* concurrently = dynamic_cast<ConcurrentlyPropagator*>(rule(4));
    ASSERT_NE(concurrently, nullptr);  // the longer activity comes first
    EXPECT_EQ((std::vector<int>{concurrently->a, concurrently->b, concurrently->lengthDiff}),
              (std::vector<int>{a, d, 1}));
    EXPECT_EQ(space.time[a].watchers.size(), 4u);
}

TEST(ConstructionTest, UnavailableGroupMembersAreBookedForBothWeeks) {
    Built built(problemText(1, 4, resource("T") + resource("R1", "<TimePreferences><Hard>2</Hard></TimePreferences>") + resource("R2"),
                            activity("Lesson", 1, {"T"}, {{"R1", "R2"}})));
    const SearchSpace& space = *built.space;
    const int r1 = built.resource("R1");
    const int grres = built.problem.resources[r1].grres;
    EXPECT_EQ(space.isGrresUsed[grres][2], takenBoth);
    EXPECT_EQ(space.isGrresUsed[grres][1], 0);
    EXPECT_EQ(space.availableRes[0][2], (GroupCounts{0, 0, 1}));
    EXPECT_EQ(space.availableRes[0][1], (GroupCounts{0, 0, 2}));
    EXPECT_EQ(space.grsel, (std::vector<int>{-1}));
    EXPECT_EQ(built.starts(0), range(0, 3));  // the other room is still free at 2
}

TEST(ConstructionTest, LogsGroupsClosedMembersAndConflictsAtLevel20) {
    const std::string text =
        problemText(1, 4, resource("T") + resource("R1", "<TimePreferences><Hard>2</Hard></TimePreferences>") + resource("R2"),
                    activity("A", 1, {"T"}, {{"R1", "R2"}}) + activity("B", 2, {"T"}));
    FILE* saved = logStream;
    logStream = std::tmpfile();
    testing_support::quietLogs();
    ProblemData problem;
    testing_support::loadProblem(text, problem);
    SolutionRecords records;
    allocateRecords(records, problem);
    runSettings.verbosity = 20;
    { SearchSpace space(problem, records, 2007); }
    runSettings.verbosity = 0;
    std::rewind(logStream);
    std::string log;
    for (int c; (c = std::fgetc(logStream)) != EOF;) log += static_cast<char>(c);
    std::fclose(logStream);
    logStream = saved;
    EXPECT_EQ(log,
              "Group 0 has 2 resources (1, 2)\n"
              "Resource 1 [R1] unavailable from 2 to 2 (flag=3)\n"
              "In group 0 at time 2 there are 0, 0, 1 resources left\n"
              "Activity 0 [A] conflicts with 1 [B] (break=0)\n");
}

// Every benchmark problem gives a space that propagates to a fixpoint.
TEST(ConstructionTest, BenchmarkProblemsPropagateWithoutFailing) {
    for (const char* name : {"small-1", "medium-1", "large-1", "real-es-secondary",
                             "real-ro-oradea-school10"}) {
        SCOPED_TRACE(name);
        testing_support::quietLogs();
        ProblemData problem;
        QUORVEX_BENCH_PATH_OR_SKIP(path, name);
        testing_support::loadProblemFile(path, problem);
        SolutionRecords records;
        allocateRecords(records, problem);
        SearchSpace space(problem, records, 2007);
        space.processPropagators();
        EXPECT_EQ(space.state, SpaceState::open);
        EXPECT_TRUE(space.changedVar.empty());
        for (std::size_t a = 0; a < problem.activities.size(); ++a) {
            const TimeVar& var = space.time[a];
            ASSERT_GE(var.min, 0);
            ASSERT_TRUE(var.possible.test(var.min));
            ASSERT_TRUE(var.possible.test(var.max));
            ASSERT_EQ(var.possible.count(0, var.min - 1), 0);
            ASSERT_EQ(var.possible.count(var.max + 1, problem.nbSlots - 1), 0);
            ASSERT_GT(var.processedAt, var.changedAt);
        }
        // A second run finds nothing more to do.
        const std::size_t journal = space.journal_values.size();
        space.processPropagators();
        EXPECT_EQ(space.journal_values.size(), journal);
    }
}

}  // namespace
