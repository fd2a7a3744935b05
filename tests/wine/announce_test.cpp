// What the real plug-in asks Wine's sound player for, with the settings it
// read from the file beside it.
#include "plugin_harness.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const UINT ASYNC_NO_DEFAULT = SND_ASYNC | SND_NODEFAULT;

struct event_call {
    DWORD code;
    int value;
};

class AnnounceTest : public ::testing::Test {
protected:
    void SetUp() override { folder = make_scratch_folder("announce"); }
    void TearDown() override
    {
        unload_plugin(plugin);
        remove_tree(folder);
    }
    void load_with_settings(const char *ini)
    {
        if (ini != nullptr)
            write_file(folder + "\\qel_caller.ini", ini);
        plugin = load_plugin(folder);
        ASSERT_NE(plugin.module, nullptr);
    }
    std::vector<std::string> send(const std::vector<event_call> &calls)
    {
        play_requests.clear();
        for (const event_call &call : calls)
            EXPECT_EQ(plugin.event(0, call.code, 0, call.value), 1) << "code " << call.code;
        std::vector<std::string> clips;
        for (const play_request &request : play_requests) {
            EXPECT_EQ(request.flags, ASYNC_NO_DEFAULT) << request.clip;
            clips.push_back(request.clip);
        }
        return clips;
    }
    std::string folder;
    loaded_plugin plugin;
};

TEST_F(AnnounceTest, SettingsFileDecidesFolderAndSwitch)
{
    struct settings_case {
        const char *ini;  // null: no settings file
        const char *expected_clip;  // null: nothing played
    } cases[] = {
        { nullptr, "100.wav" },
        { "[SOUND]\r\npath=D:\\sounds\r\n", "D:\\sounds\\100.wav" },
        { "[SOUND]\r\npath=D:\\sounds\\\r\n", "D:\\sounds\\100.wav" },
        { "[SOUND]\r\npath=D:/sounds/\r\n", "D:/sounds/100.wav" },
        { "[SOUND]\r\npath=D:/sounds\r\n", "D:/sounds\\100.wav" },
        { "[SOUND]\r\npath=\r\nenable=1\r\n", "100.wav" },
        { "[SOUND]\r\npath=D:\\sounds\\\r\nenable=0\r\n", nullptr },
        { "[SOUND]\r\npath=D:\\sounds\\\r\nenable=2\r\n", "D:\\sounds\\100.wav" },
        { "[SOUND]\r\npath=D:\\sounds\\\r\nenable=-1\r\n", "D:\\sounds\\100.wav" },
        { "[OTHER]\r\npath=D:\\elsewhere\\\r\nenable=0\r\n", "100.wav" },
    };
    for (const settings_case &c : cases) {
        SCOPED_TRACE(c.ini ? c.ini : "no settings file");
        unload_plugin(plugin);
        DeleteFileA((folder + "\\qel_caller.ini").c_str());
        load_with_settings(c.ini);
        std::vector<std::string> clips = send({ { 256, 100 } });
        if (c.expected_clip == nullptr) {
            EXPECT_TRUE(clips.empty()) << "played " << (clips.empty() ? "" : clips[0]);
        } else {
            ASSERT_EQ(clips.size(), 1u);
            EXPECT_EQ(clips[0], c.expected_clip);
        }
    }
}

TEST_F(AnnounceTest, LoadingCreatesNoSettingsFile)
{
    load_with_settings(nullptr);
    send({ { 256, 1 }, { 32, 0 } });
    EXPECT_FALSE(file_exists(folder + "\\qel_caller.ini"));
}

TEST_F(AnnounceTest, EachEventAsksForItsClip)
{
    load_with_settings("[SOUND]\r\npath=C:\\clips\r\n");
    struct clip_case {
        event_call call;
        const char *clip;  // null: nothing played
    } cases[] = {
        { { 32, 0 }, "C:\\clips\\gameon.wav" },
        { { 32, -9 }, "C:\\clips\\gameon.wav" },
        { { 256, 60 }, "C:\\clips\\60.wav" },
        { { 256, 0 }, "C:\\clips\\0.wav" },
        { { 256, -5 }, "C:\\clips\\-5.wav" },
        { { 256, INT_MAX }, "C:\\clips\\2147483647.wav" },
        { { 256, INT_MIN }, "C:\\clips\\-2147483648.wav" },
        { { 512, -1 }, "C:\\clips\\1st.wav" },
        { { 512, -2 }, "C:\\clips\\2nd.wav" },
        { { 512, -3 }, "C:\\clips\\3rd.wav" },
        { { 512, -4 }, "C:\\clips\\middle.wav" },
        { { 512, 0 }, "C:\\clips\\middle.wav" },
        { { 512, 3 }, "C:\\clips\\middle.wav" },
        { { 512, INT_MIN }, "C:\\clips\\middle.wav" },
        { { 512, INT_MAX }, "C:\\clips\\middle.wav" },
        { { 0, 100 }, nullptr },
        { { 2, 100 }, nullptr },
        { { 8, 100 }, nullptr },
        { { 33, 100 }, nullptr },
        { { 64, 100 }, nullptr },
        { { 768, 100 }, nullptr },
        { { 1024, 100 }, nullptr },
        { { 0xFFFFFFFF, 100 }, nullptr },
    };
    for (const clip_case &c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.call.code << ", value " << c.call.value);
        std::vector<std::string> clips = send({ c.call });
        if (c.clip == nullptr) {
            EXPECT_TRUE(clips.empty());
        } else {
            ASSERT_EQ(clips.size(), 1u);
            EXPECT_EQ(clips[0], c.clip);
        }
    }
}

TEST_F(AnnounceTest, MuteSilencesOnlyTheNextGameOn)
{
    const event_call mute = { 1, 0 }, game_on = { 32, 0 }, number = { 256, 7 }, ordinal = { 512, -1 };
    struct mute_case {
        const char *name;
        std::vector<event_call> calls;
        std::vector<std::string> clips;
    } cases[] = {
        { "mute, number, game-on, game-on", { mute, number, game_on, game_on },
          { "7.wav", "gameon.wav" } },
        { "mute twice, game-on twice", { mute, mute, game_on, game_on }, { "gameon.wav" } },
        { "ordinal between mute and game-on", { mute, ordinal, game_on }, { "1st.wav" } },
        { "mute after game-on waits for the next", { game_on, mute, game_on, game_on },
          { "gameon.wav", "gameon.wav" } },
        { "unknown codes keep the mute", { mute, { 2, 0 }, { 33, 0 }, game_on }, {} },
        { "options event is not a game-on", { mute, { 64, 0 }, game_on, game_on },
          { "gameon.wav" } },
    };
    load_with_settings(nullptr);
    for (const mute_case &c : cases) {
        SCOPED_TRACE(c.name);
        // Each sequence starts unmuted: a game-on clears any mute left over.
        send({ game_on });
        EXPECT_EQ(send(c.calls), c.clips);
    }
}

TEST_F(AnnounceTest, DisabledGameOnStillClearsTheMute)
{
    load_with_settings("[SOUND]\r\nenable=0\r\n");
    EXPECT_TRUE(send({ { 1, 0 }, { 32, 0 }, { 256, 3 }, { 512, -2 } }).empty());
}

TEST_F(AnnounceTest, ClipThatWouldNotFitIsNotPlayed)
{
    // 255 characters is the most a clip path may have.
    std::string fits = "C:\\" + std::string(255 - 3 - 1 - 8, 'f') + "\\";   // + "100.wav"
    std::string too_long = "C:\\" + std::string(255 - 3 - 1 - 6, 'f') + "\\"; // + "gameon.wav"
    load_with_settings(("[SOUND]\r\npath=" + fits + "\r\n").c_str());
    std::vector<std::string> clips = send({ { 256, 100 } });
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0], fits + "100.wav");
    EXPECT_EQ(clips[0].size(), 254u);

    unload_plugin(plugin);
    load_with_settings(("[SOUND]\r\npath=" + too_long + "\r\n").c_str());
    EXPECT_TRUE(send({ { 32, 0 }, { 256, 100 }, { 512, 0 } }).empty())
        << "a cut-off name was played";
    EXPECT_EQ(send({ { 256, 1 } }), std::vector<std::string>{ too_long + "1.wav" });
}

}
