#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

#include "deep/changes.h"
#include "deep/facts.h"
#include "deep/placer.h"
#include "deep/polisher.h"
#include "deep/random.h"
#include "deep/shared_best.h"
#include "deep/timetable.h"

// One search of the deep search, on one thread, in attempts: each attempt
// places while activities are unassigned and polishes once every activity is
// placed (or no more can be); an attempt whose polishing no longer finds a
// better timetable gives way to a new one from the start. Every timetable
// better than the shared best is offered to it. The search owns all its
// state; only the shared best and the stop flag are shared.
// How a search paces its placing. Searches side by side take different
// ones: one school is placed by long walks of lessons pushing each other
// out, another only after lessons are taken out and placed anew.
struct SearchStrategy {
    double ruinWait = 1;  // times the usual wait before a ruin
    double aging = 1;     // times the usual steps between halvings of the conflict counts
};

class Searcher {
public:
    using Strategy = SearchStrategy;
    // The strategy of the search at this place among those side by side.
    static Strategy portfolio(int index);

    // Starts from the solution entries when given (a judged timetable), else
    // from the timetable with every activity unassigned.
    Searcher(const Facts& facts, std::uint64_t seed, const std::vector<SolutionEntry>* initial,
             const Strategy& strategy = Strategy());

    // Runs until stop is set, the shared best scores 0, or after stepLimit
    // steps (when not negative). The steps and the timetables reached depend
    // only on the seed: the clock is never read.
    void run(SharedBest& best, const std::atomic<bool>& stop, long long stepLimit);

    const Timetable& timetable() const { return current; }
    const Placer& placing() const { return placer; }
    const Polisher& polishing() const { return polisher; }
    long long attempts = 1;
    long long ruins = 0;

private:
    void beginAttempt();
    void stopPlacing();
    void ruin();
    long long firstRuinWait() const;
    void checkScore();
    // Offers the current timetable to the shared best, as it is when it
    // keeps every hard rule, else with the activities it owes a school rule
    // taken out (now and then: that costs).
    void offer(SharedBest& best, long long step, bool now);

    const Strategy strategy;
    Random random;
    Timetable current;
    std::vector<int> startStarts, startMembers;  // the timetable every attempt begins with
    Placer placer;
    Polisher polisher;
    Changes repair;  // takes out what a timetable owes the rules, and puts it back
    std::vector<int> takenOut;
    bool isPlacing = true;
    int fewestUnassigned = 0;
    long long stepsWithoutFewer = 0;
    int fewestSinceRuin = 0;
    long long stepsSinceRuinBetter = 0;
    long long ruinWait = 0;   // steps without coming nearer before the next ruin
    bool ruinHelped = true;   // fewer unassigned than ever since the last ruin
    long long polishingSteps = 0;
    long long stepsSinceBetter = 0;
    long long lastRepair = -1000000;  // step of the last repaired offer
    bool pendingOffer = false;        // a better timetable waits for its repair
    SharedBest* sharedBest = nullptr;
    // The best timetable of the current attempt.
    long long attemptBest = 0;
    std::vector<int> bestStarts, bestMembers;
    std::vector<SolutionEntry> judged;  // the timetable as the judgement reads it, in checks
};
