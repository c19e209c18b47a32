#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include "bench_problem.h"
#include "deep/facts.h"
#include "deep/searcher.h"
#include "deep/shared_best.h"
int main(int argc, char** argv) {
    ProblemData problem; loadBenchProblem(argv[1], problem);
    const Facts facts(problem);
    Searcher s(facts, argc > 2 ? atoi(argv[2]) : 1, nullptr);
    SharedBest best(s.timetable(), std::chrono::steady_clock::now());
    std::atomic<bool> stop{false};
    for (int k = 0; k < 40; ++k) {
        s.run(best, stop, 5000);
        const Timetable& t = s.timetable();
        printf("%d: unassigned %d hard %lld best %lld:", (k+1)*5000, t.unassignedCount(), t.hardBreaches(), best.score());
        for (int a : t.unassigned()) printf(" %s", problem.activityName(a));
        printf("\n");
        if (best.report().allPlacedAfter >= 0) break;
    }
}
