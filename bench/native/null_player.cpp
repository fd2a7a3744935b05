#include "null_player.h"

#include "announcer/announcer.h"

uint64_t play_requests = 0;

// Kept where the compiler cannot see it is never read, so the path is
// really built.
const char *volatile last_clip_path = nullptr;

void play_clip(const char *clip_path)
{
    last_clip_path = clip_path;
    ++play_requests;
}
