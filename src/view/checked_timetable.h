#pragma once
#include <string>
#include <vector>

#include "judge/check_solution.h"
#include "problem/problem_data.h"
#include "view/resource_kinds.h"

// A problem and its timetable, read as quorvex's calculate mode reads them:
// the same readers, the same framed errors, exit status 1 on invalid input.
// A timetable that keeps every hard rule is judged and scored; one that
// breaks some is still read, to be shown with its broken rules, but has no
// score (the judgement refuses it).
namespace View {

struct CheckedTimetable {
    std::string problemFile;
    std::string solutionFile;
    ProblemData problem;
    std::vector<ResourceKind> kinds;  // per resource
    bool judged = false;              // the judgement accepted the timetable; terms and score hold
    JudgementTerms terms;
    int score = 0;
};

// Reads both files ("-" is standard input) into checked and judges the
// timetable when it breaks no hard rule; does not return on invalid input.
void readCheckedTimetable(const std::string& problemFile, const std::string& solutionFile,
                          CheckedTimetable& checked);

// The judgement of checked.problem's timetable, unless it breaks a hard rule
// (then judged stays false and nothing is logged or ended).
void judgeWhenValid(CheckedTimetable& checked);

}  // namespace View
