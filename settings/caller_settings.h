// The plug-in's two settings, held once for the whole process, and the
// platform-free rules around them.
#ifndef QEL_SETTINGS_CALLER_SETTINGS_H
#define QEL_SETTINGS_CALLER_SETTINGS_H

#include <stddef.h>
#include <stdint.h>

enum {
    SOUND_PATH_SIZE = 260,      // at most 259 characters and the terminator
    SETTINGS_FILE_SIZE = 256,   // at most 255 characters and the terminator
    MODULE_NAME_SIZE = 260
};

struct caller_settings_record {
    int32_t enable;                          // sounds play when non-zero
    char path[SOUND_PATH_SIZE];              // empty, or ends in '\\' or '/'
    char settings_file[SETTINGS_FILE_SIZE];  // empty when it could not be had
};

extern caller_settings_record caller_settings;

extern const char SETTINGS_FILE_NAME[];   // "qel_caller.ini"
extern const char SETTINGS_SECTION[];     // "SOUND"
extern const char SETTINGS_KEY_PATH[];    // "path"
extern const char SETTINGS_KEY_ENABLE[];  // "enable"

// Keeps only the first line of a typed folder. The settings file holds one
// line per key: a line break in the value would write new keys and sections
// into it. Line-break bytes are never part of a double-byte character.
void cut_at_line_break(char *text, size_t size);

typedef int (*lead_byte_test)(unsigned char byte);

// Appends a backslash to a non-empty folder whose last character is neither
// '\\' nor '/'. A double-byte character whose second byte has the value of
// a backslash is not a separator. Returns 0, leaving `text` as it was, when
// there is no room for it or the text ends in a lone lead byte.
int normalize_sound_path(char *text, size_t size, lead_byte_test is_lead_byte);

// The settings file beside a module: the module's directory (cut at its
// last separator, never inside a double-byte character), a backslash and
// "qel_caller.ini". Returns 0 and leaves `out` empty when it does not fit.
int settings_file_for_module(const char *module_name, lead_byte_test is_lead_byte,
                             char *out, size_t out_size);

#endif
