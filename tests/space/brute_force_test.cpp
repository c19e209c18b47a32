// Propagation and the judgement against a plain checker: on tiny random
// problems with room groups, every timetable that obeys the hard rules keeps
// all its starts after the first propagation, and after fixing some of its
// activities and propagating again; the judgement accepts exactly the
// timetables the checker calls valid.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "base/log.h"
#include "judge/check_solution.h"
#include "space_fixture.h"
#include "support/hard_rules.h"
#include "support/random_problem.h"

using namespace space_testing;
using testing_support::PlainTimetable;

namespace {

// Every timetable with every activity placed that keeps the hard rules.
// Activities are placed one after the other and a partial timetable that
// already breaks a rule is not extended: placing more never mends it.
void extendValid(const ProblemData& problem, PlainTimetable& timetable, int a,
                 std::vector<PlainTimetable>& result) {
    if (a == static_cast<int>(timetable.start.size())) {
        result.push_back(timetable);
        return;
    }
    const std::vector<std::vector<int>> choices = testing_support::memberChoices(problem, a);
    for (int s = 0; s < problem.nbSlots; ++s) {
        timetable.start[a] = s;
        for (const std::vector<int>& members : choices) {
            timetable.members[a] = members;
            if (testing_support::keepsHardRules(problem, timetable))
                extendValid(problem, timetable, a + 1, result);
        }
    }
    timetable.start[a] = -1;
    timetable.members[a].clear();
}

std::vector<PlainTimetable> validTimetables(const ProblemData& problem) {
    const std::size_t n = problem.activities.size();
    PlainTimetable timetable{std::vector<int>(n, -1), std::vector<std::vector<int>>(n)};
    std::vector<PlainTimetable> result;
    extendValid(problem, timetable, 0, result);
    return result;
}

struct Refused {};

// Whether the judgement accepts the timetable (a broken hard rule would end
// the program; here it throws).
bool judgementAccepts(ProblemData& problem, const PlainTimetable& timetable) {
    problem.solution.clear();
    for (std::size_t a = 0; a < timetable.start.size(); ++a) {
        SolutionEntry entry;
        entry.act = static_cast<int>(a);
        entry.start = timetable.start[a];
        entry.res = problem.activities[a].reqRes;
        entry.res.insert(entry.res.end(), timetable.members[a].begin(), timetable.members[a].end());
        problem.solution.push_back(entry);
    }
    static FILE* const nowhere = std::fopen("/dev/null", "w");
    FILE* const saved = logStream;
    logStream = nowhere;  // the framed message of a refusal
    setFatalExit([](int) { throw Refused(); });
    bool accepted = true;
    try {
        checkSolution(problem);
    } catch (const Refused&) {
        accepted = false;
    }
    setFatalExit(nullptr);
    logStream = saved;
    return accepted;
}

bool keeps(const Built& built, const PlainTimetable& timetable) {
    for (std::size_t a = 0; a < timetable.start.size(); ++a)
        if (!built.space->time[a].allows(timetable.start[a])) return false;
    return true;
}

TEST(BruteForceTest, PropagationKeepsEveryValidTimetable) {
    int withSolutions = 0;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const std::string text = testing_support::randomProblem(
            random, {.minDays = 1, .maxDays = 2, .minActivities = 2, .maxActivities = 4,
                     .maxRooms = 3, .maxGroups = 1, .preferences = false, .maxDependences = 2});
        ProblemData problem;
        testing_support::quietLogs();
        testing_support::loadProblem(text, problem);
        // An activity without any start of its own stops construction.
        const int n = static_cast<int>(problem.activities.size());
        bool startless = false;
        for (int x = 0; x < n && !startless; ++x) {
            PlainTimetable alone{std::vector<int>(n, -1), std::vector<std::vector<int>>(n)};
            bool some = false;
            for (int s = 0; s < problem.nbSlots && !some; ++s) {
                alone.start[x] = s;
                for (const auto& members : testing_support::memberChoices(problem, x)) {
                    alone.members[x] = members;
                    some = some || testing_support::keepsHardRules(problem, alone);
                }
            }
            startless = !some;
        }
        if (startless) continue;
        const std::vector<PlainTimetable> timetables = validTimetables(problem);

        // The judgement accepts exactly the timetables the checker accepts.
        for (std::size_t i = 0; i < timetables.size() && i < 30; ++i)
            ASSERT_TRUE(judgementAccepts(problem, timetables[i * timetables.size() / 30]));
        for (int i = 0; i < 30; ++i) {
            PlainTimetable any{std::vector<int>(n), std::vector<std::vector<int>>(n)};
            for (int x = 0; x < n; ++x) {
                any.start[x] = static_cast<int>(random() % problem.nbSlots);
                const auto choices = testing_support::memberChoices(problem, x);
                any.members[x] = choices[random() % choices.size()];
            }
            ASSERT_EQ(judgementAccepts(problem, any), testing_support::keepsHardRules(problem, any));
        }

        Built root(text);
        root.space->processPropagators();
        if (timetables.empty()) continue;
        ++withSolutions;
        ASSERT_EQ(root.space->state, SpaceState::open);
        for (const auto& timetable : timetables) ASSERT_TRUE(keeps(root, timetable));

        // Fix the activities of one valid timetable one by one: the timetable
        // must survive every propagation.
        const auto& chosen = timetables[random() % timetables.size()];
        Built fixing(text);
        SearchSpace& space = *fixing.space;
        space.processPropagators();
        for (std::size_t a = 0; a < chosen.start.size(); ++a) {
            space.assign(static_cast<int>(a), chosen.start[a]);
            space.processPropagators();
            ASSERT_EQ(space.state, SpaceState::open) << "after fixing activity " << a;
            ASSERT_TRUE(keeps(fixing, chosen));
        }
        space.checkSolved();
        EXPECT_EQ(space.state, SpaceState::solved);
    }
    EXPECT_GT(withSolutions, 50);
    std::printf("%d of 150 problems have a valid timetable\n", withSolutions);
}

}  // namespace
