#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "problem/problem_data.h"
#include "search/solution_record.h"

// Small problems written as XML, run settings for short searches, and the
// judgement of a search's record.
namespace search_testing {

// <Resource id="..."> with optional rule elements inside.
std::string resource(const std::string& id, const std::string& inner = "");

// An activity needing the resources `required` and one member of each group;
// inner is placed after its Week (e.g. time preferences).
std::string activity(const std::string& id, int length, const std::vector<std::string>& required,
                     const std::vector<std::vector<std::string>>& groups = {}, char week = 'A',
                     const std::string& inner = "");

std::string dependence(const std::string& first, const std::string& second,
                       const std::string& op, int score = -1);

// A whole problem; every resource is listed as a teacher.
std::string problemText(int days, int slotsPerDay, const std::string& resources,
                        const std::string& activities, const std::string& dependences = "");

// A random problem of a few activities over one or two short days, using
// every rule: mixed weeks, breaks, MaxDays, Balanced, Continuous with and
// without score, soft and hard time preferences, groups, and dependences of
// every operator (the hard ones never contradict each other).
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
