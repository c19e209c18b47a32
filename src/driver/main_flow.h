#pragma once

// The program: options, configuration, then one pass of the main flow.
// Returns the exit status.
int runQuorvex(int argc, char** argv);
