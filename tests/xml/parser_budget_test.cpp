#include <gtest/gtest.h>

#include "xml_test_support.h"

// The reader keeps at most 199 parser states: 5 for every open element, 4
// for every attribute of the start tag being read, 1 for every comment or
// declaration of the run being read outside the root.
namespace {

const char* overflow = "parser stack overflow";

std::string repeat(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i) result += text;
    return result;
}

std::string nested(int levels, const std::string& innermost = "") {
    return repeat("<a>", levels) + innermost + repeat("</a>", levels);
}

std::string withAttributes(int count) {
    std::string tag = "<a";
    for (int i = 0; i < count; ++i) tag += " x" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    return tag + "/>";
}

int depth(const XML::Elements& root) {
    int levels = 0;
    for (const XML::Elements* list = &root; !list->children.empty(); ++levels) {
        const XML::Content* content = list->children.front().content.get();
        list = dynamic_cast<const XML::Elements*>(content);
        if (!list) return levels + 1;
    }
    return levels;
}

TEST(ParserBudget, ThirtyEightLevelsOfNesting) {
    XML::Elements root;
    parseString(nested(38), root);
    EXPECT_EQ(depth(root), 38);
    XML::destroyDocument(root);
    parseString(nested(38, "text"), root);
    EXPECT_EQ(depth(root), 38);
    EXPECT_PARSE_FAILS(nested(39), 1, overflow);
    EXPECT_PARSE_FAILS(nested(39, "text"), 1, overflow);
    // An empty-form element never holds the states of a content and an end
    // tag, so it fits below 38 open elements, and fails below 39.
    XML::destroyDocument(root);
    parseString(nested(38, "<a/>"), root);
    EXPECT_EQ(depth(root), 39);
    EXPECT_PARSE_FAILS(nested(39, "<a/>"), 1, overflow);
}

TEST(ParserBudget, FortyEightAttributes) {
    XML::Elements root;
    parseString(withAttributes(48), root);
    EXPECT_EQ(root.children[0].attributes.size(), 48u);
    EXPECT_PARSE_FAILS(withAttributes(49), 1, overflow);
}

TEST(ParserBudget, MiscItemsBeforeAndAfterTheRoot) {
    XML::Elements root;
    parseString(repeat("<!-- c -->\n", 197) + "<a/>" + repeat("<?p?>", 195), root);
    EXPECT_EQ(root.children[0].line, 198);
    EXPECT_PARSE_FAILS(repeat("<!-- c -->\n", 198) + "<a/>", 199, overflow);
    EXPECT_PARSE_FAILS("<a/>" + repeat("<?p?>", 196), 1, overflow);
}

TEST(ParserBudget, NestingAndAttributesShareOneBudget) {
    // A third-level element has 10 states of open ancestors, two and a half
    // attributes' worth: 45 attributes fit where the root takes 48.
    XML::Elements root;
    parseString("<a><b>" + withAttributes(45) + "</b></a>", root);
    EXPECT_PARSE_FAILS("<a><b>" + withAttributes(46) + "</b></a>", 1, overflow);
    // Siblings cost nothing once they are closed.
    parseString(nested(20, repeat(nested(18), 300)), root);
}

TEST(ParserBudget, OverflowIsReportedOnTheLineWhereTheLimitIsReached) {
    EXPECT_PARSE_FAILS(repeat("<a>\n", 39) + repeat("</a>\n", 39), 40, overflow);
}

}  // namespace
