// The grammar of the document reader, run as a shift-reduce automaton over an
// explicit stack of states. The grammar, with its actions in braces:
//
//   document   : miscs element miscs
//   miscs      : (empty) | MISC miscs
//   element    : startTag '>' {content mode} content '</' {tag mode} NAME '>' {content mode}
//              | startTag '/>' {content mode}
//   startTag   : '<' {tag mode} NAME {append element} attributes
//   attributes : (empty) | NAME '=' VALUE {append attribute} attributes
//   content    : TEXT {text content}
//              | {open element list} elements {close element list}
//   elements   : (empty) | elements element
//
// Each action in the middle of a rule holds a state of its own, and the
// right-recursive lists hold one state per item until their end. The stack
// keeps at most 199 states, so every open element costs 5 states (startTag,
// '>', the content-mode action, the list action, elements), every attribute
// of the start tag being read 4, and every comment or declaration of a run
// outside the root one. A state whose only action is a reduction takes it
// without reading the next token, and a state that has a reduction besides
// its shifts reduces on any other token; so a token is read only where the
// grammar needs it, in the scanner mode the preceding actions have set, and
// the line an action records is the line of the last token read.
//
// What fits: 38 levels of nesting (the document's 2 states, 5 for each of 37
// ancestors and 8 for an innermost element with content: 195; one level more
// needs 200); 48 attributes on the root (2 + 4 for '<', its action, the name
// and its action, 4 per attribute, 1 for the end of the list: 199); 197
// comments and declarations before the root (1 + 197 + 1 for the end of the
// run) and 195 after it (3 + 195 + 1). An empty-form innermost element needs
// fewer states than one with content, so it fits one level deeper.
#include <memory>
#include <new>

#include "base/log.h"
#include "xml/xml_scanner.h"
#include "xml/xml_tree.h"

namespace XML {

namespace {

// States of the automaton, named after what has just been read.
enum State {
    DocumentStart,       // document: . miscs element miscs
    MiscRead,            // miscs: MISC . miscs
    MiscsAfterMisc,      // miscs: MISC miscs .
    DocumentRead,        // accept: document . END
    Accepted,
    PrologRead,          // document: miscs . element miscs
    RootRead,            // document: miscs element . miscs
    EpilogRead,          // document: miscs element miscs .
    OpenAngleRead,       // startTag: '<' . {tag mode} NAME ...
    TagModeSet,          // startTag: '<' {..} . NAME ...
    ElementNameRead,     // startTag: '<' {..} NAME . {append element} attributes
    ElementAppended,     // startTag: ... {append element} . attributes
    AllAttributesRead,   // startTag: ... attributes .
    AttributeNameRead,   // attributes: NAME . '=' VALUE ...
    EqualsRead,          // attributes: NAME '=' . VALUE ...
    ValueRead,           // attributes: NAME '=' VALUE . {append attribute} attributes
    AttributeAppended,   // attributes: NAME '=' VALUE {..} . attributes
    LaterAttributesRead, // attributes: NAME '=' VALUE {..} attributes .
    StartTagRead,        // element: startTag . '>' ... | startTag . '/>'
    EmptyCloseRead,      // element: startTag '/>' .
    CloseAngleRead,      // element: startTag '>' . {content mode} content ...
    ContentModeSet,      // element: startTag '>' {..} . content ...
    TextRead,            // content: TEXT .
    ListOpened,          // content: {open element list} . elements
    InElementList,       // content: {..} elements . | elements: elements . element
    ChildRead,           // elements: elements element .
    ContentRead,         // element: startTag '>' {..} content . '</' ...
    EndTagOpenRead,      // element: ... '</' . {tag mode} NAME '>'
    EndTagModeSet,       // element: ... '</' {..} . NAME '>'
    EndTagNameRead,      // element: ... '</' {..} NAME . '>'
    EndTagRead,          // element: ... '</' {..} NAME '>' .
};

enum class Symbol { Document, Miscs, Element, StartTag, Attributes, Content, Elements };

// The state that follows `below` once a symbol has been recognised on it.
State stateAfter(State below, Symbol symbol) {
    switch (symbol) {
    case Symbol::Document: return DocumentRead;
    case Symbol::Miscs:
        if (below == DocumentStart) return PrologRead;
        if (below == RootRead) return EpilogRead;
        return MiscsAfterMisc;
    case Symbol::Element: return below == PrologRead ? RootRead : ChildRead;
    case Symbol::StartTag: return StartTagRead;
    case Symbol::Attributes:
        return below == ElementAppended ? AllAttributesRead : LaterAttributesRead;
    case Symbol::Content: return ContentRead;
    case Symbol::Elements: return InElementList;
    }
    return Accepted;
}

class Parser {
public:
    Parser(FILE* input, Elements& root) : scanner_(input) { openLists_.push_back(&root); }

    void run() {
        push(DocumentStart);
        while (states_[depth_ - 1] != Accepted) step();
    }

    int line() const { return scanner_.line(); }

private:
    // Room for 200 states, the last of which is never filled: a push that
    // would fill it is the overflow, so 199 states is the budget.
    static constexpr int stackSize = 200;

    void push(State state) {
        states_[depth_++] = state;
        if (depth_ >= stackSize) fatalErrorAt(line(), "%s", "parser stack overflow");
    }

    // Replaces the top `length` states by the state that follows the symbol.
    void reduce(int length, Symbol symbol) {
        depth_ -= length;
        push(stateAfter(states_[depth_ - 1], symbol));
    }

    Token lookahead(bool keepText = false) {
        if (!haveLookahead_) {
            lookahead_ = scanner_.next(mode_, keepText);
            haveLookahead_ = true;
        }
        return lookahead_;
    }

    void shift(State state) {
        haveLookahead_ = false;
        push(state);
    }

    [[noreturn]] void parseError() { fatalErrorAt(line(), "%s", "parse error"); }

    Element& newestChild() { return openLists_.back()->children.back(); }

    void step();

    Scanner scanner_;
    ScanMode mode_ = ScanMode::Content;
    Token lookahead_ = Token::End;
    bool haveLookahead_ = false;
    State states_[stackSize];
    int depth_ = 0;
    // The element lists being built; the caller's root list at the bottom.
    std::vector<Elements*> openLists_;
    std::string elementName_, attributeName_, attributeValue_, text_;
};

void Parser::step() {
    switch (states_[depth_ - 1]) {
    case DocumentStart:
    case MiscRead:
    case RootRead:
        if (lookahead() == Token::Misc) shift(MiscRead);
        else reduce(0, Symbol::Miscs);
        break;
    case MiscsAfterMisc: reduce(2, Symbol::Miscs); break;
    case EpilogRead: reduce(3, Symbol::Document); break;
    case DocumentRead:
        if (lookahead() != Token::End) parseError();
        shift(Accepted);
        break;
    case Accepted: break;
    case PrologRead:
    case InElementList:
        if (lookahead() == Token::OpenAngle) shift(OpenAngleRead);
        else if (states_[depth_ - 1] == PrologRead) parseError();
        else {
            openLists_.back()->closeLine = line();
            openLists_.pop_back();
            reduce(2, Symbol::Content);
        }
        break;
    case OpenAngleRead:
        mode_ = ScanMode::Tag;
        push(TagModeSet);
        break;
    case TagModeSet:
        if (lookahead() != Token::Name) parseError();
        elementName_ = std::move(scanner_.text());
        shift(ElementNameRead);
        break;
    case ElementNameRead: {
        Element element;
        element.line = line();
        element.name = std::move(elementName_);
        openLists_.back()->children.push_back(std::move(element));
        push(ElementAppended);
        break;
    }
    case ElementAppended:
    case AttributeAppended:
        if (lookahead() == Token::Name) {
            attributeName_ = std::move(scanner_.text());
            shift(AttributeNameRead);
        } else {
            reduce(0, Symbol::Attributes);
        }
        break;
    case AllAttributesRead: reduce(5, Symbol::StartTag); break;
    case LaterAttributesRead: reduce(5, Symbol::Attributes); break;
    case AttributeNameRead:
        if (lookahead() != Token::Equals) parseError();
        shift(EqualsRead);
        break;
    case EqualsRead:
        if (lookahead() != Token::Value) parseError();
        attributeValue_ = std::move(scanner_.text());
        shift(ValueRead);
        break;
    case ValueRead:
        newestChild().attributes.push_back(
            Attribute{line(), std::move(attributeName_), std::move(attributeValue_)});
        push(AttributeAppended);
        break;
    case StartTagRead:
        if (lookahead() == Token::CloseAngle) shift(CloseAngleRead);
        else if (lookahead_ == Token::EmptyClose) shift(EmptyCloseRead);
        else parseError();
        break;
    case EmptyCloseRead:
        mode_ = ScanMode::Content;
        reduce(2, Symbol::Element);
        break;
    case CloseAngleRead:
        mode_ = ScanMode::Content;
        push(ContentModeSet);
        break;
    case ContentModeSet:
        if (lookahead(true) == Token::Text) {
            text_ = std::move(scanner_.text());
            shift(TextRead);
        } else {
            auto list = std::make_unique<Elements>(line());
            Elements* opened = list.get();
            newestChild().content = std::move(list);
            openLists_.push_back(opened);
            push(ListOpened);
        }
        break;
    case TextRead:
        newestChild().content = std::make_unique<TextContent>(std::move(text_), line());
        reduce(1, Symbol::Content);
        break;
    case ListOpened: reduce(0, Symbol::Elements); break;
    case ChildRead: reduce(2, Symbol::Elements); break;
    case ContentRead:
        if (lookahead() != Token::EndTagOpen) parseError();
        shift(EndTagOpenRead);
        break;
    case EndTagOpenRead:
        mode_ = ScanMode::Tag;
        push(EndTagModeSet);
        break;
    case EndTagModeSet:
        if (lookahead() != Token::Name) parseError();
        shift(EndTagNameRead);
        break;
    case EndTagNameRead:
        if (lookahead() != Token::CloseAngle) parseError();
        shift(EndTagRead);
        break;
    case EndTagRead:
        mode_ = ScanMode::Content;
        reduce(8, Symbol::Element);
        break;
    }
}

}  // namespace

void parseDocument(FILE* input, Elements& root) {
    Parser parser(input, root);
    try {
        parser.run();
    } catch (const std::bad_alloc&) {
        // A text or value larger than the memory left: refuse the document
        // like any other unreadable input instead of ending without a word.
        fatalErrorAt(parser.line(), "%s", "Not enough memory to read the input");
    }
}

}  // namespace XML
