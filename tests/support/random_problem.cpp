#include "support/random_problem.h"

#include <algorithm>
#include <vector>

#include "support/problem_text.h"

namespace testing_support {

using namespace problem_text;

std::string randomProblem(std::mt19937& random, const ProblemShape& shape) {
    auto draw = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    auto number = [](int value) { return std::to_string(value); };
    const int days = draw(shape.minDays, shape.maxDays);
    const int slotsPerDay = draw(4, 6);
    const int nbSlots = days * slotsPerDay;
    const int nbClasses = draw(1, 3), nbTeachers = draw(1, 3), nbRooms = draw(2, shape.maxRooms);
    const int nbActivities = draw(shape.minActivities, shape.maxActivities);

    auto preferences = [&](int softCount, int hardCount) {
        if (!shape.preferences) softCount = 0;
        std::string text;
        for (int i = 0; i < softCount; ++i) {
            const int from = draw(0, nbSlots - 1);
            const int to = draw(from, std::min(from + 2, nbSlots - 1));
            text += "<Soft score=\"" + number(draw(1, 9)) + "\">" + number(from) + "#" + number(to) +
                    "</Soft>";
        }
        for (int i = 0; i < hardCount; ++i) text += "<Hard>" + number(draw(0, nbSlots - 1)) + "</Hard>";
        return text.empty() ? text : "<TimePreferences>" + text + "</TimePreferences>";
    };

    // A few school rules of random kinds: a third hard, the rest with a
    // score, now and then 0.
    auto ruleScore = [&]() -> std::string {
        const int kind = draw(0, 5);
        if (kind < 2) return "";
        return " score=\"" + number(kind == 2 ? 0 : draw(1, 9)) + "\"";
    };
    auto resourceRules = [&]() {
        if (!shape.schoolRules || draw(0, 1) == 0) return std::string();
        static const char* const names[] = {"MaxPerDay",     "MinPerDay", "MaxGaps",
                                            "MaxGapsPerDay", "MinDays",   "MaxConsecutive",
                                            "MaxLateStarts"};
        std::string text;
        std::vector<int> kinds = {0, 1, 2, 3, 4, 5, 6};
        std::shuffle(kinds.begin(), kinds.end(), random);
        for (int k = 0, count = draw(1, 3); k < count; ++k) {
            int limit = 0;
            switch (kinds[k]) {
            case 0: limit = draw(1, slotsPerDay); break;
            case 1: limit = draw(1, 3); break;
            case 2: limit = draw(0, 2); break;
            case 3: limit = draw(0, 1); break;
            case 4: limit = draw(1, days); break;
            case 5: limit = draw(1, 3); break;
            default: limit = draw(0, 1); break;
            }
            text += std::string("<") + names[kinds[k]] + ruleScore() + ">" + number(limit) +
                    "</" + names[kinds[k]] + ">";
        }
        return text;
    };

    std::string rooms, teachers, classes, special;
    for (int i = 0; i < nbRooms; ++i)
        rooms += resource("R" + number(i), preferences(draw(0, 2), draw(0, 1)) +
                                               (draw(0, 3) == 0 ? "<Break>1</Break>" : ""));
    for (int i = 0; i < nbTeachers; ++i) {
        std::string inner = preferences(draw(0, 3), draw(0, 1));
        if (draw(0, 2) == 0) inner += "<Break>" + number(draw(1, 2)) + "</Break>";
        if (shape.dayRules) {
            if (draw(0, 2) == 0) inner += "<MaxDays>" + number(draw(1, days)) + "</MaxDays>";
            if (draw(0, 1) == 0) inner += "<Balanced score=\"" + number(draw(1, 7)) + "\"/>";
            if (draw(0, 3) == 0) inner += "<Continuous score=\"" + number(draw(1, 9)) + "\"/>";
        }
        teachers += resource("T" + number(i), inner + resourceRules());
    }
    for (int i = 0; i < nbClasses; ++i) {
        std::string inner = preferences(draw(0, 2), 0);
        const int continuity = draw(0, 3);
        if (shape.dayRules && continuity == 0) inner += "<Continuous/>";
        if (shape.dayRules && (continuity == 1 || continuity == 2))
            inner += "<Continuous score=\"" + number(draw(1, 9)) + "\"/>";
        if (draw(0, 3) == 0) inner += "<Break>1</Break>";
        if (shape.dayRules && draw(0, 3) == 0)
            inner += "<Balanced score=\"" + number(draw(1, 5)) + "\"/>";
        classes += resource("C" + number(i), inner + resourceRules());
    }
    special += resource("P0", draw(0, 1) == 0 ? "<Break>1</Break>" : "") + resource("P1");

    // With separate hard dependences, activities 2k and 2k+1 are paired by
    // one hard dependence or none, and a paired one has a teacher of its own.
    std::vector<bool> paired(nbActivities, false);
    if (shape.separateHardDependences && shape.maxDependences > 0)
        for (int a = 1; a < nbActivities; a += 2) paired[a] = paired[a - 1] = draw(0, 1) == 0;

    std::vector<std::string> roomNames;
    for (int r = 0; r < nbRooms; ++r) roomNames.push_back("R" + number(r));
    std::string activities;
    for (int a = 0; a < nbActivities; ++a) {
        std::vector<std::string> required = {"C" + number(draw(0, nbClasses - 1))};
        if (paired[a]) {
            required.push_back("D" + number(a));
            teachers += resource("D" + number(a), preferences(1, 0));
        } else if (draw(0, 3) != 0) {
            required.push_back("T" + number(draw(0, nbTeachers - 1)));
        }
        // Two groups of rooms of one activity take disjoint halves of them.
        std::vector<std::vector<std::string>> groups;
        const int roomGroups = draw(0, std::min(shape.maxGroups, 2));
        const int half = nbRooms / 2;
        for (int g = 0; g < roomGroups; ++g) {
            const int from = roomGroups == 2 && g == 1 ? half : 0;
            const int to = roomGroups == 2 && g == 0 ? half : nbRooms;
            groups.emplace_back(roomNames.begin() + from, roomNames.begin() + to);
        }
        if (roomGroups < shape.maxGroups && draw(0, 3) == 0) groups.push_back({"P0", "P1"});
        const std::string inner =
            week(std::string(1, "AEO"[draw(0, 2)])) + preferences(draw(0, 2), 0);
        activities += activity("A" + number(a), draw(0, 3) == 0 ? 2 : 1, required, groups, inner);
    }

    static const char* const operators[] = {"Before", "Closely before", "After", "Closely after",
                                            "Concurrently"};
    std::string dependences;
    for (int a = 1; a < nbActivities; a += 2)
        if (paired[a])
            dependences += dependence("A" + number(a - 1), "A" + number(a), operators[draw(0, 4)]);
    const int nbDependences = nbActivities > 1 ? draw(0, shape.maxDependences) : 0;
    for (int i = 0; i < nbDependences; ++i) {
        const int first = draw(0, nbActivities - 1);
        int second = draw(0, nbActivities - 2);
        if (second >= first) ++second;
        // Mostly soft: hard ones often make a small problem contradictory.
        const bool hard = !shape.separateHardDependences && draw(0, 3) == 0;
        dependences += dependence("A" + number(first), "A" + number(second), operators[draw(0, 4)],
                                  hard ? -1 : draw(1, 40));
    }

    std::string activityRules;
    const int nbRules = shape.schoolRules && nbActivities > 1 ? draw(0, 5) : 0;
    for (int i = 0; i < nbRules; ++i) {
        static const char* const names[] = {"DifferentDays", "SameDay",    "SamePeriod",
                                            "Consecutive",   "DailyLimit", "LastOfDay"};
        const int kind = draw(0, 5);
        std::vector<int> listed(nbActivities);
        for (int a = 0; a < nbActivities; ++a) listed[a] = a;
        std::shuffle(listed.begin(), listed.end(), random);
        listed.resize(std::min(nbActivities, draw(kind == 5 ? 1 : 2, 3)));
        std::vector<std::string> ids;
        for (int a : listed) ids.push_back("A" + number(a));
        std::string attributes = ruleScore();
        if (kind == 0 && draw(0, 1) == 0) attributes += " days=\"" + number(draw(1, 2)) + "\"";
        if (kind == 3 && draw(0, 1) == 0) attributes += " ordered=\"no\"";
        if (kind == 4) attributes += " slots=\"" + number(draw(1, 3)) + "\"";
        activityRules += activityRule(names[kind], ids, attributes.empty() ? "" : attributes.substr(1));
    }

    return problemWithKinds(days, slotsPerDay,
                            "<Classrooms>" + rooms + "</Classrooms><Teachers>" + teachers +
                                "</Teachers><Classes>" + classes + "</Classes><Special>" +
                                special + "</Special>",
                            activities, dependences, activityRules);
}

std::string randomProblem(unsigned seed, const ProblemShape& shape) {
    std::mt19937 random(seed);
    return randomProblem(random, shape);
}

}  // namespace testing_support
