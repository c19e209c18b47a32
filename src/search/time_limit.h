#pragma once

// Seconds of the C library clock at which the current search began; the time
// limit of -l counts from here.
extern long long searchStart;

// Whole seconds of the C library clock.
long long currentSeconds();

// True once timeLimit seconds have passed since searchStart (never when
// timeLimit is negative); then also logs "Time limit exceeded, ending...".
bool timeLimitReached();
