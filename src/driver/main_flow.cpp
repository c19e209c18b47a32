#include "driver/main_flow.h"

int runQuorvex(int, char**) { return 0; }
