#include "common/bounded_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

// A buffer with guard bytes around it, to catch writes outside its bounds.
struct guarded_buffer {
    enum { GUARD = 8 };
    char bytes[GUARD + 32 + GUARD];
    size_t size;
    explicit guarded_buffer(size_t usable) : size(usable) { memset(bytes, '#', sizeof bytes); }
    char *data() { return bytes + GUARD; }
    bool guards_intact() const
    {
        for (size_t i = 0; i < GUARD; ++i)
            if (bytes[i] != '#' || bytes[GUARD + size + i] != '#')
                return false;
        return true;
    }
};

TEST(BoundedText, AppendsWhileItFits)
{
    struct append_case {
        size_t size;
        const char *first;
        const char *second;
        int fits;
        const char *result;
    } cases[] = {
        { 8, "abc", "def", 1, "abcdef" },
        { 7, "abc", "def", 1, "abcdef" },   // exactly full with its terminator
        { 6, "abc", "def", 0, "" },         // one byte short: nothing, not "abcde"
        { 1, "", "", 1, "" },
        { 1, "a", "", 0, "" },
        { 4, "", "abc", 1, "abc" },
    };
    for (const append_case &c : cases) {
        guarded_buffer buffer(c.size);
        text_builder text;
        text_begin(&text, buffer.data(), c.size);
        text_append(&text, c.first);
        text_append(&text, c.second);
        EXPECT_EQ(text_finish(&text), c.fits) << c.first << "+" << c.second << " in " << c.size;
        EXPECT_STREQ(buffer.data(), c.result);
        EXPECT_TRUE(buffer.guards_intact()) << "wrote outside " << c.size << " bytes";
    }
}

TEST(BoundedText, DecimalsInFull)
{
    struct decimal_case {
        long value;
        const char *text;
    } cases[] = {
        { 0, "0" }, { 7, "7" }, { -5, "-5" }, { 100, "100" },
        { INT32_MAX, "2147483647" }, { INT32_MIN, "-2147483648" },
        { LONG_MIN, LONG_MIN == INT32_MIN ? "-2147483648" : "-9223372036854775808" },
    };
    for (const decimal_case &c : cases) {
        char buffer[32];
        text_builder text;
        text_begin(&text, buffer, sizeof buffer);
        text_append_decimal(&text, c.value);
        ASSERT_EQ(text_finish(&text), 1);
        EXPECT_STREQ(buffer, c.text);
    }
}

TEST(BoundedText, CopyRefusesWhatDoesNotFit)
{
    guarded_buffer buffer(4);
    EXPECT_EQ(text_copy(buffer.data(), 4, "abc"), 1);
    EXPECT_STREQ(buffer.data(), "abc");
    EXPECT_EQ(text_copy(buffer.data(), 4, "abcd"), 0);
    EXPECT_STREQ(buffer.data(), "");
    EXPECT_TRUE(buffer.guards_intact());
}

TEST(BoundedText, ZeroSizedBufferIsNeverWritten)
{
    guarded_buffer buffer(0);
    text_builder text;
    text_begin(&text, buffer.data(), 0);
    text_append(&text, "x");
    EXPECT_EQ(text_finish(&text), 0);
    EXPECT_TRUE(buffer.guards_intact());
}

}
