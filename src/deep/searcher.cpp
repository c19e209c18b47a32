#include "deep/searcher.h"

namespace {

// Placing that has not lowered the number of unassigned activities for this
// many steps gives way to polishing for a while; some activities may not fit
// at all.
long long placingPatience(const Facts& facts) { return 100000 + 50LL * facts.nbActivities; }
// Polishing steps between two rounds of placing while activities are left
// unassigned.
constexpr long long polishingRound = 200000;
constexpr int historyLength = 1000;
// Polishing that has not bettered this search's best for this many steps
// goes back to the best timetable and kicks it with a few random moves.
constexpr long long polishingPatience = 3000000;
int kickSize(const Facts& facts) { return 10 + facts.nbActivities / 100; }

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
      polisher(current, random, historyLength),
      bestScore(current.score()),
      fewestUnassigned(current.unassignedCount()) {
    current.save(bestStarts, bestMembers);
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
            if (++stepsSinceBetter >= polishingPatience) {
                stepsSinceBetter = 0;
                if (current.score() > bestScore) current.restore(bestStarts, bestMembers);
                polisher.kick(kickSize(current.facts));
                polisher.restart();
            }
            if (current.unassignedCount() > 0 && ++polishingSteps >= polishingRound) {
                polishingSteps = 0;
                stepsWithoutFewer = 0;
                isPlacing = placer.hasWork();
            }
        }
        if (current.score() < bestScore) {
            bestScore = current.score();
            stepsSinceBetter = 0;
            current.save(bestStarts, bestMembers);
            best.offer(current);
        }
    }
}

// Polishing goes on from the best timetable of this search, with its own
// memory of scores begun anew.
void Searcher::stopPlacing() {
    isPlacing = false;
    polishingSteps = 0;
    if (current.score() > bestScore) current.restore(bestStarts, bestMembers);
    polisher.restart();
}
