// The deep search's books of the school rules against the judgement, on
// generated problems with every rule, hard and soft: after each placing
// step and polishing move the hard units and the score are the judgement's,
// every placed activity keeps the search's form of its hard rules, a complete
// timetable keeps the rules themselves, and a timetable that owes lessons to
// a rule is made valid by taking out what the books name.
#include <gtest/gtest.h>

#include "deep/changes.h"
#include "deep/placer.h"
#include "deep/polisher.h"
#include "deep/rule_books.h"
#include "deep/valid_timetable.h"
#include "deep_fixture.h"
#include "judge/school_rules.h"
#include "support/random_problem.h"

using deep_testing::judge;
using deep_testing::Loaded;

namespace {

testing_support::ProblemShape withRules() {
    testing_support::ProblemShape shape;
    shape.schoolRules = true;
    return shape;
}

long long judgedHardUnits(const ProblemData& problem, const Timetable& timetable) {
    std::vector<int> startOf(problem.activities.size());
    for (std::size_t a = 0; a < startOf.size(); ++a) startOf[a] = timetable.start(static_cast<int>(a));
    long long units = 0;
    for (const RuleBreach& breach : schoolRuleBreaches(problem, startOf))
        if (breach.hard) units += breach.units;
    return units;
}

// The books against the judgement, and the search's own form of the rules.
void expectAgreement(Loaded& loaded, const Timetable& timetable, const char* when) {
    SCOPED_TRACE(when);
    const long long hard = judgedHardUnits(loaded.problem, timetable);
    ASSERT_EQ(timetable.hardBreaches(), hard);
    if (hard == 0) {
        ASSERT_EQ(timetable.score(), judge(loaded.problem, timetable));
    }
    if (timetable.unassignedCount() == 0) {
        ASSERT_EQ(hard, 0) << "a complete timetable breaks a rule";
    }
    if (const RuleBooks* rules = timetable.rules()) {
        for (int a = 0; a < loaded.facts.nbActivities; ++a) {
            if (timetable.placed(a)) {
                ASSERT_TRUE(rules->hold(timetable, a)) << "activity " << a;
            }
        }
    }
}

}  // namespace

TEST(DeepRules, BooksEqualTheJudgementThroughPlacingPolishingAndRepair) {
    int complete = 0, owing = 0, penalised = 0;
    for (unsigned seed = 1; seed <= 250; ++seed) {
        SCOPED_TRACE("problem seed " + std::to_string(seed));
        Loaded loaded(testing_support::randomProblem(seed, withRules()));
        Timetable timetable(loaded.facts);
        Random random(seed);
        Placer placer(timetable, random);
        for (int step = 0; step < 80 && placer.hasWork(); ++step) {
            placer.step();
            expectAgreement(loaded, timetable, "placing");
            if (timetable.hardBreaches() > 0) ++owing;
        }
        Polisher polisher(timetable, random, 20);
        for (int step = 0; step < 300; ++step) {
            polisher.step();
            expectAgreement(loaded, timetable, "polishing");
        }
        if (timetable.unassignedCount() == 0) ++complete;
        if (timetable.hardBreaches() == 0 && timetable.penalties() > 0) ++penalised;
        // Leave some out, then take out what the books name until nothing is owed.
        Changes changes(timetable);
        for (int a = 0; a < loaded.facts.nbActivities; a += 3)
            if (timetable.placed(a)) changes.remove(a);
        changes.keep();
        const deep_testing::Saved owing = deep_testing::saved(timetable);
        std::vector<int> takenOut;
        makeValid(timetable, changes, takenOut);
        expectAgreement(loaded, timetable, "repair");
        ASSERT_EQ(timetable.hardBreaches(), 0);
        // And all of it can be undone.
        changes.undo();
        ASSERT_EQ(deep_testing::saved(timetable), owing);
    }
    // Enough of every case was met.
    EXPECT_GT(complete, 80);
    EXPECT_GT(owing, 30);
    EXPECT_GT(penalised, 80);
}
