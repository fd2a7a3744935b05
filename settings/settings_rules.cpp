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

// Whether the byte at `at`, which starts a character, is a separator: the
// first byte of a double-byte character never is.
static int is_separator_character(const char *text, size_t at, lead_byte_test is_lead_byte)
{
    return !is_lead_byte((unsigned char)text[at]) && is_separator(text[at]);
}

// The index of the character after the one at `at`: a lead byte takes its
// trail byte with it, unless the text ends right after it.
static size_t next_character(const char *text, size_t at, lead_byte_test is_lead_byte)
{
    if (is_lead_byte((unsigned char)text[at]) && text[at + 1] != '\0')
        return at + 2;
    return at + 1;
}

int normalize_sound_path(char *text, size_t size, lead_byte_test is_lead_byte)
{
    size_t length = text_length(text, size);
    if (length == size)
        return 0;  // not terminated inside its buffer: leave it alone
    if (length == 0)
        return 1;
    size_t last = 0;
    for (size_t at = 0; at < length; at = next_character(text, at, is_lead_byte))
        last = at;
    if (last == length - 1) {  // a single-byte last character
        if (is_separator_character(text, last, is_lead_byte))
            return 1;
        // A separator after a lone lead byte would become its trail byte.
        if (is_lead_byte((unsigned char)text[last]))
            return 0;
    }
    if (length + 2 > size)
        return 0;
    text[length] = '\\';
    text[length + 1] = '\0';
    return 1;
}

void cut_at_line_break(char *text, size_t size)
{
    for (size_t at = 0; at < size && text[at] != '\0'; ++at) {
        if (text[at] == '\r' || text[at] == '\n') {
            text[at] = '\0';
            return;
        }
    }
}

int settings_file_for_module(const char *module_name, lead_byte_test is_lead_byte,
                             char *out, size_t out_size)
{
    size_t directory_length = 0;
    for (size_t at = 0; module_name[at] != '\0'; at = next_character(module_name, at, is_lead_byte)) {
        if (is_separator_character(module_name, at, is_lead_byte))
            directory_length = at;
    }

    text_builder text;
    text_begin(&text, out, out_size);
    text_append_bytes(&text, module_name, directory_length);
    text_append(&text, "\\");
    text_append(&text, SETTINGS_FILE_NAME);
    return text_finish(&text);
}
