// Sequences of host events against a model of the announcer: which clips
// are asked for, in order, with the one-shot mute and the sound switch.
//
// Input: enable (4 bytes, signed), folder length (2 bytes) and folder bytes,
// then events of 8 bytes each: code (4 bytes) and value (4 bytes, signed).
#include <cstring>
#include <vector>

#include "announcer/announcer.h"
#include "fuzz_input.h"
#include "played_clips.h"
#include "settings/caller_settings.h"

namespace {

struct announcer_model {
    bool muted = false;
    std::vector<std::string> played;

    void play(const std::string &folder, const std::string &name)
    {
        std::string clip = folder + name;
        if (clip.size() < CLIP_PATH_SIZE)
            played.push_back(clip);
    }

    void event(uint32_t code, int32_t value, int32_t enable, const std::string &folder)
    {
        if (code == 1) {
            muted = true;
        } else if (code == 0x20) {
            if (!muted && enable != 0)
                play(folder, "gameon.wav");
            muted = false;
        } else if (code == 0x100 && enable != 0) {
            play(folder, std::to_string(value) + ".wav");
        } else if (code == 0x200 && enable != 0) {
            const char *words[] = { "3rd", "2nd", "1st" };
            play(folder, std::string(value >= -3 && value <= -1 ? words[value + 3] : "middle")
                             + ".wav");
        }
    }
};

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz_input input(data, size);
    int32_t enable = (int32_t)input.u32();
    // The record holds at most 259 characters.
    std::string folder = input.bytes(input.u16() % SOUND_PATH_SIZE);
    folder = folder.substr(0, folder.find('\0'));

    caller_settings.enable = enable;
    std::memcpy(caller_settings.path, folder.c_str(), folder.size() + 1);
    mute_next_game_on = 0;
    played_clips.clear();

    announcer_model model;
    while (!input.empty()) {
        uint32_t code = input.u32();
        int32_t value = (int32_t)input.u32();
        announce_event(code, value);
        model.event(code, value, enable, folder);
        FUZZ_CHECK(played_clips == model.played,
                   "after event %u value %d: %zu clips asked for, model %zu (last \"%s\")", code,
                   value, played_clips.size(), model.played.size(),
                   played_clips.empty() ? "" : shown(played_clips.back()).c_str());
        FUZZ_CHECK(mute_next_game_on == (model.muted ? 1 : 0), "mute flag %d after event %u",
                   mute_next_game_on, code);
    }
    return 0;
}
