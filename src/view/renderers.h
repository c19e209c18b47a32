#pragma once
#include <string>

#include "view/checked_timetable.h"
#include "view/timetable_layout.h"

// The three forms of a checked timetable. Each returns the whole text.
namespace View {

// One self-contained page: the score and its terms, a table of contents, one
// weekly grid per class, teacher, room and special resource, and the
// unassigned lessons with what blocks them.
std::string renderHtml(const CheckedTimetable& checked, const TimetableLayout& layout);

// The same grids as plain text, no line longer than textWidth.
constexpr int textWidth = 100;
std::string renderText(const CheckedTimetable& checked, const TimetableLayout& layout);

// One row per assigned lesson after a header row; lines end in CR LF.
std::string renderCsv(const TimetableLayout& layout);

// "Day 1", "Day 2", ...: days are counted from 1 for people; slots keep the
// file's numbering from 0.
std::string dayTitle(int day);

}  // namespace View
