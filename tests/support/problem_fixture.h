#pragma once
#include <string>

#include "problem/problem_data.h"
#include "xml/xml_tree.h"

// Helpers for tests that need a parsed document or an analysed problem.
namespace testing_support {

// Parses XML text into root (which must be empty).
void parseText(const std::string& text, XML::Elements& root);

// Reads and analyses a problem given as XML text.
void loadProblem(const std::string& text, ProblemData& problem);

// Reads and analyses a problem file, e.g. one of ../shared/bench.
void loadProblemFile(const std::string& path, ProblemData& problem);

// The text of a file under the source tree (e.g. "examples/school.xml").
std::string sourcePath(const std::string& relative);

// Runs the tests quietly: verbosity 0, so analysis and judgement log nothing.
void quietLogs();

}  // namespace testing_support
