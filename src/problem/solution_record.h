#pragma once
#include <climits>
#include <vector>

#include "problem/problem_data.h"

// One stored timetable in one block of ints: a start per activity (internal
// slot, -1 unassigned), a chosen resource per group selection (-1 none) and
// the timetable's score (INT_MAX while the record holds none).
class SolutionRecord {
public:
    static constexpr int noScore = INT_MAX;

    void allocate(const ProblemData& problem);
    bool allocated() const { return !block.empty(); }
    // Ints in the block: activities + group selections + the score.
    std::size_t size() const { return block.size(); }

    int* start() { return block.data(); }
    const int* start() const { return block.data(); }
    int* grsel() { return block.data() + nbActivities; }
    const int* grsel() const { return block.data() + nbActivities; }
    int& score() { return block.back(); }
    int score() const { return block.back(); }

private:
    friend void copyRecord(SolutionRecord& destination, const SolutionRecord& source);
    int nbActivities = 0;
    std::vector<int> block;
};

// Copies the whole block, unset entries and score included.
void copyRecord(SolutionRecord& destination, const SolutionRecord& source);

// The records that carry the results of one search.
struct SolutionRecords {
    SolutionRecord found;       // best timetable as found by the search; its score bounds the search
    SolutionRecord best;        // best timetable after the fast shuffle
    SolutionRecord suggestion;  // copy of best taken before each re-solve: starts and resources tried first
    bool narrowChoices = false; // set before each re-solve: fewer alternatives per decision
    int initialScore = 0;       // judgement of the timetable read with -i, where the search starts
};

// Gives each of the three records a block of activities + nbGrsel + 1 ints
// with no score.
void allocateRecords(SolutionRecords& records, const ProblemData& problem);
