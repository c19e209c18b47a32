#include "output/xml_writer.h"

#include <cstdarg>

#include "output/solution_writer.h"

void LayoutWriter::print(const char* format, ...) {
    if (atLineStart) {
        for (int i = 0; i < indentation; ++i) std::fputc(' ', stream);
        atLineStart = false;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(stream, format, args);
    va_end(args);
}

void LayoutWriter::endLine() {
    if (!atLineStart) std::fputc('\n', stream);
    atLineStart = true;
}

// Top-level elements stand at column 0, every nesting level 2 blanks further;
// an element with element children closes on a line of its own.
void LayoutWriter::writeElement(const XML::Element& element) {
    const bool top = topLevel;
    if (top)
        topLevel = false;
    else
        indentation += 2;
    endLine();
    print("<%s", element.name.c_str());
    for (const XML::Attribute& attribute : element.attributes)
        print(" %s=\"%s\"", attribute.name.c_str(), attribute.value.c_str());
    if (!element.content) {
        print("/>");
    } else {
        print(">");
        element.content->write(*this);
        print("</%s>", element.name.c_str());
    }
    endLine();
    if (top)
        topLevel = true;
    else
        indentation -= 2;
}

void writeDocument(FILE* stream, const XML::Elements& document) {
    LayoutWriter writer(stream);
    std::fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", stream);
    writer.endLine();
    document.write(writer);
}
