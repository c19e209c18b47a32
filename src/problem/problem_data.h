#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "problem/school_rules.h"
#include "problem/weeks.h"

// The one analysed timetabling problem that every other part reads. Records
// refer to each other by their 0-based index in the tables below; -1 means
// none. Slots are internal (every day has addedSlots extra slots at its end)
// once the analysis has run.

constexpr int noMaxDays = 1000000000;   // MaxDays of a resource without the rule
constexpr int hardContinuous = 10000;   // Continuous without a score is hard
constexpr int unassignedCost = 1000000; // score of one activity left without a start

// What the slots listed in unavail mean while reading: nothing is listed,
// Hard lists the forbidden slots, Avail the only allowed ones.
enum class HardMode { none, hard, avail };

// Time preferences of an activity or a resource.
struct TimePrefs {
    // Read form: -s starts a run of slots costing s each, the values after it
    // are file slots. Prepared: one summed cost per internal slot.
    std::vector<int> soft;
    // Read form: slots listed by Hard or Avail. Prepared: the sorted
    // unavailable internal slots, added slots included.
    std::vector<int> unavail;
    // Activities only: cost of starting at each slot (sum of soft over its length).
    std::vector<int> startSoft;
    HardMode hardMode = HardMode::none;  // what the listed slots mean; hard once prepared
};

struct Resource {
    std::string id;
    TimePrefs timePrefs;
    int continuous = 0;          // Continuous score; 10000 is hard
    std::vector<int> activities; // activities requiring it directly, ascending
    std::vector<int> groups;     // groups containing it, ascending
    int breakSlots = 0;          // free slots needed after each of its activities
    int maxDays = noMaxDays;
    int mdres = -1;              // dense index among resources with MaxDays or Balanced
    int grres = -1;              // dense index among resources in some group
    int balanced = 0;            // Balanced score
    int dayQuota = 0;            // weekLoad of its activities / min(maxDays, days)
    int contres = -1;            // dense index among resources with Continuous
    int busyEven = 0;            // length + breakSlots of its even-week activities
    int busyOdd = 0;             // the same for its odd-week activities
    bool isClass = false;        // listed under Classes (a class's day ends with LastOfDay)
    std::vector<ResourceRule> rules;  // its school rules, at most one of each kind
};

// Resource names of one activity, only while reading and analysing.
struct RequirementNames {
    std::vector<std::string> required;            // all needed
    std::vector<std::vector<std::string>> groups; // one of each needed
};

struct Activity {
    std::string id;
    TimePrefs timePrefs;     // own preferences merged with those of its required resources
    TimePrefs ownTimePrefs;  // own preferences alone (startSoft empty)
    std::uint8_t week = Weeks::both;  // the weeks it is held in (weeks.h)
    int length = 0;
    int weekLoad = 0;        // length, doubled when week is 3
    int grsel = 0;           // offset of its first group selection
    std::vector<int> reqRes;
    std::vector<int> reqGroups;
    // (activity, gap): activities sharing a required resource in a common
    // week, itself included, ascending; gap is the largest shared break.
    std::vector<std::pair<int, int>> conflicts;
    std::vector<int> dependences;  // ascending
    std::vector<int> activityRules;  // activity rules that list it, ascending
    RequirementNames readReq;      // emptied by the analysis
};

struct Group {
    std::vector<int> resources;   // members in order of first listing
    std::vector<int> activities;  // activities requiring the group, ascending
};

// In the order of the words of the file: Before, Closely before, After,
// Closely after, Concurrently.
enum class DependenceOp { before, closelyBefore, after, closelyAfter, concurrently };

struct Dependence {
    std::string firstId;   // emptied when resolved
    std::string secondId;  // emptied when resolved
    int first = -1;
    int second = -1;
    int score = -1;  // weight of a soft dependence; negative means hard
    DependenceOp op = DependenceOp::before;  // no after or closelyAfter once analysed
};

struct SolutionEntry {
    std::string id;  // emptied when resolved
    int act = -1;
    int start = -1;  // internal slot; -1 unassigned
    std::vector<std::string> resIds;  // emptied when resolved
    std::vector<int> res;
};

struct ReaderContext;

struct ProblemData {
    int days = 0;
    int slotsPerDay = 0;  // enlarged by addedSlots in the analysis
    int nbSlots = 0;      // days x slotsPerDay
    int nbMdres = 0;
    int nbGrres = 0;
    int nbGrsel = 0;
    int nbContres = 0;
    int addedSlots = 0;   // the largest Break of any resource
    std::vector<Resource> resources;
    std::vector<Group> groups;
    std::vector<Activity> activities;
    std::vector<Dependence> dependences;
    std::vector<ActivityRule> activityRules;
    std::vector<SolutionEntry> solution;
    ReaderContext* reader = nullptr;  // only while a document is read

    // The id of activity or resource i, or "illegal" outside the table.
    const char* activityName(int i) const;
    const char* resourceName(int i) const;
    // Whether any resource or activity rule is given: only the deep search keeps them.
    bool hasSchoolRules() const;
};
