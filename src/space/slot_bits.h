#pragma once
#include <bit>
#include <cstdint>
#include <vector>

// A fixed-size set of slots, one bit per slot, worked on a 64-bit word at a
// time. Holds the allowed starts of one activity.
class SlotBits {
public:
    SlotBits() = default;
    // size slots, all set.
    explicit SlotBits(int size) { reset(size); }

    // size slots, all set (the bits past size stay clear).
    void reset(int size) {
        nbits = size;
        words.assign((size + 63) / 64, ~std::uint64_t{0});
        if (size % 64 != 0) words.back() = (std::uint64_t{1} << (size % 64)) - 1;
    }

    int size() const { return nbits; }
    bool test(int s) const { return (words[s >> 6] >> (s & 63)) & 1; }
    void set(int s) { words[s >> 6] |= std::uint64_t{1} << (s & 63); }
    void clear(int s) { words[s >> 6] &= ~(std::uint64_t{1} << (s & 63)); }

    // Lowest set slot >= from, or -1 when there is none.
    int nextSet(int from) const {
        if (from < 0) from = 0;
        if (from >= nbits) return -1;
        int w = from >> 6;
        std::uint64_t word = words[w] & (~std::uint64_t{0} << (from & 63));
        const int last = static_cast<int>(words.size());
        while (word == 0) {
            if (++w == last) return -1;
            word = words[w];
        }
        return (w << 6) + std::countr_zero(word);
    }

    // Highest set slot <= from, or -1 when there is none.
    int previousSet(int from) const {
        if (from >= nbits) from = nbits - 1;
        if (from < 0) return -1;
        int w = from >> 6;
        std::uint64_t word = words[w] & (~std::uint64_t{0} >> (63 - (from & 63)));
        while (word == 0) {
            if (--w < 0) return -1;
            word = words[w];
        }
        return (w << 6) + 63 - std::countl_zero(word);
    }

    // Number of set slots in [from, to] (0 when the range is empty).
    int count(int from, int to) const {
        if (from < 0) from = 0;
        if (to >= nbits) to = nbits - 1;
        if (from > to) return 0;
        const int firstWord = from >> 6, lastWord = to >> 6;
        int n = 0;
        for (int w = firstWord; w <= lastWord; ++w) {
            std::uint64_t word = words[w];
            if (w == firstWord) word &= ~std::uint64_t{0} << (from & 63);
            if (w == lastWord) word &= ~std::uint64_t{0} >> (63 - (to & 63));
            n += std::popcount(word);
        }
        return n;
    }
    int count() const { return count(0, nbits - 1); }

    // Clears every set slot in [from, to] (the range must lie inside the set),
    // calling removed(s) for each one in increasing order before it is
    // cleared. Returns the number of slots cleared.
    template <class Removed>
    int clearRange(int from, int to, Removed&& removed) {
        if (from > to) return 0;
        int n = 0;
        forEachWord(from, to, [&](int base, std::uint64_t mask) {
            std::uint64_t bits = mask;
            while (bits != 0) {
                removed(base + std::countr_zero(bits));
                bits &= bits - 1;
                ++n;
            }
            return mask;
        });
        return n;
    }

    bool operator==(const SlotBits& other) const = default;

private:
    // Calls visit(first slot of the word, set bits of the word inside
    // [from, to]) for each word the range touches; visit returns the bits to
    // clear in that word.
    template <class Visit>
    void forEachWord(int from, int to, Visit&& visit) {
        const int firstWord = from >> 6, lastWord = to >> 6;
        for (int w = firstWord; w <= lastWord; ++w) {
            std::uint64_t mask = ~std::uint64_t{0};
            if (w == firstWord) mask &= ~std::uint64_t{0} << (from & 63);
            if (w == lastWord) mask &= ~std::uint64_t{0} >> (63 - (to & 63));
            const std::uint64_t present = words[w] & mask;
            if (present != 0) words[w] &= ~visit(w << 6, present);
        }
    }

    int nbits = 0;
    std::vector<std::uint64_t> words;
};
