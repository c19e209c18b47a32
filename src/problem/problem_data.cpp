#include "problem/problem_data.h"

namespace {
template <class Table>
const char* nameIn(const Table& table, int i) {
    if (i < 0 || static_cast<std::size_t>(i) >= table.size()) return "illegal";
    return table[i].id.c_str();
}
}  // namespace

const char* ProblemData::activityName(int i) const { return nameIn(activities, i); }
const char* ProblemData::resourceName(int i) const { return nameIn(resources, i); }

bool ProblemData::hasSchoolRules() const {
    if (!activityRules.empty()) return true;
    for (const Resource& resource : resources)
        if (!resource.rules.empty()) return true;
    return false;
}
