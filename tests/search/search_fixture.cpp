#include "search/search_fixture.h"

#include <random>

#include "base/log.h"
#include "base/run_settings.h"
#include "judge/check_solution.h"

namespace search_testing {

using namespace space_testing;

std::string generatedProblem(unsigned seed) {
    std::mt19937 random(seed);
    auto below = [&](int n) { return static_cast<int>(random() % n); };

    const int days = 1 + below(2);
    const int slotsPerDay = 4 + below(3);
    const int nbSlots = days * slotsPerDay;
    auto slot = [&] { return std::to_string(below(nbSlots)); };

    // Teachers carry the day rules; rooms, in groups, only preferences and breaks.
    const std::vector<std::string> teachers = {"T0", "T1", "T2"};
    const std::vector<std::string> rooms = {"R0", "R1", "R2"};
    std::string resources;
    for (const std::string& t : teachers) {
        std::string inner = "<TimePreferences><Soft score=\"" + std::to_string(1 + below(5)) +
                            "\">" + slot() + "</Soft></TimePreferences>";
        if (below(3) == 0) inner += "<Break>1</Break>";
        if (below(3) == 0) inner += "<MaxDays>1</MaxDays>";
        if (below(3) == 0) inner += "<Balanced score=\"" + std::to_string(1 + below(3)) + "\"/>";
        switch (below(3)) {
        case 0: inner += "<Continuous/>"; break;
        case 1: inner += "<Continuous score=\"" + std::to_string(2 + below(4)) + "\"/>"; break;
        default: break;
        }
        resources += resource(t, inner);
    }
    for (const std::string& r : rooms) {
        std::string inner = "<TimePreferences><Hard>" + slot() + "</Hard><Soft score=\"" +
                            std::to_string(1 + below(4)) + "\">" + slot() +
                            "</Soft></TimePreferences>";
        if (below(4) == 0) inner += "<Break>1</Break>";
        resources += resource(r, inner);
    }

    // Hard dependences pair disjoint activities (0-1, 2-3, ...) that have
    // teachers of their own, so that no chain of hard rules can contradict
    // itself before the first decision; soft ones may link any two.
    const int nbActivities = 3 + below(3);
    const std::vector<std::string> operators = {"Before", "Closely before", "After",
                                                "Closely after", "Concurrently"};
    std::vector<bool> hard(nbActivities, false);
    for (int i = 1; i < nbActivities; i += 2) hard[i] = hard[i - 1] = below(2) == 0;

    const char weeks[] = {'A', 'A', 'E', 'O'};
    std::string activities, dependences;
    for (int i = 0; i < nbActivities; ++i) {
        std::string teacher = teachers[below(3)];
        if (hard[i]) {
            teacher = "D" + std::to_string(i);
            resources += resource(teacher, "<TimePreferences><Soft score=\"1\">" + slot() +
                                               "</Soft></TimePreferences>");
            if (i % 2 == 1)
                dependences += dependence("A" + std::to_string(i - 1), "A" + std::to_string(i),
                                          operators[below(5)]);
        }
        std::vector<std::vector<std::string>> groups;
        if (below(3) != 0) groups.push_back(below(2) ? rooms : std::vector<std::string>{"R1", "R2"});
        std::string prefs;
        if (below(2) == 0)
            prefs = "<TimePreferences><Soft score=\"" + std::to_string(1 + below(3)) + "\">" +
                    slot() + "</Soft></TimePreferences>";
        activities += activity("A" + std::to_string(i), 1 + below(2), {teacher}, groups, week(std::string(1, weeks[below(4)])) + prefs);
    }
    for (int k = below(3); k > 0; --k) {
        const int first = below(nbActivities), second = below(nbActivities);
        if (first == second) continue;
        dependences += dependence("A" + std::to_string(first), "A" + std::to_string(second),
                                  operators[below(5)], below(6));
    }
    return problemText(days, slotsPerDay, resources, activities, dependences);
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
