#include "view/resource_kinds.h"

#include <map>
#include <string>

namespace View {

namespace {

XML::Elements* childElements(XML::Elements& parent, const char* name) {
    for (XML::Element& element : parent.children)
        if (element.name == name && element.content) return &element.content->asElements();
    return nullptr;
}

const char* idOf(const XML::Element& element) {
    for (const XML::Attribute& attribute : element.attributes)
        if (attribute.name == "id") return attribute.value.c_str();
    return nullptr;
}

}  // namespace

std::vector<ResourceKind> readResourceKinds(const ProblemData& problem, XML::Elements& root) {
    std::map<std::string, ResourceKind> kindOf;
    static const std::pair<const char*, ResourceKind> sections[] = {
        {"Classrooms", ResourceKind::classroom},
        {"Teachers", ResourceKind::teacher},
        {"Classes", ResourceKind::schoolClass},
        {"Special", ResourceKind::special}};
    // The analysis has already accepted the document, so its shape is known.
    XML::Elements* timetable = childElements(root, "Timetable");
    XML::Elements* problemPart = timetable ? childElements(*timetable, "Problem") : nullptr;
    XML::Elements* resources = problemPart ? childElements(*problemPart, "Resources") : nullptr;
    if (resources) {
        for (const auto& [name, kind] : sections) {
            XML::Elements* section = childElements(*resources, name);
            if (!section) continue;
            for (const XML::Element& element : section->children)
                if (const char* id = idOf(element)) kindOf[id] = kind;
        }
    }
    std::vector<ResourceKind> kinds;
    for (const Resource& resource : problem.resources) {
        auto found = kindOf.find(resource.id);
        kinds.push_back(found == kindOf.end() ? ResourceKind::special : found->second);
    }
    return kinds;
}

const char* kindTitle(ResourceKind kind) {
    switch (kind) {
    case ResourceKind::classroom:
        return "Rooms";
    case ResourceKind::teacher:
        return "Teachers";
    case ResourceKind::schoolClass:
        return "Classes";
    case ResourceKind::special:
        break;
    }
    return "Special resources";
}

const char* kindLabel(ResourceKind kind) {
    switch (kind) {
    case ResourceKind::classroom:
        return "Room";
    case ResourceKind::teacher:
        return "Teacher";
    case ResourceKind::schoolClass:
        return "Class";
    case ResourceKind::special:
        break;
    }
    return "Resource";
}

}  // namespace View
