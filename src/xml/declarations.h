#pragma once
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_tree.h"

// Every reader states the attributes and child elements it accepts in a small
// table; these routines check an element against its table, report every
// deviation with its line and call the handlers in document order.
namespace XML {

// How often a declared name may occur.
enum Occurrence { Optional = 0, Required = 1, Any = 2 };

using AttributeHandler = std::function<void(const Attribute& attribute)>;
using ElementHandler =
    std::function<void(Content* content, const std::vector<Attribute>& attributes, int line)>;

// One row of a declaration table. A null handler accepts the name and ignores
// its content.
template <class Handler>
struct DeclarationRow {
    std::string_view name;
    Handler handler;
    int kind;  // Occurrence
};
using AttributeDeclaration = DeclarationRow<AttributeHandler>;
using Declaration = DeclarationRow<ElementHandler>;

void checkAttributes(const std::vector<Attribute>& attributes,
                     std::span<const AttributeDeclaration> table, int line);
void checkNoAttributes(const std::vector<Attribute>& attributes);
void checkElements(Content* content, std::span<const Declaration> table, int line);

// The text of a text-only element: refuses attributes (unless
// attributesChecked), stops with "Empty element" on the empty form and reads
// the content with asText.
const std::string& elementText(Content* content, const std::vector<Attribute>& attributes,
                               int line, bool attributesChecked = false);

// "yes" or "no", exactly; anything else stops the program.
bool yesNo(const Attribute& attribute);

// Name to table position, in table order; a repeated name stops the program
// with "The same ID used twice (%s)".
std::map<std::string, int> uniqueNameIndex(const std::vector<std::string>& names);

}  // namespace XML
