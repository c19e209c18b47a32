#pragma once
#include "base/run_settings.h"
#include "problem/problem_data.h"
#include "problem/solution_record.h"
#include "space/propagator_statistics.h"

// Seed of the random stream that orders the activities of every search.
constexpr unsigned searchSeed = 2007;

// Solve mode's search: first approach (or the initial solution), re-solves
// around unassigned and random activities, each better solution improved by
// the fast shuffle. Returns when finished, stopped or out of time; the best
// timetable and its score are left in records.best. With settings.
// initialSolution the search starts from problem.solution, whose score the
// caller has put in records.initialScore. Returns the counters of the
// space's disjoint propagators.
PropagatorStatistics runSearch(const ProblemData& problem, SolutionRecords& records,
                               const RunSettings& settings);
