#include "announcer/announcer.h"

#include <windows.h>
#include <mmsystem.h>

void play_clip(const char *clip_path)
{
    // The result is of no use: a clip that cannot be played is silence.
    sndPlaySoundA(clip_path, SND_ASYNC | SND_NODEFAULT);
}
