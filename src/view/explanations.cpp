#include "view/explanations.h"

#include <algorithm>
#include <set>

#include "problem/dependence_rule.h"

namespace View {

const char* const weekLegend =
    "Weeks: the timetable repeats every two weeks; A every week, E even weeks only, "
    "O odd weeks only.";

namespace {

std::string plural(long long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string lessonName(const ProblemData& problem, int activity) {
    return problem.activityName(activity);
}

// Where a lesson lies, also when it has no cell on the grid.
std::string whereActivity(const TimetableLayout& layout, int activity, int start) {
    const int p = activity >= 0 ? layout.placementOf[activity] : -1;
    if (p >= 0) return layout.whereLesson(layout.placements[p]);
    return "slot " + std::to_string(layout.fileSlotOf(start));
}

std::string weeksNote(int weeks) {
    return weeks == 3 || weeks == 0 ? "" : std::string(" in ") + weekWords(weeks);
}

}  // namespace

std::string whereSlots(const TimetableLayout& layout, const std::vector<int>& slots) {
    const int perDay = layout.problem.slotsPerDay;
    std::string text;
    for (std::size_t i = 0; i < slots.size();) {
        std::size_t j = i;
        while (j + 1 < slots.size() && slots[j + 1] == slots[j] + 1 &&
               slots[j + 1] / perDay == slots[i] / perDay)
            ++j;
        if (!text.empty()) text += "; ";
        if (j == i) {
            text += layout.where(slots[i]);
        } else {
            const int day = slots[i] / perDay, from = slots[i] % perDay, to = slots[j] % perDay;
            const std::string fileSlots = std::to_string(layout.fileSlot(day, from)) + "-" +
                                          std::to_string(layout.fileSlot(day, to));
            if (layout.calendar.periodNames.empty())
                text += layout.calendar.day(day) + ", periods " + std::to_string(from + 1) + "-" +
                        std::to_string(to + 1) + " (slots " + fileSlots + ")";
            else
                text += layout.calendar.day(day) + ", " + layout.calendar.period(from) + " to " +
                        layout.calendar.period(to) + " (slots " + fileSlots + ")";
        }
        i = j + 1;
    }
    return text;
}

std::string needsText(const ProblemData& problem, int activity) {
    const Activity& a = problem.activities[activity];
    std::vector<std::string> parts;
    for (int r : a.reqRes) parts.push_back(problem.resourceName(r));
    for (int g : a.reqGroups) {
        const std::vector<int>& members = problem.groups[g].resources;
        std::string choice = "one of ";
        for (std::size_t i = 0; i < members.size(); ++i)
            choice += (i == 0                    ? ""
                       : i + 1 == members.size() ? " or "
                                                 : ", ") +
                      std::string(problem.resourceName(members[i]));
        parts.push_back(choice);
    }
    if (parts.empty()) return "no resource";
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return text;
}

std::string dependenceRule(const ProblemData& problem, int dependence) {
    const Dependence& dep = problem.dependences[dependence];
    const std::string first = lessonName(problem, dep.first);
    const std::string second = lessonName(problem, dep.second);
    switch (dep.op) {
    case DependenceOp::before:
        return first + " must end before " + second + " starts";
    case DependenceOp::closelyBefore:
        return first + " must end before " + second + " starts, on the same day";
    default:
        return second + " must lie within " + first;
    }
}

std::string describe(const TimetableLayout& layout, const BrokenRule& rule) {
    const ProblemData& problem = layout.problem;
    const std::string lesson = rule.activity >= 0 ? lessonName(problem, rule.activity) : "";
    const std::string resource = rule.resource >= 0 ? problem.resourceName(rule.resource) : "";
    const int lastSlot = problem.days * layout.fileSlotsPerDay - 1;
    switch (rule.kind) {
    case Rule::outsideGrid:
        // The reader keeps such a start only as "past the grid", not its number.
        return lesson + " starts beyond the last slot of the week (slot " +
               std::to_string(lastSlot) + ")";
    case Rule::crossesDayEnd: {
        const int p = layout.placementOf[rule.activity];
        if (p < 0)
            return lesson + " starts beyond the last slot of the week (slot " +
                   std::to_string(lastSlot) + ")";
        const Placement& placed = layout.placements[p];
        return lesson + " (" + plural(placed.length, "slot", "slots") + " from " +
               layout.where(placed.start) + ") runs past the end of " +
               layout.calendar.day(placed.day);
    }
    case Rule::lessonUnavailable:
        return lesson + " is placed at " + whereSlots(layout, rule.slots) +
               ", where the lesson itself may not be held";
    case Rule::wrongResourceCount: {
        const Activity& a = problem.activities[rule.activity];
        const int p = layout.placementOf[rule.activity];
        const std::size_t used = p >= 0 ? layout.placements[p].resources.size() : 0;
        return lesson + " uses " + plural(static_cast<long long>(used), "resource", "resources") +
               " but needs " + std::to_string(a.reqRes.size() + a.reqGroups.size()) + ": " +
               needsText(problem, rule.activity);
    }
    case Rule::wrongResource:
        return lesson + " (" + whereActivity(layout, rule.activity, -1) + ") uses " + resource +
               ", which it does not need (it needs " + needsText(problem, rule.activity) + ")";
    case Rule::twoFromGroup:
        return lesson + " (" + whereActivity(layout, rule.activity, -1) + ") uses both " +
               problem.resourceName(rule.otherResource) + " and " + resource +
               ", where it needs only one of its group";
    case Rule::resourceTwice:
        if (rule.other == rule.activity)
            return lesson + " lists " + resource + " twice (" +
                   whereActivity(layout, rule.activity, -1) + ")";
        return resource + " has two lessons at once, " + lessonName(problem, rule.other) + " and " +
               lesson + ": " + whereSlots(layout, rule.slots) + weeksNote(rule.weeks);
    case Rule::noBreak: {
        int earlier = rule.other, later = rule.activity;
        const int pe = layout.placementOf[earlier], pl = layout.placementOf[later];
        if (pe >= 0 && pl >= 0 && layout.placements[pl].start < layout.placements[pe].start)
            std::swap(earlier, later);
        return resource + " needs a break of " +
               plural(problem.resources[rule.resource].breakSlots, "slot", "slots") + " after " +
               lessonName(problem, earlier) + " (" + whereActivity(layout, earlier, -1) +
               "), but " + lessonName(problem, later) + " follows at " +
               whereActivity(layout, later, -1) + weeksNote(rule.weeks);
    }
    case Rule::resourceUnavailable:
        return resource + " is unavailable at " + whereSlots(layout, rule.slots) + ", where " +
               lesson + " is placed";
    case Rule::tooManyDays: {
        std::string days;
        for (std::size_t i = 0; i < rule.days.size(); ++i)
            days += (i > 0 ? ", " : "") + layout.calendar.day(rule.days[i]);
        return resource + " works on " + std::to_string(rule.days.size()) + " days (" + days +
               "), more than its MaxDays of " +
               std::to_string(problem.resources[rule.resource].maxDays);
    }
    case Rule::dependence:
        return "Hard dependence " + std::to_string(rule.dependence) +
               " broken: " + dependenceRule(problem, rule.dependence) + " (" + lesson + " at " +
               whereActivity(layout, rule.activity, rule.slots[0]) + ", " +
               lessonName(problem, rule.other) + " at " +
               whereActivity(layout, rule.other, rule.slots[1]) + ")";
    case Rule::schoolRule:
        return describe(layout, rule.breach);
    }
    return "";
}

std::string describePreferences(const TimetableLayout& layout, const Placement& placement) {
    const ProblemData& problem = layout.problem;
    std::string text = lessonName(problem, placement.activity) + " at " +
                       layout.whereLesson(placement) + ": " + std::to_string(placement.softCost);
    for (std::size_t i = 0; i < placement.preferences.size(); ++i) {
        const PreferenceCost& cost = placement.preferences[i];
        text += i == 0 ? " = " : " + ";
        text += cost.resource < 0 ? std::string("own preferences")
                                  : std::string(problem.resourceName(cost.resource));
        text += " " + std::to_string(cost.cost) + " (";
        for (std::size_t j = 0; j < cost.slots.size(); ++j)
            text += (j > 0 ? ", " : "") + std::string("slot ") +
                    std::to_string(layout.fileSlotOf(cost.slots[j].first)) + ": " +
                    std::to_string(cost.slots[j].second);
        if (cost.cost != cost.sum)
            text += "; half of " + std::to_string(cost.sum) + ", one week only";
        text += ")";
    }
    return text;
}

std::string describeSoftDependence(const TimetableLayout& layout, int dependence) {
    const ProblemData& problem = layout.problem;
    const Dependence& dep = problem.dependences[dependence];
    return "Soft dependence " + std::to_string(dependence) + " broken, weight " +
           std::to_string(dep.score) + ": " + dependenceRule(problem, dependence) + " (" +
           lessonName(problem, dep.first) + " at " + whereActivity(layout, dep.first, -1) + ", " +
           lessonName(problem, dep.second) + " at " + whereActivity(layout, dep.second, -1) + ")";
}

std::string describe(const TimetableLayout& layout, const ResourcePenalty& penalty) {
    const ProblemData& problem = layout.problem;
    const std::string resource = problem.resourceName(penalty.resource);
    const std::string sum = std::to_string(penalty.amount) + " = " + std::to_string(penalty.slots) +
                            " x " + std::to_string(penalty.rate);
    if (penalty.kind == ResourcePenalty::Kind::balanced) {
        std::string days;
        for (const auto& [day, load] : penalty.heavyDays)
            days += "; " + layout.calendar.day(day) + " has " + std::to_string(load);
        return "'Balanced' of " + resource + ": " + sum + " (its share is " +
               std::to_string(problem.resources[penalty.resource].dayQuota) +
               " slots of lessons a day, a lesson of every week counting twice" + days + ")";
    }
    std::string text = std::string(penalty.hard ? "'Continuous' (hard)" : "'Continuous'") + " of " +
                       resource + ": " + sum +
                       " (slots of gap between its first and last lesson of a day, both weeks "
                       "counted";
    if (!penalty.holes.empty()) text += "; free";
    for (std::size_t i = 0; i < penalty.holes.size();) {
        // Neighbouring free slots of one day and the same weeks read as one.
        std::size_t j = i;
        std::vector<int> run{penalty.holes[i].first};
        while (j + 1 < penalty.holes.size() &&
               penalty.holes[j + 1].first == penalty.holes[j].first + 1 &&
               penalty.holes[j + 1].second == penalty.holes[i].second)
            run.push_back(penalty.holes[++j].first);
        const int weeks = penalty.holes[i].second;
        text += (i > 0 ? "; " : ": ") + whereSlots(layout, run) + " in " +
                (weeks == 3 ? "both weeks" : weekWords(weeks));
        i = j + 1;
    }
    return text + ")";
}

std::vector<std::string> penaltyNotes(const TimetableLayout& layout, int resource) {
    std::vector<std::string> notes;
    std::set<int> dependences;
    for (const Placement& placement : layout.placements) {
        if (resource >= 0 && std::find(placement.resources.begin(), placement.resources.end(),
                                       resource) == placement.resources.end())
            continue;
        if (!placement.preferences.empty()) notes.push_back(describePreferences(layout, placement));
        dependences.insert(placement.brokenDependences.begin(), placement.brokenDependences.end());
    }
    for (int i : dependences) notes.push_back(describeSoftDependence(layout, i));
    for (const ResourcePenalty& penalty : layout.resourcePenalties)
        if (resource < 0 || penalty.resource == resource)
            notes.push_back(describe(layout, penalty));
    for (const RuleBreach& breach : layout.rulePenalties)
        if (resource < 0 || layout.concerns(breach, resource))
            notes.push_back(describePenalty(layout, breach));
    return notes;
}

std::vector<std::string> ruleNotes(const TimetableLayout& layout, int resource) {
    std::vector<std::string> notes;
    for (const BrokenRule& rule : layout.rules)
        if (resource < 0 || layout.concerns(rule, resource))
            notes.push_back(describe(layout, rule));
    return notes;
}

}  // namespace View
