#include "deep/searcher.h"

#include <climits>

#include "base/log.h"
#include "judge/check_solution.h"

namespace {

// Placing that has not lowered the number of unassigned activities for this
// many steps gives way to polishing for a while; some activities may not fit
// at all.
long long placingPatience(const Facts& facts) { return 100000 + 50LL * facts.nbActivities; }
// Polishing steps between two rounds of placing while activities are left
// unassigned.
constexpr long long polishingRound = 200000;
constexpr int historyLength = 1000;
// An attempt whose polishing has not bettered its best for this many steps
// is over. Late acceptance stays in one valley once it has settled there;
// placing anew from the start and polishing again reaches others, and each
// attempt is short next to the time a run is usually given.
long long attemptPatience(const Facts& facts) { return 1000000 + 2000LL * facts.nbActivities; }

Timetable startingTimetable(const Facts& facts, const std::vector<SolutionEntry>* initial) {
    Timetable timetable(facts);
    if (initial) timetable.readFrom(*initial);
    return timetable;
}

}  // namespace

Searcher::Searcher(const Facts& facts, std::uint64_t seed,
                   const std::vector<SolutionEntry>* initial)
    : random(seed),
      current(startingTimetable(facts, initial)),
      placer(current, random),
      polisher(current, random, historyLength) {
    current.save(startStarts, startMembers);
    beginAttempt();
}

void Searcher::beginAttempt() {
    current.restore(startStarts, startMembers);
    placer.startOver();
    attemptBest = current.score();
    current.save(bestStarts, bestMembers);
    fewestUnassigned = current.unassignedCount();
    stepsWithoutFewer = stepsSinceBetter = polishingSteps = 0;
    isPlacing = current.unassignedCount() > 0;
    if (!isPlacing) polisher.restart();
}

void Searcher::run(SharedBest& best, const std::atomic<bool>& stop, long long stepLimit) {
    for (long long step = 0; step != stepLimit; ++step) {
        if (stop.load(std::memory_order_relaxed) || best.score() == 0) return;
        if (isPlacing) {
            placer.step();
            if (current.unassignedCount() < fewestUnassigned) {
                fewestUnassigned = current.unassignedCount();
                stepsWithoutFewer = 0;
            } else if (++stepsWithoutFewer > placingPatience(current.facts)) {
                stopPlacing();
            }
            if (current.unassignedCount() == 0) stopPlacing();
        } else {
            polisher.step();
            if (++stepsSinceBetter >= attemptPatience(current.facts)) {
                ++attempts;
                beginAttempt();
            } else if (current.unassignedCount() > 0 && ++polishingSteps >= polishingRound) {
                polishingSteps = 0;
                stepsWithoutFewer = 0;
                isPlacing = placer.hasWork();
            }
        }
#ifndef NDEBUG
        checkScore();
#endif
        if (current.score() < attemptBest) {
            attemptBest = current.score();
            stepsSinceBetter = 0;
            current.save(bestStarts, bestMembers);
            if (attemptBest < best.score()) best.offer(current);
        }
    }
}

// Polishing goes on from the best timetable of the attempt, with its own
// memory of scores begun anew.
void Searcher::stopPlacing() {
    isPlacing = false;
    polishingSteps = 0;
    if (current.score() > attemptBest) current.restore(bestStarts, bestMembers);
    polisher.restart();
}

// Debug builds hold the running score against the judgement of the same
// timetable after every step. A score beyond an int (thousands of activities
// unassigned) is no result the judgement counts.
void Searcher::checkScore() {
    if (current.score() > INT_MAX) return;
    current.writeTo(judged);
    const int judgement = judgeQuietly(current.facts.problem, judged);
    if (judgement != current.score())
        fatalError("Internal error - score counting (deep search %lld, judgement %d)",
                   current.score(), judgement);
}
