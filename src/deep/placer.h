#pragma once
#include <climits>
#include <vector>

#include "deep/conflict_memory.h"
#include "deep/random.h"
#include "deep/timetable.h"

// Conflict-directed placing. Each step takes an unassigned activity and puts
// it at the start, with the members of its groups, where the least stands in
// its way, weighed by the conflict statistics; whatever is in the way is
// taken out and becomes unassigned, to be placed again by later steps.
// Activities that must start together (a block) are placed together. The
// timetable never breaks a hard rule.
class Placer {
public:
    // aging scales the steps between two halvings of the conflict counts.
    Placer(Timetable& timetable, Random& random, double aging = 1);

    // Whether an unassigned activity is left that has any start at all.
    bool hasWork();
    // Places one unassigned activity (and its block).
    void step();
    // Takes the activities in the order of the first pass again.
    void startOver() { nextInOrder = 0; }

    long long steps = 0;
    long long removals = 0;

private:
    int pickActivity();
    // The activities placed with a: its block, but for those that cannot
    // start anywhere.
    void gatherMoving(int a);
    bool allowedForAll(int t) const;
    // Weight of what is in the way of the moving activities at t, choosing
    // their members; -1 when a group has no member available at t. With
    // collect, the activities in the way are left in inTheWay.
    long long weighMoving(int key, int t, bool collect);
    long long weighStart(int key, int a, int t, int* chosenMembers, bool collect);
    long long weightOf(int key, int t, int b) const {
        return 1 + memory.count(key, t, b, timetable.start(b));
    }
    void addInTheWay(int key, int t, int b, long long& weight, bool collect);
    void placeMoving(int key, int t);
    void takeOut(int key, int t, int b);
    void freeDay(int key, int t, int r);

    Timetable& timetable;
    const Facts& facts;
    Random& random;
    ConflictMemory memory;
    const long long agingInterval;  // placing steps between two halvings of the memory

    std::vector<int> order;      // activities in the order the first pass takes them
    std::size_t nextInOrder = 0;
    std::vector<char> hopeless;  // no start with members available at all
    std::vector<int> mark;       // stamp per activity: already in the way of this start
    int stamp = 0;
    std::vector<int> inTheWay;
    std::vector<int> local;      // activities in the way of one group member
    std::vector<int> moving;     // the activities being placed together
    std::vector<int> chosen;     // their members at the start being weighed, in turn
    // Weighing a start stops once it weighs more than this (the best start
    // so far); boundLeft is what is left of it for the activity weighed.
    long long bound = LLONG_MAX;
    long long boundLeft = LLONG_MAX;
};
