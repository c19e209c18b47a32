#pragma once
#include <cstdint>
#include <vector>

#include "problem/problem_data.h"
#include "problem/school_rules.h"
#include "problem/weeks.h"

// What the deep search reads at every step about the problem, derived once
// from the analysed problem and read-only afterwards, so that searches on
// several threads can share one copy.

// A dependence seen from one of its two activities.
struct DependenceLink {
    int dependence;  // index in the problem's dependences
    int partner;     // the other activity (the activity itself for a self-dependence)
    bool isFirst;    // this activity is the dependence's first
    bool hard;       // broken is never allowed
    int score;       // weight when soft
};

struct ActivityFacts {
    int length = 0;
    int week = Weeks::both;  // the weeks it is held in
    int weekLoad = 0;
    int grsel = 0;      // its first group selection
    std::vector<int> direct;  // directly required resources
    std::vector<int> groups;  // required groups, one member of each to choose
    // Starts that break no rule of the activity alone: inside one day, no
    // unavailable slot of its own or of its direct resources, no hard
    // dependence on itself broken. Ascending.
    std::vector<int> starts;
    std::vector<DependenceLink> links;
    bool hasHardLinks = false;
    // Activities tied to this one by hard Concurrently dependences between
    // activities of equal length, directly or through others: they must all
    // start together, so they are placed and moved together. Holds the
    // activity itself first; empty when it is tied to none.
    std::vector<int> block;
    std::vector<int> rules;           // activity rules that list it (none of score 0)
    std::vector<int> ruledResources;  // its direct resources with school rules
};

struct ResourceFacts {
    int breakSlots = 0;
    int maxDays = 0;       // days it may work; only a limit when below the days of the week
    bool limitedDays = false;
    int balanced = 0;
    int dayQuota = 0;
    int continuous = 0;
    int nbActivities = 0;  // activities requiring it directly
    std::vector<long long> softPrefix;  // soft cost of slots 0 .. s - 1
    std::vector<int> unavailPrefix;     // unavailable slots among 0 .. s - 1
    // Its school rules (none of score 0: they cost nothing), and what the
    // rules that look ahead to the lessons still to be placed count on.
    std::vector<ResourceRule> rules;
    bool hardRules = false;
    int maxConsecutive = 0;           // the n of its MaxConsecutive rule, 0 without one
    int hardLimit[nbResourceRuleKinds];  // the n of each hard rule, -1 without one
    bool fillsDays = false;  // a hard MinPerDay, MaxGaps, MaxGapsPerDay, MaxLateStarts or MinDays
    int limitOf(ResourceRuleKind kind) const { return hardLimit[static_cast<int>(kind)]; }
    // The most busy slots each day can hold under the hard rules: its
    // available slots, MaxPerDay, and with no gaps allowed MaxConsecutive in
    // each run of available slots; mostOnADay is the largest of them.
    std::vector<int> dayCapacity;
    int mostOnADay = 0;
    int lessons[2] = {};              // its lessons held in each week
    int lessonsAll = 0;               // its lessons
    long long load[2] = {};           // their slots in each week
    long long loadWithBreaks[2] = {}; // their slots and the breaks after them
    std::vector<std::uint64_t> availableBits;  // with dayBits: its available slots of each day
    bool unavailable(int s) const { return unavailPrefix[s + 1] != unavailPrefix[s]; }
};

// An activity rule as the deep search reads it.
struct ActivityRuleFacts {
    ActivityRuleKind kind;
    std::vector<int> activities;  // as listed
    int score;                    // negative for a hard rule
    int days, slots;
    bool ordered;
    // Consecutive in the listed order: where each starts after the first,
    // and the slots of all together.
    std::vector<int> offsets;
    int totalLength = 0;
    bool hard() const { return score < 0; }
};

class Facts {
public:
    explicit Facts(const ProblemData& problem);

    const ProblemData& problem;
    const int nbActivities;
    const int nbResources;
    const int days;
    const int slotsPerDay;
    const int nbSlots;
    std::vector<ActivityFacts> activities;
    std::vector<ResourceFacts> resources;
    std::vector<ActivityRuleFacts> activityRules;
    // Per resource under Classes: the LastOfDay rules listing a lesson that
    // requires it, whose keeping depends on every lesson of the class.
    std::vector<std::vector<int>> lastOfDayRules;
    bool hasRules = false;      // any school rule that costs or forbids something
    int fileSlotsPerDay = 0;    // slots of a day without the added ones
    bool dayBits = false;       // a day fits in 64 bits: the rules count days in words

    int dayOf(int slot) const { return slot / slotsPerDay; }
    // Last slot the resource is held by the activity starting at t: its own
    // slots, then the resource's break, never past the end of the day.
    int heldEnd(int r, int a, int t) const {
        const int dayLast = (dayOf(t) + 1) * slotsPerDay - 1;
        const int end = t + activities[a].length + resources[r].breakSlots - 1;
        return end < dayLast ? end : dayLast;
    }
    // The resource's soft cost for the activity at t, halved for an activity
    // held in one week only.
    long long resourceCost(int r, int a, int t) const {
        const std::vector<long long>& p = resources[r].softPrefix;
        const long long sum = p[t + activities[a].length] - p[t];
        return Weeks::weighted(sum, activities[a].week);
    }
    // The activity's own soft cost at t.
    long long ownCost(int a, int t) const {
        return ownSoftPrefix[a][t + activities[a].length] - ownSoftPrefix[a][t];
    }
    // The own cost and the costs of its direct resources at t.
    long long fixedCost(int a, int t) const;
    // Whether t is one of the activity's starts.
    bool allowedStart(int a, int t) const {
        return t >= 0 && t < nbSlots && allowed[static_cast<std::size_t>(a) * nbSlots + t];
    }
    bool memberAvailable(int r, int a, int t) const {
        const std::vector<int>& p = resources[r].unavailPrefix;
        return p[t + activities[a].length] == p[t];
    }
    // Whether the dependence seen from a, with a at ta and its partner at tp,
    // is broken.
    bool broken(const DependenceLink& link, int a, int ta, int tp) const;

private:
    void buildBlocks();
    void buildRules();
    // Whether a alone at t keeps every hard school rule it takes part in as
    // the search keeps them: a start that fails this never fits.
    bool rulesAllowAlone(int a, int t) const;

    std::vector<std::vector<long long>> ownSoftPrefix;
    std::vector<char> allowed;  // [activity][slot]: the slot is one of its starts

public:
    // While the starts are cut by the school rules: the starts each activity
    // had before (a chain of lessons back to back needs each at its place).
    bool allowedBefore(int a, int t) const {
        return t >= 0 && t < nbSlots && baseAllowed[static_cast<std::size_t>(a) * nbSlots + t];
    }

private:
    std::vector<char> baseAllowed;
};
