// The school rules in the judgement: for each kind a timetable that keeps it
// and timetables that break it, with the units of breach and the score; the
// message of every hard rule; the report's lines of the soft ones.
// Grids: one character per slot of T (or of the lessons named), '.' free,
// '|' a day boundary, 'x' an added slot, '/' unavailable, 'b' a break slot.
// An every-week lesson appears in both weeks, so a breach of busy slots by
// every-week lessons counts twice; the rules on days and starts count once.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "base/log.h"
#include "base/run_settings.h"
#include "judge/check_solution.h"
#include "judge/school_rules.h"
#include "judge/timetable_builder.h"

using namespace judge_test;

namespace {

// T, a teacher with the rules given, and K, a class; lessons written by the case.
std::string school(int days, int slots, const std::string& rulesOfT, const std::string& lessons,
                   const std::string& activityRules = "", const std::string& rulesOfK = "") {
    return problemWithKinds(days, slots,
                            "<Classrooms/><Teachers>" + resource("T", rulesOfT) +
                                "</Teachers><Classes>" + resource("K", rulesOfK) + "</Classes>",
                            lessons, "", activityRules);
}

// A lesson of T of one slot, held in the weeks given ("" every week).
std::string lesson(const std::string& id, const std::string& weeks = "", int length = 1) {
    return activity(id, length, {"T"}, {}, week(weeks));
}

std::string lessons(const std::string& ids) {
    std::string text;
    for (char id : ids) text += lesson(std::string(1, id));
    return text;
}

Placement at(const std::string& id, int start) { return {id, start, {"T"}}; }

struct Judged {
    const char* what;
    std::string problem;
    Timetable timetable;
    long long units;  // of every breach together
    int score;
};

long long unitsOf(const ProblemData& problem) {
    std::vector<int> startOf(problem.activities.size(), -1);
    for (const SolutionEntry& entry : problem.solution) startOf[entry.act] = entry.start;
    long long units = 0;
    for (const RuleBreach& breach : schoolRuleBreaches(problem, startOf)) units += breach.units;
    return units;
}

void expectJudged(const std::vector<Judged>& cases) {
    for (const Judged& c : cases) {
        SCOPED_TRACE(c.what);
        ProblemData problem = judgedProblem(c.problem, c.timetable);
        EXPECT_EQ(unitsOf(problem), c.units);
        EXPECT_EQ(checkSolution(problem), c.score);
    }
}

const std::string maxPerDay = "<MaxPerDay score=\"10\">2</MaxPerDay>";
const std::string minPerDay = "<MinPerDay score=\"10\">2</MinPerDay>";
const std::string maxGaps = "<MaxGaps score=\"10\">1</MaxGaps>";
const std::string maxGapsPerDay = "<MaxGapsPerDay score=\"10\">0</MaxGapsPerDay>";
const std::string minDays = "<MinDays score=\"10\">3</MinDays>";
const std::string maxConsecutive = "<MaxConsecutive score=\"10\">2</MaxConsecutive>";
const std::string maxLateStarts = "<MaxLateStarts score=\"10\">1</MaxLateStarts>";

}  // namespace

TEST(SchoolRules, BusySlotsADay) {
    expectJudged({
        // slot 0123|4567
        //      ABD.|....   3 busy slots on day 1, in both weeks: 1 + 1 above 2
        {"MaxPerDay broken", school(2, 4, maxPerDay, lessons("ABD")),
         {at("A", 0), at("B", 1), at("D", 2)}, 2, 20},
        //      AB..|D...
        {"MaxPerDay kept", school(2, 4, maxPerDay, lessons("ABD")),
         {at("A", 0), at("B", 1), at("D", 4)}, 0, 0},
        //      ABD.|....   D only in even weeks: 3 in the even week, 2 in the odd
        {"MaxPerDay in one week", school(2, 4, maxPerDay, lessons("AB") + lesson("D", "E")),
         {at("A", 0), at("B", 1), at("D", 2)}, 1, 10},
        //      ABB.|....   a lesson counts each slot it covers
        {"MaxPerDay, a double lesson",
         school(2, 4, maxPerDay, lessons("A") + lesson("B", "", 2)), {at("A", 0), at("B", 1)}, 2,
         20},
        //      A...|BD..   day 1 has 1 busy slot, 1 short in each week; day 2 is kept
        {"MinPerDay broken", school(2, 4, minPerDay, lessons("ABD")),
         {at("A", 0), at("B", 4), at("D", 5)}, 2, 20},
        //      AB..|....   day 2 is no working day
        {"MinPerDay kept", school(2, 4, minPerDay, lessons("AB")), {at("A", 0), at("B", 1)}, 0, 0},
        //      AB..|O...   day 2 works in odd weeks only: short once
        {"MinPerDay in one week", school(2, 4, minPerDay, lessons("AB") + lesson("O", "O")),
         {at("A", 0), at("B", 1), at("O", 4)}, 1, 10},
        //      Ab..x|....x   the slot of T's break is not busy
        {"MinPerDay, a break is not busy",
         school(2, 4, minPerDay + "<Break>1</Break>", lessons("A")), {at("A", 0)}, 2, 20},
    });
}

TEST(SchoolRules, GapSlots) {
    expectJudged({
        // slot 0123|4567
        //      A.B.|D..E   3 gap slots a week, 2 above 1, both weeks
        {"MaxGaps broken", school(2, 4, maxGaps, lessons("ABDE")),
         {at("A", 0), at("B", 2), at("D", 4), at("E", 7)}, 4, 40},
        //      A.B.|DE..
        {"MaxGaps kept", school(2, 4, maxGaps, lessons("ABDE")),
         {at("A", 0), at("B", 2), at("D", 4), at("E", 5)}, 0, 0},
        //      A/B.|D..E   slot 1 is unavailable to T: 2 gap slots a week
        {"MaxGaps, unavailable slots are no gaps",
         school(2, 4, maxGaps + hardAt("1"), lessons("ABDE")),
         {at("A", 0), at("B", 2), at("D", 4), at("E", 7)}, 2, 20},
        // slot 0123x|5678x   T's break after A and D; slot 7 is a gap
        //      AbB.x|Db.Ex
        {"MaxGaps, break slots are no gaps",
         school(2, 4, "<MaxGaps score=\"10\">0</MaxGaps><Break>1</Break>", lessons("ABDE")),
         {at("A", 0), at("B", 2), at("D", 5), at("E", 8)}, 2, 20},
        //      A.B.|DE..   one gap on day 1 in both weeks
        {"MaxGapsPerDay broken", school(2, 4, maxGapsPerDay, lessons("ABDE")),
         {at("A", 0), at("B", 2), at("D", 4), at("E", 5)}, 2, 20},
        //      AB..|D..E   even week: D and E; odd week: D only
        {"MaxGapsPerDay in one week",
         school(2, 4, maxGapsPerDay, lessons("ABD") + lesson("E", "E")),
         {at("A", 0), at("B", 1), at("D", 4), at("E", 7)}, 2, 20},
        //      E.O.|....   E even, O odd: neither week has a gap
        {"MaxGapsPerDay, lessons of different weeks",
         school(2, 4, maxGapsPerDay, lesson("E", "E") + lesson("O", "O")),
         {at("E", 0), at("O", 2)}, 0, 0},
        //      .A..|B...   before the first and after the last lesson are no gaps
        {"MaxGapsPerDay kept", school(2, 4, maxGapsPerDay, lessons("AB")),
         {at("A", 1), at("B", 4)}, 0, 0},
    });
}

TEST(SchoolRules, WorkingDays) {
    expectJudged({
        // slot 012|345|678   works on 2 days of at least 3: once, every-week lessons or not
        //      A..|B..|...
        {"MinDays broken", school(3, 3, minDays, lessons("AB")), {at("A", 0), at("B", 3)}, 1, 10},
        //      E..|O..|A..   a day counts when it works in either week
        {"MinDays kept over the weeks",
         school(3, 3, minDays, lesson("E", "E") + lesson("O", "O") + lesson("A")),
         {at("E", 0), at("O", 3), at("A", 6)}, 0, 0},
        //      ...|...|...   nothing placed: no working day is asked for
        {"MinDays without a placed lesson", school(3, 3, minDays, lessons("AB")),
         {{"A", -1, {}}, {"B", -1, {}}}, 0, 2000000},
        //      AB.|...|...   one placed lesson is enough to ask for three days
        {"MinDays with a lesson unassigned", school(3, 3, minDays, lessons("ABD")),
         {at("A", 0), at("B", 1), {"D", -1, {}}}, 2, 1000020},
    });
}

TEST(SchoolRules, BusySlotsInARow) {
    expectJudged({
        // slot 012345
        //      ABD...   a run of 3: the third slot is beyond 2, in both weeks
        {"MaxConsecutive broken", school(1, 6, maxConsecutive, lessons("ABD")),
         {at("A", 0), at("B", 1), at("D", 2)}, 2, 20},
        //      AB.D..
        {"MaxConsecutive kept", school(1, 6, maxConsecutive, lessons("ABD")),
         {at("A", 0), at("B", 1), at("D", 3)}, 0, 0},
        //      AAAA..   one lesson of 4 slots: 2 beyond, both weeks
        {"MaxConsecutive, one long lesson", school(1, 6, maxConsecutive, lesson("A", "", 4)),
         {at("A", 0)}, 4, 40},
        // slot 012345x   the slot of T's break ends the run
        //      AAbDD.x
        {"MaxConsecutive, a break ends the run",
         school(1, 6, maxConsecutive + "<Break>1</Break>", lesson("A", "", 2) + lesson("D", "", 2)),
         {at("A", 0), at("D", 3)}, 0, 0},
        //      ABD...   D only in odd weeks
        {"MaxConsecutive in one week",
         school(1, 6, maxConsecutive, lessons("AB") + lesson("D", "O")),
         {at("A", 0), at("B", 1), at("D", 2)}, 1, 10},
        // slot 012|345   a run never goes on into the next day
        //      .AB|DE.
        {"MaxConsecutive over a day's end", school(2, 3, maxConsecutive, lessons("ABDE")),
         {at("A", 1), at("B", 2), at("D", 3), at("E", 4)}, 0, 0},
    });
}

TEST(SchoolRules, LateStarts) {
    expectJudged({
        // slot 0123|4567|89..
        //      .A..|.B..|..D.   two days at the second slot (one above 1), one later
        {"MaxLateStarts broken", school(3, 4, maxLateStarts, lessons("ABD")),
         {at("A", 1), at("B", 5), at("D", 10)}, 4, 40},
        //      A...|.B..|D...   one day at the second slot
        {"MaxLateStarts kept", school(3, 4, maxLateStarts, lessons("ABD")),
         {at("A", 0), at("B", 5), at("D", 8)}, 0, 0},
        //      /A..|/B..|....   slot 0 of days 1 and 2 unavailable: both begin at the first available
        {"MaxLateStarts from the first available slot",
         school(3, 4,
                "<MaxLateStarts score=\"10\">0</MaxLateStarts><TimePreferences><Hard>0</Hard>"
                "<Hard>4</Hard></TimePreferences>",
                lessons("AB")),
         {at("A", 1), at("B", 5)}, 0, 0},
        //      /.A.|....|....   slot 2 is the second available slot: late, 1 above 0, both weeks
        {"MaxLateStarts from the second available slot",
         school(3, 4, "<MaxLateStarts score=\"10\">0</MaxLateStarts>" + hardAt("0"), lessons("A")),
         {at("A", 2)}, 2, 20},
        //      .E..|.E..|....   even-week lessons late on two days: one above 1, in one week
        {"MaxLateStarts in one week",
         school(3, 4, maxLateStarts, lesson("A", "E") + lesson("B", "E")),
         {at("A", 1), at("B", 5)}, 1, 10},
        //      ..A.|....|....   a working day that begins later than the second slot
        //      O...             counts for itself: its odd week begins with O
        {"MaxLateStarts, later in one week only",
         school(3, 4, maxLateStarts, lesson("A") + lesson("O", "O")), {at("A", 2), at("O", 0)}, 1,
         10},
    });
}

TEST(SchoolRules, DaysOfListedLessons) {
    const std::string abd = lessons("ABD");
    expectJudged({
        // slot 01|23|45   A and B on day 1: one pair, counted once
        //      AB|D.|..
        {"DifferentDays broken",
         school(3, 2, "", abd, activityRule("DifferentDays", {"A", "B", "D"}, "score=\"10\"")),
         {at("A", 0), at("B", 1), at("D", 2)}, 1, 10},
        //      A.|B.|D.
        {"DifferentDays kept",
         school(3, 2, "", abd, activityRule("DifferentDays", {"A", "B", "D"}, "score=\"10\"")),
         {at("A", 0), at("B", 2), at("D", 4)}, 0, 0},
        //      A.|B.|D.   two days apart: A-B and B-D are one day apart, A-D two
        {"DifferentDays two days apart",
         school(3, 2, "", abd,
                activityRule("DifferentDays", {"A", "B", "D"}, "score=\"10\" days=\"2\"")),
         {at("A", 0), at("B", 2), at("D", 4)}, 2, 20},
        //      AB|..|..   an unplaced lesson takes no part
        {"DifferentDays with a lesson unassigned",
         school(3, 2, "", abd, activityRule("DifferentDays", {"A", "B", "D"}, "score=\"10\"")),
         {at("A", 0), {"B", -1, {}}, at("D", 1)}, 1, 1000010},
        //      A.|BD|..   A is on another day than B and than D
        {"SameDay broken",
         school(3, 2, "", abd, activityRule("SameDay", {"A", "B", "D"}, "score=\"10\"")),
         {at("A", 0), at("B", 2), at("D", 3)}, 2, 20},
        //      ..|B.|..   B alone is on one day
        {"SameDay kept",
         school(3, 2, "", abd, activityRule("SameDay", {"A", "B", "D"}, "score=\"10\"")),
         {{"A", -1, {}}, at("B", 2), {"D", -1, {}}}, 0, 2000000},
    });
}

TEST(SchoolRules, PeriodsOfListedLessons) {
    const std::string ab = lesson("A") + activity("B", 1, {"K"}) + activity("D", 1, {"K"});
    const std::string samePeriod = activityRule("SamePeriod", {"A", "B", "D"}, "score=\"10\"");
    expectJudged({
        // slot 012|345|678   A and B at period 2, D at period 1
        //      .A.|.B.|D..
        {"SamePeriod broken", school(3, 3, "", ab, samePeriod),
         {at("A", 1), {"B", 4, {"K"}}, {"D", 6, {"K"}}}, 2, 20},
        {"SamePeriod kept", school(3, 3, "", ab, samePeriod),
         {at("A", 1), {"B", 4, {"K"}}, {"D", 7, {"K"}}}, 0, 0},
        // slot 012x|456x|89.x   T's break adds a slot to each day: period 2 is
        //      .A.x|.B.x|.D.x   internal slot 1, 5 and 9
        {"SamePeriod with added slots", school(3, 3, "<Break>1</Break>", ab, samePeriod),
         {at("A", 1), {"B", 5, {"K"}}, {"D", 9, {"K"}}}, 0, 0},
    });
}

TEST(SchoolRules, LessonsBackToBack) {
    const std::string abd = lessons("AB") + lesson("D", "", 2);
    auto rule = [](const std::string& attributes) {
        return activityRule("Consecutive", {"A", "B", "D"}, "score=\"10\"" + attributes);
    };
    expectJudged({
        // slot 01234|56789
        //      ABDD.|.....   in the listed order
        {"Consecutive kept", school(2, 5, "", abd, rule("")),
         {at("A", 0), at("B", 1), at("D", 2)}, 0, 0},
        //      BADD.|.....   B does not start where A ends, nor D where B ends
        {"Consecutive out of order", school(2, 5, "", abd, rule("")),
         {at("A", 1), at("B", 0), at("D", 2)}, 2, 20},
        //      BADD.|.....   in any order they follow each other
        {"Consecutive unordered", school(2, 5, "", abd, rule(" ordered=\"no\"")),
         {at("A", 1), at("B", 0), at("D", 2)}, 0, 0},
        //      AB.DD|.....   D one slot late
        {"Consecutive with a hole", school(2, 5, "", abd, rule(" ordered=\"no\"")),
         {at("A", 0), at("B", 1), at("D", 3)}, 1, 10},
        //      ...AB|DD...   D starts where B's day ends, but on the next day
        {"Consecutive over a day's end", school(2, 5, "", abd, rule("")),
         {at("A", 3), at("B", 4), at("D", 5)}, 1, 10},
        //      A.DD.|.....   B unassigned: A and D must follow each other
        {"Consecutive with a lesson unassigned", school(2, 5, "", abd, rule("")),
         {at("A", 1), {"B", -1, {}}, at("D", 2)}, 0, 1000000},
    });
}

TEST(SchoolRules, SlotsOfListedLessonsADay) {
    const std::string abd = lessons("A") + lesson("B", "", 2) + lessons("D");
    const std::string limit = activityRule("DailyLimit", {"A", "B", "D"}, "score=\"10\" slots=\"2\"");
    expectJudged({
        // slot 0123|4567
        //      ABBD|....   4 slots on day 1, 2 above the limit, in both weeks
        {"DailyLimit broken", school(2, 4, "", abd, limit), {at("A", 0), at("B", 1), at("D", 3)},
         4, 40},
        //      A..D|BB..
        {"DailyLimit kept", school(2, 4, "", abd, limit), {at("A", 0), at("B", 4), at("D", 3)}, 0,
         0},
        // even BB.A|....   the even week holds B and A (3 slots), the odd week B and D (3 slots)
        // odd  BBD.|....
        {"DailyLimit by week",
         school(2, 4, "", lesson("A", "E") + lesson("B", "", 2) + lesson("D", "O"), limit),
         {at("A", 3), at("B", 0), at("D", 2)}, 2, 20},
        // even A...|....   lessons of different weeks share the day within the limit
        // odd  D...|....
        {"DailyLimit, lessons of different weeks",
         school(2, 4, "", lesson("A", "E") + lesson("D", "O") + lesson("B", "", 2), limit),
         {at("A", 0), at("D", 0), {"B", -1, {}}}, 0, 1000000},
    });
}

TEST(SchoolRules, LastLessonOfAClassDay) {
    // L ends K's day; M is another lesson of K, N a lesson of T only.
    const std::string klm = activity("L", 1, {"K", "T"}) + activity("M", 1, {"K"}) +
                            activity("N", 1, {"T"});
    const std::string last = activityRule("LastOfDay", {"L"}, "score=\"10\"");
    auto klmIn = [](const std::string& lWeeks, const std::string& mWeeks) {
        return activity("L", 1, {"K", "T"}, {}, week(lWeeks)) +
               activity("M", 1, {"K"}, {}, week(mWeeks)) + activity("N", 1, {"T"});
    };
    auto placed = [](int l, int m, int n) {
        return Timetable{{"L", l, {"K", "T"}}, {"M", m, {"K"}}, {"N", n, {"T"}}};
    };
    expectJudged({
        // slot 0123|4567   K: L then M on day 1: L is not last, once
        //      L.M.|...N
        {"LastOfDay broken", school(2, 4, "", klm, last), placed(0, 2, 7), 1, 10},
        //      M.L.|....   N of T after L: T is no class
        {"LastOfDay kept", school(2, 4, "", klm, last), placed(2, 0, 3), 0, 0},
        //      L...|M...   M on the next day
        {"LastOfDay, the next day", school(2, 4, "", klm, last), placed(0, 4, 1), 0, 0},
        //      LM..|....   even-week L, odd-week M: no common week
        {"LastOfDay, another week", school(2, 4, "", klmIn("E", "O"), last), placed(0, 1, 2), 0, 0},
        //      LM..|....   even-week L, every-week M: a common week, counted once
        {"LastOfDay, a common week", school(2, 4, "", klmIn("E", ""), last), placed(0, 1, 2), 1,
         10},
    });
}

TEST(SchoolRules, ScoreZeroCostsNothingAndSoftRulesAddUp) {
    expectJudged({
        // slot 0123|4567   MaxPerDay broken by 2 units at score 0; MinDays
        //      ABD.|....   of T (2 days) broken by 1 at score 3
        {"several soft rules",
         school(2, 4, "<MaxPerDay score=\"0\">2</MaxPerDay><MinDays score=\"3\">2</MinDays>",
                lessons("ABD")),
         {at("A", 0), at("B", 1), at("D", 2)}, 3, 3},
    });
}

TEST(SchoolRules, EveryHardRuleStopsTheJudgementWithItsMessage) {
    struct Refused {
        std::string problem;
        Timetable timetable;
        const char* message;
    };
    const std::string klm = activity("L", 1, {"K", "T"}) + activity("M", 1, {"K"});
    const std::vector<Refused> cases = {
        // slot 0123|4567
        //      ABD.|....
        {school(2, 4, "<MaxPerDay>2</MaxPerDay>", lessons("ABD")),
         {at("A", 0), at("B", 1), at("D", 2)},
         "Broken MaxPerDay rule {res 0 [T], day 1: 3 busy slots, at most 2}"},
        //      ....|O...   in odd weeks only
        {school(2, 4, "<MinPerDay>2</MinPerDay>", lesson("O", "O")), {at("O", 4)},
         "Broken MinPerDay rule {res 0 [T], day 2: 1 busy slots, at least 2 (odd week)}"},
        //      A..B|D..E
        {school(2, 4, "<MaxGaps>3</MaxGaps>", lessons("ABDE")),
         {at("A", 0), at("B", 3), at("D", 4), at("E", 7)},
         "Broken MaxGaps rule {res 0 [T]: 4 gap slots in the week (days 1, 2), at most 3}"},
        //      A.B.|....
        {school(2, 4, "<MaxGapsPerDay>0</MaxGapsPerDay>", lessons("AB")),
         {at("A", 0), at("B", 2)},
         "Broken MaxGapsPerDay rule {res 0 [T], day 1: 1 gap slots, at most 0}"},
        //      AB..|....
        {school(2, 4, "<MinDays>2</MinDays>", lessons("AB")), {at("A", 0), at("B", 1)},
         "Broken MinDays rule {res 0 [T]: works on 1 days, at least 2}"},
        //      ....|.ABD   internal slots: the run begins at time 5
        {school(2, 4, "<MaxConsecutive>2</MaxConsecutive>", lessons("ABD")),
         {at("A", 5), at("B", 6), at("D", 7)},
         "Broken MaxConsecutive rule {res 0 [T], day 2: 3 busy slots in a row from time 5, at "
         "most 2}"},
        //      ..A.|....
        {school(2, 4, "<MaxLateStarts>1</MaxLateStarts>", lessons("A")), {at("A", 2)},
         "Broken MaxLateStarts rule {res 0 [T], day 1: begins at time 2, after its second "
         "available slot}"},
        //      .A..|.B..
        {school(2, 4, "<MaxLateStarts>1</MaxLateStarts>", lessons("AB") + lesson("D", "E")),
         {at("A", 1), at("B", 5), at("D", 4)},
         "Broken MaxLateStarts rule {res 0 [T]: begins at its second available slot on 2 days "
         "(days 1, 2), at most 1 (odd week)}"},
        //      AB..|....
        {school(2, 4, "", lessons("AB"), activityRule("DifferentDays", {"A", "B"})),
         {at("A", 0), at("B", 1)},
         "Broken DifferentDays rule {act 0 [A] on day 1 and act 1 [B] on day 1, on different "
         "days}"},
        {school(2, 4, "", lessons("AB"), activityRule("DifferentDays", {"A", "B"}, "days=\"2\"")),
         {at("A", 0), at("B", 4)},
         "Broken DifferentDays rule {act 0 [A] on day 1 and act 1 [B] on day 2, at least 2 days "
         "apart}"},
        {school(2, 4, "", lessons("AB"), activityRule("SameDay", {"A", "B"})),
         {at("A", 0), at("B", 4)},
         "Broken SameDay rule {act 0 [A] on day 1 and act 1 [B] on day 2}"},
        {school(2, 4, "", lessons("AB"), activityRule("SamePeriod", {"A", "B"})),
         {at("A", 0), at("B", 5)},
         "Broken SamePeriod rule {act 0 [A] at period 1 and act 1 [B] at period 2}"},
        //      A.B.|....
        {school(2, 4, "", lessons("AB"), activityRule("Consecutive", {"A", "B"})),
         {at("A", 0), at("B", 2)},
         "Broken Consecutive rule {act 0 [A] ends at time 0, act 1 [B] starts at time 2 on day "
         "1}"},
        //      AB..|....
        {school(2, 4, "", lessons("AB"), activityRule("DailyLimit", {"A", "B"}, "slots=\"1\"")),
         {at("A", 0), at("B", 1)},
         "Broken DailyLimit rule {day 1: 2 slots of act 0 [A] act 1 [B], at most 1}"},
        //      L.M.|....
        {school(2, 4, "", klm, activityRule("LastOfDay", {"L"})),
         {{"L", 0, {"K", "T"}}, {"M", 2, {"K"}}},
         "Broken LastOfDay rule {act 0 [L], day 1: act 1 [M] of res 1 [K] starts at time 2 after "
         "it}"},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.message);
        ProblemData problem = judgedProblem(c.problem, c.timetable);
        std::string pattern;
        for (char ch : std::string(c.message)) {
            if (std::string(".[]{}()\\*+?^$|").find(ch) != std::string::npos) pattern += '\\';
            pattern += ch;
        }
        EXPECT_EXIT(checkSolution(problem), ::testing::ExitedWithCode(1),
                    "\\*\n" + pattern + "\n\\*");
    }
}

TEST(SchoolRules, HardRulesAreJudgedAfterTheOthersAndSoftOnesAfterTheHard) {
    // slot 0123   A and B clash on T, which also has too many busy slots: the
    //      A...   clash is named.
    //      B...
    ProblemData clash = judgedProblem(school(1, 4, "<MaxPerDay>1</MaxPerDay>", lessons("AB")),
                                      {at("A", 0), at("B", 0)});
    EXPECT_EXIT(checkSolution(clash), ::testing::ExitedWithCode(1),
                "The same resource used twice");
    // slot 0123|4567   a soft MaxPerDay of T, judged first, is broken and
    //      AB..|D...   does not stop the judgement; the hard SameDay does
    ProblemData mixed = judgedProblem(
        school(2, 4, "<MaxPerDay score=\"5\">1</MaxPerDay>", lessons("ABD"),
               activityRule("SameDay", {"A", "D"})),
        {at("A", 0), at("B", 1), at("D", 4)});
    EXPECT_EXIT(checkSolution(mixed), ::testing::ExitedWithCode(1), "Broken SameDay rule");
}

TEST(SchoolRules, BreachesOfBothWeeksAreOneWithTheUnitsOfBoth) {
    // slot 0123|4567
    //      ABD.|E...   every-week lessons: one breach of 2 units on day 1;
    //                  E in even weeks adds nothing on day 2 (1 busy slot)
    ProblemData problem = judgedProblem(
        school(2, 4, "<MaxPerDay score=\"4\">2</MaxPerDay>", lessons("ABD") + lesson("E", "E")),
        {at("A", 0), at("B", 1), at("D", 2), at("E", 4)});
    std::vector<int> startOf = {0, 1, 2, 4};
    const std::vector<RuleBreach> breaches = schoolRuleBreaches(problem, startOf);
    ASSERT_EQ(breaches.size(), 1u);
    EXPECT_EQ(breaches[0].kind, ruleKindIndex(ResourceRuleKind::maxPerDay));
    EXPECT_FALSE(breaches[0].hard);
    EXPECT_EQ(breaches[0].units, 2);
    EXPECT_EQ(breaches[0].cost, 8);
    EXPECT_EQ(breaches[0].resource, 0);
    EXPECT_EQ(breaches[0].day, 0);
    EXPECT_EQ(breaches[0].weeks, Weeks::both);
    EXPECT_EQ(breaches[0].text, "Broken MaxPerDay rule {res 0 [T], day 1: 3 busy slots, at most 2}");
}

TEST(SchoolRules, BreachesSayTheirWeeksSlotAndClass) {
    // slot 0123|4567   T: a run of 3 from slot 1 in even weeks only (D is
    //      .ABD|L.M.   an even-week lesson); K: L is not the last of day 2.
    ProblemData problem = judgedProblem(
        school(2, 4, "<MaxConsecutive score=\"1\">2</MaxConsecutive>",
               lessons("AB") + lesson("D", "E") + activity("L", 1, {"K", "T"}) +
                   activity("M", 1, {"K"}),
               activityRule("LastOfDay", {"L"}, "score=\"1\"")),
        {at("A", 1), at("B", 2), at("D", 3), {"L", 4, {"K", "T"}}, {"M", 6, {"K"}}});
    const std::vector<RuleBreach> breaches = schoolRuleBreaches(problem, {1, 2, 3, 4, 6});
    ASSERT_EQ(breaches.size(), 2u);
    EXPECT_EQ(breaches[0].weeks, Weeks::even);
    EXPECT_EQ(breaches[0].slot, 1);
    EXPECT_EQ(breaches[0].day, 0);
    EXPECT_EQ(breaches[0].units, 1);
    EXPECT_EQ(breaches[1].kind, ruleKindIndex(ActivityRuleKind::lastOfDay));
    EXPECT_EQ(breaches[1].resource, 1);  // K, whose day L should end
    EXPECT_EQ(breaches[1].rule, 0);
    EXPECT_EQ(breaches[1].activities, (std::vector<int>{3, 4}));
    EXPECT_EQ(breaches[1].weeks, Weeks::both);
}

TEST(SchoolRules, ReportHasALineForEachKindWithASoftRule) {
    // slot 0123|4567   MaxPerDay soft (2 units x 3), MinDays soft with score 0,
    //      ABD.|....   SameDay hard and kept: no line for SameDay
    ProblemData problem = judgedProblem(
        school(2, 4, "<MaxPerDay score=\"3\">2</MaxPerDay><MinDays score=\"0\">2</MinDays>",
               lessons("ABD"), activityRule("SameDay", {"A", "B"}) +
                                   activityRule("DailyLimit", {"A", "D"}, "score=\"7\" slots=\"1\"")),
        {at("A", 0), at("B", 1), at("D", 2)});
    JudgementTerms terms;
    char* buffer = nullptr;
    std::size_t size = 0;
    FILE* saved = logStream;
    logStream = open_memstream(&buffer, &size);
    runSettings.verbosity = 10;
    const int score = checkSolution(problem, terms);
    runSettings.verbosity = 0;
    std::fclose(logStream);
    logStream = saved;
    const std::string log(buffer, size);
    std::free(buffer);
    // DailyLimit: A and D, 2 slots on day 1, 1 above in both weeks: 14.
    EXPECT_EQ(score, 6 + 14);
    EXPECT_EQ(log,
              "Judgement:\n"
              "- Unassigned activities: 0\n"
              "- Soft time preferences (activities): 0\n"
              "- Soft time preferences (resources): 0\n"
              "- Broken dependences: 0\n"
              "- Broken 'continuous' (soft): 0\n"
              "- Broken 'continuous' (hard): 0\n"
              "- Violated 'balanced': 0\n"
              "- Broken 'MaxPerDay': 6\n"
              "- Broken 'MinDays': 0\n"
              "- Broken 'DailyLimit': 14\n");
    const std::vector<std::pair<std::string, int>> expected = {
        {"Broken 'MaxPerDay'", 6}, {"Broken 'MinDays'", 0}, {"Broken 'DailyLimit'", 14}};
    const auto labelled = labelledTerms(terms);
    ASSERT_EQ(labelled.size(), 10u);
    EXPECT_EQ(std::vector(labelled.begin() + 7, labelled.end()), expected);
}

TEST(SchoolRules, AProblemWithoutSoftRulesReportsAsBefore) {
    ProblemData problem = judgedProblem(school(1, 4, "<MaxPerDay>2</MaxPerDay>", lessons("A")),
                                        {at("A", 0)});
    JudgementTerms terms;
    EXPECT_EQ(checkSolution(problem, terms), 0);
    EXPECT_TRUE(terms.rules.empty());
    EXPECT_EQ(labelledTerms(terms).size(), 7u);
}
