#pragma once
#include "problem/problem_data.h"

// Upper bound of the penalties of any timetable of the analysed problem that
// places every activity: time preferences, soft dependences, continuity (soft
// and hard) and balance. Stops counting once past limit and returns what it
// has then, so the count itself cannot overflow.
long long placedPenaltyBound(const ProblemData& problem, long long limit);

// Refuses a problem whose placed penalties could exceed an int, the type of
// every score in the program: "Scores too large (...)".
void checkScoreBound(const ProblemData& problem);
