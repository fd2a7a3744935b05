// Telling when the platform's sound player has finished every clip asked
// of it in this process.
#ifndef QEL_HOST_SOUND_PLAYER_IDLE_H
#define QEL_HOST_SOUND_PLAYER_IDLE_H

#include <windows.h>

// Returns true once no clip plays any longer, or false after `limit_ms`.
bool wait_until_sound_player_idle(DWORD limit_ms);

#endif
