#include "driver/command_line.h"

#include <getopt.h>

#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "base/read_number.h"

namespace {
const char* const versionNumber = QUORVEX_VERSION;
const char* const releaseStamp = "19-07-2005, 16:08";
const char* const compileTime = __DATE__ " " __TIME__;

// Values getopt_long returns for the long options without a short form.
enum { optionHelp = 1000, optionVersion, optionThreads };

// Most searches of the deep search that run side by side.
constexpr int maxThreads = 256;

// The leading "+" keeps POSIX ordering: parsing stops at the first word that
// is not an option, so every option must come before the file names.
const char* const shortOptions = "+escqv::r::i::t:l:m:";

const option longOptions[] = {
    {"help", no_argument, nullptr, optionHelp},
    {"version", no_argument, nullptr, optionVersion},
    {"result", optional_argument, nullptr, 'r'},
    {"init", optional_argument, nullptr, 'i'},
    {"calculate", no_argument, nullptr, 'c'},
    {"verbose", optional_argument, nullptr, 'v'},
    {"quiet", no_argument, nullptr, 'q'},
    {"score", no_argument, nullptr, 's'},
    {"errors", no_argument, nullptr, 'e'},
    {"limit", required_argument, nullptr, 'l'},
    {"mode", required_argument, nullptr, 'm'},
    {"threads", required_argument, nullptr, optionThreads},
    {nullptr, 0, nullptr, 0},
};
}  // namespace

CommandLine parseCommandLine(int argc, char** argv, RunSettings& settings) {
    CommandLine line;
    optind = 0;  // full restart of getopt_long's own state for each parse
    opterr = 1;
    for (;;) {
        int option = getopt_long(argc, argv, shortOptions, longOptions, nullptr);
        if (option == -1) break;
        switch (option) {
        case optionHelp:
            line.action = CommandLine::Action::showHelp;
            return line;
        case optionVersion:
            line.action = CommandLine::Action::showVersion;
            return line;
        case 'r':
            line.resultFile = optarg ? optarg : "-";
            break;
        case 'i':
            line.initialFile = optarg ? optarg : "";
            settings.initialSolution = true;
            break;
        case 'c':
            line.calculate = true;
            break;
        case 'v':
            settings.verbosity = 20;
            if (optarg) readNumber(optarg, settings.verbosity);
            break;
        case 'q':
            settings.verbosity = 0;
            break;
        case 's':
            settings.showScores = true;
            break;
        case 'e':
            line.logToStdout = true;
            break;
        case 'l':
            readNumber(optarg, settings.timeLimit);
            break;
        case 't':
            break;  // accepted with its argument for compatibility; no effect
        case 'm':
            line.modeGiven = true;
            if (std::strcmp(optarg, "classic") == 0) {
                line.mode = CommandLine::Mode::classic;
            } else if (std::strcmp(optarg, "deep") == 0) {
                line.mode = CommandLine::Mode::deep;
            } else {
                std::fprintf(stderr, "%s: unknown search mode '%s' (classic or deep)\n",
                             programName.c_str(), optarg);
                line.action = CommandLine::Action::usageError;
                return line;
            }
            break;
        case optionThreads: {
            int threads = 0;
            if (!readNumber(optarg, threads) || threads < 1 || threads > maxThreads) {
                std::fprintf(stderr, "%s: --threads needs a number from 1 to %d (got '%s')\n",
                             programName.c_str(), maxThreads, optarg);
                line.action = CommandLine::Action::usageError;
                return line;
            }
            line.threads = threads;
            break;
        }
        case '?':
            line.action = CommandLine::Action::usageError;
            return line;
        default:
            break;
        }
    }
    if (argc - optind != 2) {
        line.action = CommandLine::Action::usageError;
        return line;
    }
    line.inputFile = argv[optind];
    line.outputFile = argv[optind + 1];
    return line;
}

void printUsage() {
    logPrint(
        "usage: %s [OPTIONS] INPUTFILE OUTPUTFILE\n"
        "   Input or output file can be '-' which holds for standard input/output\n"
        "      --help                 print this help, then exit\n"
        "      --version              print program version number, then exit\n"
        "   -l --limit=time           set maximal time of working (in seconds)\n"
        "   -m --mode=name            search: classic (default) or deep\n"
        "      --threads=n            threads of the deep search [all cores]\n"
        "   -v --verbose=level        level of verbosity (normal=10) [=20]\n"
        "   -q --quiet                do not show anyting (except errors)\n"
        "   -s --score                show score of each better solution to stderr\n"
        "   -c --calculate            do not look for solution, only calculate\n"
        "                             the score of the existing one\n"
        "   -i --init[=file]          start with solution from file [INPUTFILE]\n"
        "   -r --result[=file]        write score to file (or to stdout)\n"
        "   -e --errors               use stdout instead of stderr\n",
        programName.c_str());
}

void printVersion() {
    logPrint("quorvex-%s (%s)\ncompile time: %s\n", versionNumber, releaseStamp, compileTime);
}

void printBanner() {
    logPrint("quorvex-%s (%s, compile time: %s)\n", versionNumber, releaseStamp, compileTime);
}
