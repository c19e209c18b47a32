#include "support/hard_rules.h"

#include <algorithm>

namespace testing_support {

namespace {

bool covers(const std::vector<int>& slots, int from, int to) {
    for (int u : slots)
        if (u >= from && u <= to) return true;
    return false;
}

bool dependenceHolds(const ProblemData& problem, const Dependence& d, int t1, int t2) {
    const int P = problem.slotsPerDay;
    const int len1 = problem.activities[d.first].length;
    const int len2 = problem.activities[d.second].length;
    switch (d.op) {
    case DependenceOp::before: return t2 >= t1 + len1;
    case DependenceOp::closelyBefore: return t2 >= t1 + len1 && t1 / P == t2 / P;
    case DependenceOp::concurrently: return t2 >= t1 && t1 + len1 >= t2 + len2;
    default: return false;  // the analysis leaves no other operator
    }
}

}  // namespace

bool keepsHardRules(const ProblemData& problem, const PlainTimetable& timetable) {
    const int P = problem.slotsPerDay;
    const int n = static_cast<int>(problem.activities.size());
    const std::size_t nbResources = problem.resources.size();
    // held[week][resource][slot]: the activity holding it, or -1.
    std::vector<int> held(2 * nbResources * problem.nbSlots, -1);
    std::vector<char> usedOn(nbResources * problem.days, 0);  // [resource][day]
    for (int a = 0; a < n; ++a) {
        const int s = timetable.start[a];
        if (s < 0) continue;
        const Activity& activity = problem.activities[a];
        const int e = s + activity.length - 1;
        if (e >= problem.nbSlots || s / P != e / P) return false;
        if (covers(activity.timePrefs.unavail, s, e)) return false;

        std::vector<int> resources = activity.reqRes;
        const std::vector<int>& members = timetable.members[a];
        if (members.size() != activity.reqGroups.size()) return false;
        for (std::size_t k = 0; k < members.size(); ++k) {
            const std::vector<int>& group = problem.groups[activity.reqGroups[k]].resources;
            if (std::find(group.begin(), group.end(), members[k]) == group.end()) return false;
            if (covers(problem.resources[members[k]].timePrefs.unavail, s, e)) return false;
            resources.push_back(members[k]);
        }
        for (int r : resources) {
            const int last = std::min(e + problem.resources[r].breakSlots, s / P * P + P - 1);
            for (int w = 0; w < 2; ++w) {
                if (!(activity.week & (w == 0 ? 2 : 1))) continue;
                for (int t = s; t <= last; ++t) {
                    int& holder = held[(w * nbResources + r) * problem.nbSlots + t];
                    if (holder >= 0) return false;
                    holder = a;
                }
            }
            usedOn[r * problem.days + s / P] = 1;
        }
    }
    for (std::size_t r = 0; r < nbResources; ++r) {
        const auto first = usedOn.begin() + r * problem.days;
        if (std::count(first, first + problem.days, 1) > problem.resources[r].maxDays) return false;
    }
    for (const Dependence& d : problem.dependences) {
        if (d.score >= 0) continue;
        const int t1 = timetable.start[d.first], t2 = timetable.start[d.second];
        if (t1 >= 0 && t2 >= 0 && !dependenceHolds(problem, d, t1, t2)) return false;
    }
    return true;
}

std::vector<std::vector<int>> memberChoices(const ProblemData& problem, int a) {
    std::vector<std::vector<int>> choices{{}};
    for (int g : problem.activities[a].reqGroups) {
        std::vector<std::vector<int>> longer;
        for (const std::vector<int>& choice : choices)
            for (int member : problem.groups[g].resources) {
                longer.push_back(choice);
                longer.back().push_back(member);
            }
        choices = std::move(longer);
    }
    return choices;
}

}  // namespace testing_support
