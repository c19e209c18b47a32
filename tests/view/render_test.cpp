#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "view/escape.h"
#include "view/explanations.h"
#include "view/renderers.h"
#include "view_fixture.h"

using namespace view_testing;

namespace {

// "" when every tag closes in the order opened and every "&" starts an
// entity; otherwise what is wrong. Enough of a reader to catch a name that
// leaked into the markup unescaped.
std::string wellFormedness(const std::string& html) {
    std::vector<std::string> open;
    for (std::size_t i = 0; (i = html.find('<', i)) != std::string::npos;) {
        const std::size_t end = html.find('>', i);
        if (end == std::string::npos) return "tag never ends";
        const std::string tag = html.substr(i + 1, end - i - 1);
        i = end + 1;
        if (tag.empty() || tag.find('<') != std::string::npos) return "stray < in " + tag;
        if (tag[0] == '!' || tag.back() == '/') continue;
        if (tag[0] == '/') {
            if (open.empty() || open.back() != tag.substr(1))
                return "</" + tag.substr(1) + "> closes " +
                       (open.empty() ? "nothing" : open.back());
            open.pop_back();
            continue;
        }
        open.push_back(tag.substr(0, tag.find(' ')));
    }
    if (!open.empty()) return "<" + open.back() + "> never closed";
    for (std::size_t i = 0; (i = html.find('&', i)) != std::string::npos; ++i) {
        std::size_t j = i + 1;
        if (j < html.size() && html[j] == '#') ++j;
        while (j < html.size() && std::isalnum(static_cast<unsigned char>(html[j]))) ++j;
        if (j == i + 1 || j >= html.size() || html[j] != ';')
            return "bare & at " + std::to_string(i);
    }
    return "";
}

// Hostile names: markup, ampersands, quotes and commas in ids; seven days of
// long names for the text width; lessons of one week beside each other.
class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string room = "O'Brien, & Sons >";
        const std::string teacher =
            "Teacher-with-a-very-long-name\nthat-never-ends-at-all-" + std::string(80, 'x');
        const std::string resources = "<Classrooms><Resource id=\"" + room +
                                      "\"/></Classrooms><Teachers><Resource id=\"" + teacher +
                                      "\"/></Teachers><Classes><Resource id=\"K\"/></Classes>";
        const std::string hostile = "<b>x&amp;y</b>,'z'";
        const std::string activities = activity(hostile, 2, {"K", room, teacher}) +
                                       activity("EVEN", 1, {"K"}, {}, week("E")) +
                                       activity("ODD", 1, {"K"}, {}, week("O")) +
                                       activity("LEFT", 1, {"K", teacher});
        loadChecked(problemWithKinds(7, 3, resources, activities),
                    solutionText({{hostile, 0, {"K", room, teacher}},
                                  {"EVEN", 3, {"K"}},
                                  {"ODD", 3, {"K"}},
                                  {"LEFT", -1, {}}}),
                    checked);
    }
    View::CheckedTimetable checked;
};

TEST_F(RenderTest, PageIsWellFormedAndNamesAreEscaped) {
    View::TimetableLayout layout(checked.problem);
    const std::string html = View::renderHtml(checked, layout);
    EXPECT_EQ(wellFormedness(html), "");
    EXPECT_EQ(html.find("<b>x"), std::string::npos);
    EXPECT_NE(html.find("&lt;b&gt;x&amp;amp;y&lt;/b&gt;,&#39;z&#39;"), std::string::npos);
    EXPECT_NE(html.find("O&#39;Brien, &amp; Sons &gt;"), std::string::npos);
    // The checker itself refuses what it is there to catch.
    EXPECT_NE(wellFormedness("<p><b>x</p></b>"), "");
    EXPECT_NE(wellFormedness("<p>a & b</p>"), "");
    // Score, terms, one grid per resource, week halves, the unassigned lesson.
    EXPECT_NE(html.find("<tr class=\"total\"><th>Score</th><td class=\"n\">1000000</td>"),
              std::string::npos);
    EXPECT_NE(html.find("Violated &#39;balanced&#39;"), std::string::npos);
    EXPECT_NE(html.find("id=\"r0\""), std::string::npos);
    EXPECT_NE(html.find("id=\"r2\""), std::string::npos);
    EXPECT_NE(html.find("rowspan=\"2\""), std::string::npos);
    EXPECT_NE(html.find("EVEN WEEK"), std::string::npos);
    EXPECT_NE(html.find("ODD WEEK"), std::string::npos);
    EXPECT_NE(html.find("<h3>LEFT</h3>"), std::string::npos);
    EXPECT_NE(html.find("@media print"), std::string::npos);
}

TEST_F(RenderTest, TextFitsOneHundredColumns) {
    View::TimetableLayout layout(checked.problem);
    const std::string text = View::renderText(checked, layout);
    std::istringstream lines(text);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count)
        EXPECT_LE(line.size(), static_cast<std::size_t>(View::textWidth)) << line;
    EXPECT_GT(count, 20);
    EXPECT_NE(text.find("E EVEN"), std::string::npos);
    EXPECT_NE(text.find("O ODD"), std::string::npos);
    EXPECT_NE(text.find("|slots 18-20\n"), std::string::npos);
    EXPECT_NE(text.find("LEFT (length 1, weeks A"), std::string::npos);
    EXPECT_NE(text.find("\nTeacher Teacher-with-a-very-long-name that-never-ends-at-all-xxx"),
              std::string::npos);
    // Names are wrapped inside their cells, never cut: the first day's column
    // of K's first row holds the lesson and all of its resources.
    EXPECT_NE(text.find("\n  1|<b>x&amp;y</|E EVEN"), std::string::npos);
    EXPECT_NE(text.find("\n   |b>,'z'      |O ODD"), std::string::npos);
    EXPECT_NE(text.find("\n  2|^ <b>x&amp;y|"), std::string::npos);
    std::string column;
    const std::size_t grid = text.find("\nClass K\n");
    const std::size_t first = text.find("\n  1|", grid), end = text.find("\n---", first);
    for (std::size_t line = first; line < end; line = text.find('\n', line + 1))
        column += text.substr(line + 5, 12);
    column.erase(std::remove(column.begin(), column.end(), ' '), column.end());
    EXPECT_NE(
        column.find("Teacher-with-a-very-long-namethat-never-ends-at-all-" + std::string(80, 'x')),
        std::string::npos)
        << column;
    EXPECT_EQ(text.find('~'), std::string::npos);
}

TEST_F(RenderTest, CsvQuotesFieldsThatNeedIt) {
    View::TimetableLayout layout(checked.problem);
    const std::string csv = View::renderCsv(layout);
    EXPECT_NE(csv.find("\"<b>x&amp;y</b>,'z'\",1,1,0,2,A,\"K;O'Brien, & Sons >;"),
              std::string::npos);
    EXPECT_EQ(View::csvField("plain"), "plain");
    EXPECT_EQ(View::csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(View::csvField("two\nlines"), "\"two\nlines\"");
}

// Every kind of soft penalty, with its reason in words. Two days of four
// slots; T is continuous (2 a slot of gap), K balanced (5 a slot).
//
//       slot 0   1     2   3  |  4
// K/T/R     A    B(E)  .   C  |  D (K only)
// A's own preference costs 2 at slot 0; T's costs 3 at slot 1, halved for B
// (even weeks); D must end before A starts (soft, 7); K holds 5 slots of
// lessons on day 1 (A, C twice, B once) against a share of 7 / 2 = 3.
class PenaltyTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string resources =
            "<Classrooms><Resource id=\"R\"/></Classrooms><Teachers><Resource id=\"T\">"
            "<TimePreferences><Soft score=\"3\">1</Soft></TimePreferences>"
            "<Continuous score=\"4\"/></Resource></Teachers><Classes><Resource id=\"K\">"
            "<Balanced score=\"5\"/></Resource></Classes>";
        const std::string activities = activity("A", 1, {"K", "T", "R"}, {}, softAt(2, "0")) +
                                       activity("B", 1, {"K", "T", "R"}, {}, week("E")) +
                                       activity("C", 1, {"K", "T", "R"}) + activity("D", 1, {"K"});
        loadChecked(
            problemWithKinds(2, 4, resources, activities, dependence("D", "A", "Before", 7)),
            solutionText({{"A", 0, {"K", "T", "R"}},
                          {"B", 1, {"K", "T", "R"}},
                          {"C", 3, {"K", "T", "R"}},
                          {"D", 4, {"K"}}}),
            checked);
    }
    View::CheckedTimetable checked;
};

TEST_F(PenaltyTest, EachPenaltyHasItsReasonAndTheyAddUpToTheScore) {
    ASSERT_TRUE(checked.judged);
    EXPECT_EQ(checked.score, 26);
    const View::TimetableLayout layout(checked.problem);
    const std::vector<std::string> expected = {
        "A at Day 1, period 1 (slot 0): 2 = own preferences 2 (slot 0: 2)",
        "B at Day 1, period 2 (slot 1): 1 = T 1 (slot 1: 3; half of 3, one week only)",
        "Soft dependence 0 broken, weight 7: D must end before A starts (D at Day 2, period 1 "
        "(slot 4), A at Day 1, period 1 (slot 0))",
        "'Continuous' of T: 6 = 3 x 2 (slots of gap between its first and last lesson of a day, "
        "both weeks counted; free: Day 1, period 2 (slot 1) in odd weeks; Day 1, period 3 "
        "(slot 2) in both weeks)",
        "'Balanced' of K: 10 = 2 x 5 (its share is 3 slots of lessons a day, a lesson of every "
        "week counting twice; Day 1 has 5)"};
    EXPECT_EQ(View::penaltyNotes(layout, -1), expected);
    // A grid lists the penalties of its lessons and of its own resource.
    EXPECT_EQ(View::penaltyNotes(layout, 2).size(), 4u);  // K: A, B, the dependence, 'balanced'
    EXPECT_EQ(View::penaltyNotes(layout, 1).size(), 4u);  // T: A, B, the dependence, 'continuous'
    EXPECT_EQ(View::penaltyNotes(layout, 0).size(), 3u);  // R: A, B, the dependence

    // Readable in the text and on the printed page, not only in a tooltip.
    const std::string text = View::renderText(checked, layout);
    EXPECT_NE(text.find("* B at Day 1, period 2 (slot 1): 1 = T 1 (slot 1: 3; half of 3, one"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("==== Soft penalties ====\n- A at Day 1"), std::string::npos);
    const std::string html = View::renderHtml(checked, layout);
    EXPECT_NE(html.find("<li><span class=\"mark\">!</span> &#39;Balanced&#39; of K: 10 = 2 x 5"),
              std::string::npos);
    EXPECT_EQ(wellFormedness(html), "");
}

// A teacher's free day moved onto lessons already placed, and two lessons
// in one room: the timetable is still shown, every rule listed.
TEST(RenderBroken, ATimetableThatBreaksHardRulesIsShownWithItsRules) {
    View::CheckedTimetable checked;
    const std::string resources =
        "<Classrooms><Resource id=\"R\"/></Classrooms><Teachers><Resource id=\"T\">"
        "<TimePreferences><Hard>0#2</Hard></TimePreferences></Resource></Teachers>"
        "<Classes><Resource id=\"K\"/><Resource id=\"L\"/></Classes>";
    loadChecked(problemWithKinds(2, 3, resources,
                                 activity("A", 2, {"K", "T"}) + activity("B", 1, {"L", "R"}) +
                                     activity("C", 1, {"K", "R"})),
                solutionText({{"A", 0, {"K", "T"}}, {"B", 4, {"L", "R"}}, {"C", 4, {"K", "R"}}}),
                checked);
    ASSERT_FALSE(checked.judged);
    const View::TimetableLayout layout(checked.problem);
    const std::string text = View::renderText(checked, layout);
    EXPECT_NE(text.find("Score: not counted. The timetable breaks 2 hard rules"),
              std::string::npos);
    EXPECT_EQ(text.find("Unassigned activities"), std::string::npos);
    EXPECT_NE(text.find("==== Broken hard rules (2) ====\n"
                        "1. T is unavailable at Day 1, periods 1-2 (slots 0-1), where A is placed\n"
                        "2. R has two lessons at once, B and C: Day 2, period 2 (slot 4)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("!! A"), std::string::npos);
    EXPECT_NE(text.find("|!! unavailable"), std::string::npos);
    EXPECT_NE(text.find("|!! CLASH"), std::string::npos);
    EXPECT_NE(text.find("\n!! R has two lessons at once"), std::string::npos);

    const std::string html = View::renderHtml(checked, layout);
    EXPECT_EQ(wellFormedness(html), "");
    EXPECT_NE(html.find("<h2>Broken hard rules (2)</h2>"), std::string::npos);
    EXPECT_NE(html.find("<td class=\"clash\" colspan=\"2\""), std::string::npos);
    EXPECT_NE(html.find("class=\"lesson broken unavailable\""), std::string::npos);
    EXPECT_EQ(html.find("class=\"total\""), std::string::npos);
}

}  // namespace
