#pragma once
#include <string>
#include <vector>

// The school rules: limits a school sets on the days of one resource
// (resource rules, children of a Resource) and rules over a list of lessons
// (activity rules, under ActivityRules). Every rule is hard without a score:
// a timetable that breaks it is invalid. With a score it is soft: each unit
// of breach costs the score, and a score of 0 costs nothing. Every rule can
// be kept by leaving lessons unassigned.

enum class ResourceRuleKind {
    maxPerDay,       // at most n busy slots on every day
    minPerDay,       // at least n busy slots on every working day
    maxGaps,         // at most n gap slots in the week
    maxGapsPerDay,   // at most n gap slots on every day
    minDays,         // works on at least n days, once it works at all
    maxConsecutive,  // no run of more than n busy slots
    maxLateStarts,   // begins at its first available slot, at the second on at most n days
};
constexpr int nbResourceRuleKinds = 7;

enum class ActivityRuleKind {
    differentDays,  // any two start at least `days` days apart
    sameDay,        // all start on one day
    samePeriod,     // all start at the same period of their day
    consecutive,    // back to back, in the listed order or in any
    dailyLimit,     // at most `slots` slots of them start on one day
    lastOfDay,      // each ends its classes' day
};
constexpr int nbActivityRuleKinds = 6;

// The element name of each kind, as the problem file writes it.
const char* ruleName(ResourceRuleKind kind);
const char* ruleName(ActivityRuleKind kind);

// The least value the content of a resource rule may take.
int leastLimit(ResourceRuleKind kind);

struct ResourceRule {
    ResourceRuleKind kind = ResourceRuleKind::maxPerDay;
    int limit = 0;    // the n of the element's content
    int score = -1;   // cost of a unit of breach; negative means hard
    int line = 0;     // of the element, for messages of the analysis
    bool hard() const { return score < 0; }
};

struct ActivityRule {
    ActivityRuleKind kind = ActivityRuleKind::differentDays;
    std::vector<int> activities;  // the listed lessons, in the listed order
    int score = -1;               // cost of a unit of breach; negative means hard
    int days = 1;                 // DifferentDays: the least distance in days
    int slots = 0;                // DailyLimit: the most slots on one day
    bool ordered = true;          // Consecutive: in the listed order
    int line = 0;                 // of the element
    // Read form: the names listed and the line of each; emptied when resolved.
    std::vector<std::string> ids;
    std::vector<int> idLines;
    bool hard() const { return score < 0; }
};
