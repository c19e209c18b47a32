// The judgement's log: warnings and the report at the normal level, the
// soft-cost details at level 25, nothing when quiet.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "base/log.h"
#include "base/run_settings.h"
#include "judge/check_solution.h"
#include "judge/timetable_builder.h"

using namespace judge_test;

namespace {

// Judges at the given verbosity and returns what was logged.
std::string judgementLog(ProblemData& problem, int verbosity, int& score) {
    char* buffer = nullptr;
    std::size_t size = 0;
    FILE* saved = logStream;
    logStream = open_memstream(&buffer, &size);
    runSettings.verbosity = verbosity;
    score = checkSolution(problem);
    std::fclose(logStream);
    logStream = saved;
    runSettings.verbosity = 0;
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

// slot 0123|4567   T: soft 3 at slots 1 and 2, balanced 2; C: hard continuous
//      .A.B|....   A on T and C, B on C; D unassigned
//      ..E.|....   E on T in the odd week
const std::string reportProblem = problemText(
    2, 4,
    resource("T", softAt(3, "1#2") + "<Balanced score=\"2\"/>") + resource("C", "<Continuous/>"),
    activity("A", 1, {"T", "C"}, {}, softAt(4, "1")) +
        activity("B", 1, {"C"}) + activity("D", 1, {}) + activity("E", 1, {"T"}, {}, week("O")));
const Timetable reportTimetable = {
    {"A", 1, {"T", "C"}}, {"B", 3, {"C"}}, {"D", -1, {}}, {"E", 2, {"T"}}};

TEST(JudgementLog, NormalLevelWarnsAndReports) {
    ProblemData problem = judgedProblem(reportProblem, reportTimetable);
    int score = 0;
    const std::string log = judgementLog(problem, 10, score);
    // T: quota (2 + 1) / 2 = 1; day 0 load 3: excess 2 x 2 = 4.
    // C: span 1..3 in both weeks, busy 2: gap 1 + 1, 5000 each.
    // E's half of T's 3 is 1; A pays 3 for T and 4 of its own.
    EXPECT_EQ(log,
              "Unasigned activity 2 [D] !!!!!!!!!!!!!!!!!!!!!!\n"
              "Resource usage is not continuous (res 1 [C], penalty 10000) !!!!!!!!!!!!!!!!!!!!!!\n"
              "Judgement:\n"
              "- Unassigned activities: 1000000\n"
              "- Soft time preferences (activities): 4\n"
              "- Soft time preferences (resources): 4\n"
              "- Broken dependences: 0\n"
              "- Broken 'continuous' (soft): 0\n"
              "- Broken 'continuous' (hard): 10000\n"
              "- Violated 'balanced': 4\n");
    EXPECT_EQ(score, 1010012);
}

TEST(JudgementLog, LevelTwentyFiveShowsEverySoftCost) {
    ProblemData problem = judgedProblem(reportProblem, reportTimetable);
    int score = 0;
    const std::string log = judgementLog(problem, 25, score);
    EXPECT_NE(log.find("Soft constraint broken {act 0 [A], time 1, value 4}\n"
                       "Soft constraint broken {act 0 [A], res 0 [T], time 1, value 3}\n"
                       "Unasigned activity 2 [D] !!!!!!!!!!!!!!!!!!!!!!\n"
                       "Soft constraint broken {act 3 [E], res 0 [T], time 2, value 3}\n"
                       "Resource 0 [T] in day 0 causes 'balanced' score 2\n"
                       "Resource usage is not continuous"),
              std::string::npos)
        << log;
    EXPECT_EQ(score, 1010012);
}

TEST(JudgementLog, QuietLogsNothing) {
    ProblemData problem = judgedProblem(reportProblem, reportTimetable);
    int score = 0;
    EXPECT_EQ(judgementLog(problem, 0, score), "");
    EXPECT_EQ(score, 1010012);
}

}  // namespace
