#include "announcer/announcer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "play_clip_recorder.h"
#include "settings/caller_settings.h"

namespace {

TEST(OrdinalWord, EverySelectorBoundary)
{
    struct ordinal_case {
        int32_t value;
        const char *word;
    } cases[] = {
        { -1, "1st" }, { -2, "2nd" }, { -3, "3rd" },
        { -4, "middle" }, { 0, "middle" }, { 1, "middle" }, { 2, "middle" }, { 3, "middle" },
        { INT32_MIN, "middle" }, { INT32_MAX, "middle" },
    };
    for (const ordinal_case &c : cases)
        EXPECT_STREQ(ordinal_word(c.value), c.word) << c.value;
}

TEST(ComposeClipPath, FolderFollowedByTheClipName)
{
    struct compose_case {
        const char *folder;
        uint32_t event;
        int32_t value;
        const char *clip;  // "" when there is no clip for the event
    } cases[] = {
        { "D:\\sounds\\", EVENT_CALL_NUMBER, 60, "D:\\sounds\\60.wav" },
        { "", EVENT_CALL_NUMBER, 60, "60.wav" },
        { "D:\\sounds\\", EVENT_CALL_NUMBER, -5, "D:\\sounds\\-5.wav" },
        { "", EVENT_CALL_NUMBER, 0, "0.wav" },
        { "", EVENT_CALL_NUMBER, INT32_MIN, "-2147483648.wav" },
        { "", EVENT_CALL_NUMBER, INT32_MAX, "2147483647.wav" },
        { "D:/s/", EVENT_GAME_ON, 123, "D:/s/gameon.wav" },
        { "", EVENT_GAME_ON, 0, "gameon.wav" },
        { "D:\\sounds\\", EVENT_CALL_ORDINAL, -2, "D:\\sounds\\2nd.wav" },
        { "", EVENT_CALL_ORDINAL, 5, "middle.wav" },
        { "D:\\sounds\\", EVENT_MUTE_NEXT_GAME_ON, 0, "" },
        { "D:\\sounds\\", EVENT_OPEN_OPTIONS, 0, "" },
        { "D:\\sounds\\", 33, 0, "" },
        { "D:\\sounds\\", 0, 0, "" },
    };
    for (const compose_case &c : cases) {
        char out[CLIP_PATH_SIZE];
        int composed = compose_clip_path(out, sizeof out, c.folder, c.event, c.value);
        EXPECT_EQ(composed, c.clip[0] != '\0') << c.folder << " event " << c.event;
        EXPECT_STREQ(out, c.clip) << c.folder << " event " << c.event << " value " << c.value;
    }
}

TEST(ComposeClipPath, NameThatDoesNotFitIsNotMade)
{
    // With a folder of n characters, "100.wav" fits while n + 7 <= 255.
    struct fit_case {
        size_t folder_length;
        uint32_t event;
        int32_t value;
        int fits;
    } cases[] = {
        { 248, EVENT_CALL_NUMBER, 100, 1 },
        { 249, EVENT_CALL_NUMBER, 100, 0 },
        { 245, EVENT_GAME_ON, 0, 1 },
        { 246, EVENT_GAME_ON, 0, 0 },
        { 240, EVENT_CALL_NUMBER, INT32_MIN, 1 },  // "-2147483648.wav" is 15 characters
        { 241, EVENT_CALL_NUMBER, INT32_MIN, 0 },
        { 259, EVENT_CALL_ORDINAL, -1, 0 },
    };
    for (const fit_case &c : cases) {
        std::string folder = std::string(c.folder_length - 1, 'f') + "\\";
        char out[CLIP_PATH_SIZE + 16];
        memset(out, '#', sizeof out);
        int composed = compose_clip_path(out, CLIP_PATH_SIZE, folder.c_str(), c.event, c.value);
        EXPECT_EQ(composed, c.fits) << "folder of " << c.folder_length << ", event " << c.event;
        if (c.fits)
            EXPECT_EQ(std::string(out).substr(0, folder.size()), folder);
        else
            EXPECT_STREQ(out, "") << "a cut-off name was left";
        EXPECT_LE(strlen(out), 255u);
        for (size_t i = CLIP_PATH_SIZE; i < sizeof out; ++i)
            ASSERT_EQ(out[i], '#') << "wrote past the buffer at " << i;
    }
}

// Runs the announcer against the live settings record, from a fresh module
// state.
class AnnounceEvent : public ::testing::Test {
protected:
    void SetUp() override
    {
        mute_next_game_on = 0;
        caller_settings.enable = 1;
        strcpy(caller_settings.path, "D:\\s\\");
        played_clips.clear();
    }
};

struct step {
    uint32_t event;
    int32_t value;
    int32_t enable;
};

const step MUTE = { EVENT_MUTE_NEXT_GAME_ON, 0, 1 };
const step GAME_ON = { EVENT_GAME_ON, 0, 1 };
const step NUMBER = { EVENT_CALL_NUMBER, 7, 1 };
const step ORDINAL = { EVENT_CALL_ORDINAL, -3, 1 };

TEST_F(AnnounceEvent, MuteSequences)
{
    struct sequence_case {
        const char *name;
        std::vector<step> steps;
        std::vector<std::string> clips;
    } cases[] = {
        { "game-on plays", { GAME_ON }, { "D:\\s\\gameon.wav" } },
        { "mute, number, game-on, game-on", { MUTE, NUMBER, GAME_ON, GAME_ON },
          { "D:\\s\\7.wav", "D:\\s\\gameon.wav" } },
        { "mute twice, game-on twice", { MUTE, MUTE, GAME_ON, GAME_ON }, { "D:\\s\\gameon.wav" } },
        { "ordinal and unknown codes keep the mute",
          { MUTE, ORDINAL, { 33, 0, 1 }, { 2, 0, 1 }, GAME_ON }, { "D:\\s\\3rd.wav" } },
        { "disabled game-on clears the mute",
          { MUTE, { EVENT_GAME_ON, 0, 0 }, GAME_ON }, { "D:\\s\\gameon.wav" } },
        { "disabled: nothing plays",
          { { EVENT_GAME_ON, 0, 0 }, { EVENT_CALL_NUMBER, 1, 0 }, { EVENT_CALL_ORDINAL, -1, 0 } },
          {} },
        { "any non-zero switch plays", { { EVENT_CALL_NUMBER, 1, 2 }, { EVENT_CALL_NUMBER, 2, -1 } },
          { "D:\\s\\1.wav", "D:\\s\\2.wav" } },
        { "options code is not the announcer's", { MUTE, { EVENT_OPEN_OPTIONS, 0, 1 }, GAME_ON },
          {} },
    };
    for (const sequence_case &c : cases) {
        SetUp();
        for (const step &s : c.steps) {
            caller_settings.enable = s.enable;
            announce_event(s.event, s.value);
        }
        EXPECT_EQ(played_clips, c.clips) << c.name;
    }
}

TEST_F(AnnounceEvent, UsesTheFolderOfTheMoment)
{
    announce_event(EVENT_CALL_NUMBER, 1);
    strcpy(caller_settings.path, "");
    announce_event(EVENT_CALL_NUMBER, 2);
    std::vector<std::string> expected = { "D:\\s\\1.wav", "2.wav" };
    EXPECT_EQ(played_clips, expected);
}

TEST_F(AnnounceEvent, FolderTooLongPlaysNothing)
{
    std::string folder = std::string(258, 'f') + "\\";
    strcpy(caller_settings.path, folder.c_str());
    announce_event(EVENT_GAME_ON, 0);
    announce_event(EVENT_CALL_NUMBER, 1);
    announce_event(EVENT_CALL_ORDINAL, -1);
    EXPECT_TRUE(played_clips.empty());
}

}
