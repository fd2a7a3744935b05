#include "host/sound_player_idle.h"

#include <mmsystem.h>

// A clip with no samples. Offered with SND_NOSTOP, the player takes it only
// when nothing is playing; it sends nothing to the device.
static const unsigned char EMPTY_CLIP[44] = {
    'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E',
    'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,      // PCM, mono
    0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0,  // 22050 Hz, 16-bit
    'd', 'a', 't', 'a', 0, 0, 0, 0,
};

bool wait_until_sound_player_idle(DWORD limit_ms)
{
    const DWORD poll_ms = 20;
    for (DWORD waited = 0; waited < limit_ms; waited += poll_ms) {
        if (PlaySoundA(reinterpret_cast<LPCSTR>(EMPTY_CLIP), nullptr,
                       SND_MEMORY | SND_ASYNC | SND_NOSTOP | SND_NODEFAULT))
            return true;
        Sleep(poll_ms);
    }
    return false;
}
