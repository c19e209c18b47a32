#include "deep/valid_timetable.h"

#include "deep/rule_books.h"

void makeValid(Timetable& timetable, Changes& changes, std::vector<int>& takenOut) {
    takenOut.clear();
    const RuleBooks* rules = timetable.rules();
    if (!rules) return;
    for (int b; (b = rules->toRepair(timetable)) >= 0;) {
        changes.remove(b);
        takenOut.push_back(b);
    }
    // Taking out a lesson can take away what another rule was owed; many of
    // those taken out then fit again as they are.
    for (int b : takenOut) {
        for (int t : timetable.facts.activities[b].starts) {
            if (!changes.placeIfFits(b, t, nullptr)) continue;
            if (timetable.hardBreaches() == 0) break;
            changes.undoLast();
        }
    }
}
