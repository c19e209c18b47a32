#pragma once
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
    int placed[2] = {};               // its placed lessons held in each week
    long long placedWithBreaks[2] = {};
    int placedAll = 0;

    // Counts lesson a of resource r in (sign 1) or out (sign -1).
    void count(const Facts& facts, int r, int a, int sign);
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

// Units of breach of the rule of resource r, as the judgement counts them.
long long ruleUnits(const Facts& facts, int r, const ResourceRule& rule, const ResourceDays& days);

// The excess of the search's form of the rule: 0 when the lessons of the
// resource still to be placed could keep it.
long long ruleExcess(const Facts& facts, int r, const ResourceRule& rule, const ResourceDays& days);

// Whether activity a alone at t keeps the search's form of the rule.
bool resourceRuleAllowsAlone(const Facts& facts, int r, const ResourceRule& rule, int a, int t);
