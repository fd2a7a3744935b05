// What reaches the sound device when the real plug-in asks Wine's own sound
// player for its clips.
#include "audio_device.h"

#include <gtest/gtest.h>

namespace {

struct event_call {
    DWORD code;
    int value;
};

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = make_scratch_folder("audio");
        for (const auto &clip : clips)
            write_file(folder + "\\" + clip.first, wav_file(clip.second));
        write_file(folder + "\\qel_caller.ini", "[SOUND]\r\npath=" + folder + "\r\n");
        plugin = load_live_plugin(folder);
        ASSERT_NE(plugin.event, nullptr);
        wait_for_player();
        clear_device();
    }
    void TearDown() override
    {
        wait_for_player();
        unload_plugin(plugin);
        remove_tree(folder);
    }
    // Sends the events, lets the player finish and returns what the device
    // received meanwhile.
    std::vector<std::string> streams_for(const std::vector<event_call> &calls)
    {
        clear_device();
        for (const event_call &call : calls)
            EXPECT_EQ(plugin.event(0, call.code, 0, call.value), 1) << "code " << call.code;
        wait_for_player();
        return device_streams();
    }
    void expect_only(const std::vector<std::string> &streams, const std::string &samples)
    {
        ASSERT_EQ(streams.size(), 1u) << "streams at the device";
        EXPECT_EQ(sound_difference(samples, streams[0]), "") << "the clip's samples, and only those";
    }

    // Clips of different lengths, none of them a multiple of another.
    const std::string game_on = test_samples(1, 5000);
    const std::string forty_two = test_samples(2, 8821);
    const std::string first = test_samples(3, 3307);
    const std::string middle = test_samples(4, 4410);
    const std::vector<std::pair<std::string, std::string>> clips = {
        { "gameon.wav", game_on }, { "42.wav", forty_two }, { "1st.wav", first },
        { "middle.wav", middle },
    };
    std::string folder;
    loaded_plugin plugin;
};

TEST_F(AudioTest, AnnouncementReachesTheDeviceSampleForSample)
{
    // Each stream is the clip's data chunk, its closing silence aside.
    struct sound_case {
        event_call call;
        const std::string &samples;
    } cases[] = {
        { { 32, 0 }, game_on },
        { { 256, 42 }, forty_two },
        { { 512, -1 }, first },
        { { 512, 5 }, middle },
    };
    for (const sound_case &c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.call.code << ", value " << c.call.value);
        expect_only(streams_for({ c.call }), c.samples);
    }
}

TEST_F(AudioTest, SilentAnnouncementsSendNothing)
{
    // Wine's player has no default sound for a missing file, so a fallback
    // could only come from the plug-in itself, e.g. another clip of the
    // folder.
    EXPECT_TRUE(streams_for({ { 256, 7 } }).empty()) << "7.wav is missing";
    EXPECT_TRUE(streams_for({ { 512, -2 } }).empty()) << "2nd.wav is missing";
    EXPECT_TRUE(streams_for({ { 1, 0 }, { 32, 0 } }).empty()) << "the game-on was muted";
    // The device was live all along: the mute is spent, the next one sounds.
    expect_only(streams_for({ { 32, 0 } }), game_on);
}

}  // namespace
