#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "judge/check_solution.h"
#include "random_descent.h"
#include "space_fixture.h"

using namespace space_testing;
using namespace descent_testing;

namespace {

// The space decides the activities in this order (it takes them from the end
// of waiting).
void decideInOrder(Built& built, const std::vector<std::string>& ids) {
    std::vector<int>& waiting = built.space->waiting;
    waiting.clear();
    for (auto id = ids.rbegin(); id != ids.rend(); ++id) waiting.push_back(built.activity(*id));
}

// Decides the next activity through the improving search's operations: the
// start (nbSlots leaves it unused), then the given members of its groups.
void decide(Built& built, int start, const std::vector<std::string>& members = {}) {
    SearchSpace& space = *built.space;
    space.prepareImprove();
    space.processPropagators();
    ASSERT_EQ(space.state, SpaceState::open);
    space.commitImprove(start);
    for (const std::string& member : members) {
        space.prepareImprove();
        ASSERT_EQ(space.state, SpaceState::open);
        const std::vector<int>& candidates = space.levels.back().pending.back();
        const auto at = std::find(candidates.begin(), candidates.end(), built.resource(member));
        ASSERT_NE(at, candidates.end()) << member;
        space.commitImprove(static_cast<int>(at - candidates.begin()));
    }
}

// The judgement of the space's timetable, once every activity is decided.
int judged(Built& built) {
    SearchSpace& space = *built.space;
    space.prepareImprove();
    EXPECT_EQ(space.state, SpaceState::solved);
    storeTimetable(space, built.problem);
    return checkSolution(built.problem);
}

std::string softPrefs(int score, const std::string& slots) {
    return "<TimePreferences><Soft score=\"" + std::to_string(score) + "\">" + slots +
           "</Soft></TimePreferences>";
}

TEST(PlacementTest, ResourcePreferencesOfAOneWeekActivityAreHalvedOncePerResource) {
    // slot     0 1 2 3
    // T        3 3 . .
    // R1       5 5 . .
    // A own    3 . . .    A: length 2, even week, at 0 with R1
    Built built(problemText(1, 4,
                            resource("T", softPrefs(3, "0#1")) + resource("R1", softPrefs(5, "0#1")) +
                                resource("R2"),
                            activity("A", 2, {"T"}, {{"R1", "R2"}}, week("E") + softPrefs(3, "0"))));
    decide(built, 0, {"R1"});
    // Own 3 in full, T (3 + 3) / 2, R1 (5 + 5) / 2; halving slot by slot would give 9.
    EXPECT_EQ(built.space->myScore, 3 + 3 + 5);
    EXPECT_EQ(judged(built), 11);
}

TEST(PlacementTest, ContinuityChargesTheJudgementsGapWithBreaksAndUnusedLessons) {
    // C has a break of 1 (one added slot: 7 internal slots) and continuity 4.
    // slot    0 1 2 3 4 5 6
    // even    X . . . . Y
    // odd     X . . . . Y      Z (odd week) unused
    // Gap: both weeks span 6 slots each, minus 2 lessons, minus the breaks
    // kept for the 2 lessons not on a used day, minus Z's length and break in
    // the odd week: (6 - 2 - 2) + (6 - 2 - 2 - 2) = 2, charged 4 / 2 a slot.
    Built built(problemText(1, 6, resource("C", "<Continuous score=\"4\"/><Break>1</Break>"),
                            activity("X", 1, {"C"}) + activity("Y", 1, {"C"}) +
                                activity("Z", 1, {"C"}, {}, week("O"))));
    decideInOrder(built, {"X", "Y", "Z"});
    decide(built, 0);
    EXPECT_EQ(built.space->myScore, 0);
    decide(built, 5);
    EXPECT_EQ(built.space->myScore, 4);
    decide(built, built.problem.nbSlots);
    EXPECT_EQ(built.space->myScore, unassignedCost + 4);
    EXPECT_EQ(judged(built), unassignedCost + 4);
}

TEST(PlacementTest, SoftDependenceIsChargedWhenBothActivitiesArePlaced) {
    Built built(problemText(1, 4, resource("T1") + resource("T2") + resource("T3"),
                            activity("A", 1, {"T1"}) + activity("B", 1, {"T2"}) +
                                activity("C", 1, {"T3"}),
                            dependence("A", "B", "Before", 7) + dependence("C", "A", "After", 5) +
                                dependence("C", "C", "Before", 3)));
    decideInOrder(built, {"B", "C", "A"});
    decide(built, 0);
    EXPECT_EQ(built.space->myScore, 0);
    decide(built, 3);  // C can never be before itself: listed twice for C, charged once
    EXPECT_EQ(built.space->myScore, 3);
    decide(built, 2);  // A at 2: after B (broken, 7), before C (kept)
    EXPECT_EQ(built.space->myScore, 10);
    EXPECT_EQ(judged(built), 10);
}

TEST(PlacementTest, LeavingUnusedAtTheBoundFails) {
    Built built(problemText(1, 4, resource("T"), activity("A", 1, {"T"})));
    SearchSpace& space = *built.space;
    built.records.found.score() = unassignedCost;
    space.prepareImprove();
    EXPECT_EQ(space.commitImprove(built.problem.nbSlots), 0);
    EXPECT_EQ(space.state, SpaceState::failed);
    EXPECT_EQ(space.failedVar, -1);
}

// Starts 0, 1, 3, 4 are allowed (T is unavailable at 2); 5 stands for unused.
std::vector<int> startOrder(int suggestion, bool narrow) {
    Built built(problemText(1, 5, resource("T", "<TimePreferences><Hard>2</Hard></TimePreferences>"),
                            activity("A", 1, {"T"})));
    SearchSpace& space = *built.space;
    built.records.suggestion.start()[0] = suggestion;
    built.records.narrowChoices = narrow;
    EXPECT_EQ(space.prepareImprove(), 5);
    std::vector<int> order;
    int choice = -1;
    for (int i = 0; i < 5; ++i) {
        space.processPropagators();
        const JournalMark mark = space.takeMark();
        choice = space.commitImprove(choice);
        order.push_back(space.used[0] ? space.time[0].min : -1);
        space.goBack(mark);
    }
    return order;
}

TEST(PlacementTest, StartAlternativesBeginWithTheSuggestion) {
    EXPECT_EQ(startOrder(-1, false), (std::vector<int>{-1, 0, 1, 3, 4}));
    EXPECT_EQ(startOrder(3, false), (std::vector<int>{3, 4, -1, 0, 1}));
    EXPECT_EQ(startOrder(3, true), (std::vector<int>{3, -1, 4, 0, 1}));
    EXPECT_EQ(startOrder(-1, true), (std::vector<int>{-1, 1, 3, 4, 0}));
}

TEST(PlacementTest, CheapestStartIsTakenEvenWhenEveryStartCostsOverOneBillion) {
    const std::string prefs = "<TimePreferences><Soft score=\"1100000000\">0#4</Soft>"
                              "<Soft score=\"5\">0#2</Soft><Soft score=\"5\">4</Soft></TimePreferences>";
    Built built(problemText(1, 5, resource("T"), activity("A", 1, {"T"}, {}, week("A") + prefs)));
    SearchSpace& space = *built.space;
    EXPECT_EQ(space.prepareFirst(), 2);
    EXPECT_EQ(space.levels.back().start, 3);
    space.commitFirst(0);
    EXPECT_EQ(space.myScore, 1100000000);
    EXPECT_EQ(judged(built), 1100000000);
}

// A placed timetable fits an int (the analysis makes sure of that), but an
// unassigned activity on top of it may not.
TEST(PlacementDeathTest, RunningScoreBeyondAnIntStopsTheRun) {
    const std::string prefs = "<TimePreferences><Soft score=\"2147000000\">0#3</Soft></TimePreferences>";
    Built built(problemText(1, 4, resource("T1") + resource("T2"),
                            activity("A", 1, {"T1"}, {}, week("A") + prefs) + activity("B", 1, {"T2"})));
    decideInOrder(built, {"B", "A"});
    decide(built, built.problem.nbSlots);
    EXPECT_EXIT(decide(built, 0), ::testing::ExitedWithCode(1),
                "Score too large to count \\(time preferences\\)");
}

TEST(PlacementTest, TiedStartsAreDrawnAgainAlikeAfterGoingBack) {
    Built built(problemText(2, 6, resource("T"),
                            activity("A", 1, {"T"}) + activity("B", 1, {"T"}) + activity("C", 2, {"T"})));
    SearchSpace& space = *built.space;
    for (int step = 0; step < 3; ++step) {
        space.processPropagators();
        const JournalMark mark = space.takeMark();
        space.prepareFirst();
        const int first = space.levels.back().start;
        const int seed = space.randseed;
        space.goBack(mark);
        EXPECT_EQ(space.randseed, mark.randseed);
        space.prepareFirst();
        EXPECT_EQ(space.levels.back().start, first);
        EXPECT_EQ(space.randseed, seed);
        space.commitFirst(0);
        ASSERT_EQ(space.state, SpaceState::open);
    }
}

TEST(PlacementTest, GroupCandidatesAreTheFreeMembersWithTheSuggestionFirst) {
    const std::vector<std::vector<std::string>> rooms = {{"R1", "R2", "R3"}};
    // Z prefers slot 0, so the first approach puts it there.
    Built built(problemText(1, 4,
                            resource("T1") + resource("T2") + resource("T3") + resource("R1") +
                                resource("R2") + resource("R3"),
                            activity("X", 1, {"T1"}, rooms, week("O")) + activity("Y", 1, {"T2"}, rooms, week("E")) +
                                activity("Z", 1, {"T3"}, rooms, week("A") + softPrefs(1, "1#3"))));
    SearchSpace& space = *built.space;
    const int y = built.activity("Y");
    built.records.suggestion.grsel()[built.problem.activities[y].grsel] = built.resource("R3");
    decideInOrder(built, {"X", "Y", "Z"});
    decide(built, 0, {"R1"});
    // R1 is taken in the odd week only: the even-week Y may still have it.
    space.prepareImprove();
    space.commitImprove(0);
    EXPECT_EQ(space.prepareImprove(), 3);
    EXPECT_EQ(space.levels.back().pending.back(),
              (std::vector<int>{built.resource("R3"), built.resource("R2"), built.resource("R1")}));
    space.commitImprove(2);  // R1: now taken in both weeks
    // The first approach takes the first free member.
    EXPECT_EQ(space.prepareFirst(), 2);
    EXPECT_EQ(space.levels.back().start, 0);
    space.commitFirst(0);
    ASSERT_EQ(space.state, SpaceState::open);
    const int z = built.activity("Z");
    EXPECT_EQ(space.grsel[built.problem.activities[z].grsel], built.resource("R2"));
    EXPECT_EQ(judged(built), 0);
}

// The driver's first approach: each activity at its computed start with the
// first free members, or unused when that fails.
bool firstApproach(SearchSpace& space) {
    while (true) {
        space.prepareFirst();
        space.processPropagators();
        if (space.state != SpaceState::open) return space.state == SpaceState::solved;
        const JournalMark mark = space.takeMark();
        space.commitFirst(0);
        space.processPropagators();
        if (space.state == SpaceState::failed) {
            space.goBack(mark);
            space.commitFirst(1);
        }
    }
}

// For random complete timetables of small problems with every feature, the
// running score equals the judgement of the same timetable.
TEST(PlacementPropertyTest, RunningScoreEqualsTheJudgement) {
    FatalErrorsThrow fatalErrorsThrow;
    int checked = 0;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        reportSeedOnAbort(seed);
        std::mt19937 random(seed);
        const std::string text = testing_support::randomProblem(random);
        std::unique_ptr<Built> built;
        try {
            built = std::make_unique<Built>(text, seed);
        } catch (const std::runtime_error&) {
            continue;  // an activity without any start: the problem is refused
        }
        SearchSpace& space = *built->space;
        space.processPropagators();
        if (space.state != SpaceState::open) continue;
        const JournalMark root = space.takeMark();
        for (unsigned descent = 0; descent < 4; ++descent) {
            RandomDescent walk(seed * 16 + descent);
            const bool complete = descent == 0 ? firstApproach(space) : walk.run(space);
            if (complete) {
                ASSERT_EQ(space.state, SpaceState::solved);
                storeTimetable(space, built->problem);
                int judgement = 0;
                ASSERT_NO_THROW(judgement = checkSolution(built->problem)) << text;
                EXPECT_EQ(space.myScore, judgement) << text;
                ++checked;
            }
            space.goBack(root);
        }
    }
    EXPECT_GT(checked, 400);
}

// Without preferences and dependences a placement costs what the balanced
// and continuity rules charge; the first approach's start is one of the
// cheapest placements.
TEST(PlacementPropertyTest, SuggestedStartIsACheapestPlacement) {
    FatalErrorsThrow fatalErrorsThrow;
    int decisions = 0;
    for (unsigned seed = 1; seed <= 120; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        reportSeedOnAbort(seed);
        std::mt19937 random(seed);
        std::unique_ptr<Built> built;
        try {
            built = std::make_unique<Built>(testing_support::randomProblem(random, {.preferences = false, .maxDependences = 0}), seed);
        } catch (const std::runtime_error&) {
            continue;
        }
        SearchSpace& space = *built->space;
        while (true) {
            space.prepareFirst();
            space.processPropagators();
            if (space.state != SpaceState::open) break;
            const int a = space.levels.back().activity;
            const int before = space.myScore;
            int cheapest = INT_MAX, suggestedCost = INT_MAX;
            for (int x = space.time[a].nextAllowed(0); x >= 0; x = space.time[a].nextAllowed(x + 1)) {
                const JournalMark mark = space.takeMark();
                try {
                    space.placeActivity(x);
                } catch (const SpaceFailure&) {
                    // A start that empties another domain still shows its charges.
                }
                const int cost = space.myScore - before;
                space.goBack(mark);
                cheapest = std::min(cheapest, cost);
                if (x == space.levels.back().start) suggestedCost = cost;
            }
            EXPECT_EQ(suggestedCost, cheapest) << "activity " << a;
            ++decisions;
            const JournalMark mark = space.takeMark();
            space.commitFirst(0);
            space.processPropagators();
            if (space.state == SpaceState::failed) {
                space.goBack(mark);
                space.commitFirst(1);
            }
        }
    }
    EXPECT_GT(decisions, 400);
}

}  // namespace
