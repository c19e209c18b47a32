#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdlib>
#include <memory>

#include "xml_test_support.h"

namespace {

using XML::Element;
using XML::Elements;
using XML::TextContent;

Element textElement(const std::string& name, const std::string& text) {
    Element element;
    element.name = name;
    element.content = std::make_unique<TextContent>(text);
    return element;
}

TEST(XmlTree, KindChecksStopAtTheLineOfTheNode) {
    Elements root;
    parseString("<a>\n<b>\n  7\n</b>\n<c>\n</c>\n</a>", root);
    Elements& list = root.children[0].content->asElements();
    EXPECT_EXIT(list.children[0].content->asElements(), ::testing::ExitedWithCode(1),
                framedError(4, "This element should content subelements, but it contents only text"));
    EXPECT_EXIT(list.children[1].content->asText(), ::testing::ExitedWithCode(1),
                framedError(6, "This element should content only text, but it contents subelements"));
}

TEST(XmlTree, ClearReleasesTheContentsAndKeepsTheChildRecords) {
    Elements root;
    parseString("<a x=\"1\"><b><c>t</c></b><d/></a>", root);
    Element& top = root.children[0];
    Elements& list = top.content->asElements();
    list.clear();
    ASSERT_EQ(list.children.size(), 2u);
    EXPECT_EQ(list.children[0].name, "b");
    EXPECT_EQ(list.children[0].content, nullptr);
    root.clear();
    EXPECT_EQ(top.content, nullptr);
    EXPECT_EQ(top.attributes.size(), 1u);
}

// A recursive teardown would overflow the stack; the child process then dies
// of a signal instead of exiting normally.
TEST(XmlTree, DestroysATreeOfAnyDepthWithoutRecursion) {
    EXPECT_EXIT(
        {
            auto top = std::make_unique<Elements>();
            Elements* list = top.get();
            for (int i = 0; i < 1000000; ++i) {
                Element child;
                child.name = "n";
                auto inner = std::make_unique<Elements>();
                Elements* next = inner.get();
                child.content = std::move(inner);
                list->children.push_back(std::move(child));
                list = next;
            }
            top.reset();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

// Records what the nodes hand to the writer.
class RecordingWriter : public XML::Writer {
public:
    void writeElement(const Element& element) override {
        output += "[" + element.name;
        if (element.content) element.content->write(*this);
        output += "]";
    }
    void print(const char* format, ...) override {
        char buffer[256];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        output += buffer;
    }
    std::string output;
};

TEST(XmlTree, NodesWriteThroughTheWriter) {
    Elements list;
    list.children.push_back(textElement("StartTime", "12"));
    Element empty;
    empty.name = "Activity";
    list.children.push_back(std::move(empty));
    Element nested;
    nested.name = "UsedResources";
    auto inner = std::make_unique<Elements>();
    inner->children.push_back(textElement("Resource", "R%s<&"));
    nested.content = std::move(inner);
    list.children.push_back(std::move(nested));

    RecordingWriter writer;
    list.write(writer);
    // Texts go out verbatim, even when they look like a format.
    EXPECT_EQ(writer.output, "[StartTime12][Activity][UsedResources[ResourceR%s<&]]");
}

}  // namespace
