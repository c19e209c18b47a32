#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <stdexcept>

#include "base/log.h"
#include "judge/check_solution.h"
#include "support/problem_fixture.h"
#include "support/random_problem.h"
#include "view/blocking_reasons.h"
#include "view_fixture.h"

using namespace view_testing;

namespace {

// The judgement ends the program on a broken hard rule; here it throws, so a
// test can ask it about many timetables.
struct Refused : std::runtime_error {
    Refused() : std::runtime_error("refused") {}
};

class QuietRefusals {
public:
    QuietRefusals() : saved(logStream), sink(std::fopen("/dev/null", "w")) {
        logStream = sink;
        setFatalExit([](int) { throw Refused(); });
    }
    ~QuietRefusals() {
        setFatalExit(nullptr);
        logStream = saved;
        std::fclose(sink);
    }

private:
    FILE* saved;
    FILE* sink;
};

bool judgementAccepts(const ProblemData& problem) {
    try {
        checkSolution(problem);
        return true;
    } catch (const Refused&) {
        return false;
    }
}

// Places the unassigned activity at start with every choice of group members
// in turn; true when the judgement accepts one of them.
bool someChoiceAccepted(ProblemData& problem, int activity, int start) {
    const Activity& a = problem.activities[activity];
    SolutionEntry* entry = nullptr;
    for (SolutionEntry& e : problem.solution)
        if (e.act == activity) entry = &e;
    entry->start = start;
    std::function<bool(std::size_t)> choose = [&](std::size_t k) {
        if (k == a.reqGroups.size()) return judgementAccepts(problem);
        for (int member : problem.groups[a.reqGroups[k]].resources) {
            entry->res.push_back(member);
            const bool accepted = choose(k + 1);
            entry->res.pop_back();
            if (accepted) return true;
        }
        return false;
    };
    entry->res = a.reqRes;
    const bool accepted = choose(0);
    entry->start = -1;
    entry->res.clear();
    return accepted;
}

// For every unassigned lesson and every start: the view says it fits exactly
// when the judgement would accept the lesson there.
void expectAgreement(View::CheckedTimetable& checked) {
    QuietRefusals quiet;
    ProblemData& problem = checked.problem;
    const View::TimetableLayout layout(problem);
    ASSERT_FALSE(layout.unassigned.empty());
    for (int a : layout.unassigned) {
        for (int day = 0; day < problem.days; ++day) {
            for (int hour = 0; hour < layout.fileSlotsPerDay; ++hour) {
                const View::BlockReason reason = View::firstBlock(layout, a, day, hour);
                const bool accepted =
                    someChoiceAccepted(problem, a, layout.internalSlot(day, hour));
                EXPECT_EQ(reason.kind == View::Block::fits, accepted)
                    << problem.activityName(a) << " day " << day << " slot " << hour << ": "
                    << View::describe(layout, a, reason);
            }
        }
    }
}

// The example school with a complete timetable from which every third lesson
// is taken out: breaks, a MaxDays teacher, a hard dependence, a free Friday
// and the room group all come into play.
TEST(JudgeAgreementTest, ReasonsAgreeWithTheJudgementOnTheExampleSchool) {
    View::CheckedTimetable checked;
    std::string problem, solution;
    for (auto [path, text] : {std::pair{"examples/school.xml", &problem},
                              std::pair{"tests/cli/cases/view-school/solution.xml", &solution}}) {
        FILE* f = std::fopen(testing_support::sourcePath(path).c_str(), "r");
        ASSERT_NE(f, nullptr) << path;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            text->append(buffer, n);
        std::fclose(f);
    }
    loadChecked(problem, solution, checked);
    for (std::size_t i = 0; i < checked.problem.solution.size(); i += 3) {
        checked.problem.solution[i].start = -1;
        checked.problem.solution[i].res.clear();
    }
    expectAgreement(checked);
}

// Weeks, a break that only the other lesson's side needs, and a dependence
// written as After (stored the other way round).
TEST(JudgeAgreementTest, ReasonsAgreeWithTheJudgementOnWeeksBreaksAndDependences) {
    const std::string resources =
        "<Classrooms><Resource id=\"R1\"><Break>2</Break></Resource><Resource id=\"R2\"/>"
        "</Classrooms><Teachers><Resource id=\"T\"><MaxDays>2</MaxDays><TimePreferences>"
        "<Hard>9</Hard></TimePreferences></Resource></Teachers>"
        "<Classes><Resource id=\"K\"/></Classes>";
    const std::string activities =
        activity("A", 2, {"T"}, {{"R1", "R2"}}, week("E")) + activity("B", 1, {"K", "T"}) +
        activity("C", 1, {"K"}, {{"R1", "R2"}}, week("O")) + activity("D", 2, {"T"}) +
        activity("E", 1, {"K"}, {{"R1", "R2"}}) + activity("F", 3, {"K"});
    const std::string dependences =
        "<Dependence><FirstActivity>E</FirstActivity><SecondActivity>A</SecondActivity>"
        "<Operator>After</Operator></Dependence>"
        "<Dependence><FirstActivity>F</FirstActivity><SecondActivity>C</SecondActivity>"
        "<Operator>Concurrently</Operator></Dependence>";
    View::CheckedTimetable checked;
    loadChecked(problemWithKinds(3, 4, resources, activities, dependences),
                solutionText({{"A", 1, {"T", "R1"}},
                              {"B", 4, {"K", "T"}},
                              {"C", 1, {"K", "R1"}},
                              {"D", -1, {}},
                              {"E", -1, {}},
                              {"F", -1, {}}}),
                checked);
    expectAgreement(checked);
}

// Generated problems with school rules of every kind, hard and soft: half
// of the lessons placed one by one where the judgement accepts them, the
// others left out. A start is free exactly when no hard rule, a school rule
// among them, keeps the lesson from it.
TEST(JudgeAgreementTest, ReasonsAgreeWithTheJudgementUnderSchoolRules) {
    testing_support::ProblemShape shape;
    shape.schoolRules = true;
    int blockedByRules = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("problem seed " + std::to_string(seed));
        const std::string text = testing_support::randomProblem(seed, shape);
        std::vector<Entry> nothingPlaced;
        const std::string marker = "<Activity id=\"";
        for (std::size_t at = 0; (at = text.find(marker, at)) != std::string::npos;) {
            at += marker.size();
            nothingPlaced.push_back({text.substr(at, text.find('"', at) - at), -1, {}});
        }
        View::CheckedTimetable checked;
        loadChecked(text, solutionText(nothingPlaced), checked);
        ProblemData& problem = checked.problem;
        if (!problem.hasSchoolRules()) continue;
        {
            QuietRefusals quiet;
            for (int a = 0; a < static_cast<int>(problem.activities.size()); a += 2) {
                SolutionEntry& entry = problem.solution[a];
                ASSERT_EQ(entry.act, a);
                for (int t = 0; t < problem.nbSlots && entry.start < 0; ++t) {
                    entry.start = t;
                    entry.res = problem.activities[a].reqRes;
                    for (int g : problem.activities[a].reqGroups)
                        entry.res.push_back(problem.groups[g].resources[0]);
                    if (!judgementAccepts(problem)) {
                        entry.start = -1;
                        entry.res.clear();
                    }
                }
            }
        }
        expectAgreement(checked);
        const View::TimetableLayout layout(problem);
        for (int a : layout.unassigned)
            for (int day = 0; day < problem.days; ++day)
                for (int hour = 0; hour < layout.fileSlotsPerDay; ++hour)
                    if (View::firstBlock(layout, a, day, hour).kind == View::Block::schoolRule)
                        ++blockedByRules;
    }
    EXPECT_GT(blockedByRules, 50);
}

}  // namespace
