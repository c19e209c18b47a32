#pragma once
#include <memory>
#include <vector>

#include "deep/facts.h"
#include "problem/problem_data.h"

// A timetable of the deep search: a start per activity (-1 unassigned) and a
// chosen member per group selection, which never breaks a hard rule, with its
// score kept step by step. The score is always the judgement's of the same
// timetable: 1000000 per unassigned activity, the soft time preferences of
// the activities and of the resources they use, broken soft dependences, and
// the continuity and balance penalties of each resource, and the soft school
// rules, counted exactly as the judgement counts them.
//
// Placing and removing only keep the books; whether a placement breaks a hard
// rule is for the caller to find out first (see conflicts.h).
class RuleBooks;

class Timetable {
public:
    explicit Timetable(const Facts& facts);
    ~Timetable();
    Timetable(Timetable&&) noexcept;

    const Facts& facts;

    int start(int a) const { return starts[a]; }
    bool placed(int a) const { return starts[a] >= 0; }
    // Member chosen for a group selection (the activity's grsel + position).
    int member(int selection) const { return members[selection]; }
    // The activity that holds resource r at slot s in week w (its own slots
    // or the break after them), or -1.
    int holder(int r, int w, int s) const { return holders[cell(r, w, s)]; }
    // Calls visit(h) for each holder h of resource r at the slots and weeks a
    // would hold it starting at t (its own slots, then the break), as long as
    // visit returns true; false when visit stopped it.
    template <class Visit>
    bool forEachHolder(int r, int a, int t, Visit visit) const {
        const int end = facts.heldEnd(r, a, t);
        for (int w = 0; w < 2; ++w) {
            if (!Weeks::holds(facts.activities[a].week, w)) continue;
            const int* row = &holders[cell(r, w, 0)];
            for (int s = t; s <= end; ++s)
                if (row[s] >= 0 && !visit(row[s])) return false;
        }
        return true;
    }
    // Whether nothing holds r where a would hold it starting at t.
    bool isFree(int r, int a, int t) const {
        return forEachHolder(r, a, t, [](int) { return false; });
    }
    // Placed activities of r that start on day d, and days with any.
    int activitiesOnDay(int r, int d) const { return dayCount[r * facts.days + d]; }
    int daysUsed(int r) const { return usedDays[r]; }

    long long score() const {
        return static_cast<long long>(unassignedList.size()) * unassignedCost + softScore;
    }
    // The penalties without the unassigned activities.
    long long penalties() const { return softScore; }
    int unassignedCount() const { return static_cast<int>(unassignedList.size()); }
    const std::vector<int>& unassigned() const { return unassignedList; }

    // The books of the school rules; null when the problem has none.
    const RuleBooks* rules() const { return books.get(); }
    // Units of breach of the hard school rules: never above 0 once every
    // activity is placed, but a timetable with activities left out may owe
    // lessons to a rule, and is then no timetable to report.
    long long hardBreaches() const;

    // Whether the placed activity a pays a penalty itself (its own or its
    // resources' preferences, a broken soft dependence) or uses a resource
    // that pays one for its day or its gaps.
    bool paysPenalty(int a) const;

    // Places the unassigned activity a at t with the given member for each of
    // its groups, in the order of its groups.
    void place(int a, int t, const int* chosen);
    // Makes the placed activity a unassigned.
    void remove(int a);

    // The starts and members alone, and a timetable made again from them.
    void save(std::vector<int>& startsOut, std::vector<int>& membersOut) const {
        startsOut = starts;
        membersOut = members;
    }
    void restore(const std::vector<int>& savedStarts, const std::vector<int>& savedMembers);

    // Fills the problem's solution list with this timetable, as the solution
    // reader would from the written file.
    void writeTo(std::vector<SolutionEntry>& solution) const;
    // Places every activity of a judged solution (which breaks no hard rule).
    void readFrom(const std::vector<SolutionEntry>& solution);

private:
    std::size_t cell(int r, int w, int s) const {
        return (static_cast<std::size_t>(r) * 2 + w) * facts.nbSlots + s;
    }
    long long book(int a, int r, int t, bool on);
    long long dependenceCost(int a, int t) const;
    // Span of the activity slots of r on day d in week w: last - first + 1,
    // or 0 when it holds none there.
    int daySpan(int r, int w, int d) const;
    long long continuityPenalty(int r) const;
    long long balanceExcess(int r, int d) const;

    std::vector<int> starts;
    std::vector<int> members;
    std::vector<long long> preferenceCost;  // per placed activity: its own and its resources' preferences
    std::vector<int> holders;
    std::vector<int> dayCount;
    std::vector<int> usedDays;
    std::vector<int> dayLoad;       // week loads of the activities starting on each day
    std::vector<long long> contSpan;   // per resource: span of both weeks over every day
    std::vector<int> contUsed;         // per resource: days with a span, both weeks
    std::vector<long long> contBusy;   // per resource: time its activities must hold
    std::vector<long long> contPenalty;
    std::vector<int> unassignedList;
    std::vector<int> unassignedAt;  // position in unassignedList, -1 when placed
    long long softScore = 0;
    std::unique_ptr<RuleBooks> books;
};
