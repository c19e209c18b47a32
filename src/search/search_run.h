#pragma once
#include <utility>
#include <vector>

#include "base/run_settings.h"
#include "improve/shuffle_tables.h"
#include "problem/problem_data.h"
#include "problem/solution_record.h"
#include "search/time_limit.h"
#include "space/search_space.h"

// The steps of one search over one space, with the clock of the timed search
// under way. runSearch builds one and runs its phases in order: first
// approach (or the initial solution), unused activities, random changes.
class SearchRun {
public:
    SearchRun(const ProblemData& problem, SolutionRecords& records, SearchSpace& space,
              const RunSettings& settings, const TimeLimit& timeLimit);

    // Greedy pass: every activity once, at its computed start with the first
    // free resources, or unassigned when that fails.
    void firstApproach();
    // Takes the problem's solution (read and judged with -i) as the timetable
    // of foundRecord and bestRecord.
    void seedFromSolution();
    // Passes of re-solves around the activities foundRecord leaves unassigned,
    // until a pass brings no improvement.
    void useUnusedActivities();
    // Re-solves around randomly chosen activities until stepsUnchanged steps
    // in a row bring no improvement.
    void changeRandomActivities(const JournalMark& root);
    // One re-solve with the activity and its friends decided last.
    void changeActivity(int activity);

    // A solved space better than foundRecord: store it, improve it by the fast
    // shuffle and store the result as bestRecord.
    void solutionFound();
    // The space fails before any decision: two activities that can never both
    // be placed constrain each other through propagation. The timetable with
    // every activity unassigned is still valid; it becomes the found solution
    // and the fast shuffle places what fits.
    void startFromEmptyTimetable();

    // Set by startFromEmptyTimetable: the space has failed before any
    // decision, so no re-solve over it can be trusted.
    bool failedAtRoot = false;

    // Seed of the random-changes phase; each step takes the first draw of a
    // stream seeded with it as the next seed.
    int randomSeed = 1234;

private:
    void timedSearch();
    void searchLevels(int level);
    void setNarrowChoices();
    void logFocus(int activity) const;

    const ProblemData& problem;
    SolutionRecords& records;
    SearchSpace& space;
    const RunSettings& settings;
    const TimeLimit timeLimit;       // the -l limit, counted from before the space was built
    ShuffleTables shuffleTables;     // working space of every fast shuffle of the run

    long long timedSearchStart = 0;  // when the current timed search began
    bool fullDepthReached = true;    // the current timed search has decided every activity once
    int maxLevel = 0;                // highest level at which it tried a second alternative
};

// Copies the space's stored solution (time_sel, solGrsel, myScore) into the
// record when it scores lower than the record.
void storeSolution(const SearchSpace& space, SolutionRecord& record);

// Reorders the space's waiting list so that the activity and its friends (the
// activities of its conflicts list) are decided last: the activity first, its
// friends next, the rest after them.
void focusActivity(SearchSpace& space, int activity,
                   const std::vector<std::pair<int, int>>& friends);
