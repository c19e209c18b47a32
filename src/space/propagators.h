#pragma once
class SearchSpace;

// Propagators tie the start-time variables of two activities together.
//
// Contract of every propagator:
// - propagate(space, v) is called by the propagation loop when variable v
//   (one of its two activities) had a bound change. It reads min and max of
//   both variables and narrows the *other* one, only through
//   space.pruneRange, so every removed start is journaled.
// - Failure: when pruneRange empties a domain it records failedVar and
//   returns false; propagate then returns failed at once, and the loop marks
//   the space failed, exactly as the Contradiction thrown by removeRange does on
//   the decision paths. (Failures are frequent in a search; returning them is
//   far cheaper than unwinding.)
// - It returns finished when it can no longer narrow anything for v; the loop
//   then detaches it from v's watchers (going back attaches it again).
// - It keeps no state between calls: its fields are fixed at creation.
// - It is posted by the space's construction (SearchSpace::post), owned by
//   the space's propagator store, and referenced from the watchers lists of
//   its two activities a and b.
namespace Propagators {

enum class Outcome { active, finished, failed };

class Propagator {
public:
    virtual Outcome propagate(SearchSpace& space, int v) = 0;
    virtual ~Propagator() = default;
    // Same kind of rule over the same activities and numbers (used to compare
    // two spaces when checking the bookkeeping).
    virtual bool sameRule(const Propagator& other) const = 0;
};

// start(b) >= start(a) + length: b starts no earlier than a ends.
class BeforePropagator : public Propagator {
public:
    BeforePropagator(int a, int length, int b);
    Outcome propagate(SearchSpace& space, int v) override;
    bool sameRule(const Propagator& other) const override;

    int a, b, length;
};

// a and b start on the same day.
class SameDayPropagator : public Propagator {
public:
    SameDayPropagator(int a, int b, int slotsPerDay);
    Outcome propagate(SearchSpace& space, int v) override;
    bool sameRule(const Propagator& other) const override;

    int a, b, slotsPerDayOf;
};

// No overlap, gap included: start(b) >= start(a) + delayA or
// start(a) >= start(b) + delayB. Counts its calls in the space's
// disjointStatistics.
class DisjointPropagator : public Propagator {
public:
    DisjointPropagator(int a, int delayA, int b, int delayB);
    Outcome propagate(SearchSpace& space, int v) override;
    bool sameRule(const Propagator& other) const override;

    int a, b, delayA, delayB;
};

// b lies within a: start(a) <= start(b) <= start(a) + lengthDiff.
class ConcurrentlyPropagator : public Propagator {
public:
    ConcurrentlyPropagator(int a, int b, int lengthDiff);
    Outcome propagate(SearchSpace& space, int v) override;
    bool sameRule(const Propagator& other) const override;

    int a, b, lengthDiff;
};

}  // namespace Propagators
