#include "problem/solution_record.h"

void SolutionRecord::allocate(const ProblemData& problem) {
    nbActivities = static_cast<int>(problem.activities.size());
    block.assign(nbActivities + problem.nbGrsel + 1, -1);
    score() = noScore;
}

void copyRecord(SolutionRecord& destination, const SolutionRecord& source) {
    destination.nbActivities = source.nbActivities;
    destination.block = source.block;
}

void allocateRecords(SolutionRecords& records, const ProblemData& problem) {
    records.found.allocate(problem);
    records.best.allocate(problem);
    records.suggestion.allocate(problem);
}
