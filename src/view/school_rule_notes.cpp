// The school rules in words: one sentence per kind for a breach the
// judgement found, used for a broken hard rule and for a soft penalty alike.
#include <string>

#include "view/explanations.h"

namespace View {

namespace {

std::string plural(long long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The figures of one breach, as the sentences of its kind need them.
struct BreachFacts {
    const TimetableLayout& layout;
    const RuleBreach& breach;

    const ProblemData& problem() const { return layout.problem; }
    const char* resource() const { return problem().resourceName(breach.resource); }
    std::string day() const { return layout.calendar.day(breach.day); }
    const ResourceRule& resourceRule() const {
        for (const ResourceRule& rule : problem().resources[breach.resource].rules)
            if (ruleKindIndex(rule.kind) == breach.kind) return rule;
        return problem().resources[breach.resource].rules.front();
    }
    const ActivityRule& activityRule() const { return problem().activityRules[breach.rule]; }
    int limit() const { return resourceRule().limit; }
    // The units of one week: a breach alike in both weeks holds the units of both.
    long long perWeek() const { return breach.weeks == Weeks::both ? breach.units / 2 : breach.units; }
    // A breach alike in both weeks counts in each of them.
    std::string weeks() const {
        return breach.weeks == Weeks::both ? " in each week"
                                           : std::string(" in ") + weekWords(breach.weeks);
    }
    // "A at Day 1, period 2 (slot 1)".
    std::string lesson(int k) const {
        const int a = breach.activities[k];
        const int p = layout.placementOf[a];
        return std::string(problem().activityName(a)) +
               (p >= 0 ? " at " + layout.whereLesson(layout.placements[p]) : "");
    }
    // "A, B and D".
    std::string lessonNames() const {
        std::string text;
        for (std::size_t k = 0; k < breach.activities.size(); ++k)
            text += (k == 0                              ? ""
                     : k + 1 == breach.activities.size() ? " and "
                                                         : ", ") +
                    std::string(problem().activityName(breach.activities[k]));
        return text;
    }
    std::string pair(const std::string& what) const {
        return lesson(0) + " and " + lesson(1) + " " + what;
    }
};

using Sentence = std::string (*)(const BreachFacts&);

std::string maxPerDay(const BreachFacts& f) {
    return std::string(f.resource()) + " has " +
           plural(f.limit() + f.perWeek(), "busy slot", "busy slots") + " on " + f.day() +
           f.weeks() + ", more than its MaxPerDay of " + std::to_string(f.limit());
}

std::string minPerDay(const BreachFacts& f) {
    return std::string(f.resource()) + " has only " +
           plural(f.limit() - f.perWeek(), "busy slot", "busy slots") + " on " + f.day() +
           f.weeks() + ", fewer than its MinPerDay of " + std::to_string(f.limit());
}

std::string maxGaps(const BreachFacts& f) {
    return std::string(f.resource()) + " has " +
           plural(f.limit() + f.perWeek(), "gap slot", "gap slots") +
           " (free slots between its lessons of a day)" + f.weeks() + ", more than its MaxGaps of " +
           std::to_string(f.limit());
}

std::string maxGapsPerDay(const BreachFacts& f) {
    return std::string(f.resource()) + " has " +
           plural(f.limit() + f.perWeek(), "gap slot", "gap slots") +
           " (free slots between its lessons) on " + f.day() + f.weeks() +
           ", more than its MaxGapsPerDay of " +
           std::to_string(f.limit());
}

std::string minDays(const BreachFacts& f) {
    return std::string(f.resource()) + " works on " +
           plural(f.limit() - f.breach.units, "day", "days") + ", fewer than its MinDays of " +
           std::to_string(f.limit());
}

std::string maxConsecutive(const BreachFacts& f) {
    return std::string(f.resource()) + " has " +
           plural(f.limit() + f.perWeek(), "busy slot", "busy slots") + " in a row from " +
           f.layout.where(f.breach.slot) + f.weeks() + ", more than its MaxConsecutive of " +
           std::to_string(f.limit());
}

std::string maxLateStarts(const BreachFacts& f) {
    if (f.breach.day >= 0)
        return std::string(f.resource()) + " begins the day at " +
               f.layout.where(f.breach.slot) + f.weeks() +
               ", later than its second available slot (MaxLateStarts)";
    return std::string(f.resource()) + " begins at its second available slot on " +
           plural(f.limit() + f.perWeek(), "day", "days") + f.weeks() +
           ", more than its MaxLateStarts of " + std::to_string(f.limit());
}

std::string differentDays(const BreachFacts& f) {
    const int days = f.activityRule().days;
    return f.pair(days == 1 ? "are on the same day"
                            : "are less than " + std::to_string(days) + " days apart");
}

std::string sameDay(const BreachFacts& f) { return f.pair("are on different days"); }

std::string samePeriod(const BreachFacts& f) { return f.pair("start at different periods"); }

std::string consecutive(const BreachFacts& f) {
    return f.lesson(1) + " does not start where " + f.lesson(0) + " ends";
}

std::string dailyLimit(const BreachFacts& f) {
    const int slots = f.activityRule().slots;
    return f.lessonNames() + " hold " + plural(slots + f.perWeek(), "slot", "slots") + " on " +
           f.day() + f.weeks() + ", more than the limit of " + std::to_string(slots);
}

std::string lastOfDay(const BreachFacts& f) {
    return f.lesson(0) + " should end the day of " + f.resource() + ", but " + f.lesson(1) +
           " comes after it";
}

// In the order of the judgement's kinds: the resource rules, then the activity rules.
constexpr Sentence sentences[nbRuleKinds] = {
    maxPerDay,     minPerDay, maxGaps,    maxGapsPerDay, minDays,    maxConsecutive, maxLateStarts,
    differentDays, sameDay,   samePeriod, consecutive,   dailyLimit, lastOfDay,
};

bool isResourceRule(const RuleBreach& breach) { return breach.kind < nbResourceRuleKinds; }

}  // namespace

std::string describe(const TimetableLayout& layout, const RuleBreach& breach) {
    const std::string sentence = sentences[breach.kind](BreachFacts{layout, breach});
    if (isResourceRule(breach)) return sentence;
    return std::string(ruleKindName(breach.kind)) + " rule " + std::to_string(breach.rule) +
           " broken: " + sentence;
}

std::string describePenalty(const TimetableLayout& layout, const RuleBreach& breach) {
    const BreachFacts facts{layout, breach};
    const std::string owner = isResourceRule(breach)
                                  ? std::string(" of ") + facts.resource()
                                  : " rule " + std::to_string(breach.rule);
    const int score =
        isResourceRule(breach) ? facts.resourceRule().score : facts.activityRule().score;
    return "'" + std::string(ruleKindName(breach.kind)) + "'" + owner + ": " +
           std::to_string(breach.cost) + " = " + std::to_string(breach.units) + " x " +
           std::to_string(score) + " (" + sentences[breach.kind](facts) + ")";
}

}  // namespace View
