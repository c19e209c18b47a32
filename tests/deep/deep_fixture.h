#pragma once
#include <string>
#include <vector>

#include "deep/facts.h"
#include "deep/timetable.h"
#include "problem/problem_data.h"

// A problem analysed from XML text with the facts the deep search reads, and
// the judgement of a deep-search timetable.
namespace deep_testing {

struct Loaded {
    explicit Loaded(const std::string& text);
    ProblemData problem;
    Facts facts;
};

// The judgement's score of the timetable (a broken hard rule fails the
// running test and gives -1).
long long judge(ProblemData& problem, const Timetable& timetable);

// The starts and members of a timetable, to compare two of them.
struct Saved {
    std::vector<int> starts, members;
    long long score;
    bool operator==(const Saved& other) const {
        return starts == other.starts && members == other.members && score == other.score;
    }
};
Saved saved(const Timetable& timetable);

}  // namespace deep_testing
