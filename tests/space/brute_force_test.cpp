// Propagation against a plain checker: on tiny random problems every
// timetable that obeys the hard rules keeps all its starts after the first
// propagation, and after fixing some of its activities and propagating again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "space_fixture.h"

using namespace space_testing;

namespace {

struct Tiny {
    std::string text;
};

Tiny randomProblem(std::mt19937& random) {
    auto pick = [&](int n) { return static_cast<int>(random() % n); };
    const int days = 1 + pick(2), slots = 4 + pick(3);
    const int nbResources = 2 + pick(2), nbActivities = 2 + pick(3);
    std::string resources;
    for (int r = 0; r < nbResources; ++r) {
        std::string inner;
        if (pick(3) == 0) inner += "<TimePreferences><Hard>" + std::to_string(pick(days * slots)) +
                                   "</Hard></TimePreferences>";
        if (pick(3) == 0) inner += "<Break>1</Break>";
        resources += resource("R" + std::to_string(r), inner);
    }
    std::string activities;
    for (int a = 0; a < nbActivities; ++a) {
        std::vector<std::string> required = {"R" + std::to_string(pick(nbResources))};
        const std::string second = "R" + std::to_string(pick(nbResources));
        if (pick(2) == 0 && second != required[0]) required.push_back(second);
        const char week = "AAEO"[pick(4)];
        activities += activity("A" + std::to_string(a), 1 + pick(2), required, {}, week);
    }
    std::string dependences;
    const char* ops[] = {"Before", "Closely before", "Concurrently", "After", "Closely after"};
    for (int i = pick(3); i > 0; --i) {
        const int first = pick(nbActivities), second = pick(nbActivities);
        if (first == second) continue;
        dependences += dependence("A" + std::to_string(first), "A" + std::to_string(second),
                                  ops[pick(5)]);
    }
    return {problemText(days, slots, resources, activities, dependences)};
}

// The hard rules of a complete timetable, written plainly.
bool valid(const ProblemData& problem, const std::vector<int>& start) {
    const int P = problem.slotsPerDay;
    const int n = static_cast<int>(problem.activities.size());
    for (int a = 0; a < n; ++a) {
        const Activity& activity = problem.activities[a];
        const int s = start[a], e = s + activity.length - 1;
        if (e >= problem.nbSlots || s / P != e / P) return false;
        for (int u : activity.timePrefs.unavail)
            if (u >= s && u <= e) return false;
    }
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b) {
            const Activity& x = problem.activities[a];
            const Activity& y = problem.activities[b];
            if ((x.week & y.week) == 0) continue;
            for (int r : x.reqRes) {
                if (std::find(y.reqRes.begin(), y.reqRes.end(), r) == y.reqRes.end()) continue;
                const int rest = problem.resources[r].breakSlots;
                // Held with its break, the break cut at the end of the day.
                auto held = [&](int s, int length) {
                    return std::pair{s, std::min(s + length + rest - 1, s / P * P + P - 1)};
                };
                const auto [xs, xe] = held(start[a], x.length);
                const auto [ys, ye] = held(start[b], y.length);
                if (xs <= ye && ys <= xe) return false;
            }
        }
    for (const Dependence& d : problem.dependences) {
        if (d.score >= 0) continue;
        const int t1 = start[d.first], t2 = start[d.second];
        const int len1 = problem.activities[d.first].length;
        const int len2 = problem.activities[d.second].length;
        if (d.op == DependenceOp::before && t2 < t1 + len1) return false;
        if (d.op == DependenceOp::closelyBefore && (t2 < t1 + len1 || t1 / P != t2 / P)) return false;
        if (d.op == DependenceOp::concurrently && (t2 < t1 || t1 + len1 < t2 + len2)) return false;
    }
    return true;
}

std::vector<std::vector<int>> validTimetables(const ProblemData& problem) {
    const int n = static_cast<int>(problem.activities.size());
    std::vector<std::vector<int>> result;
    std::vector<int> start(n, 0);
    while (true) {
        if (valid(problem, start)) result.push_back(start);
        int i = 0;
        while (i < n && ++start[i] == problem.nbSlots) start[i++] = 0;
        if (i == n) return result;
    }
}

bool keeps(const Built& built, const std::vector<int>& timetable) {
    for (std::size_t a = 0; a < timetable.size(); ++a)
        if (!built.space->time[a].allows(timetable[a])) return false;
    return true;
}

TEST(BruteForceTest, PropagationKeepsEveryValidTimetable) {
    int withSolutions = 0;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const Tiny tiny = randomProblem(random);
        ProblemData problem;
        testing_support::quietLogs();
        testing_support::loadProblem(tiny.text, problem);
        // An activity without any start of its own stops construction.
        bool startless = false;
        for (const Activity& activity : problem.activities) {
            bool some = false;
            for (int s = 0; s + activity.length <= problem.nbSlots; ++s) {
                const int e = s + activity.length - 1;
                bool fits = s / problem.slotsPerDay == e / problem.slotsPerDay;
                for (int u : activity.timePrefs.unavail) fits = fits && (u < s || u > e);
                some = some || fits;
            }
            startless = startless || !some;
        }
        if (startless) continue;
        const std::vector<std::vector<int>> timetables = validTimetables(problem);

        Built root(tiny.text);
        root.space->processPropagators();
        if (timetables.empty()) continue;
        ++withSolutions;
        ASSERT_EQ(root.space->state, SpaceState::open);
        for (const auto& timetable : timetables) ASSERT_TRUE(keeps(root, timetable));

        // Fix the activities of one valid timetable one by one: the timetable
        // must survive every propagation.
        const auto& chosen = timetables[random() % timetables.size()];
        Built fixing(tiny.text);
        SearchSpace& space = *fixing.space;
        space.processPropagators();
        for (std::size_t a = 0; a < chosen.size(); ++a) {
            space.assign(static_cast<int>(a), chosen[a]);
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
