#include "improve/shuffle_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "base/log.h"
#include "judge/check_solution.h"
#include "support/hard_rules.h"

using space_testing::Built;
using testing_support::PlainTimetable;
using namespace problem_text;

namespace shuffle_testing {

namespace {

using Random = std::mt19937;

int draw(Random& random, int from, int to) {
    return std::uniform_int_distribution<int>(from, to)(random);
}
bool chance(Random& random, int percent) { return draw(random, 0, 99) < percent; }

std::string slotOrInterval(Random& random, int nbSlots) {
    const int a = draw(random, 0, nbSlots - 1);
    if (chance(random, 60)) return std::to_string(a);
    return std::to_string(a) + "#" + std::to_string(std::min(nbSlots - 1, a + draw(random, 1, 3)));
}

std::string softPrefs(Random& random, int nbSlots, int count) {
    std::string text;
    for (int i = 0; i < count; i++)
        text += "<Soft score=\"" + std::to_string(draw(random, 1, 9)) + "\">" +
                slotOrInterval(random, nbSlots) + "</Soft>";
    return text;
}

std::string element(const std::string& name, const std::string& content) {
    return "<" + name + ">" + content + "</" + name + ">";
}

// The timetable as the judgement reads it: each activity with its start, its
// directly required resources and the chosen member of each group.
void putTimetable(Built& built) {
    ProblemData& problem = built.problem;
    const SearchSpace& space = *built.space;
    problem.solution.clear();
    for (std::size_t a = 0; a < problem.activities.size(); a++) {
        const Activity& act = problem.activities[a];
        SolutionEntry entry;
        entry.act = static_cast<int>(a);
        entry.start = space.time_sel[a];
        if (entry.start >= 0) {
            entry.res = act.reqRes;
            for (std::size_t k = 0; k < act.reqGroups.size(); k++)
                entry.res.push_back(space.solGrsel[act.grsel + k]);
        }
        problem.solution.push_back(entry);
    }
}

struct FatalStop {};
void throwOnFatal(int) { throw FatalStop{}; }

// The first choice of members with which activity a can start at t beside
// the activities of timetable, or false when there is none.
bool fits(const ProblemData& problem, PlainTimetable& timetable, int a, int t) {
    timetable.start[a] = t;
    for (const std::vector<int>& members : testing_support::memberChoices(problem, a)) {
        timetable.members[a] = members;
        if (testing_support::keepsHardRules(problem, timetable)) return true;
    }
    timetable.start[a] = -1;
    timetable.members[a].clear();
    return false;
}

// Puts the timetable into the space as the search driver stores a solution.
void storeIn(SearchSpace& space, const ProblemData& problem, const PlainTimetable& timetable) {
    space.time_sel = timetable.start;
    space.solGrsel.assign(problem.nbGrsel, -1);
    for (std::size_t a = 0; a < timetable.start.size(); a++) {
        if (timetable.start[a] < 0) continue;
        const std::vector<int>& members = timetable.members[a];
        for (std::size_t k = 0; k < members.size(); k++)
            space.solGrsel[problem.activities[a].grsel + k] = members[k];
    }
}

PlainTimetable emptyTimetable(const ProblemData& problem) {
    const std::size_t n = problem.activities.size();
    return PlainTimetable{std::vector<int>(n, -1), std::vector<std::vector<int>>(n)};
}

}  // namespace

std::string randomProblem(unsigned seed) {
    Random random(seed);
    const int days = draw(random, 2, 3);
    const int slotsPerDay = draw(random, 4, 6);
    const int nbSlots = days * slotsPerDay;

    std::string teachers, classes, rooms, special;
    const int nbTeachers = draw(random, 2, 3);
    for (int i = 0; i < nbTeachers; i++) {
        std::string inner = element("TimePreferences",
                                    softPrefs(random, nbSlots, draw(random, 0, 2)) +
                                        (chance(random, 40)
                                             ? element("Hard", slotOrInterval(random, nbSlots))
                                             : ""));
        if (chance(random, 40)) inner += element("Break", "1");
        if (chance(random, 40)) inner += element("MaxDays", std::to_string(draw(random, 1, days)));
        if (chance(random, 40))
            inner += "<Balanced score=\"" + std::to_string(draw(random, 1, 5)) + "\"/>";
        teachers += resource("T" + std::to_string(i), inner);
    }
    const int nbClasses = draw(random, 1, 2);
    for (int i = 0; i < nbClasses; i++) {
        std::string inner;
        if (chance(random, 70))
            inner += chance(random, 30) ? "<Continuous/>"
                                        : "<Continuous score=\"" +
                                              std::to_string(draw(random, 1, 12)) + "\"/>";
        if (chance(random, 30)) inner += element("Break", "1");
        if (chance(random, 40))
            inner += element("TimePreferences", softPrefs(random, nbSlots, 1));
        classes += resource("C" + std::to_string(i), inner);
    }
    const int nbRooms = draw(random, 2, 3);
    for (int i = 0; i < nbRooms; i++) {
        std::string inner;
        if (chance(random, 50))
            inner += element("TimePreferences",
                             softPrefs(random, nbSlots, draw(random, 1, 2)) +
                                 (chance(random, 30)
                                      ? element("Hard", std::to_string(draw(random, 0, nbSlots - 1)))
                                      : ""));
        if (chance(random, 25)) inner += element("Break", "1");
        rooms += resource("R" + std::to_string(i), inner);
    }
    special += resource("P0", chance(random, 50) ? element("Break", "1") : "");
    special += resource("P1");

    std::string activities;
    const int nbActivities = draw(random, 5, 10);
    for (int i = 0; i < nbActivities; i++) {
        std::vector<std::string> required;
        if (chance(random, 85)) required.push_back("C" + std::to_string(draw(random, 0, nbClasses - 1)));
        if (chance(random, 80)) required.push_back("T" + std::to_string(draw(random, 0, nbTeachers - 1)));
        std::vector<std::vector<std::string>> groups;
        if (chance(random, 70)) {
            std::vector<std::string> group;
            const int first = chance(random, 50) ? 0 : 1;
            for (int r = first; r < nbRooms; r++) group.push_back("R" + std::to_string(r));
            if (group.size() < 2) group.insert(group.begin(), "R0");
            groups.push_back(group);
        }
        if (chance(random, 25)) groups.push_back({"P0", "P1"});
        std::string inner = week(std::string(1, "AAAEO"[draw(random, 0, 4)]));
        if (chance(random, 30)) inner += element("TimePreferences", softPrefs(random, nbSlots, 1));
        activities += activity("A" + std::to_string(i), draw(random, 1, 2), required, groups, inner);
    }

    std::string dependences;
    const char* operators[] = {"Before", "Closely before", "After", "Closely after",
                               "Concurrently"};
    const int nbDependences = draw(random, 0, 3);
    for (int i = 0; i < nbDependences; i++) {
        const int first = draw(random, 0, nbActivities - 1);
        int second = draw(random, 0, nbActivities - 2);
        if (second >= first) second++;
        dependences += dependence(
            "A" + std::to_string(first), "A" + std::to_string(second), operators[draw(random, 0, 4)],
            chance(random, 50) ? -1 : draw(random, 0, 40));
    }

    std::string text = "<Timetable><Problem><General><DaysPerWeek>" + std::to_string(days) +
                       "</DaysPerWeek><SlotsPerDay>" + std::to_string(slotsPerDay) +
                       "</SlotsPerDay></General><Resources>" + element("Classrooms", rooms) +
                       element("Teachers", teachers) + element("Classes", classes) +
                       element("Special", special) + "</Resources>" +
                       element("Activities", activities);
    if (!dependences.empty()) text += element("Dependences", dependences);
    return text + "</Problem></Timetable>\n";
}

int judgeStored(Built& built) {
    putTimetable(built);
    setFatalExit(throwOnFatal);
    int score = -1;
    try {
        score = checkSolution(built.problem);
    } catch (const FatalStop&) {
        ADD_FAILURE() << "the timetable breaks a hard rule";
    }
    setFatalExit(nullptr);
    return score;
}

void storeGreedyTimetable(Built& built, unsigned seed) {
    const ProblemData& problem = built.problem;
    Random random(seed);
    const int n = static_cast<int>(problem.activities.size());
    std::vector<int> order(n);
    for (int a = 0; a < n; a++) order[a] = a;
    std::shuffle(order.begin(), order.end(), random);

    PlainTimetable timetable = emptyTimetable(problem);
    for (int a : order) {
        const int first = draw(random, 0, problem.nbSlots - 1);
        for (int i = 0; i < problem.nbSlots; i++)
            if (fits(problem, timetable, a, (first + i) % problem.nbSlots)) break;
    }
    storeIn(*built.space, problem, timetable);
    built.space->myScore = judgeStored(built);
}

void storeTimetable(Built& built, const std::vector<int>& starts) {
    const ProblemData& problem = built.problem;
    PlainTimetable timetable = emptyTimetable(problem);
    for (std::size_t a = 0; a < starts.size(); a++) {
        if (starts[a] < 0) continue;
        if (!fits(problem, timetable, static_cast<int>(a), starts[a]))
            ADD_FAILURE() << "activity " << a << " cannot start at " << starts[a];
    }
    storeIn(*built.space, problem, timetable);
    built.space->myScore = judgeStored(built);
}

bool storeFirstApproach(Built& built) {
    SearchSpace& space = *built.space;
    space.processPropagators();
    for (;;) {
        space.prepareFirst();
        space.processPropagators();
        if (space.state != SpaceState::open) break;
        space.processPropagators();
        const JournalMark mark = space.takeMark();
        space.commitFirst(0);
        space.processPropagators();
        if (space.state == SpaceState::failed) {
            space.goBack(mark);
            space.commitFirst(1);
        }
    }
    if (space.state != SpaceState::solved) return false;
    const int n = static_cast<int>(built.problem.activities.size());
    space.time_sel.assign(n, -1);
    for (int i = 0; i < n; i++)
        if (space.used[i]) space.time_sel[i] = space.time[i].min;
    space.solGrsel = space.grsel;
    return true;
}

}  // namespace shuffle_testing
