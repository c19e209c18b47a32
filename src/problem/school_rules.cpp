#include "problem/school_rules.h"

namespace {

struct ResourceRuleInfo {
    const char* name;
    int least;
};

// In the order of ResourceRuleKind.
constexpr ResourceRuleInfo resourceRules[nbResourceRuleKinds] = {
    {"MaxPerDay", 1}, {"MinPerDay", 1},      {"MaxGaps", 0},       {"MaxGapsPerDay", 0},
    {"MinDays", 1},   {"MaxConsecutive", 1}, {"MaxLateStarts", 0},
};

// In the order of ActivityRuleKind.
constexpr const char* activityRules[nbActivityRuleKinds] = {
    "DifferentDays", "SameDay", "SamePeriod", "Consecutive", "DailyLimit", "LastOfDay",
};

}  // namespace

const char* ruleName(ResourceRuleKind kind) { return resourceRules[static_cast<int>(kind)].name; }

const char* ruleName(ActivityRuleKind kind) { return activityRules[static_cast<int>(kind)]; }

int leastLimit(ResourceRuleKind kind) { return resourceRules[static_cast<int>(kind)].least; }
