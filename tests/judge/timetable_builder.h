#pragma once
#include <string>
#include <vector>

#include "problem/problem_data.h"
#include "support/problem_text.h"

// Timetables given by names for the judgement tests; slots in placements are
// internal slots.
namespace judge_test {

using namespace problem_text;

struct Placement {
    std::string act;
    int start;  // -1 leaves the activity unassigned
    std::vector<std::string> res;
};
using Timetable = std::vector<Placement>;

// Loads the problem text quietly and gives it the timetable; unknown names
// become index -1.
ProblemData judgedProblem(const std::string& text, const Timetable& timetable);

}  // namespace judge_test
