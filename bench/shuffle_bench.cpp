// One whole fast shuffle run on the largest benchmark problem, from the
// timetable of the first approach (the greedy pass of the search).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_problem.h"
#include "base/files.h"
#include "base/run_settings.h"
#include "improve/fast_shuffle.h"
#include "judge/check_solution.h"
#include "problem/analyser.h"
#include "problem/solution_record.h"
#include "space/search_space.h"
#include "xml/xml_tree.h"

namespace {


// The first approach as the search driver runs it: every activity once, at
// its computed start, or unassigned when placing it fails.
bool firstApproach(SearchSpace& space) {
    for (;;) {
        space.prepareFirst();
        space.processPropagators();
        if (space.state == SpaceState::open) {
            space.processPropagators();
            const JournalMark mark = space.takeMark();
            space.commitFirst(0);
            space.processPropagators();
            if (space.state == SpaceState::failed) {
                space.goBack(mark);
                space.commitFirst(1);
            }
            continue;
        }
        return space.state == SpaceState::solved;
    }
}

// The solution as the driver stores it for the shuffle.
void storeFound(SearchSpace& space) {
    const int n = static_cast<int>(space.problem.activities.size());
    for (int i = 0; i < n; i++) space.time_sel[i] = space.used[i] ? space.time[i].min : -1;
    space.solGrsel = space.grsel;
}

int judge(ProblemData& problem, const SearchSpace& space) {
    problem.solution.clear();
    for (std::size_t a = 0; a < problem.activities.size(); a++) {
        const Activity& act = problem.activities[a];
        SolutionEntry entry;
        entry.act = static_cast<int>(a);
        entry.start = space.time_sel[a];
        if (entry.start >= 0) {
            entry.res = act.reqRes;
            for (std::size_t k = 0; k < act.reqGroups.size(); k++)
                entry.res.push_back(space.solGrsel[act.grsel + k]);
        }
        problem.solution.push_back(entry);
    }
    return checkSolution(problem);
}

void shuffleLargeFromFirstApproach(benchmark::State& state) {
    ProblemData& problem = largeBenchProblem();
    SolutionRecords records;
    allocateRecords(records, problem);
    SearchSpace space(problem, records, 2007);
    space.processPropagators();
    if (!firstApproach(space)) {
        state.SkipWithError("the first approach failed");
        return;
    }
    storeFound(space);
    const std::vector<int> starts = space.time_sel;
    const std::vector<int> chosen = space.solGrsel;
    const int firstScore = space.myScore;

    int shuffledScore = 0;
    for (auto _ : state) {
        space.time_sel = starts;
        space.solGrsel = chosen;
        space.myScore = firstScore;
        FastShuffle(space);
        shuffledScore = space.myScore;
    }
    state.counters["firstScore"] = firstScore;
    state.counters["shuffledScore"] = shuffledScore;
    state.counters["judged"] = judge(problem, space);
}
BENCHMARK(shuffleLargeFromFirstApproach)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
