#include "deep/searcher.h"

#include <algorithm>
#include <climits>

#include "base/log.h"
#include "deep/rule_books.h"
#include "deep/valid_timetable.h"
#include "judge/check_solution.h"

namespace {

// Placing that has not lowered the number of unassigned activities for this
// many steps gives way to polishing for a while; some activities may not fit
// at all.
long long placingPatience(const Facts& facts) { return 100000 + 50LL * facts.nbActivities; }
// Placing that has not come nearer to every activity placed for this many
// steps since its last ruin takes out every lesson of a resource of an
// unassigned activity, from the best timetable of the attempt, and places
// them anew. Each ruin that brings no fewer unassigned activities than ever
// before doubles the wait for the next: some schools are placed by long
// walks that ruins would cut short.
long long ruinPatience(const Facts& facts) { return 2000 + 2LL * facts.nbActivities; }
// Polishing steps between two rounds of placing while activities are left
// unassigned.
constexpr long long polishingRound = 200000;
constexpr int historyLength = 1000;
// An attempt whose polishing has not bettered its best for this many steps
// is over. Late acceptance stays in one valley once it has settled there;
// placing anew from the start and polishing again reaches others, and each
// attempt is short next to the time a run is usually given.
long long attemptPatience(const Facts& facts) { return 1000000 + 2000LL * facts.nbActivities; }
// Placing steps between two offers of a timetable that must first give up
// what it owes the school rules.
constexpr long long repairInterval = 5000;

Timetable startingTimetable(const Facts& facts, const std::vector<SolutionEntry>* initial) {
    Timetable timetable(facts);
    if (initial) timetable.readFrom(*initial);
    return timetable;
}

}  // namespace

Searcher::Strategy Searcher::portfolio(int index) {
    // The first is the one a single search takes; the second walks long and
    // remembers long, the third ruins and forgets sooner.
    static const Strategy strategies[] = {{1, 1}, {8, 2}, {0.5, 0.5}};
    return strategies[index % 3];
}

Searcher::Searcher(const Facts& facts, std::uint64_t seed,
                   const std::vector<SolutionEntry>* initial, const Strategy& strategy)
    : strategy(strategy),
      random(seed),
      current(startingTimetable(facts, initial)),
      placer(current, random, strategy.aging),
      polisher(current, random, historyLength),
      repair(current) {
    current.save(startStarts, startMembers);
    beginAttempt();
}

void Searcher::beginAttempt() {
    current.restore(startStarts, startMembers);
    placer.startOver();
    attemptBest = current.score();
    current.save(bestStarts, bestMembers);
    fewestUnassigned = fewestSinceRuin = current.unassignedCount();
    stepsWithoutFewer = stepsSinceBetter = polishingSteps = stepsSinceRuinBetter = 0;
    ruinWait = firstRuinWait();
    ruinHelped = true;
    isPlacing = current.unassignedCount() > 0;
    if (!isPlacing) polisher.restart();
}

void Searcher::run(SharedBest& best, const std::atomic<bool>& stop, long long stepLimit) {
    sharedBest = &best;
    for (long long step = 0; step != stepLimit; ++step) {
        if (stop.load(std::memory_order_relaxed) || best.score() == 0) return;
        if (isPlacing) {
            placer.step();
            if (current.unassignedCount() < fewestSinceRuin) {
                fewestSinceRuin = current.unassignedCount();
                stepsSinceRuinBetter = 0;
            } else if (++stepsSinceRuinBetter > ruinWait) {
                ruin();
            }
            if (current.unassignedCount() < fewestUnassigned) {
                fewestUnassigned = current.unassignedCount();
                stepsWithoutFewer = 0;
                ruinWait = firstRuinWait();
                ruinHelped = true;
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
            if (attemptBest < best.score()) offer(best, step, false);
        } else if (pendingOffer && current.score() == attemptBest) {
            offer(best, step, false);
        }
    }
}

long long Searcher::firstRuinWait() const {
    return static_cast<long long>(strategy.ruinWait * ruinPatience(current.facts));
}

void Searcher::ruin() {
    if (!ruinHelped) ruinWait = std::min(2 * ruinWait, placingPatience(current.facts));
    ruinHelped = false;
    if (current.score() > attemptBest) current.restore(bestStarts, bestMembers);
    const std::vector<int>& unassigned = current.unassigned();
    if (!unassigned.empty()) {
        const int u = unassigned[random.below(static_cast<int>(unassigned.size()))];
        const std::vector<int>& direct = current.facts.activities[u].direct;
        if (!direct.empty()) {
            const int r = direct[random.below(static_cast<int>(direct.size()))];
            for (int b : current.facts.problem.resources[r].activities)
                if (current.placed(b)) current.remove(b);
        }
    }
    fewestSinceRuin = current.unassignedCount();
    stepsSinceRuinBetter = 0;
    ++ruins;
}

void Searcher::offer(SharedBest& best, long long step, bool now) {
    pendingOffer = false;
    if (current.hardBreaches() == 0) {
        best.offer(current);
        return;
    }
    if (!now && step - lastRepair < repairInterval) {
        pendingOffer = true;
        return;
    }
    lastRepair = step;
    makeValid(current, repair, takenOut);
    if (current.hardBreaches() == 0 && current.score() < best.score()) best.offer(current);
    repair.undo();
}

// Polishing goes on from the best timetable of the attempt, with its own
// memory of scores begun anew.
void Searcher::stopPlacing() {
    isPlacing = false;
    polishingSteps = 0;
    if (current.score() > attemptBest) current.restore(bestStarts, bestMembers);
    polisher.restart();
    if (pendingOffer) offer(*sharedBest, lastRepair, true);
}

// Debug builds hold the running score against the judgement of the same
// timetable after every step. A score beyond an int (thousands of activities
// unassigned) is no result the judgement counts, and neither is a timetable
// that still owes lessons to a hard school rule.
void Searcher::checkScore() {
    if (current.score() > INT_MAX || current.hardBreaches() > 0) return;
    current.writeTo(judged);
    const int judgement = judgeQuietly(current.facts.problem, judged);
    if (judgement != current.score())
        fatalError("Internal error - score counting (deep search %lld, judgement %d)",
                   current.score(), judgement);
}
