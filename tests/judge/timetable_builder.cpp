#include "judge/timetable_builder.h"

#include "support/problem_fixture.h"

namespace judge_test {

std::string problemText(int days, int slotsPerDay, const std::string& resources,
                        const std::string& activities, const std::string& dependences) {
    std::string text = "<Timetable><Problem><General><DaysPerWeek>" + std::to_string(days) +
                       "</DaysPerWeek><SlotsPerDay>" + std::to_string(slotsPerDay) +
                       "</SlotsPerDay></General>\n<Resources><Classrooms/><Teachers>\n" + resources +
                       "</Teachers><Classes/></Resources>\n<Activities>\n" + activities +
                       "</Activities>\n";
    if (!dependences.empty()) text += "<Dependences>\n" + dependences + "</Dependences>\n";
    return text + "</Problem></Timetable>\n";
}

std::string activity(const std::string& id, int length, const std::vector<std::string>& required,
                     const std::vector<std::vector<std::string>>& groups, const std::string& week,
                     const std::string& extra) {
    std::string text = "<Activity id=\"" + id + "\"><Length>" + std::to_string(length) + "</Length>";
    if (!week.empty()) text += "<Week>" + week + "</Week>";
    text += extra + "<RequiredResources>";
    for (const std::string& name : required) text += "<Resource>" + name + "</Resource>";
    for (const auto& group : groups) {
        text += "<Group>";
        for (const std::string& name : group) text += "<Resource>" + name + "</Resource>";
        text += "</Group>";
    }
    return text + "</RequiredResources></Activity>\n";
}

std::string dependence(const std::string& first, const std::string& op,
                       const std::string& second, int score) {
    std::string text = "<Dependence";
    if (score >= 0) text += " score=\"" + std::to_string(score) + "\"";
    return text + "><FirstActivity>" + first + "</FirstActivity><SecondActivity>" + second +
           "</SecondActivity><Operator>" + op + "</Operator></Dependence>\n";
}

namespace {
template <class Table>
int indexOf(const Table& table, const std::string& id) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].id == id) return static_cast<int>(i);
    return -1;
}
}  // namespace

void setTimetable(ProblemData& problem, const std::vector<Placement>& placements) {
    problem.solution.clear();
    for (const Placement& placement : placements) {
        SolutionEntry entry;
        entry.act = indexOf(problem.activities, placement.act);
        entry.start = placement.start;
        for (const std::string& name : placement.res)
            entry.res.push_back(indexOf(problem.resources, name));
        problem.solution.push_back(entry);
    }
}

ProblemData judgedProblem(const std::string& text, const std::vector<Placement>& placements) {
    testing_support::quietLogs();
    ProblemData problem;
    testing_support::loadProblem(text, problem);
    setTimetable(problem, placements);
    return problem;
}

}  // namespace judge_test
