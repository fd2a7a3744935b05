// Centring the dialog over any two rectangles, however inverted or far out:
// the corner is never negative, and where it is not clamped the dialog's
// centre is within half a pixel of the owner's (halves toward zero).
//
// Input: owner left, top, right, bottom, then the dialog's, 4 bytes each.
#include "fuzz_input.h"
#include "settings/dialog_placement.h"

namespace {

void check_axis(const char *axis, int32_t start, int32_t owner_start, int32_t owner_end,
                int32_t dialog_start, int32_t dialog_end)
{
    int64_t spare = ((int64_t)owner_end - owner_start) - ((int64_t)dialog_end - dialog_start);
    int64_t offset = (int64_t)start - owner_start;
    FUZZ_CHECK(start >= 0, "%s %d is negative", axis, start);
    if (start == 0) {
        FUZZ_CHECK(owner_start + spare / 2 <= 0, "%s clamped to 0, centred would be %lld", axis,
                   (long long)(owner_start + spare / 2));
        return;
    }
    if (start == INT32_MAX) {
        FUZZ_CHECK(owner_start + spare / 2 >= INT32_MAX, "%s clamped to the maximum", axis);
        return;
    }
    // Twice the offset is the spare room, less at most the odd pixel, which
    // is dropped toward zero.
    int64_t odd = spare - 2 * offset;
    FUZZ_CHECK(odd == 0 || (odd == 1 && spare > 0) || (odd == -1 && spare < 0),
               "%s %d is not centred: owner %d..%d, dialog %d..%d", axis, start, owner_start,
               owner_end, dialog_start, dialog_end);
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz_input input(data, size);
    screen_rect owner, dialog;
    int32_t *fields[] = { &owner.left, &owner.top, &owner.right, &owner.bottom,
                          &dialog.left, &dialog.top, &dialog.right, &dialog.bottom };
    for (int32_t *field : fields)
        *field = (int32_t)input.u32();

    screen_point place = centered_position(owner, dialog);
    check_axis("x", place.x, owner.left, owner.right, dialog.left, dialog.right);
    check_axis("y", place.y, owner.top, owner.bottom, dialog.top, dialog.bottom);

    // Where the dialog already stands plays no part, only its size.
    int64_t width = (int64_t)dialog.right - dialog.left;
    int64_t height = (int64_t)dialog.bottom - dialog.top;
    if (width >= INT32_MIN && width <= INT32_MAX && height >= INT32_MIN && height <= INT32_MAX) {
        screen_rect at_origin = { 0, 0, (int32_t)width, (int32_t)height };
        screen_point again = centered_position(owner, at_origin);
        FUZZ_CHECK(again.x == place.x && again.y == place.y,
                   "the dialog's own position moved the result");
    }
    return 0;
}
