#include "settings/caller_settings.h"

#include "common/bounded_text.h"

caller_settings_record caller_settings = { 1, "", "" };

const char SETTINGS_FILE_NAME[] = "qel_caller.ini";
const char SETTINGS_SECTION[] = "SOUND";
const char SETTINGS_KEY_PATH[] = "path";
const char SETTINGS_KEY_ENABLE[] = "enable";

static int is_separator(char c)
{
    return c == '\\' || c == '/';
}

int normalize_sound_path(char *text, size_t size)
{
    size_t length = text_length(text, size);
    if (length == size)
        return 0;  // not terminated inside its buffer: leave it alone
    if (length == 0 || is_separator(text[length - 1]))
        return 1;
    if (length + 2 > size)
        return 0;
    text[length] = '\\';
    text[length + 1] = '\0';
    return 1;
}

int settings_file_for_module(const char *module_name, lead_byte_test is_lead_byte,
                             char *out, size_t out_size)
{
    size_t directory_length = 0;
    size_t at = 0;
    while (module_name[at] != '\0') {
        unsigned char byte = (unsigned char)module_name[at];
        if (is_lead_byte(byte)) {
            // A lead byte takes its trail byte with it, unless the text
            // ends right after it.
            at += module_name[at + 1] != '\0' ? 2 : 1;
            continue;
        }
        if (is_separator((char)byte))
            directory_length = at;
        ++at;
    }

    text_builder text;
    text_begin(&text, out, out_size);
    text_append_bytes(&text, module_name, directory_length);
    text_append(&text, "\\");
    text_append(&text, SETTINGS_FILE_NAME);
    return text_finish(&text);
}
