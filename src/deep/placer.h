#pragma once
#include <vector>

#include "deep/conflict_memory.h"
#include "deep/random.h"
#include "deep/timetable.h"

// Conflict-directed placing. Each step takes an unassigned activity and puts
// it at the start, with the members of its groups, where the least stands in
// its way, weighed by the conflict statistics; whatever is in the way is
// taken out and becomes unassigned, to be placed again by later steps. The
// timetable never breaks a hard rule.
class Placer {
public:
    Placer(Timetable& timetable, Random& random);

    // Whether an unassigned activity is left that has any start at all.
    bool hasWork();
    // Places one unassigned activity.
    void step();
    // Takes the activities in the order of the first pass again.
    void startOver() { nextInOrder = 0; }

    long long steps = 0;
    long long removals = 0;

private:
    int pickActivity();
    // Weight of what is in the way of a at t, choosing members into chosen;
    // -1 when a group has no member available at t. With collect, the
    // activities in the way are left in inTheWay.
    long long weighStart(int a, int t, int* chosen, bool collect);
    long long weightOf(int a, int t, int b) const {
        return 1 + memory.count(a, t, b, timetable.start(b));
    }
    void addInTheWay(int a, int t, int b, long long& weight, bool collect);
    void placeAt(int a, int t);
    void freeDay(int r, int d, int a, int t);

    Timetable& timetable;
    const Facts& facts;
    Random& random;
    ConflictMemory memory;

    std::vector<int> order;     // activities in the order the first pass takes them
    std::size_t nextInOrder = 0;
    std::vector<char> hopeless;  // no start with members available at all
    std::vector<int> mark;       // stamp per activity: already in the way of this start
    int stamp = 0;
    std::vector<int> inTheWay;
    std::vector<int> local;      // activities in the way of one group member
    std::vector<int> chosen;       // members of the start being weighed
};
