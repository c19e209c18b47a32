#pragma once

// Why a decision of the search fails. The domain operations and the bound
// check throw one of these; the decision operation that made the change
// catches it and marks the space failed.
struct SpaceFailure {};

// A start domain became empty, or an activity found no free member of a
// group: the activity.
struct Contradiction : SpaceFailure {
    explicit Contradiction(int activity) : activity(activity) {}
    int activity;
};

// The running score reached the score of the best timetable found so far.
struct BoundReached : SpaceFailure {};
