#include "deep/polisher.h"

#include <algorithm>

Polisher::Polisher(Timetable& timetable, Random& random, int historyLength)
    : timetable(timetable),
      facts(timetable.facts),
      random(random),
      changes(timetable),
      history(historyLength, timetable.score()) {}

void Polisher::restart() {
    std::fill(history.begin(), history.end(), timetable.score());
    historyAt = 0;
}

void Polisher::step() {
    const long long before = timetable.score();
    const double draw = random.unit();
    const MoveKind kind = draw < 0.5 ? relocateMove : draw < 0.9 ? swapMove : memberMove;
    MoveStatistics& stats = statistics[kind];
    ++stats.tried;
    const bool made = kind == relocateMove ? relocate() : kind == swapMove ? swap() : changeMember();
    if (!made) {
        changes.undo();
        return;
    }
    ++stats.feasible;
    const long long after = timetable.score();
    long long& late = history[historyAt];
    if (after <= before || after <= late) {
        changes.keep();
        ++stats.accepted;
        if (after < before) ++stats.improving;
    } else {
        changes.undo();
    }
    late = timetable.score();
    historyAt = historyAt + 1 == history.size() ? 0 : historyAt + 1;
}

int Polisher::randomPlaced() {
    if (timetable.unassignedCount() == facts.nbActivities) return -1;
    for (;;) {
        const int a = random.below(facts.nbActivities);
        if (timetable.placed(a)) return a;
    }
}

bool Polisher::relocate() {
    const int a = randomPlaced();
    if (a < 0) return false;
    const ActivityFacts& act = facts.activities[a];
    const int t = act.starts[random.below(static_cast<int>(act.starts.size()))];
    if (t == timetable.start(a)) return false;
    saved.clear();
    for (std::size_t k = 0; k < act.groups.size(); ++k) saved.push_back(timetable.member(act.grsel + k));
    changes.remove(a);
    return changes.placeIfFits(a, t, saved.data());
}

bool Polisher::swap() {
    const int a = randomPlaced();
    if (a < 0) return false;
    const ActivityFacts& act = facts.activities[a];
    if (act.direct.empty()) return false;
    const int r = act.direct[random.below(static_cast<int>(act.direct.size()))];
    const std::vector<int>& others = facts.problem.resources[r].activities;
    const int b = others[random.below(static_cast<int>(others.size()))];
    const int ta = timetable.start(a), tb = timetable.start(b);
    if (b == a || tb < 0 || ta == tb) return false;
    const ActivityFacts& bct = facts.activities[b];
    saved.clear();
    for (std::size_t k = 0; k < act.groups.size(); ++k) saved.push_back(timetable.member(act.grsel + k));
    const std::size_t bFirst = saved.size();
    for (std::size_t k = 0; k < bct.groups.size(); ++k) saved.push_back(timetable.member(bct.grsel + k));
    changes.remove(a);
    changes.remove(b);
    return changes.placeIfFits(a, tb, saved.data()) &&
           changes.placeIfFits(b, ta, saved.data() + bFirst);
}

bool Polisher::changeMember() {
    const int a = randomPlaced();
    if (a < 0) return false;
    const ActivityFacts& act = facts.activities[a];
    if (act.groups.empty()) return false;
    const int k = random.below(static_cast<int>(act.groups.size()));
    const std::vector<int>& group = facts.problem.groups[act.groups[k]].resources;
    const int m = group[random.below(static_cast<int>(group.size()))];
    if (m == timetable.member(act.grsel + k)) return false;
    const int t = timetable.start(a);
    saved.clear();
    for (std::size_t j = 0; j < act.groups.size(); ++j) saved.push_back(timetable.member(act.grsel + j));
    saved[k] = m;
    changes.remove(a);
    return changes.placeIfFits(a, t, saved.data()) && timetable.member(act.grsel + k) == m;
}
