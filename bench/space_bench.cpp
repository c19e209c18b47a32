// Building the search space over the largest benchmark problem, with and
// without its first propagation to a fixpoint.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "bench_problem.h"
#include "base/files.h"
#include "base/run_settings.h"
#include "problem/analyser.h"
#include "problem/solution_record.h"
#include "space/search_space.h"
#include "xml/xml_tree.h"

namespace {


void constructSpace(benchmark::State& state) {
    const ProblemData& problem = largeBenchProblem();
    SolutionRecords records;
    allocateRecords(records, problem);
    for (auto _ : state) {
        SearchSpace space(problem, records, 2007);
        benchmark::DoNotOptimize(space.randseed);
    }
    state.counters["activities"] = static_cast<double>(problem.activities.size());
}
BENCHMARK(constructSpace)->Unit(benchmark::kMillisecond);

void constructAndPropagate(benchmark::State& state) {
    const ProblemData& problem = largeBenchProblem();
    SolutionRecords records;
    allocateRecords(records, problem);
    for (auto _ : state) {
        SearchSpace space(problem, records, 2007);
        space.processPropagators();
        benchmark::DoNotOptimize(space.state);
    }
}
BENCHMARK(constructAndPropagate)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
