#pragma once
#include <utility>
#include <vector>

#include "problem/problem_data.h"

// Where the soft part of a score comes from, piece by piece, so that a
// reader of the timetable can see why a lesson or a resource costs what it
// does. The pieces are those of the judgement and add up to its terms; they
// are also counted for a timetable that breaks hard rules, which the
// judgement does not score.
namespace View {

class TimetableLayout;

// One set of soft time preferences met by a placed lesson.
struct PreferenceCost {
    int resource = -1;                         // -1: the lesson's own preferences
    std::vector<std::pair<int, int>> slots{};  // internal slot and its value, where not 0
    long long sum = 0;                         // of the values
    long long cost = 0;  // what the score counts: the sum, halved (toward zero) for a
                         // resource's preferences met by a lesson of one week only
};

// The preference sets a lesson placed at start with these resources meets:
// its own, then each resource's in the order given; only those with a value
// somewhere in its slots.
std::vector<PreferenceCost> preferenceCosts(const ProblemData& problem, int activity, int start,
                                            const std::vector<int>& resources);

// A charge of a resource's 'continuous' or 'balanced' rule.
struct ResourcePenalty {
    enum class Kind { continuous, balanced };
    Kind kind = Kind::continuous;
    int resource = -1;
    bool hard = false;     // 'continuous' without a score: counted apart, 5000 per slot
    long long rate = 0;    // per slot: half the 'continuous' score, or the 'balanced' score
    long long slots = 0;   // continuous: the gap as counted over both weeks;
                           // balanced: the slots above the share, all days together
    long long amount = 0;  // rate x slots, what the score counts
    // continuous: free slots inside the resource's working days, with the
    // weeks (mask) in which they are free.
    std::vector<std::pair<int, int>> holes{};
    // balanced: the days whose load passes the share, with that load.
    std::vector<std::pair<int, long long>> heavyDays{};
};

// Every resource whose 'continuous' or 'balanced' rule costs something in the
// layout's timetable, in resource order.
std::vector<ResourcePenalty> resourcePenalties(const TimetableLayout& layout);

}  // namespace View
