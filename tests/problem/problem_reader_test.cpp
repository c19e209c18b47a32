// Reading the problem format: the value syntax, the handlers' own messages at
// their lines, and what the read values become.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "problem_test_support.h"

using namespace problem_tests;

namespace {

// A document whose resource stands on line 10 and whose activity begins on
// line 15 (a two-line activity text puts its second line on 16).
std::string document(const std::string& resourceLine, const std::string& activityLines,
                     const std::string& general = "<DaysPerWeek>5</DaysPerWeek>\n"
                                                  "<SlotsPerDay>8</SlotsPerDay>\n") {
    return "<Timetable>\n"                // 1
           "<Problem>\n"                  // 2
           "<General>\n" +                // 3
           general +                      // 4, 5
           "</General>\n"                 // 6
           "<Resources>\n"                // 7
           "<Classrooms/>\n"              // 8
           "<Teachers>\n" +               // 9
           resourceLine + "\n" +          // 10
           "</Teachers>\n"                // 11
           "<Classes/>\n"                 // 12
           "</Resources>\n"               // 13
           "<Activities>\n" +             // 14
           activityLines + "\n" +         // 15...
           "</Activities>\n"
           "</Problem>\n"
           "</Timetable>\n";
}

std::string resourceWith(const std::string& content) {
    return "<Resource id=\"T\">" + content + "</Resource>";
}

std::string prefs(const std::string& content) {
    return "<TimePreferences>" + content + "</TimePreferences>";
}

std::string activityWith(const std::string& content) {
    return "<Activity id=\"a\">" + content + "</Activity>";
}

const std::string plainActivity =
    activityWith("<Length>1</Length><RequiredResources>" + res("T") + "</RequiredResources>");

// Reading the document stops with message at line.
void expectError(const std::string& text, int line, const std::string& message) {
    TempFile file(text);
    EXPECT_EXIT(analyseFile(file), ::testing::ExitedWithCode(1),
                framed(inFile(file, line), message))
        << text;
}

}  // namespace

TEST(ProblemReader, MinimalProblemHasNoRecords) {
    ProblemData problem = analysed(document("", ""));
    EXPECT_EQ(problem.days, 5);
    EXPECT_EQ(problem.slotsPerDay, 8);
    EXPECT_EQ(problem.nbSlots, 40);
    EXPECT_EQ(problem.addedSlots, 0);
    EXPECT_TRUE(problem.resources.empty());
    EXPECT_TRUE(problem.activities.empty());
    EXPECT_TRUE(problem.dependences.empty());
    EXPECT_EQ(problem.reader, nullptr);
}

TEST(ProblemReader, IntegerAndIntervalSyntax) {
    auto hard = [](const std::string& text) {
        return document(resourceWith(prefs("<Hard>" + text + "</Hard>")), "");
    };
    expectError(hard("5#3"), 10, "Interval reversed (\"5#3\")");
    expectError(hard("-1"), 10, "Integer number required (got \"-1\")");
    expectError(hard("3#x"), 10, "Integer number required (got \"x\")");
    expectError(hard("3#4#5"), 10, "Integer number required (got \"4#5\")");
    expectError(hard("1 2"), 10, "Integer number required (got \"1 2\")");
    // Numbers beyond 32 bits are refused, not wrapped.
    expectError(hard("2147483648"), 10, "Integer number required (got \"2147483648\")");
    expectError(document(resourceWith("<Break>4294967297</Break>"), ""), 10,
                "Integer number required (got \"4294967297\")");

    ProblemData problem = analysed(hard("3#5"));
    EXPECT_EQ(problem.resources[0].timePrefs.unavail, (std::vector<int>{3, 4, 5}));
}

TEST(ProblemReader, IntegerAttributesAreCheckedAtTheirLine) {
    expectError(document(resourceWith(prefs("<Soft\nscore=\"x\">1</Soft>")), ""), 11,
                "Integer number required (got \"x\")");
}

TEST(ProblemReader, HugeIntervalIsRefusedByRangeWithoutExpandingIt) {
    // The interval reaches 2^31 - 1; only its first slot outside the grid matters.
    TempFile file(document(resourceWith(prefs("<Hard>38#2147483647</Hard>")), ""));
    EXPECT_EXIT(analyseFile(file), ::testing::ExitedWithCode(1),
                framed(inFile(file), "Timeslot number out of range (40)"));
}

TEST(ProblemReader, TimePreferenceMessages) {
    expectError(document(resourceWith(prefs("<Avail>1</Avail><Hard>2</Hard>")), ""), 10,
                "'Hard' and 'Avail' can not apear simultanously");
    expectError(document(resourceWith(prefs("<Hard>1</Hard>\n<Avail>2</Avail>")), ""), 11,
                "'Hard' and 'Avail' can not apear simultanously");
    expectError(document(resourceWith(prefs("<Soft score=\"0\">1</Soft>")), ""), 10,
                "Score is zero?");
    expectError(document(resourceWith(prefs("<Soft score=\"3\"/>")), ""), 10, "Empty element");
}

TEST(ProblemReader, ResourceRuleMessages) {
    expectError(document(resourceWith("<Balanced/>"), ""), 10,
                "Balanced needs score attribute (!=0)");
    expectError(document(resourceWith("<Balanced score=\"0\"/>"), ""), 10,
                "Balanced needs score attribute (!=0)");
}

TEST(ProblemReader, ActivityMessages) {
    const std::string required = "<RequiredResources>" + res("T") + "</RequiredResources>";
    expectError(document("", activityWith("<Length>1</Length>\n<Week>a</Week>" + required)), 16,
                "One of A,E,O letters needed");
    expectError(document("", activityWith("<Length>1</Length><Week>AE</Week>" + required)), 15,
                "One of A,E,O letters needed");
    expectError(document("", activityWith("<Length>1</Length>\n<RequiredResources>\n"
                                          "<Group></Group></RequiredResources>")),
                17, "Empty group");
    expectError(document("", "<Activity id=\"a\"/>"), 15, "Missing declaration: \"Length\"");
    expectError(document("", activityWith("<Length>0</Length>" + required)), 15,
                "Length should be at least 1");
}

TEST(ProblemReader, MissingCategoryIsReportedAtTheEndTag) {
    std::string text =
        "<Timetable><Problem>\n"
        "<General><DaysPerWeek>5</DaysPerWeek><SlotsPerDay>8</SlotsPerDay></General>\n"
        "<Resources>\n"
        "<Classrooms/>\n"
        "<Teachers/>\n"
        "</Resources>\n"
        "<Activities/>\n"
        "</Problem></Timetable>\n";
    expectError(text, 6, "Missing declaration: \"Classes\"");
}

TEST(ProblemReader, DependenceOperatorMessage) {
    std::string text = document("<Resource id=\"T\"/>", plainActivity) +
                       "";  // dependences need their own element under Problem
    text.replace(text.find("</Problem>"), 0,
                 "<Dependences><Dependence>\n<FirstActivity>a</FirstActivity>"
                 "<SecondActivity>a</SecondActivity>\n<Operator>before</Operator>"
                 "</Dependence></Dependences>\n");
    expectError(text, 19, "One of dependence operators needed (is \"before\")");
}

TEST(ProblemReader, GridMustBeUsable) {
    expectError(document("", "", "<DaysPerWeek>0</DaysPerWeek>\n<SlotsPerDay>8</SlotsPerDay>\n"), 4,
                "DaysPerWeek should be at least 1");
    expectError(document("", "", "<DaysPerWeek>5</DaysPerWeek>\n<SlotsPerDay>0</SlotsPerDay>\n"), 5,
                "SlotsPerDay should be at least 1");
    // 1000 x 101 slots would need per-slot tables beyond the limit; so would
    // a product that overflows 32 bits.
    expectError(document("", "", "<DaysPerWeek>1000</DaysPerWeek>\n<SlotsPerDay>101</SlotsPerDay>\n"),
                3, "Too many timeslots (1000 days x 101 slots per day, at most 100000)");
    expectError(
        document("", "", "<DaysPerWeek>65536</DaysPerWeek>\n<SlotsPerDay>65536</SlotsPerDay>\n"),
        3, "Too many timeslots (65536 days x 65536 slots per day, at most 100000)");
    ProblemData problem =
        analysed(document("", "", "<DaysPerWeek>1000</DaysPerWeek>\n<SlotsPerDay>100</SlotsPerDay>\n"));
    EXPECT_EQ(problem.nbSlots, 100000);
}

TEST(ProblemReader, ReadValuesAndDefaults) {
    std::string resources =
        "<Resource id=\"plain\"/>"
        "<Resource id=\"T\"><Name><b>thing</b><c/></Name><Continuous/>"
        "<TimePreferences><Soft>1#2</Soft><Soft score=\"3\">2</Soft></TimePreferences>"
        "<Break>1</Break><MaxDays>3</MaxDays></Resource>"
        "<Resource id=\"U\"><Continuous score=\"0\"/><Balanced score=\"7\"/></Resource>"
        "<Resource id=\"V\"><Continuous score=\"12\"/></Resource>";
    std::string activities =
        activityText("a", 2, "<Group>" + res("U") + "</Group>" +
                                     "<Group conjunctive=\"yes\">" + res("V") + res("T") +
                                     "</Group><Group conjunctive=\"yes\"/>", week("E"));
    std::string dependences =
        "<Dependence id=\"d1\"><FirstActivity>a</FirstActivity><SecondActivity>a"
        "</SecondActivity><Operator>Before</Operator></Dependence>"
        "<Dependence score=\"5\"><FirstActivity>a</FirstActivity><SecondActivity>a"
        "</SecondActivity><Operator>Closely before</Operator></Dependence>";
    std::string text = problemText(5, 8, resources, activities, dependences);
    text.replace(text.find("</Timetable>"), 0, "<Solution><Whatever/></Solution>");
    ProblemData problem = analysed(text);

    const Resource& plain = problem.resources[0];
    EXPECT_EQ(plain.id, "plain");
    EXPECT_EQ(plain.breakSlots, 0);
    EXPECT_EQ(plain.maxDays, noMaxDays);
    EXPECT_EQ(plain.continuous, 0);
    EXPECT_EQ(plain.balanced, 0);

    const Resource& t = problem.resources[1];
    EXPECT_EQ(t.continuous, 10000);
    EXPECT_EQ(t.breakSlots, 1);
    EXPECT_EQ(t.maxDays, 3);
    // Soft without a score costs 16; overlapping Soft elements add up (slot 2
    // of the file is internal slot 2, the first day being unchanged).
    EXPECT_EQ(t.timePrefs.soft[1], 16);
    EXPECT_EQ(t.timePrefs.soft[2], 19);
    EXPECT_EQ(t.timePrefs.soft[3], 0);

    EXPECT_EQ(problem.resources[2].continuous, 0);
    EXPECT_EQ(problem.resources[2].balanced, 7);
    EXPECT_EQ(problem.resources[3].continuous, 12);

    // A one-member group and conjunctive members are required resources.
    const Activity& a = problem.activities[0];
    EXPECT_EQ(a.week, 2);
    EXPECT_EQ(a.length, 2);
    EXPECT_EQ(a.reqRes, (std::vector<int>{2, 3, 1}));
    EXPECT_TRUE(a.reqGroups.empty());

    ASSERT_EQ(problem.dependences.size(), 2u);
    EXPECT_EQ(problem.dependences[0].score, -1);
    EXPECT_EQ(problem.dependences[0].op, DependenceOp::before);
    EXPECT_EQ(problem.dependences[1].score, 5);
    EXPECT_EQ(problem.dependences[1].op, DependenceOp::closelyBefore);
}

TEST(ProblemReader, AvailListsTheOnlyAvailableSlots) {
    ProblemData problem =
        analysed(document(resourceWith(prefs("<Avail>0#1</Avail><Avail>39</Avail>")), ""));
    const std::vector<int>& unavail = problem.resources[0].timePrefs.unavail;
    ASSERT_EQ(unavail.size(), 37u);
    EXPECT_EQ(unavail.front(), 2);
    EXPECT_EQ(unavail.back(), 38);
    EXPECT_EQ(problem.resources[0].timePrefs.hardMode, HardMode::hard);
}
