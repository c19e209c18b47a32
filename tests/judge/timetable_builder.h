#pragma once
#include <string>
#include <vector>

#include "problem/problem_data.h"

// Small problems written as XML text and timetables given by names, for the
// judgement tests. Every resource stands under Teachers; slots in placements
// are internal slots.
namespace judge_test {

std::string problemText(int days, int slotsPerDay, const std::string& resources,
                        const std::string& activities, const std::string& dependences = "");
std::string resource(const std::string& id, const std::string& inner = "");
// An activity with its required resources, then one choice group per entry of
// groups; extra goes inside the Activity element (Week, TimePreferences).
std::string activity(const std::string& id, int length, const std::vector<std::string>& required,
                     const std::vector<std::vector<std::string>>& groups = {},
                     const std::string& extra = "");
std::string week(const char* letter);
std::string softAt(int score, const std::string& slots);
std::string hardAt(const std::string& slots);
std::string dependence(const std::string& first, const std::string& op,
                       const std::string& second, int score = -1);

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
