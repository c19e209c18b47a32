#include "xml/xml_tree.h"

#include "base/log.h"

namespace XML {

Elements& TextContent::asElements() {
    fatalErrorAt(line, "%s", "This element should content subelements, but it contents only text");
}

void TextContent::write(Writer& writer) const { writer.print("%s", text.c_str()); }

TextContent& Elements::asText() {
    fatalErrorAt(line, "%s", "This element should content only text, but it contents subelements");
}

void Elements::write(Writer& writer) const {
    for (const Element& child : children) writer.writeElement(child);
}

// The contents below this list are detached onto a work list and released one
// by one after their own children have been detached, so a deep tree never
// deepens the call stack. The child records themselves stay.
void Elements::clear() {
    std::vector<std::unique_ptr<Content>> pending;
    for (Element& child : children)
        if (child.content) pending.push_back(std::move(child.content));
    while (!pending.empty()) {
        std::unique_ptr<Content> node = std::move(pending.back());
        pending.pop_back();
        if (auto* list = dynamic_cast<Elements*>(node.get())) {
            for (Element& child : list->children)
                if (child.content) pending.push_back(std::move(child.content));
        }
    }
}

}  // namespace XML
