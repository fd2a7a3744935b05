#include "announcer/announcer.h"

#include <windows.h>
#include <mmsystem.h>

static int sound_player_kept = 0;

void play_clip(const char *clip_path)
{
    // Clips play on the sound player's own thread. Were the host to unload
    // the plug-in while one plays, and with it the last reference to the
    // player's module, that thread would run in unmapped code: so the first
    // clip takes a reference that is never given back.
    if (!sound_player_kept) {
        sound_player_kept = 1;
        LoadLibraryA("winmm.dll");
    }
    // The result is of no use: a clip that cannot be played is silence.
    sndPlaySoundA(clip_path, SND_ASYNC | SND_NODEFAULT);
}
