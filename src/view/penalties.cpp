#include "view/penalties.h"

#include <algorithm>
#include <map>

#include "view/timetable_layout.h"

namespace View {

std::vector<PreferenceCost> preferenceCosts(const ProblemData& problem, int activity, int start,
                                            const std::vector<int>& resources) {
    const Activity& lesson = problem.activities[activity];
    std::vector<PreferenceCost> costs;
    auto meet = [&](const TimePrefs& prefs, int resource) {
        PreferenceCost cost{.resource = resource};
        const long long last = std::min<long long>(static_cast<long long>(start) + lesson.length,
                                                   static_cast<long long>(prefs.soft.size()));
        for (long long s = std::max(start, 0); s < last; ++s) {
            if (prefs.soft[s] == 0) continue;
            cost.sum += prefs.soft[s];
            cost.slots.emplace_back(static_cast<int>(s), prefs.soft[s]);
        }
        if (cost.slots.empty()) return;
        cost.cost = resource < 0 ? cost.sum : Weeks::weighted(cost.sum, lesson.week);
        costs.push_back(std::move(cost));
    };
    meet(lesson.ownTimePrefs, -1);
    for (int r : resources)
        if (r >= 0 && r < static_cast<int>(problem.resources.size()))
            meet(problem.resources[r].timePrefs, r);
    return costs;
}

namespace {

bool uses(const Placement& placement, int resource) {
    return std::find(placement.resources.begin(), placement.resources.end(), resource) !=
           placement.resources.end();
}

// The judgement's gap: per week, the span from the first to the last lesson
// slot of each working day, less the breaks of the lessons that are not the
// last of their day and the time all its lessons must hold (unassigned ones
// with their breaks included).
void chargeContinuity(const TimetableLayout& layout, int r, std::vector<ResourcePenalty>& out) {
    const ProblemData& problem = layout.problem;
    const Resource& resource = problem.resources[r];
    const int days = problem.days;
    std::vector<int> first(2 * days, problem.nbSlots), last(2 * days, 0);
    long long busy[2] = {0, 0};
    for (const Placement& p : layout.placements) {
        if (!uses(p, r)) continue;
        for (int w = 0; w < 2; ++w) {
            if (!Weeks::holds(p.week, w)) continue;
            first[w * days + p.day] = std::min(first[w * days + p.day], p.start);
            last[w * days + p.day] = std::max(last[w * days + p.day], p.start + p.length - 1);
            busy[w] += p.length;
        }
    }
    for (int a : layout.unassigned) {
        const Activity& activity = problem.activities[a];
        if (std::find(activity.reqRes.begin(), activity.reqRes.end(), r) == activity.reqRes.end())
            continue;
        for (int w = 0; w < 2; ++w)
            if (Weeks::holds(activity.week, w)) busy[w] += resource.breakSlots + activity.length;
    }
    const long long lessons = static_cast<long long>(resource.activities.size());
    long long gap = 0;
    std::map<int, int> holes;
    for (int w = 0; w < 2; ++w) {
        long long used = 0;
        for (int d = 0; d < days; ++d) {
            const int from = first[w * days + d], to = last[w * days + d];
            if (from > to) continue;
            ++used;
            gap += to - from + 1;
            for (int s = from; s <= to; ++s)
                if (layout.holdersAt(w, r, s).empty()) holes[s] |= Weeks::bitOf(w);
        }
        gap -= (lessons - used) * resource.breakSlots + busy[w];
    }
    const long long rate = resource.continuous / 2;
    if (resource.continuous <= 0 || rate * gap <= 0) return;
    ResourcePenalty penalty{.kind = ResourcePenalty::Kind::continuous,
                            .resource = r,
                            .hard = resource.continuous == hardContinuous,
                            .rate = rate,
                            .slots = gap,
                            .amount = rate * gap};
    penalty.holes.assign(holes.begin(), holes.end());
    out.push_back(std::move(penalty));
}

// Each day's load, lessons of both weeks counted twice, against the
// resource's even share.
void chargeBalance(const TimetableLayout& layout, int r, std::vector<ResourcePenalty>& out) {
    const ProblemData& problem = layout.problem;
    const Resource& resource = problem.resources[r];
    std::vector<long long> load(problem.days, 0);
    for (const Placement& p : layout.placements)
        if (uses(p, r)) load[p.day] += problem.activities[p.activity].weekLoad;
    ResourcePenalty penalty{
        .kind = ResourcePenalty::Kind::balanced, .resource = r, .rate = resource.balanced};
    for (int d = 0; d < problem.days; ++d) {
        if (load[d] <= resource.dayQuota) continue;
        penalty.slots += load[d] - resource.dayQuota;
        penalty.heavyDays.emplace_back(d, load[d]);
    }
    if (penalty.slots == 0) return;
    penalty.amount = penalty.rate * penalty.slots;
    out.push_back(std::move(penalty));
}

}  // namespace

std::vector<ResourcePenalty> resourcePenalties(const TimetableLayout& layout) {
    std::vector<ResourcePenalty> penalties;
    for (int r = 0; r < static_cast<int>(layout.problem.resources.size()); ++r) {
        const Resource& resource = layout.problem.resources[r];
        if (resource.continuous != 0) chargeContinuity(layout, r, penalties);
        if (resource.balanced > 0) chargeBalance(layout, r, penalties);
    }
    return penalties;
}

}  // namespace View
