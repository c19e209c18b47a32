#include <algorithm>

#include "base/log.h"
#include "base/run_settings.h"
#include "search/search_run.h"
#include "search/time_limit.h"

namespace {
// Thrown when the budget of a timed search is spent; unwinds the whole
// descent at once.
struct TimeBudgetSpent {};
}  // namespace

// A re-solve: depth-first branch and bound from the root, the focused
// activities decided last, bounded by foundRecord's score and by a budget of
// 2 x stopAfter seconds until the first complete descent, stopAfter after it.
void SearchRun::timedSearch() {
    timedSearchStart = currentSeconds();
    fullDepthReached = false;
    maxLevel = 0;
    try {
        searchLevels(space.noOfWaiting);
    } catch (const TimeBudgetSpent&) {
        // The budget ran out. The space stays as it was; the caller goes back.
        if (logLevel(10)) logPrint("Time passed -> break (max level = %d)\n", maxLevel);
    }
}

// One node of the search; level counts the activities still to decide on this
// path.
void SearchRun::searchLevels(int level) {
    if (space.levels.back().pending.empty() && logLevel(19))
        logPrint("Level = %d, score = %d\n", level, space.myScore);

    const long long now = currentSeconds();
    const long long budget = settings.stopAfter;
    if ((fullDepthReached && now >= timedSearchStart + budget) ||
        now >= timedSearchStart + 2 * budget)
        throw TimeBudgetSpent();
    if (level == 0) fullDepthReached = true;

    int alternatives = space.prepareImprove();
    const bool resourceDecision = !space.levels.back().pending.empty();
    const int newLevel = resourceDecision ? level : level - 1;

    space.processPropagators();
    if (space.state == SpaceState::solved) {
        solutionFound();
        return;
    }
    if (space.state == SpaceState::failed) {
        if (logLevel(20)) logPrint("Fail\n");
        return;
    }
    if (space.myScore >= records.found.score()) return;
    if (records.narrowChoices) alternatives = std::min(alternatives, resourceDecision ? 1 : 2);

    int choice = -1;
    for (int i = 0; i < alternatives; ++i) {
        if (i == 1 && level > maxLevel) maxLevel = level;
        space.processPropagators();
        const JournalMark mark = space.takeMark();
        choice = space.commitImprove(choice);
        searchLevels(newLevel);
        space.goBack(mark);
    }
}
