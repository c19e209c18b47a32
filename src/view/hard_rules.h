#pragma once
#include <vector>

#include "judge/school_rules.h"
#include "problem/problem_data.h"

// Every hard rule a timetable breaks. The judgement stops at the first one;
// a school that has changed a teacher's free day or closed a room needs to
// see all of them, on the timetable it still has. The rules and the order in
// which they are looked for are the judgement's, so the first rule found here
// is the one quorvex -c reports.
namespace View {

enum class Rule {
    outsideGrid,          // the start lies beyond the last slot of the week
    crossesDayEnd,        // the lesson runs past the end of its day
    lessonUnavailable,    // placed on a slot the lesson itself may not use
    wrongResourceCount,   // more or fewer resources than it needs
    wrongResource,        // a resource it does not need
    twoFromGroup,         // two members of one of its groups
    resourceTwice,        // two lessons hold one resource at once (or one lesson lists it twice)
    noBreak,              // the resource's break after one lesson runs into the other
    resourceUnavailable,  // placed on a slot a used resource may not work
    tooManyDays,          // a resource works on more days than its MaxDays
    dependence,           // a hard dependence is broken
    schoolRule,           // a hard school rule is broken
};

struct BrokenRule {
    Rule kind = Rule::outsideGrid;
    int activity = -1;       // the lesson; for the two-lesson rules the one placed later
    int other = -1;          // the lesson already holding the resource, or the dependence's other
    int resource = -1;       // the resource concerned
    int otherResource = -1;  // twoFromGroup: the member used first
    // Internal slots where it happens, ascending, the first being the one the
    // judgement reports: a clash lists the slots where both lessons are
    // taught, a missing break the slot where the break meets the other lesson;
    // for a dependence the starts of activity and other.
    std::vector<int> slots{};
    int weeks = 0;            // resourceTwice, noBreak: the weeks (mask) in which the lessons meet
    int dependence = -1;      // index in problem.dependences
    std::vector<int> days{};  // tooManyDays: the days the resource works
    // schoolRule: the judgement's breach (activity and other are its first
    // two lessons, resource its resource).
    RuleBreach breach{};
};

// The rules broken by problem.solution, in the judgement's order: each
// timetable entry in turn (its start, its own slots, its resources one by
// one), then the MaxDays of every resource, then the hard dependences, then
// the hard school rules. Two
// lessons that meet on one resource make one entry, however many slots and
// weeks they share. Empty exactly when the judgement accepts the timetable.
std::vector<BrokenRule> findBrokenRules(const ProblemData& problem);

// Every breach of a school rule, hard and soft, in problem.solution, as the
// judgement counts them; with an activity given, that lesson is taken to
// start at start instead. A lesson that starts outside the grid or runs past
// the end of its day breaks a rule of its own and takes no part.
std::vector<RuleBreach> schoolRuleBreachesOf(const ProblemData& problem, int activity = -1,
                                             int start = -1);

}  // namespace View
