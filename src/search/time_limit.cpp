#include "search/time_limit.h"

#include <ctime>

#include "driver/log.h"
#include "driver/run_settings.h"

long long searchStart = 0;

long long currentSeconds() { return static_cast<long long>(std::time(nullptr)); }

bool timeLimitReached() {
    if (runSettings.timeLimit < 0) return false;
    if (currentSeconds() < searchStart + runSettings.timeLimit) return false;
    if (logLevel(10)) logPrint("Time limit exceeded, ending...\n");
    return true;
}
