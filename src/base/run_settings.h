#pragma once
#include <atomic>

// The settings of one run, read by every part of the program.
struct RunSettings {
    int verbosity = 10;            // a log line of level N is printed when verbosity >= N
    bool showScores = false;       // -s: print the score of each better solution and the final one
    bool initialSolution = false;  // -i: the search starts from a solution read from a file
    std::atomic<int> stopRequested{0};  // set to 1 by a stop signal or the stdin watcher; never cleared
    int stopAfter = 5;             // seconds of one timed search (quorvex.cfg STOPAFTER)
    int stepsUnchanged = 25;       // random steps without improvement before the search ends
    int timeLimit = -1;            // -l: seconds of search, negative for no limit
};

// The settings of this run of the program. The parts of a search read them
// through a reference handed to them; the log's level test reads this one.
extern RunSettings runSettings;

// True when a log line of the given level is to be printed.
inline bool logLevel(int level) { return runSettings.verbosity >= level; }
