#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// The document tree: every element is a record in the element list of its
// parent, and its content is one node, either a text or a list of elements.
// The same classes carry the solution the program writes.
namespace XML {

class Elements;
class TextContent;
class Writer;

struct Attribute {
    int line = 0;       // line on which the value ended
    std::string name;
    std::string value;  // trimmed, without the quotes
};

class Content {
public:
    explicit Content(int line = 0) : line(line) {}
    virtual ~Content() = default;
    Content(const Content&) = delete;
    Content& operator=(const Content&) = delete;

    // Releases everything below the node; the node itself stays.
    virtual void clear() = 0;
    // The node as an element list; stops the program when it is a text.
    virtual Elements& asElements() = 0;
    // The node as a text; stops the program when it is an element list.
    virtual TextContent& asText() = 0;
    // Writes the node's content through the writer of solution documents.
    virtual void write(Writer& writer) const = 0;

    int line;  // input line on which the node was created; 0 when built in memory
};

struct Element {
    int line = 0;  // line on which the name ended in the start tag
    std::string name;
    std::unique_ptr<Content> content;  // null for the empty form <x/>
    std::vector<Attribute> attributes;
};

class TextContent : public Content {
public:
    TextContent(std::string text, int line = 0) : Content(line), text(std::move(text)) {}
    void clear() override {}
    Elements& asElements() override;
    TextContent& asText() override { return *this; }
    void write(Writer& writer) const override;

    std::string text;  // trimmed
};

class Elements : public Content {
public:
    explicit Elements(int line = 0) : Content(line) {}
    // Releases the subtree without recursion, however deep it is.
    ~Elements() override { clear(); }
    void clear() override;
    Elements& asElements() override { return *this; }
    TextContent& asText() override;
    void write(Writer& writer) const override;

    int closeLine = 0;  // line of the end tag; "Missing declaration" is reported there
    std::vector<Element> children;
};

// What a node needs from the solution writer; the layout lives with the writer.
class Writer {
public:
    virtual ~Writer() = default;
    virtual void writeElement(const Element& element) = 0;
    virtual void print(const char* format, ...) __attribute__((format(printf, 2, 3))) = 0;
};

// Parses one document from the stream into root, which the caller hands in
// empty; root then holds the document's root element as its only child.
// Syntax errors stop the program with the file and line.
void parseDocument(FILE* input, Elements& root);

// Destroys a parsed document, leaving the root list ready for the next parse.
inline void destroyDocument(Elements& root) {
    root.clear();
    root.children.clear();
}

}  // namespace XML
