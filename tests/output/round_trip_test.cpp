// A timetable written from a record reads back as the same timetable, from
// the tree the writer leaves and from the written text, and is judged alike.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "judge/check_solution.h"
#include "output/solution_writer.h"
#include "problem/solution_reader.h"
#include "support/problem_fixture.h"

namespace {

// 2 days of 4 slots; T needs a break of 1, so internally every day has 5
// slots: 0123x|5678x. T costs 2 at file slot 5 (internal 6).
const char* problemText = R"(<Timetable><Problem>
<General><DaysPerWeek>2</DaysPerWeek><SlotsPerDay>4</SlotsPerDay></General>
<Resources><Classrooms><Resource id="R1"/><Resource id="R2"/></Classrooms>
<Teachers><Resource id="T"><Break>1</Break>
<TimePreferences><Soft score="2">5</Soft></TimePreferences></Resource></Teachers><Classes/></Resources>
<Activities>
<Activity id="A"><Length>1</Length><RequiredResources><Resource>T</Resource><Group><Resource>R1</Resource><Resource>R2</Resource></Group></RequiredResources></Activity>
<Activity id="B"><Length>2</Length><RequiredResources><Resource>T</Resource><Group><Resource>R1</Resource><Resource>R2</Resource></Group></RequiredResources></Activity>
<Activity id="C"><Length>1</Length><RequiredResources><Group><Resource>R1</Resource><Resource>R2</Resource></Group></RequiredResources></Activity>
</Activities></Problem></Timetable>
)";

class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::quietLogs();
        testing_support::loadProblem(problemText, problem);
        record.allocate(problem);
        record.start()[0] = 0;  // A at 0 with R2
        record.grsel()[0] = 1;
        record.start()[1] = 6;  // B at file slot 5 with R1
        record.grsel()[1] = 0;
        record.start()[2] = -1; // C unassigned
        record.grsel()[2] = -1;
    }
    void TearDown() override { XML::destroyDocument(document); }

    std::string write() {
        char* buffer = nullptr;
        std::size_t size = 0;
        FILE* stream = open_memstream(&buffer, &size);
        writeSolution(problem, record, stream, document);
        std::fclose(stream);
        std::string text(buffer, size);
        std::free(buffer);
        return text;
    }

    void expectRecordTimetable() {
        ASSERT_EQ(problem.solution.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(problem.solution[i].act, i);
            EXPECT_EQ(problem.solution[i].start, record.start()[i]);
        }
        // Group choices first, then the direct requirements.
        EXPECT_EQ(problem.solution[0].res, (std::vector<int>{1, 2}));
        EXPECT_EQ(problem.solution[1].res, (std::vector<int>{0, 2}));
        EXPECT_TRUE(problem.solution[2].res.empty());
    }

    ProblemData problem;
    SolutionRecord record;
    XML::Elements document;
};

TEST_F(RoundTrip, FromTheTreeTheWriterLeaves) {
    write();
    readSolution(problem, document);
    expectRecordTimetable();
    EXPECT_EQ(checkSolution(problem), 1000002);
}

TEST_F(RoundTrip, FromTheWrittenText) {
    const std::string text = write();
    XML::Elements parsed;
    testing_support::parseText(text, parsed);
    readSolution(problem, parsed);
    XML::destroyDocument(parsed);
    expectRecordTimetable();
    EXPECT_EQ(checkSolution(problem), 1000002);
}

}  // namespace
