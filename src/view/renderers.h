#pragma once
#include <string>

#include "view/checked_timetable.h"
#include "view/timetable_layout.h"

// The three forms of a checked timetable. Each returns the whole text.
namespace View {

// One self-contained page: the score and its terms (or, for a timetable that
// breaks hard rules, the list of those rules), a table of contents, one
// weekly grid per class, teacher, room and special resource with the reasons
// of its marks printed below it, every soft penalty, and the unassigned
// lessons with what blocks them.
std::string renderHtml(const CheckedTimetable& checked, const TimetableLayout& layout);

// The same grids as plain text, within textWidth columns while the days fit
// (cells are at least 8 columns wide); names are wrapped, never cut.
constexpr int textWidth = 100;
std::string renderText(const CheckedTimetable& checked, const TimetableLayout& layout);

// One row per lesson placed on the grid after a header row: its day and
// period (numbers from 1, or the names given), the file's slot number, its
// length, weeks and resources. Lines end in CR LF.
std::string renderCsv(const TimetableLayout& layout);

}  // namespace View
