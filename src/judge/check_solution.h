#pragma once
#include <string>
#include <utility>
#include <vector>

#include "problem/problem_data.h"

// The definition of a valid timetable and its score: checks problem.solution
// against every hard rule (a broken one stops the program) and returns the sum
// of the penalty terms, logging the judgement report.
int checkSolution(const ProblemData& problem);

// The terms of the judgement, in the order of its report; their sum is
// the score.
struct JudgementTerms {
    int unassigned = 0;  // 1000000 per unassigned activity
    int activityPrefs = 0;
    int resourcePrefs = 0;
    int dependences = 0;
    int continuousSoft = 0;
    int continuousHard = 0;
    int balanced = 0;
    // One term per kind of school rule that the problem gives a soft rule
    // of: the kind's element name and its penalty.
    std::vector<std::pair<std::string, int>> rules;
};

// The terms with the labels of the judgement report, in its order.
inline std::vector<std::pair<std::string, int>> labelledTerms(const JudgementTerms& t) {
    std::vector<std::pair<std::string, int>> terms = {
        {"Unassigned activities", t.unassigned},
        {"Soft time preferences (activities)", t.activityPrefs},
        {"Soft time preferences (resources)", t.resourcePrefs},
        {"Broken dependences", t.dependences},
        {"Broken 'continuous' (soft)", t.continuousSoft},
        {"Broken 'continuous' (hard)", t.continuousHard},
        {"Violated 'balanced'", t.balanced}};
    for (const auto& [kind, value] : t.rules) terms.push_back({"Broken '" + kind + "'", value});
    return terms;
}

// The same judgement, also handing back its terms.
int checkSolution(const ProblemData& problem, JudgementTerms& terms);

// The same judgement of another timetable than the problem's own, logging
// nothing: for checks of a search's running score. A broken hard rule still
// stops the program with its message.
int judgeQuietly(const ProblemData& problem, const std::vector<SolutionEntry>& solution);

// Cost of one set of time preferences for a placed activity; resource is -1
// for the activity's own preferences.
int timePreferenceCost(const ProblemData& problem, int start, const TimePrefs& prefs,
                       int activity, int resource);
