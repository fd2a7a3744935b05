#include "settings/dialog_placement.h"

#include <gtest/gtest.h>

namespace {

TEST(CenteredPosition, OverTheOwnerAndNeverNegative)
{
    struct placement_case {
        screen_rect owner;
        screen_rect dialog;
        int32_t x, y;
    } cases[] = {
        { { 100, 100, 740, 580 }, { 0, 0, 380, 180 }, 230, 250 },
        { { 100, 100, 740, 580 }, { 500, 500, 880, 680 }, 230, 250 },   // the dialog's own place does not matter
        { { 0, 0, 101, 51 }, { 0, 0, 50, 20 }, 25, 15 },                // odd halves truncate
        { { 10, 5, 60, 45 }, { 0, 0, 380, 180 }, 0, 0 },                // smaller owner near the corner
        { { 300, 10, 330, 40 }, { 0, 0, 380, 180 }, 125, 0 },           // only y clamped
        { { -500, -400, -100, -100 }, { 0, 0, 100, 100 }, 0, 0 },       // owner off screen
        { { 0, 0, 99, 99 }, { 0, 0, 100, 100 }, 0, 0 },                 // -1/2 truncates to 0
        { { 2000, 1000, 2400, 1300 }, { 0, 0, 200, 100 }, 2100, 1100 }, // no limit right or below
    };
    for (const placement_case &c : cases) {
        screen_point point = centered_position(c.owner, c.dialog);
        EXPECT_EQ(point.x, c.x) << "owner " << c.owner.left << "," << c.owner.top;
        EXPECT_EQ(point.y, c.y) << "owner " << c.owner.left << "," << c.owner.top;
    }
}

TEST(CenteredPosition, TruncatesTowardZero)
{
    // spare -3: -1.5 truncates to -1, so 10 + -1 = 9 (flooring would give 8)
    screen_point point = centered_position({ 10, 10, 20, 20 }, { 0, 0, 13, 13 });
    EXPECT_EQ(point.x, 9);
    EXPECT_EQ(point.y, 9);
}

TEST(CenteredPosition, ExtremeRectanglesDoNotWrap)
{
    screen_point point = centered_position({ INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX },
                                           { INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN });
    EXPECT_GE(point.x, 0);
    EXPECT_GE(point.y, 0);
    point = centered_position({ INT32_MAX - 10, 0, INT32_MAX, 10 }, { 0, 0, 2, 2 });
    EXPECT_EQ(point.x, INT32_MAX - 6);
}

}
