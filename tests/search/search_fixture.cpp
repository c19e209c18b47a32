#include "search/search_fixture.h"


#include "base/log.h"
#include "base/run_settings.h"
#include "judge/check_solution.h"
#include "support/random_problem.h"

namespace search_testing {

using namespace space_testing;

std::string generatedProblem(unsigned seed) {
    return testing_support::randomProblem(
        seed, {.minDays = 1, .maxDays = 2, .minActivities = 3, .maxActivities = 5,
               .maxDependences = 2, .separateHardDependences = true});
}

QuickSearch::QuickSearch(int newStopAfter, int newStepsUnchanged, int newTimeLimit)
    : verbosity(runSettings.verbosity),
      stopAfter(runSettings.stopAfter),
      stepsUnchanged(runSettings.stepsUnchanged),
      timeLimit(runSettings.timeLimit),
      showScores(runSettings.showScores),
      initialSolution(runSettings.initialSolution) {
    runSettings.verbosity = 0;
    runSettings.stopAfter = newStopAfter;
    runSettings.stepsUnchanged = newStepsUnchanged;
    runSettings.timeLimit = newTimeLimit;
    runSettings.showScores = false;
    runSettings.initialSolution = false;
    runSettings.stopRequested = 0;
}

QuickSearch::~QuickSearch() {
    runSettings.verbosity = verbosity;
    runSettings.stopAfter = stopAfter;
    runSettings.stepsUnchanged = stepsUnchanged;
    runSettings.timeLimit = timeLimit;
    runSettings.showScores = showScores;
    runSettings.initialSolution = initialSolution;
    runSettings.stopRequested = 0;
}

std::vector<SolutionEntry> solutionOf(const ProblemData& problem, const SolutionRecord& record) {
    std::vector<SolutionEntry> solution;
    for (int a = 0; a < static_cast<int>(problem.activities.size()); ++a) {
        const Activity& activity = problem.activities[a];
        SolutionEntry entry;
        entry.act = a;
        entry.start = record.start()[a];
        if (entry.start >= 0) {
            for (std::size_t k = 0; k < activity.reqGroups.size(); ++k)
                entry.res.push_back(record.grsel()[activity.grsel + k]);
            entry.res.insert(entry.res.end(), activity.reqRes.begin(), activity.reqRes.end());
        }
        solution.push_back(entry);
    }
    return solution;
}

int judge(ProblemData& problem, const SolutionRecord& record) {
    problem.solution = solutionOf(problem, record);
    const int verbosity = runSettings.verbosity;
    runSettings.verbosity = 0;
    const int score = checkSolution(problem);
    runSettings.verbosity = verbosity;
    return score;
}

int unassignedCount(const ProblemData& problem, const SolutionRecord& record) {
    int count = 0;
    for (std::size_t a = 0; a < problem.activities.size(); ++a)
        if (record.start()[a] < 0) ++count;
    return count;
}

LogCapture::LogCapture(int verbosity)
    : file(std::tmpfile()), previous(logStream), previousVerbosity(runSettings.verbosity) {
    logStream = file;
    runSettings.verbosity = verbosity;
}

LogCapture::~LogCapture() {
    logStream = previous;
    runSettings.verbosity = previousVerbosity;
    std::fclose(file);
}

std::string LogCapture::text() const {
    std::fflush(file);
    std::string result;
    std::rewind(file);
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) result.append(buffer, got);
    std::fseek(file, 0, SEEK_END);
    return result;
}

int countOf(const std::string& text, const std::string& piece) {
    int count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + piece.size()))
        ++count;
    return count;
}

}  // namespace search_testing
