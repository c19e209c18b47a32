#include <gtest/gtest.h>

#include "xml_test_support.h"

namespace {

using namespace std::string_literals;
using XML::Element;
using XML::Elements;

const Element& onlyRoot(const Elements& root) {
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
    const Element& problem = onlyRoot(root);
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

    const Element& days = body.children[0];
    EXPECT_EQ(days.line, 4);
    EXPECT_EQ(days.content->asText().text, "5");
    EXPECT_EQ(days.content->line, 4);

    const Element& empty = body.children[1];
    EXPECT_EQ(empty.name, "Empty");
    EXPECT_EQ(empty.content, nullptr);

    // Only white space between the tags: an empty list, not a text.
    Elements& items = body.children[2].content->asElements();
    EXPECT_TRUE(items.children.empty());
    EXPECT_EQ(items.line, 7);  // the end-tag-open
    EXPECT_EQ(items.closeLine, 7);
}

TEST(ParseDocument, LinesAreTakenWhereEachTokenEnds) {
    Elements root;
    parseString("<\n"
                "  Root\n"
                "  x\n"
                "  =\n"
                "  \"a\n"
                "   b\"\n"
                "><T>\n"
                "text\n"
                "\n"
                "</T\n"
                "><L>\n"
                "\n"
                "</L\n"
                ">\n"
                "</Root>",
                root);
    const Element& top = onlyRoot(root);
    EXPECT_EQ(top.line, 2);                 // where the name ends
    EXPECT_EQ(top.attributes[0].line, 6);   // the closing quote
    EXPECT_EQ(top.attributes[0].value, "a\n   b");
    Elements& body = top.content->asElements();
    EXPECT_EQ(body.line, 7);                // the child's open-angle
    EXPECT_EQ(body.closeLine, 15);
    const Element& text = body.children[0];
    EXPECT_EQ(text.line, 7);
    EXPECT_EQ(text.content->asText().text, "text");
    EXPECT_EQ(text.content->line, 10);      // trailing line feeds belong to the text
    Elements& list = body.children[1].content->asElements();
    EXPECT_EQ(list.line, 13);
    EXPECT_EQ(list.closeLine, 13);
}

TEST(ParseDocument, AcceptsTheLooseFormsOfTheLanguage) {
    Elements root;
    // End tag names are not compared; blanks after "<", around "=" and
    // before ">" are allowed; names repeat; references stay as written.
    parseString("<!-- head --><?pi x?><!---->\n"
                "< a  x = \"1\" x=\"2\"  >\n"
                "  <b>&lt;&amp;\xc3\xa9</c >\n"
                "</z>\n"
                "<!-- a -- b --><?tail?>\n",
                root);
    const Element& top = onlyRoot(root);
    EXPECT_EQ(top.name, "a");
    ASSERT_EQ(top.attributes.size(), 2u);
    EXPECT_EQ(top.attributes[1].value, "2");
    EXPECT_EQ(top.content->asElements().children[0].content->asText().text, "&lt;&amp;\xc3\xa9");
}

TEST(ParseDocument, KeepsEveryByteOfATextButTheOuterWhiteSpace) {
    Elements root;
    parseString("<a> \t\r\n x\0y  z \r\n</a>"s, root);
    EXPECT_EQ(onlyRoot(root).content->asText().text, "x\0y  z"s);
}

TEST(ParseDocument, EmptyFormRootHasNoContent) {
    Elements root;
    parseString("<_Root_1/>", root);
    EXPECT_EQ(onlyRoot(root).name, "_Root_1");
    EXPECT_EQ(onlyRoot(root).content, nullptr);
}

TEST(ParseDocument, DestroyedRootListTakesTheNextDocument) {
    Elements root;
    parseString("<First><x>1</x></First>", root);
    XML::destroyDocument(root);
    EXPECT_TRUE(root.children.empty());
    parseString("\n\n<Second/>", root);
    EXPECT_EQ(onlyRoot(root).name, "Second");
    EXPECT_EQ(onlyRoot(root).line, 3);  // lines start again at 1
}

TEST(ParseDocument, TakesAnyNumberOfSiblings) {
    std::string document = "<a>";
    for (int i = 0; i < 10000; ++i) document += "<b x=\"1\">t</b>\n";
    document += "</a>";
    Elements root;
    parseString(document, root);
    const Elements& list = onlyRoot(root).content->asElements();
    ASSERT_EQ(list.children.size(), 10000u);
    EXPECT_EQ(list.children.back().line, 10000);
    EXPECT_EQ(list.closeLine, 10001);
}

// A byte order mark at the very start is skipped, without counting as a
// line; anywhere else its bytes are ordinary text or an illegal character.
TEST(ParseDocument, SkipsAByteOrderMarkAtTheStart) {
    const std::string mark = "\xEF\xBB\xBF";
    Elements root;
    parseString(mark + "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\n<b>x</b></a>", root);
    EXPECT_EQ(onlyRoot(root).name, "a");
    EXPECT_EQ(onlyRoot(root).content->asElements().children.at(0).line, 3);
    XML::destroyDocument(root);
    parseString(mark + "<a>" + mark + "</a>", root);
    EXPECT_EQ(onlyRoot(root).content->asText().text, mark);
    EXPECT_PARSE_FAILS(mark, 1, "parse error");
    EXPECT_PARSE_FAILS(mark + mark + "<a/>", 1, "parse error");
    EXPECT_PARSE_FAILS("\n" + mark + "<a/>", 2, "parse error");
    EXPECT_PARSE_FAILS("<a " + mark + "/>", 1, "Illegal character in input");
}

TEST(ParseDocument, FailedReadOfTheStreamEndsWithStatusTwo) {
    EXPECT_EXIT(
        {
            FILE* directory = std::fopen(".", "r");
            if (!directory) std::exit(3);
            XML::Elements root;
            XML::parseDocument(directory, root);
        },
        ::testing::ExitedWithCode(2), "^input in flex scanner failed\n$");
}

}  // namespace
