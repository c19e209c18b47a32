#pragma once
#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

#include "deep/timetable.h"
#include "problem/solution_record.h"

// The best timetable of all the searches of one run. Each search offers the
// timetables it finds better than its own earlier ones; this keeps the best.
// The searches share nothing else that changes.
class SharedBest {
public:
    using Clock = std::chrono::steady_clock;

    // Starts with the timetable given (the initial one, or all unassigned).
    SharedBest(const Timetable& start, Clock::time_point searchStart);

    // The best score so far; read without the lock, so a search can skip
    // offering what is no better.
    long long score() const { return bestScore.load(std::memory_order_relaxed); }

    // Keeps the timetable when it scores lower than the best so far.
    void offer(const Timetable& timetable);

    // What the run reports: the best score, its unassigned activities, how
    // many better timetables have been kept, and when every activity was
    // first placed (negative while not yet).
    struct Report {
        long long score;
        int unassigned;
        long long improvements;
        double allPlacedAfter;
    };
    Report report() const;

    // The best timetable as a solution record, with its score.
    void copyTo(SolutionRecord& record) const;

private:
    const Facts& facts;
    const Clock::time_point searchStart;
    alignas(64) mutable std::mutex mutex;
    // On a cache line of its own: every step of every search reads it.
    alignas(64) std::atomic<long long> bestScore;
    int unassigned;
    long long improvements = 0;
    double allPlacedAfter = -1;
    std::vector<int> starts;
    std::vector<int> members;
};
