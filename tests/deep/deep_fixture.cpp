#include "deep_fixture.h"

#include <gtest/gtest.h>

#include "base/log.h"
#include "judge/check_solution.h"
#include "support/problem_fixture.h"

namespace deep_testing {

namespace {

ProblemData& loadedProblem(ProblemData& problem, const std::string& text) {
    testing_support::quietLogs();
    testing_support::loadProblem(text, problem);
    return problem;
}

struct FatalStop {};
void throwOnFatal(int) { throw FatalStop{}; }

}  // namespace

Loaded::Loaded(const std::string& text) : facts(loadedProblem(problem, text)) {}

long long judge(ProblemData& problem, const Timetable& timetable) {
    timetable.writeTo(problem.solution);
    setFatalExit(throwOnFatal);
    long long score = -1;
    try {
        score = checkSolution(problem);
    } catch (FatalStop&) {
        ADD_FAILURE() << "the timetable breaks a hard rule";
    }
    setFatalExit(nullptr);
    return score;
}

Saved saved(const Timetable& timetable) {
    Saved result;
    timetable.save(result.starts, result.members);
    result.score = timetable.score();
    return result;
}

}  // namespace deep_testing
