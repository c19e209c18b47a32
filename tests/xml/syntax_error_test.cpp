#include <gtest/gtest.h>

#include "xml_test_support.h"

namespace {

using namespace std::string_literals;

const char* illegal = "Illegal character in input";
const char* parseError = "parse error";

TEST(SyntaxError, CharactersThatStartNoTokenInATag) {
    EXPECT_PARSE_FAILS("<a x='1'/>", 1, illegal);
    EXPECT_PARSE_FAILS("<a\nx=\"1/>\n", 2, illegal);  // a value never closed
    EXPECT_PARSE_FAILS("<a/ >", 1, illegal);
    EXPECT_PARSE_FAILS("<1a/>", 1, illegal);
    EXPECT_PARSE_FAILS("<a\n\n -x=\"1\"/>", 3, illegal);
    EXPECT_PARSE_FAILS("<a:b/>", 1, illegal);
    EXPECT_PARSE_FAILS("<a x.y=\"1\"/>", 1, illegal);
    EXPECT_PARSE_FAILS("<a \0/>"s, 1, illegal);
    EXPECT_PARSE_FAILS("<a><b <c/></b></a>", 1, illegal);
}

TEST(SyntaxError, MarkupThatIsNoCommentOrDeclaration) {
    EXPECT_PARSE_FAILS("\n<!DOCTYPE a>\n<a/>", 2, illegal);
    EXPECT_PARSE_FAILS("<a>\n<![CDATA[x]]></a>", 2, illegal);
    // The text before "-->" must not end with a hyphen.
    EXPECT_PARSE_FAILS("<!-- x --->\n<a/>", 1, illegal);
    EXPECT_PARSE_FAILS("<!--->\n<a/>", 1, illegal);
    // A comment never closed is an open-angle: its lines are not counted,
    // and after the root the open-angle itself is out of place.
    EXPECT_PARSE_FAILS("\n<!-- open\n\n<a/>", 2, illegal);
    EXPECT_PARSE_FAILS("<a/>\n<!-- open\n\n", 2, parseError);
    EXPECT_PARSE_FAILS("<a/>\n<? open\n\n", 2, parseError);
}

TEST(SyntaxError, TokensTheGrammarDoesNotAllow) {
    EXPECT_PARSE_FAILS("<a>x<b/></a>", 1, parseError);
    EXPECT_PARSE_FAILS("<a>\n<b/>\nx\n</a>", 4, parseError);  // the text ends on line 4
    EXPECT_PARSE_FAILS("<a>\n<!-- c -->\n</a>", 2, parseError);
    EXPECT_PARSE_FAILS("<a/>\n<b/>", 2, parseError);
    EXPECT_PARSE_FAILS("text\n<a/>", 2, parseError);
    EXPECT_PARSE_FAILS("<a/>\ntext", 2, parseError);
    EXPECT_PARSE_FAILS("<a x=\"1\" y/>", 1, parseError);
    EXPECT_PARSE_FAILS("<a x=/>", 1, parseError);
    EXPECT_PARSE_FAILS("<a = \"1\"/>", 1, parseError);
    EXPECT_PARSE_FAILS("<a></>", 1, parseError);
    EXPECT_PARSE_FAILS("<a></a\n\nb>", 3, parseError);
    EXPECT_PARSE_FAILS("<a>\"x\"<b/></a>", 1, parseError);
    EXPECT_PARSE_FAILS("<>", 1, parseError);
}

TEST(SyntaxError, InputThatEndsTooEarly) {
    EXPECT_PARSE_FAILS("", 1, parseError);
    EXPECT_PARSE_FAILS("\n \n\t\n", 4, parseError);
    EXPECT_PARSE_FAILS("<!-- only -->\n", 2, parseError);
    EXPECT_PARSE_FAILS("<a>\n\n", 3, parseError);
    EXPECT_PARSE_FAILS("<a>\n<b>\n</b>", 3, parseError);
    EXPECT_PARSE_FAILS("<a\n", 2, parseError);
    EXPECT_PARSE_FAILS("<a>text", 1, parseError);
    // "<?" takes everything up to the first ">", here the root's own.
    EXPECT_PARSE_FAILS("<? x\n<a/>", 2, parseError);
}

}  // namespace
