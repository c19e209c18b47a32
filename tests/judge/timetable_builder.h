#pragma once
#include <string>
#include <vector>

#include "problem/problem_data.h"

// Small problems written as XML text and timetables given by names, for the
// judgement tests. Slots in placements are internal slots.
namespace judge_test {

// A problem with every resource under Teachers and no Classrooms or Classes.
std::string problemText(int days, int slotsPerDay, const std::string& resources,
                        const std::string& activities, const std::string& dependences = "");

// <Activity id=..><Length>..</Length>[<Week>..</Week>]<RequiredResources>..
// with the required resources, then one Group per entry of groups.
std::string activity(const std::string& id, int length, const std::vector<std::string>& required,
                     const std::vector<std::vector<std::string>>& groups = {},
                     const std::string& week = "", const std::string& extra = "");

std::string dependence(const std::string& first, const std::string& op,
                       const std::string& second, int score = -1);

struct Placement {
    std::string act;
    int start;  // -1 leaves the activity unassigned
    std::vector<std::string> res;
};

// Replaces the problem's timetable; unknown names become index -1.
void setTimetable(ProblemData& problem, const std::vector<Placement>& placements);

// Loads the problem text quietly and sets the timetable.
ProblemData judgedProblem(const std::string& text, const std::vector<Placement>& placements);

}  // namespace judge_test
