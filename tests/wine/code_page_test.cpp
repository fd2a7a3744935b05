// In code page 932 the second byte of many characters has the value of a
// backslash. The plug-in, loaded from a folder and under a file name made
// of such characters, must still read and write the settings file beside
// itself, and nowhere else.
#include "dialog_fixture.h"
#include "session_language.h"

#include "resources/resource.h"

#include <set>

namespace {

// 能, 表 and ソ are 0x94 0x5C, 0x95 0x5C and 0x83 0x5C in code page 932.
const wchar_t MODULE_FOLDER[] = L"機能表";
const wchar_t MODULE_FILE[] = L"ソフト表.qel";

int backslash_trail_bytes(const std::string &text)
{
    int count = 0;
    for (size_t at = 0; at + 1 < text.size(); ++at) {
        if (IsDBCSLeadByte(static_cast<BYTE>(text[at])))
            count += text[++at] == '\\';
    }
    return count;
}

// Every file and folder below `folder`, named relative to it.
std::set<std::wstring> files_below(const std::wstring &folder, const std::wstring &prefix = L"")
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        names.insert(prefix + name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            std::set<std::wstring> inside =
                files_below(folder + L"\\" + name, prefix + name + L"\\");
            names.insert(inside.begin(), inside.end());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

TEST_F(DialogTest, SettingsFileBesideAModuleNamedWithBackslashTrailBytes)
{
    if (GetACP() != 932)
        GTEST_SKIP() << "needs a Japanese session, in code page 932";
    std::wstring wide_folder = from_ansi(folder) + L"\\" + MODULE_FOLDER;
    ASSERT_TRUE(CreateDirectoryW(wide_folder.c_str(), 0));
    std::string module_folder = to_ansi(wide_folder);
    std::string module_file = to_ansi(MODULE_FILE);
    ASSERT_EQ(backslash_trail_bytes(module_folder + "\\" + module_file), 4)
        << "the names are meant to hold 0x5C trail bytes";

    ini = module_folder + "\\qel_caller.ini";
    write_file(ini, "[SOUND]\r\npath=" + to_ansi(L"D:\\サウンド\\") + "\r\nenable=1\r\n");
    plugin = load_plugin(module_folder, module_file.c_str());
    ASSERT_NE(plugin.module, nullptr);
    wchar_t loaded[MAX_PATH];
    DWORD length = GetModuleFileNameW(plugin.module, loaded, MAX_PATH);
    ASSERT_EQ(std::wstring(loaded, length), wide_folder + L"\\" + MODULE_FILE)
        << "the module was loaded from elsewhere";
    EXPECT_EQ(number_clip(5), to_ansi(L"D:\\サウンド\\5.wav"))
        << "the settings file beside the module was not read";

    open_options({ on_options([](HWND dialog) {
        EXPECT_EQ(wide_window_text(GetDlgItem(dialog, IDC_SOUND_PATH)), L"D:\\サウンド\\");
        SetDlgItemTextW(dialog, IDC_SOUND_PATH, L"E:\\効果音");
        press_button(dialog, IDOK);
    }) });
    EXPECT_EQ(stored("path"), to_ansi(L"E:\\効果音\\")) << "OK did not write beside the module";
    EXPECT_EQ(stored("enable"), "1");
    EXPECT_EQ(number_clip(5), to_ansi(L"E:\\効果音\\5.wav"));

    std::set<std::wstring> expected = {
        MODULE_FOLDER,
        std::wstring(MODULE_FOLDER) + L"\\" + MODULE_FILE,
        std::wstring(MODULE_FOLDER) + L"\\qel_caller.ini",
    };
    EXPECT_EQ(files_below(from_ansi(folder)), expected) << "a file written somewhere else";
}

TEST_F(DialogTest, FolderEndingInABackslashTrailByteGetsItsSeparator)
{
    if (GetACP() != 932)
        GTEST_SKIP() << "needs a Japanese session, in code page 932";
    // Its last byte is 0x5C, but its last character is 表, not a separator.
    load(("[SOUND]\r\npath=" + to_ansi(L"D:\\効果表") + "\r\n").c_str());
    EXPECT_EQ(number_clip(5), to_ansi(L"D:\\効果表\\5.wav")) << "loaded without its separator";

    open_options({ on_options([](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_SOUND_PATH, L"E:\\音声表");
        press_button(dialog, IDOK);
    }) });
    EXPECT_EQ(stored("path"), to_ansi(L"E:\\音声表\\"));
    EXPECT_EQ(number_clip(5), to_ansi(L"E:\\音声表\\5.wav"));
}

}
