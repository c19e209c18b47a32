// The solution file's layout, byte for byte, from records filled by hand.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "base/log.h"
#include "base/run_settings.h"
#include "output/solution_writer.h"

namespace {

const std::string header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// Resources R7, T2, R8; group 0 = {R7, R8}; A1 needs T2 and one of group 0,
// A2 needs nothing. 5 days of 8 file slots, 2 added slots per day.
ProblemData exampleProblem() {
    ProblemData problem;
    problem.days = 5;
    problem.addedSlots = 2;
    problem.slotsPerDay = 10;
    problem.nbSlots = 50;
    for (const char* id : {"R7", "T2", "R8"}) problem.resources.emplace_back().id = id;
    problem.groups.push_back(Group{{0, 2}, {0}});
    Activity& a1 = problem.activities.emplace_back();
    a1.id = "A1";
    a1.reqRes = {1};
    a1.reqGroups = {0};
    Activity& a2 = problem.activities.emplace_back();
    a2.id = "A2";
    a2.grsel = 1;
    problem.nbGrsel = 1;
    return problem;
}

SolutionRecord recordOf(const ProblemData& problem, std::vector<int> starts, int choice = 0) {
    SolutionRecord record;
    record.allocate(problem);
    for (std::size_t i = 0; i < starts.size(); ++i) record.start()[i] = starts[i];
    if (problem.nbGrsel > 0) record.grsel()[0] = choice;
    return record;
}

// The written text; what is logged meanwhile goes to log when given.
std::string written(const ProblemData& problem, const SolutionRecord& record,
                    std::string* log = nullptr) {
    char* buffer = nullptr;
    std::size_t size = 0;
    FILE* stream = open_memstream(&buffer, &size);
    FILE* savedLog = logStream;
    if (log) logStream = stream;
    FILE* output = log ? std::fopen("/dev/null", "w") : stream;
    XML::Elements document;
    writeSolution(problem, record, output, document);
    XML::destroyDocument(document);
    logStream = savedLog;
    if (output != stream) std::fclose(output);
    std::fclose(stream);
    std::string text(buffer, size);
    std::free(buffer);
    if (log) *log = text;
    return text;
}

TEST(SolutionWriter, WritesTheFixedLayout) {
    runSettings.verbosity = 0;
    const ProblemData problem = exampleProblem();
    EXPECT_EQ(written(problem, recordOf(problem, {23, -1})),
              header +
                  "<Timetable>\n"
                  "  <Solution>\n"
                  "    <Activity id=\"A1\">\n"
                  "      <StartTime>19</StartTime>\n"
                  "      <UsedResources>\n"
                  "        <Resource>R7</Resource>\n"
                  "        <Resource>T2</Resource>\n"
                  "      </UsedResources>\n"
                  "    </Activity>\n"
                  "    <Activity id=\"A2\"/>\n"
                  "  </Solution>\n"
                  "</Timetable>\n");
}

TEST(SolutionWriter, EmptyListsCloseOnTheirOwnLine) {
    runSettings.verbosity = 0;
    ProblemData problem = exampleProblem();
    EXPECT_EQ(written(problem, recordOf(problem, {-1, 0})),
              header +
                  "<Timetable>\n"
                  "  <Solution>\n"
                  "    <Activity id=\"A1\"/>\n"
                  "    <Activity id=\"A2\">\n"
                  "      <StartTime>0</StartTime>\n"
                  "      <UsedResources></UsedResources>\n"
                  "    </Activity>\n"
                  "  </Solution>\n"
                  "</Timetable>\n");
    ProblemData empty;
    EXPECT_EQ(written(empty, recordOf(empty, {})),
              header + "<Timetable>\n  <Solution></Solution>\n</Timetable>\n");
}

TEST(SolutionWriter, StartsGoBackToTheFileNumbering) {
    runSettings.verbosity = 0;
    const ProblemData problem = exampleProblem();
    // Internal day 0 is slots 0..9, of which 8 and 9 are added.
    for (auto [internal, file] : {std::pair{0, 0}, {7, 7}, {10, 8}, {23, 19}, {47, 39}})
        EXPECT_NE(written(problem, recordOf(problem, {internal, -1}))
                      .find("<StartTime>" + std::to_string(file) + "</StartTime>"),
                  std::string::npos)
            << internal;
}

TEST(SolutionWriter, NamesAreWrittenVerbatim) {
    runSettings.verbosity = 0;
    ProblemData problem = exampleProblem();
    problem.activities[1].id = "a&b<c\"d";
    problem.resources[1].id = "T&<2";
    const std::string text = written(problem, recordOf(problem, {0, -1}, 2));
    EXPECT_NE(text.find("        <Resource>R8</Resource>\n        <Resource>T&<2</Resource>\n"),
              std::string::npos);
    EXPECT_NE(text.find("    <Activity id=\"a&b<c\"d\"/>\n"), std::string::npos);
}

TEST(SolutionWriter, LogsEachActivityAndResourceAtLevelTwenty) {
    runSettings.verbosity = 20;
    const ProblemData problem = exampleProblem();
    std::string log;
    written(problem, recordOf(problem, {23, -1}, 2), &log);
    runSettings.verbosity = 0;
    EXPECT_EQ(log,
              "Activity 0 [A1], time 23\n"
              "Activity 0 [A1] (grsel 0) requires resource 2 [R8]\n"
              "Activity 0 [A1] (reqRes 0) requires resource 1 [T2]\n"
              "Activity 1 [A2], time -1\n");
}

TEST(SolutionWriter, AResourceOutsideTheTableIsNotLookedUp) {
    runSettings.verbosity = 0;
    const ProblemData problem = exampleProblem();
    XML::Elements list;
    appendResource(problem, list, 7);
    ASSERT_EQ(list.children.size(), 1u);
    EXPECT_EQ(list.children[0].name, "Resource");
    EXPECT_EQ(list.children[0].content->asText().text, "illegal");
}

}  // namespace
