#pragma once
#include <string>
#include <vector>

#include "judge/check_solution.h"
#include "problem/problem_data.h"
#include "view/resource_kinds.h"

// A problem and its timetable, read and judged as quorvex's calculate mode
// does: the same readers, the same framed errors, exit status 1 on invalid
// input. Only a timetable the judgement accepts is ever rendered.
namespace View {

struct CheckedTimetable {
    std::string problemFile;
    std::string solutionFile;
    ProblemData problem;
    std::vector<ResourceKind> kinds;  // per resource
    JudgementTerms terms;
    int score = 0;
};

// Reads both files ("-" is standard input) into checked; does not return on
// invalid input.
void readCheckedTimetable(const std::string& problemFile, const std::string& solutionFile,
                          CheckedTimetable& checked);

}  // namespace View
