#pragma once
#include <vector>

#include "deep/facts.h"
#include "deep/resource_rules.h"
#include "deep/rule_view.h"

class Timetable;

// The books of the school rules of one timetable of the deep search: the
// figures of every day of each resource with rules, and the units of breach
// of every rule, kept as activities are placed and taken out. The soft
// rules are part of the timetable's score; the hard ones are kept by the
// search in their own form (see resource_rules.h and activity_rules.h),
// which every complete timetable it holds keeps as the rules themselves.
class RuleBooks {
public:
    explicit RuleBooks(const Facts& facts);

    // After the timetable placed a at t (placed) or took it out from t: keeps
    // the books and returns the change of the soft rules' cost.
    long long update(const Timetable& timetable, int a, int t, bool placed);

    // Units of breach of the hard rules, as the judgement counts them: 0 in
    // every complete timetable the search holds, but a timetable with
    // activities left out may still owe lessons to a rule.
    long long hardUnits() const { return hard; }
    // Whether a soft rule that a takes part in costs something.
    bool paysPenalty(int a) const;

    // For the view's activity at its start: takes out through sink what the
    // hard rules need out of the way.
    void conflicts(const RuleView& view, ConflictSink& sink) const;

    // Whether the hard rules that the placed activity a takes part in hold
    // in the search's form.
    bool hold(const Timetable& timetable, int a) const;
    // A placed activity other than a to take out so that they hold, or -1
    // when they do.
    int toTakeOut(const Timetable& timetable, int a) const;
    // A placed activity whose taking out lowers the hard units, or -1 when
    // none is owed: taking such activities out one by one leaves a valid
    // timetable to report.
    int toRepair(const Timetable& timetable) const;

private:
    // Resource r's days as the view has them.
    void project(const RuleView& view, int r, ResourceDays& into) const;
    // The days with the placed activity b of r taken out (b is out in the view).
    void takeOutOf(const RuleView& view, int r, int b, ResourceDays& into) const;
    long long hardExcess(const ResourceDays& days, int r) const;
    long long resourceUnits(const ResourceDays& days, int r, bool hardOnly) const;
    // The placed activity of r (not in the view's marks, not a) whose taking
    // out leaves the least hard excess (or, with exact, the fewest hard
    // units); ties to the lightest.
    int bestOut(const RuleView& view, int r, int a, bool exact, ConflictSink* sink,
                ResourceDays& now) const;
    // A fresh view of the timetable with marks of its own.
    RuleView freshView(const Timetable& timetable) const;
    void activityRulesOf(int a, std::vector<int>& rules) const;

    const Facts& facts;
    std::vector<int> ruled;  // per resource: its index in days, -1 without rules
    std::vector<int> ruledResources;  // the resource of each entry of days
    std::vector<ResourceDays> days;
    std::vector<std::vector<long long>> resourceRuleUnits;  // per ruled resource and rule
    std::vector<long long> activityUnits;                   // per activity rule
    long long hard = 0;
    // Scratch of the const queries.
    mutable ResourceDays projected, trial;
    mutable std::vector<char> dirty;  // [week][day] to figure again
    mutable std::vector<int> scratchMark;
    mutable int scratchStamp = 0;
    mutable std::vector<int> rulesScratch;
    mutable unsigned rotation = 0;  // where the next scan of a resource's lessons begins
};
