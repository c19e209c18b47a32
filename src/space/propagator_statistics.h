#pragma once

// Counters of the disjoint propagators of one space, reported once at the
// end of a run.
// Each pair counts all calls and the calls made while both activities were
// still unfixed.
struct PropagatorStatistics {
    int calls = 0, callsUnfixed = 0;
    int worked = 0, workedUnfixed = 0;                // calls that removed a start
    int boundsChanged = 0, boundsChangedUnfixed = 0;  // calls that moved a bound
};
