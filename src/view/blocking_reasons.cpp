#include "view/blocking_reasons.h"

#include <algorithm>
#include <set>

#include "problem/dependence_rule.h"
#include "view/explanations.h"

namespace View {

namespace {

// The checks of one start, in the order a reader would look for them.
class StartCheck {
public:
    StartCheck(const TimetableLayout& layout, int activity, int day, int hour)
        : layout(layout),
          problem(layout.problem),
          activityIndex(activity),
          activity(layout.problem.activities[activity]),
          day(day),
          hour(hour),
          start(layout.internalSlot(day, hour)) {}

    BlockReason run() const {
        if (hour + activity.length > layout.fileSlotsPerDay) return {.kind = Block::dayEnd};
        if (int s = forbiddenSlot(activity.ownTimePrefs.unavail); s >= 0)
            return {.kind = Block::lessonUnavailable, .slot = fileSlot(s)};
        for (int r : activity.reqRes)
            if (BlockReason reason = resourceBlock(r); reason.kind != Block::fits) return reason;
        for (int g : activity.reqGroups)
            if (BlockReason reason = groupBlock(g); reason.kind != Block::fits) return reason;
        for (int i : activity.dependences)
            if (BlockReason reason = dependenceBlock(i); reason.kind != Block::fits) return reason;
        return schoolRuleBlock();
    }

private:
    int fileSlot(int internal) const {
        return layout.fileSlot(internal / problem.slotsPerDay, internal % problem.slotsPerDay);
    }

    int forbiddenSlot(const std::vector<int>& unavail) const {
        auto it = std::lower_bound(unavail.begin(), unavail.end(), start);
        return it != unavail.end() && *it < start + activity.length ? *it : -1;
    }

    // What keeps one resource from serving the lesson at this start: a
    // forbidden slot, another lesson (or its break) in a week of this one,
    // this lesson's own break running into another, or its day limit.
    BlockReason resourceBlock(int r) const {
        const Resource& resource = problem.resources[r];
        if (int s = forbiddenSlot(resource.timePrefs.unavail); s >= 0)
            return {.kind = Block::resourceUnavailable, .resource = r, .slot = fileSlot(s)};
        const int dayEnd = layout.internalSlot(day, problem.slotsPerDay);
        const int end = std::min(start + activity.length + resource.breakSlots, dayEnd);
        BlockReason breakClash;
        for (int s = start; s < end; ++s) {
            for (int w = 0; w < 2; ++w) {
                if (!Weeks::holds(activity.week, w)) continue;
                const Holder& holder = layout.holder(w, r, s);
                if (holder.placement < 0) continue;
                const int other = layout.placements[holder.placement].activity;
                if (!holder.isBreak && s < start + activity.length)
                    return {.kind = Block::resourceBusy,
                            .resource = r,
                            .other = other,
                            .slot = fileSlot(s)};
                if (breakClash.kind == Block::fits)
                    breakClash = {.kind = Block::breakNeeded,
                                  .resource = r,
                                  .other = other,
                                  .slot = fileSlot(s),
                                  .ownBreak = !holder.isBreak};
            }
        }
        if (breakClash.kind != Block::fits) return breakClash;
        if (resource.maxDays < problem.days && !layout.usedOnDay(r, day) &&
            layout.usedDays(r) >= resource.maxDays)
            return {.kind = Block::dayLimit, .resource = r};
        return {};
    }

    // Members of the lesson's groups never overlap each other or its required
    // resources, so each group needs only one free member of its own.
    BlockReason groupBlock(int g) const {
        BlockReason full{.kind = Block::groupFull, .group = g};
        for (int m : problem.groups[g].resources) {
            BlockReason reason = resourceBlock(m);
            if (reason.kind == Block::fits) return {};
            full.members.push_back(reason);
        }
        return full;
    }

    // A hard dependence with a placed lesson, by the judgement's rules.
    BlockReason dependenceBlock(int i) const {
        const Dependence& dep = problem.dependences[i];
        if (dep.score >= 0) return {};
        const bool isFirst = dep.first == activityIndex;
        const int other = isFirst ? dep.second : dep.first;
        const int p = layout.placementOf[other];
        if (p < 0 || other == activityIndex) return {};
        const Placement& placed = layout.placements[p];
        const int t1 = isFirst ? start : placed.start;
        const int t2 = isFirst ? placed.start : start;
        const int len1 = problem.activities[dep.first].length;
        const int len2 = problem.activities[dep.second].length;
        if (!dependenceBroken(dep.op, t1, len1, t2, len2, problem.slotsPerDay)) return {};
        return {.kind = Block::dependence,
                .other = other,
                .slot = fileSlot(placed.start),
                .dependence = i};
    }

    // The judgement's count of the school rules with the lesson placed here,
    // against the written timetable's: the first hard breach it adds. The
    // lesson's group members do not matter, no rule is allowed on them.
    BlockReason schoolRuleBlock() const {
        if (!problem.hasSchoolRules()) return {};
        std::set<std::string> written;
        for (const BrokenRule& rule : layout.rules)
            if (rule.kind == Rule::schoolRule) written.insert(rule.breach.text);
        for (const RuleBreach& breach : schoolRuleBreachesOf(problem, activityIndex, start)) {
            if (!breach.hard || written.count(breach.text)) continue;
            return {.kind = Block::schoolRule,
                    .resource = breach.resource,
                    .ruleKind = breach.kind,
                    .rule = breach.rule,
                    .ruleText = describe(layout, breach)};
        }
        return {};
    }

    const TimetableLayout& layout;
    const ProblemData& problem;
    const int activityIndex;
    const Activity& activity;
    const int day;
    const int hour;
    const int start;
};

std::string slotRange(int first, int length) {
    if (length <= 1) return "slot " + std::to_string(first);
    return "slots " + std::to_string(first) + "-" + std::to_string(first + length - 1);
}

std::string dependenceText(const TimetableLayout& layout, int activity, const BlockReason& reason) {
    const ProblemData& problem = layout.problem;
    const Dependence& dep = problem.dependences[reason.dependence];
    const bool isFirst = dep.first == activity;
    const std::string other = problem.activityName(reason.other);
    const Placement& placed = layout.placements[layout.placementOf[reason.other]];
    const std::string where = " (" + slotRange(reason.slot, placed.length) + ")";
    switch (dep.op) {
    case DependenceOp::before:
        return isFirst ? "must end before " + other + " starts" + where
                       : "must start after " + other + " ends" + where;
    case DependenceOp::closelyBefore:
        return isFirst ? "must end before " + other + " starts, on its day" + where
                       : "must start after " + other + " ends, on its day" + where;
    default:
        return isFirst ? "must run during all of " + other + where
                       : "must lie within " + other + where;
    }
}

// Starts blocked by one rule on one resource, group or dependence read as one
// run; the lessons in the way are listed together.
bool sameCause(const BlockReason& a, const BlockReason& b) {
    return a.kind == b.kind && a.resource == b.resource && a.group == b.group &&
           a.dependence == b.dependence && a.ownBreak == b.ownBreak &&
           a.ruleKind == b.ruleKind && a.rule == b.rule;
}

std::string memberReasons(const TimetableLayout& layout, int activity, const BlockReason& full) {
    std::string text;
    for (std::size_t i = 0; i < full.members.size(); ++i)
        text += (i > 0 ? "; " : "") + describe(layout, activity, full.members[i]);
    return text;
}

}  // namespace

BlockReason firstBlock(const TimetableLayout& layout, int activity, int day, int hour) {
    return StartCheck(layout, activity, day, hour).run();
}

std::vector<DayBlocking> blockingOf(const TimetableLayout& layout, int activity) {
    std::vector<DayBlocking> days;
    for (int day = 0; day < layout.problem.days; ++day) {
        DayBlocking blocking{.day = day, .runs = {}};
        for (int hour = 0; hour < layout.fileSlotsPerDay; ++hour) {
            BlockReason reason = firstBlock(layout, activity, day, hour);
            if (blocking.runs.empty() || !sameCause(blocking.runs.back().reason, reason))
                blocking.runs.push_back({.firstHour = hour, .lastHour = hour, .reason = reason});
            BlockedRun& run = blocking.runs.back();
            run.lastHour = hour;
            if (reason.other >= 0 &&
                std::find(run.others.begin(), run.others.end(), reason.other) == run.others.end())
                run.others.push_back(reason.other);
        }
        days.push_back(std::move(blocking));
    }
    return days;
}

std::string describe(const TimetableLayout& layout, int activity, const BlockedRun& run) {
    if (run.firstHour == run.lastHour) return describe(layout, activity, run.reason);
    const ProblemData& problem = layout.problem;
    const BlockReason& reason = run.reason;
    const std::string resource = reason.resource >= 0 ? problem.resourceName(reason.resource) : "";
    std::string others;
    for (std::size_t i = 0; i < run.others.size(); ++i)
        others += (i > 0 ? ", " : "") + std::string(problem.activityName(run.others[i]));
    switch (reason.kind) {
    case Block::lessonUnavailable:
        return "the lesson is not allowed in these slots";
    case Block::resourceUnavailable:
        return resource + " is unavailable";
    case Block::resourceBusy:
        return resource + " is busy with " + others;
    case Block::breakNeeded:
        return resource + " needs a break of " +
               std::to_string(problem.resources[reason.resource].breakSlots) +
               (reason.ownBreak ? " after this lesson, before " : " after ") + others;
    case Block::groupFull:
        return "no member of the group is free (at the first start: " +
               memberReasons(layout, activity, reason) + ")";
    default:
        break;
    }
    return describe(layout, activity, reason);
}

std::string describe(const TimetableLayout& layout, int activity, const BlockReason& reason) {
    const ProblemData& problem = layout.problem;
    const std::string resource = reason.resource >= 0 ? problem.resourceName(reason.resource) : "";
    const std::string slot = std::to_string(reason.slot);
    switch (reason.kind) {
    case Block::fits:
        return "free: the lesson could start here";
    case Block::dayEnd:
        return "runs past the end of the day";
    case Block::lessonUnavailable:
        return "the lesson is not allowed at slot " + slot;
    case Block::resourceUnavailable:
        return resource + " is unavailable at slot " + slot;
    case Block::resourceBusy:
        return resource + " is busy with " + problem.activityName(reason.other) + " at slot " +
               slot;
    case Block::breakNeeded: {
        const std::string rest =
            "a break of " + std::to_string(problem.resources[reason.resource].breakSlots);
        if (reason.ownBreak)
            return resource + " needs " + rest + " after this lesson, but " +
                   problem.activityName(reason.other) + " follows at slot " + slot;
        return resource + " needs " + rest + " after " + problem.activityName(reason.other) +
               " (slot " + slot + ")";
    }
    case Block::dayLimit:
        return resource + " already works its " +
               std::to_string(problem.resources[reason.resource].maxDays) +
               " days (MaxDays) on other days";
    case Block::groupFull:
        return "no member of the group is free (" + memberReasons(layout, activity, reason) + ")";
    case Block::dependence:
        return dependenceText(layout, activity, reason);
    case Block::schoolRule:
        return "a school rule would be broken: " + reason.ruleText;
    }
    return "";
}

}  // namespace View
