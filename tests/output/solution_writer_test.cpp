// The solution file's layout, byte for byte, from records that the tests
// fill by hand.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "driver/log.h"
#include "driver/run_settings.h"
#include "output/solution_writer.h"

namespace {

// Whatever the action writes to the stream it is given.
std::string captured(const std::function<void(FILE*)>& action) {
    char* buffer = nullptr;
    std::size_t size = 0;
    FILE* stream = open_memstream(&buffer, &size);
    action(stream);
    std::fclose(stream);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

Activity makeActivity(const std::string& id, std::vector<int> reqRes, std::vector<int> reqGroups) {
    Activity activity;
    activity.id = id;
    activity.length = 1;
    activity.reqRes = std::move(reqRes);
    activity.reqGroups = std::move(reqGroups);
    return activity;
}

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
    problem.activities.push_back(makeActivity("A1", {1}, {0}));
    problem.activities.push_back(makeActivity("A2", {}, {}));
    problem.activities[1].grsel = 1;
    problem.nbGrsel = 1;
    return problem;
}

std::string written(const ProblemData& problem, const SolutionRecord& record) {
    XML::Elements document;
    std::string text = captured([&](FILE* stream) { writeSolution(problem, record, stream, document); });
    XML::destroyDocument(document);
    return text;
}

class SolutionWriterTest : public ::testing::Test {
protected:
    void SetUp() override { runSettings.verbosity = 0; }
    void TearDown() override { runSettings.verbosity = 0; }
};

TEST_F(SolutionWriterTest, WritesTheFixedLayout) {
    const ProblemData problem = exampleProblem();
    SolutionRecord record;
    record.allocate(problem);
    record.start()[0] = 23;  // day 2, hour 3 of the file's 8 slots per day
    record.start()[1] = -1;
    record.grsel()[0] = 0;
    EXPECT_EQ(written(problem, record),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
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

TEST_F(SolutionWriterTest, EmptyListsCloseOnTheirOwnLine) {
    ProblemData problem = exampleProblem();
    SolutionRecord record;
    record.allocate(problem);
    record.start()[0] = -1;
    record.start()[1] = 0;
    EXPECT_EQ(written(problem, record),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
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
    empty.days = 1;
    empty.slotsPerDay = 1;
    empty.nbSlots = 1;
    SolutionRecord none;
    none.allocate(empty);
    EXPECT_EQ(written(empty, none),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<Timetable>\n"
              "  <Solution></Solution>\n"
              "</Timetable>\n");
}

TEST_F(SolutionWriterTest, StartsGoBackToTheFileNumbering) {
    ProblemData problem = exampleProblem();
    SolutionRecord record;
    record.allocate(problem);
    record.start()[1] = -1;
    record.grsel()[0] = 2;
    // Internal slots 0..7 are day 0; 10..17 day 1 (8 and 9 are added slots).
    for (auto [internal, file] : {std::pair{0, 0}, {7, 7}, {10, 8}, {23, 19}, {47, 39}}) {
        record.start()[0] = internal;
        EXPECT_NE(written(problem, record).find("<StartTime>" + std::to_string(file) + "</StartTime>"),
                  std::string::npos)
            << internal;
    }
}

TEST_F(SolutionWriterTest, NamesAreWrittenVerbatim) {
    ProblemData problem = exampleProblem();
    problem.activities[1].id = "a&b<c\"d";
    problem.resources[1].id = "T&<2";
    SolutionRecord record;
    record.allocate(problem);
    record.start()[0] = 0;
    record.grsel()[0] = 2;
    record.start()[1] = -1;
    const std::string text = written(problem, record);
    EXPECT_NE(text.find("        <Resource>R8</Resource>\n        <Resource>T&<2</Resource>\n"),
              std::string::npos);
    EXPECT_NE(text.find("    <Activity id=\"a&b<c\"d\"/>\n"), std::string::npos);
}

TEST_F(SolutionWriterTest, LogsEachActivityAndResourceAtLevelTwenty) {
    const ProblemData problem = exampleProblem();
    SolutionRecord record;
    record.allocate(problem);
    record.start()[0] = 23;
    record.start()[1] = -1;
    record.grsel()[0] = 2;
    runSettings.verbosity = 20;
    FILE* saved = logStream;
    const std::string log = captured([&](FILE* stream) {
        logStream = stream;
        written(problem, record);
        logStream = saved;
    });
    EXPECT_EQ(log,
              "Activity 0 [A1], time 23\n"
              "Activity 0 [A1] (grsel 0) requires resource 2 [R8]\n"
              "Activity 0 [A1] (reqRes 0) requires resource 1 [T2]\n"
              "Activity 1 [A2], time -1\n");
}

TEST_F(SolutionWriterTest, LeavesTheDocumentToTheCaller) {
    const ProblemData problem = exampleProblem();
    SolutionRecord record;
    record.allocate(problem);
    record.start()[0] = 10;
    record.start()[1] = -1;
    record.grsel()[0] = 0;
    XML::Elements document;
    captured([&](FILE* stream) { writeSolution(problem, record, stream, document); });
    ASSERT_EQ(document.children.size(), 1u);
    EXPECT_EQ(document.children[0].name, "Timetable");
    const XML::Elements& solution = document.children[0].content->asElements().children[0].content->asElements();
    ASSERT_EQ(solution.children.size(), 2u);
    EXPECT_EQ(solution.children[0].attributes[0].value, "A1");
    EXPECT_EQ(solution.children[1].content, nullptr);
    XML::destroyDocument(document);
}

TEST(DocumentWriter, ElementsAtTopLevelStandAtColumnZero) {
    XML::Elements document;
    XML::Element& first = document.children.emplace_back();
    first.name = "a";
    first.attributes.push_back(XML::Attribute{0, "x", "1"});
    first.attributes.push_back(XML::Attribute{0, "y", ""});
    XML::Element& second = document.children.emplace_back();
    second.name = "b";
    second.content = std::make_unique<XML::TextContent>("");
    EXPECT_EQ(captured([&](FILE* stream) { writeDocument(stream, document); }),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a x=\"1\" y=\"\"/>\n<b></b>\n");
}

TEST(AppendResource, AddsOneResourceElementHoldingTheId) {
    const ProblemData problem = exampleProblem();
    XML::Elements list;
    appendResource(problem, list, 1);
    appendResource(problem, list, 7);
    ASSERT_EQ(list.children.size(), 2u);
    EXPECT_EQ(list.children[0].name, "Resource");
    EXPECT_TRUE(list.children[0].attributes.empty());
    EXPECT_EQ(list.children[0].content->asText().text, "T2");
    // An index outside the table is never read from it.
    EXPECT_EQ(list.children[1].content->asText().text, "illegal");
}

}  // namespace
