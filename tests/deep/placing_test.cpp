// Conflict-directed placing: every activity of a solvable school placed,
// activities that cannot fit left out, and no hard rule broken on the way.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "deep/placer.h"
#include "deep_fixture.h"
#include "support/problem_fixture.h"
#include "support/problem_text.h"

using deep_testing::judge;
using deep_testing::Loaded;
using problem_text::activity;
using problem_text::dependence;
using problem_text::problemText;
using problem_text::resource;

namespace {

std::string fileText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Places until nothing is left to place or the steps run out.
void placeAll(Timetable& timetable, Placer& placer, long long steps) {
    while (placer.hasWork() && timetable.unassignedCount() > 0 && placer.steps < steps)
        placer.step();
}

}  // namespace

TEST(DeepPlacing, PlacesEveryActivityOfTheExampleSchool) {
    Loaded loaded(fileText(testing_support::sourcePath("examples/school.xml")));
    for (unsigned seed = 1; seed <= 5; ++seed) {
        Timetable timetable(loaded.facts);
        Random random(seed);
        Placer placer(timetable, random);
        placeAll(timetable, placer, 100000);
        EXPECT_EQ(timetable.unassignedCount(), 0) << "seed " << seed;
        EXPECT_EQ(timetable.score(), judge(loaded.problem, timetable));
    }
}

TEST(DeepPlacing, PlacesEveryLessonOfATightBenchmarkSchool) {
    QUORVEX_BENCH_PATH_OR_SKIP(path, "real-es-secondary");
    ProblemData problem;
    testing_support::quietLogs();
    testing_support::loadProblemFile(path, problem);
    const Facts facts(problem);
    Timetable timetable(facts);
    Random random(1);
    Placer placer(timetable, random);
    placeAll(timetable, placer, 20000000);
    EXPECT_EQ(timetable.unassignedCount(), 0);
    EXPECT_EQ(timetable.score(), judge(problem, timetable));
}

TEST(DeepPlacing, LeavesOutWhatCannotFit) {
    // A and B share their teacher on one day of four slots and are three
    // slots long: one of them stays unassigned. D has no start at all (its
    // teacher is unavailable all day) and is never tried.
    const std::string text = problemText(
        1, 4,
        resource("T") + resource("U", "<TimePreferences><Hard>0#3</Hard></TimePreferences>") +
            resource("C1") + resource("C2"),
        activity("A", 3, {"T", "C1"}) + activity("B", 3, {"T", "C2"}) +
            activity("C", 1, {"C1"}) + activity("D", 1, {"U"}));
    Loaded loaded(text);
    EXPECT_TRUE(loaded.facts.activities[3].starts.empty());
    Timetable timetable(loaded.facts);
    Random random(3);
    Placer placer(timetable, random);
    for (int step = 0; step < 1000 && placer.hasWork(); ++step) placer.step();
    EXPECT_EQ(timetable.unassignedCount(), 2);
    EXPECT_FALSE(timetable.placed(3));
    EXPECT_TRUE(timetable.placed(0) != timetable.placed(1));
    EXPECT_EQ(timetable.score(), judge(loaded.problem, timetable));
}

TEST(DeepPlacing, EmptiesADayOfAResourceAtItsDayLimit) {
    // T may work one day; A is pinned to day 0 and B to day 1 by their own
    // availability. Whichever comes second takes the day of the first out.
    const std::string text = problemText(
        2, 2, resource("T", "<MaxDays>1</MaxDays>"),
        activity("A", 1, {"T"}, {}, "<TimePreferences><Avail>0#1</Avail></TimePreferences>") +
            activity("B", 1, {"T"}, {}, "<TimePreferences><Avail>2#3</Avail></TimePreferences>"));
    Loaded loaded(text);
    Timetable timetable(loaded.facts);
    Random random(1);
    Placer placer(timetable, random);
    for (int step = 0; step < 20; ++step) {
        placer.step();
        EXPECT_EQ(timetable.unassignedCount(), 1);
        EXPECT_EQ(timetable.score(), judge(loaded.problem, timetable));
    }
}

TEST(DeepPlacing, PlacesActivitiesThatMustStartTogetherAsOneBlock) {
    // A, B and C are tied by hard Concurrently dependences (A with B, C with
    // B) and so start together; T2 cannot teach in the first two slots, so
    // the block goes to slot 2 or 3. E keeps T1 busy in one of those.
    const std::string text = problemText(
        1, 4,
        resource("T1") + resource("T2", "<TimePreferences><Hard>0#1</Hard></TimePreferences>") +
            resource("T3"),
        activity("A", 1, {"T1"}) + activity("B", 1, {"T2"}) + activity("C", 1, {"T3"}) +
            activity("E", 1, {"T1"}, {}, "<TimePreferences><Avail>2#3</Avail></TimePreferences>"),
        dependence("A", "B", "Concurrently") + dependence("C", "B", "Concurrently"));
    Loaded loaded(text);
    EXPECT_EQ(loaded.facts.activities[0].block.size(), 3u);
    for (unsigned seed = 1; seed <= 10; ++seed) {
        Timetable timetable(loaded.facts);
        Random random(seed);
        Placer placer(timetable, random);
        placeAll(timetable, placer, 1000);
        ASSERT_EQ(timetable.unassignedCount(), 0) << "seed " << seed;
        EXPECT_EQ(timetable.start(0), timetable.start(1));
        EXPECT_EQ(timetable.start(1), timetable.start(2));
        EXPECT_GE(timetable.start(0), 2);
        EXPECT_EQ(timetable.score(), judge(loaded.problem, timetable));
    }
}
