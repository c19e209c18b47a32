#pragma once
#include <memory>
#include <string>
#include <vector>

#include "problem/problem_data.h"
#include "problem/solution_record.h"
#include "space/search_space.h"
#include "support/problem_fixture.h"

// Small problems written as XML in the tests, and a space built over them.
namespace space_testing {

// <Resource id="..."> with optional rule elements inside (e.g. "<Break>1</Break>").
inline std::string resource(const std::string& id, const std::string& inner = "") {
    return "<Resource id=\"" + id + "\">" + inner + "</Resource>\n";
}

// An activity needing the resources `required` and one member of each group.
inline std::string activity(const std::string& id, int length,
                            const std::vector<std::string>& required,
                            const std::vector<std::vector<std::string>>& groups = {},
                            char week = 'A', const std::string& inner = "") {
    std::string text = "<Activity id=\"" + id + "\"><Length>" + std::to_string(length) +
                       "</Length><Week>" + std::string(1, week) + "</Week>" + inner +
                       "<RequiredResources>";
    for (const std::string& r : required) text += "<Resource>" + r + "</Resource>";
    for (const auto& group : groups) {
        text += "<Group>";
        for (const std::string& r : group) text += "<Resource>" + r + "</Resource>";
        text += "</Group>";
    }
    return text + "</RequiredResources></Activity>\n";
}

inline std::string dependence(const std::string& first, const std::string& second,
                              const std::string& op, int score = -1) {
    std::string head = score < 0 ? "<Dependence>"
                                 : "<Dependence score=\"" + std::to_string(score) + "\">";
    return head + "<FirstActivity>" + first + "</FirstActivity><SecondActivity>" + second +
           "</SecondActivity><Operator>" + op + "</Operator></Dependence>\n";
}

// A whole problem; every resource is listed as a teacher.
inline std::string problemText(int days, int slotsPerDay, const std::string& resources,
                               const std::string& activities,
                               const std::string& dependences = "") {
    std::string text = "<Timetable><Problem><General><DaysPerWeek>" + std::to_string(days) +
                       "</DaysPerWeek><SlotsPerDay>" + std::to_string(slotsPerDay) +
                       "</SlotsPerDay></General><Resources><Classrooms></Classrooms><Teachers>" +
                       resources + "</Teachers><Classes></Classes></Resources><Activities>" +
                       activities + "</Activities>";
    if (!dependences.empty()) text += "<Dependences>" + dependences + "</Dependences>";
    return text + "</Problem></Timetable>\n";
}

// A problem, its records and a space over them, built with a fixed seed.
struct Built {
    ProblemData problem;
    SolutionRecords records;
    std::unique_ptr<SearchSpace> space;

    explicit Built(const std::string& text, unsigned seed = 2007) {
        testing_support::quietLogs();
        testing_support::loadProblem(text, problem);
        allocateRecords(records, problem);
        space = std::make_unique<SearchSpace>(problem, records, seed);
    }
    int activity(const std::string& id) const {
        for (std::size_t i = 0; i < problem.activities.size(); ++i)
            if (problem.activities[i].id == id) return static_cast<int>(i);
        return -1;
    }
    int resource(const std::string& id) const {
        for (std::size_t i = 0; i < problem.resources.size(); ++i)
            if (problem.resources[i].id == id) return static_cast<int>(i);
        return -1;
    }
    // Allowed starts of activity a, in increasing order.
    std::vector<int> starts(int a) const {
        std::vector<int> result;
        const TimeVar& var = space->time[a];
        for (int s = var.nextAllowed(0); s >= 0; s = var.nextAllowed(s + 1)) result.push_back(s);
        return result;
    }
};

inline std::vector<int> range(int from, int to) {
    std::vector<int> result;
    for (int s = from; s <= to; ++s) result.push_back(s);
    return result;
}

}  // namespace space_testing
