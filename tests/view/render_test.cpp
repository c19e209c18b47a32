#include <gtest/gtest.h>

#include <sstream>

#include "view/escape.h"
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
    EXPECT_NE(text.find("|^ <b>x&amp;~|"), std::string::npos);
    EXPECT_NE(text.find("|slots 18-20\n"), std::string::npos);
    EXPECT_NE(text.find("LEFT (length 1, weeks A"), std::string::npos);
    EXPECT_NE(text.find("\nTeacher Teacher-with-a-very-long-name\n  that-never"),
              std::string::npos);
}

TEST_F(RenderTest, CsvQuotesFieldsThatNeedIt) {
    View::TimetableLayout layout(checked.problem);
    const std::string csv = View::renderCsv(layout);
    EXPECT_NE(csv.find("\"<b>x&amp;y</b>,'z'\",1,0,2,A,\"K;O'Brien, & Sons >;"), std::string::npos);
    EXPECT_EQ(View::csvField("plain"), "plain");
    EXPECT_EQ(View::csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(View::csvField("two\nlines"), "\"two\nlines\"");
}

}  // namespace
