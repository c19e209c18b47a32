#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/log.h"
#include "xml/xml_tree.h"

// Parses a document held in a string, through a temporary file as the
// program reads its real inputs.
inline void parseString(const std::string& document, XML::Elements& root) {
    FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    std::fwrite(document.data(), 1, document.size(), stream);
    std::rewind(stream);
    currentFile.clear();
    XML::parseDocument(stream, root);
    std::fclose(stream);
}

// The whole framed error text for a message at a line, as a regular
// expression for death tests (no file is named: the tests parse streams that
// were not opened through openFile).
inline std::string framedError(int line, const std::string& message) {
    std::string text = "**************** ERROR ******************\nline " + std::to_string(line) +
                       ": " + message + "\n*****************************************\n";
    std::string pattern = "^";
    for (char c : text) {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) pattern += '\\';
        pattern += c;
    }
    return pattern + "$";
}

// Runs the parse of a document that must fail, in a child process.
#define EXPECT_PARSE_FAILS(document, line, message)                      \
    EXPECT_EXIT(                                                         \
        {                                                                \
            XML::Elements root;                                          \
            parseString(document, root);                                 \
        },                                                               \
        ::testing::ExitedWithCode(1), framedError(line, message))
