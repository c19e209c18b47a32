// Reading a solution against an analysed problem: names, unassigned
// activities, the conversion of starts to internal slots, and its messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/files.h"
#include "problem/analyser.h"
#include "problem/solution_reader.h"
#include "problem_test_support.h"

using namespace problem_tests;

namespace {

// Six activities on 5 days of 8 slots; a break of 2 adds two slots per day.
std::string sixActivities() {
    std::string activities;
    for (int i = 0; i < 6; ++i)
        activities += activityText("a" + std::to_string(i), 1, res("T") + "<Group>" + res("R1") + res("R2") + "</Group>");
    return problemText(5, 8,
                      "<Resource id=\"T\"><Break>2</Break></Resource><Resource id=\"R1\"/>"
                      "<Resource id=\"R2\"/>",
                      activities);
}

std::string entry(int i, int start, const std::string& room = "R1") {
    return "<Activity id=\"a" + std::to_string(i) + "\"><StartTime>" + std::to_string(start) +
           "</StartTime><UsedResources><Resource>T</Resource><Resource>" + room +
           "</Resource></UsedResources></Activity>\n";
}

std::string solutionXml(const std::string& activities) {
    return "<Timetable>\n<Solution>\n" + activities + "</Solution>\n</Timetable>\n";
}

void readSolutionText(const std::string& text, ProblemData& problem) {
    XML::Elements root;
    testing_support::parseText(text, root);
    readSolution(problem, root);
    XML::destroyDocument(root);
}

// Reading the solution in its own file stops with the message.
void expectError(const std::string& text, const std::string& where, const std::string& message) {
    ProblemData problem = analysed(sixActivities());
    TempFile file(text);
    EXPECT_EXIT(
        {
            FILE* stream = openFile(file.path, "r");
            XML::Elements root;
            XML::parseDocument(stream, root);
            readSolution(problem, root);
        },
        ::testing::ExitedWithCode(1),
        framed(where.empty() ? inFile(file) : "File '" + file.path + "': " + where, message))
        << text;
}

}  // namespace

TEST(SolutionReader, StartsBecomeInternalSlots) {
    ProblemData problem = analysed(sixActivities());
    ASSERT_EQ(problem.addedSlots, 2);
    // Entries stay in document order; the empty form is an unassigned activity.
    readSolutionText(solutionXml(entry(1, 9, "R2") + entry(0, 7) + entry(2, 39) +
                                 "<Activity id=\"a3\"/>\n" + entry(4, 0) + entry(5, 16)),
                     problem);
    ASSERT_EQ(problem.solution.size(), 6u);
    std::vector<int> acts, starts;
    for (const SolutionEntry& e : problem.solution) {
        acts.push_back(e.act);
        starts.push_back(e.start);
        EXPECT_TRUE(e.id.empty());
        EXPECT_TRUE(e.resIds.empty());
    }
    EXPECT_EQ(acts, (std::vector<int>{1, 0, 2, 3, 4, 5}));
    EXPECT_EQ(starts, (std::vector<int>{11, 7, 47, -1, 0, 20}));
    EXPECT_EQ(problem.solution[0].res, (std::vector<int>{0, 2}));
    EXPECT_TRUE(problem.solution[3].res.empty());
    EXPECT_EQ(problem.reader, nullptr);

    // Reading again replaces the timetable.
    readSolutionText(solutionXml(entry(0, 0) + entry(1, 0) + entry(2, 0) + entry(3, 0) +
                                 entry(4, 0) + entry(5, 0)),
                     problem);
    EXPECT_EQ(problem.solution.size(), 6u);
    EXPECT_EQ(problem.solution[3].start, 0);
}

TEST(SolutionReader, OneDocumentHoldsProblemAndSolution) {
    std::string text = sixActivities();
    std::string solution = "<Solution>";
    for (int i = 0; i < 6; ++i) solution += entry(i, 8 + i);
    text.replace(text.find("</Timetable>"), 0, solution + "</Solution>");
    testing_support::quietLogs();
    XML::Elements root;
    testing_support::parseText(text, root);
    ProblemData problem;
    analyseProblem(problem, root);
    readSolution(problem, root);
    XML::destroyDocument(root);
    ASSERT_EQ(problem.solution.size(), 6u);
    EXPECT_EQ(problem.solution[5].start, 15);
}

TEST(SolutionReader, StartsBeyondTheGridStayBeyondIt) {
    ProblemData problem = analysed(sixActivities());
    readSolutionText(solutionXml(entry(0, 2147483647) + entry(1, 40) + entry(2, 0) + entry(3, 0) +
                                 entry(4, 0) + entry(5, 0)),
                     problem);
    // Capped at the first slot past the grid, so that start + length cannot
    // overflow wherever the start is used.
    EXPECT_EQ(problem.solution[0].start, problem.nbSlots);
    EXPECT_EQ(problem.solution[1].start, 50);
}

TEST(SolutionReader, Messages) {
    std::string all;
    for (int i = 0; i < 6; ++i) all += entry(i, 0);
    expectError(solutionXml(all + entry(2, 5)), "",
                "Two times the same activity 2 [a2] (in solution)");
    std::string withoutFour;
    for (int i : {0, 1, 2, 3, 5}) withoutFour += entry(i, 0);
    expectError(solutionXml(withoutFour), "", "Missing activity 4 [a4] (in solution)");
    expectError(solutionXml(all + entry(9, 0)), "", "Id \"a9\" not found");
    expectError(solutionXml(entry(0, 0, "R3")), "", "Id \"R3\" not found");
    // Line 3: the Activity whose tags enclose nothing; 4: its end tag.
    expectError(solutionXml("<Activity id=\"a0\">\n</Activity>\n"), "line 4: ",
                "Missing declaration: \"StartTime\"");
    expectError(solutionXml("<Activity id=\"a0\"><StartTime>-3</StartTime></Activity>\n"),
                "line 3: ", "Integer number required (got \"-3\")");
    expectError("<Timetable>\n<Problem/>\n</Timetable>\n", "line 3: ",
                "Missing declaration: \"Solution\"");
}
