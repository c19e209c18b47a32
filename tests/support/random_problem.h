#pragma once
#include <string>

namespace testing_support {

// A small problem drawn from seed with every rule: one-week and every-week
// activities of length 1 and 2, own and resource preferences, unavailable
// slots, breaks (on grouped resources too), MaxDays, Balanced, Continuous
// (soft and hard), groups of rooms and projectors, hard and soft dependences
// of every operator.
std::string randomProblem(unsigned seed);

}  // namespace testing_support
