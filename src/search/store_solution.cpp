#include <algorithm>
#include <climits>

#include "base/log.h"
#include "base/run_settings.h"
#include "improve/fast_shuffle.h"
#include "search/search_run.h"

void storeSolution(const SearchSpace& space, SolutionRecord& record) {
    if (space.myScore >= record.score()) return;
    record.score() = space.myScore;
    const int nbGrsel = static_cast<int>(space.solGrsel.size());
    for (int j = 0; j < nbGrsel; ++j) record.grsel()[j] = space.solGrsel[j];
    const int nbActivities = static_cast<int>(space.time_sel.size());
    for (int i = 0; i < nbActivities; ++i) {
        record.start()[i] = space.time_sel[i];
        if (space.time_sel[i] >= 0) continue;
        // An unassigned activity holds no resource of its groups.
        const Activity& activity = space.problem.activities[i];
        for (std::size_t k = 0; k < activity.reqGroups.size(); ++k)
            record.grsel()[activity.grsel + k] = -1;
    }
}

void SearchRun::solutionFound() {
    if (space.myScore >= records.found.score() || space.state != SpaceState::solved) return;
    if (logLevel(10)) logPrint("Found solution, score=%d\n", space.myScore);

    const int nbActivities = static_cast<int>(problem.activities.size());
    for (int i = 0; i < nbActivities; ++i)
        space.time_sel[i] = space.used[i] ? space.time[i].min : -1;
    space.solGrsel = space.grsel;
    if (settings.showScores) logPrint("%d\n", space.myScore);

    storeSolution(space, records.found);
    FastShuffle(space, shuffleTables);
    storeSolution(space, records.best);
}

void SearchRun::startFromEmptyTimetable() {
    const int nbActivities = static_cast<int>(problem.activities.size());
    if (nbActivities > INT_MAX / unassignedCost)
        fatalError("Score too large to count (too many unassigned activities)");
    if (logLevel(10))
        logPrint("Activity %d [%s] can not be placed beside the others; starting from a timetable "
                 "without placed activities\n",
                 space.failedVar, problem.activityName(space.failedVar));
    failedAtRoot = true;
    space.time_sel.assign(nbActivities, -1);
    space.solGrsel.assign(problem.nbGrsel, -1);
    space.myScore = nbActivities * unassignedCost;
    if (settings.showScores) logPrint("%d\n", space.myScore);

    storeSolution(space, records.found);
    FastShuffle(space, shuffleTables);
    storeSolution(space, records.best);
}

void SearchRun::seedFromSolution() {
    SolutionRecord& found = records.found;
    for (const SolutionEntry& entry : problem.solution) {
        const Activity& activity = problem.activities[entry.act];
        found.start()[entry.act] = entry.start;
        if (entry.start < 0) {
            for (std::size_t k = 0; k < activity.reqGroups.size(); ++k)
                found.grsel()[activity.grsel + k] = -1;
            continue;
        }
        // Each used resource fills the first of the activity's groups that
        // holds it; directly required resources are not recorded.
        for (int resource : entry.res) {
            for (std::size_t k = 0; k < activity.reqGroups.size(); ++k) {
                const std::vector<int>& members = problem.groups[activity.reqGroups[k]].resources;
                if (std::find(members.begin(), members.end(), resource) != members.end()) {
                    found.grsel()[activity.grsel + k] = resource;
                    break;
                }
            }
        }
    }
    found.score() = records.initialScore;
    copyRecord(records.best, found);
}
