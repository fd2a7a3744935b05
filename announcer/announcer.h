// Turns the host's announcement events into sound clips from the user's
// sound folder.
#ifndef QEL_ANNOUNCER_ANNOUNCER_H
#define QEL_ANNOUNCER_ANNOUNCER_H

#include <stddef.h>
#include <stdint.h>

// Every code is a single bit and is compared for equality, never by bit.
enum caller_event : uint32_t {
    EVENT_MUTE_NEXT_GAME_ON = 1,
    EVENT_OPEN_OPTIONS = 4,
    EVENT_GAME_ON = 0x20,
    EVENT_CALL_NUMBER = 0x100,
    EVENT_CALL_ORDINAL = 0x200
};

enum { CLIP_PATH_SIZE = 256 };  // at most 255 characters and the terminator

// 1 after EVENT_MUTE_NEXT_GAME_ON until the next EVENT_GAME_ON.
extern int32_t mute_next_game_on;

// "1st", "2nd" or "3rd" for -1, -2, -3; "middle" for any other value.
const char *ordinal_word(int32_t value);

// The clip for an announcement event: `folder` followed by the clip's file
// name. Returns 0 with `out` empty for other events and for a name that
// would not fit; a cut-off name could be another clip.
int compose_clip_path(char *out, size_t out_size, const char *folder,
                      uint32_t event, int32_t value);

// Acts on the announcement events with the live settings; other codes are
// ignored.
void announce_event(uint32_t event, int32_t value);

// Asks the platform's sound player for the clip, without waiting for it and
// without any fallback sound. The player's module stays loaded from then on,
// for the clip may outlive the plug-in.
void play_clip(const char *clip_path);

#endif
