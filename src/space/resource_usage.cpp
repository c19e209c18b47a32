// Booking of resources by placed activities: week flags of grouped resources
// and the counts of free group members per slot, day loads behind MaxDays and
// Balanced, and the gap measures behind Continuous. Starts that a booking
// rules out are removed through removeRange, so going back restores them from
// the journal; releaseResource only undoes the tables.
#include "base/log.h"
#include "base/run_settings.h"
#include "space/search_space.h"

namespace {
// Index in GroupCounts of a member with these flags, or -1 when it is taken
// in both weeks.
inline int countIndex(int flags) { return ((~flags) & 3) - 1; }
}  // namespace

void SearchSpace::takeResource(int a, int r) {
    bookResource(a, r);
    forbidForBooking(a, r);
}

void SearchSpace::bookResource(int a, int r) {
    const Activity& activity = problem.activities[a];
    const Resource& resource = problem.resources[r];
    const int s = time[a].min;
    if (logLevel(20))
        logPrint("Activity %d [%s] needs resource %d [%s]\n", a, problem.activityName(a), r,
                 problem.resourceName(r));
    if (resource.grres >= 0) bookSlots(r, s, useEnd(a, r, s), activity.week);
    if (resource.mdres < 0) return;

    const int d = day(s);
    int& load = mdLoad[resource.mdres][d];
    if (resource.balanced >= 1) {
        // Charge the growth of the day's excess, so that a day's charges add
        // up to its single excess however many bookings it gets.
        const int growth = balancedExcess(r, load + activity.weekLoad) - balancedExcess(r, load);
        const int p = resource.balanced * growth;
        myScore += p;
        if (p > 0 && logLevel(25))
            logPrint("Resource %d [%s] in day %d causes 'balanced' score %d\n", r,
                     problem.resourceName(r), d, growth);
    }
    const int old = load;
    load = old + activity.weekLoad;
    if (old == 0) ++mdDays[resource.mdres];
}

void SearchSpace::forbidForBooking(int a, int r) {
    const Activity& activity = problem.activities[a];
    const Resource& resource = problem.resources[r];
    const int s = time[a].min;
    if (resource.grres >= 0) forbidSlots(r, s, useEnd(a, r, s), activity.week, true);
    if (resource.mdres < 0) return;

    // The booking opened a new day (the day holds only this activity's load)
    // and the resource has reached its day limit: its activities may start
    // only on the days it already uses.
    const std::vector<int>& load = mdLoad[resource.mdres];
    if (load[day(s)] != activity.weekLoad || mdDays[resource.mdres] != resource.maxDays) return;
    const int P = problem.slotsPerDay;
    for (int e = 0; e < problem.days; ++e) {
        if (load[e] != 0) continue;
        for (int x : resource.activities) removeRange(x, e * P, (e + 1) * P - 1);
    }
}

void SearchSpace::releaseResource(int a, int r) {
    const Activity& activity = problem.activities[a];
    const Resource& resource = problem.resources[r];
    const int s = time[a].min;
    if (resource.grres >= 0) freeResourceUse(r, s, useEnd(a, r, s), activity.week);
    if (resource.mdres >= 0) {
        int& load = mdLoad[resource.mdres][day(s)];
        load -= activity.weekLoad;
        if (load == 0) --mdDays[resource.mdres];
    }
}

void SearchSpace::markResourceUsed(int r, int from, int to, int flags) {
    bookSlots(r, from, to, flags);
    forbidSlots(r, from, to, flags, false);
}

void SearchSpace::bookSlots(int r, int from, int to, int flags) {
    const Resource& resource = problem.resources[r];
    if (logLevel(20))
        logPrint("Resource %d [%s] unavailable from %d to %d (flag=%d)\n", r,
                 problem.resourceName(r), from, to, flags);
    std::uint8_t* usage = isGrresUsed[resource.grres].data();
    for (int t = from; t <= to; ++t) {
        const int old = usage[t];
        const int now = old | flags;
        usage[t] = static_cast<std::uint8_t>(now);
        if (now == old && !logLevel(20)) continue;
        const int oldIndex = countIndex(old), newIndex = countIndex(now);
        for (int g : resource.groups) {
            GroupCounts& counts = availableRes[g][t];
            if (oldIndex >= 0) --counts[oldIndex];
            if (newIndex >= 0) ++counts[newIndex];
            if (logLevel(20))
                logPrint("In group %d at time %d there are %d, %d, %d resources left\n", g, t,
                         counts[0], counts[1], counts[2]);
        }
    }
}

void SearchSpace::forbidSlots(int r, int from, int to, int flags, bool booking) {
    const Resource& resource = problem.resources[r];
    // A booking by an activity also keeps r's own activities from ending so
    // close before it that their break would reach it. (An unavailable slot
    // may fall within a break: only the activity's own slots must avoid it.)
    forbidActivities(resource.activities, from, to, flags | forbidFlag,
                     booking ? resource.breakSlots : 0);
    for (int t = from; t <= to; ++t) {
        for (int g : resource.groups) {
            const GroupCounts& counts = availableRes[g][t];
            if (counts[2] != 0) continue;
            // No member is free in both weeks: close the slot to the
            // activities of every week in which no member is left.
            const int special = forbidFlag + (counts[0] == 0 ? takenOdd : 0) +
                                (counts[1] == 0 ? takenEven : 0);
            if (logLevel(20)) logPrint("Group %d empty at time %d (specialFlag=%d)\n", g, t, special);
            forbidActivities(problem.groups[g].activities, t, t, special);
        }
    }
}

void SearchSpace::freeResourceUse(int r, int from, int to, int flags) {
    const Resource& resource = problem.resources[r];
    std::uint8_t* usage = isGrresUsed[resource.grres].data();
    const std::uint8_t* closed = closedFlags[resource.grres].data();
    for (int t = from; t <= to; ++t) {
        const int old = usage[t];
        const int now = (old & ~flags) | closed[t];
        usage[t] = static_cast<std::uint8_t>(now);
        if (now == old) continue;
        const int oldIndex = countIndex(old), newIndex = countIndex(now);
        for (int g : resource.groups) {
            GroupCounts& counts = availableRes[g][t];
            if (oldIndex >= 0) --counts[oldIndex];
            if (newIndex >= 0) ++counts[newIndex];
        }
    }
}

void SearchSpace::forbidActivities(const std::vector<int>& activities, int from, int to,
                                   int flags, int breakSlots) {
    for (int x : activities) {
        if (used[x] || (weekBit(x) & flags) == 0) continue;
        const int length = problem.activities[x].length + breakSlots;
        if (logLevel(20))
            logPrint("Activity %d [%s] can not start between %d and %d\n", x,
                     problem.activityName(x), from - length + 1, to);
        removeRange(x, from - length + 1, to);
    }
}

int SearchSpace::continuityExcess(int r, int w, const ContTable& starts,
                                  const ContTable& stops) const {
    const Resource& resource = problem.resources[r];
    const int c = resource.contres;
    const std::vector<int>& start = starts[w][c];
    const std::vector<int>& stop = stops[w][c];
    int span = 0;
    for (int d = 0; d < problem.days; ++d)
        if (start[d] <= stop[d]) span += stop[d] - start[d] + 1;
    const int busy = w == 0 ? resource.busyEven : resource.busyOdd;
    const int excess = span - busy;
    if (excess > 0 && logLevel(20)) {
        logPrint(" %s.%d:%d(->%d)[", problem.resourceName(r), c, busy, excess);
        for (int d = 0; d < problem.days; ++d)
            logPrint("%d %d%s", start[d], stop[d], d + 1 < problem.days ? " " : "]\n");
    }
    return excess > 0 ? excess : 0;
}

int SearchSpace::continuityGap(int r, const ContTable& starts, const ContTable& stops,
                               int placed) const {
    const Resource& resource = problem.resources[r];
    const int c = resource.contres;
    int span = 0;
    for (int w = 0; w < 2; ++w) {
        const std::vector<int>& start = starts[w][c];
        const std::vector<int>& stop = stops[w][c];
        for (int d = 0; d < problem.days; ++d)
            if (start[d] <= stop[d]) span += stop[d] - start[d] + 1;
    }
    return span + resource.breakSlots * placed - continuityBase[c];
}

int SearchSpace::placedWeeks(int r) const {
    int weeks = 0;
    for (int x : problem.resources[r].activities)
        if (used[x]) weeks += Weeks::count(problem.activities[x].week);
    return weeks;
}

int SearchSpace::continuityCharge(int r) const {
    const int gap = continuityGap(r, cont_start, cont_stop, placedWeeks(r));
    return gap > 0 ? problem.resources[r].continuous / 2 * gap : 0;
}
