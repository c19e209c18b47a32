#pragma once
#include "problem/problem_data.h"

// Whether two placed activities break a dependence. After the analysis only
// three operators remain: before (the second starts once the first has
// ended), closely before (the same, and on the same day) and concurrently
// (the second lies within the first). The judgement defines the rule; the
// running scores of the search use the same function so that they agree.
inline bool isAnalysedOperator(DependenceOp op) {
    return op == DependenceOp::before || op == DependenceOp::closelyBefore || op == DependenceOp::concurrently;
}

inline bool dependenceBroken(DependenceOp op, long long firstStart, long long firstLength,
                             long long secondStart, long long secondLength, int slotsPerDay) {
    switch (op) {
    case DependenceOp::before:
        return secondStart < firstStart + firstLength;
    case DependenceOp::closelyBefore:
        return secondStart < firstStart + firstLength ||
               firstStart / slotsPerDay != secondStart / slotsPerDay;
    default:  // DependenceOp::concurrently
        return secondStart < firstStart || firstStart + firstLength < secondStart + secondLength;
    }
}
