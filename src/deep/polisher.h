#pragma once
#include <vector>

#include "deep/changes.h"
#include "deep/random.h"
#include "deep/timetable.h"

// Lowers the penalties of a timetable by late acceptance: a move is kept
// when the timetable it gives scores no worse than the current one, or no
// worse than the score held at the same place of a history a fixed number
// of moves long (each place keeps the lowest score it has seen). Every move
// keeps the hard rules.
class Polisher {
public:
    Polisher(Timetable& timetable, Random& random, int historyLength);

    // Tries one move.
    void step();
    // Begins the memory of scores anew from the current timetable.
    void restart();

    enum MoveKind { relocateMove, swapMove, memberMove, kempeMove, nbMoveKinds };
    // Makes one move of the kind, left pending until kept or undone; false
    // (and nothing pending) when no such move could be made.
    bool makeMove(MoveKind kind);
    void keepMove() { changes.keep(); }
    void undoMove() { changes.undo(); }

    struct MoveStatistics {
        long long tried = 0, feasible = 0, accepted = 0, improving = 0;
    };
    MoveStatistics statistics[nbMoveKinds];

private:
    bool relocate();
    bool swap();
    bool changeMember();
    bool kempeChain();
    bool joinChain(int x, int target, int length);
    void addToChain(int x, int start);
    int randomPlaced();
    // A placed activity, more often one that pays a penalty.
    int pickActivity();

    Timetable& timetable;
    const Facts& facts;
    Random& random;
    Changes changes;
    std::vector<long long> history;
    std::size_t historyAt = 0;
    std::vector<int> moving;   // the activities a move moves
    std::vector<int> targets;  // the start each of them moves to
    std::vector<int> members;  // the members a change of member asks for
    // The Kempe chain being built: its activities and the start each had.
    std::vector<int> chain;
    std::vector<int> chainStart;
    std::vector<int> inChain;  // stamp per activity
    int chainStamp = 0;
};
