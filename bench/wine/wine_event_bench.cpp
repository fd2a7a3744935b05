// The plug-in under Wine against the platform's own floor, in one process:
// attach against a module that does nothing, qel_caller against a bare
// sndPlaySoundA of the same clip (interleaved), a burst of announcements
// with the process's private memory around it, and the module's calls to
// its imports per event.
//   wine_event_bench.exe [pairs] [burst events]
// Prints one section per measurement and a "TARGET met|MISSED" line per
// target.
#include <windows.h>
#include <mmsystem.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "import_table.h"

namespace {

typedef int(WINAPI *event_fn)(HWND, DWORD, DWORD, int);

const UINT ASYNC_NO_DEFAULT = SND_ASYNC | SND_NODEFAULT;
const DWORD EVENT_MUTE_NEXT_GAME_ON = 1;
const DWORD EVENT_GAME_ON = 0x20;
const DWORD EVENT_CALL_NUMBER = 0x100;
const DWORD EVENT_CALL_ORDINAL = 0x200;
const double MAX_MEDIAN_RATIO = 1.05;
const int WARM_UP_PAIRS = 50;
const int ATTACH_WARM_UP_PAIRS = 10;
const int ATTACH_PAIRS = 200;
const int COUNTED_EVENTS = 1000;
const long long MEMORY_JITTER = 4096;  // a page: identical bare bursts differ by this

int targets_missed = 0;

void report_target(bool met, const char *what, const std::string &figures)
{
    std::printf("TARGET %s %s: %s\n", met ? "met" : "MISSED", what, figures.c_str());
    if (!met)
        ++targets_missed;
}

std::string format(const char *pattern, double a, double b = 0, double c = 0)
{
    char text[256];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

// --- time ------------------------------------------------------------------

double ticks_per_microsecond()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(frequency.QuadPart) / 1e6;
}

const double TICKS_PER_MICROSECOND = ticks_per_microsecond();

LONGLONG now()
{
    LARGE_INTEGER ticks;
    QueryPerformanceCounter(&ticks);
    return ticks.QuadPart;
}

double microseconds_since(LONGLONG start)
{
    return double(now() - start) / TICKS_PER_MICROSECOND;
}

struct summary {
    double median;
    double p999;
    double slowest;
};

summary summarize(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    size_t n = samples.size();
    size_t p999_rank = (n * 999 + 999) / 1000;  // ceil(0.999 n), 1-based
    return { samples[n / 2], samples[p999_rank - 1], samples[n - 1] };
}

// --- files -----------------------------------------------------------------

std::string program_folder()
{
    char name[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, name, sizeof name);
    std::string path(name, length);
    return path.substr(0, path.find_last_of("\\/"));
}

bool write_file(const std::string &file, const void *bytes, DWORD size)
{
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(handle, bytes, size, &written, nullptr);
    CloseHandle(handle);
    return ok && written == size;
}

bool write_text(const std::string &file, const std::string &text)
{
    return write_file(file, text.data(), DWORD(text.size()));
}

// A fifth of a second of silence: 8 kHz, mono, 8-bit PCM.
bool write_short_wav(const std::string &file)
{
    const DWORD samples = 1600;
    std::vector<BYTE> wav(44 + samples, 0x80);
    auto put32 = [&](size_t at, DWORD v) { for (int i = 0; i < 4; ++i) wav[at + i] = BYTE(v >> (8 * i)); };
    auto put16 = [&](size_t at, WORD v) { wav[at] = BYTE(v); wav[at + 1] = BYTE(v >> 8); };
    std::copy_n("RIFF", 4, wav.begin());
    put32(4, 36 + samples);
    std::copy_n("WAVEfmt ", 8, wav.begin() + 8);
    put32(16, 16);
    put16(20, WAVE_FORMAT_PCM);
    put16(22, 1);
    put32(24, 8000);
    put32(28, 8000);
    put16(32, 1);
    put16(34, 8);
    std::copy_n("data", 4, wav.begin() + 36);
    put32(40, samples);
    return write_file(file, wav.data(), DWORD(wav.size()));
}

struct bench_folder {
    std::string root;
    std::string sounds;  // with its trailing backslash
    std::string plugin;
    std::string empty_module;
};

bool prepare_folder(bench_folder *folder)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    folder->root = std::string(temp) + "qel_bench";
    folder->sounds = folder->root + "\\sounds\\";
    folder->plugin = folder->root + "\\qel_caller.qel";
    folder->empty_module = folder->root + "\\empty_plugin.qel";
    CreateDirectoryA(folder->root.c_str(), nullptr);
    CreateDirectoryA(folder->sounds.c_str(), nullptr);
    DeleteFileA((folder->sounds + "7.wav").c_str());
    std::string built = program_folder();
    return CopyFileA((built + "\\qel_caller.qel").c_str(), folder->plugin.c_str(), FALSE)
        && CopyFileA((built + "\\empty_plugin.qel").c_str(), folder->empty_module.c_str(), FALSE)
        && write_short_wav(folder->sounds + "100.wav")
        && write_text(folder->root + "\\qel_caller.ini",
                      "[SOUND]\r\npath=" + folder->sounds + "\r\nenable=1\r\n");
}

void remove_folder(const bench_folder &folder)
{
    DeleteFileA((folder.sounds + "100.wav").c_str());
    RemoveDirectoryA(folder.sounds.c_str());
    DeleteFileA(folder.plugin.c_str());
    DeleteFileA(folder.empty_module.c_str());
    DeleteFileA((folder.root + "\\qel_caller.ini").c_str());
    RemoveDirectoryA(folder.root.c_str());
}

// --- attach ----------------------------------------------------------------

double time_load_and_free(const std::string &module_file)
{
    LONGLONG start = now();
    HMODULE module = LoadLibraryA(module_file.c_str());
    double elapsed = microseconds_since(start);
    if (module == nullptr) {
        std::fprintf(stderr, "cannot load %s (error %lu)\n", module_file.c_str(), GetLastError());
        std::exit(2);
    }
    FreeLibrary(module);
    return elapsed;
}

void measure_attach(const bench_folder &folder)
{
    // A host has the system libraries in place before it loads a plug-in;
    // preloading them leaves only each module's own attach to measure.
    for (const char *system : { "user32.dll", "shell32.dll", "ole32.dll", "winmm.dll" })
        LoadLibraryA(system);
    std::vector<double> plugin_times, empty_times;
    for (int i = 0; i < ATTACH_WARM_UP_PAIRS + ATTACH_PAIRS; ++i) {
        bool plugin_first = i % 2 == 0;
        double first = time_load_and_free(plugin_first ? folder.plugin : folder.empty_module);
        double second = time_load_and_free(plugin_first ? folder.empty_module : folder.plugin);
        if (i < ATTACH_WARM_UP_PAIRS)
            continue;
        plugin_times.push_back(plugin_first ? first : second);
        empty_times.push_back(plugin_first ? second : first);
    }
    summary plugin = summarize(plugin_times), empty = summarize(empty_times);
    std::printf("\nAttach (LoadLibrary, settings file present; %d loads of each, interleaved)\n",
                ATTACH_PAIRS);
    std::printf("  %-28s %10s %10s\n", "module", "median us", "slowest us");
    std::printf("  %-28s %10.1f %10.1f\n", "qel_caller.qel", plugin.median, plugin.slowest);
    std::printf("  %-28s %10.1f %10.1f\n", "empty module", empty.median, empty.slowest);
    std::printf("  %-28s %10.1f\n", "difference (own attach)", plugin.median - empty.median);
}

// --- the clip path the plug-in composes ------------------------------------

std::string recorded_clip;
UINT recorded_flags = 0;

BOOL WINAPI record_play_request(LPCSTR clip, UINT flags)
{
    recorded_clip = clip ? clip : "(null)";
    recorded_flags = flags;
    return TRUE;
}

const imported_function *find_import(const std::vector<imported_function> &imports,
                                     const char *name)
{
    for (const imported_function &import : imports)
        if (import.name == name)
            return &import;
    return nullptr;
}

// The bare call must ask for exactly what the plug-in asks for.
bool plugin_asks_for(HMODULE module, event_fn qel_caller, int number, const std::string &clip)
{
    std::vector<imported_function> imports = list_imports(module);
    const imported_function *player = find_import(imports, "sndPlaySoundA");
    if (player == nullptr)
        return false;
    ULONG_PTR real = replace_import(*player, reinterpret_cast<ULONG_PTR>(&record_play_request));
    qel_caller(nullptr, EVENT_CALL_NUMBER, 0, number);
    replace_import(*player, real);
    return recorded_clip == clip && recorded_flags == ASYNC_NO_DEFAULT;
}

// --- qel_caller against the bare player ------------------------------------

struct player_case {
    const char *label;
    int number;            // the event's value, naming the clip
    const char *clip_name;
    bool player_idle;      // false: the previous clip is still playing
};

const player_case PLAYER_CASES[] = {
    { "100.wav present, player idle", 100, "100.wav", true },
    { "7.wav missing, player idle", 7, "7.wav", true },
    { "100.wav present, clip playing", 100, "100.wav", false },
};

// A host's events come further apart than its clips last: by the next one
// the clip has ended and the player's thread is gone.
void stop_clip_if(bool player_idle)
{
    if (player_idle) {
        sndPlaySoundA(nullptr, 0);
        Sleep(1);
    }
}

double time_plugin_call(event_fn qel_caller, const player_case &c)
{
    stop_clip_if(c.player_idle);
    LONGLONG start = now();
    qel_caller(nullptr, EVENT_CALL_NUMBER, 0, c.number);
    return microseconds_since(start);
}

double time_bare_call(const std::string &clip, const player_case &c)
{
    stop_clip_if(c.player_idle);
    LONGLONG start = now();
    sndPlaySoundA(clip.c_str(), ASYNC_NO_DEFAULT);
    return microseconds_since(start);
}

struct comparison {
    summary plugin;
    summary bare;
    double paired_ratio;  // median of each pair's plug-in time over its bare time
    double median_ratio() const { return plugin.median / bare.median; }
};

double median_paired_ratio(const std::vector<double> &plugin_times,
                           const std::vector<double> &bare_times)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < plugin_times.size(); ++i)
        ratios.push_back(plugin_times[i] / bare_times[i]);
    return summarize(ratios).median;
}

comparison compare_with_bare_player(event_fn qel_caller, const std::string &sounds,
                                    const player_case &c, int pairs)
{
    std::string clip = sounds + c.clip_name;
    std::vector<double> plugin_times, bare_times;
    for (int i = 0; i < WARM_UP_PAIRS + pairs; ++i) {
        // Alternate the order, so neither side always follows the other.
        double plugin_time, bare_time;
        if (i % 2 == 0) {
            plugin_time = time_plugin_call(qel_caller, c);
            bare_time = time_bare_call(clip, c);
        } else {
            bare_time = time_bare_call(clip, c);
            plugin_time = time_plugin_call(qel_caller, c);
        }
        if (i < WARM_UP_PAIRS)
            continue;
        plugin_times.push_back(plugin_time);
        bare_times.push_back(bare_time);
    }
    sndPlaySoundA(nullptr, 0);
    return { summarize(plugin_times), summarize(bare_times),
             median_paired_ratio(plugin_times, bare_times) };
}

void measure_against_bare_player(const bench_folder &folder, event_fn qel_caller, int pairs)
{
    std::printf("\nqel_caller(number) against sndPlaySoundA(same path, SND_ASYNC|SND_NODEFAULT)"
                " (%d pairs each, interleaved)\n", pairs);
    std::printf("  %-32s %9s %9s %7s %7s %9s %9s %7s\n", "clip", "plugin", "bare", "ratio",
                "paired", "plugin", "bare", "ratio");
    std::printf("  %-32s %9s %9s %7s %7s %9s %9s %7s\n", "", "median us", "median us", "median",
                "ratio", "p99.9 us", "p99.9 us", "p99.9");
    std::vector<comparison> results;
    for (const player_case &c : PLAYER_CASES) {
        comparison r = compare_with_bare_player(qel_caller, folder.sounds, c, pairs);
        std::printf("  %-32s %9.1f %9.1f %7.3f %7.3f %9.1f %9.1f %7.3f\n", c.label,
                    r.plugin.median, r.bare.median, r.median_ratio(), r.paired_ratio,
                    r.plugin.p999, r.bare.p999, r.plugin.p999 / r.bare.p999);
        results.push_back(r);
    }
    // The first case is the one a host meets: events come further apart than
    // a clip lasts.
    double ratio = results[0].median_ratio();
    report_target(ratio <= MAX_MEDIAN_RATIO, "qel_caller within 1.05x the bare sound player call",
                  format("median ratio %.3f, paired %.3f (present clip, player idle)", ratio,
                         results[0].paired_ratio));
}

// --- burst -----------------------------------------------------------------

// The process's committed private memory. Windows gives it as both
// PrivateUsage and PagefileUsage; Wine fills only the latter (from the
// process's resident anonymous memory).
SIZE_T private_bytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

// Read with the player stopped and its last thread gone, so that no
// clip's own memory is counted.
SIZE_T private_bytes_at_rest()
{
    sndPlaySoundA(nullptr, 0);
    Sleep(200);
    return private_bytes();
}

// The burst's events in turn: a number, the game-on call, an ordinal.
struct burst_event {
    DWORD code;
    int value;
};

burst_event burst_event_at(int i)
{
    const DWORD codes[] = { EVENT_CALL_NUMBER, EVENT_GAME_ON, EVENT_CALL_ORDINAL };
    DWORD code = codes[i % 3];
    return { code, code == EVENT_CALL_ORDINAL ? -(i % 4) - 1 : i % 200 };
}

// The path the plug-in composes for a burst event, for the bare player.
std::string clip_for(const std::string &sounds, const burst_event &e)
{
    const char *ordinals[] = { "1st", "2nd", "3rd", "middle" };
    if (e.code == EVENT_GAME_ON)
        return sounds + "gameon.wav";
    if (e.code == EVENT_CALL_ORDINAL)
        return sounds + ordinals[-e.value - 1] + ".wav";
    return sounds + std::to_string(e.value) + ".wav";
}

void measure_burst(event_fn qel_caller, const std::string &sounds, int events)
{
    // The platform's player grows its own memory over its first ten thousand
    // or so requests, whoever makes them; the same requests made bare first
    // leave only what the plug-in adds to be seen.
    SIZE_T cold = private_bytes_at_rest();
    for (int i = 0; i < events; ++i)
        sndPlaySoundA(clip_for(sounds, burst_event_at(i)).c_str(), ASYNC_NO_DEFAULT);
    SIZE_T before = private_bytes_at_rest();
    std::vector<double> times;
    times.reserve(events);
    for (int i = 0; i < events; ++i) {
        burst_event e = burst_event_at(i);
        LONGLONG start = now();
        qel_caller(nullptr, e.code, 0, e.value);
        times.push_back(microseconds_since(start));
    }
    SIZE_T after = private_bytes_at_rest();
    summary burst = summarize(times);
    long long growth = (long long)after - (long long)before;
    std::printf("\nBurst of %d announcements (number, game-on, ordinal in turn)\n", events);
    std::printf("  median call %.1f us, p99.9 %.1f us, slowest single call %.1f us\n",
                burst.median, burst.p999, burst.slowest);
    std::printf("  private memory: %llu KiB cold; %llu KiB after the same %d requests made bare"
                " (the platform's own growth); %llu KiB after the burst\n",
                (unsigned long long)cold / 1024, (unsigned long long)before / 1024, events,
                (unsigned long long)after / 1024);
    std::printf("  growth over the burst %lld bytes (%.3f bytes per event)\n", growth,
                double(growth) / events);
    report_target(growth <= MEMORY_JITTER, "no memory growth over the burst",
                  format("%.0f bytes over %.0f events (the platform's own jitter is one page,"
                         " %.0f bytes)", double(growth), double(events), double(MEMORY_JITTER)));
}

// --- imports per event -----------------------------------------------------

void print_imports(const std::vector<imported_function> &imports)
{
    std::printf("\nThe plug-in's imports: every call it makes outside itself\n");
    for (size_t i = 0; i < imports.size(); ++i) {
        bool first_of_module = i == 0 || imports[i].module_name != imports[i - 1].module_name;
        if (first_of_module)
            std::printf("%s  %-13s", i == 0 ? "" : "\n", imports[i].module_name.c_str());
        std::printf("%s%s", first_of_module ? "" : ", ", imports[i].name.c_str());
    }
    std::printf("\n");
}

struct counted_kind {
    const char *name;
    DWORD code;
    int value;
    int plays;  // sndPlaySoundA calls each event must make
};

void count_import_calls(HMODULE module, event_fn qel_caller)
{
    const counted_kind kinds[] = {
        { "game-on", EVENT_GAME_ON, 0, 1 },
        { "number-100", EVENT_CALL_NUMBER, 100, 1 },
        { "ordinal-1st", EVENT_CALL_ORDINAL, -1, 1 },
        { "ordinal-middle", EVENT_CALL_ORDINAL, 7, 1 },
        { "mute-next", EVENT_MUTE_NEXT_GAME_ON, 0, 0 },
        { "unknown-code", 64, 0, 0 },
    };
    import_call_counter counter;
    if (!install_call_counter(module, &counter)) {
        report_target(false, "import calls counted", "no import table to watch");
        return;
    }
    print_imports(counter.imports);
    std::printf("\nImport calls per event (%d events of each kind)\n", COUNTED_EVENTS);
    std::printf("  %-16s %14s %14s\n", "kind", "sndPlaySoundA", "other imports");
    bool as_expected = true;
    for (const counted_kind &kind : kinds) {
        reset_call_counts(&counter);
        for (int i = 0; i < COUNTED_EVENTS; ++i)
            qel_caller(nullptr, kind.code, 0, kind.value);
        DWORD player_calls = 0, other_calls = 0;
        for (size_t i = 0; i < counter.imports.size(); ++i) {
            if (counter.imports[i].name == "sndPlaySoundA")
                player_calls += counter.calls[i];
            else
                other_calls += counter.calls[i];
        }
        std::printf("  %-16s %14.3f %14.3f\n", kind.name, double(player_calls) / COUNTED_EVENTS,
                    double(other_calls) / COUNTED_EVENTS);
        if (player_calls != DWORD(kind.plays * COUNTED_EVENTS) || other_calls != 0)
            as_expected = false;
    }
    remove_call_counter(&counter);
    sndPlaySoundA(nullptr, 0);
    report_target(as_expected,
                  "no heap or file calls on the event path (only sndPlaySoundA, once per announcement)",
                  as_expected ? "counted" : "other imports called, or not one play per announcement");
}

}

int main(int argc, char **argv)
{
    int pairs = argc > 1 ? std::atoi(argv[1]) : 2000;
    int burst_events = argc > 2 ? std::atoi(argv[2]) : 10000;
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    bench_folder folder;
    if (!prepare_folder(&folder)) {
        std::fprintf(stderr, "cannot prepare %s\n", folder.root.c_str());
        return 2;
    }
    measure_attach(folder);

    HMODULE module = LoadLibraryA(folder.plugin.c_str());
    auto qel_caller = module ? reinterpret_cast<event_fn>(
                                   reinterpret_cast<void *>(GetProcAddress(module, "qel_caller")))
                             : nullptr;
    if (qel_caller == nullptr) {
        std::fprintf(stderr, "cannot load %s\n", folder.plugin.c_str());
        return 2;
    }
    if (!plugin_asks_for(module, qel_caller, 100, folder.sounds + "100.wav")) {
        std::fprintf(stderr, "the plug-in asked for %s (flags %u), not %s100.wav\n",
                     recorded_clip.c_str(), recorded_flags, folder.sounds.c_str());
        return 2;
    }
    measure_against_bare_player(folder, qel_caller, pairs);
    measure_burst(qel_caller, folder.sounds, burst_events);
    count_import_calls(module, qel_caller);
    FreeLibrary(module);
    remove_folder(folder);
    return targets_missed == 0 ? 0 : 1;
}
