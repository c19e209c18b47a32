#include "search/time_limit.h"

#include <ctime>

#include "base/log.h"
#include "base/run_settings.h"

long long currentSeconds() { return static_cast<long long>(std::time(nullptr)); }

bool TimeLimit::reached() const {
    if (seconds < 0) return false;
    if (currentSeconds() < start + seconds) return false;
    if (logLevel(10)) logPrint("Time limit exceeded, ending...\n");
    return true;
}
