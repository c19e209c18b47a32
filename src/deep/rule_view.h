#pragma once
#include <vector>

#include "deep/resource_rules.h"
#include "deep/timetable.h"

// The timetable as the school rules see it while a placement is weighed:
// the activities marked in the view taken out, and one activity (which the
// timetable has not placed) placed at a start. With no activity and no marks
// it is the timetable itself.
struct RuleView {
    const Timetable& timetable;
    int activity = -1;
    int start = -1;
    std::vector<int>* mark = nullptr;  // an activity is out when its mark equals stamp
    int stamp = 0;

    const Facts& facts() const { return timetable.facts; }
    bool out(int b) const { return mark && (*mark)[b] == stamp; }
    int startOf(int b) const {
        if (b == activity) return start;
        return out(b) ? -1 : timetable.start(b);
    }
    bool placed(int b) const { return startOf(b) >= 0; }
    // Whether the placed activity of the view needs resource r directly.
    bool placesOn(int r) const {
        if (activity < 0) return false;
        for (int x : facts().activities[activity].direct)
            if (x == r) return true;
        return false;
    }
    // What holds r at slot s in week w: an activity, or -1.
    int holder(int r, int w, int s, bool onR) const {
        if (onR && Weeks::holds(facts().activities[activity].week, w) && s >= start &&
            s <= facts().heldEnd(r, activity, start))
            return activity;
        const int h = timetable.holder(r, w, s);
        return h >= 0 && out(h) ? -1 : h;
    }
    SlotUse use(int r, int w, int s, bool onR) const {
        const int h = holder(r, w, s, onR);
        if (h < 0) return SlotUse::free;
        return s < startOf(h) + facts().activities[h].length ? SlotUse::busy : SlotUse::inBreak;
    }
    DayFigure figure(int r, int w, int d) const {
        const bool onR = placesOn(r);
        return dayFigure(facts(), r, d, [&](int s) { return use(r, w, s, onR); });
    }
};

// Where the rules put the activities they need taken out.
class ConflictSink {
public:
    virtual ~ConflictSink() = default;
    // Weight of taking b out: the lighter, the likelier it is chosen.
    virtual long long weight(int b) = 0;
    // Takes b out of the view (marks it) and counts it.
    virtual void takeOut(int b) = 0;
    // Whether enough is taken out already for the caller to stop looking.
    virtual bool full() { return false; }
};

// A sink made of three functions: weigh(b), takeOut(b) and full().
template <class Weigh, class TakeOut, class Full>
class SinkOf : public ConflictSink {
public:
    SinkOf(Weigh weigh, TakeOut take, Full full) : weigh(weigh), take(take), isFull(full) {}
    long long weight(int b) override { return weigh(b); }
    void takeOut(int b) override { take(b); }
    bool full() override { return isFull(); }

private:
    Weigh weigh;
    TakeOut take;
    Full isFull;
};
