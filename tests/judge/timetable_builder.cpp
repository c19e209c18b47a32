#include "judge/timetable_builder.h"

#include "support/problem_fixture.h"

namespace judge_test {

std::string problemText(int days, int slotsPerDay, const std::string& resources,
                        const std::string& activities, const std::string& dependences) {
    return "<Timetable><Problem><General><DaysPerWeek>" + std::to_string(days) +
           "</DaysPerWeek><SlotsPerDay>" + std::to_string(slotsPerDay) +
           "</SlotsPerDay></General>\n<Resources><Classrooms/><Teachers>\n" + resources +
           "</Teachers><Classes/></Resources>\n<Activities>\n" + activities + "</Activities>\n" +
           (dependences.empty() ? "" : "<Dependences>" + dependences + "</Dependences>") +
           "</Problem></Timetable>\n";
}

std::string resource(const std::string& id, const std::string& inner) {
    return "<Resource id=\"" + id + "\">" + inner + "</Resource>\n";
}

std::string activity(const std::string& id, int length, const std::vector<std::string>& required,
                     const std::vector<std::vector<std::string>>& groups, const std::string& extra) {
    std::string text = "<Activity id=\"" + id + "\"><Length>" + std::to_string(length) +
                       "</Length>" + extra + "<RequiredResources>";
    for (const std::string& name : required) text += "<Resource>" + name + "</Resource>";
    for (const auto& group : groups) {
        text += "<Group>";
        for (const std::string& name : group) text += "<Resource>" + name + "</Resource>";
        text += "</Group>";
    }
    return text + "</RequiredResources></Activity>\n";
}

std::string week(const char* letter) { return std::string("<Week>") + letter + "</Week>"; }

std::string softAt(int score, const std::string& slots) {
    return "<TimePreferences><Soft score=\"" + std::to_string(score) + "\">" + slots +
           "</Soft></TimePreferences>";
}

std::string hardAt(const std::string& slots) {
    return "<TimePreferences><Hard>" + slots + "</Hard></TimePreferences>";
}

std::string dependence(const std::string& first, const std::string& op,
                       const std::string& second, int score) {
    return "<Dependence" + (score >= 0 ? " score=\"" + std::to_string(score) + "\"" : "") +
           "><FirstActivity>" + first + "</FirstActivity><SecondActivity>" + second +
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
