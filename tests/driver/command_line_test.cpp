#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

using Action = CommandLine::Action;

// Runs the parser on "quorvex" followed by the given words, with fresh settings.
struct Parsed {
    RunSettings settings;
    CommandLine line;
};

void parse(Parsed& parsed, std::initializer_list<std::string> words) {
    std::vector<std::string> storage{"quorvex"};
    storage.insert(storage.end(), words);
    std::vector<char*> argv;
    for (std::string& word : storage) argv.push_back(word.data());
    argv.push_back(nullptr);
    parsed.line = parseCommandLine(static_cast<int>(storage.size()), argv.data(), parsed.settings);
}

TEST(CommandLine, TwoFileNamesRunWithDefaults) {
    Parsed p;
    parse(p, {"in.xml", "out.xml"});
    EXPECT_EQ(p.line.action, Action::run);
    EXPECT_EQ(p.line.inputFile, "in.xml");
    EXPECT_EQ(p.line.outputFile, "out.xml");
    EXPECT_FALSE(p.line.calculate);
    EXPECT_FALSE(p.line.logToStdout);
    EXPECT_TRUE(p.line.resultFile.empty());
}

TEST(CommandLine, WrongNumberOfFileNamesIsAUsageError) {
    Parsed none, one, three;
    parse(none, {});
    parse(one, {"in.xml"});
    parse(three, {"a", "b", "c"});
    EXPECT_EQ(none.line.action, Action::usageError);
    EXPECT_EQ(one.line.action, Action::usageError);
    EXPECT_EQ(three.line.action, Action::usageError);
}

TEST(CommandLine, OptionsStopAtTheFirstFileName) {
    Parsed after;
    parse(after, {"in.xml", "out.xml", "-v"});
    EXPECT_EQ(after.line.action, Action::usageError);

    Parsed dashes;
    parse(dashes, {"-q", "--", "-in.xml", "out.xml"});
    EXPECT_EQ(dashes.line.action, Action::run);
    EXPECT_EQ(dashes.line.inputFile, "-in.xml");

    Parsed stdio;
    parse(stdio, {"-", "-"});
    EXPECT_EQ(stdio.line.inputFile, "-");
    EXPECT_EQ(stdio.line.outputFile, "-");
}

TEST(CommandLine, HelpAndVersionEndParsingAtOnce) {
    Parsed help, prefix, errorsFirst, errorsAfter, version;
    parse(help, {"--help"});
    parse(prefix, {"--he"});
    parse(errorsFirst, {"-e", "--help"});
    parse(errorsAfter, {"--help", "-e", "-x"});
    parse(version, {"-q", "--version", "in.xml"});
    EXPECT_EQ(help.line.action, Action::showHelp);
    EXPECT_EQ(prefix.line.action, Action::showHelp);
    EXPECT_TRUE(errorsFirst.line.logToStdout);
    EXPECT_EQ(errorsAfter.line.action, Action::showHelp);
    EXPECT_FALSE(errorsAfter.line.logToStdout);
    EXPECT_EQ(version.line.action, Action::showVersion);
    EXPECT_EQ(version.settings.verbosity, 0);
}

TEST(CommandLine, OptionErrors) {
    for (auto words : {std::initializer_list<std::string>{"--ver", "a", "b"},  // ambiguous
                       {"-x", "a", "b"},                                        // unknown
                       {"--nothing", "a", "b"},
                       {"-l"},                                                  // argument missing
                       {"--calculate=yes", "a", "b"}}) {                        // argument not taken
        Parsed p;
        parse(p, words);
        EXPECT_EQ(p.line.action, Action::usageError) << *words.begin();
    }
}

TEST(CommandLine, VerboseTakesOnlyAnAttachedLevel) {
    Parsed attached, separate, longForm, notANumber, tooLarge;
    parse(attached, {"-v30", "a", "b"});
    parse(separate, {"-v", "30", "a", "b"});
    parse(longForm, {"--verbose=25", "a", "b"});
    parse(notANumber, {"-vx", "a", "b"});
    parse(tooLarge, {"-v99999999999", "a", "b"});
    EXPECT_EQ(attached.settings.verbosity, 30);
    EXPECT_EQ(separate.line.action, Action::usageError);
    EXPECT_EQ(longForm.settings.verbosity, 25);
    EXPECT_EQ(notANumber.settings.verbosity, 20);
    EXPECT_EQ(tooLarge.settings.verbosity, 20);
}

TEST(CommandLine, QuietAndVerboseLastOneWins) {
    Parsed quietLast, verboseLast;
    parse(quietLast, {"-v", "-q", "a", "b"});
    parse(verboseLast, {"-q", "--verbose", "a", "b"});
    EXPECT_EQ(quietLast.settings.verbosity, 0);
    EXPECT_EQ(verboseLast.settings.verbosity, 20);
}

TEST(CommandLine, LimitTakesAttachedOrNextWord) {
    Parsed next, attached, longNext, longAttached, notANumber, overflow, negative;
    parse(next, {"-l", "30", "a", "b"});
    parse(attached, {"-l7", "a", "b"});
    parse(longNext, {"--limit", "12", "a", "b"});
    parse(longAttached, {"--lim=0", "a", "b"});
    parse(notANumber, {"-l", "abc", "a", "b"});
    parse(overflow, {"-l", "99999999999", "a", "b"});
    parse(negative, {"-l", "-4", "a", "b"});
    EXPECT_EQ(next.settings.timeLimit, 30);
    EXPECT_EQ(attached.settings.timeLimit, 7);
    EXPECT_EQ(longNext.settings.timeLimit, 12);
    EXPECT_EQ(longAttached.settings.timeLimit, 0);
    EXPECT_EQ(notANumber.settings.timeLimit, -1);
    EXPECT_EQ(notANumber.line.action, Action::run);
    EXPECT_EQ(overflow.settings.timeLimit, -1);
    EXPECT_EQ(negative.settings.timeLimit, -4);
}

TEST(CommandLine, ResultAndInitFileNames) {
    Parsed bare, attached, longForm, separate;
    parse(bare, {"-r", "-i", "a", "b"});
    parse(attached, {"-rres.txt", "-isol.xml", "a", "b"});
    parse(longForm, {"--result=r.txt", "--init=s.xml", "a", "b"});
    parse(separate, {"-r", "res.txt", "a", "b"});
    EXPECT_EQ(bare.line.resultFile, "-");
    EXPECT_EQ(bare.line.initialFile, "");
    EXPECT_TRUE(bare.settings.initialSolution);
    EXPECT_EQ(attached.line.resultFile, "res.txt");
    EXPECT_EQ(attached.line.initialFile, "sol.xml");
    EXPECT_EQ(longForm.line.resultFile, "r.txt");
    EXPECT_EQ(longForm.line.initialFile, "s.xml");
    EXPECT_EQ(separate.line.action, Action::usageError);  // res.txt is a file name: three remain
}

TEST(CommandLine, LongFileNamesAreKeptWhole) {
    std::string name(5000, 'n');
    Parsed p;
    parse(p, {"-r" + name, "--init=" + name, name, name});
    EXPECT_EQ(p.line.resultFile, name);
    EXPECT_EQ(p.line.initialFile, name);
    EXPECT_EQ(p.line.inputFile, name);
}

TEST(CommandLine, GroupedFlagsAndIgnoredT) {
    Parsed p;
    parse(p, {"-qsce", "-t", "x", "-tfoo", "a", "b"});
    EXPECT_EQ(p.line.action, Action::run);
    EXPECT_EQ(p.settings.verbosity, 0);
    EXPECT_TRUE(p.settings.showScores);
    EXPECT_TRUE(p.line.calculate);
    EXPECT_TRUE(p.line.logToStdout);
    EXPECT_EQ(p.line.inputFile, "a");
}

}  // namespace

TEST(CommandLine, SeedIsWrittenWholeAndLeavesTheShortenedOptionsAlone) {
    Parsed p;
    parse(p, {"-m", "deep", "--seed=7", "-l", "--seed=8", "in.xml", "out.xml"});
    // The word after -l is its value, not a seed.
    EXPECT_EQ(p.line.action, Action::run);
    EXPECT_EQ(p.line.seed, 7u);
    Parsed shortened;
    parse(shortened, {"--s", "--seed=3", "in.xml", "out.xml"});
    EXPECT_TRUE(shortened.settings.showScores);  // --s is still --score
    EXPECT_EQ(shortened.line.seed, 3u);
    Parsed defaults;
    parse(defaults, {"in.xml", "out.xml"});
    EXPECT_EQ(defaults.line.seed, 1u);
    for (const char* bad : {"--seed=0", "--seed=x", "--seed=", "--seed=12x", "--seed=99999999999"}) {
        Parsed refused;
        parse(refused, {bad, "in.xml", "out.xml"});
        EXPECT_EQ(refused.line.action, Action::usageError) << bad;
    }
    Parsed afterFiles;
    parse(afterFiles, {"in.xml", "out.xml", "--seed=5"});
    EXPECT_EQ(afterFiles.line.action, Action::usageError);
}
