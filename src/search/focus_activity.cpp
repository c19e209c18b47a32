#include "search/search_run.h"

namespace {

// Moves the members of the set to the front of waiting[from .. from+count-1]
// by exchanges, without keeping order.
void partitionFront(std::vector<int>& waiting, const std::vector<char>& inSet, int from,
                    int count) {
    int lo = from, hi = from + count - 1;
    while (lo < hi) {
        if (inSet[waiting[lo]]) {
            ++lo;
            continue;
        }
        if (inSet[waiting[hi]]) {
            std::swap(waiting[lo], waiting[hi]);
            ++lo;
        }
        --hi;
    }
}

}  // namespace

// The space decides activities from the end of the undecided part of waiting,
// so the front of the list is decided last.
void focusActivity(SearchSpace& space, int activity,
                   const std::vector<std::pair<int, int>>& friends) {
    std::vector<int>& waiting = space.waiting;
    const int n = static_cast<int>(waiting.size());
    std::vector<char> inSet(n, 0);
    for (const auto& [other, gap] : friends) inSet[other] = 1;
    partitionFront(waiting, inSet, 0, n);

    std::fill(inSet.begin(), inSet.end(), 0);
    inSet[activity] = 1;
    partitionFront(waiting, inSet, 0, static_cast<int>(friends.size()));
}
