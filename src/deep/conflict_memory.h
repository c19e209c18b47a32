#pragma once
#include <cstdint>
#include <vector>

// Conflict statistics of the placing: how often placing an activity at a
// start has pushed another activity out of its start. Placing weighs what is
// in the way by these counts, so that it stops pushing the same activities
// out of the same places over and over, which is what lets it leave cycles.
// The counts live in a fixed hashed table: memory stays the same however
// long the search runs, and a rare collision only blurs two counts.
class ConflictMemory {
public:
    explicit ConflictMemory(int bits = 20) : counts(std::size_t(1) << bits), mask((1u << bits) - 1) {}

    int count(int a, int t, int b, int tb) const { return counts[index(a, t, b, tb)]; }
    void record(int a, int t, int b, int tb) {
        std::uint16_t& c = counts[index(a, t, b, tb)];
        if (c < 0xFFFF) ++c;
    }
    // Halves every count, so that old conflicts weigh less than new ones.
    void age() {
        for (std::uint16_t& c : counts) c >>= 1;
    }

private:
    std::uint32_t index(int a, int t, int b, int tb) const {
        std::uint64_t x = static_cast<std::uint32_t>(a) * 0x9E3779B97F4A7C15ull;
        x ^= static_cast<std::uint32_t>(t) + 0x632BE59BD9B4E019ull + (x << 6) + (x >> 2);
        x ^= static_cast<std::uint32_t>(b) * 0xC2B2AE3D27D4EB4Full + (x << 6) + (x >> 2);
        x ^= static_cast<std::uint32_t>(tb) * 0x165667B19E3779F9ull + (x << 6) + (x >> 2);
        x ^= x >> 29;
        x *= 0xBF58476D1CE4E5B9ull;
        x ^= x >> 32;
        return static_cast<std::uint32_t>(x) & mask;
    }

    std::vector<std::uint16_t> counts;
    std::uint32_t mask;
};
