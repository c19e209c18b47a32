#include "deep/deep_search.h"

#include <climits>
#include <memory>
#include <thread>
#include <vector>

#include "deep/facts.h"
#include "deep/searcher.h"
#include "deep/shared_best.h"
#include "base/log.h"
#include "base/run_settings.h"

namespace {

using Clock = SharedBest::Clock;

constexpr auto pollInterval = std::chrono::milliseconds(20);
constexpr double progressInterval = 5;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int reportedScore(long long score) {
    if (score > INT_MAX) fatalError("Score too large to count (too many unassigned activities)");
    return static_cast<int>(score);
}

// The log of the run: each better timetable once, the first time every
// activity is placed, and a line of progress every few seconds.
class RunLog {
public:
    RunLog(const SharedBest& best, bool showScores) : best(best), showScores(showScores) {
        logged = best.report().improvements;
    }

    void update(double elapsed) {
        const SharedBest::Report now = best.report();
        // A timetable with more than 2147 activities unassigned has a score
        // beyond an int: it is no result to report, only a step on the way.
        if (now.improvements != logged && now.score <= INT_MAX) {
            logged = now.improvements;
            if (logLevel(10)) logPrint("Found solution, score=%d\n", reportedScore(now.score));
            if (showScores) logPrint("%d\n", reportedScore(now.score));
        }
        if (!placedLogged && now.allPlacedAfter >= 0) {
            placedLogged = true;
            if (logLevel(10)) logPrint("Every activity placed after %.2f s\n", now.allPlacedAfter);
        }
        if (elapsed >= nextProgress) {
            nextProgress += progressInterval;
            if (logLevel(10))
                logPrint("Deep search: %d s, best score %lld, %d activities unassigned\n",
                         static_cast<int>(elapsed), now.score, now.unassigned);
        }
    }

private:
    const SharedBest& best;
    const bool showScores;
    long long logged;
    bool placedLogged = false;
    double nextProgress = progressInterval;
};

// Where each search spent its steps, at verbosity 20: a change that makes a
// move cheaper shows here before it shows in the score.
void logStatistics(const std::vector<std::unique_ptr<Searcher>>& searchers, double seconds) {
    static const char* const moveNames[Polisher::nbMoveKinds] = {"relocate", "swap", "member",
                                                                 "kempe chain"};
    const double perSecond = seconds > 0 ? 1 / seconds : 0;
    for (std::size_t i = 0; i < searchers.size(); ++i) {
        const Placer& placer = searchers[i]->placing();
        logPrint("Search %d: %lld placing steps (%.0f/s), %lld activities taken out\n",
                 static_cast<int>(i), placer.steps, placer.steps * perSecond, placer.removals);
        const Polisher& polisher = searchers[i]->polishing();
        for (int kind = 0; kind < Polisher::nbMoveKinds; ++kind) {
            const Polisher::MoveStatistics& moves = polisher.statistics[kind];
            logPrint("  %-12s tried %lld (%.0f/s), made %lld, kept %lld, better %lld\n",
                     moveNames[kind], moves.tried, moves.tried * perSecond, moves.feasible,
                     moves.accepted, moves.improving);
        }
    }
}

}  // namespace

void runDeepSearch(const ProblemData& problem, const DeepOptions& options,
                   const std::atomic<int>& stopRequested, SolutionRecords& records) {
    const int threads = options.threads > 0 ? options.threads : 1;
    if (logLevel(10)) logPrint("Deep search on %d thread%s\n", threads, threads == 1 ? "" : "s");
    const Clock::time_point start = Clock::now();
    const Facts facts(problem);
    const std::vector<SolutionEntry>* initial = options.fromSolution ? &problem.solution : nullptr;

    std::vector<std::unique_ptr<Searcher>> searchers;
    for (int i = 0; i < threads; ++i)
        searchers.push_back(
            std::make_unique<Searcher>(facts, options.seed + i, initial, Searcher::portfolio(i)));
    // The judgement and the search count the starting timetable alike, or
    // every score reported after it would be wrong.
    if (options.fromSolution && searchers.front()->timetable().score() != records.initialScore)
        fatalError("Internal error - score counting");
    SharedBest best(searchers.front()->timetable(), start);
    RunLog log(best, options.showScores);

    std::atomic<bool> stop{false};
    std::atomic<int> running{threads};
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i) {
        workers.emplace_back([&, i] {
            searchers[i]->run(best, stop, options.stepLimit);
            running.fetch_sub(1);
        });
    }

    long long lastImprovements = best.report().improvements;
    double lastBetter = 0;
    for (;;) {
        std::this_thread::sleep_for(pollInterval);
        const double elapsed = secondsSince(start);
        log.update(elapsed);
        const SharedBest::Report now = best.report();
        if (now.improvements != lastImprovements) {
            lastImprovements = now.improvements;
            lastBetter = elapsed;
        }
        if (stopRequested.load() || running.load() == 0 || now.score == 0) break;
        if (options.timeLimit >= 0 && elapsed >= options.timeLimit) {
            if (logLevel(10)) logPrint("Time limit exceeded, ending...\n");
            break;
        }
        if (options.timeLimit < 0 && options.stepLimit < 0 &&
            elapsed - lastBetter >= options.idleSeconds) {
            if (logLevel(10))
                logPrint("No better timetable for %d s, ending...\n",
                         static_cast<int>(options.idleSeconds));
            break;
        }
    }
    stop.store(true);
    for (std::thread& worker : workers) worker.join();
    log.update(secondsSince(start));
    if (logLevel(20)) logStatistics(searchers, secondsSince(start));

    allocateRecords(records, problem);
    best.copyTo(records.found);
    copyRecord(records.best, records.found);
    if (logLevel(10)) logPrint("Best score: %d\n", reportedScore(best.score()));
}
