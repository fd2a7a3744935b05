#include "settings/settings_store.h"

#include "common/bounded_text.h"
#include "settings/caller_settings.h"

HINSTANCE module_handle = 0;

// Room for anything the options dialog can store (259 characters), and one
// byte more to tell a longer, hand-written value from one that fits.
enum { STORED_PATH_READ_SIZE = SOUND_PATH_SIZE + 1 };

int is_ansi_lead_byte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) ? 1 : 0;
}

void locate_settings_file(void)
{
    char module_name[MODULE_NAME_SIZE];
    DWORD length = GetModuleFileNameA(module_handle, module_name, sizeof module_name);
    caller_settings.settings_file[0] = '\0';
    // A name that filled the buffer may have been cut: better no settings
    // file than somebody else's.
    if (length == 0 || length >= sizeof module_name)
        return;
    module_name[length] = '\0';
    settings_file_for_module(module_name, is_ansi_lead_byte, caller_settings.settings_file,
                             sizeof caller_settings.settings_file);
}

void load_settings(void)
{
    locate_settings_file();
    caller_settings.enable = 1;
    caller_settings.path[0] = '\0';
    if (caller_settings.settings_file[0] == '\0')
        return;

    char stored_path[STORED_PATH_READ_SIZE];
    GetPrivateProfileStringA(SETTINGS_SECTION, SETTINGS_KEY_PATH, "", stored_path,
                             sizeof stored_path, caller_settings.settings_file);
    // A folder too long to hold with its separator is not used: cut short,
    // it would name another folder. A value the read itself cut fills the
    // read buffer, so it does not fit the field either.
    if (text_copy(caller_settings.path, sizeof caller_settings.path, stored_path) == 0
        || normalize_sound_path(caller_settings.path, sizeof caller_settings.path, is_ansi_lead_byte) == 0)
        caller_settings.path[0] = '\0';

    caller_settings.enable = (int32_t)GetPrivateProfileIntA(
        SETTINGS_SECTION, SETTINGS_KEY_ENABLE, 1, caller_settings.settings_file);
}

void save_settings(void)
{
    if (caller_settings.settings_file[0] == '\0')
        return;
    char enable_text[16];
    text_builder text;
    text_begin(&text, enable_text, sizeof enable_text);
    text_append_decimal(&text, caller_settings.enable);
    text_finish(&text);

    WritePrivateProfileStringA(SETTINGS_SECTION, SETTINGS_KEY_PATH, caller_settings.path,
                               caller_settings.settings_file);
    WritePrivateProfileStringA(SETTINGS_SECTION, SETTINGS_KEY_ENABLE, enable_text,
                               caller_settings.settings_file);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        module_handle = instance;
        load_settings();
    }
    return TRUE;
}
