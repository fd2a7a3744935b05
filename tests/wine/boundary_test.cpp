// The plug-in as a host meets it: its exports, descriptor record and mask.
#include "plugin_harness.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "plugin/plugin_info.h"

namespace {

class BoundaryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = make_scratch_folder("boundary");
        plugin = load_plugin(folder);
        ASSERT_NE(plugin.module, nullptr);
    }
    void TearDown() override
    {
        unload_plugin(plugin);
        remove_tree(folder);
    }
    std::string folder;
    loaded_plugin plugin;
};

// A record larger than the plug-in's fields, filled with a marker so that
// every byte the plug-in writes shows.
struct marked_record {
    union {
        plugin_info info;
        unsigned char bytes[1024];
    };
    marked_record() { memset(bytes, 0xA5, sizeof bytes); }
};

TEST_F(BoundaryTest, DescriptorForIndexZero)
{
    marked_record record;
    ASSERT_EQ(plugin.get_plugin_info(0x12345678, 0, &record.info), 1);

    static const unsigned char title[] = "qel_&caller";
    static const unsigned char base_name[] = "qel_caller";
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(record.bytes[i], 0xA5) << "lead word byte " << i << " was written";
    EXPECT_EQ(memcmp(record.bytes + 4, title, sizeof title), 0) << "title at offset 4";
    EXPECT_EQ(memcmp(record.bytes + 260, base_name, sizeof base_name), 0) << "base name at 260";
    EXPECT_EQ(record.bytes[516], 0) << "extra at 516 must be an empty text";
    for (size_t i = 4 + sizeof title; i < 260; ++i)
        ASSERT_EQ(record.bytes[i], 0xA5) << "title field written past its text at " << i;
    for (size_t i = 260 + sizeof base_name; i < 516; ++i)
        ASSERT_EQ(record.bytes[i], 0xA5) << "base name field written past its text at " << i;
    for (size_t i = 517; i < sizeof record.bytes; ++i)
        ASSERT_EQ(record.bytes[i], 0xA5) << "byte " << i << " past extra was written";
}

TEST_F(BoundaryTest, OtherIndexesLeaveTheRecordUntouched)
{
    const int indexes[] = { 1, 2, -1, INT_MAX, INT_MIN };
    for (int index : indexes) {
        marked_record record;
        marked_record untouched;
        EXPECT_EQ(plugin.get_plugin_info(0, index, &record.info), 0) << "index " << index;
        EXPECT_EQ(memcmp(record.bytes, untouched.bytes, sizeof record.bytes), 0)
            << "index " << index << " changed the record";
    }
}

TEST_F(BoundaryTest, NullRecordIsRefused)
{
    EXPECT_EQ(plugin.get_plugin_info(0, 0, nullptr), 0);
    EXPECT_EQ(plugin.get_plugin_info(0, 1, nullptr), 0);
}

TEST_F(BoundaryTest, MaskIsEveryEventCode)
{
    const DWORD arguments[][2] = { { 0, 0 }, { 1, 2 }, { 0xFFFFFFFF, 0x80000000 } };
    for (const auto &argument : arguments)
        EXPECT_EQ(plugin.initialize(argument[0], argument[1]), 805u)
            << "arguments " << argument[0] << ", " << argument[1];
}

TEST_F(BoundaryTest, ExportsHaveOrdinalsInAlphabeticalOrder)
{
    const char *names[] = { "get_plugin_info", "qel_caller", "qel_caller_initialize",
                            "qel_caller_property" };
    for (int ordinal = 1; ordinal <= 4; ++ordinal) {
        FARPROC by_ordinal = GetProcAddress(plugin.module, MAKEINTRESOURCEA(ordinal));
        FARPROC by_name = GetProcAddress(plugin.module, names[ordinal - 1]);
        EXPECT_NE(by_name, nullptr) << names[ordinal - 1];
        EXPECT_EQ(by_ordinal, by_name) << "ordinal " << ordinal << " is not " << names[ordinal - 1];
    }
    EXPECT_EQ(GetProcAddress(plugin.module, MAKEINTRESOURCEA(5)), nullptr) << "a fifth export";
    EXPECT_EQ(GetProcAddress(plugin.module, "_get_plugin_info@12"), nullptr)
        << "decorated name exported";
}

TEST_F(BoundaryTest, EveryCodeIsAnsweredWithOne)
{
    const DWORD codes[] = { 0, 1, 2, 8, 32, 33, 64, 256, 512, 1024, 0x80000000, 0xFFFFFFFF };
    for (DWORD code : codes)
        EXPECT_EQ(plugin.event(0, code, 0, 7), 1) << "code " << code;
}

}
