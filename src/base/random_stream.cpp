#include "base/random_stream.h"

RandomStream::RandomStream(unsigned seed) {
    // A state of 128 bytes is the one srand and rand work on.
    initstate_r(seed, buffer, sizeof buffer, &state);
}

int RandomStream::next() {
    std::int32_t number = 0;
    random_r(&state, &number);
    return number;
}

int firstDraw(unsigned seed) { return RandomStream(seed).next(); }
