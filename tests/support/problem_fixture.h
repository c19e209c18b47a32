#pragma once
#include <gtest/gtest.h>

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

// Path of a benchmark problem kept beside the source tree
// ("../shared/bench/NAME.xml"), or empty when a checkout has none.
std::string benchProblemPath(const std::string& name);

// The text of a file under the source tree (e.g. "examples/school.xml").
std::string sourcePath(const std::string& relative);

// Runs the tests quietly: verbosity 0, so analysis and judgement log nothing.
void quietLogs();

}  // namespace testing_support

// Skips the running test when the benchmark problem is not there.
#define QUORVEX_BENCH_PATH_OR_SKIP(variable, name)                       \
    const std::string variable = testing_support::benchProblemPath(name); \
    if (variable.empty()) GTEST_SKIP() << "no benchmark problem " << (name)
