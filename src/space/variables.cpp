// Domains of the start-time variables and the propagation queue. Every change
// of a domain goes through removeRange or assign, which journal each removed
// start, and fixBounds, which throws the activity index on an empty domain.
#include "driver/log.h"
#include "driver/run_settings.h"
#include "space/search_space.h"

void SearchSpace::markChanged(int v) {
    TimeVar& var = time[v];
    if (var.changedAt <= var.processedAt) {
        changedVar.push_back(v);
        if (logLevel(25))
            logPrint("Variable changed: %d [%s] (%d->%d)\n", v, problem.activityName(v), var.min,
                     var.max);
    }
    var.changedAt = stamp++;
}

void SearchSpace::fixBounds(int v, bool changed) {
    TimeVar& var = time[v];
    if (var.max >= 0 && !var.possible.test(var.max)) {
        var.max = var.possible.previousSet(var.max);
        changed = true;
    }
    if (var.max < 0) {
        failedVar = v;
        throw v;
    }
    if (!var.possible.test(var.min)) {
        var.min = var.possible.nextSet(var.min);
        changed = true;
    }
    if (changed) {
        boundsChanged = 1;
        markChanged(v);
    }
}

bool SearchSpace::removeRange(int v, int from, int to) {
    TimeVar& var = time[v];
    if (from < var.min) from = var.min;
    if (to > var.max) to = var.max;
    if (from > to) return false;

    const int removed = var.possible.clearRange(
        from, to, [&](int s) { journal_values.push_back(RemovedStart{v, s}); });
    if (removed == 0) return false;

    if (logLevel(25))
        logPrint("{Activity %d [%s] can not start between %d and %d}\n", v,
                 problem.activityName(v), from, to);
    bool moved = false;
    if (from <= var.min && var.min <= to) {
        var.min = to + 1;
        moved = true;
    }
    if (from <= var.max && var.max <= to) {
        var.max = from - 1;
        moved = true;
    }
    // With both bounds inside the range nothing is left below from, so
    // fixBounds runs max down to -1 and throws.
    fixBounds(v, moved);
    valuesRemoved = 1;
    return moved;
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
    if (state != 1) return;
    if (logLevel(20)) logPrint("Processing propagators...\n");
    try {
        while (!changedVar.empty()) {
            const int v = changedVar.front();
            changedVar.pop_front();
            if (logLevel(25)) logPrint("{Variable %d [%s] changed}\n", v, problem.activityName(v));
            std::vector<Propagators::Propagator*>& watchers = time[v].watchers;
            std::size_t i = 0;
            while (i < watchers.size()) {
                Propagators::Propagator* propagator = watchers[i];
                if (propagator->propagate(*this, v)) {
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
    } catch (int) {
        state = 0;
    }
}

void SearchSpace::checkSolved() {
    processPropagators();
    if (state == 1) state = 2;
}
