// Where the options dialog goes over its owner.
#ifndef QEL_SETTINGS_DIALOG_PLACEMENT_H
#define QEL_SETTINGS_DIALOG_PLACEMENT_H

#include <stdint.h>

struct screen_rect {
    int32_t left, top, right, bottom;
};

struct screen_point {
    int32_t x, y;
};

// Centres `dialog` over `owner` (halves truncated toward zero) and keeps the
// top-left corner on the screen: negative coordinates become 0.
screen_point centered_position(screen_rect owner, screen_rect dialog);

#endif
