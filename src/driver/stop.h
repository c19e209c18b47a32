#pragma once

// Installs the stop mechanisms of a search: handlers for SIGTERM, SIGINT and
// SIGHUP, and a thread that watches standard input. Each only sets
// runSettings.stopRequested and, at verbosity 10, writes "Terminating
// program, please wait..." to the log stream. Installed once per process;
// later calls do nothing.
void installStopHandlers();

// Sets the stop request and announces it; safe inside a signal handler (an
// atomic store and a write(2), nothing of stdio).
void requestStop();

// What the watcher thread does: waits for input on the descriptor and
// requests the stop when something was actually read. End of input (a closed
// pipe, /dev/null, a problem read from standard input) is not a stop request.
// Returns whether it requested the stop.
bool watchInput(int descriptor);
