#pragma once
#include <string>

// Names come from the problem file and may hold any character; every place
// that puts one into a page or a table goes through these.
namespace View {

// Text safe inside HTML elements and double-quoted attributes.
std::string htmlEscape(const std::string& text);

// One CSV field: quoted, with quotes doubled, when it holds a comma, a quote
// or a line break; as it is otherwise.
std::string csvField(const std::string& text);

}  // namespace View
