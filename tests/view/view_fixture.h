#pragma once
#include <string>
#include <vector>

#include "support/problem_text.h"
#include "view/checked_timetable.h"

// Problems written in the test, read and judged as quorvex-view reads files.
namespace view_testing {

using namespace problem_text;

// One solution entry: start in file slots, -1 for unassigned.
struct Entry {
    std::string id;
    int start;
    std::vector<std::string> resources;
};
std::string solutionText(const std::vector<Entry>& entries);

void loadChecked(const std::string& problem, const std::string& solution,
                 View::CheckedTimetable& checked);

// The text of a file under the source tree, e.g. "examples/school.xml".
std::string sourceText(const std::string& relative);

}  // namespace view_testing
