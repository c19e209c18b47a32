#pragma once
#include <cstdint>
#include <cstdlib>

// The C library's random numbers with a state of their own: next() gives the
// sequence rand() gives after srand(seed), but two streams, or two searches
// on two threads, share nothing. (It is the library's own generator through
// its reentrant interface, so the numbers, and the timetables drawn from
// them, are those of the process-wide rand.)
class RandomStream {
public:
    explicit RandomStream(unsigned seed);
    // The state refers to its own buffer: a copy would share it.
    RandomStream(const RandomStream&) = delete;
    RandomStream& operator=(const RandomStream&) = delete;

    // A number in 0 .. RAND_MAX, as rand() would return.
    int next();

private:
    alignas(std::int32_t) char buffer[128];  // the library's largest standard state
    random_data state{};
};

// The first number of a stream seeded with seed: what srand(seed) and then
// rand() give. The search draws its choices this way, each number seeding
// the next, so that a saved number restores the sequence.
int firstDraw(unsigned seed);
