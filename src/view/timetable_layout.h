#pragma once
#include <string>
#include <vector>

#include "problem/problem_data.h"
#include "problem/weeks.h"

// The written timetable arranged for people to read: where every lesson lies
// on each resource's week, in the file's slot numbering, with both weeks of
// the two-week cycle kept apart. Built from a timetable that the judgement
// has accepted, so no two lessons share a resource slot in one week.
namespace View {

// One assigned lesson of the timetable.
struct Placement {
    int activity = -1;
    int start = -1;  // internal slot
    int day = 0;
    int hour = 0;  // slot within the day; the same in both numberings
    int length = 1;
    int week = 3;                        // 1 odd, 2 even, 3 both
    std::vector<int> resources;          // as written in the solution
    int softCost = 0;                    // its time preference costs, own and of its resources
    std::vector<int> brokenDependences;  // soft dependences it breaks
    bool penalised() const { return softCost > 0 || !brokenDependences.empty(); }
};

// Who holds a resource at one slot of one week.
struct Holder {
    int placement = -1;    // index in TimetableLayout::placements, -1 when free
    bool isBreak = false;  // held only as the break after the lesson
};

// One table cell of a resource's grid: a free slot or a lesson spanning its
// length in rows, over both weeks or over one week's half of the day column.
struct GridCell {
    int day = 0;
    int hour = 0;  // first row
    int rows = 1;  // rows spanned
    int week = 3;  // 3 the whole day column, 2 the even half, 1 the odd half
    int placement = -1;
    bool unavailable = false;  // a free slot the resource cannot use
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
    int fileSlotsPerDay;                // slots of a day in the problem file
    std::vector<Placement> placements;  // assigned lessons, in timetable order
    std::vector<int> unassigned;        // activities without a start, in timetable order
    std::vector<int> placementOf;       // per activity: its placement, or -1

    int internalSlot(int day, int hour) const { return day * problem.slotsPerDay + hour; }
    int fileSlot(int day, int hour) const { return day * fileSlotsPerDay + hour; }
    const Holder& holder(int week, int resource, int slot) const {
        return holders[(static_cast<std::size_t>(week) * problem.resources.size() + resource) *
                           problem.nbSlots +
                       slot];
    }
    bool unavailable(int resource, int slot) const;
    // Days on which the resource holds a slot in either week, and whether it does on one day.
    int usedDays(int resource) const;
    bool usedOnDay(int resource, int day) const;

    ResourceGrid gridOf(int resource) const;
    // The lesson's resources other than the one whose grid shows it.
    std::vector<int> otherResources(const Placement& placement, int resource) const;

private:
    void place(int placement);
    int costOf(const Placement& placement) const;
    void markBrokenDependences();
    std::vector<Holder> holders;  // [week][resource][internal slot]
};

// "A", "E" or "O" for a week mask.
const char* weekLetter(int week);

}  // namespace View
