// Domains of the start-time variables and the propagation queue. Every change
// of a domain goes through removeRange or assign, which journal each removed
// start, and fixBounds, which throws a Contradiction on an empty domain
// (those three, with the non-throwing pruneRange of the propagators, are
// inline in search_space.h).
#include "base/log.h"
#include "base/run_settings.h"
#include "space/search_space.h"

void SearchSpace::logVariableChanged(int v) const {
    logPrint("Variable changed: %d [%s] (%d->%d)\n", v, problem.activityName(v), time[v].min,
             time[v].max);
}

void SearchSpace::logStartsRemoved(int v, int from, int to) const {
    logPrint("{Activity %d [%s] can not start between %d and %d}\n", v, problem.activityName(v),
             from, to);
}

void SearchSpace::assign(int v, int value) {
    TimeVar& var = time[v];
    if (value < 0 || value >= var.possible.size() || !var.possible.test(value))
        fatalError("Internal error");
    if (var.min == value && var.max == value) return;
    auto journal = [&](int s) { journal_values.push_back(RemovedStart{v, s}); };
    var.possible.clearRange(var.min, value - 1, journal);
    var.possible.clearRange(value + 1, var.max, journal);
    var.min = var.max = value;
    markChanged(v);
}

void SearchSpace::processPropagators() {
    if (state != SpaceState::open) return;
    if (logLevel(20)) logPrint("Processing propagators...\n");
    while (!changedVar.empty()) {
        const int v = changedVar.front();
        changedVar.pop_front();
        if (logLevel(25)) logPrint("{Variable %d [%s] changed}\n", v, problem.activityName(v));
        std::vector<Propagators::Propagator*>& watchers = time[v].watchers;
        std::size_t i = 0;
        while (i < watchers.size()) {
            Propagators::Propagator* propagator = watchers[i];
            const Propagators::Outcome outcome = propagator->propagate(*this, v);
            if (outcome == Propagators::Outcome::failed) {
                // The variable being processed and the rest of the queue stay
                // as they are; going back empties the queue.
                state = SpaceState::failed;
                return;
            }
            if (outcome == Propagators::Outcome::finished) {
                journal_propagators.push_back(DetachedPropagator{v, propagator});
                watchers[i] = watchers.back();
                watchers.pop_back();
                if (logLevel(25)) logPrint("{Removing the propagator}\n");
            } else {
                ++i;
            }
        }
        time[v].processedAt = stamp++;
    }
}

void SearchSpace::checkSolved() {
    processPropagators();
    if (state == SpaceState::open) state = SpaceState::solved;
}
