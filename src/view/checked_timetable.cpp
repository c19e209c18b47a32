#include "view/checked_timetable.h"

#include <cstdio>

#include "base/files.h"
#include "problem/analyser.h"
#include "problem/solution_reader.h"
#include "view/hard_rules.h"
#include "xml/xml_tree.h"

namespace View {

void readCheckedTimetable(const std::string& problemFile, const std::string& solutionFile,
                          CheckedTimetable& checked) {
    checked.problemFile = problemFile;
    checked.solutionFile = solutionFile;

    XML::Elements document;
    FILE* stream = openFile(problemFile, "r");
    XML::parseDocument(stream, document);
    analyseProblem(checked.problem, document);
    checked.kinds = readResourceKinds(checked.problem, document);
    closeFile(stream);
    XML::destroyDocument(document);

    stream = openFile(solutionFile, "r");
    XML::parseDocument(stream, document);
    readSolution(checked.problem, document);
    closeFile(stream);
    XML::destroyDocument(document);

    judgeWhenValid(checked);
}

void judgeWhenValid(CheckedTimetable& checked) {
    checked.judged = findBrokenRules(checked.problem).empty();
    if (checked.judged) checked.score = checkSolution(checked.problem, checked.terms);
}

}  // namespace View
