#pragma once
#include "problem/problem_data.h"

// Whether two placed activities break a dependence. After the analysis only
// three operators remain: before (the second starts once the first has
// ended), closely before (the same, and on the same day) and concurrently
// (the second lies within the first). The judgement defines the rule; the
// running scores of the search use the same function so that they agree.
inline bool isAnalysedOperator(int op) {
    return op == opBefore || op == opCloselyBefore || op == opConcurrently;
}

inline bool dependenceBroken(int op, long long firstStart, long long firstLength,
                             long long secondStart, long long secondLength, int slotsPerDay) {
    switch (op) {
    case opBefore:
        return secondStart < firstStart + firstLength;
    case opCloselyBefore:
        return secondStart < firstStart + firstLength ||
               firstStart / slotsPerDay != secondStart / slotsPerDay;
    default:  // opConcurrently
        return secondStart < firstStart || firstStart + firstLength < secondStart + secondLength;
    }
}
