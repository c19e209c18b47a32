#include "problem/school_rules_analysis.h"

#include <map>
#include <string>

#include "base/log.h"
#include "problem/name_index.h"

void analyseSchoolRules(ProblemData& problem) {
    for (int r = 0; r < static_cast<int>(problem.resources.size()); ++r) {
        const Resource& resource = problem.resources[r];
        for (const ResourceRule& rule : resource.rules) {
            // A member of a group is used by whichever lesson chooses it: its
            // days are not the school's to plan.
            if (resource.grres >= 0)
                fatalErrorAt(rule.line, "%s is not supported for resources in groups "
                                        "(resource %d [%s])",
                             ruleName(rule.kind), r, problem.resourceName(r));
            if (rule.kind == ResourceRuleKind::minDays && rule.limit > problem.days)
                fatalErrorAt(rule.line, "MinDays should be at most the days of the week, %d "
                                        "(resource %d [%s])",
                             problem.days, r, problem.resourceName(r));
        }
    }
    if (problem.activityRules.empty()) return;
    const std::map<std::string, int> index = nameIndex(problem.activities);
    for (int i = 0; i < static_cast<int>(problem.activityRules.size()); ++i) {
        ActivityRule& rule = problem.activityRules[i];
        for (std::size_t k = 0; k < rule.ids.size(); ++k) {
            auto found = index.find(rule.ids[k]);
            if (found == index.end())
                fatalErrorAt(rule.idLines[k], "Activity \"%s\" of %s not found",
                             rule.ids[k].c_str(), ruleName(rule.kind));
            rule.activities.push_back(found->second);
            problem.activities[found->second].activityRules.push_back(i);
        }
        rule.ids.clear();
        rule.idLines.clear();
    }
}
