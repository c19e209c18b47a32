#pragma once
#include <string>
#include <vector>

#include "view/timetable_layout.h"

// Why an unassigned lesson has no place: for every start of every day, the
// first hard rule of the judgement that a start there would break, checked
// against the written timetable (the lesson itself holds nothing in it). A
// school rule blocks a start when the lesson there would break a hard one
// that the written timetable keeps.
namespace View {

enum class Block {
    fits,                 // no hard rule is broken: the lesson could start here
    dayEnd,               // it would run past the last slot of the day
    lessonUnavailable,    // one of its own slots is forbidden
    resourceUnavailable,  // a forbidden slot of a required resource
    resourceBusy,         // a required resource holds another lesson then
    breakNeeded,          // only the break between the two lessons is missing
    dayLimit,             // a required resource would work on more days than MaxDays
    groupFull,            // no member of a required group is free
    dependence,           // a hard dependence with a placed lesson is broken
    schoolRule,           // a hard school rule would be broken
};

struct BlockReason {
    Block kind = Block::fits;
    int resource = -1;                   // the resource concerned
    int other = -1;                      // the lesson in the way (busy, break, dependence)
    int slot = -1;                       // file slot where the clash lies
    int group = -1;                      // for groupFull
    int dependence = -1;                 // for dependence
    bool ownBreak = false;               // for breakNeeded: this lesson's break, not the other's
    std::vector<BlockReason> members{};  // for groupFull: why each member is not free
    int ruleKind = -1;                   // for schoolRule: the kind (judge/school_rules.h)
    int rule = -1;                       // for schoolRule: the activity rule, -1 for a resource rule
    std::string ruleText{};              // for schoolRule: the breach in words

    bool operator==(const BlockReason& other) const = default;
};

// Neighbouring starts of one day whose first reasons have one cause: the same
// rule on the same resource, group or dependence (the lessons in the way and
// the slots may differ).
struct BlockedRun {
    int firstHour = 0;
    int lastHour = 0;
    BlockReason reason;         // the reason of the first start
    std::vector<int> others{};  // every lesson in the way, each once, in slot order
};

struct DayBlocking {
    int day = 0;
    std::vector<BlockedRun> runs{};
};

// The first reason that keeps the activity from starting at hour of day.
BlockReason firstBlock(const TimetableLayout& layout, int activity, int day, int hour);

// Every day of the week, its starts gathered into runs of one cause.
std::vector<DayBlocking> blockingOf(const TimetableLayout& layout, int activity);

// The reason in words, for people; slots in the file's numbering.
std::string describe(const TimetableLayout& layout, int activity, const BlockReason& reason);
std::string describe(const TimetableLayout& layout, int activity, const BlockedRun& run);

}  // namespace View
