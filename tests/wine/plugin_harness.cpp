#include "plugin_harness.h"

#include "import_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

std::vector<play_request> play_requests;
bool forward_play_requests = false;

static BOOL WINAPI record_play_request(LPCSTR clip, UINT flags)
{
    play_requests.push_back({ clip ? clip : "(null)", flags });
    return forward_play_requests ? sndPlaySoundA(clip, flags) : TRUE;
}

std::string program_folder()
{
    char name[MAX_PATH];
    DWORD length = GetModuleFileNameA(0, name, sizeof name);
    std::string path(name, length);
    return path.substr(0, path.find_last_of("\\/"));
}

std::string make_scratch_folder(const std::string &name)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "qel_test_" + name;
    remove_tree(folder);
    CreateDirectoryA(folder.c_str(), 0);
    return folder;
}

void remove_tree(const std::string &folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                remove_tree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

std::string read_file(const std::string &file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void write_file(const std::string &file, const std::string &content)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
}

bool file_exists(const std::string &file)
{
    return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Points the module's imported sndPlaySoundA at the recorder.
static bool redirect_sound_player(HMODULE module)
{
    for (const imported_function &import : list_imports(module)) {
        if (lstrcmpiA(import.module_name.c_str(), "winmm.dll") == 0
            && import.name == "sndPlaySoundA") {
            replace_import(import, reinterpret_cast<ULONG_PTR>(&record_play_request));
            return true;
        }
    }
    return false;
}

loaded_plugin load_plugin(const std::string &folder, const char *file_name)
{
    loaded_plugin plugin;
    std::string built = program_folder() + "\\qel_caller.qel";
    std::string target = folder + "\\" + file_name;
    EXPECT_TRUE(CopyFileA(built.c_str(), target.c_str(), FALSE))
        << "copying " << built << " to " << target;
    plugin.module = LoadLibraryA(target.c_str());
    EXPECT_NE(plugin.module, nullptr) << "loading " << target << ", error " << GetLastError();
    if (plugin.module == 0)
        return plugin;
    EXPECT_TRUE(redirect_sound_player(plugin.module)) << "no sndPlaySoundA import to redirect";
    play_requests.clear();
    plugin.get_plugin_info =
        reinterpret_cast<get_plugin_info_fn>(GetProcAddress(plugin.module, "get_plugin_info"));
    plugin.initialize =
        reinterpret_cast<initialize_fn>(GetProcAddress(plugin.module, "qel_caller_initialize"));
    plugin.property =
        reinterpret_cast<property_fn>(GetProcAddress(plugin.module, "qel_caller_property"));
    plugin.event = reinterpret_cast<event_fn>(GetProcAddress(plugin.module, "qel_caller"));
    EXPECT_TRUE(plugin.get_plugin_info && plugin.initialize && plugin.property && plugin.event)
        << "an export is missing";
    return plugin;
}

void unload_plugin(loaded_plugin &plugin)
{
    if (plugin.module != 0)
        EXPECT_TRUE(FreeLibrary(plugin.module));
    plugin = loaded_plugin();
}
