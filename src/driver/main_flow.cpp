#include "driver/main_flow.h"

#include <csignal>
#include <cstdio>
#include <thread>

#include "deep/deep_search.h"
#include "driver/command_line.h"
#include "driver/configuration.h"
#include "driver/stop.h"
#include "base/files.h"
#include "base/log.h"
#include "base/output_file.h"
#include "base/run_settings.h"
#include "judge/check_solution.h"
#include "output/solution_writer.h"
#include "problem/analyser.h"
#include "problem/problem_data.h"
#include "problem/solution_reader.h"
#include "search/search_driver.h"
#include "problem/solution_record.h"
#include "xml/xml_tree.h"

namespace {

void parseFile(const std::string& name, XML::Elements& document, FILE*& stream) {
    if (logLevel(10)) logPrint("Parsing file '%s'\n", name.c_str());
    stream = openFile(name, "r");
    XML::parseDocument(stream, document);
}

void destroyWithLog(XML::Elements& document) {
    if (logLevel(20)) logPrint("Destroing XML tree\n");
    XML::destroyDocument(document);
}

// Reads the solution to start from and returns its judgement. The problem's
// own document is reused when the solution lives in the same file.
int readInitialSolution(ProblemData& problem, const CommandLine& line, XML::Elements& document) {
    std::string name = line.initialFile.empty() ? line.inputFile : line.initialFile;
    FILE* stream = nullptr;
    if (name != line.inputFile) {
        destroyWithLog(document);
        parseFile(name, document, stream);
    }
    if (logLevel(10)) logPrint("Analysing solution\n");
    readSolution(problem, document);
    if (stream) closeFile(stream);
    if (logLevel(10)) logPrint("Counting result of initial solution\n");
    return checkSolution(problem);
}

// Reads the existing timetable that calculate mode scores.
void readExistingSolution(ProblemData& problem, const CommandLine& line, XML::Elements& document) {
    FILE* stream = nullptr;
    parseFile(line.outputFile, document, stream);
    if (logLevel(10)) logPrint("Analysing solution\n");
    readSolution(problem, document);
    closeFile(stream);
    destroyWithLog(document);
}

DeepOptions deepOptions(const CommandLine& line) {
    DeepOptions options;
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    options.threads = line.threads > 0 ? line.threads : cores > 0 ? cores : 1;
    options.timeLimit = runSettings.timeLimit;
    options.showScores = runSettings.showScores;
    options.fromSolution = runSettings.initialSolution;
    return options;
}

// Searches, writes the best timetable and reads the written document back,
// so that problem.solution is exactly what was saved. Returns the score the
// search claims for it; statistics receives the counters of its propagators
// (none for the deep search, which has none).
int searchAndSave(ProblemData& problem, const CommandLine& line, int initialScore,
                  PropagatorStatistics& statistics) {
    // Only the deep search keeps the school rules.
    bool deep = line.mode == CommandLine::Mode::deep;
    if (problem.hasSchoolRules() && !deep) {
        if (line.modeGiven)
            fatalError("The classic search cannot keep the school rules of this problem "
                       "(resource rules or ActivityRules): leave out -m classic, or use -m deep");
        deep = true;
        if (logLevel(10)) logPrint("School rules in the problem: solving with the deep search\n");
    }
    // An output that cannot be written is reported before the search, not
    // after it, when the timetable found would be lost.
    checkOutputCanBeCreated(line.outputFile);
    SolutionRecords records;
    records.initialScore = initialScore;
    installStopHandlers();
    if (deep)
        runDeepSearch(problem, deepOptions(line), runSettings.stopRequested, records);
    else
        statistics = runSearch(problem, records, runSettings);
    copyRecord(records.found, records.best);
    if (runSettings.showScores) logPrint("%d\n", records.found.score());

    if (logLevel(10)) logPrint("Saving solution to file '%s'\n", line.outputFile.c_str());
    OutputFile output = openOutputFile(line.outputFile);
    XML::Elements written;
    writeSolution(problem, records.found, output.stream, written);
    finishOutputFile(output);
    readSolution(problem, written);
    XML::destroyDocument(written);
    return records.found.score();
}

void saveResult(const std::string& name, int result) {
    if (logLevel(10)) logPrint("Saving result to file '%s'\n", name.c_str());
    OutputFile output = openOutputFile(name);
    std::fprintf(output.stream, "%d\n", result);
    finishOutputFile(output);
}

int runMainFlow(const CommandLine& line) {
    if (logLevel(10)) printBanner();
    readConfiguration();

    ProblemData problem;
    XML::Elements document;
    FILE* input = nullptr;
    parseFile(line.inputFile, document, input);
    if (logLevel(10)) logPrint("Analysing input\n");
    analyseProblem(problem, document);
    closeFile(input);

    int initialScore = 0;
    if (runSettings.initialSolution) initialScore = readInitialSolution(problem, line, document);
    destroyWithLog(document);

    int searchScore = 0;
    PropagatorStatistics statistics;  // none in calculate mode
    if (line.calculate)
        readExistingSolution(problem, line, document);
    else
        searchScore = searchAndSave(problem, line, initialScore, statistics);

    if (logLevel(10)) logPrint("Counting result\n");
    int result = checkSolution(problem);
    if (logLevel(10)) logPrint("Result is: %d\n", result);
    // The search's running score and the judgement are computed independently;
    // a difference means one of them is wrong.
    if (!line.calculate && result != searchScore) fatalError("Internal error - score counting");
    if (!line.resultFile.empty()) saveResult(line.resultFile, result);

    if (logLevel(10)) {
        const PropagatorStatistics& s = statistics;
        logPrint("Propagators called %d (%d) times, worked %d (%d) times, min/max changed %d (%d) "
                 "times\n",
                 s.calls, s.callsUnfixed, s.worked, s.workedUnfixed, s.boundsChanged,
                 s.boundsChangedUnfixed);
    }
    XML::destroyDocument(document);
    return 0;
}

}  // namespace

int runQuorvex(int argc, char** argv) {
    if (argc > 0) programName = argv[0];
    // A reader that goes away (a closed pipe on standard output) must give a
    // write error that is reported, not end the program without a word.
    std::signal(SIGPIPE, SIG_IGN);

    CommandLine line = parseCommandLine(argc, argv, runSettings);
    if (line.logToStdout) logStream = stdout;
    switch (line.action) {
    case CommandLine::Action::showHelp:
        printUsage();
        return 0;
    case CommandLine::Action::showVersion:
        printVersion();
        return 0;
    case CommandLine::Action::usageError:
        printHintLine();
        return 1;
    case CommandLine::Action::run:
        break;
    }
    return runMainFlow(line);
}
