// The four functions the host calls. Each is thin: the settings were loaded
// at attach, so none depends on another having been called first.
#include <windows.h>

#include "announcer/announcer.h"
#include "common/bounded_text.h"
#include "plugin/plugin_info.h"
#include "settings/options_dialog.h"

static_assert(CALLER_EVENT_MASK == (EVENT_MUTE_NEXT_GAME_ON | EVENT_OPEN_OPTIONS | EVENT_GAME_ON
                                    | EVENT_CALL_NUMBER | EVENT_CALL_ORDINAL),
              "the mask is every event code");

extern "C" {

int WINAPI get_plugin_info(uint32_t ignored, int32_t index, plugin_info *info)
{
    (void)ignored;
    if (index != 0 || info == 0)
        return 0;
    text_copy(info->title, sizeof info->title, "qel_&caller");
    text_copy(info->base_name, sizeof info->base_name, "qel_caller");
    info->extra[0] = '\0';
    return 1;
}

uint32_t WINAPI qel_caller_initialize(uint32_t ignored, uint32_t also_ignored)
{
    (void)ignored;
    (void)also_ignored;
    return CALLER_EVENT_MASK;
}

int WINAPI qel_caller_property(HWND owner, uint32_t ignored)
{
    (void)ignored;
    open_options_dialog(owner);
    return 1;
}

int WINAPI qel_caller(HWND window, uint32_t event, uint32_t ignored, int32_t value)
{
    (void)ignored;
    if (event == EVENT_OPEN_OPTIONS)
        open_options_dialog(window);
    else
        announce_event(event, value);
    return 1;
}

}
