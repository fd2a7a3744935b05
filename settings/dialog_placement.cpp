#include "settings/dialog_placement.h"

static int32_t centered_start(int32_t owner_start, int32_t owner_end,
                              int32_t dialog_start, int32_t dialog_end)
{
    // 64-bit sums: rectangles at the ends of the 32-bit range must not wrap.
    int64_t spare = ((int64_t)owner_end - owner_start) - ((int64_t)dialog_end - dialog_start);
    int64_t start = owner_start + spare / 2;
    if (start < 0)
        return 0;
    if (start > INT32_MAX)
        return INT32_MAX;
    return (int32_t)start;
}

screen_point centered_position(screen_rect owner, screen_rect dialog)
{
    screen_point point;
    point.x = centered_start(owner.left, owner.right, dialog.left, dialog.right);
    point.y = centered_start(owner.top, owner.bottom, dialog.top, dialog.bottom);
    return point;
}
