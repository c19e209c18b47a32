#include "xml/declarations.h"

#include <vector>

#include "base/log.h"

namespace XML {

namespace {
// The first row of the table with this name, or null.
template <class Row>
const Row* findRow(std::span<const Row> table, const std::string& name, size_t& index) {
    for (index = 0; index < table.size(); ++index)
        if (table[index].name == name) return &table[index];
    return nullptr;
}

// The first required row that did not occur, or null.
template <class Row>
const Row* firstMissing(std::span<const Row> table, const std::vector<int>& counts) {
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].kind == Required && counts[i] == 0) return &table[i];
    return nullptr;
}
}  // namespace

void checkAttributes(const std::vector<Attribute>& attributes,
                     std::span<const AttributeDeclaration> table, int line) {
    std::vector<int> counts(table.size(), 0);
    for (const Attribute& attribute : attributes) {
        size_t index;
        const AttributeDeclaration* row = findRow(table, attribute.name, index);
        if (!row)
            fatalErrorAt(attribute.line, "Unexpected attribute name: \"%s\"", attribute.name.c_str());
        // An attribute is never repeated, whatever its row allows.
        if (++counts[index] == 2)
            fatalErrorAt(attribute.line, "Repeated attribute declaration \"%s\"",
                         attribute.name.c_str());
        if (row->handler) row->handler(attribute);
    }
    if (const AttributeDeclaration* missing = firstMissing(table, counts))
        fatalErrorAt(line, "Missing attribute declaration: \"%s\"",
                     std::string(missing->name).c_str());
}

void checkNoAttributes(const std::vector<Attribute>& attributes) {
    if (!attributes.empty())
        fatalErrorAt(attributes.front().line, "Unexpected attribute name: \"%s\"",
                     attributes.front().name.c_str());
}

void checkElements(Content* content, std::span<const Declaration> table, int line) {
    std::vector<int> counts(table.size(), 0);
    int missingLine = line;
    if (content) {
        Elements& list = content->asElements();
        // The handlers run in document order, before the next child is
        // looked at, so the first fault in the document is the one reported.
        for (const Element& child : list.children) {
            size_t index;
            const Declaration* row = findRow(table, child.name, index);
            if (!row) fatalErrorAt(child.line, "Unexpected name: \"%s\"", child.name.c_str());
            if (++counts[index] == 2 && row->kind != Any)
                fatalErrorAt(child.line, "Repeated declaration \"%s\"", child.name.c_str());
            if (row->handler) row->handler(child.content.get(), child.attributes, child.line);
        }
        missingLine = list.closeLine;
    }
    if (const Declaration* missing = firstMissing(table, counts))
        fatalErrorAt(missingLine, "Missing declaration: \"%s\"", std::string(missing->name).c_str());
}

const std::string& elementText(Content* content, const std::vector<Attribute>& attributes,
                               int line, bool attributesChecked) {
    if (!attributesChecked) checkNoAttributes(attributes);
    if (!content) fatalErrorAt(line, "%s", "Empty element");
    return content->asText().text;
}

bool yesNo(const Attribute& attribute) {
    if (attribute.value == "yes") return true;
    if (attribute.value == "no") return false;
    fatalErrorAt(attribute.line, "%s", "'yes' or 'no' required");
}

std::map<std::string, int> uniqueNameIndex(const std::vector<std::string>& names) {
    std::map<std::string, int> index;
    for (size_t i = 0; i < names.size(); ++i)
        if (!index.emplace(names[i], static_cast<int>(i)).second)
            fatalError("The same ID used twice (%s)", names[i].c_str());
    return index;
}

}  // namespace XML
