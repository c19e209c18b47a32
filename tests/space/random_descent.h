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

// Random decisions on a search space, for the tests of the decisions and of
// going back, and small random problems to make them on.
namespace descent_testing {

// A small random problem that uses every feature the running score covers:
// mixed weeks, breaks, soft and hard continuity, balanced days, day limits,
// groups of rooms, and hard and soft dependences of every operator. Without
// preferences and dependences a placement costs only what the balanced and
// continuity rules charge.
inline std::string generatedProblem(std::mt19937& random, bool preferencesAndDependences = true) {
    auto draw = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const int days = draw(2, 3);
    const int slotsPerDay = draw(4, 6);
    const int nbSlots = days * slotsPerDay;
    const int nbClasses = draw(1, 3), nbTeachers = draw(1, 3), nbRooms = draw(2, 4);
    const int nbActivities = draw(4, 9);
    auto number = [](int value) { return std::to_string(value); };
    // Odd soft scores make the halving for one-week activities visible.
    auto preferences = [&](int softCount, int hardCount) {
        if (!preferencesAndDependences) softCount = 0;
        std::string text = "<TimePreferences>";
        for (int i = 0; i < softCount; ++i) {
            const int from = draw(0, nbSlots - 1);
            const int to = draw(from, std::min(from + 2, nbSlots - 1));
            text += "<Soft score=\"" + number(draw(1, 9)) + "\">" + number(from) + "#" + number(to) +
                    "</Soft>";
        }
        for (int i = 0; i < hardCount; ++i) text += "<Hard>" + number(draw(0, nbSlots - 1)) + "</Hard>";
        return text + "</TimePreferences>";
    };

    std::string text = "<Timetable><Problem><General><DaysPerWeek>" + number(days) +
                       "</DaysPerWeek><SlotsPerDay>" + number(slotsPerDay) +
                       "</SlotsPerDay></General><Resources><Classrooms>";
    for (int i = 0; i < nbRooms; ++i)
        text += "<Resource id=\"R" + number(i) + "\">" + preferences(draw(0, 2), draw(0, 1)) +
                (draw(0, 3) == 0 ? "<Break>1</Break>" : "") + "</Resource>";
    text += "</Classrooms><Teachers>";
    for (int i = 0; i < nbTeachers; ++i) {
        text += "<Resource id=\"T" + number(i) + "\">" + preferences(draw(0, 3), draw(0, 1));
        if (draw(0, 2) == 0) text += "<Break>" + number(draw(1, 2)) + "</Break>";
        if (draw(0, 2) == 0) text += "<MaxDays>" + number(draw(1, days)) + "</MaxDays>";
        if (draw(0, 1) == 0) text += "<Balanced score=\"" + number(draw(1, 7)) + "\"/>";
        if (draw(0, 3) == 0) text += "<Continuous score=\"" + number(draw(1, 9)) + "\"/>";
        text += "</Resource>";
    }
    text += "</Teachers><Classes>";
    for (int i = 0; i < nbClasses; ++i) {
        text += "<Resource id=\"C" + number(i) + "\">" + preferences(draw(0, 2), 0);
        const int continuity = draw(0, 3);
        if (continuity == 0) text += "<Continuous/>";
        if (continuity == 1 || continuity == 2)
            text += "<Continuous score=\"" + number(draw(1, 9)) + "\"/>";
        if (draw(0, 3) == 0) text += "<Break>1</Break>";
        if (draw(0, 3) == 0) text += "<Balanced score=\"" + number(draw(1, 5)) + "\"/>";
        text += "</Resource>";
    }
    text += "</Classes></Resources><Activities>";
    static const char* const weeks[] = {"A", "E", "O"};
    for (int a = 0; a < nbActivities; ++a) {
        text += "<Activity id=\"A" + number(a) + "\"><Length>" + number(draw(0, 3) == 0 ? 2 : 1) +
                "</Length><Week>" + weeks[draw(0, 2)] + "</Week>" + preferences(draw(0, 2), 0) +
                "<RequiredResources><Resource>C" + number(draw(0, nbClasses - 1)) + "</Resource>";
        if (draw(0, 3) != 0) text += "<Resource>T" + number(draw(0, nbTeachers - 1)) + "</Resource>";
        // Two groups of one activity take disjoint halves of the rooms.
        const int groups = draw(0, 2);
        for (int g = 0; g < groups; ++g) {
            const int half = nbRooms / 2;
            const int from = groups == 2 && g == 1 ? half : 0;
            const int to = groups == 2 && g == 0 ? half : nbRooms;
            text += "<Group>";
            for (int r = from; r < to; ++r) text += "<Resource>R" + number(r) + "</Resource>";
            text += "</Group>";
        }
        text += "</RequiredResources></Activity>";
    }
    text += "</Activities>";
    static const char* const operators[] = {"Before", "Closely before", "After", "Closely after",
                                            "Concurrently"};
    const int nbDependences = preferencesAndDependences ? draw(0, 4) : 0;
    if (nbDependences > 0) {
        text += "<Dependences>";
        for (int i = 0; i < nbDependences; ++i) {
            const int first = draw(0, nbActivities - 1);
            int second = draw(0, nbActivities - 2);
            if (second >= first) ++second;
            // Mostly soft: hard ones often make a small problem contradictory.
            const bool hard = draw(0, 3) == 0;
            text += std::string("<Dependence") +
                    (hard ? "" : " score=\"" + number(draw(1, 40)) + "\"") + "><FirstActivity>A" +
                    number(first) + "</FirstActivity><SecondActivity>A" + number(second) +
                    "</SecondActivity><Operator>" + operators[draw(0, 4)] + "</Operator></Dependence>";
        }
        text += "</Dependences>";
    }
    return text + "</Problem></Timetable>\n";
}

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

    // True when it stopped with every activity decided (state 2), at
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
