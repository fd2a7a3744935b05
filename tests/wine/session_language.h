// What the options dialog should look like in the language this Wine
// session runs in. Wine takes the language from LC_ALL or LANG; the module
// has its resources in English (1033) and Japanese (1041).
#ifndef QEL_TESTS_WINE_SESSION_LANGUAGE_H
#define QEL_TESTS_WINE_SESSION_LANGUAGE_H

#include <windows.h>

#include <string>
#include <vector>

enum session_language_index { ENGLISH_SESSION = 0, JAPANESE_SESSION = 1, SESSION_LANGUAGES = 2 };

struct dialog_units {
    int x, y, width, height;
};

struct dialog_language {
    LANGID language;
    UINT ansi_code_page;
    const wchar_t *caption;
    const wchar_t *font_face;
    int font_points;
    const wchar_t *folder_prompt;
};

// One control of the options dialog, in template (and so tab) order.
struct dialog_control {
    int id;  // -1 for the label
    const char *class_name;
    DWORD style_mask;
    DWORD style;
    const wchar_t *text[SESSION_LANGUAGES];
    dialog_units place[SESSION_LANGUAGES];
};

extern const dialog_language DIALOG_LANGUAGES[SESSION_LANGUAGES];
extern const std::vector<dialog_control> OPTIONS_CONTROLS;
extern const dialog_units OPTIONS_DIALOG_SIZE;

// Which table applies, from the session's user interface language.
session_language_index session_language();
// Whether LC_ALL or LANG, as Wine reads them, ask for Japanese.
bool japanese_requested();

std::wstring wide_window_text(HWND window);
// Whether some window inside `parent` has exactly this text.
bool shows_text(HWND parent, const std::wstring &text);
// Text in the session's ANSI code page, and back.
std::string to_ansi(const std::wstring &text);
std::wstring from_ansi(const std::string &text);

#endif
