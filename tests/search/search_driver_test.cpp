// Whole searches on small problems: every record the search leaves must be a
// valid timetable that the judgement scores exactly as the search did.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "base/run_settings.h"
#include "judge/check_solution.h"
#include "search/search_driver.h"
#include "search/search_fixture.h"
#include "space/search_space.h"
#include "support/problem_fixture.h"

using namespace search_testing;
using namespace space_testing;

namespace {

struct Searched {
    ProblemData problem;
    SolutionRecords records;

    // A problem given as XML text, or read from the file of that name.
    explicit Searched(const std::string& text, bool isFile = false) {
        testing_support::quietLogs();
        if (isFile)
            testing_support::loadProblemFile(text, problem);
        else
            testing_support::loadProblem(text, problem);
    }
    void search() {
        runSearch(problem, records, runSettings);
    }
};

// One teacher, two days of three slots, rooms R1 (costing 3 at every slot) and R2.
std::string easyProblem() {
    std::string activities;
    for (int i = 0; i < 4; ++i)
        activities += activity("A" + std::to_string(i), 1, {"T"}, {{"R1", "R2"}});
    return problemText(2, 3,
                       resource("T") + resource("R1", "<TimePreferences><Soft score=\"3\">0#5"
                                                      "</Soft></TimePreferences>") +
                           resource("R2"),
                       activities);
}

// One teacher, two days of three slots, nothing to choose: any greedy
// timetable is perfect.
std::string perfectProblem() {
    std::string activities;
    for (int i = 0; i < 4; ++i) activities += activity("A" + std::to_string(i), 1, {"T"});
    return problemText(2, 3, resource("T"), activities);
}

// One teacher with three slots for five activities: two stay unassigned.
std::string overfullProblem() {
    std::string activities;
    for (int i = 0; i < 5; ++i)
        activities += activity("A" + std::to_string(i), 1, {"T"}, {{"R1", "R2"}});
    return problemText(1, 3, resource("T") + resource("R1") + resource("R2"), activities);
}

void expectJudgedAsSearched(Searched& run) {
    const SolutionRecords& records = run.records;
    ASSERT_LT(records.best.score(), SolutionRecord::noScore);
    EXPECT_LE(records.best.score(), records.found.score());
    EXPECT_EQ(judge(run.problem, records.best), records.best.score());
    EXPECT_EQ(judge(run.problem, records.found), records.found.score());
}

TEST(RunSearch, SolvesAnEasyProblemWithoutPenalty) {
    QuickSearch settings;
    Searched run(easyProblem());
    run.search();
    EXPECT_EQ(run.records.best.score(), 0);
    EXPECT_EQ(unassignedCount(run.problem, run.records.best), 0);
    expectJudgedAsSearched(run);
}

TEST(RunSearch, LeavesWhatDoesNotFitUnassignedWithoutResources) {
    QuickSearch settings;
    Searched run(overfullProblem());
    run.search();
    EXPECT_EQ(run.records.best.score(), 2 * unassignedCost);
    EXPECT_EQ(unassignedCount(run.problem, run.records.best), 2);
    for (int a = 0; a < 5; ++a) {
        if (run.records.best.start()[a] < 0) {
            EXPECT_EQ(run.records.best.grsel()[run.problem.activities[a].grsel], -1);
        }
    }
    expectJudgedAsSearched(run);
}

TEST(RunSearch, GeneratedProblemsAreJudgedAsSearched) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("generated problem seed " + std::to_string(seed));
        QuickSearch settings(1, 4);
        Searched run(generatedProblem(seed));
        run.search();
        expectJudgedAsSearched(run);
        if (HasFailure()) {
            std::printf("%s", generatedProblem(seed).c_str());
            break;
        }
    }
}

TEST(RunSearch, BenchmarkSchoolIsJudgedAsSearched) {
    QUORVEX_BENCH_PATH_OR_SKIP(path, "small-1");
    QuickSearch settings(1, 1, 0);  // first approach and one re-solve at most
    Searched run(path, true);
    run.search();
    expectJudgedAsSearched(run);
}

bool sameTimetable(const ProblemData& problem, const SolutionRecord& a, const SolutionRecord& b) {
    const int n = static_cast<int>(problem.activities.size());
    return std::equal(a.start(), a.start() + n + problem.nbGrsel, b.start());
}

TEST(RunSearch, InitialSolutionIsNeverMadeWorse) {
    std::vector<std::string> problems = {overfullProblem(), easyProblem()};
    for (unsigned seed = 1; seed <= 10; ++seed) problems.push_back(generatedProblem(seed));
    for (const std::string& text : problems) {
        QuickSearch settings(1, 2);
        Searched first(text);
        first.search();

        // Seeded once with nothing assigned and once with the search's own result.
        SolutionRecord empty;
        empty.allocate(first.problem);
        for (const SolutionRecord* seed : {&empty, &first.records.best}) {
            Searched run(text);
            run.problem.solution = solutionOf(run.problem, *seed);
            const int initialScore = checkSolution(run.problem);
            run.records.initialScore = initialScore;
            runSettings.initialSolution = true;
            run.search();
            EXPECT_LE(run.records.best.score(), initialScore);
            EXPECT_LE(run.records.found.score(), initialScore);
            expectJudgedAsSearched(run);
            // A perfect initial timetable leaves nothing to search.
            if (initialScore == 0) {
                EXPECT_TRUE(sameTimetable(run.problem, run.records.best, *seed));
            }
        }
    }
}

// The re-solves of a search, counted in its log.
int resolves(const std::string& log) { return countOf(log, "Trying with activity"); }

TEST(RunSearchStops, PresetStopRequestEndsAfterFirstApproachAndOneResolve) {
    QuickSearch settings(1, 25);
    Searched run(overfullProblem());
    LogCapture log(10);
    runSettings.stopRequested = 1;
    run.search();
    const std::string text = log.text();
    EXPECT_EQ(countOf(text, "First approach\n"), 1);
    EXPECT_LE(resolves(text), 1);
    // No random step follows the request.
    const std::string end = "Trying to change random activities\nBest score: " +
                            std::to_string(run.records.best.score()) + "\n";
    EXPECT_NE(text.find(end), std::string::npos) << text;
    expectJudgedAsSearched(run);
}

// The log ends with the score of the timetable that is written: the fast
// shuffle's improvement, not the last branch-and-bound solution before it.
TEST(RunSearch, BestScoreLoggedIsTheScoreOfTheWrittenTimetable) {
    QuickSearch settings(1, 3, 0);
    int improvedByShuffle = 0;
    for (unsigned seed = 0; seed < 40 && improvedByShuffle < 3; ++seed) {
        Searched run(generatedProblem(seed));
        LogCapture log(10);
        run.search();
        if (run.records.best.score() < run.records.found.score()) ++improvedByShuffle;
        const std::string text = log.text();
        EXPECT_NE(text.find("\nBest score: " + std::to_string(run.records.best.score()) + "\n"),
                  std::string::npos)
            << "seed " << seed << "\n"
            << text;
    }
    EXPECT_GT(improvedByShuffle, 0) << "no problem where the fast shuffle improved the search";
}

TEST(RunSearchStops, TimeLimitZeroAllowsOneResolveAtMost) {
    QuickSearch settings(1, 25, 0);
    Searched run(overfullProblem());
    LogCapture log(10);
    run.search();
    const std::string text = log.text();
    EXPECT_LE(resolves(text), 1);
    EXPECT_NE(text.find("Time limit exceeded, ending...\n"), std::string::npos);
    expectJudgedAsSearched(run);
}

TEST(RunSearchStops, PerfectFirstApproachSkipsEveryResolve) {
    QuickSearch settings(1, 25);
    Searched run(perfectProblem());
    LogCapture log(10);
    run.search();
    const std::string text = log.text();
    EXPECT_EQ(resolves(text), 0);
    EXPECT_NE(text.find("Best score: 0\n"), std::string::npos) << text;
}

TEST(RunSearchStops, WithoutImprovementTheRandomPhaseMakesStepsUnchangedResolves) {
    QuickSearch settings(1, 7);
    Searched run(overfullProblem());
    LogCapture log(10);
    run.search();
    const std::string text = log.text();
    const std::size_t randomPhase = text.find("Trying to change random activities\n");
    ASSERT_NE(randomPhase, std::string::npos);
    // Propagation keeps room for the unassigned activities too, so no re-solve
    // places a second activity beside the first approach's one: no step improves.
    EXPECT_EQ(resolves(text.substr(randomPhase)), 7);
}

// Two activities that can never both be placed make propagation fail before
// any decision. Leaving one unassigned is still a valid timetable, and the
// search must find it instead of giving up.
TEST(RunSearch, ActivitiesThatCanNeverBothBePlacedLeaveOneUnassigned) {
    QuickSearch settings;
    // One day of four slots: A and B (three slots each) share the teacher.
    Searched overlap(problemText(1, 4, resource("T") + resource("U"),
                                 activity("A", 3, {"T"}) + activity("B", 3, {"T"}) +
                                     activity("C", 1, {"U"})));
    overlap.search();
    EXPECT_EQ(overlap.records.best.score(), unassignedCost);
    expectJudgedAsSearched(overlap);

    Searched cycle(problemText(1, 4, resource("T") + resource("U"),
                               activity("A", 1, {"T"}) + activity("B", 1, {"U"}),
                               dependence("A", "B", "Before") + dependence("B", "A", "Before")));
    cycle.search();
    EXPECT_EQ(cycle.records.best.score(), unassignedCost);
    expectJudgedAsSearched(cycle);
}

}  // namespace
