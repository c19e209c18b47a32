#pragma once
#include <vector>

#include "problem/problem_data.h"

// The hard rules of a timetable written plainly, slot by slot, without any
// of the program's own tables: the judge that the tests hold the search, the
// fast shuffle and the judgement itself against.
namespace testing_support {

// A timetable: a start per activity (-1 unassigned) and, per activity, the
// chosen member of each of its groups in order (ignored while unassigned).
struct PlainTimetable {
    std::vector<int> start;
    std::vector<std::vector<int>> members;
};

// Whether the placed activities keep every hard rule: each lies within one
// day and off its own and its resources' unavailable slots (a group member's
// too); no resource, direct or chosen, is held twice in a week at a slot,
// where an activity holds its resources for its slots and the break after
// them, cut at the end of the day; no resource is used on more days than its
// MaxDays; every hard dependence between two placed activities holds.
bool keepsHardRules(const ProblemData& problem, const PlainTimetable& timetable);

// Every choice of one member per group of activity a, in lexicographic order.
std::vector<std::vector<int>> memberChoices(const ProblemData& problem, int a);

}  // namespace testing_support
