#include <gtest/gtest.h>

#include "xml_test_support.h"

namespace {

using XML::Elements;

const XML::Element& onlyRoot(const Elements& root) {
    EXPECT_EQ(root.children.size(), 1u);
    return root.children.front();
}

TEST(ParseDocument, BuildsElementsTextsAndAttributesWithTheirLines) {
    Elements root;
    parseString("<?xml version=\"1.0\"?>\n"
                "<Problem a=\"1\"\n"
                "   b = \"  two \">\n"
                "  <Days>  5  </Days>\n"
                "  <Empty/>\n"
                "  <List>\n"
                "  </List>\n"
                "</Problem>\n",
                root);
    const XML::Element& problem = onlyRoot(root);
    EXPECT_EQ(problem.name, "Problem");
    EXPECT_EQ(problem.line, 2);
    ASSERT_EQ(problem.attributes.size(), 2u);
    EXPECT_EQ(problem.attributes[0].name, "a");
    EXPECT_EQ(problem.attributes[0].value, "1");
    EXPECT_EQ(problem.attributes[0].line, 2);
    EXPECT_EQ(problem.attributes[1].value, "two");
    EXPECT_EQ(problem.attributes[1].line, 3);

    Elements& body = problem.content->asElements();
    EXPECT_EQ(body.line, 4);  // the first child's open-angle
    EXPECT_EQ(body.closeLine, 8);
    ASSERT_EQ(body.children.size(), 3u);

    const XML::Element& days = body.children[0];
    EXPECT_EQ(days.line, 4);
    EXPECT_EQ(days.content->asText().text, "5");
    EXPECT_EQ(days.content->line, 4);

    const XML::Element& empty = body.children[1];
    EXPECT_EQ(empty.name, "Empty");
    EXPECT_EQ(empty.content, nullptr);

    const XML::Element& list = body.children[2];
    Elements& items = list.content->asElements();
    EXPECT_TRUE(items.children.empty());
    EXPECT_EQ(items.line, 7);  // the end-tag-open
    EXPECT_EQ(items.closeLine, 7);
}

}  // namespace
