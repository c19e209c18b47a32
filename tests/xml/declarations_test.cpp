#include "xml/declarations.h"

#include <gtest/gtest.h>

#include "xml_test_support.h"

namespace {

using XML::Any;
using XML::AttributeDeclaration;
using XML::Declaration;
using XML::Optional;
using XML::Required;

#define EXPECT_STOPS(statement, line, message) \
    EXPECT_EXIT(statement, ::testing::ExitedWithCode(1), framedError(line, message))

// Parses a document and hands its root element to the test.
class DeclarationsTest : public ::testing::Test {
protected:
    XML::Element& parse(const std::string& document) {
        parseString(document, root);
        return root.children[0];
    }
    XML::Elements root;
};

TEST_F(DeclarationsTest, HandlersRunInDocumentOrder) {
    XML::Element& top = parse(
        "<Top id=\"t\" flag=\"yes\">\n"
        "  <Days>5</Days>\n"
        "  <Item>a</Item>\n"
        "  <Ignored x=\"1\"><Deep><Deeper/></Deep></Ignored>\n"
        "  <Item>b</Item>\n"
        "</Top>");
    std::string seen;
    const AttributeDeclaration attributes[] = {
        {"id", [&](const XML::Attribute& a) { seen += "id=" + a.value + ";"; }, Required},
        {"flag", [&](const XML::Attribute& a) { seen += XML::yesNo(a) ? "yes;" : "no;"; }, Optional},
        {"other", nullptr, Optional},
    };
    XML::checkAttributes(top.attributes, attributes, top.line);
    auto text = [&](XML::Content* content, const std::vector<XML::Attribute>& list, int line) {
        seen += XML::elementText(content, list, line) + "@" + std::to_string(line) + ";";
    };
    const Declaration elements[] = {
        {"Days", text, Required},
        {"Item", text, Any},
        {"Ignored", nullptr, Optional},
        {"Never", text, Any},
    };
    XML::checkElements(top.content.get(), elements, top.line);
    EXPECT_EQ(seen, "id=t;yes;5@2;a@3;b@5;");
}

TEST_F(DeclarationsTest, AttributeFaults) {
    XML::Element& top = parse("<Top\n a=\"1\"\n b=\"2\"\n a=\"3\"\n Id=\"4\"/>");
    const AttributeDeclaration any[] = {{"a", nullptr, Any}, {"b", nullptr, Optional}};
    // A repeated attribute is refused whatever its row allows.
    EXPECT_STOPS(XML::checkAttributes(top.attributes, any, top.line), 4,
                 "Repeated attribute declaration \"a\"");
    const AttributeDeclaration once[] = {{"a", nullptr, Optional}, {"b", nullptr, Optional}};
    EXPECT_STOPS(XML::checkAttributes(top.attributes, once, top.line), 4,
                 "Repeated attribute declaration \"a\"");
    const AttributeDeclaration caseMatters[] = {{"id", nullptr, Optional}};
    EXPECT_STOPS(XML::checkAttributes({top.attributes[3]}, caseMatters, top.line), 5,
                 "Unexpected attribute name: \"Id\"");
    const AttributeDeclaration required[] = {
        {"a", nullptr, Optional}, {"x", nullptr, Required}, {"y", nullptr, Required}};
    EXPECT_STOPS(XML::checkAttributes({top.attributes[0]}, required, 9), 9,
                 "Missing attribute declaration: \"x\"");
    EXPECT_STOPS(XML::checkNoAttributes(top.attributes), 2, "Unexpected attribute name: \"a\"");
}

TEST_F(DeclarationsTest, ElementFaults) {
    XML::Element& top = parse(
        "<Top>\n"
        "  <A/>\n"
        "  <B/>\n"
        "  <A/>\n"
        "  <b/>\n"
        "</Top>\n");
    XML::Content* content = top.content.get();
    const Declaration repeated[] = {{"A", nullptr, Optional}, {"B", nullptr, Any}};
    EXPECT_STOPS(XML::checkElements(content, repeated, top.line), 4, "Repeated declaration \"A\"");
    const Declaration unknown[] = {{"A", nullptr, Any}, {"B", nullptr, Any}};
    EXPECT_STOPS(XML::checkElements(content, unknown, top.line), 5, "Unexpected name: \"b\"");
    // A missing child is reported at the end tag of its parent...
    const Declaration missing[] = {
        {"A", nullptr, Any}, {"B", nullptr, Any}, {"b", nullptr, Any},
        {"C", nullptr, Required}, {"D", nullptr, Required}};
    EXPECT_STOPS(XML::checkElements(content, missing, top.line), 6, "Missing declaration: \"C\"");
    // ...or at the element itself when it has the empty form.
    XML::Element& a = top.content->asElements().children[0];
    EXPECT_STOPS(XML::checkElements(a.content.get(), missing, a.line), 2,
                 "Missing declaration: \"C\"");
}

TEST_F(DeclarationsTest, AFaultInsideAnEarlierChildComesFirst) {
    XML::Element& top = parse("<Top>\n<A>x</A>\n<Z/>\n</Top>");
    const Declaration inner[] = {{"Q", nullptr, Required}};
    auto descend = [&](XML::Content* content, const std::vector<XML::Attribute>&, int line) {
        XML::checkElements(content, inner, line);
    };
    const Declaration table[] = {{"A", descend, Any}};
    EXPECT_STOPS(XML::checkElements(top.content.get(), table, top.line), 2,
                 "This element should content subelements, but it contents only text");
}

TEST_F(DeclarationsTest, TextOfAnElement) {
    XML::Element& top = parse("<T>\n<A>x</A>\n<E/>\n<L>\n</L>\n<W w=\"1\">y</W>\n</T>");
    auto& children = top.content->asElements().children;
    EXPECT_EQ(XML::elementText(children[0].content.get(), children[0].attributes, 2), "x");
    EXPECT_STOPS(XML::elementText(children[1].content.get(), children[1].attributes, 3), 3,
                 "Empty element");
    EXPECT_STOPS(XML::elementText(children[2].content.get(), children[2].attributes, 4), 5,
                 "This element should content only text, but it contents subelements");
    EXPECT_STOPS(XML::elementText(children[3].content.get(), children[3].attributes, 6), 6,
                 "Unexpected attribute name: \"w\"");
    EXPECT_EQ(XML::elementText(children[3].content.get(), children[3].attributes, 6, true), "y");
}

TEST_F(DeclarationsTest, YesOrNoExactly) {
    XML::Attribute attribute{7, "weekly", "Yes"};
    EXPECT_STOPS(XML::yesNo(attribute), 7, "'yes' or 'no' required");
    attribute.value = "no";
    EXPECT_FALSE(XML::yesNo(attribute));
}

TEST_F(DeclarationsTest, UniqueNames) {
    auto index = XML::uniqueNameIndex({"b", "a", "B"});
    EXPECT_EQ(index.at("b"), 0);
    EXPECT_EQ(index.at("B"), 2);
    EXPECT_EXIT(XML::uniqueNameIndex({"x", "y", "x"}), ::testing::ExitedWithCode(1),
                "^\\*{16} ERROR \\*{18}\nThe same ID used twice \\(x\\)\n\\*{41}\n$");
}

}  // namespace
