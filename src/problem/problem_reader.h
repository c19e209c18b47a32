#pragma once
#include "problem/problem_data.h"
#include "xml/xml_tree.h"

// Reads the problem document into the read form of the problem (first step of
// analyseProblem).
void readProblem(ProblemData& problem, XML::Elements& root);
