#pragma once
#include <string>
#include <unordered_map>
#include <vector>

#include "problem/problem_data.h"
#include "problem/weeks.h"
#include "view/hard_rules.h"
#include "view/penalties.h"

// The written timetable arranged for people to read: where every lesson lies
// on each resource's week, in the file's slot numbering, with both weeks of
// the two-week cycle kept apart, and every hard rule the timetable breaks.
// A timetable the judgement accepts has one lesson per resource slot and
// week; one that breaks rules may have several, and they are all kept.
namespace View {

// How days and periods are named for people: "Day 1", "period 1", ...
// counted from 1, unless names are given (quorvex-view --days, --periods).
// Slot numbers stay the file's, counted from 0.
struct Calendar {
    std::vector<std::string> dayNames;
    std::vector<std::string> periodNames;

    std::string day(int day) const;
    // The day in a table column: "3", or the name given.
    std::string dayLabel(int day) const;
    // "period 3", or the name given for it.
    std::string period(int hour) const;
    // The row label of a grid: "3", or the name given.
    std::string periodLabel(int hour) const;
};

// One assigned lesson of the timetable.
struct Placement {
    int activity = -1;
    int start = -1;  // internal slot
    int day = 0;
    int hour = 0;  // slot within the day; the same in both numberings
    int length = 1;
    int week = 3;                             // 1 odd, 2 even, 3 both
    std::vector<int> resources;               // as written in the solution
    std::vector<PreferenceCost> preferences;  // its soft time preferences met, own and of resources
    int softCost = 0;                         // their sum
    std::vector<int> brokenDependences;       // soft dependences with a weight it breaks
    std::vector<int> brokenSchoolRules;       // indexes in TimetableLayout::rulePenalties naming it
    std::vector<int> brokenRules;             // indexes in TimetableLayout::rules
    bool penalised() const {
        return softCost != 0 || !brokenDependences.empty() || !brokenSchoolRules.empty();
    }
    bool broken() const { return !brokenRules.empty(); }
};

// Who holds a resource at one slot of one week.
struct Holder {
    int placement = -1;    // index in TimetableLayout::placements, -1 when free
    bool isBreak = false;  // held only as the break after the lesson
};

// One table cell of a resource's grid: a free slot or a lesson spanning its
// length in rows, over both weeks or over one week's half of the day column.
// On a day where the resource holds two things at once, every cell is one
// row high and lists everything held there.
struct GridCell {
    int day = 0;
    int hour = 0;  // first row
    int rows = 1;  // rows spanned
    int week = 3;  // 3 the whole day column, 2 the even half, 1 the odd half
    int placement = -1;
    bool unavailable = false;       // a slot the resource cannot use
    bool clash = false;             // held by more than one lesson (or a lesson and a break)
    std::vector<Holder> holders{};  // a clash: everything held there, lessons before breaks
};

struct ResourceGrid {
    int resource = -1;
    bool splitWeeks = false;  // some cell holds one week only
    // cells[hour]: the cells that begin in that row, day by day, even before odd.
    std::vector<std::vector<GridCell>> cells;
};

class TimetableLayout {
public:
    explicit TimetableLayout(const ProblemData& problem);

    const ProblemData& problem;
    Calendar calendar;
    int fileSlotsPerDay;                // slots of a day in the problem file
    std::vector<Placement> placements;  // assigned lessons on the grid, in timetable order
    std::vector<int> unassigned;        // activities without a start, in timetable order
    std::vector<int> placementOf;       // per activity: its placement, or -1
    std::vector<BrokenRule> rules;      // every hard rule broken, in the judgement's order
    std::vector<ResourcePenalty> resourcePenalties;  // 'continuous' and 'balanced' charges
    std::vector<RuleBreach> rulePenalties;  // soft school rules broken at a cost, in the judgement's order

    int internalSlot(int day, int hour) const { return day * problem.slotsPerDay + hour; }
    int fileSlot(int day, int hour) const { return day * fileSlotsPerDay + hour; }
    int fileSlotOf(int internal) const {
        return fileSlot(internal / problem.slotsPerDay, internal % problem.slotsPerDay);
    }
    // The first holder of a slot; a clash has more (holdersAt).
    const Holder& holder(int week, int resource, int slot) const {
        return holders[index(week, resource, slot)];
    }
    std::vector<Holder> holdersAt(int week, int resource, int slot) const;
    bool crowded(int week, int resource, int slot) const {
        return extraHolders.count(index(week, resource, slot)) > 0;
    }
    bool unavailable(int resource, int slot) const;
    // Days on which the resource holds a slot in either week, and whether it does on one day.
    int usedDays(int resource) const;
    bool usedOnDay(int resource, int day) const;

    ResourceGrid gridOf(int resource) const;
    // The lesson's resources other than the one whose grid shows it.
    std::vector<int> otherResources(const Placement& placement, int resource) const;
    // Whether a broken rule or a school rule's penalty concerns the resource
    // (its grid lists it).
    bool concerns(const BrokenRule& rule, int resource) const;
    bool concerns(const RuleBreach& breach, int resource) const;

    // "Day 2, period 3 (slot 10)" for an internal slot.
    std::string where(int slot) const;
    // "Day 2, periods 3-4 (slots 10-11)" for the slots a placed lesson covers.
    std::string whereLesson(const Placement& placement) const;

private:
    std::size_t index(int week, int resource, int slot) const {
        return (static_cast<std::size_t>(week) * problem.resources.size() + resource) *
                   problem.nbSlots +
               slot;
    }
    void place(int placement);
    void markBrokenDependences();
    void markBrokenRules();
    void markRulePenalties();
    bool usedBy(int activity, int resource) const;
    std::vector<Holder> holders;  // [week][resource][internal slot]: the first holder
    std::unordered_map<std::size_t, std::vector<Holder>> extraHolders;  // the others of a clash
};

// "A", "E" or "O" for a week mask.
const char* weekLetter(int week);
// "every week", "even weeks", "odd weeks".
const char* weekWords(int week);

}  // namespace View
