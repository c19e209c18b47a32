#include "driver/configuration.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

#include "base/log.h"

namespace {

// Writes configuration texts to a scratch file and captures the log.
class Configuration : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvex-cfg-XXXXXX";
        int descriptor = mkstemp(pattern);
        ASSERT_GE(descriptor, 0);
        close(descriptor);
        fileName = pattern;
        savedLog = logStream;
        logStream = std::tmpfile();
    }
    void TearDown() override {
        std::fclose(logStream);
        logStream = savedLog;
        std::remove(fileName.c_str());
    }
    void read(const std::string& text) {
        std::ofstream(fileName, std::ios::binary) << text;
        readConfigurationFile(fileName, settings);
    }
    std::string logged() {
        std::string text;
        std::rewind(logStream);
        for (int c; (c = std::fgetc(logStream)) != EOF;) text += static_cast<char>(c);
        return text;
    }
    std::string errorAt(int line) {
        return "Error while reading configuration file in line " + std::to_string(line) + "\n";
    }

    std::string fileName;
    FILE* savedLog = nullptr;
    RunSettings settings;
};

TEST_F(Configuration, MissingFileKeepsTheStartValues) {
    std::remove(fileName.c_str());
    settings.stopAfter = 7;
    readConfigurationFile(fileName, settings);
    EXPECT_EQ(settings.stopAfter, 7);
    EXPECT_EQ(settings.stepsUnchanged, 25);
    EXPECT_EQ(logged(), "No configuration file (" + fileName + ")\n");
}

TEST_F(Configuration, ByteOrderMarkBeforeTheFirstKeyIsSkipped) {
    read("\xEF\xBB\xBFSTOPAFTER=3\nSTEPSUNCHANGED=4\n");
    EXPECT_EQ(settings.stopAfter, 3);
    EXPECT_EQ(settings.stepsUnchanged, 4);
    EXPECT_EQ(logged(), "Reading configuration file: " + fileName + "\n");
    // Only in front of the first line.
    read("STOPAFTER=6\n\xEF\xBB\xBFSTEPSUNCHANGED=4\n");
    EXPECT_EQ(settings.stopAfter, 6);
    EXPECT_EQ(settings.stepsUnchanged, 20);
}

TEST_F(Configuration, EmptyFileResetsToFileDefaults) {
    settings.stopAfter = 7;
    read("");
    EXPECT_EQ(settings.stopAfter, 5);
    EXPECT_EQ(settings.stepsUnchanged, 20);
    EXPECT_EQ(logged(), "Reading configuration file: " + fileName + "\n");
}

TEST_F(Configuration, KeysIgnoreCaseBlanksAndComments) {
    read("# tuning\n\n   \nstopafter = 3\nSTEPSUNCHANGED=40 # more steps\n");
    EXPECT_EQ(settings.stopAfter, 3);
    EXPECT_EQ(settings.stepsUnchanged, 40);
    EXPECT_EQ(logged().find("Error"), std::string::npos);
}

TEST_F(Configuration, BlanksInsideAValueAreDropped) {
    read("Steps Unchanged = 1 0\r\nSTOPAFTER=\t-2\n");
    EXPECT_EQ(settings.stepsUnchanged, 10);
    EXPECT_EQ(settings.stopAfter, -2);
}

TEST_F(Configuration, OnlyTheFirstBadLineIsReportedAndLaterLinesApply) {
    read("STOPAFTER=9\nTIMEOUT=5\nSTEPSUNCHANGED=30\nSTOPAFTER=x\nnoequals\n");
    EXPECT_EQ(settings.stopAfter, 9);  // the bad value leaves the field alone
    EXPECT_EQ(settings.stepsUnchanged, 30);
    EXPECT_NE(logged().find(errorAt(2)), std::string::npos);
    EXPECT_EQ(logged().find(errorAt(4)), std::string::npos);
}

TEST_F(Configuration, TrailingTextAfterTheNumberIsIgnoredAndLastValueWins) {
    read("STEPSUNCHANGED=10abc\nSTOPAFTER=1\nSTOPAFTER=2\n");
    EXPECT_EQ(settings.stepsUnchanged, 10);
    EXPECT_EQ(settings.stopAfter, 2);
}

TEST_F(Configuration, ValueTooLargeIsAnErrorNotAWrap) {
    read("STOPAFTER=4294967301\n");
    EXPECT_EQ(settings.stopAfter, 5);
    EXPECT_NE(logged().find(errorAt(1)), std::string::npos);
}

TEST_F(Configuration, AnOverlongLineCountsAsSeveralLines) {
    // The first 4095 characters are one piece, the rest another.
    read("STOPAFTER=7" + std::string(5000, ' ') + "\nwrong\n");
    EXPECT_EQ(settings.stopAfter, 7);
    EXPECT_NE(logged().find(errorAt(3)), std::string::npos);
}

TEST_F(Configuration, QuietRunLogsNothing) {
    settings.verbosity = 0;
    read("bad line\n");
    EXPECT_EQ(logged(), "");
}

}  // namespace
