#pragma once
#include <cstdint>
#include <vector>

// Tables the fast shuffle keeps from one run to the next, so that a run
// allocates nothing once the first has sized them. The search keeps one for
// all the shuffles of its run.
struct ShuffleTables {
    // FSResUsed: [resource][slot] flags. Bit 1: held in the odd week, 2: held
    // in the even week, 4: unavailable by the resource's own list. The break
    // slots after an activity count as held.
    std::vector<std::uint8_t> resUsed;
    // resScore of the activity being moved: [group position][member], flat,
    // with the first entry of each position at resOffset[position].
    std::vector<int> resScore;
    std::vector<int> resOffset;
    std::vector<char> allowed;  // per slot: the start may be tried
};
