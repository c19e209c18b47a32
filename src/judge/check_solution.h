#pragma once
#include "problem/problem_data.h"

// The definition of a valid timetable and its score: checks problem.solution
// against every hard rule (a broken one stops the program) and returns the sum
// of the seven penalty terms, logging the judgement report.
int checkSolution(const ProblemData& problem);

// Cost of one set of time preferences for a placed activity; resource is -1
// for the activity's own preferences.
int timePreferenceCost(const ProblemData& problem, int start, const TimePrefs& prefs,
                       int activity, int resource);
