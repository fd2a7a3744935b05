#include "session_language.h"

#include "resources/resource.h"

const dialog_language DIALOG_LANGUAGES[SESSION_LANGUAGES] = {
    { 1033, 1252, L"qel_caller - Option", L"MS Sans Serif", 8, L"Select Folder (*.wav)" },
    { 1041, 932, L"qel_caller - 設定", L"ＭＳ Ｐゴシック", 9,
      L"サウンドファイル(*.wav)の入ったフォルダを選択してください。" },
};

const std::vector<dialog_control> OPTIONS_CONTROLS = {
    { IDC_PLAY_SOUND, "Button", BS_TYPEMASK | WS_TABSTOP, BS_AUTOCHECKBOX | WS_TABSTOP,
      { L"&Play Sound", L"サウンドを再生する" },
      { { 10, 10, 190, 10 }, { 10, 10, 190, 10 } } },
    { -1, "Static", SS_TYPEMASK | WS_TABSTOP | WS_GROUP, SS_LEFT | WS_GROUP,
      { L"Sound File Path:", L"サウンドファイルの場所:" },
      { { 10, 30, 190, 10 }, { 10, 30, 190, 10 } } },
    { IDC_SOUND_PATH, "Edit", ES_MULTILINE | ES_AUTOHSCROLL | WS_TABSTOP,
      ES_AUTOHSCROLL | WS_TABSTOP,
      { L"", L"" },
      { { 10, 40, 190, 12 }, { 10, 40, 195, 12 } } },
    { IDC_BROWSE, "Button", BS_TYPEMASK | WS_TABSTOP, BS_PUSHBUTTON | WS_TABSTOP,
      { L"Brows...", L"参照..." },
      { { 205, 40, 35, 12 }, { 210, 40, 30, 12 } } },
    { IDOK, "Button", BS_TYPEMASK | WS_TABSTOP, BS_DEFPUSHBUTTON | WS_TABSTOP,
      { L"OK", L"OK" },
      { { 135, 70, 50, 14 }, { 135, 70, 50, 14 } } },
    { IDCANCEL, "Button", BS_TYPEMASK | WS_TABSTOP, BS_PUSHBUTTON | WS_TABSTOP,
      { L"Cancel", L"キャンセル" },
      { { 190, 70, 50, 14 }, { 190, 70, 50, 14 } } },
};

const dialog_units OPTIONS_DIALOG_SIZE = { 0, 0, 249, 95 };

session_language_index session_language()
{
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? JAPANESE_SESSION
                                                                      : ENGLISH_SESSION;
}

bool japanese_requested()
{
    char locale[64] = "";
    // LC_ALL wins over LANG, as it does for Wine.
    if (GetEnvironmentVariableA("LC_ALL", locale, sizeof locale) == 0 || locale[0] == '\0')
        GetEnvironmentVariableA("LANG", locale, sizeof locale);
    return std::string(locale).rfind("ja", 0) == 0;
}

std::wstring wide_window_text(HWND window)
{
    wchar_t text[1024];
    int length = GetWindowTextW(window, text, sizeof text / sizeof text[0]);
    return std::wstring(text, length > 0 ? length : 0);
}

namespace {

struct text_search {
    const std::wstring &text;
    bool found;
};

BOOL CALLBACK stop_at_text(HWND window, LPARAM parameter)
{
    auto *search = reinterpret_cast<text_search *>(parameter);
    search->found = wide_window_text(window) == search->text;
    return !search->found;
}

}

bool shows_text(HWND parent, const std::wstring &text)
{
    text_search search = { text, false };
    EnumChildWindows(parent, stop_at_text, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string to_ansi(const std::wstring &text)
{
    char converted[1024];
    int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), converted,
                                     sizeof converted, 0, 0);
    return std::string(converted, length > 0 ? length : 0);
}

std::wstring from_ansi(const std::string &text)
{
    wchar_t converted[1024];
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), (int)text.size(), converted,
                                     sizeof converted / sizeof converted[0]);
    return std::wstring(converted, length > 0 ? length : 0);
}
