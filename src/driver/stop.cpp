#include "driver/stop.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <thread>
#include <unistd.h>

#include "base/log.h"
#include "base/run_settings.h"

namespace {
static_assert(std::atomic<int>::is_always_lock_free,
              "the stop flag is set from a signal handler");

const char terminatingMessage[] = "Terminating program, please wait...\n";

// Where requestStop announces itself, fixed when the handlers are installed
// (-e and the verbosity cannot change during a search): the log stream's
// descriptor, or -1 for silence.
std::atomic<int> announceDescriptor{-1};

extern "C" void onStopSignal(int) {
    int savedErrno = errno;
    requestStop();
    errno = savedErrno;
}

void installSignal(int signalNumber) {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Restart interrupted reads and writes: the search and the writer must
    // not see EINTR because the user asked to stop.
    action.sa_flags = SA_RESTART;
    sigaction(signalNumber, &action, nullptr);
}

// A job started in the background of an interactive shell is stopped by the
// terminal (SIGTTIN) as soon as it reads from it, which would freeze the whole
// search. Wait instead until the job is brought to the foreground.
void waitUntilForeground(int descriptor) {
    while (isatty(descriptor) && tcgetpgrp(descriptor) != getpgrp()) sleep(1);
}
}  // namespace

void requestStop() {
    runSettings.stopRequested.store(1);
    int descriptor = announceDescriptor.load();
    if (descriptor >= 0) {
        ssize_t written = write(descriptor, terminatingMessage, sizeof terminatingMessage - 1);
        (void)written;  // nothing useful to do about a failed announcement
    }
}

bool watchInput(int descriptor) {
    waitUntilForeground(descriptor);
    // Reads what is there (a whole typed line on a terminal) so that the rest
    // of the line is not left for the shell after the program ends.
    char buffer[256];
    for (;;) {
        ssize_t got = read(descriptor, buffer, sizeof buffer);
        if (got > 0) {
            requestStop();
            return true;
        }
        if (got < 0 && errno == EINTR) continue;
        return false;
    }
}

void installStopHandlers() {
    static bool installed = false;
    if (installed) return;
    installed = true;

    announceDescriptor.store(runSettings.verbosity >= 10 ? fileno(logStream) : -1);
    installSignal(SIGTERM);
    installSignal(SIGINT);
    // No console control events here: a hang-up of the terminal is the
    // nearest thing and asks for the same orderly stop.
    installSignal(SIGHUP);
    std::thread([] { watchInput(STDIN_FILENO); }).detach();
}
