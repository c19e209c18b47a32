#include "base/output_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

#include "base/log.h"

namespace {

namespace fs = std::filesystem;

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "quorvex-output-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string path(const char* name) const { return (folder / name).string(); }

    // Every entry of the folder, so that a temporary file left over shows.
    std::string entries() const {
        std::string names;
        for (const auto& entry : fs::directory_iterator(folder))
            names += entry.path().filename().string() + " ";
        return names;
    }

    fs::path folder;
};

std::string contents(const std::string& name) {
    std::ifstream in(name);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeText(const std::string& name, const char* text) {
    OutputFile file = openOutputFile(name);
    std::fputs(text, file.stream);
    finishOutputFile(file);
}

TEST_F(OutputFileTest, AFinishedFileReplacesThePreviousOneAndKeepsItsMode) {
    std::string name = path("out.xml");
    writeText(name, "old\n");
    ASSERT_EQ(chmod(name.c_str(), 0640), 0);
    writeText(name, "new\n");
    EXPECT_EQ(contents(name), "new\n");
    struct stat written {};
    ASSERT_EQ(stat(name.c_str(), &written), 0);
    EXPECT_EQ(written.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(), "out.xml ");
    EXPECT_EQ(currentFile, "");
}

TEST_F(OutputFileTest, ANewFileGetsTheModeOfAnyNewFile) {
    mode_t mask = umask(022);
    writeText(path("fresh.txt"), "1\n");
    umask(mask);
    struct stat written {};
    ASSERT_EQ(stat(path("fresh.txt").c_str(), &written), 0);
    EXPECT_EQ(written.st_mode & 07777, 0644u);
}

TEST_F(OutputFileTest, TheFileNamesItselfWhileOpen) {
    OutputFile file = openOutputFile(path("named.xml"));
    EXPECT_EQ(currentFile, "File '" + path("named.xml") + "'");
    finishOutputFile(file);
}

// A fatal error while the document is being written (the program exits
// between opening and finishing) leaves the previous file and no temporary.
TEST_F(OutputFileTest, AnExitBeforeTheEndKeepsThePreviousFile) {
    std::string name = path("out.xml");
    writeText(name, "previous\n");
    EXPECT_EXIT(
        {
            OutputFile file = openOutputFile(name);
            std::fputs("half a timet", file.stream);
            std::fflush(file.stream);
            fatalError("stopped while writing");
        },
        ::testing::ExitedWithCode(1), "stopped while writing");
    EXPECT_EQ(contents(name), "previous\n");
    EXPECT_EQ(entries(), "out.xml ");
}

TEST_F(OutputFileTest, AFailedWriteIsReportedAndLeavesNothing) {
    std::string name = path("out.xml");
    writeText(name, "previous\n");
    EXPECT_EXIT(
        {
            OutputFile file = openOutputFile(name);
            std::fputs("text", file.stream);
            // What a full disk does to the stream: the next flush fails.
            std::fclose(file.stream);
            file.stream = std::fopen("/dev/full", "w");
            std::fputs("more", file.stream);
            finishOutputFile(file);
        },
        ::testing::ExitedWithCode(1), "Couldn't create file '.*out.xml'");
    EXPECT_EQ(contents(name), "previous\n");
    EXPECT_EQ(entries(), "out.xml ");
}

}  // namespace
