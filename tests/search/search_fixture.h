#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "problem/problem_data.h"
#include "problem/solution_record.h"
#include "space/space_fixture.h"

// Random problems, run settings for short searches, and the judgement of a
// search's record. Problems are written with the helpers of space_fixture.h.
namespace search_testing {

// A random problem of a few activities over one or two short days, using
// every rule (see ProblemShape), whose hard dependences never contradict
// each other before the first decision.
std::string generatedProblem(unsigned seed);

// Sets the run settings of a quick, quiet search and restores the previous
// ones (and clears stopRequested) when it goes out of scope.
class QuickSearch {
public:
    QuickSearch(int stopAfter = 1, int stepsUnchanged = 3, int timeLimit = -1);
    ~QuickSearch();

private:
    int verbosity, stopAfter, stepsUnchanged, timeLimit;
    bool showScores, initialSolution;
};

// The timetable of a record as the writer and reader would carry it: for
// every activity its start and, when assigned, its group selections followed
// by its directly required resources.
std::vector<SolutionEntry> solutionOf(const ProblemData& problem, const SolutionRecord& record);

// The judgement's score of the record's timetable (a broken hard rule stops
// the test program).
int judge(ProblemData& problem, const SolutionRecord& record);

int unassignedCount(const ProblemData& problem, const SolutionRecord& record);

// Sends the log to a temporary file at the given verbosity while it lives.
class LogCapture {
public:
    explicit LogCapture(int verbosity);
    ~LogCapture();
    std::string text() const;  // everything logged so far

private:
    std::FILE* file;
    std::FILE* previous;
    int previousVerbosity;
};

// Number of occurrences of piece in text.
int countOf(const std::string& text, const std::string& piece);

}  // namespace search_testing
