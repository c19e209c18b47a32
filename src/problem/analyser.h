#pragma once
#include <map>
#include <string>

#include "problem/problem_data.h"
#include "xml/xml_tree.h"

// Reads the problem document into the problem (readProblem) and analyses it:
// prepared time preferences on the internal slots, resolved names,
// requirement groups, resource indexes and figures, conflict lists, and the
// statistics line. Invalid input stops the program.
void analyseProblem(ProblemData& problem, XML::Elements& root);

// Table position of a name; an unknown name stops with "Id \"%s\" not found".
int resolveName(const std::map<std::string, int>& index, const std::string& name);
