// Hostile settings files, module folders, host calls and sound folders
// against the real plug-in. Every row checks that the host's calls return
// their documented values, that nothing is written outside the settings
// file, and that what should be kept is kept.
#include "dialog_driver.h"
#include "plugin_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <sstream>

#include "plugin/plugin_info.h"
#include "resources/resource.h"

namespace {

const char SETTINGS_FILE[] = "qel_caller.ini";
const char MODULE_FILE[] = "qel_caller.qel";

// ---- The scratch tree, before and after each row.

struct tree_entry {
    bool folder;
    std::string content;
};
typedef std::map<std::string, tree_entry> tree_snapshot;

void add_to_snapshot(tree_snapshot &snapshot, const std::string &root, const std::string &relative)
{
    WIN32_FIND_DATAA found;
    std::string folder = relative.empty() ? root : root + "\\" + relative;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string path = relative.empty() ? name : relative + "\\" + name;
        bool is_folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        snapshot[path] = { is_folder, is_folder ? "" : read_file(root + "\\" + path) };
        if (is_folder)
            add_to_snapshot(snapshot, root, path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

tree_snapshot snapshot_tree(const std::string &root)
{
    tree_snapshot snapshot;
    add_to_snapshot(snapshot, root, "");
    return snapshot;
}

// Every entry that appeared, vanished or changed, except `allowed`.
std::vector<std::string> tree_changes(const tree_snapshot &before, const tree_snapshot &after,
                                      const std::string &allowed)
{
    std::vector<std::string> changes;
    for (const auto &entry : before) {
        auto now = after.find(entry.first);
        if (now == after.end())
            changes.push_back("removed " + entry.first);
        else if (entry.first != allowed
                 && (now->second.folder != entry.second.folder
                     || now->second.content != entry.second.content))
            changes.push_back("changed " + entry.first);
    }
    for (const auto &entry : after)
        if (before.count(entry.first) == 0 && entry.first != allowed)
            changes.push_back("created " + entry.first);
    return changes;
}

// Where a settings file could land if its own path were lost: the root of
// the drive, and the Windows folder, where the profile routines put a bare
// file name.
std::vector<std::string> stray_settings_files()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::vector<std::string> found;
    for (std::string place : { std::string("C:\\"), std::string(windows) + "\\" })
        if (file_exists(place + SETTINGS_FILE))
            found.push_back(place + SETTINGS_FILE);
    return found;
}

std::vector<std::string> text_lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The non-blank lines of `before`, except `replaced`, that are missing from
// `after` or out of their order there.
std::vector<std::string> lost_lines(const std::string &before, const std::string &after,
                                    const std::vector<std::string> &replaced)
{
    std::vector<std::string> kept = text_lines(after);
    std::vector<std::string> lost;
    size_t at = 0;
    for (const std::string &line : text_lines(before)) {
        if (line.empty() || std::find(replaced.begin(), replaced.end(), line) != replaced.end())
            continue;
        size_t found = at;
        while (found < kept.size() && kept[found] != line)
            ++found;
        if (found == kept.size())
            lost.push_back(line.size() > 60 ? line.substr(0, 60) + "..." : line);
        else
            at = found + 1;
    }
    return lost;
}

std::string utf16_file(const std::string &ascii)
{
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::string ascii_from_utf16(const std::string &bytes)
{
    std::string text;
    for (size_t at = 2; at + 1 < bytes.size(); at += 2)
        text += bytes[at];
    return text;
}

// A mono 8-bit WAV of a square wave, `milliseconds` long.
std::string wav_clip(int milliseconds)
{
    const uint32_t rate = 8000;
    uint32_t samples = rate * milliseconds / 1000;
    std::string wav;
    auto u32 = [&](uint32_t v) { wav.append(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [&](uint16_t v) { wav.append(reinterpret_cast<const char *>(&v), 2); };
    wav += "RIFF";
    u32(36 + samples);
    wav += "WAVEfmt ";
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(rate);
    u32(rate);
    u16(1);
    u16(8);
    wav += "data";
    u32(samples);
    for (uint32_t i = 0; i < samples; ++i)
        wav += (char)((i / 10) % 2 ? 0xB0 : 0x50);
    return wav;
}

std::string shown_text(const std::string &text)
{
    if (text.size() <= 40)
        return "\"" + text + "\"";
    return "\"" + text.substr(0, 12) + "..." + text.substr(text.size() - 12) + "\" ("
        + std::to_string(text.size()) + " characters)";
}

BOOL CALLBACK collect_options_dialog(HWND window, LPARAM found)
{
    if (IsWindowVisible(window) && GetDlgItem(window, IDC_SOUND_PATH) != 0
        && GetDlgItem(window, IDC_BROWSE) != 0)
        reinterpret_cast<std::vector<HWND> *>(found)->push_back(window);
    return TRUE;
}

// An options dialog of this thread other than `known`, or null.
HWND another_options_dialog(HWND known)
{
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), collect_options_dialog, reinterpret_cast<LPARAM>(&found));
    for (HWND window : found)
        if (window != known)
            return window;
    return 0;
}

bool a_clip_is_playing()
{
    // SND_NOSTOP refuses while a clip sounds; a missing name otherwise
    // "plays" as silence.
    return !sndPlaySoundA("C:\\qel_no_such_clip.wav", SND_ASYNC | SND_NODEFAULT | SND_NOSTOP);
}

// ---- One row's world: a scratch root (also the current folder), the
// plug-in loaded from a folder in it, and an owner window.

// Host events: code and value.
typedef std::vector<std::pair<uint32_t, int>> event_list;

struct shown_options {
    bool ticked;
    std::string folder;
};

struct hostile_run {
    std::string root;
    std::string module_folder;  // relative to root; empty: the root itself
    std::string module_file = MODULE_FILE;
    HWND owner = 0;
    loaded_plugin plugin;
    std::vector<std::string> notes;  // what happened, for the summary

    std::string folder_path(const std::string &relative) const
    {
        return relative.empty() ? root : root + "\\" + relative;
    }
    std::string module_dir() const { return folder_path(module_folder); }
    std::string ini() const { return module_dir() + "\\" + SETTINGS_FILE; }
    std::string ini_relative() const
    {
        return module_folder.empty() ? SETTINGS_FILE : module_folder + "\\" + SETTINGS_FILE;
    }
    void write_settings(const std::string &content) const { write_file(ini(), content); }
    void note(const std::string &text) { notes.push_back(text); }

    int event(uint32_t code, int value)
    {
        int result = plugin.event(owner, code, 0, value);
        EXPECT_EQ(result, 1) << "qel_caller with event " << code << " value " << value;
        return result;
    }

    // The clips asked for by a run of events, in order.
    std::vector<std::string> clips_for(const event_list &events)
    {
        play_requests.clear();
        for (const auto &call : events)
            event(call.first, call.second);
        std::vector<std::string> clips;
        for (const play_request &request : play_requests) {
            EXPECT_EQ(request.flags, (UINT)(SND_ASYNC | SND_NODEFAULT)) << request.clip;
            clips.push_back(request.clip);
        }
        return clips;
    }

    std::string number_clip(int value)
    {
        std::vector<std::string> clips = clips_for({ { 256, value } });
        return clips.empty() ? "(nothing)" : clips[0];
    }

    // Opens the options as the host does and runs `steps` inside them.
    void with_options(const std::vector<dialog_step> &steps)
    {
        drive_dialogs([&] { EXPECT_EQ(plugin.property(owner, 0), 1) << "qel_caller_property"; },
                      steps);
    }

    shown_options options_shown()
    {
        shown_options shown = { false, "(not shown)" };
        with_options({ { options_dialog_shown, [&] {
                            HWND dialog = find_options_dialog();
                            shown.ticked = IsDlgButtonChecked(dialog, IDC_PLAY_SOUND) == BST_CHECKED;
                            shown.folder = item_text(dialog, IDC_SOUND_PATH);
                            press_button(dialog, IDCANCEL);
                        } } });
        return shown;
    }

    // Types `folder` (unless null), sets the box and presses OK.
    void confirm_options(const char *folder, bool ticked)
    {
        with_options({ { options_dialog_shown, [&] {
                            HWND dialog = find_options_dialog();
                            if (folder != nullptr)
                                SetDlgItemTextA(dialog, IDC_SOUND_PATH, folder);
                            CheckDlgButton(dialog, IDC_PLAY_SOUND,
                                           ticked ? BST_CHECKED : BST_UNCHECKED);
                            press_button(dialog, IDOK);
                        } } });
    }

    std::string stored(const char *key) const
    {
        char value[1024];
        GetPrivateProfileStringA("SOUND", key, "(absent)", value, sizeof value, ini().c_str());
        return value;
    }
};

// Creates folders below `root` so that the last one's full path is exactly
// `length` characters; returns it relative to `root`.
std::string make_folder_of_length(const std::string &root, size_t length)
{
    std::string relative;
    std::string path = root;
    while (path.size() < length) {
        size_t room = length - path.size() - 1;
        // Leave enough for a last piece of a few characters.
        size_t piece = room > 60 ? 50 : room;
        std::string name(piece, (char)('a' + relative.size() % 26));
        relative += (relative.empty() ? "" : "\\") + name;
        path += "\\" + name;
        EXPECT_TRUE(CreateDirectoryA(path.c_str(), 0)) << "creating " << path.size()
                                                       << " characters: " << GetLastError();
    }
    EXPECT_EQ(path.size(), length);
    return relative;
}

// ---- The rows.

struct hostile_case {
    const char *name;
    // Lays out files (and may move the module) before the plug-in loads.
    std::function<void(hostile_run &)> prepare;
    // The host's calls and the checks of what must hold.
    std::function<void(hostile_run &)> act;
    // Whether the settings file may change (an OK that can be saved).
    bool settings_may_change;
    // Play through the real sound player as well as the recorder.
    bool real_player;
};

// No host call waits for a clip: each returns in a fraction of the 3 s
// clips played here, with room for a busy machine.
const DWORD CALL_TIME_LIMIT_MS = 2000;

const char PLAIN_SETTINGS[] = "[SOUND]\r\npath=D:\\sounds\\\r\nenable=1\r\n";

// The settings as the platform reads them, normalised the plug-in's way.
std::string platform_folder(const hostile_run &run)
{
    std::string folder = run.stored("path");
    if (folder == "(absent)")
        return "";
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    return folder;
}

int platform_enable(const hostile_run &run)
{
    return (int)GetPrivateProfileIntA("SOUND", "enable", 1, run.ini().c_str());
}

// The plug-in's view of the settings matches the platform's reading.
void expect_platform_reading(hostile_run &run)
{
    std::string folder = platform_folder(run);
    int enable = platform_enable(run);
    std::string clip = run.number_clip(5);
    EXPECT_EQ(clip, enable ? folder + "5.wav" : "(nothing)") << "platform read " << folder
                                                             << " and enable " << enable;
    shown_options shown = run.options_shown();
    EXPECT_EQ(shown.folder, folder);
    EXPECT_EQ(shown.ticked, enable == 1);
    run.note("read as the platform reads it: folder " + shown_text(folder) + ", enable "
             + std::to_string(enable) + "; clip " + clip);
}

// OK with a new folder keeps every line of the file, in order, but the two
// it rewrites.
void expect_ok_keeps_other_lines(hostile_run &run)
{
    std::vector<std::string> replaced = { "path=" + run.stored("path"),
                                          "enable=" + run.stored("enable") };
    std::string before = read_file(run.ini());
    run.confirm_options("E:\\clips", true);
    std::string after = read_file(run.ini());
    EXPECT_EQ(run.stored("path"), "E:\\clips\\");
    EXPECT_EQ(run.stored("enable"), "1");
    std::vector<std::string> lost = lost_lines(before, after, replaced);
    EXPECT_TRUE(lost.empty()) << lost.size() << " lines lost, the first: " << lost[0];
    EXPECT_EQ(run.number_clip(5), "E:\\clips\\5.wav");
    auto blank_lines = [](const std::string &text) {
        std::vector<std::string> lines = text_lines(text);
        return std::to_string(std::count(lines.begin(), lines.end(), std::string()));
    };
    run.note("OK saved E:\\clips\\; " + std::to_string(text_lines(before).size())
             + " lines before, none lost but blank ones (" + blank_lines(before) + " before, "
             + blank_lines(after) + " after)");
}

std::vector<hostile_case> settings_file_cases()
{
    std::vector<hostile_case> cases;
    cases.push_back({ "settings: garbage text, then OK",
        [](hostile_run &run) {
            run.write_settings("this is no settings file\r\n=[[]]=\r\n[\r\n]SOUND[\r\npath\r\n"
                               "==\r\n[SOUND\r\npath=D:\\not\\read\\\r\n");
        },
        [](hostile_run &run) {
            expect_platform_reading(run);
            expect_ok_keeps_other_lines(run);
        },
        true, false });

    cases.push_back({ "settings: binary bytes",
        [](hostile_run &run) {
            std::string bytes;
            for (int i = 0; i < 256; ++i)
                bytes += (char)((i * 97 + 13) & 0xFF);
            run.write_settings(bytes + "\r\n[SOUND]\r\npath=C:\\bin\x81\x5C\xFF\\\r\nenable=7\r\n"
                               + bytes.substr(0, 100) + std::string("\0\0\0=\r\n", 6));
        },
        expect_platform_reading, false, false });

    cases.push_back({ "settings: a 64 KiB path value",
        [](hostile_run &run) {
            run.write_settings("[SOUND]\r\npath=C:\\" + std::string(65536, 'a') + "\r\nenable=1\r\n");
        },
        [](hostile_run &run) {
            // Too long to hold: an empty folder, not a cut-off one.
            EXPECT_EQ(run.number_clip(5), "5.wav");
            shown_options shown = run.options_shown();
            EXPECT_EQ(shown.folder, "");
            EXPECT_TRUE(shown.ticked);
            run.note("folder loads empty, clip 5.wav; the line is left as it was");
        },
        false, false });

    cases.push_back({ "settings: a 64 KiB comment line, then OK",
        [](hostile_run &run) {
            run.write_settings(";" + std::string(65536, 'c') + "\r\n[SOUND]\r\npath=D:\\after\\\r\n");
        },
        [](hostile_run &run) {
            EXPECT_EQ(run.number_clip(5), "D:\\after\\5.wav");
            expect_ok_keeps_other_lines(run);
        },
        true, false });

    // Read as the platform reads integers, whatever that makes of them.
    struct enable_value {
        const char *name;
        const char *value;
    } enable_values[] = {
        { "settings: enable is not a plain number", "yes" },
        { "settings: enable is not a plain number", " 7x" },
        { "settings: enable is not a plain number", "0x10" },
        { "settings: enable is not a plain number", "" },
        { "settings: enable is not a plain number", "-0" },
        { "settings: enable beyond 32 bits", "4294967296" },
        { "settings: enable beyond 32 bits", "4294967297" },
        { "settings: enable beyond 32 bits", "2147483648" },
        { "settings: enable beyond 32 bits", "-2147483649" },
        { "settings: enable beyond 32 bits", "99999999999999999999" },
    };
    for (const enable_value &e : enable_values) {
        std::string line = std::string("enable=") + e.value;
        cases.push_back({ e.name,
            [line](hostile_run &run) { run.write_settings("[SOUND]\r\npath=D:\\s\\\r\n" + line + "\r\n"); },
            [line](hostile_run &run) {
                run.note(line);
                expect_platform_reading(run);
            },
            false, false });
    }

    // Stored folders around the 259 characters the record holds with its
    // separator: no clip name fits after any of them.
    for (size_t length = 253; length <= 262; ++length) {
        for (bool with_separator : { false, true }) {
            std::string value = "C:\\" + std::string(length - 3 - with_separator, 'p')
                + (with_separator ? "\\" : "");
            std::string loaded = with_separator ? value : value + "\\";
            if (loaded.size() > 259)
                loaded.clear();
            cases.push_back({ "settings: a long path",
                [value](hostile_run &run) {
                    run.write_settings("[SOUND]\r\npath=" + value + "\r\nenable=1\r\n");
                },
                [value, loaded](hostile_run &run) {
                    std::vector<std::string> clips = run.clips_for({ { 256, 5 }, { 512, -1 }, { 32, 0 } });
                    if (loaded.empty())
                        EXPECT_EQ(clips, std::vector<std::string>({ "5.wav", "1st.wav", "gameon.wav" }));
                    else
                        EXPECT_TRUE(clips.empty()) << "asked for " << clips[0];
                    shown_options shown = run.options_shown();
                    EXPECT_EQ(shown.folder, loaded) << "stored " << value.size() << " characters";
                    run.note("path of " + std::to_string(value.size()) + " characters"
                             + (value.back() == '\\' ? " ending in \\" : "") + ": loads as "
                             + (loaded.empty() ? "empty" : shown_text(loaded)) + ", "
                             + std::to_string(clips.size()) + " clips asked for");
                    if (loaded.empty())
                        return;
                    // OK without a change stores the same folder again.
                    run.confirm_options(nullptr, true);
                    EXPECT_EQ(run.stored("path"), loaded);
                    run.note("OK stores it back unchanged");
                },
                true, false });
        }
    }

    cases.push_back({ "settings: duplicate keys and sections, other sections, keys and comments, then OK",
        [](hostile_run &run) {
            run.write_settings("; written by hand\r\n[OTHER]\r\npath=D:\\other\\\r\nenable=0\r\n"
                               "[SOUND]\r\n; the sounds\r\npath=D:\\first\\\r\npath=D:\\second\\\r\n"
                               "volume=11\r\nno equals sign here\r\n\r\n[SOUND]\r\nenable=0\r\n"
                               "path=D:\\third\\\r\n[LAST]\r\nnote=keep me\r\n");
        },
        [](hostile_run &run) {
            expect_platform_reading(run);
            expect_ok_keeps_other_lines(run);
        },
        true, false });

    cases.push_back({ "settings: file that cannot be written, then OK",
        [](hostile_run &run) { run.write_settings(PLAIN_SETTINGS); },
        [](hostile_run &run) {
            // Held open without sharing, the file can be neither read nor
            // written by anyone else.
            HANDLE held = CreateFileA(run.ini().c_str(), GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
            run.confirm_options("E:\\new", false);
            EXPECT_EQ(run.number_clip(5), "(nothing)") << "the unsaved switch is not in use";
            run.confirm_options(nullptr, true);
            EXPECT_EQ(run.number_clip(5), "E:\\new\\5.wav") << "the unsaved folder is not in use";
            shown_options shown = run.options_shown();
            EXPECT_EQ(shown.folder, "E:\\new\\");
            EXPECT_TRUE(shown.ticked);
            CloseHandle(held);
            EXPECT_EQ(read_file(run.ini()), PLAIN_SETTINGS);
            run.note("two OKs unsaved; the new values stay in use for the run, the file is as it was");
        },
        false, false });

    cases.push_back({ "settings: a folder where the file should be, then OK",
        [](hostile_run &run) {
            CreateDirectoryA(run.ini().c_str(), 0);
            write_file(run.ini() + "\\keep.txt", "kept");
        },
        [](hostile_run &run) {
            EXPECT_EQ(run.number_clip(5), "5.wav") << "defaults";
            run.confirm_options("E:\\new", true);
            EXPECT_EQ(run.number_clip(5), "E:\\new\\5.wav");
            EXPECT_TRUE(GetFileAttributesA(run.ini().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
            run.note("defaults; OK keeps the new folder in memory, the folder is untouched");
        },
        false, false });

    cases.push_back({ "settings: a file in UTF-16, then OK",
        [](hostile_run &run) {
            run.write_settings(utf16_file("[SOUND]\r\npath=D:\\wide\\\r\nenable=1\r\n; note\r\n"
                                          "[OTHER]\r\nkey=value\r\n"));
        },
        [](hostile_run &run) {
            EXPECT_EQ(run.number_clip(5), "D:\\wide\\5.wav");
            std::string before = ascii_from_utf16(read_file(run.ini()));
            run.confirm_options("E:\\clips", true);
            std::string after_bytes = read_file(run.ini());
            EXPECT_EQ(after_bytes.substr(0, 2), "\xFF\xFE") << "no longer UTF-16";
            std::vector<std::string> lost =
                lost_lines(before, ascii_from_utf16(after_bytes), { "path=D:\\wide\\" });
            EXPECT_TRUE(lost.empty()) << "lost " << lost[0];
            EXPECT_EQ(run.stored("path"), "E:\\clips\\");
            run.note("read D:\\wide\\; OK saved E:\\clips\\, still UTF-16, other lines kept");
        },
        true, false });
    return cases;
}

// The settings file's path is the module's directory, a backslash and
// "qel_caller.ini": 255 characters fit, so a directory of 240.
void module_case(std::vector<hostile_case> &cases, const char *name, size_t directory_length,
                 const char *module_file, bool settings_found)
{
    cases.push_back({ name,
        [=](hostile_run &run) {
            run.module_folder = make_folder_of_length(run.root, directory_length);
            run.module_file = module_file;
            run.write_settings("[SOUND]\r\npath=D:\\deep\\\r\nenable=1\r\n");
        },
        [=](hostile_run &run) {
            size_t module_length = run.module_dir().size() + 1 + run.module_file.size();
            EXPECT_EQ(run.number_clip(5), settings_found ? "D:\\deep\\5.wav" : "5.wav");
            run.confirm_options("E:\\deep", true);
            EXPECT_EQ(run.number_clip(5), "E:\\deep\\5.wav");
            EXPECT_EQ(run.stored("path"), settings_found ? "E:\\deep\\" : "D:\\deep\\");
            run.note("directory " + std::to_string(directory_length) + ", module name "
                     + std::to_string(module_length) + " characters: settings "
                     + (settings_found ? "read, and OK saves there" : "not read, OK saves nowhere"));
        },
        settings_found, false });
}

std::vector<hostile_case> module_cases()
{
    std::vector<hostile_case> cases;
    module_case(cases, "module: settings path of 255 characters", 240, MODULE_FILE, true);
    module_case(cases, "module: settings path of 256 characters", 241, MODULE_FILE, false);
    module_case(cases, "module: module name of 259 characters", 244, MODULE_FILE, false);
    // A name that fills the 260-byte buffer may have been cut.
    module_case(cases, "module: module name of 259 characters, short directory", 240,
                "qel_caller_abc.qel", true);
    module_case(cases, "module: module name of 260 characters, cut by the loader", 240,
                "qel_caller_abcd.qel", false);
    return cases;
}

std::vector<hostile_case> event_cases()
{
    std::vector<hostile_case> cases;
    auto clips_settings = [](hostile_run &run) {
        run.write_settings("[SOUND]\r\npath=C:\\clips\\\r\n");
    };

    cases.push_back({ "events: hostile values and unknown codes", clips_settings,
        [](hostile_run &run) {
            const int values[] = { INT_MIN, INT_MAX, -4, 0 };
            event_list unknown;
            for (uint32_t code : { 0u, 2u, 8u, 33u, 64u, 1024u, 0xFFFFFFFFu })
                for (int value : values)
                    unknown.push_back({ code, value });
            unknown.push_back({ 32, 0 });
            EXPECT_EQ(run.clips_for(unknown), std::vector<std::string>({ "C:\\clips\\gameon.wav" }))
                << "an unknown code played or muted something";

            event_list known;
            for (uint32_t code : { 1u, 32u, 32u, 256u, 512u })
                for (int value : values)
                    known.push_back({ code, value });
            EXPECT_EQ(run.clips_for(known), std::vector<std::string>({
                "C:\\clips\\gameon.wav", "C:\\clips\\gameon.wav", "C:\\clips\\gameon.wav",
                "C:\\clips\\gameon.wav", "C:\\clips\\gameon.wav", "C:\\clips\\gameon.wav",
                "C:\\clips\\gameon.wav",
                "C:\\clips\\-2147483648.wav", "C:\\clips\\2147483647.wav", "C:\\clips\\-4.wav",
                "C:\\clips\\0.wav",
                "C:\\clips\\middle.wav", "C:\\clips\\middle.wav", "C:\\clips\\middle.wav",
                "C:\\clips\\middle.wav" }));
            run.note(std::to_string(unknown.size() + known.size())
                     + " calls, each returned 1; unknown codes silent, one game-on muted");
        },
        false, false });

    cases.push_back({ "events: hostile host calls",
        [](hostile_run &) {},
        [](hostile_run &run) {
            EXPECT_EQ(run.plugin.get_plugin_info(0, 0, nullptr), 0) << "null record";
            std::string record(4 + 256 + 256 + 16, '\x5A');
            for (int index : { 1, -1, INT_MIN, INT_MAX }) {
                std::string copy = record;
                EXPECT_EQ(run.plugin.get_plugin_info(0xFFFFFFFF, index,
                                                     reinterpret_cast<plugin_info *>(&copy[0])), 0);
                EXPECT_EQ(copy, record) << "index " << index << " wrote to the record";
            }
            EXPECT_EQ(run.plugin.initialize(0xFFFFFFFF, 0xFFFFFFFF), CALLER_EVENT_MASK);

            // A window the host has already destroyed owns nothing.
            HWND gone = create_owner_window(0, 0, 10, 10);
            DestroyWindow(gone);
            // No steps: a dialog that did open fails the row and is closed.
            drive_dialogs([&] {
                EXPECT_EQ(run.plugin.property(gone, 0xFFFFFFFF), 1);
                EXPECT_EQ(run.plugin.event(gone, 4, 0xFFFFFFFF, INT_MIN), 1);
            }, {});

            // No window at all: the dialog opens over the desktop.
            RECT placed = {};
            drive_dialogs([&] { EXPECT_EQ(run.plugin.event(0, 4, 0, 0), 1); },
                          { { options_dialog_shown, [&] {
                                 HWND dialog = find_options_dialog();
                                 GetWindowRect(dialog, &placed);
                                 press_button(dialog, IDCANCEL);
                             } } });
            EXPECT_GE(placed.left, 0);
            EXPECT_GE(placed.top, 0);
            EXPECT_GT(placed.right, placed.left);
            run.note("null record and other indices: 0, record untouched; destroyed owner: 1, "
                     "no dialog; no owner: dialog at " + std::to_string(placed.left) + ","
                     + std::to_string(placed.top));
        },
        false, false });

    cases.push_back({ "events: a burst while a clip still plays",
        [](hostile_run &run) {
            CreateDirectoryA(run.folder_path("sounds").c_str(), 0);
            std::string clip = wav_clip(3000);
            for (const char *name : { "1.wav", "2.wav", "1st.wav", "middle.wav", "gameon.wav" })
                write_file(run.folder_path("sounds") + "\\" + name, clip);
            run.write_settings("[SOUND]\r\npath=" + run.folder_path("sounds") + "\r\n");
        },
        [](hostile_run &run) {
            run.event(256, 1);
            Sleep(100);
            EXPECT_TRUE(a_clip_is_playing()) << "the first clip is not playing";
            // Each five: a muted and a played game-on, a number and an ordinal.
            const uint32_t codes[] = { 1, 32, 256, 512, 32 };
            LARGE_INTEGER frequency, start, end;
            QueryPerformanceFrequency(&frequency);
            double slowest = 0, total = 0;
            play_requests.clear();
            const int burst = 200;
            for (int i = 0; i < burst; ++i) {
                QueryPerformanceCounter(&start);
                run.event(codes[i % 5], i % 3 - 1);
                QueryPerformanceCounter(&end);
                double ms = (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
                total += ms;
                slowest = ms > slowest ? ms : slowest;
            }
            EXPECT_EQ(play_requests.size(), 120u) << "every announcement asked for its clip";
            EXPECT_TRUE(a_clip_is_playing()) << "the burst left nothing playing";
            EXPECT_LT(slowest, CALL_TIME_LIMIT_MS) << "a call waited for the clip";
            sndPlaySoundA(0, 0);
            char figures[160];
            snprintf(figures, sizeof figures,
                     "%d calls over a playing 3 s clip, %zu clips asked for, %.1f ms in all, "
                     "slowest call %.1f ms", burst, play_requests.size(), total, slowest);
            run.note(figures);
        },
        false, true });

    cases.push_back({ "events: sent while the options are open, and the options opened again",
        [](hostile_run &run) { run.write_settings("[SOUND]\r\npath=D:\\old\\\r\nenable=1\r\n"); },
        [](hostile_run &run) {
            HWND outer = 0;
            std::vector<std::string> while_open, after_inner;
            auto other_options = [&] { return another_options_dialog(outer); };
            run.with_options({
                { options_dialog_shown, [&] {
                     outer = find_options_dialog();
                     SetDlgItemTextA(outer, IDC_SOUND_PATH, "E:\\outer");
                     while_open = run.clips_for({ { 256, 7 }, { 1, 0 }, { 32, 0 }, { 32, 0 } });
                     // Runs the second dialog's loop; the next steps run in it.
                     EXPECT_EQ(run.plugin.event(run.owner, 4, 0, 0), 1);
                 } },
                { [&] { return other_options() != 0; }, [&] {
                     HWND inner = other_options();
                     EXPECT_EQ(item_text(inner, IDC_SOUND_PATH), "D:\\old\\")
                         << "the second dialog shows the live settings";
                     SetDlgItemTextA(inner, IDC_SOUND_PATH, "F:\\inner");
                     press_button(inner, IDOK);
                 } },
                { [&] { return other_options() == 0 && IsWindow(outer); }, [&] {
                     after_inner = run.clips_for({ { 256, 8 } });
                     press_button(outer, IDOK);
                 } },
            });
            EXPECT_EQ(while_open, std::vector<std::string>({ "D:\\old\\7.wav", "D:\\old\\gameon.wav" }));
            EXPECT_EQ(after_inner, std::vector<std::string>({ "F:\\inner\\8.wav" }));
            EXPECT_EQ(run.stored("path"), "E:\\outer\\") << "the last OK wins";
            EXPECT_EQ(run.number_clip(9), "E:\\outer\\9.wav");
            run.note("events inside the dialog used the live settings; the second dialog's OK "
                     "applied at once; the first dialog's later OK won");
        },
        true, false });
    return cases;
}

std::vector<hostile_case> sound_folder_cases()
{
    std::vector<hostile_case> cases;
    struct folder_case {
        const char *name;
        const char *folder;  // relative to the root
        std::function<void(hostile_run &)> lay_out;
        bool has_good_clip;  // 6.wav is a real clip
    };
    const std::string wav = wav_clip(200);
    std::vector<folder_case> folders = {
        { "sound folder: missing", "no_such_folder", [](hostile_run &) {}, false },
        { "sound folder: a file instead of a folder", "not_a_folder",
          [](hostile_run &run) { write_file(run.folder_path("not_a_folder"), "plain file"); },
          false },
        { "sound folder: clips that are not WAVs", "bad_clips",
          [wav](hostile_run &run) {
              std::string folder = run.folder_path("bad_clips");
              CreateDirectoryA(folder.c_str(), 0);
              write_file(folder + "\\1.wav", "this is text, not a sound");
              write_file(folder + "\\2.wav", "");
              std::string huge = wav.substr(0, 44);
              huge[40] = huge[41] = huge[42] = huge[43] = '\xFF';  // data of 4 GiB
              write_file(folder + "\\3.wav", huge);
              write_file(folder + "\\4.wav", wav.substr(0, 30));  // cut in the format
              std::string wrong = wav;
              wrong[22] = '\0';  // no channels
              wrong[34] = '\x40';  // 64 bits a sample
              write_file(folder + "\\5.wav", wrong);
              CreateDirectoryA((folder + "\\gameon.wav").c_str(), 0);
              write_file(folder + "\\6.wav", wav_clip(3000));
          },
          true },
    };
    for (const folder_case &f : folders) {
        std::string folder = f.folder;
        auto lay_out = f.lay_out;
        bool has_good_clip = f.has_good_clip;
        cases.push_back({ f.name,
            [folder, lay_out](hostile_run &run) {
                lay_out(run);
                run.write_settings("[SOUND]\r\npath=" + run.folder_path(folder) + "\r\n");
            },
            [folder, has_good_clip](hostile_run &run) {
                std::string prefix = run.folder_path(folder) + "\\";
                event_list events = { { 256, 1 }, { 256, 2 }, { 256, 3 }, { 256, 4 }, { 256, 5 },
                                      { 32, 0 } };
                DWORD slowest = 0;
                std::vector<std::string> clips;
                for (const auto &call : events) {
                    DWORD start = GetTickCount();
                    std::vector<std::string> asked = run.clips_for({ call });
                    DWORD spent = GetTickCount() - start;
                    slowest = spent > slowest ? spent : slowest;
                    clips.insert(clips.end(), asked.begin(), asked.end());
                    Sleep(150);  // the player opens the clip meanwhile
                }
                EXPECT_EQ(clips, std::vector<std::string>({ prefix + "1.wav", prefix + "2.wav",
                    prefix + "3.wav", prefix + "4.wav", prefix + "5.wav", prefix + "gameon.wav" }));
                EXPECT_LT(slowest, CALL_TIME_LIMIT_MS) << "a call waited for the player";
                std::string outcome = "the process goes on";
                if (has_good_clip) {
                    EXPECT_EQ(run.clips_for({ { 256, 6 } }).size(), 1u);
                    Sleep(100);
                    EXPECT_TRUE(a_clip_is_playing()) << "the player no longer plays a real clip";
                    outcome = "a real clip plays afterwards";
                }
                sndPlaySoundA(0, 0);
                run.note(std::to_string(events.size()) + " clips asked for 150 ms apart, each call "
                         "returned 1, slowest " + std::to_string(slowest) + " ms; " + outcome);
            },
            false, true });
    }

    // The clip path holds 255 characters: a clip whose full name would be
    // longer is not asked for at all.
    for (size_t length : { 245u, 246u, 250u, 251u, 259u }) {
        std::string folder = "C:\\" + std::string(length - 4, 'f') + "\\";
        cases.push_back({ "sound folder: a long name",
            [folder](hostile_run &run) { run.write_settings("[SOUND]\r\npath=" + folder + "\r\n"); },
            [folder](hostile_run &run) {
                std::vector<std::string> expected;
                for (const char *name : { "5.wav", "1st.wav", "gameon.wav" })
                    if (folder.size() + strlen(name) <= 255)
                        expected.push_back(folder + name);
                std::vector<std::string> clips = run.clips_for({ { 256, 5 }, { 512, -1 }, { 32, 0 } });
                EXPECT_EQ(clips, expected) << "folder of " << folder.size();
                EXPECT_EQ(run.options_shown().folder, folder);
                run.note("folder of " + std::to_string(folder.size()) + " characters: "
                         + std::to_string(clips.size()) + " of 3 clips fit in 255 and were asked for");
            },
            false, false });
    }
    return cases;
}

std::vector<hostile_case> dialog_input_cases()
{
    std::vector<hostile_case> cases;
    struct typed_case {
        const char *name;
        std::string typed;
        std::string stored;  // the path OK must store
    };
    std::string long_text = "C:\\" + std::string(65536, 't');
    std::string slash_ended = "C:\\" + std::string(254, 's') + "/";
    std::vector<typed_case> typed = {
        // The box is read up to 258 characters; the rest is dropped.
        { "dialog: 64 KiB typed into the folder box, then OK", long_text,
          long_text.substr(0, 258) + "\\" },
        { "dialog: 258 characters ending in a slash, then OK", slash_ended + "extra", slash_ended },
    };
    for (const typed_case &t : typed) {
        cases.push_back({ t.name,
            [](hostile_run &run) { run.write_settings(PLAIN_SETTINGS); },
            [t](hostile_run &run) {
                run.confirm_options(t.typed.c_str(), true);
                EXPECT_EQ(run.stored("path"), t.stored);
                EXPECT_EQ(run.stored("enable"), "1");
                EXPECT_EQ(run.options_shown().folder, t.stored);
                // A second OK still finds the same file.
                run.confirm_options("E:\\again", true);
                EXPECT_EQ(run.stored("path"), "E:\\again\\");
                run.note(std::to_string(t.typed.size()) + " characters typed: "
                         + std::to_string(t.stored.size()) + " stored; a second OK saves to the same file");
            },
            true, false });
    }

    // A line break in the value would write keys and sections of its own:
    // only the first line is a folder.
    cases.push_back({ "dialog: line breaks and a section typed into the folder box, then OK",
        [](hostile_run &run) { run.write_settings(PLAIN_SETTINGS); },
        [](hostile_run &run) {
            run.confirm_options("E:\\x\r\nenable=0\r\n[OTHER]\r\npath=F:\\", true);
            EXPECT_EQ(text_lines(read_file(run.ini())),
                      std::vector<std::string>({ "[SOUND]", "path=E:\\x\\", "enable=1" }));
            EXPECT_EQ(run.options_shown().folder, "E:\\x\\");
            EXPECT_EQ(run.number_clip(5), "E:\\x\\5.wav");
            run.note("stored and used as E:\\x\\; no key or section written from the typed text");
        },
        true, false });
    return cases;
}

std::vector<hostile_case> all_cases()
{
    std::vector<hostile_case> cases = settings_file_cases();
    for (auto more : { module_cases(), dialog_input_cases(), event_cases(), sound_folder_cases() })
        cases.insert(cases.end(), more.begin(), more.end());
    return cases;
}

TEST(HostileInput, EveryRowKeepsTheHostAndTheFilesSafe)
{
    std::string program_dir = program_folder();
    std::vector<std::string> strays = stray_settings_files();
    ASSERT_TRUE(strays.empty()) << strays[0] << " exists before the rows run";
    HWND owner = create_owner_window(200, 150, 640, 480);
    std::vector<std::string> summary;

    for (const hostile_case &c : all_cases()) {
        SCOPED_TRACE(c.name);
        hostile_run run;
        run.root = make_scratch_folder("hostile");
        run.owner = owner;
        SetCurrentDirectoryA(run.root.c_str());
        c.prepare(run);
        tree_snapshot before = snapshot_tree(run.root);

        forward_play_requests = c.real_player;
        run.plugin = load_plugin(run.module_dir(), run.module_file.c_str());
        if (run.plugin.module != 0)
            c.act(run);
        unload_plugin(run.plugin);
        forward_play_requests = false;

        std::string module_relative =
            run.module_folder.empty() ? run.module_file : run.module_folder + "\\" + run.module_file;
        tree_snapshot after = snapshot_tree(run.root);
        after.erase(module_relative);
        std::vector<std::string> changes =
            tree_changes(before, after, c.settings_may_change ? run.ini_relative() : "");
        EXPECT_TRUE(changes.empty()) << changes.size() << " unexpected changes, the first: "
                                     << changes[0];
        strays = stray_settings_files();
        EXPECT_TRUE(strays.empty()) << "written outside the module's folder: " << strays[0];
        for (const std::string &stray : strays)
            DeleteFileA(stray.c_str());

        std::string line = c.name;
        for (const std::string &note : run.notes)
            line += "\n    " + note;
        summary.push_back(line);
        SetCurrentDirectoryA(program_dir.c_str());
        remove_tree(run.root);
    }
    DestroyWindow(owner);
    for (const std::string &line : summary)
        printf("%s\n", line.c_str());
    printf("%zu rows\n", summary.size());
}

}
