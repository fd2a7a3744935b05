// Locating the settings file from any module file name and any set of
// double-byte lead bytes: the result ends in "\qel_caller.ini", its
// directory is the name cut at its last separator that is a character of
// its own (never the second byte of a pair), and it never passes its buffer.
//
// Input: a mode byte (low two bits: 0 code page 932, 1 a lead-byte set from
// the next 32 bytes as a bitmap, 2 no lead bytes; bit 2: a buffer size from
// the next 2 bytes instead of the plug-in's 256), then the module name.
#include <cstring>
#include <vector>

#include "fuzz_input.h"
#include "settings/caller_settings.h"

namespace {

const std::string SETTINGS_TAIL = "\\qel_caller.ini";

uint8_t lead_byte_set[32];

int lead_byte_from_set(unsigned char byte)
{
    return (lead_byte_set[byte / 8] >> (byte % 8)) & 1;
}

bool is_separator(char c)
{
    return c == '\\' || c == '/';
}

// Where each single-byte character starts. A lead byte and the byte after
// it form one character (unless the name ends right after the lead byte);
// a lead byte is never a character of its own.
std::vector<bool> single_byte_characters(const std::string &name, lead_byte_test is_lead_byte)
{
    std::vector<bool> single(name.size() + 1, false);
    for (size_t at = 0; at < name.size();) {
        if (is_lead_byte((unsigned char)name[at])) {
            at += 2;
        } else {
            single[at] = true;
            ++at;
        }
    }
    return single;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz_input input(data, size);
    uint8_t mode = input.byte();
    lead_byte_test is_lead_byte = code_page_932_lead_byte;
    if ((mode & 3) == 1) {
        for (uint8_t &bits : lead_byte_set)
            bits = input.byte();
        is_lead_byte = lead_byte_from_set;
    } else if ((mode & 3) == 2) {
        is_lead_byte = no_lead_byte;
    }
    size_t out_size = SETTINGS_FILE_SIZE;
    if (mode & 4)
        out_size = input.u16() % 1024 + 1;
    std::string module_name = input.rest_as_text();

    // Both exactly sized, so AddressSanitizer sees a read past the name's
    // terminator (after a final lead byte) or a write past the result.
    std::vector<char> name(module_name.begin(), module_name.end());
    name.push_back('\0');
    std::vector<char> out(out_size, '#');
    int located = settings_file_for_module(name.data(), is_lead_byte, out.data(), out.size());

    std::string result(out.data(), strnlen(out.data(), out_size));
    FUZZ_CHECK(result.size() < out_size, "no terminator in %zu bytes", out_size);

    std::vector<bool> single = single_byte_characters(module_name, is_lead_byte);
    size_t last_separator = 0;
    for (size_t at = 0; at < module_name.size(); ++at)
        if (single[at] && is_separator(module_name[at]))
            last_separator = at;
    size_t needed = last_separator + SETTINGS_TAIL.size() + 1;
    FUZZ_CHECK(located == (needed <= out_size), "located %d, needs %zu of %zu bytes for \"%s\"",
               located, needed, out_size, shown(module_name).c_str());
    if (!located) {
        FUZZ_CHECK(result.empty(), "a file that did not fit left \"%s\"", shown(result).c_str());
        return 0;
    }

    FUZZ_CHECK(result.size() >= SETTINGS_TAIL.size()
                   && result.compare(result.size() - SETTINGS_TAIL.size(), SETTINGS_TAIL.size(),
                                     SETTINGS_TAIL) == 0,
               "\"%s\" does not end in the settings file name", shown(result).c_str());
    std::string directory = result.substr(0, result.size() - SETTINGS_TAIL.size());
    FUZZ_CHECK(module_name.compare(0, directory.size(), directory) == 0,
               "directory \"%s\" is not the start of \"%s\"", shown(directory).c_str(),
               shown(module_name).c_str());
    FUZZ_CHECK(directory.empty() || (single[directory.size()]
                                     && is_separator(module_name[directory.size()])),
               "\"%s\" cut at %zu, inside a character or not at a separator",
               shown(module_name).c_str(), directory.size());
    FUZZ_CHECK(directory.size() == last_separator, "cut at %zu, the last separator is at %zu in \"%s\"",
               directory.size(), last_separator, shown(module_name).c_str());
    if (is_lead_byte == no_lead_byte) {
        size_t plain = module_name.find_last_of("\\/");
        FUZZ_CHECK(directory.size() == (plain == std::string::npos ? 0 : plain),
                   "single-byte name \"%s\" cut at %zu", shown(module_name).c_str(),
                   directory.size());
    }
    return 0;
}
