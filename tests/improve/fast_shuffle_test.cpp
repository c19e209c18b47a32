#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "base/log.h"
#include "base/run_settings.h"
#include "improve/fast_shuffle.h"
#include "improve/shuffle_fixture.h"
#include "improve/shuffler.h"

using namespace shuffle_testing;
using space_testing::Built;
using namespace problem_text;

namespace {

std::string soft(int score, const std::string& slots) {
    return "<Soft score=\"" + std::to_string(score) + "\">" + slots + "</Soft>";
}
std::string prefs(const std::string& inner) {
    return "<TimePreferences>" + inner + "</TimePreferences>";
}

std::string benchmarkText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Shuffles the stored timetable and checks, after every activity step, that
// the running score is the judgement of the timetable held.
void shuffleChecked(Built& built, const std::string& label) {
    ShuffleTables tables;
    Shuffler shuffler(*built.space, tables);
    shuffler.afterStep = [&](int a) {
        ASSERT_EQ(built.space->myScore, judgeStored(built)) << label << ", after activity " << a;
    };
    shuffler.run();
}

TEST(FastShuffle, KeepsTheJudgementAndNeverRaisesTheScoreOnGeneratedProblems) {
    int improved = 0;
    for (unsigned seed = 1; seed <= 300; seed++) {
        const std::string label = "problem seed " + std::to_string(seed);
        Built built(testing_support::randomProblem(seed));
        storeGreedyTimetable(built, seed);
        const int before = built.space->myScore;
        shuffleChecked(built, label);
        if (::testing::Test::HasFailure()) return;
        const int after = built.space->myScore;
        EXPECT_LE(after, before) << label;
        EXPECT_EQ(after, judgeStored(built)) << label;
        if (after < before) improved++;
    }
    // The generated timetables are random: most leave room for improvement.
    EXPECT_GT(improved, 150);
}

// The log of one shuffle at the given verbosity.
std::string shuffleLog(Built& built, int verbosity) {
    std::FILE* log = std::tmpfile();
    std::FILE* saved = logStream;
    logStream = log;
    runSettings.verbosity = verbosity;
    FastShuffle(*built.space);
    runSettings.verbosity = 0;
    logStream = saved;
    std::rewind(log);
    std::string text;
    for (int c; (c = std::fgetc(log)) != EOF;) text += static_cast<char>(c);
    std::fclose(log);
    return text;
}

TEST(FastShuffle, EndsAfterOnePassWhenNoMoveImproves) {
    Built built(problemText(1, 4, resource("T"), activity("A", 1, {"T"}) + activity("B", 1, {"T"})));
    storeTimetable(built, {0, 1});
    const std::string text = shuffleLog(built, 20);
    EXPECT_EQ(text.find("Fast shufle\n"), 0u);
    const auto firstPass = text.find("  Starting new pass (score = 0)\n");
    EXPECT_NE(firstPass, std::string::npos);
    EXPECT_EQ(text.find("Starting new pass", firstPass + 5), std::string::npos);
    EXPECT_NE(text.find("Fast shufle gives score 0\n"), std::string::npos);
    EXPECT_EQ(built.space->time_sel, (std::vector<int>{0, 1}));
}

TEST(FastShuffle, SkipsTheStartsAnObstacleRulesOut) {
    // slot 0123|4567   A lasts 3 slots, B holds T at slot 5
    //      AAA.|.B..
    // Start 2 would cross the day's end: the scan goes on at 4, not 3.
    // Start 4 collides with B at 5: the scan goes on at 6, which crosses too.
    Built built(problemText(2, 4, resource("T"), activity("A", 3, {"T"}) + activity("B", 1, {"T"})));
    storeTimetable(built, {0, 5});
    const std::string text = shuffleLog(built, 20);
    const std::string stepA = text.substr(0, text.find("Trying with activity 1"));
    for (int t : {0, 1, 2, 4, 6})
        EXPECT_NE(stepA.find("Time = " + std::to_string(t) + " ->"), std::string::npos) << t;
    for (int t : {3, 5, 7})
        EXPECT_EQ(stepA.find("Time = " + std::to_string(t) + " ->"), std::string::npos) << t;
    EXPECT_NE(stepA.find("Time = 4 -> impossible"), std::string::npos);
}

TEST(FastShuffle, TakesTheEarliestOfEqualStarts) {
    // slot 0123   A's own cost 5 at slots 0 and 1
    //      ..A.   stays: slot 3 ties but comes later
    //      B...   C moves from 3 to 1, the earliest free start
    Built built(problemText(1, 4, resource("T"),
                            activity("A", 1, {}, {}, week("A") + prefs(soft(5, "0#1"))) +
                                activity("B", 1, {"T"}) + activity("C", 1, {"T"})));
    storeTimetable(built, {2, 0, 3});
    FastShuffle(*built.space);
    EXPECT_EQ(built.space->time_sel, (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(built.space->myScore, 0);
}

TEST(FastShuffle, PlacesAnUnassignedActivityWhenSomeStartIsFree) {
    // slot 0123
    //      AAAA   B (length 4 on T too) has no start and stays unassigned;
    //      C...   C (on U) is placed at the earliest start
    Built built(problemText(1, 4, resource("T") + resource("U"),
                            activity("A", 4, {"T"}) + activity("B", 4, {"T"}) +
                                activity("C", 1, {"U"})));
    storeTimetable(built, {0, -1, -1});
    EXPECT_EQ(built.space->myScore, 2000000);
    FastShuffle(*built.space);
    EXPECT_EQ(built.space->time_sel, (std::vector<int>{0, -1, 0}));
    EXPECT_EQ(built.space->myScore, 1000000);
    EXPECT_EQ(judgeStored(built), 1000000);
}

TEST(FastShuffle, LeavesAnActivityOutWhenEveryStartCostsMoreThanThat) {
    // B must come before A at slot 0, which no start of B can: every start
    // breaks the soft dependence, worth more than an unassigned activity.
    Built built(problemText(1, 4, "", activity("A", 1, {}) + activity("B", 1, {}),
                            dependence("B", "A", "Before", 3000000)));
    storeTimetable(built, {0, -1});
    FastShuffle(*built.space);
    EXPECT_EQ(built.space->time_sel, (std::vector<int>{0, -1}));
    EXPECT_EQ(built.space->myScore, 1000000);
}

TEST(FastShuffle, RepairsABrokenSoftDependence) {
    // A should come before B; stored the other way round it costs 7. The
    // current start of A stays a candidate although it breaks the dependence.
    Built built(problemText(1, 4, "", activity("A", 1, {}) + activity("B", 1, {}),
                            dependence("A", "B", "Before", 7)));
    storeTimetable(built, {2, 0});
    EXPECT_EQ(built.space->myScore, 7);
    FastShuffle(*built.space);
    EXPECT_EQ(built.space->myScore, 0);
    EXPECT_EQ(judgeStored(built), 0);
    EXPECT_EQ(built.space->time_sel, (std::vector<int>{0, 1}));
}

TEST(FastShuffle, TakesTheGroupMemberThatIsFreeAtTheBetterStart) {
    // slot 0123   A costs 5 at slot 2 and 3 by its own preferences
    //      B...   B holds R0 at slot 0
    //      A...   A moves from 3 to 0 and takes R1
    Built built(problemText(1, 4, resource("R0") + resource("R1"),
                            activity("A", 1, {}, {{"R0", "R1"}}, week("A") + prefs(soft(5, "2#3"))) +
                                activity("B", 1, {"R0"})));
    storeTimetable(built, {3, 0});
    ASSERT_EQ(built.space->solGrsel[0], built.resource("R0"));
    FastShuffle(*built.space);
    EXPECT_EQ(built.space->time_sel, (std::vector<int>{0, 0}));
    EXPECT_EQ(built.space->solGrsel[0], built.resource("R1"));
    EXPECT_EQ(built.space->myScore, 0);
}

TEST(FastShuffle, NeverTakesAMemberWhoseBreakRunsIntoAnotherActivity) {
    // slot 012345  (5 is the added break slot)
    //      ..B...   B holds R0 at 2; R0 needs one free slot after each use
    // A costs 5 at slot 0 (own), R1 costs 1 everywhere, R0 costs 5 at 3 and 4.
    // At slot 1 R0 looks free but its break would hit B: A takes R1 there.
    Built built(problemText(
        1, 5, resource("R0", "<Break>1</Break>" + prefs(soft(5, "3#4"))) +
                  resource("R1", prefs(soft(1, "0#4"))),
        activity("A", 1, {}, {{"R0", "R1"}}, week("A") + prefs(soft(5, "0"))) + activity("B", 1, {"R0"})));
    storeTimetable(built, {0, 2});
    ShuffleTables tables;
    Shuffler shuffler(*built.space, tables);
    int afterA = -1;
    shuffler.afterStep = [&](int a) {
        if (a == 0 && afterA < 0) afterA = built.space->time_sel[0];
    };
    shuffler.run();
    EXPECT_EQ(afterA, 1);
    EXPECT_EQ(built.space->myScore, judgeStored(built));
}

TEST(FastShuffle, HonoursMaxDays) {
    // Two days of three slots; T works on one day at most. A costs 5 on day 0.
    const std::string teacher = resource("T", "<MaxDays>1</MaxDays>");
    const std::string a = activity("A", 1, {"T"}, {}, week("A") + prefs(soft(5, "0#2")));
    {
        // B keeps T on day 0, so A cannot leave it.
        Built built(problemText(2, 3, teacher, a + activity("B", 1, {"T"})));
        storeTimetable(built, {0, 1});
        FastShuffle(*built.space);
        EXPECT_EQ(built.space->time_sel, (std::vector<int>{0, 1}));
        EXPECT_EQ(built.space->myScore, 5);
    }
    {
        // Alone on its day, A moves to day 1.
        Built built(problemText(2, 3, teacher, a));
        storeTimetable(built, {1});
        FastShuffle(*built.space);
        EXPECT_EQ(built.space->time_sel, (std::vector<int>{3}));
        EXPECT_EQ(built.space->myScore, 0);
    }
}

TEST(FastShuffle, PricesOneWeekResourcePreferencesAsTheJudgement) {
    // slot 0123   T costs 1 at slots 0 and 1; A is an even-week lesson of 2.
    // At 0 the judgement charges (1 + 1) / 2 = 1, although each slot alone
    // halves to 0; at 1 it charges 1 / 2 = 0, so A goes to 1.
    Built built(problemText(1, 4, resource("T", prefs(soft(1, "0#1"))),
                            activity("A", 2, {"T"}, {}, week("E"))));
    storeTimetable(built, {2});
    FastShuffle(*built.space);
    EXPECT_EQ(built.space->time_sel, (std::vector<int>{1}));
    EXPECT_EQ(built.space->myScore, 0);
    EXPECT_EQ(judgeStored(built), 0);
}

}  // namespace

namespace {

TEST(FastShuffle, KeepsTheJudgementOnBenchmarkProblems) {
    for (const char* name : {"small-1", "real-ro-oradea-school10", "medium-1"}) {
        QUORVEX_BENCH_PATH_OR_SKIP(path, name);
        Built built(benchmarkText(path));
        storeGreedyTimetable(built, 11);
        const int before = built.space->myScore;
        shuffleChecked(built, name);
        if (::testing::Test::HasFailure()) return;
        EXPECT_LT(built.space->myScore, before) << name;
    }
}

TEST(FastShuffle, ImprovesTheFirstApproachOfTheSearch) {
    for (const char* name : {"small-1", "real-ro-oradea-school10"}) {
        QUORVEX_BENCH_PATH_OR_SKIP(path, name);
        Built built(benchmarkText(path));
        ASSERT_TRUE(storeFirstApproach(built)) << name;
        const int before = built.space->myScore;
        ASSERT_EQ(before, judgeStored(built)) << name << ": the space's own score";
        shuffleChecked(built, name);
        if (::testing::Test::HasFailure()) return;
        EXPECT_LE(built.space->myScore, before) << name;
    }
}

TEST(FastShuffle, DetailedLogsLeaveTheResultAlone) {
    for (unsigned seed : {3u, 4u, 5u, 6u}) {
        std::vector<int> starts[2];
        std::vector<int> chosen[2];
        int scores[2];
        for (int logged = 0; logged < 2; logged++) {
            Built built(testing_support::randomProblem(seed));
            storeGreedyTimetable(built, seed);
            std::FILE* sink = std::tmpfile();
            std::FILE* saved = logStream;
            logStream = sink;
            runSettings.verbosity = logged ? 30 : 0;
            FastShuffle(*built.space);
            runSettings.verbosity = 0;
            logStream = saved;
            if (logged) {
                EXPECT_GT(std::ftell(sink), 0L);
            }
            std::fclose(sink);
            starts[logged] = built.space->time_sel;
            chosen[logged] = built.space->solGrsel;
            scores[logged] = built.space->myScore;
        }
        EXPECT_EQ(starts[0], starts[1]) << "seed " << seed;
        EXPECT_EQ(chosen[0], chosen[1]) << "seed " << seed;
        EXPECT_EQ(scores[0], scores[1]) << "seed " << seed;
    }
}

}  // namespace
