#pragma once
#include <cstdio>

#include "xml/xml_tree.h"

// Writes a document tree in the fixed layout of solution files. One writer
// serves one document; its state starts fresh with every writeDocument.
class LayoutWriter : public XML::Writer {
public:
    explicit LayoutWriter(FILE* stream) : stream(stream) {}

    void writeElement(const XML::Element& element) override;
    // Writes the pending indentation, then the formatted text.
    __attribute__((format(printf, 2, 3))) void print(const char* format, ...) override;
    // Ends the current line; a second call in a row writes nothing.
    void endLine();

private:
    FILE* stream;
    int indentation = 0;      // blanks in front of the next line
    bool atLineStart = false; // a line has ended and its indentation is still due
    bool topLevel = true;     // the next element is a top-level element
};
