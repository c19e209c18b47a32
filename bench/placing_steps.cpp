// Placing against the step count: for each problem and seed, the steps and
// the seconds one search takes until every lesson is placed keeping every
// hard rule. Steps do not depend on the machine's load, so two versions of
// the placing can be compared on a busy machine; the seconds show the cost
// of a step.
//
//   placing_steps [--seeds=N] [--steps=LIMIT] PROBLEM.xml...
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_problem.h"
#include "deep/facts.h"
#include "deep/searcher.h"
#include "deep/shared_best.h"

int main(int argc, char** argv) {
    int seeds = 5;
    long long limit = 2000000;
    std::vector<std::string> problems;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--seeds=", 8) == 0) seeds = std::atoi(argv[i] + 8);
        else if (std::strncmp(argv[i], "--steps=", 8) == 0) limit = std::atoll(argv[i] + 8);
        else problems.push_back(argv[i]);
    }
    if (problems.empty() || seeds < 1) {
        std::fprintf(stderr, "usage: placing_steps [--seeds=N] [--steps=LIMIT] PROBLEM...\n");
        return 1;
    }
    std::printf("%-28s %8s  steps until every lesson is placed (seconds), per seed\n", "problem",
                "lessons");
    for (const std::string& path : problems) {
        ProblemData problem;
        loadBenchProblem(path, problem);
        const Facts facts(problem);
        std::printf("%-28s %8zu ", path.substr(path.find_last_of('/') + 1).c_str(),
                    problem.activities.size());
        std::vector<long long> all;
        for (int seed = 1; seed <= seeds; ++seed) {
            const auto start = std::chrono::steady_clock::now();
            Searcher searcher(facts, seed * 1000, nullptr);
            SharedBest best(searcher.timetable(), start);
            std::atomic<bool> stop{false};
            long long steps = 0;
            const int chunk = 100;
            while (steps < limit && best.report().allPlacedAfter < 0) {
                searcher.run(best, stop, chunk);
                steps += chunk;
            }
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (best.report().allPlacedAfter < 0) std::printf(" never(%.1fs)", seconds);
            else std::printf(" %lld(%.2fs)", steps, seconds);
            all.push_back(best.report().allPlacedAfter < 0 ? limit * 10 : steps);
            std::fflush(stdout);
        }
        std::sort(all.begin(), all.end());
        std::printf("  median %lld\n", all[all.size() / 2]);
    }
    return 0;
}
