#include "problem/analyser.h"

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

#include "base/log.h"
#include "base/run_settings.h"
#include "problem/name_index.h"
#include "problem/problem_reader.h"
#include "problem/school_rules_analysis.h"
#include "problem/score_bound.h"
#include "problem/time_prefs.h"
#include "problem/value_syntax.h"
#include "problem/weeks.h"

namespace {

// Activities x slots and resources x slots each stay below this, so that the
// per-activity preference tables here and the [2 weeks][resources][slots]
// tables of the judgement and the search (4-byte entries) stay well under
// 1 GiB. The largest real problems use a few hundred thousand.
constexpr long long maxTableCells = 50000000;

// The grid, with the added break slots, must fit the per-slot tables.
void checkProblemSize(const ProblemData& problem) {
    long long daySlots = static_cast<long long>(problem.slotsPerDay) + problem.addedSlots;
    if (problem.days * daySlots > maxTimeslots)
        fatalError("Too many timeslots with the added slots (%d days x %lld slots per day, "
                   "at most %d)",
                   problem.days, daySlots, maxTimeslots);
    long long slots = problem.days * daySlots;
    long long records = static_cast<long long>(
        std::max(problem.activities.size(), problem.resources.size()));
    if (records * slots > maxTableCells)
        fatalError("Problem too large (%zu activities, %zu resources, %lld timeslots; "
                   "at most %lld activity or resource timeslots)",
                   problem.activities.size(), problem.resources.size(), slots, maxTableCells);
}

// Time preferences on the internal numbering, and the added slots.
void prepareTimes(ProblemData& problem) {
    int added = 0;
    for (const Resource& resource : problem.resources) added = std::max(added, resource.breakSlots);
    problem.addedSlots = added;
    if (added != 0 && logLevel(10))
        logPrint("Added additional %d timeslots at end of each day\n", added);
    checkProblemSize(problem);

    SlotGrid grid{problem.nbSlots, problem.slotsPerDay, added};
    for (int r = 0; r < static_cast<int>(problem.resources.size()); ++r)
        prepareTimePrefs(problem.resources[r].timePrefs, grid, "resource", r,
                         problem.resourceName(r));
    for (int a = 0; a < static_cast<int>(problem.activities.size()); ++a) {
        Activity& activity = problem.activities[a];
        // An activity longer than the grid cannot be placed anywhere, and its
        // start costs could not be formed.
        if (activity.length > problem.nbSlots)
            fatalError("Activity longer than the whole timetable (activity %d [%s])", a,
                       problem.activityName(a));
        prepareTimePrefs(activity.timePrefs, grid, "activity", a, problem.activityName(a));
        activity.ownTimePrefs = activity.timePrefs;
        activity.weekLoad = Weeks::count(activity.week) * activity.length;
    }
    problem.slotsPerDay += added;
    problem.nbSlots += added * problem.days;
}

// Requirements and groups.
void buildRequirements(ProblemData& problem) {
    // The trace of the requirement analysis, shown from verbosity 40.
    const bool tracing = logLevel(40);
    if (tracing) logPrint("  Generating requires and groups\n");
    nameIndex(problem.activities);  // only checks that activity names are unique
    std::map<std::string, int> resourceIndex = nameIndex(problem.resources);

    std::map<std::vector<int>, int> groupIndex;
    std::vector<Group> groups;
    // usedBy[r] is the last activity that asked for resource r.
    std::vector<int> usedBy(problem.resources.size(), -1);
    auto claim = [&](int a, int r) {
        if (usedBy[r] == a)
            fatalError("The same resource needed twice (%d [%s])", r, problem.resourceName(r));
        usedBy[r] = a;
    };

    for (int a = 0; a < static_cast<int>(problem.activities.size()); ++a) {
        Activity& activity = problem.activities[a];
        if (tracing) logPrint("    Activity %d [%s]\n", a, problem.activityName(a));
        if (tracing) logPrint("      Required resources:");
        for (const std::string& name : activity.readReq.required) {
            int r = resolveName(resourceIndex, name);
            if (tracing) logPrint(" %d [%s]", r, problem.resourceName(r));
            claim(a, r);
            activity.reqRes.push_back(r);
            Resource& resource = problem.resources[r];
            resource.activities.push_back(a);
            // A resource's soft costs count half for an activity of one week.
            mergeTimePrefs(activity.timePrefs, resource.timePrefs, activity.week != Weeks::both, a,
                           problem.activityName(a));
        }
        if (tracing) logPrint("\n");
        computeStartSoft(activity.timePrefs, activity.length, a, problem.activityName(a));

        if (tracing) logPrint("      Required groups:");
        for (const std::vector<std::string>& names : activity.readReq.groups) {
            if (tracing) logPrint(" (");
            std::vector<int> key;
            for (const std::string& name : names) {
                int r = resolveName(resourceIndex, name);
                if (tracing) logPrint(" %d [%s]", r, problem.resourceName(r));
                key.push_back(r);
            }
            auto [entry, isNew] = groupIndex.try_emplace(key, static_cast<int>(groups.size()));
            int g = entry->second;
            if (isNew) {
                if (tracing) logPrint(" :new:");
                groups.push_back(Group{key, {}});
                for (int r : key) problem.resources[r].groups.push_back(g);
            }
            if (tracing) logPrint(")");
            groups[g].activities.push_back(a);
            activity.reqGroups.push_back(g);
            for (int r : key) claim(a, r);
        }
        if (tracing) logPrint("\n");
        activity.readReq = RequirementNames{};
    }
    problem.groups = std::move(groups);
}

// Dependences: After and Closely after become Before and Closely before
// with the activities exchanged; of two concurrent activities the longer one
// comes first.
void resolveDependences(ProblemData& problem) {
    if (problem.dependences.empty()) return;
    std::map<std::string, int> activityIndex = nameIndex(problem.activities);
    for (int c = 0; c < static_cast<int>(problem.dependences.size()); ++c) {
        Dependence& dependence = problem.dependences[c];
        dependence.first = resolveName(activityIndex, dependence.firstId);
        dependence.second = resolveName(activityIndex, dependence.secondId);
        dependence.firstId.clear();
        dependence.secondId.clear();
        if (dependence.op == DependenceOp::after || dependence.op == DependenceOp::closelyAfter) {
            dependence.op = dependence.op == DependenceOp::after ? DependenceOp::before : DependenceOp::closelyBefore;
            std::swap(dependence.first, dependence.second);
        } else if (dependence.op == DependenceOp::concurrently &&
                   problem.activities[dependence.first].length <
                       problem.activities[dependence.second].length) {
            std::swap(dependence.first, dependence.second);
        }
        problem.activities[dependence.first].dependences.push_back(c);
        problem.activities[dependence.second].dependences.push_back(c);
    }
}

// Resource rules and the dense indexes of resources with day rules, in
// groups, and with continuity rules.
void analyseResources(ProblemData& problem) {
    problem.nbMdres = problem.nbGrres = problem.nbContres = 0;
    for (int i = 0; i < static_cast<int>(problem.resources.size()); ++i) {
        Resource& resource = problem.resources[i];
        resource.grres = resource.groups.empty() ? -1 : problem.nbGrres++;
        resource.mdres = resource.maxDays != noMaxDays || resource.balanced != 0
                             ? problem.nbMdres++
                             : -1;
        if (resource.maxDays < 1)
            fatalError("MaxDays shoud be at least 1 (resource %d [%s])", i,
                       problem.resourceName(i));
        if (resource.mdres >= 0 && resource.grres >= 0)
            fatalError("MaxDays and Balanced are not supported for resources in groups "
                       "(resource %d [%s])",
                       i, problem.resourceName(i));
        int load = 0;
        for (int a : resource.activities) load += problem.activities[a].weekLoad;
        resource.dayQuota = load / std::min(resource.maxDays, problem.days);
        resource.contres = resource.continuous != 0 ? problem.nbContres++ : -1;
        if (resource.contres >= 0 && resource.grres >= 0)
            fatalError("Continuous not supported for resources in groups (resource %d [%s])", i,
                       problem.resourceName(i));
        if (resource.contres >= 0) {
            resource.busyEven = resource.busyOdd = 0;
            for (int a : resource.activities) {
                const Activity& activity = problem.activities[a];
                if (activity.week & Weeks::even) resource.busyEven += activity.length + resource.breakSlots;
                if (activity.week & Weeks::odd) resource.busyOdd += activity.length + resource.breakSlots;
            }
        }
    }
}

// Each activity's group selections follow those of the activities before it.
void numberGroupSelections(ProblemData& problem) {
    problem.nbGrsel = 0;
    for (Activity& activity : problem.activities) {
        activity.grsel = problem.nbGrsel;
        problem.nbGrsel += static_cast<int>(activity.reqGroups.size());
    }
}

// The activities that share a required resource with an activity in a
// common week, with the largest break among the shared resources.
void buildConflicts(ProblemData& problem) {
    std::vector<int> gap(problem.activities.size(), -1);
    std::vector<int> met;
    for (Activity& activity : problem.activities) {
        met.clear();
        for (int r : activity.reqRes) {
            const Resource& resource = problem.resources[r];
            for (int a : resource.activities) {
                if ((problem.activities[a].week & activity.week) == 0) continue;
                if (gap[a] < 0) met.push_back(a);
                gap[a] = std::max(gap[a], resource.breakSlots);
            }
        }
        std::sort(met.begin(), met.end());
        activity.conflicts.clear();
        for (int a : met) {
            activity.conflicts.emplace_back(a, gap[a]);
            gap[a] = -1;
        }
    }
}

}  // namespace

int resolveName(const std::map<std::string, int>& index, const std::string& name) {
    auto found = index.find(name);
    if (found == index.end()) fatalError("Id \"%s\" not found", name.c_str());
    return found->second;
}

void analyseProblem(ProblemData& problem, XML::Elements& root) {
    readProblem(problem, root);
    prepareTimes(problem);
    buildRequirements(problem);
    resolveDependences(problem);
    analyseResources(problem);
    analyseSchoolRules(problem);
    numberGroupSelections(problem);
    buildConflicts(problem);
    checkScoreBound(problem);
    if (logLevel(10))
        logPrint("Statistics: %d activities, %d resources, %d groups, %d timeslots (%d days x %d "
                 "hours), %d dependences, %d grres, %d grsel\n",
                 static_cast<int>(problem.activities.size()),
                 static_cast<int>(problem.resources.size()),
                 static_cast<int>(problem.groups.size()), problem.nbSlots, problem.days,
                 problem.slotsPerDay, static_cast<int>(problem.dependences.size()),
                 problem.nbGrres, problem.nbGrsel);
}
