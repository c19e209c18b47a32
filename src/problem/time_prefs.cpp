#include "problem/time_prefs.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <vector>

#include "base/log.h"

namespace {

[[noreturn]] void costsTooLarge(const char* ownerKind, int owner, const char* ownerName) {
    fatalError("Soft scores too large (%s %d [%s])", ownerKind, owner, ownerName);
}

}  // namespace

void prepareTimePrefs(TimePrefs& prefs, const SlotGrid& grid, const char* ownerKind, int owner,
                      const char* ownerName) {
    const int fileDay = grid.slotsPerDay;
    const int day = fileDay + grid.addedSlots;
    const int days = grid.nbSlots / fileDay;
    auto internal = [&](int f) { return f % fileDay + day * (f / fileDay); };
    auto checkSlot = [&](int f) {
        if (f >= grid.nbSlots) fatalError("Timeslot number out of range (%d)", f);
    };

    // Availability: with Hard the listed slots become 0 and the rest keep 1,
    // with Avail the listed slots become 1 and the rest keep 0, with neither
    // every slot stays available.
    const bool availList = prefs.hardMode == HardMode::avail;
    std::vector<int> table(static_cast<std::size_t>(days) * day, availList ? 0 : 1);
    for (int f : prefs.unavail) {
        checkSlot(f);
        table[internal(f)] = availList ? 1 : 0;
    }
    for (int d = 0; d < days; ++d)
        std::fill(table.begin() + d * day + fileDay, table.begin() + (d + 1) * day, 0);
    prefs.unavail.clear();
    for (int t = 0; t < static_cast<int>(table.size()); ++t)
        if (table[t] == 0) prefs.unavail.push_back(t);
    prefs.hardMode = HardMode::hard;

    // Soft costs: a negative value sets the cost of the slots that follow it.
    std::fill(table.begin(), table.end(), 0);
    int cost = 0;
    for (int value : prefs.soft) {
        if (value < 0) {
            cost = -value;
            continue;
        }
        checkSlot(value);
        int& entry = table[internal(value)];
        if (__builtin_add_overflow(entry, cost, &entry)) costsTooLarge(ownerKind, owner, ownerName);
    }
    prefs.soft = std::move(table);
}

void mergeTimePrefs(TimePrefs& activityPrefs, const TimePrefs& resourcePrefs, bool halve,
                    int activity, const char* activityName) {
    std::vector<int> unavail;
    unavail.reserve(activityPrefs.unavail.size() + resourcePrefs.unavail.size());
    std::set_union(activityPrefs.unavail.begin(), activityPrefs.unavail.end(),
                   resourcePrefs.unavail.begin(), resourcePrefs.unavail.end(),
                   std::back_inserter(unavail));
    activityPrefs.unavail = std::move(unavail);

    std::vector<int>& soft = activityPrefs.soft;
    for (std::size_t t = 0; t < soft.size(); ++t) {
        int added = halve ? resourcePrefs.soft[t] / 2 : resourcePrefs.soft[t];
        if (__builtin_add_overflow(soft[t], added, &soft[t]))
            costsTooLarge("activity", activity, activityName);
    }
}

void computeStartSoft(TimePrefs& prefs, int length, int activity, const char* activityName) {
    const int slots = static_cast<int>(prefs.soft.size());
    prefs.startSoft.assign(slots, 0);
    long long window = 0;
    for (int t = 0; t < slots; ++t) {
        window += prefs.soft[t];
        if (t >= length) window -= prefs.soft[t - length];
        if (t >= length - 1) {
            if (window > INT_MAX) costsTooLarge("activity", activity, activityName);
            prefs.startSoft[t - length + 1] = static_cast<int>(window);
        }
    }
}
