// Text building into a fixed buffer, against a model kept in a std::string:
// the whole text or nothing, never a byte past the buffer.
//
// Input: buffer size (1 byte), then operations, each a kind byte and its
// operand: 0 text (length byte, bytes; stops at a zero byte as a C string
// does), 1 raw bytes (length byte, bytes), 2 decimal (8 bytes, signed).
#include <climits>
#include <cstring>
#include <vector>

#include "common/bounded_text.h"
#include "fuzz_input.h"

namespace {

struct text_model {
    std::string text;
    bool overflowed = false;
    size_t size;

    void add(const std::string &piece)
    {
        if (overflowed)
            return;
        // One byte stays for the terminator.
        if (text.size() + piece.size() >= size)
            overflowed = true;
        else
            text += piece;
    }
};

long clamp_to_long(int64_t value)
{
    if (value > LONG_MAX)
        return LONG_MAX;
    if (value < LONG_MIN)
        return LONG_MIN;
    return (long)value;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz_input input(data, size);
    size_t buffer_size = input.byte();
    // Exactly the size asked for, so AddressSanitizer sees any byte beyond.
    std::vector<char> storage(buffer_size);
    char *buffer = buffer_size ? storage.data() : nullptr;

    text_builder text;
    text_begin(&text, buffer, buffer_size);
    text_model model;
    model.size = buffer_size;
    model.overflowed = buffer_size == 0;

    while (!input.empty()) {
        switch (input.byte() % 3) {
        case 0: {
            std::string piece = input.bytes(input.byte());
            std::string as_text = piece.substr(0, piece.find('\0'));
            text_append(&text, as_text.c_str());
            model.add(as_text);
            break;
        }
        case 1: {
            std::string piece = input.bytes(input.byte());
            text_append_bytes(&text, piece.data(), piece.size());
            model.add(piece);
            break;
        }
        default: {
            long value = clamp_to_long((int64_t)input.u64());
            text_append_decimal(&text, value);
            model.add(std::to_string(value));
            break;
        }
        }
        FUZZ_CHECK(text.overflowed == (int)model.overflowed, "overflow %d, model %d, size %zu",
                   text.overflowed, (int)model.overflowed, buffer_size);
        if (!model.overflowed) {
            FUZZ_CHECK(text.length == model.text.size(), "length %zu, model %zu", text.length,
                       model.text.size());
            FUZZ_CHECK(std::memcmp(buffer, model.text.data(), model.text.size()) == 0
                           && buffer[model.text.size()] == '\0',
                       "buffer differs from \"%s\"", shown(model.text).c_str());
        }
    }

    int fitted = text_finish(&text);
    FUZZ_CHECK(fitted == !model.overflowed, "finish %d, size %zu, model \"%s\"", fitted,
               buffer_size, shown(model.text).c_str());
    if (buffer_size != 0 && !fitted)
        FUZZ_CHECK(buffer[0] == '\0', "a text that did not fit left \"%s\"",
                   shown(std::string(buffer, text_length(buffer, buffer_size))).c_str());
    if (buffer_size != 0) {
        size_t length = text_length(buffer, buffer_size);
        FUZZ_CHECK(length < buffer_size, "no terminator inside %zu bytes", buffer_size);

        // Copying the result again is the identity.
        std::vector<char> copy(buffer_size);
        std::string result(buffer, length);
        FUZZ_CHECK(text_copy(copy.data(), buffer_size, result.c_str()) == 1
                       && result == copy.data(),
                   "copy of \"%s\" differs", shown(result).c_str());
    }
    return 0;
}
