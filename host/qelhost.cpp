// qelhost: a stand-in host. Loads a plug-in, shows how it describes itself
// and sends it the events of a script, printing each answer.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/host_script.h"
#include "host/sound_player_idle.h"
#include "plugin/plugin_info.h"

namespace {

enum exit_code { EXIT_DONE = 0, EXIT_BAD_STEPS = 1, EXIT_BAD_PLUGIN = 2 };

typedef int(WINAPI *get_plugin_info_fn)(DWORD, int, plugin_info *);
typedef DWORD(WINAPI *initialize_fn)(DWORD, DWORD);
typedef int(WINAPI *property_fn)(HWND, DWORD);
typedef int(WINAPI *event_fn)(HWND, DWORD, DWORD, int);

// The host owns the record and gives its last field room of its own.
struct host_descriptor {
    plugin_info info;
    char extra_room[PLUGIN_TEXT_SIZE];
};

struct bound_plugin {
    initialize_fn initialize = nullptr;
    property_fn property = nullptr;
    event_fn event = nullptr;
};

const DWORD LAST_CLIP_WAIT_LIMIT_MS = 60000;

void print_usage()
{
    std::fprintf(stderr,
                 "usage: qelhost PLUGIN [STEP...]\n"
                 "       qelhost PLUGIN --script FILE\n"
                 "steps: game-on, mute-next, number N, ordinal N, options, property,\n"
                 "       event CODE VALUE, wait MILLISECONDS\n");
}

int fail(int code, const std::string &message)
{
    std::fprintf(stderr, "qelhost: %s\n", message.c_str());
    return code;
}

bool read_text_file(const std::string &file, std::string &text)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream content;
    content << in.rdbuf();
    text = content.str();
    return true;
}

// The steps from the command line after the plug-in's name.
int read_steps(int argc, char **argv, std::vector<host_step> &steps)
{
    std::string error;
    if (argc > 2 && std::strcmp(argv[2], "--script") == 0) {
        if (argc != 4) {
            print_usage();
            return EXIT_BAD_STEPS;
        }
        std::string text;
        if (!read_text_file(argv[3], text))
            return fail(EXIT_BAD_STEPS, std::string("cannot read the script ") + argv[3]);
        if (!parse_script(text, steps, error))
            return fail(EXIT_BAD_STEPS, std::string(argv[3]) + ", " + error);
        return EXIT_DONE;
    }
    std::vector<std::string> arguments(argv + 2, argv + argc);
    if (!parse_arguments(arguments, 2, steps, error))
        return fail(EXIT_BAD_STEPS, error);
    return EXIT_DONE;
}

// A text field the plug-in wrote, read no further than its width.
std::string field_text(const char *field, size_t width)
{
    return std::string(field, strnlen(field, width));
}

// As an untyped address, which each caller casts to the entry's own type.
// The first entry found missing is the one named.
void *find_export(HMODULE module, const std::string &name, const std::string &file,
                  std::string &error)
{
    FARPROC address = GetProcAddress(module, name.c_str());
    if (address == nullptr && error.empty())
        error = file + " is not a plug-in: it has no export '" + name + "'";
    return reinterpret_cast<void *>(address);
}

int load_plugin(const std::string &file, bound_plugin &plugin)
{
    if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES)
        return fail(EXIT_BAD_PLUGIN, "no such file: " + file);
    HMODULE module = LoadLibraryA(file.c_str());
    if (module == nullptr)
        return fail(EXIT_BAD_PLUGIN, file + " is not a plug-in: it cannot be loaded as a library"
                                            " (error " + std::to_string(GetLastError()) + ")");
    std::string error;
    auto get_plugin_info = reinterpret_cast<get_plugin_info_fn>(
        find_export(module, "get_plugin_info", file, error));
    if (get_plugin_info == nullptr)
        return fail(EXIT_BAD_PLUGIN, error);

    host_descriptor record = {};
    if (get_plugin_info(0, 0, &record.info) != 1)
        return fail(EXIT_BAD_PLUGIN, file + " is not a plug-in: get_plugin_info(0) describes nothing");
    std::string title = field_text(record.info.title, sizeof record.info.title);
    std::string base_name = field_text(record.info.base_name, sizeof record.info.base_name);
    if (base_name.empty())
        return fail(EXIT_BAD_PLUGIN, file + " is not a plug-in: its descriptor has no base name");

    // The other entries are named after the base name the plug-in reported.
    plugin.event = reinterpret_cast<event_fn>(find_export(module, base_name, file, error));
    plugin.initialize = reinterpret_cast<initialize_fn>(
        find_export(module, base_name + "_initialize", file, error));
    plugin.property = reinterpret_cast<property_fn>(
        find_export(module, base_name + "_property", file, error));
    if (plugin.event == nullptr || plugin.initialize == nullptr || plugin.property == nullptr)
        return fail(EXIT_BAD_PLUGIN, error);

    std::printf("plug-in    %s\ntitle      %s\nbase name  %s\n", file.c_str(), title.c_str(),
                base_name.c_str());
    return EXIT_DONE;
}

std::string mask_names(DWORD mask)
{
    std::string text;
    for (DWORD bit = 1; bit != 0; bit <<= 1) {
        if ((mask & bit) == 0)
            continue;
        const char *word = word_for_event(bit);
        text += (text.empty() ? "" : " ") + (word ? std::string(word) : std::to_string(bit));
    }
    return text.empty() ? "none" : text;
}

void run_step(const bound_plugin &plugin, const host_step &step, HWND window)
{
    std::printf("%-12s %-18s ", step.origin.c_str(), step.words.c_str());
    std::fflush(stdout);
    switch (step.kind) {
    case step_kind::send_event: {
        int answer = plugin.event(window, step.code, 0, step.value);
        std::printf("-> event %lu, value %ld: answered %d\n", static_cast<unsigned long>(step.code),
                    static_cast<long>(step.value), answer);
        break;
    }
    case step_kind::open_property: {
        int answer = plugin.property(window, 0);
        std::printf("-> property: answered %d\n", answer);
        break;
    }
    case step_kind::wait:
        Sleep(static_cast<DWORD>(step.value));
        std::printf("-> waited\n");
        break;
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        print_usage();
        return argc < 2 ? EXIT_BAD_STEPS : EXIT_DONE;
    }
    // Every step is checked before the plug-in hears of any.
    std::vector<host_step> steps;
    int result = read_steps(argc, argv, steps);
    if (result != EXIT_DONE)
        return result;

    bound_plugin plugin;
    result = load_plugin(argv[1], plugin);
    if (result != EXIT_DONE)
        return result;
    DWORD mask = plugin.initialize(0, 0);
    std::printf("event mask %lu (0x%lX): %s\n", static_cast<unsigned long>(mask),
                static_cast<unsigned long>(mask), mask_names(mask).c_str());
    std::fflush(stdout);

    HWND window = GetConsoleWindow();
    for (const host_step &step : steps)
        run_step(plugin, step, window);

    if (wait_until_sound_player_idle(LAST_CLIP_WAIT_LIMIT_MS))
        std::printf("done\n");
    else
        std::printf("done; a clip still plays after 60 s\n");
    return EXIT_DONE;
}
