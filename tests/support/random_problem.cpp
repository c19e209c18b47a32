#include "support/random_problem.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "space/space_fixture.h"

namespace testing_support {

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

}  // namespace testing_support
