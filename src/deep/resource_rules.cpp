#include "deep/resource_rules.h"

#include <algorithm>
#include <functional>

namespace {

long long above(long long value, long long limit) { return value > limit ? value - limit : 0; }

// Days busy in either week: a day counts as for MaxDays.
int workingDays(const Facts& facts, const ResourceDays& days) {
    int working = 0;
    for (int d = 0; d < facts.days; ++d)
        if (days.days[0][d].busy > 0 || days.days[1][d].busy > 0) ++working;
    return working;
}

// Days of one week that begin at the second available slot, and those that
// begin later: what MaxLateStarts counts.
long long lateUnits(const Facts& facts, const std::vector<DayFigure>& week, int n) {
    long long late = 0, later = 0;
    for (int d = 0; d < facts.days; ++d) {
        if (week[d].busy == 0) continue;
        if (week[d].startRank == 1) ++late;
        if (week[d].startRank > 1) ++later;
    }
    return above(late, n) + later;
}

}  // namespace

void ResourceDays::count(const Facts& facts, int r, int a, int t, int sign) {
    const ActivityFacts& act = facts.activities[a];
    placedAll += sign;
    const int d = facts.dayOf(t);
    const int offset = t - d * facts.slotsPerDay;
    std::uint64_t own = 0, after = 0;
    if (facts.dayBits) {
        own = ((std::uint64_t(1) << act.length) - 1) << offset;
        const int breakEnd = std::min(offset + act.length + facts.resources[r].breakSlots,
                                      facts.slotsPerDay);
        for (int i = offset + act.length; i < breakEnd; ++i) after |= std::uint64_t(1) << i;
    }
    for (int w = 0; w < 2; ++w) {
        if (!Weeks::holds(act.week, w)) continue;
        placed[w] += sign;
        placedWithBreaks[w] += sign * (act.length + facts.resources[r].breakSlots);
        if (!facts.dayBits) continue;
        if (sign > 0) {
            busyBits[w][d] |= own;
            breakBits[w][d] |= after;
        } else {
            busyBits[w][d] &= ~own;
            breakBits[w][d] &= ~after;
        }
        refigure(facts, r, w, d);
    }
}

void ResourceDays::refigure(const Facts& facts, int r, int w, int d) {
    days[w][d] = dayFigure(facts, r, d, busyBits[w][d], breakBits[w][d]);
}

namespace {

// Set bits of a word, without the processor's own count (not on every
// machine the program is built for).
int bitCount(std::uint64_t x) {
    x -= (x >> 1) & 0x5555555555555555ull;
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((x * 0x0101010101010101ull) >> 56);
}

}  // namespace

DayFigure dayFigure(const Facts& facts, int r, int d, std::uint64_t busy, std::uint64_t inBreak) {
    DayFigure f;
    if (busy == 0) return f;
    const ResourceFacts& res = facts.resources[r];
    const std::uint64_t available = res.availableBits[d];
    const int first = __builtin_ctzll(busy), last = 63 - __builtin_clzll(busy);
    const std::uint64_t span = (last == 63 ? ~std::uint64_t(0) : (std::uint64_t(1) << (last + 1)) - 1) &
                               ~((std::uint64_t(1) << first) - 1);
    f.busy = bitCount(busy);
    f.first = d * facts.slotsPerDay + first;
    f.gaps = bitCount(span & ~busy & ~inBreak & available);
    f.startRank = bitCount(available & ((std::uint64_t(1) << first) - 1));
    if (res.maxConsecutive > 0) {
        // A busy slot with n busy slots before it lies beyond the n-th of its run.
        std::uint64_t beyond = busy;
        for (int k = 1; k <= res.maxConsecutive && beyond; ++k) beyond &= busy << k;
        f.runExcess = bitCount(beyond);
    }
    return f;
}

long long ruleUnits(const Facts& facts, int, const ResourceRule& rule, const ResourceDays& days) {
    const int n = rule.limit;
    long long units = 0;
    if (rule.kind == ResourceRuleKind::minDays)
        return days.placedAll > 0 ? above(n, workingDays(facts, days)) : 0;
    for (int w = 0; w < 2; ++w) {
        const std::vector<DayFigure>& week = days.days[w];
        switch (rule.kind) {
        case ResourceRuleKind::maxPerDay:
            for (const DayFigure& f : week) units += above(f.busy, n);
            break;
        case ResourceRuleKind::minPerDay:
            for (const DayFigure& f : week)
                if (f.busy > 0) units += above(n, f.busy);
            break;
        case ResourceRuleKind::maxGaps: {
            long long gaps = 0;
            for (const DayFigure& f : week) gaps += f.gaps;
            units += above(gaps, n);
            break;
        }
        case ResourceRuleKind::maxGapsPerDay:
            for (const DayFigure& f : week) units += above(f.gaps, n);
            break;
        case ResourceRuleKind::maxConsecutive:
            for (const DayFigure& f : week) units += f.runExcess;
            break;
        case ResourceRuleKind::maxLateStarts: units += lateUnits(facts, week, n); break;
        case ResourceRuleKind::minDays: break;
        }
    }
    return units;
}

// Each form below never rises when a lesson is taken out, and equals the
// rule once every lesson of the resource is placed: a lesson still to be
// placed fills at most its slots and its break of gap, opens at most one
// day, and mends at most one late day.
long long ruleExcess(const Facts& facts, int r, const ResourceRule& rule, const ResourceDays& days) {
    const ResourceFacts& res = facts.resources[r];
    const int n = rule.limit;
    switch (rule.kind) {
    case ResourceRuleKind::maxPerDay:
    case ResourceRuleKind::maxConsecutive: return ruleUnits(facts, r, rule, days);
    case ResourceRuleKind::minDays: {
        if (days.placedAll == 0) return 0;
        const int toPlace = res.lessonsAll - days.placedAll;
        return above(n, workingDays(facts, days) + toPlace);
    }
    default: break;
    }
    long long excess = 0;
    for (int w = 0; w < 2; ++w) {
        const std::vector<DayFigure>& week = days.days[w];
        const long long toPlace = res.lessons[w] - days.placed[w];
        const long long toFill = res.loadWithBreaks[w] - days.placedWithBreaks[w];
        switch (rule.kind) {
        case ResourceRuleKind::minPerDay: {
            // Every working day filled to n needs that many slots in all.
            long long needed = 0;
            for (const DayFigure& f : week)
                if (f.busy > 0) needed += std::max(f.busy, n);
            excess += above(needed, res.load[w]);
            break;
        }
        case ResourceRuleKind::maxGaps: {
            long long gaps = 0;
            for (const DayFigure& f : week) gaps += f.gaps;
            excess += above(gaps - n, toFill);
            break;
        }
        case ResourceRuleKind::maxGapsPerDay: {
            long long over = 0;
            for (const DayFigure& f : week) over += above(f.gaps, n);
            excess += above(over, toFill);
            break;
        }
        case ResourceRuleKind::maxLateStarts:
            excess += above(lateUnits(facts, week, n), toPlace);
            break;
        default: break;
        }
    }
    return excess;
}

namespace {

// The fewest busy slots that any timetable completing a week must give the
// resource, to keep its hard MinPerDay, MaxGaps, MaxGapsPerDay and
// MaxLateStarts together: every working day keeps its lessons, gets its gaps
// beyond the allowance filled, and begins on time (with no gaps allowed,
// every slot up to its first lesson filled), but for the days allowed to
// begin late; and at least MinPerDay slots. Two lower bounds, one per day
// and one over the week's gaps; taking a lesson out lowers them by its
// slots (or raises them by its break at most). Apart from them: the new
// days that the lessons left to place need, when the working days cannot
// take them (see dayCapacity); each needs MinPerDay slots (or one).
struct WeekNeed {
    long long slots = 0;
    long long newDays = 0;
};

WeekNeed neededSlots(const Facts& facts, int r, const std::vector<DayFigure>& week, int w) {
    const ResourceFacts& res = facts.resources[r];
    const int least = std::max(res.limitOf(ResourceRuleKind::minPerDay), 0);
    const int dayGaps = res.limitOf(ResourceRuleKind::maxGapsPerDay);
    const int weekGaps = res.limitOf(ResourceRuleKind::maxGaps);
    const int lateDays = res.limitOf(ResourceRuleKind::maxLateStarts);
    const bool noGaps = dayGaps == 0 || weekGaps == 0;
    long long perDay = 0, overWeek = 0, gaps = 0, placed = 0, capacity = 0;
    // What letting a day begin late saves, for the days that may.
    long long savedPerDay[64], savedOverWeek[64];
    int nbSaved = 0;
    for (std::size_t d = 0; d < week.size(); ++d) {
        const DayFigure& f = week[d];
        if (f.busy == 0) continue;
        placed += f.busy;
        capacity += above(res.dayCapacity[d], f.busy);
        gaps += f.gaps;
        const long long gapFill =
            dayGaps >= 0 ? above(f.gaps, dayGaps) : weekGaps == 0 ? f.gaps : 0;
        long long onTime = 0, late = 0;
        if (lateDays >= 0 && f.startRank > 0) {
            const int k = f.startRank;
            onTime = noGaps ? k : 1;
            late = k >= 2 ? (noGaps ? k - 1 : 1) : 0;
        }
        const long long dayOnTime = std::max<long long>(least, f.busy + gapFill + onTime);
        const long long dayLate = std::max<long long>(least, f.busy + gapFill + late);
        perDay += dayOnTime;
        overWeek += f.busy + onTime;
        if (onTime > late && nbSaved < 64) {
            savedPerDay[nbSaved] = dayOnTime - dayLate;
            savedOverWeek[nbSaved] = onTime - late;
            ++nbSaved;
        }
    }
    if (lateDays > 0 && nbSaved > 0) {
        // The days allowed to begin late are those where it saves most.
        const int allowed = std::min(lateDays, nbSaved);
        std::sort(savedPerDay, savedPerDay + nbSaved, std::greater<long long>());
        std::sort(savedOverWeek, savedOverWeek + nbSaved, std::greater<long long>());
        for (int i = 0; i < allowed; ++i) {
            perDay -= savedPerDay[i];
            overWeek -= savedOverWeek[i];
        }
    }
    if (weekGaps > 0) overWeek += above(gaps, weekGaps);
    WeekNeed need;
    need.slots = std::max(perDay, weekGaps > 0 ? overWeek : 0);
    if (res.mostOnADay > 0) {
        const long long overflow = above(res.load[w] - placed, capacity);
        need.newDays = (overflow + res.mostOnADay - 1) / res.mostOnADay;
    }
    return need;
}

long long newDaySlots(const Facts& facts, int r) {
    return std::max(facts.resources[r].limitOf(ResourceRuleKind::minPerDay), 1);
}

// The days a hard MinDays still asks for.
long long missingDays(const Facts& facts, int r, const ResourceDays& days) {
    const int minDays = facts.resources[r].limitOf(ResourceRuleKind::minDays);
    if (minDays < 0 || days.placedAll == 0) return 0;
    return above(minDays, workingDays(facts, days));
}

}  // namespace

long long fillExcess(const Facts& facts, int r, const ResourceDays& days) {
    const ResourceFacts& res = facts.resources[r];
    if (!res.fillsDays) return 0;
    long long excess = 0, needed = 0, room = 0, newDays = missingDays(facts, r, days);
    for (int w = 0; w < 2; ++w) {
        // The breaks of the lessons still to be placed may take slots that
        // now count as needed.
        const long long weekRoom = res.load[w] + static_cast<long long>(res.breakSlots) *
                                                     (res.lessons[w] - days.placed[w]);
        const WeekNeed need = neededSlots(facts, r, days.days[w], w);
        excess += above(need.slots + need.newDays * newDaySlots(facts, r), weekRoom);
        needed += need.slots;
        room += weekRoom;
        newDays = std::max(newDays, need.newDays);
    }
    // A new day needs its slots in one week at least.
    return excess + above(needed + newDays * newDaySlots(facts, r), room);
}


bool resourceRulesAllowAlone(const Facts& facts, int r, int a, int t) {
    const ResourceFacts& res = facts.resources[r];
    if (!res.hardRules) return true;
    ResourceDays alone;
    for (int w = 0; w < 2; ++w) {
        alone.days[w].assign(facts.days, DayFigure());
        if (facts.dayBits) {
            alone.busyBits[w].assign(facts.days, 0);
            alone.breakBits[w].assign(facts.days, 0);
        }
    }
    alone.count(facts, r, a, t, 1);
    if (!facts.dayBits) {
        const ActivityFacts& act = facts.activities[a];
        const int d = facts.dayOf(t), end = facts.heldEnd(r, a, t);
        for (int w = 0; w < 2; ++w) {
            if (!Weeks::holds(act.week, w)) continue;
            alone.days[w][d] = dayFigure(facts, r, d, [&](int s) {
                if (s < t || s > end) return SlotUse::free;
                return s < t + act.length ? SlotUse::busy : SlotUse::inBreak;
            });
        }
    }
    if (fillExcess(facts, r, alone) > 0) return false;
    for (const ResourceRule& rule : res.rules)
        if (rule.hard() && ruleExcess(facts, r, rule, alone) > 0) return false;
    return true;
}
