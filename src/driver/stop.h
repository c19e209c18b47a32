#pragma once

// Installs the stop mechanisms of a search: SIGTERM and SIGINT handlers and
// the standard-input watcher. Each only sets runSettings.stopRequested and
// logs "Terminating program, please wait...".
void installStopHandlers();
