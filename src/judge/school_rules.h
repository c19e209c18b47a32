#pragma once
#include <string>
#include <vector>

#include "problem/problem_data.h"

// The judgement of the school rules: every breach of every rule in a
// timetable, counted plainly from the starts of the lessons. This count is
// the definition; the deep search's running count is tested against it.
//
// Terms, for resource r in week w: a slot is busy when a placed lesson of
// that week that requires r directly covers it; the free slots after a
// lesson that r's Break asks for are break slots, not busy; a slot is
// unavailable when r's own time preferences forbid it. A working day has a
// busy slot. Rules that count busy slots count each week on their own;
// MinDays and the rules on starts count once.

// The rules in one list: the resource rules, then the activity rules, in the
// order of their kinds. A term of the score and a line of the report each.
constexpr int nbRuleKinds = nbResourceRuleKinds + nbActivityRuleKinds;
inline int ruleKindIndex(ResourceRuleKind kind) { return static_cast<int>(kind); }
inline int ruleKindIndex(ActivityRuleKind kind) {
    return nbResourceRuleKinds + static_cast<int>(kind);
}
const char* ruleKindName(int kindIndex);

struct RuleBreach {
    int kind = 0;        // ruleKindIndex
    bool hard = false;
    long long units = 0;  // units of breach
    long long cost = 0;   // units x score; 0 for a hard rule
    int resource = -1;    // the resource of a resource rule
    int rule = -1;        // the index of an activity rule
    int day = -1;         // the day concerned, -1 for the whole week
    std::vector<int> activities;  // the lessons concerned, when the rule names them
    std::string text;     // "Broken MaxPerDay rule {res 3 [T], day 2: ...}"
};

// Every breach, hard and soft, of the timetable given by the start of each
// activity (-1 unassigned; the other hard rules already hold). Breaches of
// every-week lessons alike in both weeks are one breach with the units of
// both; otherwise the text names the week.
std::vector<RuleBreach> schoolRuleBreaches(const ProblemData& problem,
                                           const std::vector<int>& startOf);
