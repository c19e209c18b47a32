#include "judge/timetable_builder.h"

#include "support/problem_fixture.h"

namespace judge_test {

namespace {
template <class Table>
int indexOf(const Table& table, const std::string& id) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].id == id) return static_cast<int>(i);
    return -1;
}
}  // namespace

ProblemData judgedProblem(const std::string& text, const Timetable& timetable) {
    testing_support::quietLogs();
    ProblemData problem;
    testing_support::loadProblem(text, problem);
    for (const Placement& placement : timetable) {
        SolutionEntry& entry = problem.solution.emplace_back();
        entry.act = indexOf(problem.activities, placement.act);
        entry.start = placement.start;
        for (const std::string& name : placement.res)
            entry.res.push_back(indexOf(problem.resources, name));
    }
    return problem;
}

}  // namespace judge_test
