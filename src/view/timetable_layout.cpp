#include "view/timetable_layout.h"

#include <algorithm>

#include "judge/check_solution.h"
#include "problem/dependence_rule.h"

namespace View {

const char* weekLetter(int week) {
    switch (week) {
    case 1:
        return "O";
    case 2:
        return "E";
    default:
        return "A";
    }
}

TimetableLayout::TimetableLayout(const ProblemData& problem)
    : problem(problem), fileSlotsPerDay(problem.slotsPerDay - problem.addedSlots) {
    holders.assign(2 * problem.resources.size() * problem.nbSlots, Holder{});
    placementOf.assign(problem.activities.size(), -1);
    for (const SolutionEntry& entry : problem.solution) {
        if (entry.start < 0) {
            unassigned.push_back(entry.act);
            continue;
        }
        const Activity& activity = problem.activities[entry.act];
        Placement placement;
        placement.activity = entry.act;
        placement.start = entry.start;
        placement.day = entry.start / problem.slotsPerDay;
        placement.hour = entry.start % problem.slotsPerDay;
        placement.length = activity.length;
        placement.week = activity.week;
        placement.resources = entry.res;
        placement.softCost = costOf(placement);
        placementOf[entry.act] = static_cast<int>(placements.size());
        placements.push_back(std::move(placement));
        place(static_cast<int>(placements.size()) - 1);
    }
    markBrokenDependences();
}

// Holds each used resource for the lesson and the break after it, which ends
// with the day, as the judgement books them.
void TimetableLayout::place(int index) {
    const Placement& placement = placements[index];
    const int dayEnd = placement.day * problem.slotsPerDay + problem.slotsPerDay;
    for (int r : placement.resources) {
        const int end =
            std::min(placement.start + placement.length + problem.resources[r].breakSlots, dayEnd);
        for (int s = placement.start; s < end; ++s)
            for (int w = 0; w < 2; ++w)
                if (Weeks::holds(placement.week, w))
                    holders[(static_cast<std::size_t>(w) * problem.resources.size() + r) *
                                problem.nbSlots +
                            s] = Holder{index, s >= placement.start + placement.length};
    }
}

int TimetableLayout::costOf(const Placement& placement) const {
    const Activity& activity = problem.activities[placement.activity];
    int cost =
        timePreferenceCost(problem, placement.start, activity.ownTimePrefs, placement.activity, -1);
    for (int r : placement.resources)
        cost += timePreferenceCost(problem, placement.start, problem.resources[r].timePrefs,
                                   placement.activity, r);
    return cost;
}

// The judgement's rules for dependences, applied to soft ones with a weight:
// both lessons of a broken one are marked.
void TimetableLayout::markBrokenDependences() {
    for (std::size_t i = 0; i < problem.dependences.size(); ++i) {
        const Dependence& dep = problem.dependences[i];
        if (dep.score <= 0) continue;
        const int p1 = placementOf[dep.first];
        const int p2 = placementOf[dep.second];
        if (p1 < 0 || p2 < 0) continue;
        const int t1 = placements[p1].start, len1 = placements[p1].length;
        const int t2 = placements[p2].start, len2 = placements[p2].length;
        if (!dependenceBroken(dep.op, t1, len1, t2, len2, problem.slotsPerDay)) continue;
        placements[p1].brokenDependences.push_back(static_cast<int>(i));
        placements[p2].brokenDependences.push_back(static_cast<int>(i));
    }
}

bool TimetableLayout::unavailable(int resource, int slot) const {
    const std::vector<int>& unavail = problem.resources[resource].timePrefs.unavail;
    return std::binary_search(unavail.begin(), unavail.end(), slot);
}

bool TimetableLayout::usedOnDay(int resource, int day) const {
    for (int w = 0; w < 2; ++w)
        for (int h = 0; h < problem.slotsPerDay; ++h)
            if (holder(w, resource, internalSlot(day, h)).placement >= 0) return true;
    return false;
}

int TimetableLayout::usedDays(int resource) const {
    int used = 0;
    for (int d = 0; d < problem.days; ++d)
        if (usedOnDay(resource, d)) ++used;
    return used;
}

std::vector<int> TimetableLayout::otherResources(const Placement& placement, int resource) const {
    std::vector<int> others;
    for (int r : placement.resources)
        if (r != resource) others.push_back(r);
    return others;
}

// A lesson held in both weeks fills the day column; one held in one week
// fills that week's half, and a free half beside it gets a cell of its own.
// Break slots show as free: nothing else may use them, but nothing is taught.
ResourceGrid TimetableLayout::gridOf(int resource) const {
    ResourceGrid grid;
    grid.resource = resource;
    grid.cells.resize(fileSlotsPerDay);
    for (int hour = 0; hour < fileSlotsPerDay; ++hour) {
        for (int day = 0; day < problem.days; ++day) {
            const int slot = internalSlot(day, hour);
            int held[2];
            for (int w = 0; w < 2; ++w) {
                const Holder& h = holder(w, resource, slot);
                held[w] = h.isBreak ? -1 : h.placement;
            }
            const bool shut = unavailable(resource, slot);
            auto cellFor = [&](int week, int p) {
                GridCell cell;
                cell.day = day;
                cell.hour = hour;
                cell.week = week;
                cell.placement = p;
                if (p >= 0) {
                    if (placements[p].hour != hour) return;  // covered by the row above
                    cell.rows = std::min(placements[p].length, fileSlotsPerDay - hour);
                } else {
                    cell.unavailable = shut;
                }
                grid.cells[hour].push_back(cell);
            };
            if (held[0] == held[1]) {
                cellFor(3, held[0]);
                continue;
            }
            grid.splitWeeks = true;
            cellFor(2, held[0]);
            cellFor(1, held[1]);
        }
    }
    return grid;
}

}  // namespace View
