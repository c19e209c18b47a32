#include "view/timetable_layout.h"

#include <algorithm>

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

const char* weekWords(int week) {
    switch (week) {
    case 1:
        return "odd weeks";
    case 2:
        return "even weeks";
    default:
        return "every week";
    }
}

std::string Calendar::day(int day) const {
    if (day >= 0 && day < static_cast<int>(dayNames.size())) return dayNames[day];
    return "Day " + std::to_string(day + 1);
}

std::string Calendar::dayLabel(int day) const {
    if (day >= 0 && day < static_cast<int>(dayNames.size())) return dayNames[day];
    return std::to_string(day + 1);
}

std::string Calendar::period(int hour) const {
    if (hour >= 0 && hour < static_cast<int>(periodNames.size())) return periodNames[hour];
    return "period " + std::to_string(hour + 1);
}

std::string Calendar::periodLabel(int hour) const {
    if (hour >= 0 && hour < static_cast<int>(periodNames.size())) return periodNames[hour];
    return std::to_string(hour + 1);
}

TimetableLayout::TimetableLayout(const ProblemData& problem)
    : problem(problem),
      fileSlotsPerDay(problem.slotsPerDay - problem.addedSlots),
      rules(findBrokenRules(problem)) {
    holders.assign(2 * problem.resources.size() * problem.nbSlots, Holder{});
    placementOf.assign(problem.activities.size(), -1);
    for (const SolutionEntry& entry : problem.solution) {
        if (entry.start < 0) {
            unassigned.push_back(entry.act);
            continue;
        }
        // A start beyond the grid has no cell; the rules list it.
        if (entry.start >= problem.nbSlots) continue;
        Placement placement;
        placement.activity = entry.act;
        placement.start = entry.start;
        placement.day = entry.start / problem.slotsPerDay;
        placement.hour = entry.start % problem.slotsPerDay;
        placement.length = problem.activities[entry.act].length;
        placement.week = problem.activities[entry.act].week;
        placement.resources = entry.res;
        placement.preferences =
            preferenceCosts(problem, entry.act, entry.start, placement.resources);
        for (const PreferenceCost& cost : placement.preferences)
            placement.softCost += static_cast<int>(cost.cost);
        placementOf[entry.act] = static_cast<int>(placements.size());
        placements.push_back(std::move(placement));
        place(static_cast<int>(placements.size()) - 1);
    }
    markBrokenDependences();
    markBrokenRules();
    resourcePenalties = View::resourcePenalties(*this);
    markRulePenalties();
}

// Holds each used resource for the lesson and the break after it, which ends
// with the day, as the judgement books them. A slot already held keeps its
// first holder and gains the others.
void TimetableLayout::place(int index) {
    const Placement& placement = placements[index];
    const int dayEnd = placement.day * problem.slotsPerDay + problem.slotsPerDay;
    for (int r : placement.resources) {
        if (r < 0 || r >= static_cast<int>(problem.resources.size())) continue;
        const int end =
            std::min(placement.start + placement.length + problem.resources[r].breakSlots, dayEnd);
        for (int s = placement.start; s < end; ++s) {
            for (int w = 0; w < 2; ++w) {
                if (!Weeks::holds(placement.week, w)) continue;
                const Holder held{index, s >= placement.start + placement.length};
                Holder& first = holders[this->index(w, r, s)];
                if (first.placement < 0) {
                    first = held;
                    continue;
                }
                // A lesson that lists one resource twice holds it once on the grid.
                if (first.placement == index) continue;
                std::vector<Holder>& more = extraHolders[this->index(w, r, s)];
                if (std::none_of(more.begin(), more.end(),
                                 [&](const Holder& h) { return h.placement == index; }))
                    more.push_back(held);
            }
        }
    }
}

std::vector<Holder> TimetableLayout::holdersAt(int week, int resource, int slot) const {
    std::vector<Holder> all;
    const Holder& first = holder(week, resource, slot);
    if (first.placement < 0) return all;
    all.push_back(first);
    auto more = extraHolders.find(index(week, resource, slot));
    if (more != extraHolders.end()) all.insert(all.end(), more->second.begin(), more->second.end());
    // Lessons before breaks, each in timetable order.
    std::stable_sort(all.begin(), all.end(),
                     [](const Holder& a, const Holder& b) { return !a.isBreak && b.isBreak; });
    return all;
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

// A school rule may name more than two lessons (a DailyLimit names every
// lesson of the day): all of them are marked.
void TimetableLayout::markBrokenRules() {
    for (std::size_t i = 0; i < rules.size(); ++i) {
        std::vector<int> lessons = rules[i].breach.activities;
        if (rules[i].kind != Rule::schoolRule) lessons = {rules[i].activity, rules[i].other};
        for (int a : lessons) {
            if (a < 0 || placementOf[a] < 0) continue;
            std::vector<int>& marks = placements[placementOf[a]].brokenRules;
            if (marks.empty() || marks.back() != static_cast<int>(i))
                marks.push_back(static_cast<int>(i));
        }
    }
}

// The soft school rules broken at a cost, and the lessons they name (a
// resource rule names none: its days are its own).
void TimetableLayout::markRulePenalties() {
    if (!problem.hasSchoolRules()) return;
    for (RuleBreach& breach : schoolRuleBreachesOf(problem)) {
        if (breach.hard || breach.cost == 0) continue;
        for (int a : breach.activities) {
            if (a < 0 || placementOf[a] < 0) continue;
            std::vector<int>& marks = placements[placementOf[a]].brokenSchoolRules;
            if (marks.empty() || marks.back() != static_cast<int>(rulePenalties.size()))
                marks.push_back(static_cast<int>(rulePenalties.size()));
        }
        rulePenalties.push_back(std::move(breach));
    }
}

bool TimetableLayout::usedBy(int activity, int resource) const {
    if (activity < 0 || placementOf[activity] < 0) return false;
    const std::vector<int>& used = placements[placementOf[activity]].resources;
    return std::find(used.begin(), used.end(), resource) != used.end();
}

bool TimetableLayout::concerns(const BrokenRule& rule, int resource) const {
    if (rule.kind == Rule::schoolRule) return concerns(rule.breach, resource);
    if (rule.resource == resource || rule.otherResource == resource) return true;
    if (rule.resource >= 0) return false;
    // A rule of the lesson alone (its slots, its day, its dependences)
    // concerns every resource it uses.
    return usedBy(rule.activity, resource) || usedBy(rule.other, resource);
}

// A resource rule concerns its resource; an activity rule every resource of
// the lessons it names (and a LastOfDay the class whose day it is).
bool TimetableLayout::concerns(const RuleBreach& breach, int resource) const {
    if (breach.resource == resource) return true;
    for (int a : breach.activities)
        if (usedBy(a, resource)) return true;
    return false;
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

std::string TimetableLayout::where(int slot) const {
    const int day = slot / problem.slotsPerDay, hour = slot % problem.slotsPerDay;
    return calendar.day(day) + ", " + calendar.period(hour) + " (slot " +
           std::to_string(fileSlot(day, hour)) + ")";
}

std::string TimetableLayout::whereLesson(const Placement& p) const {
    if (p.length <= 1) return where(p.start);
    const int lastHour = std::min(p.hour + p.length - 1, fileSlotsPerDay - 1);
    const int first = fileSlot(p.day, p.hour);
    const std::string slots = std::to_string(first) + "-" + std::to_string(first + p.length - 1);
    if (calendar.periodNames.empty())
        return calendar.day(p.day) + ", periods " + std::to_string(p.hour + 1) + "-" +
               std::to_string(p.hour + p.length) + " (slots " + slots + ")";
    return calendar.day(p.day) + ", " + calendar.period(p.hour) + " to " +
           calendar.period(lastHour) + " (slots " + slots + ")";
}

// A lesson held in both weeks fills the day column; one held in one week
// fills that week's half, and a free half beside it gets a cell of its own.
// Break slots show as free: nothing else may use them, but nothing is taught.
// On a day with a clash every cell is one row, so that each lesson in the
// way can be shown where it lies.
ResourceGrid TimetableLayout::gridOf(int resource) const {
    ResourceGrid grid;
    grid.resource = resource;
    grid.cells.resize(fileSlotsPerDay);
    std::vector<char> crowdedDay(problem.days, 0);
    for (int day = 0; day < problem.days; ++day)
        for (int hour = 0; hour < problem.slotsPerDay; ++hour)
            for (int w = 0; w < 2; ++w)
                if (crowded(w, resource, internalSlot(day, hour))) crowdedDay[day] = 1;
    for (int hour = 0; hour < fileSlotsPerDay; ++hour) {
        for (int day = 0; day < problem.days; ++day) {
            const int slot = internalSlot(day, hour);
            const bool shut = unavailable(resource, slot);
            if (crowdedDay[day]) {
                std::vector<Holder> held[2];
                for (int w = 0; w < 2; ++w) held[w] = holdersAt(w, resource, slot);
                auto cellFor = [&](int week, const std::vector<Holder>& all) {
                    GridCell cell{.day = day, .hour = hour, .week = week, .unavailable = shut};
                    for (const Holder& h : all)
                        if (!h.isBreak && cell.placement < 0) cell.placement = h.placement;
                    cell.clash = all.size() > 1;
                    if (cell.clash) cell.holders = all;
                    grid.cells[hour].push_back(std::move(cell));
                };
                auto same = [](const std::vector<Holder>& a, const std::vector<Holder>& b) {
                    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                                      [](const Holder& x, const Holder& y) {
                                          return x.placement == y.placement &&
                                                 x.isBreak == y.isBreak;
                                      });
                };
                if (same(held[0], held[1])) {
                    cellFor(3, held[0]);
                } else {
                    grid.splitWeeks = true;
                    cellFor(2, held[0]);
                    cellFor(1, held[1]);
                }
                continue;
            }
            int held[2];
            for (int w = 0; w < 2; ++w) {
                const Holder& h = holder(w, resource, slot);
                held[w] = h.isBreak ? -1 : h.placement;
            }
            auto cellFor = [&](int week, int p) {
                GridCell cell{.day = day, .hour = hour, .week = week, .placement = p};
                if (p >= 0) {
                    if (placements[p].hour != hour) return;  // covered by the row above
                    cell.rows = std::min(placements[p].length, fileSlotsPerDay - hour);
                    for (int s = slot; s < slot + cell.rows; ++s)
                        if (unavailable(resource, s)) cell.unavailable = true;
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
