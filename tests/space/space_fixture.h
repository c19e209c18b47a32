#pragma once
#include <memory>
#include <string>
#include <vector>

#include "problem/problem_data.h"
#include "problem/solution_record.h"
#include "space/search_space.h"
#include "support/problem_fixture.h"
#include "support/problem_text.h"

// A space built over a problem written in the test.
namespace space_testing {

using namespace problem_text;

// A problem, its records and a space over them, built with a fixed seed.
struct Built {
    ProblemData problem;
    SolutionRecords records;
    std::unique_ptr<SearchSpace> space;

    explicit Built(const std::string& text, unsigned seed = 2007) {
        testing_support::quietLogs();
        testing_support::loadProblem(text, problem);
        allocateRecords(records, problem);
        space = std::make_unique<SearchSpace>(problem, records, seed);
    }
    int activity(const std::string& id) const {
        for (std::size_t i = 0; i < problem.activities.size(); ++i)
            if (problem.activities[i].id == id) return static_cast<int>(i);
        return -1;
    }
    int resource(const std::string& id) const {
        for (std::size_t i = 0; i < problem.resources.size(); ++i)
            if (problem.resources[i].id == id) return static_cast<int>(i);
        return -1;
    }
    // Allowed starts of activity a, in increasing order.
    std::vector<int> starts(int a) const {
        std::vector<int> result;
        const TimeVar& var = space->time[a];
        for (int s = var.nextAllowed(0); s >= 0; s = var.nextAllowed(s + 1)) result.push_back(s);
        return result;
    }
};

inline std::vector<int> range(int from, int to) {
    std::vector<int> result;
    for (int s = from; s <= to; ++s) result.push_back(s);
    return result;
}

}  // namespace space_testing
