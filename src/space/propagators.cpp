#include "space/propagators.h"

#include "base/log.h"
#include "base/run_settings.h"
#include "space/search_space.h"

namespace Propagators {
namespace {

void logWorking(const SearchSpace& space, const char* kind, int a, int b, int v) {
    if (!logLevel(25)) return;
    const TimeVar& A = space.time[a];
    const TimeVar& B = space.time[b];
    logPrint("{%s is working (activities: %d [%s] (%d-%d) %s %d [%s] (%d-%d))}\n", kind, a,
             space.problem.activityName(a), A.min, A.max, v == a ? "->" : "<-", b,
             space.problem.activityName(b), B.min, B.max);
}

Outcome done(bool finished) { return finished ? Outcome::finished : Outcome::active; }

template <class Rule>
const Rule* sameKind(const Propagator& other) {
    return dynamic_cast<const Rule*>(&other);
}

}  // namespace

BeforePropagator::BeforePropagator(int a, int length, int b) : a(a), b(b), length(length) {}

Outcome BeforePropagator::propagate(SearchSpace& space, int v) {
    logWorking(space, "BeforePropagator", a, b, v);
    const TimeVar& A = space.time[a];
    const TimeVar& B = space.time[b];
    const bool kept = v == a ? space.pruneRange(b, B.min, A.min + length - 1)
                             : space.pruneRange(a, B.max - length + 1, A.max);
    if (!kept) return Outcome::failed;
    return done(A.max + length - 1 < B.min || A.fixed() || B.fixed());
}

bool BeforePropagator::sameRule(const Propagator& other) const {
    const BeforePropagator* rule = sameKind<BeforePropagator>(other);
    return rule && rule->a == a && rule->b == b && rule->length == length;
}

SameDayPropagator::SameDayPropagator(int a, int b, int slotsPerDay)
    : a(a), b(b), slotsPerDayOf(slotsPerDay) {}

Outcome SameDayPropagator::propagate(SearchSpace& space, int v) {
    logWorking(space, "SameDayPropagator", a, b, v);
    const TimeVar& A = space.time[a];
    const TimeVar& B = space.time[b];
    const int P = slotsPerDayOf;
    // Keep the other activity within the days its partner can still start on.
    if (v == a) {
        if (!space.pruneRange(b, B.min, A.min / P * P - 1)) return Outcome::failed;
        if (!space.pruneRange(b, A.max / P * P + P, B.max)) return Outcome::failed;
    } else {
        if (!space.pruneRange(a, A.min, B.min / P * P - 1)) return Outcome::failed;
        if (!space.pruneRange(a, B.max / P * P + P, A.max)) return Outcome::failed;
    }
    return done(A.max / P == A.min / P);
}

bool SameDayPropagator::sameRule(const Propagator& other) const {
    const SameDayPropagator* rule = sameKind<SameDayPropagator>(other);
    return rule && rule->a == a && rule->b == b && rule->slotsPerDayOf == slotsPerDayOf;
}

DisjointPropagator::DisjointPropagator(int a, int delayA, int b, int delayB)
    : a(a), b(b), delayA(delayA), delayB(delayB) {}

Outcome DisjointPropagator::propagate(SearchSpace& space, int v) {
    logWorking(space, "DisjointPropagator", a, b, v);
    const TimeVar& A = space.time[a];
    const TimeVar& B = space.time[b];
    const bool bothFree = !A.fixed() && !B.fixed();
    ++space.disjointStatistics.calls;
    if (bothFree) ++space.disjointStatistics.callsUnfixed;
    space.valuesRemoved = 0;
    space.boundsChanged = 0;
    // Remove the starts of the other activity that would overlap this one
    // wherever this one starts within its bounds.
    const bool kept = v == a ? space.pruneRange(b, A.max - delayB + 1, A.min + delayA - 1)
                             : space.pruneRange(a, B.max - delayA + 1, B.min + delayB - 1);
    if (!kept) return Outcome::failed;  // a contradiction counts the call only
    if (space.valuesRemoved) {
        ++space.disjointStatistics.worked;
        if (bothFree) ++space.disjointStatistics.workedUnfixed;
    }
    if (space.boundsChanged) {
        ++space.disjointStatistics.boundsChanged;
        if (bothFree) ++space.disjointStatistics.boundsChangedUnfixed;
    }
    return done(B.min > A.max + delayA - 1 || A.min > B.max + delayB || A.fixed() || B.fixed());
}

bool DisjointPropagator::sameRule(const Propagator& other) const {
    const DisjointPropagator* rule = sameKind<DisjointPropagator>(other);
    return rule && rule->a == a && rule->b == b && rule->delayA == delayA &&
           rule->delayB == delayB;
}

ConcurrentlyPropagator::ConcurrentlyPropagator(int a, int b, int lengthDiff)
    : a(a), b(b), lengthDiff(lengthDiff) {}

Outcome ConcurrentlyPropagator::propagate(SearchSpace& space, int v) {
    logWorking(space, "ConcurrentlyPropagator", a, b, v);
    const TimeVar& A = space.time[a];
    const TimeVar& B = space.time[b];
    const int D = lengthDiff;
    if (v == a) {
        if (!space.pruneRange(b, B.min, A.min - 1)) return Outcome::failed;
        if (!space.pruneRange(b, A.max + D + 1, B.max)) return Outcome::failed;
    } else {
        if (!space.pruneRange(a, A.min, B.min - D - 1)) return Outcome::failed;
        if (!space.pruneRange(a, B.max + 1, A.max)) return Outcome::failed;
    }
    return done((B.max - A.min <= D && A.max <= B.min) || A.fixed() || B.fixed());
}

bool ConcurrentlyPropagator::sameRule(const Propagator& other) const {
    const ConcurrentlyPropagator* rule = sameKind<ConcurrentlyPropagator>(other);
    return rule && rule->a == a && rule->b == b && rule->lengthDiff == lengthDiff;
}

}  // namespace Propagators
