#pragma once
#include <string>
#include <vector>

// The value syntax shared by the problem and solution formats.

// A grid holds at most this many slots (days x slots per day, the added break
// slots included), so that per-slot tables stay small and slot arithmetic
// never overflows.
constexpr int maxTimeslots = 100000;

// Decimal digits only, fitting in 32 bits; anything else stops with
// "Integer number required (got \"%s\")" at the line.
int readInteger(const std::string& text, int line);

// A slot "f" or an interval "a#b" (a <= b), appended to slots one by one;
// b < a stops with "Interval reversed (\"%s\")". An interval reaching beyond
// every possible grid is cut after its first slot at or beyond maxTimeslots:
// that slot is the one the analysis refuses anyway, and a huge interval then
// costs no memory. Returns the number of slots appended.
int appendSlots(const std::string& text, int line, std::vector<int>& slots);
