#include "problem/value_syntax.h"

#include <algorithm>
#include <climits>

#include "base/log.h"

int readInteger(const std::string& text, int line) {
    long long value = 0;
    bool valid = !text.empty();
    for (char c : text) {
        if (c < '0' || c > '9') {
            valid = false;
            break;
        }
        value = value * 10 + (c - '0');
        // A number beyond 32 bits is refused like any other non-number.
        if (value > INT_MAX) {
            valid = false;
            break;
        }
    }
    if (!valid) fatalErrorAt(line, "Integer number required (got \"%s\")", text.c_str());
    return static_cast<int>(value);
}

int appendSlots(const std::string& text, int line, std::vector<int>& slots) {
    std::size_t hash = text.find('#');
    if (hash == std::string::npos) {
        slots.push_back(readInteger(text, line));
        return 1;
    }
    int first = readInteger(text.substr(0, hash), line);
    int last = readInteger(text.substr(hash + 1), line);
    if (last < first) fatalErrorAt(line, "Interval reversed (\"%s\")", text.c_str());
    last = std::min(last, std::max(first, maxTimeslots));
    for (long long slot = first; slot <= last; ++slot) slots.push_back(static_cast<int>(slot));
    return last - first + 1;
}
