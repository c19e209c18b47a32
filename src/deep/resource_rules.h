#pragma once
#include <cstdint>
#include <vector>

#include "deep/facts.h"

// The resource rules in the deep search. A resource's days are kept as
// figures, one per week and day; each kind of rule is a count over them:
// the units of breach as the judgement counts them, and the excess of the
// search's own form of the rule. The search's form looks ahead to the
// lessons of the resource still to be placed (a working day short of
// MinPerDay can still be filled, a gap can still be closed), never rises
// when a lesson is taken out, and is the rule itself once every lesson of
// the resource is placed. So a timetable the search holds keeps it, and a
// complete one keeps the rule.

// One day of a resource in one week.
struct DayFigure {
    int busy = 0;       // busy slots
    int gaps = 0;       // gap slots between its first and last busy slot
    int startRank = 0;  // available slots of the day before its first busy one
    int runExcess = 0;  // busy slots beyond MaxConsecutive, over its runs
    int first = -1;     // its first busy slot, -1 on a day without work
};

// What a resource's rules see of one of its slots in one week.
enum class SlotUse { free, busy, inBreak };

// A resource's days in both weeks, with its lessons placed so far.
struct ResourceDays {
    std::vector<DayFigure> days[2];
    // On grids of at most 64 slots a day: the busy and the break slots of
    // each day as bits, from which a figure is a few word operations.
    std::vector<std::uint64_t> busyBits[2], breakBits[2];
    int placed[2] = {};               // its placed lessons held in each week
    long long placedWithBreaks[2] = {};
    int placedAll = 0;

    // Counts lesson a of resource r, starting at t, in (sign 1) or out
    // (sign -1); with bits, its slots and break too, and its day is figured
    // again.
    void count(const Facts& facts, int r, int a, int t, int sign);
    // Figures day d again from its bits.
    void refigure(const Facts& facts, int r, int w, int d);

    // What a change to the day of slot t may touch, to put back.
    struct Day {
        int d;
        DayFigure figures[2];
        std::uint64_t busy[2], inBreak[2];
        int placed[2];
        long long placedWithBreaks[2];
        int placedAll;
    };
    Day day(const Facts& facts, int t) const {
        Day saved{facts.dayOf(t), {}, {}, {}, {placed[0], placed[1]},
                  {placedWithBreaks[0], placedWithBreaks[1]}, placedAll};
        for (int w = 0; w < 2; ++w) {
            saved.figures[w] = days[w][saved.d];
            saved.busy[w] = busyBits[w].empty() ? 0 : busyBits[w][saved.d];
            saved.inBreak[w] = breakBits[w].empty() ? 0 : breakBits[w][saved.d];
        }
        return saved;
    }
    void restore(const Day& saved) {
        for (int w = 0; w < 2; ++w) {
            days[w][saved.d] = saved.figures[w];
            if (!busyBits[w].empty()) {
                busyBits[w][saved.d] = saved.busy[w];
                breakBits[w][saved.d] = saved.inBreak[w];
            }
            placed[w] = saved.placed[w];
            placedWithBreaks[w] = saved.placedWithBreaks[w];
        }
        placedAll = saved.placedAll;
    }
};

// The figure of day d of resource r, from the use of each of its slots.
template <class Use>
DayFigure dayFigure(const Facts& facts, int r, int d, Use use) {
    const ResourceFacts& res = facts.resources[r];
    DayFigure f;
    const int begin = d * facts.slotsPerDay, end = begin + facts.slotsPerDay;
    int run = 0, free = 0;
    for (int s = begin; s < end; ++s) {
        const SlotUse u = use(s);
        if (u == SlotUse::busy) {
            if (f.first < 0) {
                f.first = s;
            } else {
                f.gaps += free;
            }
            free = 0;
            ++f.busy;
            ++run;
            if (res.maxConsecutive > 0 && run > res.maxConsecutive) ++f.runExcess;
            continue;
        }
        run = 0;
        // Slots the resource cannot use or must keep free are no gaps.
        if (f.first >= 0 && u == SlotUse::free && !res.unavailable(s)) ++free;
    }
    if (f.first >= 0)
        for (int s = begin; s < f.first; ++s)
            if (!res.unavailable(s)) ++f.startRank;
    return f;
}

// The figure of a day from its bits (slot i of the day is bit i).
DayFigure dayFigure(const Facts& facts, int r, int d, std::uint64_t busy, std::uint64_t inBreak);

// Units of breach of the rule of resource r, as the judgement counts them.
long long ruleUnits(const Facts& facts, int r, const ResourceRule& rule, const ResourceDays& days);

// The excess of the search's form of the rule: 0 when the lessons of the
// resource still to be placed could keep it.
long long ruleExcess(const Facts& facts, int r, const ResourceRule& rule, const ResourceDays& days);

// The excess of what the hard day-filling rules of resource r together ask
// of the lessons still to be placed (see neededSlots in the source).
long long fillExcess(const Facts& facts, int r, const ResourceDays& days);

// Whether activity a alone at t keeps the search's form of the hard rules of
// resource r: a start that fails this never fits, whatever else is placed.
bool resourceRulesAllowAlone(const Facts& facts, int r, int a, int t);
