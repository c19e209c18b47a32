// Going back: undoes, newest first, everything the journals recorded since a
// mark, and restores the scalars the journals do not cover. The consistency
// check compares the space with another one field by field; tests use it to
// show that going back to the root yields a freshly built space.
#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "base/log.h"
#include "base/run_settings.h"
#include "space/search_space.h"

void SearchSpace::goBack(const JournalMark& mark, const SearchSpace* other) {
    if (logLevel(20)) logPrint("Going back... ");

    // Releasing reads the activity's start from its domain, so the bookings
    // are undone before the domains are widened again.
    while (static_cast<int>(journal_selection.size()) > mark.selection) {
        const Selection selection = journal_selection.back();
        journal_selection.pop_back();
        const int a = selection.activity;
        if (selection.resource < 0) {
            used[a] = false;
            for (int r : problem.activities[a].reqRes) releaseResource(a, r);
        } else {
            releaseResource(a, selection.resource);
        }
    }

    while (static_cast<int>(journal_values.size()) > mark.values) {
        const RemovedStart removed = journal_values.back();
        journal_values.pop_back();
        TimeVar& var = time[removed.activity];
        var.possible.set(removed.start);
        var.processedAt = stamp;
        if (removed.start < var.min) var.min = removed.start;
        if (removed.start > var.max) var.max = removed.start;
    }

    while (static_cast<int>(journal_propagators.size()) > mark.propagators) {
        const DetachedPropagator detached = journal_propagators.back();
        journal_propagators.pop_back();
        time[detached.activity].watchers.push_back(detached.propagator);
    }

    while (static_cast<int>(journal_cont.size()) > mark.cont) {
        const ContCell cell = journal_cont.back();
        journal_cont.pop_back();
        cont_start[cell.week][cell.contres][cell.day] = cell.oldStart;
        cont_stop[cell.week][cell.contres][cell.day] = cell.oldStop;
    }

    while (static_cast<int>(levels.size()) > mark.levels) levels.pop_back();
    std::vector<std::vector<int>>& pending = levels.back().pending;
    while (static_cast<int>(pending.size()) > mark.pending) pending.pop_back();

    myScore = mark.myScore;
    randseed = mark.randseed;
    noOfWaiting = mark.noOfWaiting;
    changedVar.clear();
    ++stamp;
    state = SpaceState::open;

    if (logLevel(20)) logPrint("%d done\n", myScore);
    if (other) checkConsistency(*other);
}

namespace {

// Position of each propagator of a space in its propagators list: the two
// spaces own distinct propagator objects, so references are compared by
// position.
std::unordered_map<const Propagators::Propagator*, int> propagatorPositions(
    const SearchSpace& space) {
    std::unordered_map<const Propagators::Propagator*, int> positions;
    for (std::size_t i = 0; i < space.propagators.size(); ++i)
        positions[space.propagators[i]] = static_cast<int>(i);
    return positions;
}

// The positions of a watchers list, sorted: going back re-attaches
// propagators at the end, so only the set is meaningful.
std::vector<int> watcherSet(const std::vector<Propagators::Propagator*>& watchers,
                            const std::unordered_map<const Propagators::Propagator*, int>& positions) {
    std::vector<int> set;
    for (const Propagators::Propagator* p : watchers) set.push_back(positions.at(p));
    std::sort(set.begin(), set.end());
    return set;
}

std::vector<std::pair<int, int>> detachedList(
    const std::vector<DetachedPropagator>& journal,
    const std::unordered_map<const Propagators::Propagator*, int>& positions) {
    std::vector<std::pair<int, int>> list;
    for (const DetachedPropagator& entry : journal)
        list.emplace_back(entry.activity, positions.at(entry.propagator));
    return list;
}

}  // namespace

// sp is the other space; the expression texts name what differs.
void SearchSpace::checkConsistency(const SearchSpace& other) const {
    const SearchSpace* sp = &other;

    bool samePropagators = sp->propagators.size() == propagators.size();
    for (std::size_t i = 0; samePropagators && i < propagators.size(); ++i)
        samePropagators = sp->propagators[i]->sameRule(*propagators[i]);
    spaceAssert(samePropagators, "sp->propagators==propagators");
    const auto positions = propagatorPositions(*this);
    const auto otherPositions = propagatorPositions(*sp);

    spaceAssert(sp->changedVar.empty(), "sp->changedVar.empty()");
    spaceAssert(changedVar.empty(), "changedVar.empty()");
    spaceAssert(sp->changedVar == changedVar, "sp->changedVar==changedVar");

    spaceAssert(sp->time.size() == time.size(), "size(sp->time)==size(time)");
    for (std::size_t v = 0; v < time.size(); ++v) {
        const TimeVar& t1 = sp->time[v];
        const TimeVar& t2 = time[v];
        spaceAssert(t1.possible == t2.possible, "t1.possible==t2.possible");
        const std::vector<int> s1 = watcherSet(t1.watchers, otherPositions);
        const std::vector<int> s2 = watcherSet(t2.watchers, positions);
        spaceAssert(s1 == s2, "s1==s2");
        spaceAssert(t1.min == t2.min, "t1.min==t2.min");
        spaceAssert(t1.max == t2.max, "t1.max==t2.max");
    }

    spaceAssert(sp->state == state, "sp->state==state");
    spaceAssert(sp->journal_values == journal_values, "sp->journal_values==journal_values");
    spaceAssert(detachedList(sp->journal_propagators, otherPositions) ==
                    detachedList(journal_propagators, positions),
                "sp->journal_propagators==journal_propagators");

    // Only the selections of placed activities whose resources are all chosen
    // are meaningful; going back leaves stale entries behind.
    const int topActivity = levels.back().activity;
    for (std::size_t a = 0; a < used.size(); ++a) {
        if (!used[a] || static_cast<int>(a) == topActivity) continue;
        const Activity& act = problem.activities[a];
        for (std::size_t gi = 0; gi < act.reqGroups.size(); ++gi) {
            const int at = act.grsel + static_cast<int>(gi);
            if (sp->grsel[at] != grsel[at]) {
                std::printf("%d %d %d %d\n", static_cast<int>(a), at, sp->grsel[at], grsel[at]);
                std::fflush(stdout);
            }
            spaceAssert(sp->grsel[gi + act.grsel] == grsel[gi + act.grsel],
                        "sp->grsel[gi+act.grsel]==grsel[gi+act.grsel]");
        }
    }

    std::vector<int> w1 = sp->waiting, w2 = waiting;
    std::sort(w1.begin(), w1.end());
    std::sort(w2.begin(), w2.end());
    spaceAssert(w1 == w2, "w1==w2");
    spaceAssert(sp->noOfWaiting == noOfWaiting, "sp->noOfWaiting==noOfWaiting");
    spaceAssert(sp->availableRes == availableRes, "sp->availableRes==availableRes");
    spaceAssert(sp->isGrresUsed == isGrresUsed, "sp->isGrresUsed==isGrresUsed");
    spaceAssert(sp->used == used, "sp->used==used");
    spaceAssert(sp->cont_start == cont_start, "sp->cont_start==cont_start");
    spaceAssert(sp->cont_stop == cont_stop, "sp->cont_stop==cont_stop");

    // A top frame without candidate lists has not been decided yet on at
    // least one side; it is left out.
    std::size_t compared = levels.size();
    bool sameLevels = sp->levels.size() == levels.size();
    if (sameLevels && levels.back().pending.empty() && sp->levels.back().pending.empty())
        --compared;
    for (std::size_t i = 0; sameLevels && i < compared; ++i)
        sameLevels = sp->levels[i] == levels[i];
    spaceAssert(sameLevels, "i1==i2");

    spaceAssert(sp->journal_selection == journal_selection,
                "sp->journal_selection==journal_selection");
    spaceAssert(sp->myScore == myScore, "sp->myScore==myScore");
    spaceAssert(sp->randseed == randseed, "sp->randseed==randseed");
}
