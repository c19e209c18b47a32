#pragma once

class SearchSpace;
struct ShuffleTables;

// Improves the solution the space has just stored (time_sel, solGrsel,
// myScore) in place: moves single activities to cheaper starts, choosing their
// group resources anew, pass after pass until a pass changes nothing. Never
// breaks a hard rule and never raises the score; expects myScore to be the
// judgement of the stored timetable and keeps it so.
// The tables are working space only; a search passes the same ones to all
// its shuffles so that later shuffles allocate nothing.
void FastShuffle(SearchSpace& space, ShuffleTables& tables);
// The same with tables of its own.
void FastShuffle(SearchSpace& space);
