#include "deep/polisher.h"

#include <algorithm>

Polisher::Polisher(Timetable& timetable, Random& random, int historyLength)
    : timetable(timetable),
      facts(timetable.facts),
      random(random),
      changes(timetable),
      history(historyLength, timetable.score()),
      inChain(timetable.facts.nbActivities, 0) {}

void Polisher::restart() {
    std::fill(history.begin(), history.end(), timetable.score());
    historyAt = 0;
}

void Polisher::step() {
    const long long before = timetable.score();
    const double draw = random.unit();
    const MoveKind kind = draw < 0.4   ? relocateMove
                          : draw < 0.7 ? swapMove
                          : draw < 0.8 ? memberMove
                                       : kempeMove;
    MoveStatistics& stats = statistics[kind];
    ++stats.tried;
    if (!makeMove(kind)) return;
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
    // The history only ever falls, so that the search settles.
    if (timetable.score() < late) late = timetable.score();
    historyAt = historyAt + 1 == history.size() ? 0 : historyAt + 1;
}

bool Polisher::makeMove(MoveKind kind) {
    bool made = false;
    switch (kind) {
    case relocateMove: made = relocate(); break;
    case swapMove: made = swap(); break;
    case memberMove: made = changeMember(); break;
    default: made = kempeChain(); break;
    }
    if (!made) changes.undo();
    return made;
}

int Polisher::randomPlaced() {
    if (timetable.unassignedCount() == facts.nbActivities) return -1;
    for (;;) {
        const int a = random.below(facts.nbActivities);
        if (timetable.placed(a)) return a;
    }
}

int Polisher::pickActivity() {
    if (random.chance(0.5)) {
        for (int tries = 0; tries < 16; ++tries) {
            const int a = randomPlaced();
            if (a < 0 || timetable.paysPenalty(a)) return a;
        }
    }
    return randomPlaced();
}

bool Polisher::relocate() {
    const int a = pickActivity();
    if (a < 0) return false;
    const ActivityFacts& act = facts.activities[a];
    const int t = act.starts[random.below(static_cast<int>(act.starts.size()))];
    if (t == timetable.start(a)) return false;
    // An activity of a block moves with the placed rest of it.
    moving.assign(1, a);
    for (int b : act.block)
        if (b != a && timetable.placed(b)) moving.push_back(b);
    targets.assign(moving.size(), t);
    return changes.moveAll(moving, targets);
}

bool Polisher::swap() {
    const int a = pickActivity();
    if (a < 0) return false;
    const ActivityFacts& act = facts.activities[a];
    if (act.direct.empty()) return false;
    const int r = act.direct[random.below(static_cast<int>(act.direct.size()))];
    const std::vector<int>& others = facts.problem.resources[r].activities;
    const int b = others[random.below(static_cast<int>(others.size()))];
    const int ta = timetable.start(a), tb = timetable.start(b);
    if (b == a || tb < 0 || ta == tb) return false;
    // Blocks move whole, by relocation and in chains.
    if (!act.block.empty() || !facts.activities[b].block.empty()) return false;
    moving = {a, b};
    targets = {tb, ta};
    return changes.moveAll(moving, targets);
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
    members.clear();
    for (std::size_t j = 0; j < act.groups.size(); ++j) members.push_back(timetable.member(act.grsel + j));
    members[k] = m;
    changes.remove(a);
    return changes.placeIfFits(a, t, members.data()) && timetable.member(act.grsel + k) == m;
}

// Exchanges the starts t1 and t2 of every activity in one chain of clashes:
// an activity of t1 moved to t2 clashes with activities of t2 on some
// resource, which must then move to t1, and so on. Only chains of activities
// of one length, each starting at t1 or t2, are made; each keeps its members.
bool Polisher::kempeChain() {
    const int a = pickActivity();
    if (a < 0) return false;
    const ActivityFacts& act = facts.activities[a];
    const int t1 = timetable.start(a);
    const int t2 = act.starts[random.below(static_cast<int>(act.starts.size()))];
    if (t2 == t1) return false;
    const int length = act.length;
    ++chainStamp;
    chain.clear();
    chainStart.clear();
    addToChain(a, t1);
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const int x = chain[i];
        const int to = chainStart[i] == t1 ? t2 : t1;
        if (!joinChain(x, to, length)) return false;
        if (chain.size() > 64) return false;
    }
    targets.clear();
    for (int from : chainStart) targets.push_back(from == t1 ? t2 : t1);
    return changes.moveAll(chain, targets);
}

// Adds the activity, starting at start, to the chain, with the placed
// activities of its block (which start with it).
void Polisher::addToChain(int x, int start) {
    inChain[x] = chainStamp;
    chain.push_back(x);
    chainStart.push_back(start);
    for (int b : facts.activities[x].block) {
        if (inChain[b] == chainStamp || !timetable.placed(b)) continue;
        inChain[b] = chainStamp;
        chain.push_back(b);
        chainStart.push_back(start);
    }
}

// Adds to the chain every activity that x, moved to start target, would
// clash with; false when one of them cannot take part (another length, or
// not starting at the other end of the chain).
bool Polisher::joinChain(int x, int target, int length) {
    const ActivityFacts& xct = facts.activities[x];
    auto join = [&](int h) {
        if (inChain[h] == chainStamp) return true;
        if (timetable.start(h) != target || facts.activities[h].length != length) return false;
        addToChain(h, target);
        return true;
    };
    for (int r : xct.direct)
        if (!timetable.forEachHolder(r, x, target, join)) return false;
    // The members of its groups are in the chain too: a chain that lets a
    // moved activity take any free member instead polished worse.
    for (std::size_t k = 0; k < xct.groups.size(); ++k)
        if (!timetable.forEachHolder(timetable.member(xct.grsel + k), x, target, join))
            return false;
    return true;
}
