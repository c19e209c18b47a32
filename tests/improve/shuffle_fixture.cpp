#include "improve/shuffle_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "base/log.h"
#include "judge/check_solution.h"

using space_testing::Built;

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

// Hard rules of a timetable being built activity by activity.
class Occupancy {
public:
    explicit Occupancy(const ProblemData& problem)
        : problem(problem),
          held(2 * problem.resources.size() * problem.nbSlots, false),
          days(problem.resources.size()),
          starts(problem.activities.size(), -1) {}

    // The first member of each group free for a at t, or empty when a cannot
    // start at t.
    bool fits(int a, int t, std::vector<int>& members) const {
        const Activity& act = problem.activities[a];
        const int P = problem.slotsPerDay;
        if (t / P != (t + act.length - 1) / P) return false;
        if (covers(act.timePrefs.unavail, t, act.length)) return false;
        for (int r : act.reqRes)
            if (!resourceFree(a, r, t)) return false;
        for (int r : act.reqRes) {
            const Resource& res = problem.resources[r];
            if (res.maxDays >= problem.days) continue;
            std::set<int> used = days[r];
            used.insert(t / P);
            if (static_cast<int>(used.size()) > res.maxDays) return false;
        }
        members.clear();
        for (int g : act.reqGroups) {
            int chosen = -1;
            for (int m : problem.groups[g].resources)
                if (!covers(problem.resources[m].timePrefs.unavail, t, act.length) &&
                    resourceFree(a, m, t)) {
                    chosen = m;
                    break;
                }
            if (chosen < 0) return false;
            members.push_back(chosen);
        }
        for (int i : act.dependences) {
            const Dependence& dep = problem.dependences[i];
            if (dep.score >= 0) continue;
            const int t1 = dep.first == a ? t : starts[dep.first];
            const int t2 = dep.second == a ? t : starts[dep.second];
            if (t1 < 0 || t2 < 0) continue;
            if (broken(dep, t1, t2)) return false;
        }
        return true;
    }

    void place(int a, int t, const std::vector<int>& members) {
        const Activity& act = problem.activities[a];
        starts[a] = t;
        for (int r : act.reqRes) hold(a, r, t);
        for (int m : members) hold(a, m, t);
    }

private:
    bool covers(const std::vector<int>& unavail, int t, int length) const {
        for (int u : unavail)
            if (u >= t && u < t + length) return true;
        return false;
    }
    int lastHeld(int r, int t, int length) const {
        const int P = problem.slotsPerDay;
        return std::min(t + length + problem.resources[r].breakSlots - 1, (t / P) * P + P - 1);
    }
    std::size_t index(int w, int r, int s) const {
        return (static_cast<std::size_t>(w) * problem.resources.size() + r) * problem.nbSlots + s;
    }
    bool resourceFree(int a, int r, int t) const {
        const Activity& act = problem.activities[a];
        for (int w = 0; w < 2; w++) {
            if (!(act.week & (w == 0 ? 2 : 1))) continue;
            // Held slots include the breaks after earlier activities.
            for (int s = t; s <= lastHeld(r, t, act.length); s++)
                if (held[index(w, r, s)]) return false;
        }
        return true;
    }
    void hold(int a, int r, int t) {
        const Activity& act = problem.activities[a];
        for (int w = 0; w < 2; w++) {
            if (!(act.week & (w == 0 ? 2 : 1))) continue;
            for (int s = t; s <= lastHeld(r, t, act.length); s++) held[index(w, r, s)] = true;
        }
        days[r].insert(t / problem.slotsPerDay);
    }
    bool broken(const Dependence& dep, int t1, int t2) const;

    const ProblemData& problem;
    std::vector<bool> held;
    std::vector<std::set<int>> days;
    std::vector<int> starts;
};

bool Occupancy::broken(const Dependence& dep, int t1, int t2) const {
    const int len1 = problem.activities[dep.first].length;
    const int len2 = problem.activities[dep.second].length;
    const int P = problem.slotsPerDay;
    switch (dep.op) {
    case DependenceOp::before: return t2 < t1 + len1;
    case DependenceOp::closelyBefore: return t2 < t1 + len1 || t1 / P != t2 / P;
    default: return t2 < t1 || t1 + len1 < t2 + len2;
    }
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
        teachers += space_testing::resource("T" + std::to_string(i), inner);
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
        classes += space_testing::resource("C" + std::to_string(i), inner);
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
        rooms += space_testing::resource("R" + std::to_string(i), inner);
    }
    special += space_testing::resource("P0", chance(random, 50) ? element("Break", "1") : "");
    special += space_testing::resource("P1");

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
        const char week = "AAAEO"[draw(random, 0, 4)];
        std::string inner;
        if (chance(random, 30)) inner = element("TimePreferences", softPrefs(random, nbSlots, 1));
        activities += space_testing::activity("A" + std::to_string(i), draw(random, 1, 2),
                                              required, groups, week, inner);
    }

    std::string dependences;
    const char* operators[] = {"Before", "Closely before", "After", "Closely after",
                               "Concurrently"};
    const int nbDependences = draw(random, 0, 3);
    for (int i = 0; i < nbDependences; i++) {
        const int first = draw(random, 0, nbActivities - 1);
        int second = draw(random, 0, nbActivities - 2);
        if (second >= first) second++;
        dependences += space_testing::dependence(
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
    SearchSpace& space = *built.space;
    Random random(seed);
    const int n = static_cast<int>(problem.activities.size());
    std::vector<int> order(n);
    for (int a = 0; a < n; a++) order[a] = a;
    std::shuffle(order.begin(), order.end(), random);

    Occupancy occupancy(problem);
    space.time_sel.assign(n, -1);
    space.solGrsel.assign(problem.nbGrsel, -1);
    std::vector<int> members;
    for (int a : order) {
        const int first = draw(random, 0, problem.nbSlots - 1);
        for (int i = 0; i < problem.nbSlots; i++) {
            const int t = (first + i) % problem.nbSlots;
            if (!occupancy.fits(a, t, members)) continue;
            occupancy.place(a, t, members);
            space.time_sel[a] = t;
            for (std::size_t k = 0; k < members.size(); k++)
                space.solGrsel[problem.activities[a].grsel + k] = members[k];
            break;
        }
    }
    space.myScore = judgeStored(built);
}

void storeTimetable(Built& built, const std::vector<int>& starts) {
    const ProblemData& problem = built.problem;
    SearchSpace& space = *built.space;
    Occupancy occupancy(problem);
    space.time_sel = starts;
    space.solGrsel.assign(problem.nbGrsel, -1);
    std::vector<int> members;
    for (std::size_t a = 0; a < starts.size(); a++) {
        if (starts[a] < 0) continue;
        if (!occupancy.fits(static_cast<int>(a), starts[a], members)) {
            ADD_FAILURE() << "activity " << a << " cannot start at " << starts[a];
            continue;
        }
        occupancy.place(static_cast<int>(a), starts[a], members);
        for (std::size_t k = 0; k < members.size(); k++)
            space.solGrsel[problem.activities[a].grsel + k] = members[k];
    }
    space.myScore = judgeStored(built);
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
