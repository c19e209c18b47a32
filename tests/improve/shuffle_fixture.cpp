#include "improve/shuffle_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "base/log.h"
#include "judge/check_solution.h"
#include "support/hard_rules.h"

using space_testing::Built;
using testing_support::PlainTimetable;
using namespace problem_text;

namespace shuffle_testing {

namespace {

using Random = std::mt19937;

int draw(Random& random, int from, int to) {
    return std::uniform_int_distribution<int>(from, to)(random);
}
// The timetable as the judgement reads it: each activity with its start, its
// directly required resources and the chosen member of each group.
void putTimetable(Built& built) {
    ProblemData& problem = built.problem;
    const SearchSpace& space = *built.space;
    problem.solution.clear();
    for (std::size_t a = 0; a < problem.activities.size(); a++) {
        const Activity& act = problem.activities[a];
        SolutionEntry entry;
        entry.act = static_cast<int>(a);
        entry.start = space.time_sel[a];
        if (entry.start >= 0) {
            entry.res = act.reqRes;
            for (std::size_t k = 0; k < act.reqGroups.size(); k++)
                entry.res.push_back(space.solGrsel[act.grsel + k]);
        }
        problem.solution.push_back(entry);
    }
}

struct FatalStop {};
void throwOnFatal(int) { throw FatalStop{}; }

// The first choice of members with which activity a can start at t beside
// the activities of timetable, or false when there is none.
bool fits(const ProblemData& problem, PlainTimetable& timetable, int a, int t) {
    timetable.start[a] = t;
    for (const std::vector<int>& members : testing_support::memberChoices(problem, a)) {
        timetable.members[a] = members;
        if (testing_support::keepsHardRules(problem, timetable)) return true;
    }
    timetable.start[a] = -1;
    timetable.members[a].clear();
    return false;
}

// Puts the timetable into the space as the search driver stores a solution.
void storeIn(SearchSpace& space, const ProblemData& problem, const PlainTimetable& timetable) {
    space.time_sel = timetable.start;
    space.solGrsel.assign(problem.nbGrsel, -1);
    for (std::size_t a = 0; a < timetable.start.size(); a++) {
        if (timetable.start[a] < 0) continue;
        const std::vector<int>& members = timetable.members[a];
        for (std::size_t k = 0; k < members.size(); k++)
            space.solGrsel[problem.activities[a].grsel + k] = members[k];
    }
}

PlainTimetable emptyTimetable(const ProblemData& problem) {
    const std::size_t n = problem.activities.size();
    return PlainTimetable{std::vector<int>(n, -1), std::vector<std::vector<int>>(n)};
}

}  // namespace

int judgeStored(Built& built) {
    putTimetable(built);
    setFatalExit(throwOnFatal);
    int score = -1;
    try {
        score = checkSolution(built.problem);
    } catch (const FatalStop&) {
        ADD_FAILURE() << "the timetable breaks a hard rule";
    }
    setFatalExit(nullptr);
    return score;
}

void storeGreedyTimetable(Built& built, unsigned seed) {
    const ProblemData& problem = built.problem;
    Random random(seed);
    const int n = static_cast<int>(problem.activities.size());
    std::vector<int> order(n);
    for (int a = 0; a < n; a++) order[a] = a;
    std::shuffle(order.begin(), order.end(), random);

    PlainTimetable timetable = emptyTimetable(problem);
    for (int a : order) {
        const int first = draw(random, 0, problem.nbSlots - 1);
        for (int i = 0; i < problem.nbSlots; i++)
            if (fits(problem, timetable, a, (first + i) % problem.nbSlots)) break;
    }
    storeIn(*built.space, problem, timetable);
    built.space->myScore = judgeStored(built);
}

void storeTimetable(Built& built, const std::vector<int>& starts) {
    const ProblemData& problem = built.problem;
    PlainTimetable timetable = emptyTimetable(problem);
    for (std::size_t a = 0; a < starts.size(); a++) {
        if (starts[a] < 0) continue;
        if (!fits(problem, timetable, static_cast<int>(a), starts[a]))
            ADD_FAILURE() << "activity " << a << " cannot start at " << starts[a];
    }
    storeIn(*built.space, problem, timetable);
    built.space->myScore = judgeStored(built);
}

bool storeFirstApproach(Built& built) {
    SearchSpace& space = *built.space;
    space.processPropagators();
    for (;;) {
        space.prepareFirst();
        space.processPropagators();
        if (space.state != SpaceState::open) break;
        space.processPropagators();
        const JournalMark mark = space.takeMark();
        space.commitFirst(0);
        space.processPropagators();
        if (space.state == SpaceState::failed) {
            space.goBack(mark);
            space.commitFirst(1);
        }
    }
    if (space.state != SpaceState::solved) return false;
    const int n = static_cast<int>(built.problem.activities.size());
    space.time_sel.assign(n, -1);
    for (int i = 0; i < n; i++)
        if (space.used[i]) space.time_sel[i] = space.time[i].min;
    space.solGrsel = space.grsel;
    return true;
}

}  // namespace shuffle_testing
