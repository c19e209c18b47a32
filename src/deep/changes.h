#pragma once
#include <vector>

#include "deep/timetable.h"

// Changes to a timetable that can be taken back: a move of the polishing is a
// few removals and placements made through here, kept when the move is
// accepted (keep) and undone, newest first, when it is not (undo). The
// timetable never breaks a hard rule: a placement happens only where the
// activity fits.
class Changes {
public:
    explicit Changes(Timetable& timetable);

    void remove(int a);
    // Places the unassigned activity a at t if it fits there with the
    // timetable as it is now. Each group keeps the preferred member (one per
    // group, or none) when that one is free, else takes the cheapest free
    // member. False, changing nothing, when it does not fit (a school rule
    // it takes part in included).
    bool placeIfFits(int a, int t, const int* preferred);

    // Takes every activity out, then places each at its target, keeping its
    // members where they are free. False when one of them does not fit.
    bool moveAll(const std::vector<int>& activities, const std::vector<int>& targets);

    void undo();
    // Undoes the newest change alone.
    void undoLast();
    void keep() {
        journal.clear();
        savedMembers.clear();
    }

private:
    // Whether a fits at t apart from its groups' members.
    bool fitsDirect(int a, int t) const;
    // The cheapest member of group position k free for a at t (the preferred
    // one when it is free), or -1.
    int freeMember(int a, int k, int t, int preferred) const;
    bool memberFree(int a, int m, int t) const;

    struct Entry {
        int activity;
        int start;  // the start it had, for a removal; -1 for a placement
        std::size_t firstMember;
    };

    Timetable& timetable;
    const Facts& facts;
    std::vector<Entry> journal;
    std::vector<int> savedMembers;
    std::vector<int> chosen;
    std::vector<int> preferred;  // members of the activities moveAll moves
};
