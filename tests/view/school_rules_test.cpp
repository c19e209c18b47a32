// The school rules in quorvex-view: the sentence of every kind, hard (among
// the broken rules) and soft (among the penalties, with units and score);
// the lessons they name marked; the rule terms in the score; timetables
// that break other rules as well.
#include <gtest/gtest.h>

#include "view/blocking_reasons.h"
#include "view/explanations.h"
#include "view/renderers.h"
#include "view_fixture.h"

using namespace view_testing;

namespace {

// Three days of four slots. T is a teacher, K a class; RULE in the text of
// a case stands for the score attribute ("" for a hard rule).
struct Case {
    std::string teacherRules;  // inside T
    std::string lessons;
    std::string activityRules;
    std::vector<Entry> timetable;
    long long units;
    std::string sentence;
};

std::string withScore(std::string text, const std::string& score) {
    for (std::size_t at; (at = text.find("RULE")) != std::string::npos;) text.replace(at, 4, score);
    return text;
}

std::string problemOf(const Case& c, const std::string& score) {
    return problemWithKinds(3, 4,
                            "<Classrooms/><Teachers>" + resource("T", withScore(c.teacherRules, score)) +
                                "</Teachers><Classes>" + resource("K") + "</Classes>",
                            c.lessons, "", withScore(c.activityRules, score));
}

std::string lessonsOnT(const std::string& ids, const std::string& weeks = "") {
    std::string text;
    for (char id : ids) text += activity(std::string(1, id), 1, {"T"}, {}, week(weeks));
    return text;
}

std::vector<Entry> onT(const std::vector<std::pair<std::string, int>>& starts) {
    std::vector<Entry> entries;
    for (const auto& [id, start] : starts) entries.push_back({id, start, {"T"}});
    return entries;
}

const std::vector<Case> cases = {
    // slot 0123|4567|89..
    //      ABD.|....|....
    {"<MaxPerDay RULE>2</MaxPerDay>", lessonsOnT("ABD"), "", onT({{"A", 0}, {"B", 1}, {"D", 2}}), 2,
     "T has 3 busy slots on Day 1 in each week, more than its MaxPerDay of 2"},
    //      ....|O...|....   odd weeks only
    {"<MinPerDay RULE>2</MinPerDay>", lessonsOnT("O", "O"), "", onT({{"O", 4}}), 1,
     "T has only 1 busy slot on Day 2 in odd weeks, fewer than its MinPerDay of 2"},
    //      A..B|D.E.|....
    {"<MaxGaps RULE>1</MaxGaps>", lessonsOnT("ABDE"), "",
     onT({{"A", 0}, {"B", 3}, {"D", 4}, {"E", 6}}), 4,
     "T has 3 gap slots (free slots between its lessons of a day) in each week, more than its "
     "MaxGaps of 1"},
    //      A.B.|....|....
    {"<MaxGapsPerDay RULE>0</MaxGapsPerDay>", lessonsOnT("AB"), "", onT({{"A", 0}, {"B", 2}}), 2,
     "T has 1 gap slot (free slots between its lessons) on Day 1 in each week, more than its "
     "MaxGapsPerDay of 0"},
    //      AB..|....|....
    {"<MinDays RULE>2</MinDays>", lessonsOnT("AB"), "", onT({{"A", 0}, {"B", 1}}), 1,
     "T works on 1 day, fewer than its MinDays of 2"},
    //      ....|ABD.|....
    {"<MaxConsecutive RULE>2</MaxConsecutive>", lessonsOnT("ABD"), "",
     onT({{"A", 4}, {"B", 5}, {"D", 6}}), 2,
     "T has 3 busy slots in a row from Day 2, period 1 (slot 4) in each week, more than its "
     "MaxConsecutive of 2"},
    //      ..A.|....|....
    {"<MaxLateStarts RULE>1</MaxLateStarts>", lessonsOnT("A"), "", onT({{"A", 2}}), 2,
     "T begins the day at Day 1, period 3 (slot 2) in each week, later than its second available "
     "slot (MaxLateStarts)"},
    //      /A..|.B..|....   slot 0 unavailable: day 1 begins at its first available slot
    {"<MaxLateStarts RULE>0</MaxLateStarts><TimePreferences><Hard>0</Hard></TimePreferences>",
     lessonsOnT("AB", "E"), "", onT({{"A", 1}, {"B", 5}}), 1,
     "T begins at its second available slot on 1 day in even weeks, more than its MaxLateStarts "
     "of 0"},
    //      AB..|....|....
    {"", lessonsOnT("AB"), activityRule("DifferentDays", {"A", "B"}, "RULE"),
     onT({{"A", 0}, {"B", 1}}), 1,
     "A at Day 1, period 1 (slot 0) and B at Day 1, period 2 (slot 1) are on the same day"},
    //      A...|B...|....
    {"", lessonsOnT("AB"), activityRule("DifferentDays", {"A", "B"}, "days=\"2\" RULE"),
     onT({{"A", 0}, {"B", 4}}), 1,
     "A at Day 1, period 1 (slot 0) and B at Day 2, period 1 (slot 4) are less than 2 days apart"},
    {"", lessonsOnT("AB"), activityRule("SameDay", {"A", "B"}, "RULE"), onT({{"A", 0}, {"B", 4}}),
     1, "A at Day 1, period 1 (slot 0) and B at Day 2, period 1 (slot 4) are on different days"},
    //      A...|.B..|....
    {"", lessonsOnT("AB"), activityRule("SamePeriod", {"A", "B"}, "RULE"),
     onT({{"A", 0}, {"B", 5}}), 1,
     "A at Day 1, period 1 (slot 0) and B at Day 2, period 2 (slot 5) start at different periods"},
    //      A.B.|....|....
    {"", lessonsOnT("AB"), activityRule("Consecutive", {"A", "B"}, "RULE"),
     onT({{"A", 0}, {"B", 2}}), 1,
     "B at Day 1, period 3 (slot 2) does not start where A at Day 1, period 1 (slot 0) ends"},
    //      ABD.|....|....
    {"", lessonsOnT("ABD"), activityRule("DailyLimit", {"A", "B", "D"}, "slots=\"1\" RULE"),
     onT({{"A", 0}, {"B", 1}, {"D", 2}}), 4,
     "A, B and D hold 3 slots on Day 1 in each week, more than the limit of 1"},
    //  K   L.M.|....|....
    {"", activity("L", 1, {"K", "T"}) + activity("M", 1, {"K"}),
     activityRule("LastOfDay", {"L"}, "RULE"), {{"L", 0, {"K", "T"}}, {"M", 2, {"K"}}}, 1,
     "L at Day 1, period 1 (slot 0) should end the day of K, but M at Day 1, period 3 (slot 2) "
     "comes after it"},
};

}  // namespace

TEST(ViewSchoolRules, EveryHardKindIsListedInWords) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentence);
        View::CheckedTimetable checked;
        loadChecked(problemOf(c, ""), solutionText(c.timetable), checked);
        EXPECT_FALSE(checked.judged);
        const View::TimetableLayout layout(checked.problem);
        ASSERT_EQ(layout.rules.size(), 1u);
        const View::BrokenRule& rule = layout.rules[0];
        EXPECT_EQ(rule.kind, View::Rule::schoolRule);
        EXPECT_EQ(rule.breach.units, c.units);
        const bool activityRule = !c.activityRules.empty();
        const std::string expected =
            activityRule ? std::string(ruleKindName(rule.breach.kind)) + " rule 0 broken: " + c.sentence
                         : c.sentence;
        EXPECT_EQ(View::describe(layout, rule), expected);
        // The lessons an activity rule names are marked; a resource rule
        // marks none, its notes stand under its own grid.
        for (const View::Placement& p : layout.placements)
            EXPECT_EQ(p.broken(), activityRule) << checked.problem.activityName(p.activity);
        EXPECT_EQ(View::ruleNotes(layout, 0), std::vector<std::string>{expected});
        EXPECT_TRUE(View::penaltyNotes(layout, -1).empty());
    }
}

TEST(ViewSchoolRules, EverySoftKindIsExplainedWithItsUnitsAndScore) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentence);
        View::CheckedTimetable checked;
        loadChecked(problemOf(c, "score=\"5\""), solutionText(c.timetable), checked);
        ASSERT_TRUE(checked.judged);
        EXPECT_EQ(checked.score, 5 * c.units);
        const View::TimetableLayout layout(checked.problem);
        EXPECT_TRUE(layout.rules.empty());
        ASSERT_EQ(layout.rulePenalties.size(), 1u);
        const RuleBreach& breach = layout.rulePenalties[0];
        const bool activityRule = !c.activityRules.empty();
        const std::string owner = activityRule ? " rule 0" : " of T";
        EXPECT_EQ(View::penaltyNotes(layout, -1),
                  std::vector<std::string>{"'" + std::string(ruleKindName(breach.kind)) + "'" +
                                           owner + ": " + std::to_string(5 * c.units) + " = " +
                                           std::to_string(c.units) + " x 5 (" + c.sentence + ")"});
        for (const View::Placement& p : layout.placements)
            EXPECT_EQ(p.penalised(), activityRule) << checked.problem.activityName(p.activity);
    }
}

TEST(ViewSchoolRules, RuleTermsAndNotesOnThePageAndInTheText) {
    // slot 0123|4567|89..   T: at most 2 busy slots a day (score 3); A and
    //      ABD.|E...|....   E on different days (score 7, kept); B and D on
    //                       one day (hard, kept); K's lesson E needs K too.
    View::CheckedTimetable checked;
    loadChecked(
        problemWithKinds(3, 4,
                         "<Classrooms/><Teachers>" +
                             resource("T", "<MaxPerDay score=\"3\">2</MaxPerDay>") +
                             "</Teachers><Classes>" + resource("K") + "</Classes>",
                         lessonsOnT("ABD") + activity("E", 1, {"T", "K"}), "",
                         activityRule("DifferentDays", {"A", "E"}, "score=\"7\"") +
                             activityRule("SameDay", {"B", "D"})),
        solutionText({{"A", 0, {"T"}}, {"B", 1, {"T"}}, {"D", 2, {"T"}}, {"E", 4, {"T", "K"}}}),
        checked);
    ASSERT_TRUE(checked.judged);
    EXPECT_EQ(checked.score, 6);
    const View::TimetableLayout layout(checked.problem);
    const std::string note =
        "'MaxPerDay' of T: 6 = 2 x 3 (T has 3 busy slots on Day 1 in each week, more than its "
        "MaxPerDay of 2)";
    // Under T's grid, not under K's.
    EXPECT_EQ(View::penaltyNotes(layout, 0), std::vector<std::string>{note});
    EXPECT_TRUE(View::penaltyNotes(layout, 1).empty());

    const std::string text = View::renderText(checked, layout);
    EXPECT_NE(text.find("  Violated 'balanced'                   0\n"
                        "  Broken 'MaxPerDay'                    6\n"
                        "  Broken 'DifferentDays'                0\n"
                        "4 lessons placed"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("==== Soft penalties ====\n- 'MaxPerDay' of T: 6 = 2 x 3"), std::string::npos);
    const std::string html = View::renderHtml(checked, layout);
    EXPECT_NE(html.find("<tr><th>Broken &#39;MaxPerDay&#39;</th><td class=\"n\">6</td></tr>"),
              std::string::npos);
    EXPECT_NE(html.find("<li>&#39;MaxPerDay&#39; of T: 6 = 2 x 3 (T has 3 busy slots"),
              std::string::npos);
}

TEST(ViewSchoolRules, SchoolRulesComeAfterTheOtherBrokenRules) {
    // slot 0123|4567|89..   A and B clash on T; D starts past the week, E
    //      AC..|....|..EE   runs past the end of day 3: neither takes part in
    //      B                T's MaxPerDay of 1, which A and C break.
    View::CheckedTimetable checked;
    loadChecked(problemWithKinds(3, 4,
                                 "<Classrooms/><Teachers>" +
                                     resource("T", "<MaxPerDay>1</MaxPerDay>") +
                                     "</Teachers><Classes/>",
                                 lessonsOnT("ABCD") + activity("E", 3, {"T"})),
                solutionText({{"A", 0, {"T"}},
                              {"B", 0, {"T"}},
                              {"C", 1, {"T"}},
                              {"D", 12, {"T"}},
                              {"E", 10, {"T"}}}),
                checked);
    const View::TimetableLayout layout(checked.problem);
    std::vector<std::string> texts;
    for (const View::BrokenRule& rule : layout.rules) texts.push_back(View::describe(layout, rule));
    const std::vector<std::string> expected = {
        "T has two lessons at once, A and B: Day 1, period 1 (slot 0)",
        "D starts beyond the last slot of the week (slot 11)",
        "E (3 slots from Day 3, period 3 (slot 10)) runs past the end of Day 3",
        "T has 2 busy slots on Day 1 in each week, more than its MaxPerDay of 1"};
    EXPECT_EQ(texts, expected);
}

TEST(ViewSchoolRules, AnUnassignedLessonIsBlockedWhereItWouldBreakAHardRule) {
    // slot 0123|4567|89..   T teaches at most 2 periods a day: D fits on
    //      AB..|....|....   days 2 and 3 only.
    View::CheckedTimetable checked;
    loadChecked(problemWithKinds(3, 4,
                                 "<Classrooms/><Teachers>" +
                                     resource("T", "<MaxPerDay>2</MaxPerDay>") +
                                     "</Teachers><Classes/>",
                                 lessonsOnT("ABD")),
                solutionText({{"A", 0, {"T"}}, {"B", 1, {"T"}}, {"D", -1, {}}}), checked);
    ASSERT_TRUE(checked.judged);
    const View::TimetableLayout layout(checked.problem);
    const std::vector<View::DayBlocking> days = View::blockingOf(layout, 2);
    ASSERT_EQ(days.size(), 3u);
    ASSERT_EQ(days[0].runs.size(), 2u);
    EXPECT_EQ(View::describe(layout, 2, days[0].runs[0]), "T is busy with A, B");
    EXPECT_EQ(View::describe(layout, 2, days[0].runs[1]),
              "a school rule would be broken: T has 3 busy slots on Day 1 in each week, more than "
              "its MaxPerDay of 2");
    EXPECT_EQ(days[1].runs.size(), 1u);
    EXPECT_EQ(days[1].runs[0].reason.kind, View::Block::fits);
}
