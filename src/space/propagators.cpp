#include "space/propagators.h"

#include <memory>
#include <new>
#include <vector>

#include "driver/log.h"
#include "driver/run_settings.h"
#include "space/propagator_statistics.h"
#include "space/search_space.h"

PropagatorStatistics disjointStatistics;

namespace Propagators {
namespace {

// Pool of propagator cells: freed cells go on a list and are handed out
// again; blocks are kept for the rest of the run. Single-threaded, like the
// search.
constexpr std::size_t cellSize = 32;
constexpr std::size_t cellsPerBlock = 4096;
struct FreeCell {
    FreeCell* next;
};
FreeCell* freeCells = nullptr;
std::vector<std::unique_ptr<std::byte[]>> cellBlocks;

void addBlock() {
    cellBlocks.emplace_back(new std::byte[cellSize * cellsPerBlock]);
    std::byte* block = cellBlocks.back().get();
    for (std::size_t i = cellsPerBlock; i-- > 0;)
        freeCells = new (block + i * cellSize) FreeCell{freeCells};
}

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

void* Propagator::operator new(std::size_t size) {
    if (size > cellSize) return ::operator new(size);
    if (!freeCells) addBlock();
    FreeCell* cell = freeCells;
    freeCells = cell->next;
    return cell;
}

void Propagator::operator delete(void* cell, std::size_t size) {
    if (size > cellSize) {
        ::operator delete(cell);
        return;
    }
    freeCells = new (cell) FreeCell{freeCells};
}

BeforePropagator::BeforePropagator(SearchSpace& space, int a, int length, int b)
    : a(a), b(b), length(length) {
    space.attach(this, a, b);
}

static_assert(sizeof(BeforePropagator) <= cellSize && sizeof(SameDayPropagator) <= cellSize &&
              sizeof(DisjointPropagator) <= cellSize && sizeof(ConcurrentlyPropagator) <= cellSize);

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

SameDayPropagator::SameDayPropagator(SearchSpace& space, int a, int b, int slotsPerDay)
    : a(a), b(b), slotsPerDayOf(slotsPerDay) {
    space.attach(this, a, b);
}

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

DisjointPropagator::DisjointPropagator(SearchSpace& space, int a, int delayA, int b, int delayB)
    : a(a), b(b), delayA(delayA), delayB(delayB) {
    space.attach(this, a, b);
}

Outcome DisjointPropagator::propagate(SearchSpace& space, int v) {
    logWorking(space, "DisjointPropagator", a, b, v);
    const TimeVar& A = space.time[a];
    const TimeVar& B = space.time[b];
    const bool bothFree = !A.fixed() && !B.fixed();
    ++disjointStatistics.calls;
    if (bothFree) ++disjointStatistics.callsUnfixed;
    space.valuesRemoved = 0;
    space.boundsChanged = 0;
    // Remove the starts of the other activity that would overlap this one
    // wherever this one starts within its bounds.
    const bool kept = v == a ? space.pruneRange(b, A.max - delayB + 1, A.min + delayA - 1)
                             : space.pruneRange(a, B.max - delayA + 1, B.min + delayB - 1);
    if (!kept) return Outcome::failed;  // a contradiction counts the call only
    if (space.valuesRemoved) {
        ++disjointStatistics.worked;
        if (bothFree) ++disjointStatistics.workedUnfixed;
    }
    if (space.boundsChanged) {
        ++disjointStatistics.boundsChanged;
        if (bothFree) ++disjointStatistics.boundsChangedUnfixed;
    }
    return done(B.min > A.max + delayA - 1 || A.min > B.max + delayB || A.fixed() || B.fixed());
}

bool DisjointPropagator::sameRule(const Propagator& other) const {
    const DisjointPropagator* rule = sameKind<DisjointPropagator>(other);
    return rule && rule->a == a && rule->b == b && rule->delayA == delayA &&
           rule->delayB == delayB;
}

ConcurrentlyPropagator::ConcurrentlyPropagator(SearchSpace& space, int a, int b, int lengthDiff)
    : a(a), b(b), lengthDiff(lengthDiff) {
    space.attach(this, a, b);
}

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
