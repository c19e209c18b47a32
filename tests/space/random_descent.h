#pragma once
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

#include "base/log.h"
#include "problem/problem_data.h"
#include "space/search_space.h"
#include "support/random_problem.h"

// Random decisions on a search space, for the tests of the decisions and of
// going back.
namespace descent_testing {

// Decides activities depth first, each alternative in random order; a branch
// that fails is undone and the next alternative tried. Marks are taken as the
// search driver takes them: after propagation, before each commit.
struct RandomDescent {
    std::mt19937 random;
    int nodeLimit = 4000;     // gives up (and undoes everything) beyond this many nodes
    int maxDepth = -1;        // stops at this depth, as if the timetable were complete
    int markDepth = -1;       // takes midMark the first time a node of this depth is prepared
    bool stopAtMark = false;  // and stops there
    std::optional<JournalMark> midMark;
    bool markLost = false;  // the descent went back above the marked node
    int nodes = 0;

    explicit RandomDescent(unsigned seed) : random(seed) {}

    // True when it stopped with every activity decided (solved), at
    // maxDepth, or at the mark; the space then holds that path. False when no
    // complete path was found: the space is back where it started.
    bool run(SearchSpace& space, int depth = 0) {
        space.processPropagators();
        if (space.state != SpaceState::open) return false;
        if (depth == maxDepth) return true;
        if (++nodes > nodeLimit) return false;

        const int alternatives = space.prepareImprove();
        space.processPropagators();
        if (space.state == SpaceState::solved) return true;
        if (space.state == SpaceState::failed) return false;
        if (depth == markDepth && !midMark) {
            midMark = space.takeMark();
            if (stopAtMark) return true;
        }

        // Choice values: a position in the candidate list for a resource, a
        // start or nbSlots (unused) for an activity.
        std::vector<int> choices;
        if (!space.levels.back().pending.empty()) {
            for (int k = 0; k < alternatives; ++k) choices.push_back(k);
        } else {
            const TimeVar& var = space.time[space.levels.back().activity];
            for (int s = var.nextAllowed(0); s >= 0; s = var.nextAllowed(s + 1)) choices.push_back(s);
            choices.push_back(space.problem.nbSlots);
        }
        std::shuffle(choices.begin(), choices.end(), random);
        for (int choice : choices) {
            space.processPropagators();
            const JournalMark mark = space.takeMark();
            space.commitImprove(choice);
            if (run(space, depth + 1)) return true;
            space.goBack(mark);
            if (midMark && depth < markDepth) markLost = true;
            if (nodes > nodeLimit) return false;
        }
        return false;
    }
};

// The space's timetable as the problem's solution: one entry per activity
// with its start (-1 unless placed) and the resources it uses.
inline void storeTimetable(const SearchSpace& space, ProblemData& problem) {
    problem.solution.clear();
    for (std::size_t a = 0; a < problem.activities.size(); ++a) {
        const Activity& activity = problem.activities[a];
        SolutionEntry entry;
        entry.act = static_cast<int>(a);
        entry.start = space.used[a] ? space.time[a].min : -1;
        if (entry.start >= 0) {
            entry.res = activity.reqRes;
            for (std::size_t k = 0; k < activity.reqGroups.size(); ++k)
                entry.res.push_back(space.grsel[activity.grsel + k]);
        }
        problem.solution.push_back(entry);
    }
}

// Turns a fatal error into an exception while it lives, so that a broken hard
// rule found by the judgement fails the test instead of ending the program.
struct FatalErrorsThrow {
    FatalErrorsThrow() {
        setFatalExit([](int) { throw std::runtime_error("fatal error"); });
    }
    ~FatalErrorsThrow() { setFatalExit(nullptr); }
};

// Names the seed of the running case when a bookkeeping assertion aborts the
// test program.
inline char abortMessage[64];
inline void reportSeedOnAbort(unsigned seed) {
    std::snprintf(abortMessage, sizeof abortMessage, "failing seed %u\n", seed);
    std::signal(SIGABRT, [](int) {
        const ssize_t written = write(2, abortMessage, std::char_traits<char>::length(abortMessage));
        (void)written;
        std::signal(SIGABRT, SIG_DFL);
        std::raise(SIGABRT);
    });
}

}  // namespace descent_testing
