// The running score of the deep search against the judgement, on generated
// problems with every rule: after each placing step, after each polishing
// move kept or undone, and after a timetable is made again from its starts.
#include <gtest/gtest.h>

#include "deep/placer.h"
#include "deep/polisher.h"
#include "deep_fixture.h"
#include "support/random_problem.h"

using deep_testing::judge;
using deep_testing::Loaded;
using deep_testing::saved;

TEST(DeepScore, EqualsTheJudgementAfterEveryStepOfPlacingAndPolishing) {
    int placed = 0, penalised = 0;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE("problem seed " + std::to_string(seed));
        Loaded loaded(testing_support::randomProblem(seed));
        Timetable timetable(loaded.facts);
        Random random(seed);
        Placer placer(timetable, random);
        for (int step = 0; step < 60 && placer.hasWork(); ++step) {
            placer.step();
            ASSERT_EQ(timetable.score(), judge(loaded.problem, timetable)) << "placing step " << step;
        }
        Polisher polisher(timetable, random, 20);
        for (int step = 0; step < 300; ++step) {
            polisher.step();
            ASSERT_EQ(timetable.score(), judge(loaded.problem, timetable)) << "polishing step " << step;
        }
        if (timetable.unassignedCount() == 0) ++placed;
        if (timetable.penalties() > 0) ++penalised;

        // Made again from its starts and members, the timetable is the same.
        const deep_testing::Saved before = saved(timetable);
        Timetable again(loaded.facts);
        again.restore(before.starts, before.members);
        EXPECT_EQ(saved(again), before);
        // And so it is read from its own solution entries.
        Timetable read(loaded.facts);
        timetable.writeTo(loaded.problem.solution);
        read.readFrom(loaded.problem.solution);
        EXPECT_EQ(saved(read), before);
    }
    // The problems are tight enough to leave penalties and loose enough to be
    // placed whole, so that both ends were exercised.
    EXPECT_GT(placed, 50);
    EXPECT_GT(penalised, 50);
}

TEST(DeepScore, EveryMoveKeepsTheRulesAndUndoingItRestoresTheTimetable) {
    int made[Polisher::nbMoveKinds] = {};
    for (unsigned seed = 1; seed <= 120; ++seed) {
        SCOPED_TRACE("problem seed " + std::to_string(seed));
        Loaded loaded(testing_support::randomProblem(seed));
        Timetable timetable(loaded.facts);
        Random random(seed * 7);
        Placer placer(timetable, random);
        while (placer.hasWork() && placer.steps < 200) placer.step();
        Polisher polisher(timetable, random, 10);
        for (int attempt = 0; attempt < 200; ++attempt) {
            const auto kind = static_cast<Polisher::MoveKind>(attempt % Polisher::nbMoveKinds);
            const deep_testing::Saved before = saved(timetable);
            if (!polisher.makeMove(kind)) {
                ASSERT_EQ(saved(timetable), before) << "a move not made changed the timetable";
                continue;
            }
            ++made[kind];
            ASSERT_EQ(timetable.score(), judge(loaded.problem, timetable)) << "move kind " << kind;
            if (attempt % 3 == 0) {
                polisher.keepMove();
            } else {
                polisher.undoMove();
                ASSERT_EQ(saved(timetable), before) << "undoing move kind " << kind;
            }
        }
    }
    for (int kind = 0; kind < Polisher::nbMoveKinds; ++kind)
        EXPECT_GT(made[kind], 100) << "move kind " << kind << " was hardly ever made";
}
