#include "announcer/announcer.h"

#include "common/bounded_text.h"
#include "settings/caller_settings.h"

int32_t mute_next_game_on = 0;

const char *ordinal_word(int32_t value)
{
    if (value == -3)
        return "3rd";
    if (value == -2)
        return "2nd";
    if (value == -1)
        return "1st";
    return "middle";
}

int compose_clip_path(char *out, size_t out_size, const char *folder,
                      uint32_t event, int32_t value)
{
    text_builder text;
    text_begin(&text, out, out_size);
    text_append(&text, folder);
    switch (event) {
    case EVENT_GAME_ON:
        text_append(&text, "gameon");
        break;
    case EVENT_CALL_NUMBER:
        text_append_decimal(&text, value);
        break;
    case EVENT_CALL_ORDINAL:
        text_append(&text, ordinal_word(value));
        break;
    default:
        text.overflowed = 1;  // no clip for this event
        break;
    }
    text_append(&text, ".wav");
    return text_finish(&text);
}

static void announce_clip(uint32_t event, int32_t value)
{
    char clip_path[CLIP_PATH_SIZE];
    if (compose_clip_path(clip_path, sizeof clip_path, caller_settings.path, event, value))
        play_clip(clip_path);
}

void announce_event(uint32_t event, int32_t value)
{
    switch (event) {
    case EVENT_MUTE_NEXT_GAME_ON:
        mute_next_game_on = 1;
        break;
    case EVENT_GAME_ON:
        if (mute_next_game_on == 0 && caller_settings.enable != 0)
            announce_clip(event, value);
        mute_next_game_on = 0;
        break;
    case EVENT_CALL_NUMBER:
    case EVENT_CALL_ORDINAL:
        if (caller_settings.enable != 0)
            announce_clip(event, value);
        break;
    default:
        break;
    }
}
