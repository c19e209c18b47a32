#include <gtest/gtest.h>

#include <cstdlib>

#include "base/random_stream.h"

namespace {

// The timetables of a solve run are drawn from these numbers: they must be
// exactly those of the C library's srand and rand.
TEST(RandomStream, GivesTheNumbersOfSrandAndRand) {
    for (unsigned seed : {0u, 1u, 7u, 1234u, 2007u, 4294967295u}) {
        SCOPED_TRACE(seed);
        RandomStream stream(seed);
        std::srand(seed);
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(stream.next(), std::rand()) << "draw " << i;
        std::srand(seed);
        EXPECT_EQ(firstDraw(seed), std::rand());
    }
}

TEST(RandomStream, TwoStreamsDrawIndependently) {
    RandomStream first(5), second(5);
    const int a = first.next();
    first.next();
    EXPECT_EQ(second.next(), a);
}

}  // namespace
