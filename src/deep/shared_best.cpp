#include "deep/shared_best.h"

#include <climits>

SharedBest::SharedBest(const Timetable& start, Clock::time_point searchStart)
    : facts(start.facts),
      searchStart(searchStart),
      bestScore(start.score()),
      unassigned(start.unassignedCount()) {
    start.save(starts, members);
    if (unassigned == 0) allPlacedAfter = 0;
}

void SharedBest::offer(const Timetable& timetable) {
    const long long candidate = timetable.score();
    if (candidate >= score()) return;
    std::lock_guard<std::mutex> lock(mutex);
    if (candidate >= score()) return;
    timetable.save(starts, members);
    unassigned = timetable.unassignedCount();
    ++improvements;
    if (unassigned == 0 && allPlacedAfter < 0)
        allPlacedAfter = std::chrono::duration<double>(Clock::now() - searchStart).count();
    bestScore.store(candidate, std::memory_order_relaxed);
}

SharedBest::Report SharedBest::report() const {
    std::lock_guard<std::mutex> lock(mutex);
    return {score(), unassigned, improvements, allPlacedAfter};
}

void SharedBest::copyTo(SolutionRecord& record) const {
    std::lock_guard<std::mutex> lock(mutex);
    for (int a = 0; a < facts.nbActivities; ++a) record.start()[a] = starts[a];
    for (std::size_t j = 0; j < members.size(); ++j) record.grsel()[j] = members[j];
    const long long best = score();
    record.score() = best > INT_MAX ? INT_MAX : static_cast<int>(best);
}
