#include "audio_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "host/sound_player_idle.h"

namespace {

const DWORD PLAYER_WAIT_LIMIT_MS = 20000;

std::string device_folder;

std::string little_endian(uint32_t value, int bytes)
{
    std::string text;
    for (int i = 0; i < bytes; ++i)
        text += static_cast<char>((value >> (8 * i)) & 0xFF);
    return text;
}

// Wine's audio goes through winealsa, whatever else the machine offers, and
// the device folder is known and exists before the first stream.
class audio_device_environment : public ::testing::Environment {
public:
    void SetUp() override
    {
        HKEY drivers;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Drivers", 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &drivers, nullptr),
                  ERROR_SUCCESS);
        LONG set = RegSetValueExA(drivers, "Audio", 0, REG_SZ,
                                  reinterpret_cast<const BYTE *>("alsa"), 5);
        RegCloseKey(drivers);
        ASSERT_EQ(set, ERROR_SUCCESS) << "Wine's audio driver";

        const char *unix_folder = std::getenv("QEL_AUDIO_DEVICE");
        ASSERT_NE(unix_folder, nullptr) << "QEL_AUDIO_DEVICE names the device's folder";
        device_folder = std::string("Z:") + unix_folder;
        std::replace(device_folder.begin(), device_folder.end(), '/', '\\');
        CreateDirectoryA(device_folder.c_str(), nullptr);
        ASSERT_TRUE(file_exists(device_folder)) << device_folder;
    }
};

::testing::Environment *const environment =
    ::testing::AddGlobalTestEnvironment(new audio_device_environment);

std::vector<std::string> device_files()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((device_folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(device_folder + "\\" + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    // "stream.raw" comes before "stream.raw.0001", and so on in order.
    std::sort(names.begin(), names.end());
    return names;
}

// The samples between the first and the last that are not 0.
std::string without_edge_silence(const std::string &samples)
{
    size_t start = 0, end = samples.size() & ~size_t(1);
    while (start < end && samples[start] == 0 && samples[start + 1] == 0)
        start += 2;
    while (end > start && samples[end - 1] == 0 && samples[end - 2] == 0)
        end -= 2;
    return samples.substr(start, end - start);
}

}  // namespace

std::string test_samples(unsigned seed, size_t sound_count)
{
    const size_t silence_count = 2205;
    std::string bytes;
    uint32_t state = seed;
    for (size_t i = 0; i < sound_count; ++i) {
        state = state * 1664525u + 1013904223u;
        uint32_t sample = state >> 16;
        bytes += little_endian(sample != 0 ? sample : 1, 2);
    }
    return bytes + std::string(2 * silence_count, '\0');
}

std::string wav_file(const std::string &samples)
{
    const uint32_t rate = 22050, block = 2;
    return "RIFF" + little_endian(36 + static_cast<uint32_t>(samples.size()), 4) + "WAVE"
           + "fmt " + little_endian(16, 4) + little_endian(1, 2) + little_endian(1, 2)
           + little_endian(rate, 4) + little_endian(rate * block, 4) + little_endian(block, 2)
           + little_endian(16, 2) + "data" + little_endian(static_cast<uint32_t>(samples.size()), 4)
           + samples;
}

void clear_device()
{
    for (const std::string &file : device_files())
        EXPECT_TRUE(DeleteFileA(file.c_str())) << file;
}

std::vector<std::string> device_streams()
{
    std::vector<std::string> streams;
    for (const std::string &file : device_files()) {
        // An empty stream sounds nothing: the player opens one for the empty
        // clip that wait_for_player offers.
        std::string samples = read_file(file);
        if (!samples.empty())
            streams.push_back(samples);
    }
    return streams;
}

void wait_for_player()
{
    EXPECT_TRUE(wait_until_sound_player_idle(PLAYER_WAIT_LIMIT_MS))
        << "a clip still plays after " << PLAYER_WAIT_LIMIT_MS << " ms";
}

std::string sound_difference(const std::string &clip, const std::string &stream)
{
    const std::string expected = without_edge_silence(clip);
    const std::string actual = without_edge_silence(stream);
    if (expected == actual)
        return "";
    size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    return std::to_string(actual.size()) + " bytes of sound where " + std::to_string(expected.size())
           + " were expected; the first difference is at byte " + std::to_string(at);
}

loaded_plugin load_live_plugin(const std::string &folder)
{
    loaded_plugin plugin;
    std::string built = program_folder() + "\\qel_caller.qel";
    std::string target = folder + "\\qel_caller.qel";
    EXPECT_TRUE(CopyFileA(built.c_str(), target.c_str(), FALSE)) << built << " to " << target;
    plugin.module = LoadLibraryA(target.c_str());
    EXPECT_NE(plugin.module, nullptr) << "loading " << target << ", error " << GetLastError();
    if (plugin.module != 0)
        plugin.event = reinterpret_cast<event_fn>(GetProcAddress(plugin.module, "qel_caller"));
    EXPECT_NE(plugin.event, nullptr) << "no export qel_caller";
    return plugin;
}
