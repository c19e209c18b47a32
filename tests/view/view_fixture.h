#pragma once
#include <string>
#include <vector>

#include "view/checked_timetable.h"

// Problems written in the test, read and judged as quorvex-view reads files.
namespace view_testing {

// A problem document: days x slots, the inner XML of Resources, Activities
// and Dependences.
std::string problemText(int days, int slots, const std::string& resources,
                        const std::string& activities, const std::string& dependences = "");

// One activity; groups hold resource names; week is "", "E" or "O".
std::string activityText(const std::string& id, int length, const std::vector<std::string>& needs,
                         const std::vector<std::vector<std::string>>& groups = {},
                         const std::string& week = "", const std::string& hard = "");

// One solution entry: start in file slots, -1 for unassigned.
struct Entry {
    std::string id;
    int start;
    std::vector<std::string> resources;
};
std::string solutionText(const std::vector<Entry>& entries);

void loadChecked(const std::string& problem, const std::string& solution,
                 View::CheckedTimetable& checked);

}  // namespace view_testing
