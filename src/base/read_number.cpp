#include "base/read_number.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

bool readNumber(const char* text, int& value) {
    char* end = nullptr;
    errno = 0;
    long number = std::strtol(text, &end, 10);
    if (end == text) return false;
    // An out-of-range value is refused rather than wrapped: "-l 99999999999"
    // must not turn into a negative limit that means "no limit".
    if (errno == ERANGE || number < INT_MIN || number > INT_MAX) return false;
    value = static_cast<int>(number);
    return true;
}
