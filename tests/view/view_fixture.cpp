#include "view_fixture.h"

#include <cstdio>

#include "judge/check_solution.h"
#include "problem/analyser.h"
#include "problem/solution_reader.h"
#include "support/problem_fixture.h"

namespace view_testing {

std::string solutionText(const std::vector<Entry>& entries) {
    std::string text = "<Timetable><Solution>";
    for (const Entry& entry : entries) {
        if (entry.start < 0) {
            text += "<Activity id=\"" + entry.id + "\"/>";
            continue;
        }
        text += "<Activity id=\"" + entry.id + "\"><StartTime>" + std::to_string(entry.start) +
                "</StartTime><UsedResources>";
        for (const std::string& name : entry.resources) text += "<Resource>" + name + "</Resource>";
        text += "</UsedResources></Activity>";
    }
    return text + "</Solution></Timetable>";
}

void loadChecked(const std::string& problem, const std::string& solution,
                 View::CheckedTimetable& checked) {
    testing_support::quietLogs();
    checked.problemFile = "problem.xml";
    checked.solutionFile = "solution.xml";
    XML::Elements document;
    testing_support::parseText(problem, document);
    analyseProblem(checked.problem, document);
    checked.kinds = View::readResourceKinds(checked.problem, document);
    XML::destroyDocument(document);
    testing_support::parseText(solution, document);
    readSolution(checked.problem, document);
    XML::destroyDocument(document);
    View::judgeWhenValid(checked);
}

std::string sourceText(const std::string& relative) {
    std::string text;
    FILE* file = std::fopen(testing_support::sourcePath(relative).c_str(), "r");
    if (!file) return text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
    return text;
}

}  // namespace view_testing
