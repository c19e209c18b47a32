#include <algorithm>
#include <climits>

#include "base/log.h"
#include "base/run_settings.h"
#include "improve/shuffler.h"

// Slides activity a from the slots it has applied to newT (-1: unassigned),
// removing and inserting only the pieces that differ. An impossible start
// leaves the activity partly moved; the next call continues from there.
MoveResult Shuffler::moveActivity(int a, int newT) {
    const Activity& act = problem.activities[a];
    int& start = space.time_sel[a];
    const int len = act.length;
    const int newLen = newT < 0 ? 0 : len;
    const int newEnd = newT + newLen;
    if (logLevel(20))
        logPrint("      Trying to move activity %d [%s] from (%d-%d%s) to (%d-%d+break)\n", a,
                 problem.activityName(a), start, start + curLength - 1,
                 breakReq ? "+break" : "", newT, newEnd - 1);

    if (newLen > 0 && dayOf(newEnd - 1) != dayOf(newT))
        return {false, dayOf(newEnd - 1) * slotsPerDay};

    if (start < 0) {
        space.myScore -= unassignedCost;
        markPlaced(a, true);
    }
    if (curLength == 0) start = newT;

    // Head: slots before the new start.
    if (start < newT) {
        const int f = std::min(newT - start, curLength);
        const bool whole = f == curLength;
        removePiece(a, start, f, breakReq && whole);
        if (whole) breakReq = false;
        start = newT;
        curLength -= f;
    }
    // Tail: slots after the new end.
    if (newEnd < start + curLength) {
        const int g = std::min(start + curLength - newEnd, curLength);
        removePiece(a, std::max(newEnd, start), g, breakReq);
        curLength -= g;
        breakReq = false;
    }
    // A break that no longer follows the activity's end.
    if (breakReq && newEnd != start + curLength) {
        removePiece(a, start + curLength, 0, true);
        breakReq = false;
    }
    if (curLength == 0) start = newT;
    if (start < 0) {
        space.myScore += unassignedCost;
        markPlaced(a, false);
    }

    // Tail extension, with the break.
    if (start + curLength < newEnd) {
        const int n = newEnd - start - curLength;
        shuffleAssert(n <= newLen, "tail piece<=length");
        const MoveResult inserted = tryInsert(a, start + curLength, n, true);
        if (!inserted.possible) return inserted;
        curLength = newEnd - start;
        breakReq = true;
    }
    // Head extension, without the break.
    if (newT < start) {
        shuffleAssert(start + curLength - newT == newLen, "head piece fills length");
        const MoveResult inserted = tryInsert(a, newT, start - newT, false);
        if (!inserted.possible) return inserted;
        curLength = newLen;
        start = newT;
    }
    if (newT < 0) return {true, 0};
    if (!breakReq) {
        const MoveResult inserted = tryInsert(a, start + curLength, 0, true);
        if (!inserted.possible) return inserted;
        breakReq = true;
    }
    if (!chooseGroupResources(a)) return {false, newT + 1};
    return {true, newT + 1};
}

// For each group, the member with the lowest resScore (the first on a tie)
// among those free at every slot the activity covers and at their own break
// after it. Members are tested piece by piece as the activity slides, and a
// member free at one piece may be busy at another or at its break; only a
// member free at all of them keeps the timetable valid. False when a group
// has no such member.
bool Shuffler::chooseGroupResources(int a) {
    const Activity& act = problem.activities[a];
    const int end = space.time_sel[a] + curLength;
    for (std::size_t k = 0; k < act.reqGroups.size(); k++) {
        const std::vector<int>& members = problem.groups[act.reqGroups[k]].resources;
        const int* scores = resScoreOf(static_cast<int>(k));
        int chosen = -1;
        for (std::size_t j = 0; j < members.size(); j++) {
            if (scores[j] >= unassignedCost) continue;
            if (chosen >= 0 && scores[j] >= scores[chosen]) continue;
            const int m = members[j];
            if (problem.resources[m].breakSlots > 0 &&
                firstCollision(a, m, end, end, breakEnd(m, end)) >= 0)
                continue;
            chosen = static_cast<int>(j);
        }
        if (chosen < 0) return false;
        space.solGrsel[act.grsel + k] = members[chosen];
    }
    return true;
}

int Shuffler::firstCollision(int a, int r, int t, int pieceEnd, int end) const {
    const std::uint8_t week = problem.activities[a].week | unavailableFlag;
    const std::uint8_t* row = resUsedRow(r);
    for (int s = t; s < end; s++) {
        // A resource's own unavailability does not block the break slots;
        // another activity's use does.
        const std::uint8_t mask = s < pieceEnd ? 7 : heldWeeks;
        if (week & row[s] & mask) return s;
    }
    return -1;
}

// Inserts the piece t..t+n-1 (and the break after it) when the activity may
// cover it; otherwise returns the first start that could avoid the obstacle.
MoveResult Shuffler::tryInsert(int a, int t, int n, bool withBreak) {
    shuffleAssert(n > 0 || (n == 0 && withBreak), "n>0||(n==0&&withBreak)");
    const Activity& act = problem.activities[a];
    const int pieceEnd = t + n;

    const std::vector<int>& unavail = act.timePrefs.unavail;
    const auto above = std::lower_bound(unavail.begin(), unavail.end(), pieceEnd);
    if (above != unavail.begin() && *(above - 1) >= t) {
        if (logLevel(20)) logPrint("        Imposible (hard constraint for activity, t=%d)\n", t);
        return {false, *(above - 1) + 1};
    }

    for (int r : act.reqRes) {
        const int end = withBreak ? breakEnd(r, pieceEnd) : pieceEnd;
        const int s = firstCollision(a, r, t, pieceEnd, end);
        if (s < 0) continue;
        if (logLevel(20))
            logPrint("        Imposible (needed resource %d [%s] can not be used, t=%d)\n", r,
                     problem.resourceName(r), t);
        if (logLevel(30))
            logPrint("          Because FSResUsed[%d [%s]][%d]==%d, modif==%d\n", r,
                     problem.resourceName(r), s, resUsedRow(r)[s], act.week | unavailableFlag);
        return {false, s + 1};
    }

    for (std::size_t k = 0; k < act.reqGroups.size(); k++) {
        const std::vector<int>& members = problem.groups[act.reqGroups[k]].resources;
        const int* scores = resScoreOf(static_cast<int>(k));
        bool served = false;
        int hint = INT_MAX;
        for (std::size_t j = 0; j < members.size() && !served; j++) {
            const int m = members[j];
            if (scores[j] >= unassignedCost) {
                hint = std::min(hint, std::min(space.time_sel[a], t) + 1);
                continue;
            }
            const int end = withBreak ? breakEnd(m, pieceEnd) : pieceEnd;
            const int s = firstCollision(a, m, t, pieceEnd, end);
            if (s < 0)
                served = true;
            else
                hint = std::min(hint, s + 1);
        }
        if (!served) {
            if (logLevel(20))
                logPrint("        Imposible (none of group resources can be used, t=%d)\n", t);
            return {false, hint};
        }
    }

    insertPiece(a, t, n, withBreak);
    return {true, 0};
}

void Shuffler::removePiece(int a, int t, int n, bool withBreak) {
    shuffleAssert(n > 0 || (n == 0 && withBreak), "n>0||(n==0&&withBreak)");
    const Activity& act = problem.activities[a];
    if (logLevel(20)) {
        logPrint("        Removing activity %d [%s], time: (%d-%d%s)\n", a, problem.activityName(a),
                 t, t + n - 1, withBreak ? "+break" : "");
        logPrint("          myScore before: %d\n", space.myScore);
    }
    const int pieceEnd = t + n;
    for (int s = t; s < pieceEnd; s++) space.myScore -= act.timePrefs.soft[s];
    const std::uint8_t keep = static_cast<std::uint8_t>(~act.week);
    for (int r : act.reqRes) {
        const int end = withBreak ? breakEnd(r, pieceEnd) : pieceEnd;
        if (end <= t) continue;
        std::uint8_t* row = resUsedRow(r);
        for (int s = t; s < end; s++) {
            row[s] &= keep;
            if (logLevel(30))
                logPrint("          FSResUsed[%d [%s]][%d]: %d\n", r, problem.resourceName(r), s,
                         row[s]);
        }
        if (problem.resources[r].contres < 0) continue;
        for (int w = 0; w < 2; w++)
            if (Weeks::holds(act.week, w)) continuityRemoval(r, w, t, end - 1);
    }
    if (logLevel(20)) logPrint("          myScore after: %d\n", space.myScore);
    updateResScore(a, t, n, -1);
    checkScore();
}

void Shuffler::insertPiece(int a, int t, int n, bool withBreak) {
    shuffleAssert(n > 0 || (n == 0 && withBreak), "n>0||(n==0&&withBreak)");
    const Activity& act = problem.activities[a];
    if (logLevel(20))
        logPrint("        Inserting activity %d [%s], time: (%d-%d%s)\n", a,
                 problem.activityName(a), t, t + n - 1, withBreak ? "+break" : "");
    updateResScore(a, t, n, +1);
    if (logLevel(20)) logPrint("          myScore before: %d\n", space.myScore);
    const int pieceEnd = t + n;
    for (int s = t; s < pieceEnd; s++) space.myScore += act.timePrefs.soft[s];
    for (int r : act.reqRes) {
        const int end = withBreak ? breakEnd(r, pieceEnd) : pieceEnd;
        if (end <= t) continue;
        std::uint8_t* row = resUsedRow(r);
        for (int s = t; s < end; s++) {
            row[s] |= act.week;
            if (logLevel(30))
                logPrint("          FSResUsed[%d [%s]][%d]: %d\n", r, problem.resourceName(r), s,
                         row[s]);
        }
        if (problem.resources[r].contres < 0) continue;
        for (int w = 0; w < 2; w++)
            if (Weeks::holds(act.week, w)) continuityInsertion(r, w, t, end - 1);
    }
    if (logLevel(20)) logPrint("          myScore after: %d\n", space.myScore);
}

// Adds (sign +1) or takes out (sign -1) the cost of the slots t..t+n-1 for
// every member of the activity's groups.
void Shuffler::updateResScore(int a, int t, int n, int sign) {
    const Activity& act = problem.activities[a];
    const std::uint8_t week = act.week | unavailableFlag;
    const bool log = !firstTime && logLevel(20);
    if (log) logPrint("          resScore changes to:");
    for (std::size_t k = 0; k < act.reqGroups.size(); k++) {
        const std::vector<int>& members = problem.groups[act.reqGroups[k]].resources;
        int* scores = resScoreOf(static_cast<int>(k));
        for (std::size_t j = 0; j < members.size(); j++) {
            const int m = members[j];
            const std::uint8_t* row = resUsedRow(m);
            const std::vector<int>& soft = problem.resources[m].timePrefs.soft;
            int change = 0;
            for (int s = t; s < t + n; s++) {
                if (week & row[s]) change += unassignedCost;
                change += soft[s];
            }
            scores[j] += sign * change;
            if (!firstTime) shuffleAssert(scores[j] >= 0, "resScore>=0");
            if (log) logPrint(" %d", scores[j]);
        }
    }
    if (log) logPrint("\n");
}
