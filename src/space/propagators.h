#pragma once
#include <cstddef>

class SearchSpace;

// Propagators tie the start-time variables of two activities together.
//
// Contract of every propagator:
// - propagate(space, v) is called by the propagation loop when variable v
//   (one of its two activities) had a bound change. It reads min and max of
//   both variables and narrows the *other* one, only through
//   space.removeRange, so every removed start is journaled and an emptied
//   domain throws.
// - Failure: it never catches anything. The integer thrown by fixBounds (the
//   activity index) escapes to the propagation loop, which marks the space
//   failed.
// - It returns true when it can no longer narrow anything for v; the loop then
//   detaches it from v's watchers (going back attaches it again).
// - It keeps no state between calls: its fields are fixed at creation.
// - It is created by the space's construction, owned by the space's
//   propagators list, and referenced from the two watchers lists.
namespace Propagators {

class Propagator {
public:
    virtual bool propagate(SearchSpace& space, int v) = 0;
    virtual ~Propagator() = default;
    // Large problems have tens of thousands of propagators: they come from a
    // pool of small fixed-size cells that later spaces reuse.
    static void* operator new(std::size_t size);
    static void operator delete(void* cell, std::size_t size);
    // Same kind of rule over the same activities and numbers (used to compare
    // two spaces when checking the bookkeeping).
    virtual bool sameRule(const Propagator& other) const = 0;
};

// start(b) >= start(a) + length: b starts no earlier than a ends.
class BeforePropagator : public Propagator {
public:
    BeforePropagator(SearchSpace& space, int a, int length, int b);
    bool propagate(SearchSpace& space, int v) override;
    bool sameRule(const Propagator& other) const override;

    int a, b, length;
};

// a and b start on the same day.
class SameDayPropagator : public Propagator {
public:
    SameDayPropagator(SearchSpace& space, int a, int b, int slotsPerDay);
    bool propagate(SearchSpace& space, int v) override;
    bool sameRule(const Propagator& other) const override;

    int a, b, slotsPerDayOf;
};

// No overlap, gap included: start(b) >= start(a) + delayA or
// start(a) >= start(b) + delayB. Counts its calls in disjointStatistics.
class DisjointPropagator : public Propagator {
public:
    DisjointPropagator(SearchSpace& space, int a, int delayA, int b, int delayB);
    bool propagate(SearchSpace& space, int v) override;
    bool sameRule(const Propagator& other) const override;

    int a, b, delayA, delayB;
};

// b lies within a: start(a) <= start(b) <= start(a) + lengthDiff.
class ConcurrentlyPropagator : public Propagator {
public:
    ConcurrentlyPropagator(SearchSpace& space, int a, int b, int lengthDiff);
    bool propagate(SearchSpace& space, int v) override;
    bool sameRule(const Propagator& other) const override;

    int a, b, lengthDiff;
};

}  // namespace Propagators
