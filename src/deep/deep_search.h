#pragma once
#include <atomic>
#include <cstdint>

#include "problem/problem_data.h"
#include "problem/solution_record.h"

// How one deep search runs.
struct DeepOptions {
    int threads = 1;            // searches side by side, each with its own seed
    int timeLimit = -1;         // seconds; negative for none
    bool showScores = false;    // print the score of each better timetable
    bool fromSolution = false;  // start from the problem's solution (judged into records.initialScore)
    std::uint64_t seed = 1;     // seed of the first search; the others follow it
    long long stepLimit = -1;   // each search ends after this many steps (tests); negative for none
    // Without a time limit the search ends after this long without a better
    // timetable.
    double idleSeconds = 60;
};

// Searches for a timetable by conflict-directed placing and late-acceptance
// polishing, on several threads, until the time limit, a stop request, a
// timetable of score 0, or a stretch without a better timetable. Leaves the
// best timetable found in records.found and records.best (allocated here).
// With fromSolution the initial timetable is the one to beat, and no worse
// one is ever reported.
void runDeepSearch(const ProblemData& problem, const DeepOptions& options,
                   const std::atomic<int>& stopRequested, SolutionRecords& records);
