#pragma once
#include <cstdint>

// The weeks an activity is held in, as bits of Activity::week: the odd week
// is bit 1, the even week bit 2, both weeks 3. Tables kept per week put the
// even week at index 0 and the odd week at index 1.
namespace Weeks {

constexpr std::uint8_t odd = 1, even = 2, both = 3;

// The bit of the week at table index w.
constexpr std::uint8_t bitOf(int w) { return w == 0 ? even : odd; }

// Whether an activity held in these weeks is held in the week at index w.
constexpr bool holds(int weeks, int w) { return (weeks & bitOf(w)) != 0; }

// Number of weeks (1 or 2).
constexpr int count(int weeks) { return weeks == both ? 2 : 1; }

// A resource's preferences weigh half for an activity held in one week of
// the two: the cost of a sum of them for such an activity.
template <class Cost>
constexpr Cost weighted(Cost cost, int weeks) {
    return weeks == both ? cost : cost / 2;
}

}  // namespace Weeks
