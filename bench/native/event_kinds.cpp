#include "event_kinds.h"

#include <climits>
#include <cstring>

#include "announcer/announcer.h"
#include "settings/caller_settings.h"

namespace {

const char SHORT_FOLDER[] = "D:\\sounds\\";
const char LONG_FOLDER[] = "C:\\Program Files\\Host Application\\sounds\\";

}

const event_kind EVENT_KINDS[] = {
    { "game-on", EVENT_GAME_ON, 0, 1, SHORT_FOLDER, 1, 1 },
    { "number-100", EVENT_CALL_NUMBER, 100, 1, SHORT_FOLDER, 1, 1 },
    { "ordinal-1st", EVENT_CALL_ORDINAL, -1, 1, SHORT_FOLDER, 1, 1 },
    { "ordinal-middle", EVENT_CALL_ORDINAL, 7, 1, SHORT_FOLDER, 1, 1 },
    { "mute-next", EVENT_MUTE_NEXT_GAME_ON, 0, 1, SHORT_FOLDER, 0, 1 },
    { "number-disabled", EVENT_CALL_NUMBER, 100, 0, SHORT_FOLDER, 0, 1 },
    { "unknown-code", 64, 0, 1, SHORT_FOLDER, 0, 1 },
    // The longest name a number gives, and a deep folder.
    { "number-longest", EVENT_CALL_NUMBER, INT32_MIN, 1, SHORT_FOLDER, 1, 0 },
    { "number-100-deep", EVENT_CALL_NUMBER, 100, 1, LONG_FOLDER, 1, 0 },
};
const size_t EVENT_KIND_COUNT = sizeof EVENT_KINDS / sizeof EVENT_KINDS[0];

const event_kind *find_event_kind(const char *name)
{
    for (const event_kind &kind : EVENT_KINDS)
        if (std::strcmp(kind.name, name) == 0)
            return &kind;
    return nullptr;
}

void prepare_event_kind(const event_kind &kind)
{
    std::strcpy(caller_settings.path, kind.folder);
    caller_settings.enable = kind.enable;
    mute_next_game_on = 0;
}
