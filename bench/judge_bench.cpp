// Time of one judgement on the benchmark problems. The timetable judged is
// built here by a plain first-fit placement that keeps every hard rule:
// activities in a hard dependence, and those with no free start, stay
// unassigned. The problems are read from $QUORVEX_BENCH_PROBLEMS, by default
// the shared bench folder beside the source tree.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_problem.h"
#include "base/files.h"
#include "base/run_settings.h"
#include "judge/check_solution.h"
#include "problem/analyser.h"
#include "xml/xml_tree.h"

namespace {

const char* const benchProblems[] = {"small-1.xml", "medium-1.xml", "large-1.xml",
                                     "real-es-secondary.xml"};

ProblemData loadProblem(const std::string& path) {
    ProblemData problem;
    loadBenchProblem(path, problem);
    return problem;
}

// First-fit timetable: who holds each resource at each slot and week, and
// on which days each resource works.
class FirstFit {
public:
    explicit FirstFit(const ProblemData& problem)
        : problem(problem),
          holder(2 * problem.resources.size() * problem.nbSlots, -1),
          dayUsed(problem.resources.size() * problem.days, 0),
          daysUsed(problem.resources.size(), 0) {}

    void place() {
        std::vector<char> inHardDependence(problem.activities.size(), 0);
        for (const Dependence& dep : problem.dependences)
            if (dep.score < 0) inHardDependence[dep.first] = inHardDependence[dep.second] = 1;
        problem.solution.clear();
        for (int a = 0; a < static_cast<int>(problem.activities.size()); ++a) {
            SolutionEntry entry;
            entry.act = a;
            if (!inHardDependence[a]) placeActivity(a, entry);
            problem.solution.push_back(entry);
        }
    }

    ProblemData& timetabled() { return problem; }

private:
    bool forbidden(const TimePrefs& prefs, int start, int length) const {
        for (int slot : prefs.unavail)
            if (slot >= start && slot < start + length) return true;
        return false;
    }

    std::size_t cell(int week, int r, int slot) const {
        return (week * problem.resources.size() + r) * problem.nbSlots + slot;
    }

    // The slots the resource would hold: the activity and its break, within the day.
    int heldUntil(int r, int start, int length) const {
        const int dayEnd = (start / problem.slotsPerDay + 1) * problem.slotsPerDay - 1;
        return std::min(start + length + problem.resources[r].breakSlots - 1, dayEnd);
    }

    bool isFree(int r, const Activity& act, int start) const {
        const Resource& res = problem.resources[r];
        if (forbidden(res.timePrefs, start, act.length)) return false;
        const int day = start / problem.slotsPerDay;
        if (res.maxDays < problem.days && !dayUsed[r * problem.days + day] &&
            daysUsed[r] >= res.maxDays)
            return false;
        for (int s = start; s <= heldUntil(r, start, act.length); ++s)
            for (int w = 0; w < 2; ++w)
                if ((act.week & (2 >> w)) && holder[cell(w, r, s)] >= 0) return false;
        return true;
    }

    void hold(int r, int a, int start) {
        const Activity& act = problem.activities[a];
        for (int s = start; s <= heldUntil(r, start, act.length); ++s)
            for (int w = 0; w < 2; ++w)
                if (act.week & (2 >> w)) holder[cell(w, r, s)] = a;
        const int day = start / problem.slotsPerDay;
        if (!dayUsed[r * problem.days + day]) {
            dayUsed[r * problem.days + day] = 1;
            ++daysUsed[r];
        }
    }

    void placeActivity(int a, SolutionEntry& entry) {
        const Activity& act = problem.activities[a];
        for (int t = 0; t + act.length <= problem.nbSlots; ++t) {
            if (t / problem.slotsPerDay != (t + act.length - 1) / problem.slotsPerDay) continue;
            if (forbidden(act.timePrefs, t, act.length)) continue;
            bool fits = true;
            for (int r : act.reqRes) fits = fits && isFree(r, act, t);
            std::vector<int> chosen;
            for (int g : act.reqGroups) {
                if (!fits) break;
                int pick = -1;
                for (int r : problem.groups[g].resources)
                    if (isFree(r, act, t)) { pick = r; break; }
                fits = pick >= 0;
                chosen.push_back(pick);
            }
            if (!fits) continue;
            entry.start = t;
            entry.res = chosen;
            entry.res.insert(entry.res.end(), act.reqRes.begin(), act.reqRes.end());
            for (int r : entry.res) hold(r, a, t);
            return;
        }
    }

    ProblemData problem;
    std::vector<int> holder;
    std::vector<char> dayUsed;
    std::vector<int> daysUsed;
};

void judgeBenchProblem(benchmark::State& state) {
    runSettings.verbosity = 0;
    const std::string name = benchProblems[state.range(0)];
    const char* dir = std::getenv("QUORVEX_BENCH_PROBLEMS");
    const std::string problems = dir ? dir : benchProblemFolder();
    FirstFit firstFit(loadProblem(problems + "/" + name));
    firstFit.place();
    const ProblemData& problem = firstFit.timetabled();
    int assigned = 0;
    for (const SolutionEntry& entry : problem.solution) assigned += entry.start >= 0;
    int score = 0;
    for (auto _ : state) {
        score = checkSolution(problem);
        benchmark::DoNotOptimize(score);
    }
    state.SetLabel(name + ": " + std::to_string(assigned) + "/" +
                   std::to_string(problem.activities.size()) + " placed, score " +
                   std::to_string(score));
}

}  // namespace

BENCHMARK(judgeBenchProblem)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
