// Steps of the search driver that whole searches do not show: the order in
// which a re-solve decides activities, and the time limit.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/run_settings.h"
#include "search/search_fixture.h"
#include "search/search_run.h"
#include "search/time_limit.h"

using namespace search_testing;
using namespace space_testing;

namespace {

// T is shared by A0, A2 and A4; U by A1 and A3; A5 needs only a room.
std::string sharedTeachers() {
    return problemText(2, 4, resource("T") + resource("U") + resource("R1") + resource("R2"),
                       activity("A0", 1, {"T"}) + activity("A1", 1, {"U"}) +
                           activity("A2", 1, {"T"}, {{"R1", "R2"}}) + activity("A3", 2, {"U"}) +
                           activity("A4", 1, {"T"}) + activity("A5", 1, {}, {{"R1", "R2"}}));
}

TEST(FocusActivity, PutsTheActivityFirstAndItsFriendsNext) {
    Built built(sharedTeachers());
    std::vector<int>& waiting = built.space->waiting;
    std::vector<int> sorted = waiting;
    std::sort(sorted.begin(), sorted.end());
    for (int a : {0, 2, 4}) {
        SCOPED_TRACE("activity " + std::to_string(a));
        focusActivity(*built.space, a, built.problem.activities[a].conflicts);
        EXPECT_EQ(waiting[0], a);
        std::vector<int> friends(waiting.begin() + 1, waiting.begin() + 3);
        std::sort(friends.begin(), friends.end());
        std::vector<int> expected;
        for (int other : {0, 2, 4})
            if (other != a) expected.push_back(other);
        EXPECT_EQ(friends, expected);
        std::vector<int> after = waiting;
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, sorted);
    }
}

TEST(FocusActivity, ActivityWithoutDirectResourcesLeavesWaitingAsItIs) {
    Built built(sharedTeachers());
    ASSERT_TRUE(built.problem.activities[5].conflicts.empty());
    const std::vector<int> before = built.space->waiting;
    focusActivity(*built.space, 5, built.problem.activities[5].conflicts);
    EXPECT_EQ(built.space->waiting, before);
}

TEST(TimeLimit, CountsFromItsMakingAndNeverWhenNegative) {
    QuickSearch settings;
    EXPECT_FALSE(TimeLimit(-1).reached());
    {
        LogCapture log(10);
        EXPECT_TRUE(TimeLimit(0).reached());
        EXPECT_EQ(log.text(), "Time limit exceeded, ending...\n");
    }
    EXPECT_FALSE(TimeLimit(2147483647).reached());  // the sum must not overflow into the past
}

}  // namespace
