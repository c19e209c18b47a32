#pragma once
#include "problem/problem_data.h"

// Checks the resource rules against the analysed resources (none on a
// member of a group, MinDays within the week) and resolves the lessons of
// the activity rules, each of which then lists its rules. Invalid input
// stops with the line of the rule or of the lesson named.
void analyseSchoolRules(ProblemData& problem);
