// Two searches at once over one problem, each with its own space, records
// and shuffle tables: they share only the analysed problem and the run
// settings, both read-only. Built with QUORVEX_TSAN this shows that the
// searches share nothing mutable; in every build it shows that a search's
// result does not depend on another one running beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "base/run_settings.h"
#include "search/search_driver.h"
#include "search/search_fixture.h"
#include "support/problem_fixture.h"

using namespace search_testing;

namespace {

bool sameRecord(const SolutionRecord& a, const SolutionRecord& b) {
    return a.size() == b.size() && std::equal(a.start(), a.start() + a.size(), b.start());
}

TEST(ParallelSearch, TwoSearchesAtOnceGiveTheResultOfOneAlone) {
    // Budgets far beyond what these problems need: the course of each search
    // does not depend on the clock.
    QuickSearch settings(100, 4);
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("generated problem seed " + std::to_string(seed));
        ProblemData problem;
        testing_support::loadProblem(generatedProblem(seed), problem);
        const ProblemData& shared = problem;

        SolutionRecords alone;
        runSearch(shared, alone, runSettings);

        SolutionRecords first, second;
        std::thread one([&] { runSearch(shared, first, runSettings); });
        std::thread other([&] { runSearch(shared, second, runSettings); });
        one.join();
        other.join();

        for (const SolutionRecords* records : {&first, &second}) {
            EXPECT_TRUE(sameRecord(records->best, alone.best));
            EXPECT_TRUE(sameRecord(records->found, alone.found));
        }
        EXPECT_EQ(judge(problem, first.best), alone.best.score());
    }
}

}  // namespace
