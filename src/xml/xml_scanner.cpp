#include "xml/xml_scanner.h"

#include <climits>
#include <cstring>

#include "base/log.h"

namespace XML {

namespace {
constexpr size_t blockSize = 64 * 1024;

bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isNameStart(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isNameChar(int c) { return isNameStart(c) || (c >= '0' && c <= '9'); }

void trimEnd(std::string& text) {
    size_t end = text.size();
    while (end > 0 && isSpace(static_cast<unsigned char>(text[end - 1]))) --end;
    text.resize(end);
}
}  // namespace

Scanner::Scanner(FILE* input) : input_(input), buffer_(blockSize) {}

bool Scanner::refill() {
    if (atEnd_) return false;
    position_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), input_);
    if (firstBlock_) {
        // Editors that save UTF-8 may put a byte order mark in front of the
        // document; it is no character of the document. fread fills the
        // block unless the input ends, so a mark is never split.
        firstBlock_ = false;
        if (end_ >= 3 && std::memcmp(buffer_.data(), "\xEF\xBB\xBF", 3) == 0) {
            position_ = 3;
            if (end_ == 3) return refill();
        }
    }
    if (end_ > 0) return true;
    if (std::ferror(input_)) {
        // The stream itself failed (a directory, a broken device): not a
        // syntax error of the document, so no framed message.
        std::fputs("input in flex scanner failed\n", stderr);
        std::fflush(stderr);
        endProgram(2);
    }
    atEnd_ = true;
    return false;
}

// Lines saturate instead of wrapping on inputs of billions of lines.
void Scanner::countLines(long long newLines) {
    line_ = newLines > INT_MAX - line_ ? INT_MAX : static_cast<int>(line_ + newLines);
}

void Scanner::illegalCharacter() { fatalErrorAt(line_, "%s", "Illegal character in input"); }

Token Scanner::next(ScanMode mode, bool keepText) {
    text_.clear();
    return mode == ScanMode::Content ? scanContent(keepText) : scanTag();
}

Token Scanner::scanContent(bool keepText) {
    for (;;) {
        int c = peek();
        if (c == endOfInput) return Token::End;
        if (c == '<') return scanAfterOpenAngle();
        // A run up to the next "<": skipped when it is white space alone,
        // otherwise one text, leading and trailing white space dropped.
        bool sawText = false;
        while ((c = peek()) != endOfInput && c != '<') {
            ++position_;
            if (c == '\n') countLines(1);
            if (isSpace(c)) {
                if (sawText && keepText) text_.push_back(static_cast<char>(c));
            } else {
                sawText = true;
                if (keepText) text_.push_back(static_cast<char>(c));
            }
        }
        if (sawText) {
            trimEnd(text_);
            return Token::Text;
        }
    }
}

Token Scanner::scanAfterOpenAngle() {
    get();  // the "<"
    int c = peek();
    if (c == '/') {
        get();
        return Token::EndTagOpen;
    }
    if (c == '?' || c == '!') {
        get();
        bool complete = c == '?' ? skipDeclaration() : skipComment();
        if (complete) return Token::Misc;
        brokenMarkup_ = true;
    }
    return Token::OpenAngle;
}

// After "<?": everything up to the first ">". The lines inside count only
// when the declaration is complete.
bool Scanner::skipDeclaration() {
    long long newLines = 0;
    for (int c = get(); c != endOfInput; c = get()) {
        if (c == '>') {
            countLines(newLines);
            return true;
        }
        if (c == '\n') ++newLines;
    }
    return false;
}

// After "<!": "--", then everything up to the first "-->". The text between
// must not end with a hyphen unless it is empty ("<!---->" is a comment,
// "<!-- x --->" is not).
bool Scanner::skipComment() {
    if (get() != '-' || get() != '-') return false;
    long long newLines = 0;
    long long length = 0;  // characters after "<!--", the current one included
    int last1 = 0, last2 = 0, last3 = 0;  // the three characters before the current one
    for (int c = get(); c != endOfInput; c = get()) {
        ++length;
        if (c == '\n') ++newLines;
        if (c == '>' && last1 == '-' && last2 == '-' && length >= 3) {
            bool textEndsInHyphen = length > 3 && last3 == '-';
            if (textEndsInHyphen) return false;
            countLines(newLines);
            return true;
        }
        last3 = last2;
        last2 = last1;
        last1 = c;
    }
    return false;
}

Token Scanner::scanTag() {
    if (brokenMarkup_) illegalCharacter();
    int c;
    while (isSpace(c = peek())) {
        ++position_;
        if (c == '\n') countLines(1);
    }
    if (c == endOfInput) return Token::End;
    if (isNameStart(c)) return scanName();
    if (c == '"') return scanValue();
    get();
    if (c == '=') return Token::Equals;
    if (c == '>') return Token::CloseAngle;
    if (c == '/' && peek() == '>') {
        get();
        return Token::EmptyClose;
    }
    illegalCharacter();
}

Token Scanner::scanName() {
    int c;
    while (isNameChar(c = peek())) {
        text_.push_back(static_cast<char>(c));
        ++position_;
    }
    return Token::Name;
}

// A double quote, anything but a double quote, a double quote. A value that
// is never closed is no token: its opening quote is an illegal character, on
// the line where it stands.
Token Scanner::scanValue() {
    get();
    long long newLines = 0;
    bool sawText = false;
    for (int c = get(); c != endOfInput; c = get()) {
        if (c == '"') {
            countLines(newLines);
            trimEnd(text_);
            return Token::Value;
        }
        if (c == '\n') ++newLines;
        if (!isSpace(c)) sawText = true;
        if (sawText) text_.push_back(static_cast<char>(c));
    }
    illegalCharacter();
}

}  // namespace XML
