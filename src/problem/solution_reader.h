#pragma once
#include "problem/problem_data.h"
#include "xml/xml_tree.h"

// Replaces problem.solution by the timetable of the document (starts
// converted to internal slots). Invalid input stops the program.
void readSolution(ProblemData& problem, XML::Elements& root);
