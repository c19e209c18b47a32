#pragma once
#include <string>

#include "space/space_fixture.h"
#include "support/random_problem.h"

// Problems and starting timetables for the fast shuffle tests.
namespace shuffle_testing {

// Stores a valid timetable in the space as the search driver does before a
// shuffle: time_sel, solGrsel and myScore (its judgement). Activities are
// taken in a random order, each at a random start where it breaks no hard
// rule with those placed before it, with the first free member of each
// group; an activity without such a start stays unassigned.
void storeGreedyTimetable(space_testing::Built& built, unsigned seed);

// Stores the given starts (-1 unassigned) with, for each group, the first
// member free for the whole timetable, and judges it into myScore.
void storeTimetable(space_testing::Built& built, const std::vector<int>& starts);

// Runs the first approach of the search on the space (every activity once,
// at its computed start, or unassigned when placing it fails) and stores the
// solution as the search driver does before a shuffle. False when the first
// approach fails.
bool storeFirstApproach(space_testing::Built& built);

// The judgement of the timetable held in the space's time_sel and solGrsel.
// A broken hard rule, which would end the program, fails the running test
// and returns -1.
int judgeStored(space_testing::Built& built);

}  // namespace shuffle_testing
