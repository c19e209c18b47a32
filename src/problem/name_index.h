#pragma once
#include <map>
#include <string>
#include <vector>

#include "xml/declarations.h"

// Name to table position for the activities or the resources, in table
// order; a repeated name stops with "The same ID used twice (%s)".
template <class Table>
std::map<std::string, int> nameIndex(const Table& table) {
    std::vector<std::string> names;
    names.reserve(table.size());
    for (const auto& record : table) names.push_back(record.id);
    return XML::uniqueNameIndex(names);
}
