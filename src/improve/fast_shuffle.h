#pragma once

class SearchSpace;

// Improves the solution the space has just stored (time_sel, solGrsel,
// myScore) in place: moves single activities to cheaper starts, choosing their
// group resources anew, pass after pass until a pass changes nothing. Never
// breaks a hard rule and never raises the score; expects myScore to be the
// judgement of the stored timetable and keeps it so.
void FastShuffle(SearchSpace& space);
