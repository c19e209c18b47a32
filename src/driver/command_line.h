#pragma once
#include <string>

#include "base/run_settings.h"

// What the command line asks for, apart from the fields it sets in the run
// settings.
struct CommandLine {
    enum class Action {
        run,          // two file names given: run the main flow
        showHelp,     // --help: print the usage text, status 0
        showVersion,  // --version: print the version text, status 0
        usageError,   // an option error or a wrong number of file names: hint line, status 1
    };
    Action action = Action::run;
    bool logToStdout = false;  // -e, as far as the options were looked at
    bool calculate = false;    // -c: score OUTPUTFILE instead of searching
    std::string initialFile;   // -i[file]; empty means INPUTFILE
    std::string resultFile;    // -r[file]; "-" is standard output, empty means none
    std::string inputFile;
    std::string outputFile;
    // -m: which search finds the timetable.
    enum class Mode { classic, deep };
    Mode mode = Mode::classic;
    bool modeGiven = false;  // -m was given (a problem with school rules needs the deep search)
    int threads = 0;  // --threads: searches of the deep search side by side; 0 for every core
};

// Parses argv with the C library's getopt_long (options end at the first
// file name). Sets verbosity, showScores, initialSolution and timeLimit of
// settings in the order the options are given. Option errors are reported by
// getopt_long itself on standard error; the caller prints the hint line.
// Never exits, so tests may call it repeatedly.
CommandLine parseCommandLine(int argc, char** argv, RunSettings& settings);

// The usage text, with programName, on logStream.
void printUsage();
// "quorvex-0.2.1 (release stamp)" with the compile time, on logStream.
void printVersion();
// The banner line the main flow logs first.
void printBanner();
