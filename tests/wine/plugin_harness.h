// Loads the real plug-in from a scratch folder under Wine, with its own
// settings file, and records the play requests it makes.
#ifndef QEL_TESTS_WINE_PLUGIN_HARNESS_H
#define QEL_TESTS_WINE_PLUGIN_HARNESS_H

#include <windows.h>

#include <string>
#include <vector>

struct plugin_info;

typedef int(WINAPI *get_plugin_info_fn)(DWORD, int, plugin_info *);
typedef DWORD(WINAPI *initialize_fn)(DWORD, DWORD);
typedef int(WINAPI *property_fn)(HWND, DWORD);
typedef int(WINAPI *event_fn)(HWND, DWORD, DWORD, int);

struct play_request {
    std::string clip;
    UINT flags;
};

// Every play request the loaded plug-in has made, in order.
extern std::vector<play_request> play_requests;
// When set, each recorded request also goes on to the real sound player.
extern bool forward_play_requests;

// The folder of this test program, where the built plug-in lies.
std::string program_folder();

// A fresh, empty folder below the temporary folder (drive C: under Wine).
std::string make_scratch_folder(const std::string &name);
void remove_tree(const std::string &folder);

std::string read_file(const std::string &file);
void write_file(const std::string &file, const std::string &content);
bool file_exists(const std::string &file);

struct loaded_plugin {
    HMODULE module = 0;
    get_plugin_info_fn get_plugin_info = 0;
    initialize_fn initialize = 0;
    property_fn property = 0;
    event_fn event = 0;
};

// Copies the plug-in into `folder` under `file_name`, loads it (which reads
// the settings file beside it) and routes its sound player calls to the
// recorder, which starts empty. Fails the current test when anything is
// missing.
loaded_plugin load_plugin(const std::string &folder, const char *file_name = "qel_caller.qel");
void unload_plugin(loaded_plugin &plugin);

#endif
