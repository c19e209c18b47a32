#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

#include "deep/facts.h"
#include "deep/placer.h"
#include "deep/polisher.h"
#include "deep/random.h"
#include "deep/shared_best.h"
#include "deep/timetable.h"

// One search of the deep search, on one thread: placing while activities are
// unassigned, polishing once every activity is placed (or no more can be),
// offering every timetable better than its own best so far. It owns all its
// state; only the shared best and the stop flag are shared.
class Searcher {
public:
    // Starts from the solution entries when given (a judged timetable), else
    // from the timetable with every activity unassigned.
    Searcher(const Facts& facts, std::uint64_t seed, const std::vector<SolutionEntry>* initial);

    // Runs until stop is set, the shared best scores 0, or after stepLimit
    // steps (when not negative). The steps and the timetables reached depend
    // only on the seed: the clock is never read.
    void run(SharedBest& best, const std::atomic<bool>& stop, long long stepLimit);

    const Timetable& timetable() const { return current; }
    const Placer& placing() const { return placer; }
    const Polisher& polishing() const { return polisher; }

private:
    void stopPlacing();

    Random random;
    Timetable current;
    Placer placer;
    Polisher polisher;
    bool isPlacing = true;
    long long bestScore;
    int fewestUnassigned;
    long long stepsWithoutFewer = 0;
    long long polishingSteps = 0;
    long long stepsSinceBetter = 0;
    std::vector<int> bestStarts, bestMembers;
};
