// The whole deep search: reproducible for a seed, several searches on
// threads at once (run under ThreadSanitizer too), the initial timetable of
// -i never beaten by a worse one, and the stop request.
#include <gtest/gtest.h>

#include <atomic>

#include "deep/deep_search.h"
#include "deep/searcher.h"
#include "deep_fixture.h"
#include "judge/check_solution.h"
#include "support/random_problem.h"

using deep_testing::Loaded;
using deep_testing::saved;

namespace {

// The judgement of a record's timetable.
int judgeRecord(ProblemData& problem, const SolutionRecord& record) {
    problem.solution.clear();
    for (std::size_t a = 0; a < problem.activities.size(); ++a) {
        const Activity& act = problem.activities[a];
        SolutionEntry entry;
        entry.act = static_cast<int>(a);
        entry.start = record.start()[a];
        if (entry.start >= 0) {
            for (std::size_t k = 0; k < act.reqGroups.size(); ++k)
                entry.res.push_back(record.grsel()[act.grsel + k]);
            entry.res.insert(entry.res.end(), act.reqRes.begin(), act.reqRes.end());
        }
        problem.solution.push_back(entry);
    }
    return checkSolution(problem);
}

// Every second problem has school rules too.
testing_support::ProblemShape shapeOf(unsigned seed) {
    testing_support::ProblemShape shape;
    shape.schoolRules = seed % 2 == 0;
    return shape;
}

DeepOptions stepsOnly(int threads, long long steps) {
    DeepOptions options;
    options.threads = threads;
    options.stepLimit = steps;
    return options;
}

}  // namespace

TEST(DeepSearch, ASearchWithAStepLimitRepeatsExactlyForItsSeed) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        Loaded loaded(testing_support::randomProblem(seed, shapeOf(seed)));
        std::atomic<bool> stop{false};
        Searcher first(loaded.facts, 42, nullptr), second(loaded.facts, 42, nullptr);
        SharedBest bestOfFirst(first.timetable(), SharedBest::Clock::now());
        SharedBest bestOfSecond(second.timetable(), SharedBest::Clock::now());
        first.run(bestOfFirst, stop, 3000);
        second.run(bestOfSecond, stop, 3000);
        EXPECT_EQ(saved(first.timetable()), saved(second.timetable())) << "seed " << seed;
    }
}

TEST(DeepSearch, SearchesOnSeveralThreadsReportAJudgedBestTimetable) {
    std::atomic<int> noStop{0};
    for (unsigned seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE("problem seed " + std::to_string(seed));
        Loaded loaded(testing_support::randomProblem(seed, shapeOf(seed)));
        SolutionRecords records;
        runDeepSearch(loaded.problem, stepsOnly(3, 5000), noStop, records);
        EXPECT_EQ(records.found.score(), judgeRecord(loaded.problem, records.found));
        EXPECT_EQ(records.best.score(), records.found.score());

        // One thread alone, with the same first seed, is never better than
        // three whose first search is the same.
        SolutionRecords alone;
        runDeepSearch(loaded.problem, stepsOnly(1, 5000), noStop, alone);
        EXPECT_LE(records.found.score(), alone.found.score());
    }
}

TEST(DeepSearch, NeverReportsATimetableWorseThanTheInitialOne) {
    std::atomic<int> noStop{0};
    for (unsigned seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE("problem seed " + std::to_string(seed));
        Loaded loaded(testing_support::randomProblem(seed, shapeOf(seed)));
        // An initial timetable: a short search's best.
        SolutionRecords start;
        runDeepSearch(loaded.problem, stepsOnly(1, 30), noStop, start);
        const int initialScore = judgeRecord(loaded.problem, start.found);

        DeepOptions options = stepsOnly(2, 2000);
        options.fromSolution = true;
        SolutionRecords records;
        records.initialScore = initialScore;
        runDeepSearch(loaded.problem, options, noStop, records);
        EXPECT_LE(records.found.score(), initialScore);
        EXPECT_EQ(records.found.score(), judgeRecord(loaded.problem, records.found));
    }
}

TEST(DeepSearch, AStopRequestEndsTheSearchWithTheBestSoFar) {
    std::atomic<int> stop{1};
    Loaded loaded(testing_support::randomProblem(7));
    DeepOptions options;
    options.threads = 2;  // no step limit: only the stop request ends it
    SolutionRecords records;
    runDeepSearch(loaded.problem, options, stop, records);
    EXPECT_EQ(records.found.score(), judgeRecord(loaded.problem, records.found));
}
