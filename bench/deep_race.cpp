// The deep search against the clock: for each problem and seed, the time
// until every activity is placed and the best score at fixed times, with the
// medians over the seeds. A change to the deep search is compared with the
// table of the change before it. With --write, the best timetable of each
// race is written to FOLDER/PROBLEM-seedN.xml, for judging it afterwards.
//
//   deep_race [--threads=N] [--seeds=N] [--at=10,60,300] [--write=FOLDER] [--until-placed] PROBLEM.xml...
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/files.h"
#include "bench_problem.h"
#include "deep/facts.h"
#include "deep/searcher.h"
#include "deep/shared_best.h"
#include "output/solution_writer.h"

namespace {

using Clock = SharedBest::Clock;

// With --until-placed a race ends once every lesson is placed: the time is
// what is measured, and the last checkpoint is only a cap.
bool untilPlaced = false;

struct Race {
    double placedAfter = -1;           // seconds, negative when never
    std::vector<long long> scoreAt;    // best score at each checkpoint
};

void writeBest(const ProblemData& problem, const SharedBest& best, const std::string& path) {
    SolutionRecord record;
    record.allocate(problem);
    best.copyTo(record);
    FILE* stream = openFile(path, "w");
    XML::Elements document;
    writeSolution(problem, record, stream, document);
    closeFile(stream);
    XML::destroyDocument(document);
}

// Races the searches; writes the best timetable to output unless it is empty.
Race race(const ProblemData& problem, const Facts& facts, int threads, std::uint64_t seed,
          const std::vector<double>& at, const std::string& output) {
    const Clock::time_point start = Clock::now();
    std::vector<std::unique_ptr<Searcher>> searchers;
    for (int i = 0; i < threads; ++i)
        searchers.push_back(
            std::make_unique<Searcher>(facts, seed * 1000 + i, nullptr, Searcher::portfolio(i)));
    SharedBest best(searchers.front()->timetable(), start);
    std::atomic<bool> stop{false};
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i)
        workers.emplace_back([&, i] { searchers[i]->run(best, stop, -1); });

    Race result;
    for (double checkpoint : at) {
        for (;;) {
            const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
            if (elapsed >= checkpoint || best.score() == 0) break;
            if (untilPlaced && best.report().allPlacedAfter >= 0) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        result.scoreAt.push_back(best.score());
    }
    stop = true;
    for (std::thread& worker : workers) worker.join();
    result.placedAfter = best.report().allPlacedAfter;
    if (!output.empty()) writeBest(problem, best, output);
    return result;
}

template <typename T>
T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::vector<double> parseTimes(const char* text) {
    std::vector<double> times;
    for (const char* p = text; *p;) {
        times.push_back(std::atof(p));
        p = std::strchr(p, ',');
        if (!p) break;
        ++p;
    }
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    int threads = 1, seeds = 5;
    std::vector<double> at = {10, 60, 300};
    std::vector<std::string> problems;
    std::string writeFolder;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--threads=", 10) == 0) threads = std::atoi(argv[i] + 10);
        else if (std::strncmp(argv[i], "--seeds=", 8) == 0) seeds = std::atoi(argv[i] + 8);
        else if (std::strncmp(argv[i], "--at=", 5) == 0) at = parseTimes(argv[i] + 5);
        else if (std::strncmp(argv[i], "--write=", 8) == 0) writeFolder = argv[i] + 8;
        else if (std::strcmp(argv[i], "--until-placed") == 0) untilPlaced = true;
        else problems.push_back(argv[i]);
    }
    if (problems.empty() || threads < 1 || seeds < 1 || at.empty()) {
        std::fprintf(stderr,
                     "usage: deep_race [--threads=N] [--seeds=N] [--at=T1,T2,...] [--write=FOLDER] [--until-placed] "
                     "PROBLEM...\n");
        return 1;
    }

    std::printf("deep search, %d thread%s, median of %d seeds (min-max)\n", threads,
                threads == 1 ? "" : "s", seeds);
    std::printf("%-28s %8s %24s", "problem", "lessons", "every lesson placed (s)");
    for (double t : at) std::printf(" %20s", ("score at " + std::to_string(static_cast<int>(t)) + " s").c_str());
    std::printf("\n");
    for (const std::string& path : problems) {
        ProblemData problem;
        loadBenchProblem(path, problem);
        const Facts facts(problem);
        std::vector<double> placed;
        std::vector<std::vector<long long>> scores(at.size());
        int never = 0;
        std::string name = path.substr(path.find_last_of('/') + 1);
        for (int seed = 1; seed <= seeds; ++seed) {
            std::string output;
            if (!writeFolder.empty())
                output = writeFolder + "/" + name.substr(0, name.rfind(".xml")) + "-seed" +
                         std::to_string(seed) + ".xml";
            const Race result = race(problem, facts, threads, seed, at, output);
            if (result.placedAfter < 0) ++never;
            placed.push_back(result.placedAfter < 0 ? 1e9 : result.placedAfter);
            for (std::size_t k = 0; k < at.size(); ++k) scores[k].push_back(result.scoreAt[k]);
        }
        char placedText[64];
        const double low = *std::min_element(placed.begin(), placed.end());
        const double high = *std::max_element(placed.begin(), placed.end());
        if (never > seeds / 2)
            std::snprintf(placedText, sizeof placedText, "never (%d of %d)", never, seeds);
        else if (high >= 1e9)
            std::snprintf(placedText, sizeof placedText, "%.3f (%.3f-never)", median(placed), low);
        else
            std::snprintf(placedText, sizeof placedText, "%.3f (%.3f-%.3f)", median(placed), low, high);
        std::printf("%-28s %8zu %24s", name.c_str(), problem.activities.size(), placedText);
        for (std::size_t k = 0; k < at.size(); ++k) {
            const long long low2 = *std::min_element(scores[k].begin(), scores[k].end());
            const long long high2 = *std::max_element(scores[k].begin(), scores[k].end());
            char text[64];
            std::snprintf(text, sizeof text, "%lld (%lld-%lld)", median(scores[k]), low2, high2);
            std::printf(" %20s", text);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    return 0;
}
