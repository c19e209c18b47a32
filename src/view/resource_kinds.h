#pragma once
#include <vector>

#include "problem/problem_data.h"
#include "xml/xml_tree.h"

// The problem file sorts its resources under Classrooms, Teachers, Classes and
// Special; the problem model keeps one table, so the view reads the sorting
// from the parsed document itself.
namespace View {

enum class ResourceKind { classroom, teacher, schoolClass, special };

// One kind per resource of the analysed problem, read from the Resources
// element of the same document; a resource not found there counts as special.
std::vector<ResourceKind> readResourceKinds(const ProblemData& problem, XML::Elements& root);

// "Classes", "Teachers", "Rooms", "Special resources".
const char* kindTitle(ResourceKind kind);
// "Class", "Teacher", "Room", "Resource".
const char* kindLabel(ResourceKind kind);

// Kinds in the order the grids are shown: classes, teachers, rooms, special.
constexpr ResourceKind shownKinds[] = {ResourceKind::schoolClass, ResourceKind::teacher,
                                       ResourceKind::classroom, ResourceKind::special};

}  // namespace View
