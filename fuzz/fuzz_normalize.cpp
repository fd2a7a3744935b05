// Folder normalisation on any bytes in a buffer of any size: it adds at
// most one backslash, only where one is missing and fits, and a second run
// changes nothing. Then the dialog's way with a typed folder: first line
// only, then normalised.
//
// Input: 2 bytes, whose low 10 bits give the buffer size (1 to 1024) and
// the next bit the code page (0 single-byte, 1 code page 932), then the
// buffer's bytes; a buffer without a zero byte is an unterminated text.
#include <cstring>
#include <vector>

#include "fuzz_input.h"
#include "settings/caller_settings.h"

namespace {

// Where the last character starts (npos for an empty text): a lead byte
// takes the byte after it, when there is one.
size_t last_character(const std::string &text, lead_byte_test is_lead_byte)
{
    size_t last = std::string::npos;
    for (size_t at = 0; at < text.size(); at += is_lead_byte((unsigned char)text[at]) ? 2 : 1)
        last = at;
    return last;
}

// Whether the last character is a separator of its own; the second byte of
// a double-byte character never is.
bool ends_in_separator(const std::string &text, lead_byte_test is_lead_byte)
{
    size_t last = last_character(text, is_lead_byte);
    return !text.empty() && last == text.size() - 1 && !is_lead_byte((unsigned char)text[last])
        && (text[last] == '\\' || text[last] == '/');
}

bool ends_in_lone_lead_byte(const std::string &text, lead_byte_test is_lead_byte)
{
    size_t last = last_character(text, is_lead_byte);
    return !text.empty() && last == text.size() - 1 && is_lead_byte((unsigned char)text[last]);
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz_input input(data, size);
    uint32_t shape = input.u16();
    size_t buffer_size = shape % 1024 + 1;
    lead_byte_test is_lead_byte = (shape >> 10) & 1 ? code_page_932_lead_byte : no_lead_byte;
    std::string content = input.bytes(buffer_size);
    content.resize(buffer_size, '\0');
    // Exactly the size given, so AddressSanitizer sees any byte beyond.
    std::vector<char> buffer(content.begin(), content.end());

    int done = normalize_sound_path(buffer.data(), buffer.size(), is_lead_byte);
    std::string after(buffer.begin(), buffer.end());

    size_t terminator = content.find('\0');
    if (terminator == std::string::npos) {
        FUZZ_CHECK(done == 0 && after == content, "unterminated text of %zu bytes changed",
                   buffer_size);
        return 0;
    }
    std::string text = content.substr(0, terminator);
    bool needs_separator = !text.empty() && !ends_in_separator(text, is_lead_byte);
    // A separator after a lone lead byte would become its trail byte.
    bool fits = text.size() + 2 <= buffer_size && !ends_in_lone_lead_byte(text, is_lead_byte);

    std::string expected = content;
    if (needs_separator && fits) {
        expected[text.size()] = '\\';
        expected[text.size() + 1] = '\0';
    }
    FUZZ_CHECK(done == (!needs_separator || fits), "result %d for \"%s\" in %zu bytes", done,
               shown(text).c_str(), buffer_size);
    FUZZ_CHECK(after == expected, "\"%s\" in %zu bytes became \"%s\"", shown(text).c_str(),
               buffer_size, shown(after.substr(0, after.find('\0'))).c_str());

    std::string normalized = after.substr(0, after.find('\0'));
    FUZZ_CHECK(normalized.size() <= text.size() + 1, "more than one separator added to \"%s\"",
               shown(text).c_str());
    if (done)
        FUZZ_CHECK(normalized.empty() || ends_in_separator(normalized, is_lead_byte),
                   "\"%s\" was accepted without a final separator", shown(normalized).c_str());

    int again = normalize_sound_path(buffer.data(), buffer.size(), is_lead_byte);
    FUZZ_CHECK(again == done && std::string(buffer.begin(), buffer.end()) == after,
               "normalising \"%s\" a second time changed it", shown(normalized).c_str());

    std::vector<char> typed(content.begin(), content.end());
    cut_at_line_break(typed.data(), typed.size());
    std::string first_line = text.substr(0, text.find_first_of("\r\n"));
    std::string kept(typed.begin(), typed.end());
    FUZZ_CHECK(kept.substr(0, first_line.size() + 1) == first_line + '\0'
                   && kept.substr(first_line.size() + 1) == content.substr(first_line.size() + 1),
               "\"%s\" cut to \"%s\"", shown(text).c_str(),
               shown(kept.substr(0, kept.find('\0'))).c_str());
    normalize_sound_path(typed.data(), typed.size(), is_lead_byte);
    std::string stored(typed.data(), strnlen(typed.data(), typed.size()));
    FUZZ_CHECK(stored.find_first_of("\r\n") == std::string::npos,
               "\"%s\" would store a line break", shown(stored).c_str());
    return 0;
}
