#include "settings/caller_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

int single_byte_only(unsigned char)
{
    return 0;
}

// Lead bytes of code page 932 (Shift JIS).
int shift_jis_lead_byte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

TEST(NormalizeSoundPath, AddsOneBackslashWhereNeeded)
{
    struct normalize_case {
        const char *folder;
        lead_byte_test lead_byte;
        const char *normalized;
    } cases[] = {
        { "", single_byte_only, "" },
        { "D:\\sounds", single_byte_only, "D:\\sounds\\" },
        { "D:\\sounds\\", single_byte_only, "D:\\sounds\\" },
        { "D:/sounds/", single_byte_only, "D:/sounds/" },
        { "D:/sounds", single_byte_only, "D:/sounds\\" },
        { "sounds", single_byte_only, "sounds\\" },
        { "\\", single_byte_only, "\\" },
        { "/", single_byte_only, "/" },
        { "D:\\a\\\\", single_byte_only, "D:\\a\\\\" },
        // "表" is 0x95 0x5C: a folder ending in it still needs its separator.
        { "D:\\\x95\x5C", shift_jis_lead_byte, "D:\\\x95\x5C\\" },
        { "D:\\\x95\x5C\\", shift_jis_lead_byte, "D:\\\x95\x5C\\" },
        { "D:\\\x95\x5C/", shift_jis_lead_byte, "D:\\\x95\x5C/" },
        { "\x81\x5C\x81\x5C", shift_jis_lead_byte, "\x81\x5C\x81\x5C\\" },
        { "\x5C\x81\x5C", shift_jis_lead_byte, "\x5C\x81\x5C\\" },
        { "\x81\x81\x5C", shift_jis_lead_byte, "\x81\x81\x5C" },  // 0x81 0x81, then a backslash
    };
    for (const normalize_case &c : cases) {
        char text[SOUND_PATH_SIZE];
        strcpy(text, c.folder);
        EXPECT_EQ(normalize_sound_path(text, sizeof text, c.lead_byte), 1) << c.folder;
        EXPECT_STREQ(text, c.normalized) << c.folder;
        EXPECT_EQ(normalize_sound_path(text, sizeof text, c.lead_byte), 1);
        EXPECT_STREQ(text, c.normalized) << "normalising twice changed " << c.folder;
    }
}

TEST(NormalizeSoundPath, KeepsTextWhenNoSeparatorCanBeAdded)
{
    char text[6 + 2] = "abcdef";  // room for exactly one more character
    text[7] = '#';
    EXPECT_EQ(normalize_sound_path(text, 8, single_byte_only), 1);
    EXPECT_STREQ(text, "abcdef\\");

    char full[8] = "abcdefg";
    EXPECT_EQ(normalize_sound_path(full, sizeof full, single_byte_only), 0);
    EXPECT_STREQ(full, "abcdefg");

    // A separator would join a lone lead byte at the end into one character.
    char lone_lead[8] = "D:\\x\x95";
    EXPECT_EQ(normalize_sound_path(lone_lead, sizeof lone_lead, shift_jis_lead_byte), 0);
    EXPECT_STREQ(lone_lead, "D:\\x\x95");

    char unterminated[4] = { 'a', 'b', 'c', 'd' };
    EXPECT_EQ(normalize_sound_path(unterminated, sizeof unterminated, shift_jis_lead_byte), 0);
    EXPECT_EQ(memcmp(unterminated, "abcd", 4), 0);
}

TEST(CutAtLineBreak, KeepsTheFirstLineOnly)
{
    struct cut_case {
        const char *typed;
        const char *kept;
    } cases[] = {
        { "E:\\clips", "E:\\clips" },
        { "E:\\x\r\nenable=0\r\n[OTHER]", "E:\\x" },
        { "E:\\x\nmore", "E:\\x" },
        { "E:\\x\rmore", "E:\\x" },
        { "\r\nE:\\x", "" },
        { "", "" },
        { "C:\\\x95\x5C\tb", "C:\\\x95\x5C\tb" },  // tabs and double-byte text stay
    };
    for (const cut_case &c : cases) {
        char text[SOUND_PATH_SIZE];
        strcpy(text, c.typed);
        cut_at_line_break(text, sizeof text);
        EXPECT_STREQ(text, c.kept) << c.typed;
    }

    char unterminated[3] = { 'a', 'b', 'c' };
    cut_at_line_break(unterminated, sizeof unterminated);
    EXPECT_EQ(memcmp(unterminated, "abc", 3), 0) << "read or wrote past the buffer";
}

TEST(SettingsFileForModule, BesideTheModule)
{
    struct locate_case {
        const char *module;
        int (*lead_byte)(unsigned char);
        const char *settings_file;
    } cases[] = {
        { "C:\\Apps\\Host\\qel_caller.qel", single_byte_only, "C:\\Apps\\Host\\qel_caller.ini" },
        { "C:/Apps/Host/qel_caller.qel", single_byte_only, "C:/Apps/Host\\qel_caller.ini" },
        { "C:\\Apps/Host\\x.qel", single_byte_only, "C:\\Apps/Host\\qel_caller.ini" },
        { "qel_caller.qel", single_byte_only, "\\qel_caller.ini" },
        { "", single_byte_only, "\\qel_caller.ini" },
        { "C:\\qel_caller.qel", single_byte_only, "C:\\qel_caller.ini" },
        // "表" is 0x95 0x5C: its trail byte is not a separator.
        { "C:\\\x95\x5C\\qel_caller.qel", shift_jis_lead_byte, "C:\\\x95\x5C\\qel_caller.ini" },
        { "C:\\\x95\x5C.qel", shift_jis_lead_byte, "C:\\qel_caller.ini" },
        { "C:\\dir\\\x95\x5C", shift_jis_lead_byte, "C:\\dir\\qel_caller.ini" },
        // Read as single bytes, the same name is cut inside the character.
        { "C:\\\x95\x5C.qel", single_byte_only, "C:\\\x95\\qel_caller.ini" },
        // A lead byte at the very end takes nothing past the terminator.
        { "C:\\dir\\\x95", shift_jis_lead_byte, "C:\\dir\\qel_caller.ini" },
        { "\x95", shift_jis_lead_byte, "\\qel_caller.ini" },
    };
    for (const locate_case &c : cases) {
        char out[SETTINGS_FILE_SIZE];
        EXPECT_EQ(settings_file_for_module(c.module, c.lead_byte, out, sizeof out), 1) << c.module;
        EXPECT_STREQ(out, c.settings_file) << c.module;
    }
}

TEST(SettingsFileForModule, NeverReadsPastTheTerminator)
{
    // The name ends in a lead byte; the byte after the terminator would be
    // a separator if the walk went past it.
    const char name[] = { 'C', ':', '\\', 'd', '\\', '\x95', '\0', '\\', 'x', '\0' };
    char out[SETTINGS_FILE_SIZE];
    ASSERT_EQ(settings_file_for_module(name, shift_jis_lead_byte, out, sizeof out), 1);
    EXPECT_STREQ(out, "C:\\d\\qel_caller.ini");
}

TEST(SettingsFileForModule, PathThatDoesNotFitIsNotMade)
{
    const size_t room = SETTINGS_FILE_SIZE - 1 - strlen("\\qel_caller.ini");
    struct length_case {
        size_t directory_length;
        int fits;
    } cases[] = { { room - 1, 1 }, { room, 1 }, { room + 1, 0 }, { 258, 0 } };
    for (const length_case &c : cases) {
        std::string directory = "C:" + std::string(c.directory_length - 2, 'd');
        std::string module = directory + "\\qel_caller.qel";
        char out[SETTINGS_FILE_SIZE + 8];
        memset(out, '#', sizeof out);
        EXPECT_EQ(settings_file_for_module(module.c_str(), single_byte_only, out,
                                           SETTINGS_FILE_SIZE), c.fits)
            << "directory of " << c.directory_length;
        EXPECT_EQ(std::string(out), c.fits ? directory + "\\qel_caller.ini" : "");
        for (size_t i = SETTINGS_FILE_SIZE; i < sizeof out; ++i)
            ASSERT_EQ(out[i], '#') << "wrote past the field at " << i;
    }
}

}
