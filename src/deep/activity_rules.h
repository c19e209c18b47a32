#pragma once
#include "deep/facts.h"
#include "deep/rule_view.h"

// The activity rules in the deep search, each kind beside the others: its
// units of breach, counted as the judgement counts them, and the activities
// that placing one of its lessons needs taken out for the rule to hold as
// the search keeps it. The search's form of a rule is the rule itself,
// except for Consecutive: the placed lessons stand where a chain of all of
// them would put them (in the listed order: each at its offset from the
// first; in any order: on one day, apart, within the chain's length), so
// that the lessons still to be placed fit in between. Taking a lesson out
// never breaks any of them.

// Units of breach of rule i in the view.
long long activityRuleUnits(const Facts& facts, int i, const RuleView& view);

// Calls sink.takeOut for each activity in the way of rule i when activity a
// stands at t in the view (placed there or about to be).
void activityRuleConflicts(const Facts& facts, int i, const RuleView& view, int a, int t,
                           ConflictSink& sink);

// Whether a alone at t keeps the search's form of the rule.
bool activityRuleAllowsAlone(const Facts& facts, const ActivityRuleFacts& rule, int a, int t);
