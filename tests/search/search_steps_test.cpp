// The steps of the search driver on a built space: the reordering of waiting,
// storing a solution into a record, seeding from an initial solution, and the
// time limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "driver/run_settings.h"
#include "search/search_fixture.h"
#include "search/search_run.h"
#include "search/time_limit.h"
#include "support/problem_fixture.h"

using namespace search_testing;

namespace {

struct Built {
    ProblemData problem;
    SolutionRecords records;
    std::unique_ptr<SearchSpace> space;

    explicit Built(const std::string& text) {
        testing_support::quietLogs();
        testing_support::loadProblem(text, problem);
        allocateRecords(records, problem);
        std::srand(2007);
        space = std::make_unique<SearchSpace>(problem, records);
    }
};

// T is shared by A0, A2 and A4; A5 needs only a room; U by A1 and A3.
std::string sharedTeachers() {
    return problemText(2, 4, resource("T") + resource("U") + resource("R1") + resource("R2"),
                       activity("A0", 1, {"T"}) + activity("A1", 1, {"U"}) +
                           activity("A2", 1, {"T"}, {{"R1", "R2"}}) + activity("A3", 2, {"U"}) +
                           activity("A4", 1, {"T"}) + activity("A5", 1, {}, {{"R1", "R2"}}));
}

TEST(FocusActivity, PutsTheActivityFirstAndItsFriendsNext) {
    Built built(sharedTeachers());
    for (int a : {0, 2, 4}) {
        SCOPED_TRACE("activity " + std::to_string(a));
        std::vector<int>& waiting = built.space->waiting;
        std::vector<int> before = waiting;
        focusActivity(*built.space, a, built.problem.activities[a].conflicts);
        EXPECT_EQ(waiting[0], a);
        std::vector<int> friends(waiting.begin() + 1, waiting.begin() + 3);
        std::sort(friends.begin(), friends.end());
        std::vector<int> expected;
        for (int other : {0, 2, 4})
            if (other != a) expected.push_back(other);
        EXPECT_EQ(friends, expected);
        std::sort(before.begin(), before.end());
        std::vector<int> after = waiting;
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, before);
    }
}

TEST(FocusActivity, ActivityWithoutDirectResourcesLeavesWaitingAsItIs) {
    Built built(sharedTeachers());
    ASSERT_TRUE(built.problem.activities[5].conflicts.empty());
    const std::vector<int> before = built.space->waiting;
    focusActivity(*built.space, 5, built.problem.activities[5].conflicts);
    EXPECT_EQ(built.space->waiting, before);
}

TEST(StoreSolution, CopiesOnlyABetterSolutionAndFreesGroupsOfUnassigned) {
    Built built(sharedTeachers());
    SearchSpace& space = *built.space;
    const ProblemData& problem = built.problem;
    ASSERT_EQ(problem.nbGrsel, 2);
    space.time_sel = {0, 1, -1, 2, 3, 4};
    space.solGrsel = {2, 3};  // A2's selection is stale: it is unassigned
    space.myScore = 1000000;

    SolutionRecord record;
    record.allocate(problem);
    storeSolution(space, record);
    EXPECT_EQ(record.score(), 1000000);
    EXPECT_EQ(std::vector<int>(record.start(), record.start() + 6), space.time_sel);
    EXPECT_EQ(record.grsel()[problem.activities[2].grsel], -1);
    EXPECT_EQ(record.grsel()[problem.activities[5].grsel], 3);

    space.time_sel[0] = 5;  // an equal score is no improvement
    storeSolution(space, record);
    EXPECT_EQ(record.start()[0], 0);
}

TEST(SeedFromSolution, RecordsGroupChoicesAndTheJudgedScore) {
    // A takes one of R1/R2 and one of R3/R4; the solution lists them in any order.
    Built built(problemText(1, 4,
                            resource("T") + resource("R1") + resource("R2") + resource("R3") +
                                resource("R4"),
                            activity("A", 1, {"T"}, {{"R1", "R2"}, {"R3", "R4"}}) +
                                activity("B", 1, {}, {{"R1", "R2"}})));
    ProblemData& problem = built.problem;
    const int t = 0, r2 = 2, r4 = 4;
    problem.solution = {SolutionEntry{"", 0, 1, {}, {r4, t, r2}}, SolutionEntry{"", 1, -1, {}, {}}};
    const int savedScore = initialScore;
    initialScore = 1000000;
    SearchRun run(problem, built.records, *built.space);
    run.seedFromSolution();
    initialScore = savedScore;

    const SolutionRecord& found = built.records.found;
    EXPECT_EQ(found.score(), 1000000);
    EXPECT_EQ(found.start()[0], 1);
    EXPECT_EQ(found.start()[1], -1);
    const int a = problem.activities[0].grsel, b = problem.activities[1].grsel;
    EXPECT_EQ(found.grsel()[a], r2);
    EXPECT_EQ(found.grsel()[a + 1], r4);
    EXPECT_EQ(found.grsel()[b], -1);
    const SolutionRecord& best = built.records.best;
    EXPECT_EQ(std::vector<int>(best.start(), best.start() + 2 + 3),
              std::vector<int>(found.start(), found.start() + 2 + 3));
    EXPECT_EQ(best.score(), found.score());
}

TEST(TimeLimit, CountsWholeSecondsFromTheSearchStart) {
    QuickSearch settings;
    const long long savedStart = searchStart;
    searchStart = currentSeconds();
    runSettings.timeLimit = -1;
    EXPECT_FALSE(timeLimitReached());
    runSettings.timeLimit = 0;
    {
        LogCapture log(10);
        EXPECT_TRUE(timeLimitReached());
        EXPECT_EQ(log.text(), "Time limit exceeded, ending...\n");
    }
    searchStart = currentSeconds() + 3600;
    EXPECT_FALSE(timeLimitReached());
    runSettings.timeLimit = 2147483647;  // no overflow past the end of the clock
    searchStart = currentSeconds();
    EXPECT_FALSE(timeLimitReached());
    searchStart = savedStart;
}

}  // namespace
