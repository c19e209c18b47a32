#include "search/search_driver.h"

#include "base/log.h"
#include "base/random_stream.h"
#include "base/run_settings.h"
#include "search/search_run.h"
#include "search/time_limit.h"
#include "space/search_space.h"

namespace {

// The phases over one built space. A failure of the space raised outside a
// timed search escapes to runSearch.
PropagatorStatistics searchPhases(const ProblemData& problem, SolutionRecords& records,
                                  const RunSettings& settings) {
    if (logLevel(10)) logPrint("Creating space\n");
    const TimeLimit timeLimit(settings.timeLimit);
    SearchSpace space(problem, records, searchSeed);
    allocateRecords(records, problem);
    SearchRun run(problem, records, space, settings, timeLimit);

    space.processPropagators();
    const JournalMark root = space.takeMark();
    if (!settings.initialSolution) {
        if (logLevel(10)) logPrint("Searching solution\nFirst approach\n");
        run.firstApproach();
        space.goBack(root);
    } else {
        run.seedFromSolution();
    }

    if (!run.failedAtRoot) {
        if (logLevel(10)) logPrint("Trying to use unused activities\n");
        run.useUnusedActivities();

        if (logLevel(10)) logPrint("Trying to change random activities\n");
        run.changeRandomActivities(root);
    }

    // The timetable written is bestRecord's, the fast shuffle's improvement of
    // the last solution found, so its score is the one to report.
    if (logLevel(10)) logPrint("Best score: %d\n", records.best.score());
    return space.disjointStatistics;
}

}  // namespace

PropagatorStatistics runSearch(const ProblemData& problem, SolutionRecords& records,
                               const RunSettings& settings) {
    int failure = 0;
    try {
        return searchPhases(problem, records, settings);
    } catch (const Contradiction& contradiction) {
        failure = contradiction.activity;  // the space is destroyed by now
    } catch (const BoundReached&) {
        failure = -1;
    }
    fatalError("Unexpected exception %d (internal error)", failure);
}

SearchRun::SearchRun(const ProblemData& problem, SolutionRecords& records, SearchSpace& space,
                     const RunSettings& settings, const TimeLimit& timeLimit)
    : problem(problem), records(records), space(space), settings(settings), timeLimit(timeLimit) {}

void SearchRun::firstApproach() {
    bool decided = false;
    for (;;) {
        space.prepareFirst();
        space.processPropagators();
        if (space.state == SpaceState::open) {
            space.processPropagators();
            const JournalMark mark = space.takeMark();
            space.commitFirst(0);
            decided = true;
            space.processPropagators();
            if (space.state == SpaceState::failed) {
                // It cannot go where the greedy choice put it: leave it unassigned.
                space.goBack(mark);
                space.commitFirst(1);
            }
            continue;
        }
        if (space.state == SpaceState::solved) {
            solutionFound();
            return;
        }
        if (!decided) {
            startFromEmptyTimetable();
            return;
        }
        fatalError("Can not find solution (contradictory condicions)\nFailed on activity: %d[%s]",
                   space.failedVar, problem.activityName(space.failedVar));
    }
}

void SearchRun::useUnusedActivities() {
    space.processPropagators();
    const JournalMark root = space.takeMark();
    int previous = SolutionRecord::noScore;
    for (;;) {
        if (records.found.score() < 1) return;
        if (logLevel(10)) logPrint("Starting new pass\n");
        const int current = records.found.score();
        if (previous <= current) {
            if (logLevel(10)) logPrint("score=%d, prev=%d\n", current, previous);
            return;
        }
        if (logLevel(10)) logPrint("Current score is %d\n", current);

        // Taken once: improvements during the pass do not change the list.
        std::vector<int> unassigned;
        for (int a = 0; a < static_cast<int>(problem.activities.size()); ++a)
            if (records.found.start()[a] < 0) unassigned.push_back(a);

        for (int a : unassigned) {
            changeActivity(a);
            space.goBack(root);
            if (settings.stopRequested || timeLimit.reached()) return;
        }
        previous = current;
    }
}

void SearchRun::changeRandomActivities(const JournalMark& root) {
    const int nbActivities = static_cast<int>(problem.activities.size());
    int steps = 0;
    while (steps < settings.stepsUnchanged && !settings.stopRequested) {
        if (timeLimit.reached()) break;
        const int before = records.found.score();
        if (before > 0 && nbActivities > 0) {
            randomSeed = firstDraw(static_cast<unsigned>(randomSeed));
            changeActivity(randomSeed % nbActivities);
            space.goBack(root);
        }
        steps = records.found.score() < before ? 1 : steps + 1;
    }
}

void SearchRun::changeActivity(int activity) {
    copyRecord(records.suggestion, records.best);
    const auto& friends = problem.activities[activity].conflicts;
    focusActivity(space, activity, friends);
    if (logLevel(10))
        logPrint("Trying with activity %d [%s] (and %d friends)\n", activity,
                 problem.activityName(activity), static_cast<int>(friends.size()) - 1);
    setNarrowChoices();
    timedSearch();
}

// Without dependences, once the fast shuffle has improved on the last solution
// found, a re-solve tries only the suggested start and leaving the activity
// unassigned at first, and only the suggested resource.
void SearchRun::setNarrowChoices() {
    records.narrowChoices =
        problem.dependences.empty() && records.best.score() < records.found.score();
}
