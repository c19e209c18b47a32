#pragma once
#include <random>
#include <string>

// Random problems for the property tests: the search, the space, the fast
// shuffle and the brute-force test draw their problems here.
namespace testing_support {

// What a random problem may hold. The defaults use every rule the running
// scores cover.
struct ProblemShape {
    int minDays = 2, maxDays = 3;
    int minActivities = 4, maxActivities = 9;
    int maxRooms = 4;       // rooms R0.. (at least 2), members of the room groups
    int maxGroups = 2;      // groups per activity: rooms, or halves of them, or P0/P1
    bool preferences = true;   // soft time preferences (hard ones are always drawn)
    bool dayRules = true;      // MaxDays, Balanced and Continuous
    int maxDependences = 4;    // of every operator, a quarter of them hard
    // Hard dependences only between activities 2k and 2k+1, each with a
    // teacher of its own: no chain of hard rules contradicts itself before
    // the first decision.
    bool separateHardDependences = false;
    // School rules on teachers and classes and over lists of activities,
    // hard and soft, with limits that sometimes cannot all be kept.
    bool schoolRules = false;
};

// A problem drawn from random: classes C*, teachers T* and rooms R* with
// preferences, unavailable slots and breaks (and the day rules), projectors
// P0 and P1; activities A* of length 1 or 2 in every week or one, each
// needing a class, mostly a teacher, and groups of rooms or projectors.
// Odd soft scores make the halving for one-week activities visible.
std::string randomProblem(std::mt19937& random, const ProblemShape& shape = {});
// The same from a generator seeded with seed.
std::string randomProblem(unsigned seed, const ProblemShape& shape = {});

}  // namespace testing_support
