#pragma once
#include <cstdio>
#include <string>
#include <vector>

// The scanner of the document reader. It has two modes, chosen by the parser
// for every token: content mode between tags and tag mode inside them. It
// reads the stream in blocks, so input of any size passes through a buffer of
// fixed size; only the texts, names and values the parser keeps are stored.
namespace XML {

enum class Token {
    End,         // end of the input
    OpenAngle,   // "<" of a start tag
    EndTagOpen,  // "</"
    Text,        // a run up to the next "<" that is not white space alone
    Misc,        // a comment or a declaration
    Name,
    Equals,
    CloseAngle,  // ">"
    EmptyClose,  // "/>"
    Value,       // a double-quoted attribute value
};

enum class ScanMode { Content, Tag };

class Scanner {
public:
    explicit Scanner(FILE* input);

    // The next token in the given mode. Names and values are always kept in
    // text(), trimmed; a text only when keepText is set (a text the parser
    // cannot use is an error anyway, and may be huge).
    Token next(ScanMode mode, bool keepText);

    std::string& text() { return text_; }
    // The line of the last character consumed, counting from 1.
    int line() const { return line_; }

private:
    static constexpr int endOfInput = -1;

    int peek() {
        if (position_ == end_ && !refill()) return endOfInput;
        return static_cast<unsigned char>(buffer_[position_]);
    }
    // Consumes one character and returns it, or endOfInput.
    int get() {
        int c = peek();
        if (c != endOfInput) ++position_;
        return c;
    }
    bool refill();
    void countLines(long long newLines);

    Token scanContent(bool keepText);
    Token scanTag();
    Token scanAfterOpenAngle();
    bool skipDeclaration();
    bool skipComment();
    Token scanName();
    Token scanValue();
    [[noreturn]] void illegalCharacter();

    FILE* input_;
    std::vector<char> buffer_;
    size_t position_ = 0;
    size_t end_ = 0;
    bool atEnd_ = false;
    bool firstBlock_ = true;  // a byte order mark is looked for only there
    int line_ = 1;
    // Set when a "<!" or "<?" turned out to be no comment or declaration: the
    // "<" was handed out as an open-angle, and the "!" or "?" after it, which
    // starts no token in tag mode, is the next character.
    bool brokenMarkup_ = false;
    std::string text_;
};

}  // namespace XML
