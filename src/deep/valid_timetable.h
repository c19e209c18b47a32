#pragma once
#include <vector>

#include "deep/changes.h"
#include "deep/timetable.h"

// Makes a timetable that owes lessons to a hard school rule (activities
// left out, a day short of MinPerDay, say) valid to report: takes out, one
// by one, the activities the rule books name until no hard rule is owed
// anything, then puts back each of them at the first start where it fits
// and nothing is owed again. Every change goes through changes, so that the
// caller can undo them all once the valid timetable is reported.
void makeValid(Timetable& timetable, Changes& changes, std::vector<int>& takenOut);
