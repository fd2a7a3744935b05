// Clip name composition with any folder, event and value: the result is the
// exact folder-plus-clip name or nothing, and never passes its buffer.
//
// Input: event (4 bytes), value (4 bytes, signed), buffer size (2 bytes;
// 0 means the announcer's own 256), then the folder as text.
#include <cstring>
#include <vector>

#include "announcer/announcer.h"
#include "fuzz_input.h"

namespace {

// The clip file name for an event, straight from the event table; empty for
// codes without a clip.
std::string clip_name(uint32_t event, int32_t value)
{
    switch (event) {
    case 0x20:
        return "gameon.wav";
    case 0x100:
        return std::to_string(value) + ".wav";
    case 0x200:
        if (value == -1)
            return "1st.wav";
        if (value == -2)
            return "2nd.wav";
        if (value == -3)
            return "3rd.wav";
        return "middle.wav";
    default:
        return "";
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz_input input(data, size);
    uint32_t event = input.u32();
    int32_t value = (int32_t)input.u32();
    size_t out_size = input.u16() % 1024;
    if (out_size == 0)
        out_size = CLIP_PATH_SIZE;
    std::string folder = input.rest_as_text();

    std::vector<char> out(out_size, '#');
    int composed = compose_clip_path(out.data(), out.size(), folder.c_str(), event, value);

    std::string name = clip_name(event, value);
    std::string expected = name.empty() ? "" : folder + name;
    bool fits = !name.empty() && expected.size() < out_size;
    FUZZ_CHECK(composed == (int)fits, "composed %d for event %u value %d, folder \"%s\" (%zu), size %zu",
               composed, event, value, shown(folder).c_str(), folder.size(), out_size);
    std::string result(out.data(), strnlen(out.data(), out_size));
    FUZZ_CHECK(result.size() < out_size, "no terminator in %zu bytes", out_size);
    FUZZ_CHECK(result == (fits ? expected : std::string()), "got \"%s\", expected \"%s\"",
               shown(result).c_str(), shown(fits ? expected : "").c_str());

    std::string word = ordinal_word(value);
    FUZZ_CHECK(word + ".wav" == clip_name(0x200, value), "ordinal word \"%s\" for %d",
               word.c_str(), value);
    return 0;
}
