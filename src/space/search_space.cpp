#include "space/search_space.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "base/log.h"
#include "base/random_stream.h"
#include "base/run_settings.h"

SearchSpace::SearchSpace(const ProblemData& problem, SolutionRecords& records, unsigned seed)
    : problem(problem), records(records) {
    const int n = static_cast<int>(problem.activities.size());
    const int nbSlots = problem.nbSlots;

    time.resize(n);
    changedVar.reserve(n);
    RandomStream random(seed);
    randseed = random.next();

    noOfWaiting = n;
    waiting.resize(n);
    used.assign(n, false);
    time_sel.assign(n, 0);

    for (int a = 0; a < n; ++a) {
        try {
            initActivity(a);
        } catch (const Contradiction&) {
            fatalError("Activity %d [%s] do not have any timeslots available", a,
                       problem.activityName(a));
        }
        waiting[a] = a;
    }

    // The search decides activities from the end of waiting: this shuffle
    // fixes their order.
    for (int i = n - 1; i >= 0; --i) {
        const int j = random.next() % (i + 1);
        std::swap(waiting[i], waiting[j]);
    }

    mdLoad.assign(problem.nbMdres, std::vector<int>(problem.days, 0));
    mdDays.assign(problem.nbMdres, 0);
    isGrresUsed.assign(problem.nbGrres, std::vector<std::uint8_t>(nbSlots, 0));

    availableRes.resize(problem.groups.size());
    for (std::size_t g = 0; g < problem.groups.size(); ++g) {
        const std::vector<int>& members = problem.groups[g].resources;
        const int size = static_cast<int>(members.size());
        if (logLevel(20)) {
            logPrint("Group %d has %d resources (", static_cast<int>(g), size);
            for (int i = 0; i < size; ++i)
                logPrint("%d%s", members[i], i + 1 < size ? ", " : ")\n");
            if (size == 0) logPrint(")\n");
        }
        availableRes[g].assign(nbSlots, GroupCounts{0, 0, size});
    }

    grsel.assign(problem.nbGrsel, -1);
    levels.emplace_back();

    for (int w = 0; w < 2; ++w) {
        cont_start[w].assign(problem.nbContres, std::vector<int>(problem.days, nbSlots));
        cont_stop[w].assign(problem.nbContres, std::vector<int>(problem.days, 0));
    }

    continuityBase.assign(problem.nbContres, 0);
    for (const Resource& resource : problem.resources) {
        if (resource.contres < 0) continue;
        int base = 2 * static_cast<int>(resource.activities.size()) * resource.breakSlots;
        for (int x : resource.activities) {
            const Activity& activity = problem.activities[x];
            base += (activity.length + resource.breakSlots) * Weeks::count(activity.week);
        }
        continuityBase[resource.contres] = base;
    }

    // A grouped resource counts as taken in both weeks where it is
    // unavailable. When that leaves a group without any member for an
    // activity's every start, the activity cannot be placed at all.
    closedFlags.assign(problem.nbGrres, std::vector<std::uint8_t>(nbSlots, 0));
    for (std::size_t r = 0; r < problem.resources.size(); ++r) {
        const Resource& resource = problem.resources[r];
        if (resource.grres < 0) continue;
        for (int u : resource.timePrefs.unavail) {
            closedFlags[resource.grres][u] = takenBoth;
            try {
                markResourceUsed(static_cast<int>(r), u, u, takenBoth);
            } catch (const Contradiction&) {
                fatalError("Activity %d [%s] do not have any timeslots available", failedVar,
                           problem.activityName(failedVar));
            }
        }
    }

    buildPropagators();
}

SearchSpace::~SearchSpace() = default;

void SearchSpace::initActivity(int a) {
    const Activity& activity = problem.activities[a];
    TimeVar& var = time[a];
    var.possible.reset(problem.nbSlots);
    var.min = 0;
    var.max = problem.nbSlots - 1;
    var.changedAt = 1;
    var.processedAt = 0;
    changedVar.push_back(a);

    const int perDay = problem.slotsPerDay;
    for (int i = 1; i <= problem.days; ++i)
        removeRange(a, i * perDay - activity.length + 1, i * perDay - 1);
    for (int u : activity.timePrefs.unavail) removeRange(a, u - activity.length + 1, u);
}

void SearchSpace::buildPropagators() {
    const int n = static_cast<int>(problem.activities.size());
    // Size every list once: large problems have tens of thousands of rules.
    std::vector<int> watcherCount(n, 0);
    std::size_t total = 0;
    for (int a = 0; a < n; ++a)
        for (const auto& conflict : problem.activities[a].conflicts)
            if (conflict.first > a) {
                ++watcherCount[a];
                ++watcherCount[conflict.first];
                ++total;
            }
    for (const Dependence& dependence : problem.dependences) {
        if (dependence.score >= 0) continue;
        const int rules = dependence.op == DependenceOp::closelyBefore ? 2 : 1;
        watcherCount[dependence.first] += rules;
        watcherCount[dependence.second] += rules;
        total += rules;
    }
    propagators.reserve(total);
    for (int a = 0; a < n; ++a) time[a].watchers.reserve(watcherCount[a]);

    for (int a = 0; a < n; ++a) {
        const Activity& first = problem.activities[a];
        for (const auto& [b, gap] : first.conflicts) {
            if (b <= a) continue;
            const Activity& second = problem.activities[b];
            if (logLevel(20))
                logPrint("Activity %d [%s] conflicts with %d [%s] (break=%d)\n", a,
                         problem.activityName(a), b, problem.activityName(b), gap);
            post<Propagators::DisjointPropagator>(a, first.length + gap, b, second.length + gap);
        }
    }

    for (const Dependence& dependence : problem.dependences) {
        if (dependence.score >= 0) continue;  // soft: only scored
        const int a = dependence.first, b = dependence.second;
        const int lengthA = problem.activities[a].length;
        switch (dependence.op) {
        case DependenceOp::before:
            post<Propagators::BeforePropagator>(a, lengthA, b);
            break;
        case DependenceOp::closelyBefore:
            post<Propagators::BeforePropagator>(a, lengthA, b);
            post<Propagators::SameDayPropagator>(a, b, problem.slotsPerDay);
            break;
        case DependenceOp::concurrently:
            post<Propagators::ConcurrentlyPropagator>(a, b, lengthA - problem.activities[b].length);
            break;
        default:
            break;
        }
    }
}

void spaceAssertFailed(const char* expression) {
    std::fprintf(stderr, "Assertion failed: %s, file myspace\n", expression);
    std::fflush(stderr);
    std::abort();
}
