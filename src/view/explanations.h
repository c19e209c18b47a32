#pragma once
#include <string>
#include <vector>

#include "view/timetable_layout.h"

// The sentences quorvex-view prints for people: a broken hard rule, a soft
// penalty and what a lesson needs, with lessons and resources by name and
// every place as day, period and the file's slot number.
namespace View {

// "Day 1, periods 2-3 (slots 1-2); Day 2, period 1 (slot 6)" for internal slots.
std::string whereSlots(const TimetableLayout& layout, const std::vector<int>& slots);

// "C1A, T_Dahl and one of R_1, R_2 or R_3".
std::string needsText(const ProblemData& problem, int activity);

std::string describe(const TimetableLayout& layout, const BrokenRule& rule);

// What a dependence asks, in the order the analysis keeps it: "A must end
// before B starts", "... on the same day", "B must lie within A".
std::string dependenceRule(const ProblemData& problem, int dependence);

// "A at Day 1, period 2 (slot 1): 6 = own preferences 2 (slot 1: 2) + T_Dahl 4 (slot 1: 4)".
std::string describePreferences(const TimetableLayout& layout, const Placement& placement);
// "Soft dependence 2 broken, weight 5: A must end before B starts (A at ..., B at ...)".
std::string describeSoftDependence(const TimetableLayout& layout, int dependence);
std::string describe(const TimetableLayout& layout, const ResourcePenalty& penalty);

// A school rule broken, in words: "T has 7 busy slots on Day 2 in each week,
// more than its MaxPerDay of 6"; "SameDay rule 3 broken: A at ... and B at
// ... are on different days". Its penalty when it is soft: "'MaxPerDay' of
// T: 20 = 2 x 10 (...)", the units times the score.
std::string describe(const TimetableLayout& layout, const RuleBreach& breach);
std::string describePenalty(const TimetableLayout& layout, const RuleBreach& breach);

// The penalties worth a line in the grid of one resource: its lessons'
// preferences, the soft dependences they break, the resource's own
// 'continuous' and 'balanced' charges, and the soft school rules of the
// resource or of its lessons; resource -1 gives every penalty of the
// timetable once.
std::vector<std::string> penaltyNotes(const TimetableLayout& layout, int resource);
// The broken hard rules that concern a resource; -1 gives all.
std::vector<std::string> ruleNotes(const TimetableLayout& layout, int resource);

// The legend of the week letters.
extern const char* const weekLegend;

}  // namespace View
