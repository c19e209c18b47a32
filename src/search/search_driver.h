#pragma once
#include "problem/problem_data.h"
#include "search/solution_record.h"

// Solve mode's search: first approach (or the initial solution), re-solves
// around unassigned and random activities, each better solution improved by
// the fast shuffle. Returns when finished, stopped or out of time; the best
// timetable and its score are left in records.best.
void runSearch(const ProblemData& problem, SolutionRecords& records);
