// A host that does not use the sound player itself may unload the plug-in
// right after an announcement, while the clip still plays on the player's
// thread. This program links no sound player of its own, so the plug-in's
// reference is the only one it has.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

typedef int(WINAPI *event_fn)(HWND, DWORD, DWORD, int);

std::string temp_folder(const char *name)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + name;
    CreateDirectoryA(folder.c_str(), 0);
    return folder;
}

// Half a second of a quiet tone, 16-bit mono at 22050 Hz.
void write_clip(const std::string &file)
{
    const unsigned rate = 22050, samples = rate / 2;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    auto u32 = [&](unsigned v) { out.write(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [&](unsigned short v) { out.write(reinterpret_cast<const char *>(&v), 2); };
    out << "RIFF";
    u32(36 + samples * 2);
    out << "WAVEfmt ";
    u32(16), u16(1), u16(1), u32(rate), u32(rate * 2), u16(2), u16(16);
    out << "data";
    u32(samples * 2);
    for (unsigned i = 0; i < samples; ++i)
        u16(static_cast<unsigned short>((i / 25) % 2 ? 2000 : -2000));
}

TEST(Unload, ClipStillPlayingOutlivesThePlugin)
{
    ASSERT_EQ(GetModuleHandleA("winmm.dll"), nullptr)
        << "this program must not load the sound player itself";

    char program[MAX_PATH];
    std::string built(program, GetModuleFileNameA(0, program, sizeof program));
    built = built.substr(0, built.find_last_of('\\')) + "\\qel_caller.qel";
    std::string folder = temp_folder("qel_test_unload");
    std::string module = folder + "\\qel_caller.qel";
    ASSERT_TRUE(CopyFileA(built.c_str(), module.c_str(), FALSE));
    write_clip(folder + "\\7.wav");
    std::ofstream(folder + "\\qel_caller.ini") << "[SOUND]\r\npath=" << folder << "\r\n";

    for (int round = 0; round < 3; ++round) {
        HMODULE plugin = LoadLibraryA(module.c_str());
        ASSERT_NE(plugin, nullptr);
        auto event = reinterpret_cast<event_fn>(GetProcAddress(plugin, "qel_caller"));
        ASSERT_NE(event, nullptr);
        EXPECT_EQ(event(0, 256, 0, 7), 1);
        ASSERT_TRUE(FreeLibrary(plugin));
        EXPECT_EQ(GetModuleHandleA("qel_caller.qel"), nullptr) << "round " << round;
        EXPECT_NE(GetModuleHandleA("winmm.dll"), nullptr)
            << "the sound player was unloaded under its playing clip, round " << round;
    }
    // Let the clips run to their end in a process that no longer has the
    // plug-in: reaching the end of the test is the proof.
    Sleep(800);
    DeleteFileA((folder + "\\7.wav").c_str());
    DeleteFileA((folder + "\\qel_caller.ini").c_str());
    DeleteFileA(module.c_str());
    RemoveDirectoryA(folder.c_str());
}

}
