#pragma once
#include "problem/problem_data.h"

// Turning the read form of time preferences into the per-slot form the rest of
// the program uses, and combining an activity's preferences with those of its
// resources.

// The file grid and the slots added at the end of every day.
struct SlotGrid {
    int nbSlots;      // file numbering
    int slotsPerDay;  // file numbering
    int addedSlots;
};

// Prepares preferences read from the file: soft becomes one summed cost per
// internal slot, unavail the sorted unavailable internal slots (the added
// slots of every day included), hardMode hard. A slot outside the grid stops with
// "Timeslot number out of range (%d)". The owner ("resource" or "activity",
// index, name) names the culprit when the summed costs would overflow.
void prepareTimePrefs(TimePrefs& prefs, const SlotGrid& grid, const char* ownerKind, int owner,
                      const char* ownerName);

// Adds a resource's prepared preferences to an activity's: the union of the
// unavailable slots, and the soft costs, halved when halve is set.
void mergeTimePrefs(TimePrefs& activityPrefs, const TimePrefs& resourcePrefs, bool halve,
                    int activity, const char* activityName);

// startSoft[j] = the soft costs of slots j .. j + length - 1; the last
// length - 1 entries, where the activity cannot start, are 0.
void computeStartSoft(TimePrefs& prefs, int length, int activity, const char* activityName);
