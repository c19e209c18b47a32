#include "driver/stop.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "base/log.h"
#include "base/run_settings.h"

namespace {

class StopRequest : public ::testing::Test {
protected:
    void SetUp() override { runSettings.stopRequested = 0; }
    void TearDown() override { runSettings.stopRequested = 0; }
};

TEST_F(StopRequest, EndOfInputIsNotAStopRequest) {
    int devNull = open("/dev/null", O_RDONLY);
    ASSERT_GE(devNull, 0);
    EXPECT_FALSE(watchInput(devNull));
    close(devNull);

    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[1]);
    EXPECT_FALSE(watchInput(ends[0]));
    close(ends[0]);
    EXPECT_EQ(runSettings.stopRequested, 0);
}

TEST_F(StopRequest, ACharacterOnTheInputRequestsTheStop) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(write(ends[1], "\n", 1), 1);
    EXPECT_TRUE(watchInput(ends[0]));
    EXPECT_EQ(runSettings.stopRequested, 1);
    close(ends[0]);
    close(ends[1]);
}

// Each signal is tried in a child process: the handlers stay installed for
// the life of the process. The child writes its log to a pipe, receives the
// signal, and exits 0 only when the flag is set and the message was written.
void expectSignalStops(int signalNumber, int verbosity, const std::string& expectedLog) {
    EXPECT_EXIT(
        {
            // The watcher must not pick up whatever the test run has on its input.
            int devNull = open("/dev/null", O_RDONLY);
            if (devNull < 0 || dup2(devNull, STDIN_FILENO) < 0) std::_Exit(3);
            int ends[2];
            if (pipe(ends) != 0) std::_Exit(3);
            logStream = fdopen(ends[1], "w");
            runSettings.verbosity = verbosity;
            installStopHandlers();
            installStopHandlers();  // a second search installs nothing more
            std::raise(signalNumber);
            std::raise(signalNumber);  // every further signal only sets the flag again
            char text[200] = {};
            fcntl(ends[0], F_SETFL, O_NONBLOCK);
            ssize_t got = read(ends[0], text, sizeof text - 1);
            std::string logged = got > 0 ? std::string(text, got) : "";
            std::_Exit(runSettings.stopRequested == 1 && logged == expectedLog ? 0 : 2);
        },
        ::testing::ExitedWithCode(0), "");
}

const std::string twice =
    "Terminating program, please wait...\nTerminating program, please wait...\n";

TEST(StopSignals, TermIntAndHangupSetTheFlagAndAnnounce) {
    expectSignalStops(SIGTERM, 10, twice);
    expectSignalStops(SIGINT, 10, twice);
    expectSignalStops(SIGHUP, 10, twice);
}

TEST(StopSignals, QuietRunStopsSilently) { expectSignalStops(SIGINT, 0, ""); }

}  // namespace
