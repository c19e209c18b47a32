// Reading and analysing the school rules: every element and attribute with
// what it becomes, every refusal with its whole framed message and line, the
// soft rules in the bound of the score, and problems without the rules read
// as before.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "problem/score_bound.h"
#include "problem_test_support.h"

using namespace problem_tests;

namespace {

// Three days of four slots. The rooms R1 and R2 (a group of lesson a) stand
// on line 9, the teacher on line 12, the class K on line 15; lessons a, b
// and c on lines 19 to 21; activity rules from line 24.
std::string document(const std::string& teacherLine, const std::string& ruleLines = "",
                     const std::string& classLine = "<Resource id=\"K\"/>",
                     const std::string& roomLine = "<Resource id=\"R1\"/><Resource id=\"R2\"/>") {
    std::string text = "<Timetable>\n"                     // 1
                       "<Problem>\n"                       // 2
                       "<General>\n"                       // 3
                       "<DaysPerWeek>3</DaysPerWeek>\n"    // 4
                       "<SlotsPerDay>4</SlotsPerDay>\n"    // 5
                       "</General>\n"                      // 6
                       "<Resources>\n"                     // 7
                       "<Classrooms>\n" +                  // 8
                       roomLine + "\n" +                   // 9
                       "</Classrooms>\n"                   // 10
                       "<Teachers>\n" +                    // 11
                       teacherLine + "\n" +                // 12
                       "</Teachers>\n"                     // 13
                       "<Classes>\n" +                     // 14
                       classLine + "\n" +                  // 15
                       "</Classes>\n"                      // 16
                       "</Resources>\n"                    // 17
                       "<Activities>\n" +                  // 18
                       activityText("a", 1, res("T") + res("K") + group(res("R1") + res("R2"))) +
                       activityText("b", 2, res("T")) +    // 20
                       activityText("c", 1, res("K")) +    // 21
                       "</Activities>\n";                  // 22
    if (!ruleLines.empty())
        text += "<ActivityRules>\n" + ruleLines + "\n</ActivityRules>\n";  // 23, 24...
    return text + "</Problem>\n</Timetable>\n";
}

std::string teacher(const std::string& rules) { return "<Resource id=\"T\">" + rules + "</Resource>"; }

std::string listing(const std::string& element, const std::string& attributes,
                    const std::vector<std::string>& ids) {
    std::string text = "<" + element + attributes + ">";
    for (const std::string& id : ids) text += "<Activity>" + id + "</Activity>";
    return text + "</" + element + ">";
}

void expectError(const std::string& text, int line, const std::string& message) {
    TempFile file(text);
    EXPECT_EXIT(analyseFile(file), ::testing::ExitedWithCode(1),
                framed(inFile(file, line), message))
        << text;
}

void expectRefusedScores(const std::string& text) {
    TempFile file(text);
    EXPECT_EXIT(analyseFile(file), ::testing::ExitedWithCode(1),
                framed(inFile(file),
                       "Scores too large (the penalties of one timetable could pass 2147483647)"))
        << text;
}

}  // namespace

TEST(SchoolRulesReader, EveryResourceRuleWithItsLimitScoreAndLine) {
    // The least value of each, MinDays at the days of the week, on a teacher
    // and a class; a rule on its own line names that line.
    const ProblemData problem = analysed(document(
        teacher("<MaxPerDay>1</MaxPerDay><MinPerDay score=\"2\">1</MinPerDay>"
                "<MaxGaps>0</MaxGaps><MaxGapsPerDay score=\"0\">0</MaxGapsPerDay>\n"
                "<MinDays>3</MinDays><MaxConsecutive score=\"7\">1</MaxConsecutive>"
                "<MaxLateStarts> 0 </MaxLateStarts>"),
        "", "<Resource id=\"K\"><MaxPerDay score=\"4\">6</MaxPerDay></Resource>"));
    const std::vector<ResourceRule>& rules = problem.resources[2].rules;
    ASSERT_EQ(rules.size(), 7u);
    const ResourceRuleKind kinds[] = {
        ResourceRuleKind::maxPerDay,     ResourceRuleKind::minPerDay, ResourceRuleKind::maxGaps,
        ResourceRuleKind::maxGapsPerDay, ResourceRuleKind::minDays,   ResourceRuleKind::maxConsecutive,
        ResourceRuleKind::maxLateStarts};
    const int limits[] = {1, 1, 0, 0, 3, 1, 0};
    const int scores[] = {-1, 2, -1, 0, -1, 7, -1};
    const int lines[] = {12, 12, 12, 12, 13, 13, 13};
    for (int k = 0; k < 7; ++k) {
        SCOPED_TRACE(ruleName(kinds[k]));
        EXPECT_EQ(rules[k].kind, kinds[k]);
        EXPECT_EQ(rules[k].limit, limits[k]);
        EXPECT_EQ(rules[k].score, scores[k]);
        EXPECT_EQ(rules[k].hard(), scores[k] < 0);
        EXPECT_EQ(rules[k].line, lines[k]);
    }
    const Resource& k = problem.resources[3];
    ASSERT_EQ(k.rules.size(), 1u);
    EXPECT_EQ(k.rules[0].limit, 6);
    EXPECT_EQ(k.rules[0].score, 4);
    // Only the resources under Classes are classes.
    EXPECT_TRUE(k.isClass);
    EXPECT_FALSE(problem.resources[0].isClass);
    EXPECT_FALSE(problem.resources[2].isClass);
    EXPECT_TRUE(problem.resources[0].rules.empty());
    EXPECT_TRUE(problem.hasSchoolRules());
    EXPECT_TRUE(problem.activityRules.empty());
}

TEST(SchoolRulesReader, EveryActivityRuleWithItsAttributesAndLessons) {
    const ProblemData problem = analysed(document(
        teacher(""), listing("DifferentDays", "", {"a", "b"}) +
                         listing("DifferentDays", " days=\"2\" score=\"4\"", {"c", "a", "b"}) +
                         "\n" + listing("SameDay", "", {" b ", "c"}) +
                         listing("SamePeriod", " score=\"0\"", {"a", "c"}) + "\n" +
                         listing("Consecutive", "", {"b", "a"}) +
                         listing("Consecutive", " ordered=\"no\"", {"a", "b"}) +
                         listing("Consecutive", " ordered=\"yes\"", {"a", "b"}) + "\n" +
                         listing("DailyLimit", " slots=\"3\" score=\"1\"", {"a", "b", "c"}) +
                         listing("LastOfDay", "", {"c"})));
    const std::vector<ActivityRule>& rules = problem.activityRules;
    ASSERT_EQ(rules.size(), 9u);
    const ActivityRuleKind kinds[] = {
        ActivityRuleKind::differentDays, ActivityRuleKind::differentDays, ActivityRuleKind::sameDay,
        ActivityRuleKind::samePeriod,    ActivityRuleKind::consecutive,   ActivityRuleKind::consecutive,
        ActivityRuleKind::consecutive,   ActivityRuleKind::dailyLimit,    ActivityRuleKind::lastOfDay};
    const std::vector<std::vector<int>> lessons = {{0, 1}, {2, 0, 1}, {1, 2}, {0, 2}, {1, 0},
                                                   {0, 1}, {0, 1},    {0, 1, 2}, {2}};
    const int scores[] = {-1, 4, -1, 0, -1, -1, -1, 1, -1};
    const int lines[] = {24, 24, 25, 25, 26, 26, 26, 27, 27};
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE("rule " + std::to_string(i));
        EXPECT_EQ(rules[i].kind, kinds[i]);
        EXPECT_EQ(rules[i].activities, lessons[i]);
        EXPECT_EQ(rules[i].score, scores[i]);
        EXPECT_EQ(rules[i].line, lines[i]);
        EXPECT_TRUE(rules[i].ids.empty());
        EXPECT_TRUE(rules[i].idLines.empty());
    }
    EXPECT_EQ(rules[0].days, 1);
    EXPECT_EQ(rules[1].days, 2);
    EXPECT_TRUE(rules[4].ordered);
    EXPECT_FALSE(rules[5].ordered);
    EXPECT_TRUE(rules[6].ordered);
    EXPECT_EQ(rules[7].slots, 3);
    // Each lesson knows the rules that list it.
    EXPECT_EQ(problem.activities[0].activityRules, (std::vector<int>{0, 1, 3, 4, 5, 6, 7}));
    EXPECT_EQ(problem.activities[1].activityRules, (std::vector<int>{0, 1, 2, 4, 5, 6, 7}));
    EXPECT_EQ(problem.activities[2].activityRules, (std::vector<int>{1, 2, 3, 7, 8}));
    EXPECT_TRUE(problem.hasSchoolRules());
}

TEST(SchoolRulesReader, ActivityRulesMayStandBeforeOrAfterTheDependences) {
    const std::string dependences =
        "<Dependences>" + dependence("a", "c", "Before") + "</Dependences>\n";
    std::string text = document(teacher(""), listing("SameDay", "", {"a", "b"}));
    std::string before = text, after = text;
    before.insert(before.find("<ActivityRules>"), dependences);
    after.insert(after.find("</Problem>"), dependences);
    for (const std::string& t : {before, after}) {
        const ProblemData problem = analysed(t);
        EXPECT_EQ(problem.activityRules.size(), 1u);
        EXPECT_EQ(problem.dependences.size(), 1u);
    }
}

TEST(SchoolRulesReader, ResourceRuleRefusals) {
    // Below the least value (MaxGaps, MaxGapsPerDay and MaxLateStarts take 0).
    for (const char* name : {"MaxPerDay", "MinPerDay", "MinDays", "MaxConsecutive"}) {
        const std::string n = name;
        expectError(document(teacher("\n<" + n + ">0</" + n + ">")), 13,
                    n + " should be at least 1 (resource 2 [T])");
    }
    expectError(document(teacher(""), "", "<Resource id=\"K\"><MinPerDay>0</MinPerDay></Resource>"),
                15, "MinPerDay should be at least 1 (resource 3 [K])");
    expectError(document(teacher("<MaxGaps>-1</MaxGaps>")), 12,
                "Integer number required (got \"-1\")");
    expectError(document(teacher("<MaxGaps>two</MaxGaps>")), 12,
                "Integer number required (got \"two\")");
    expectError(document(teacher("<MaxGaps/>")), 12, "Empty element");
    expectError(document(teacher("<MaxGaps score=\"-2\">1</MaxGaps>")), 12,
                "Integer number required (got \"-2\")");
    expectError(document(teacher("<MaxGaps days=\"2\">1</MaxGaps>")), 12,
                "Unexpected attribute name: \"days\"");
    expectError(document(teacher("<MaxPerDay>3</MaxPerDay>\n<MaxPerDay>4</MaxPerDay>")), 13,
                "Repeated declaration \"MaxPerDay\"");
    expectError(document(teacher("<maxPerDay>3</maxPerDay>")), 12,
                "Unexpected name: \"maxPerDay\"");
    // Found by the analysis, still at the rule's line.
    expectError(document(teacher("\n<MinDays>4</MinDays>")), 13,
                "MinDays should be at most the days of the week, 3 (resource 2 [T])");
    expectError(document(teacher(""), "", "<Resource id=\"K\"/>",
                         "<Resource id=\"R1\"/>\n<Resource id=\"R2\"><MaxGaps score=\"1\">2</MaxGaps>"
                         "</Resource>"),
                10, "MaxGaps is not supported for resources in groups (resource 1 [R2])");
}

TEST(SchoolRulesReader, ActivityRuleRefusals) {
    auto rules = [](const std::string& lines) { return document(teacher(""), lines); };
    expectError(rules(listing("DifferentDays", " days=\"0\"", {"a", "b"})), 24,
                "Attribute \"days\" should be at least 1");
    expectError(rules(listing("DailyLimit", " slots=\"0\"", {"a", "b"})), 24,
                "Attribute \"slots\" should be at least 1");
    expectError(rules(listing("DailyLimit", "", {"a", "b"})), 24,
                "Missing attribute declaration: \"slots\"");
    expectError(rules(listing("Consecutive", " ordered=\"No\"", {"a", "b"})), 24,
                "'yes' or 'no' required");
    expectError(rules(listing("SameDay", " days=\"1\"", {"a", "b"})), 24,
                "Unexpected attribute name: \"days\"");
    expectError(rules(listing("SamePeriod", " score=\"x\"", {"a", "b"})), 24,
                "Integer number required (got \"x\")");
    expectError(rules("<SameDay><Activity>a</Activity>\n<Activity>a</Activity></SameDay>"), 25,
                "Activity \"a\" listed twice in SameDay");
    expectError(rules("<SameDay>\n<Activity>a</Activity>\n<Activity>zz</Activity></SameDay>"), 26,
                "Activity \"zz\" of SameDay not found");
    expectError(rules(listing("SamePeriod", "", {"a"})), 24,
                "SamePeriod needs at least two activities");
    expectError(rules(listing("Consecutive", "", {})), 24,
                "Consecutive needs at least two activities");
    expectError(rules("<LastOfDay></LastOfDay>"), 24, "LastOfDay needs at least one activity");
    expectError(rules("<SameDay><Lesson>a</Lesson></SameDay>"), 24, "Unexpected name: \"Lesson\"");
    expectError(rules("<SameDay><Activity/><Activity>b</Activity></SameDay>"), 24, "Empty element");
    expectError(rules(listing("MaxPerDay", "", {"a", "b"})), 24, "Unexpected name: \"MaxPerDay\"");
    std::string attributed = rules(listing("SameDay", "", {"a", "b"}));
    attributed.replace(attributed.find("<ActivityRules>"), 15, "<ActivityRules kind=\"x\">");
    expectError(attributed, 23, "Unexpected attribute name: \"kind\"");
}

TEST(SchoolRulesReader, SoftRulesCountInTheBoundOfTheScore) {
    // T's lessons a and b load 2 + 4 slots over both weeks: MaxPerDay at
    // most 6 units; a DifferentDays of three lessons at most 3 pairs.
    const ProblemData problem = analysed(
        document(teacher("<MaxPerDay score=\"100\">1</MaxPerDay><MinDays>2</MinDays>"),
                 listing("DifferentDays", " score=\"1000\"", {"a", "b", "c"}) +
                     listing("SameDay", " score=\"0\"", {"a", "b"})));
    EXPECT_EQ(placedPenaltyBound(problem, INT_MAX), 6 * 100 + 3 * 1000);

    expectRefusedScores(document(teacher("<MaxPerDay score=\"400000000\">1</MaxPerDay>")));
    expectRefusedScores(
        document(teacher(""), listing("DifferentDays", " score=\"800000000\"", {"a", "b", "c"})));
    // The product of units and score beyond 64 bits is never formed.
    expectRefusedScores(document(
        teacher("<MaxGaps score=\"2147483647\">0</MaxGaps><MaxGapsPerDay score=\"2147483647\">0"
                "</MaxGapsPerDay>")));
    // Hard rules and a score of 0 cost nothing, however many.
    const ProblemData hard = analysed(document(
        teacher("<MaxGaps>0</MaxGaps><MaxGapsPerDay score=\"0\">0</MaxGapsPerDay>"),
        listing("SameDay", "", {"a", "b", "c"})));
    EXPECT_EQ(placedPenaltyBound(hard, INT_MAX), 0);
}

TEST(SchoolRulesReader, ProblemsWithoutTheRulesReadAsBefore) {
    for (const char* name : {"school", "primary", "secondary", "college"}) {
        SCOPED_TRACE(name);
        ProblemData problem;
        testing_support::quietLogs();
        testing_support::loadProblemFile(
            testing_support::sourcePath(std::string("examples/") + name + ".xml"), problem);
        EXPECT_FALSE(problem.hasSchoolRules());
        EXPECT_TRUE(problem.activityRules.empty());
        for (const Activity& activity : problem.activities) EXPECT_TRUE(activity.activityRules.empty());
    }
    // The rules change nothing else the analysis makes.
    const ProblemData plain = analysed(document(teacher("<Break>1</Break>")));
    const ProblemData ruled = analysed(document(
        teacher("<Break>1</Break><MaxPerDay score=\"3\">2</MaxPerDay>"),
        listing("SameDay", "", {"a", "b"})));
    EXPECT_FALSE(plain.hasSchoolRules());
    EXPECT_EQ(plain.slotsPerDay, ruled.slotsPerDay);
    EXPECT_EQ(plain.nbGrsel, ruled.nbGrsel);
    ASSERT_EQ(plain.resources.size(), ruled.resources.size());
    for (std::size_t r = 0; r < plain.resources.size(); ++r) {
        EXPECT_EQ(plain.resources[r].activities, ruled.resources[r].activities);
        EXPECT_EQ(plain.resources[r].timePrefs.unavail, ruled.resources[r].timePrefs.unavail);
        EXPECT_EQ(plain.resources[r].breakSlots, ruled.resources[r].breakSlots);
        EXPECT_EQ(plain.resources[r].grres, ruled.resources[r].grres);
        EXPECT_EQ(plain.resources[r].mdres, ruled.resources[r].mdres);
    }
    ASSERT_EQ(plain.activities.size(), ruled.activities.size());
    for (std::size_t a = 0; a < plain.activities.size(); ++a) {
        EXPECT_EQ(plain.activities[a].conflicts, ruled.activities[a].conflicts);
        EXPECT_EQ(plain.activities[a].timePrefs.startSoft, ruled.activities[a].timePrefs.startSoft);
        EXPECT_EQ(plain.activities[a].reqRes, ruled.activities[a].reqRes);
        EXPECT_EQ(plain.activities[a].reqGroups, ruled.activities[a].reqGroups);
    }
}
