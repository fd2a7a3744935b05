// The words of qelhost's scripts and command lines.
#include "host/host_script.h"

#include <gtest/gtest.h>

namespace {

struct expected_step {
    step_kind kind;
    uint32_t code;
    int32_t value;
    const char *words;
};

void expect_step(const host_step &step, const expected_step &expected)
{
    EXPECT_EQ(step.kind, expected.kind) << expected.words;
    EXPECT_EQ(step.code, expected.code) << expected.words;
    EXPECT_EQ(step.value, expected.value) << expected.words;
    EXPECT_EQ(step.words, expected.words);
}

TEST(HostScript, EachWordBecomesItsStep)
{
    const step_kind send = step_kind::send_event;
    struct word_case {
        const char *line;
        expected_step step;
    } cases[] = {
        { "game-on", { send, 32, 0, "game-on" } },
        { "mute-next", { send, 1, 0, "mute-next" } },
        { "number 100", { send, 256, 100, "number 100" } },
        { "number -5", { send, 256, -5, "number -5" } },
        { "number 007", { send, 256, 7, "number 007" } },
        { "number 2147483647", { send, 256, 2147483647, "number 2147483647" } },
        { "number -2147483648", { send, 256, INT32_MIN, "number -2147483648" } },
        { "ordinal -1", { send, 512, -1, "ordinal -1" } },
        { "options", { send, 4, 0, "options" } },
        { "property", { step_kind::open_property, 0, 0, "property" } },
        { "event 33 7", { send, 33, 7, "event 33 7" } },
        { "event 0x200 -3", { send, 512, -3, "event 0x200 -3" } },
        { "event 0XfFfFfFfF 0", { send, 0xFFFFFFFFu, 0, "event 0XfFfFfFfF 0" } },
        { "event 4294967295 1", { send, 0xFFFFFFFFu, 1, "event 4294967295 1" } },
        { "wait 800", { step_kind::wait, 0, 800, "wait 800" } },
        { "wait 0", { step_kind::wait, 0, 0, "wait 0" } },
        { " \tnumber   7   # seven", { send, 256, 7, "number 7" } },
    };
    for (const word_case &c : cases) {
        std::vector<host_step> steps;
        std::string error;
        ASSERT_TRUE(parse_script(c.line, steps, error)) << c.line << ": " << error;
        ASSERT_EQ(steps.size(), 1u) << c.line;
        expect_step(steps[0], c.step);
        EXPECT_EQ(steps[0].origin, "line 1") << c.line;
    }
}

TEST(HostScript, FaultsNameTheirLineAndAddNothing)
{
    const std::string words = "; the words are game-on, mute-next, number, ordinal, options, "
                              "property, event, wait";
    const std::string whole_number = "needs a whole number from -2147483648 to 2147483647, not ";
    struct fault_case {
        std::string script;
        std::string error;
    } cases[] = {
        { "game-on\nnumber 1.5\n", "line 2: 'number' " + whole_number + "'1.5'" },
        { "\n# round one\ngameon\n", "line 3: unknown word 'gameon'" + words },
        { "Game-On", "line 1: unknown word 'Game-On'" + words },
        { "number", "line 1: 'number' needs a value" },
        { "ordinal # first", "line 1: 'ordinal' needs a value" },
        { "number 2147483648", "line 1: 'number' " + whole_number + "'2147483648'" },
        { "number -2147483649", "line 1: 'number' " + whole_number + "'-2147483649'" },
        { "number 99999999999999999999999", "line 1: 'number' " + whole_number
                                                + "'99999999999999999999999'" },
        { "number +5", "line 1: 'number' " + whole_number + "'+5'" },
        { "number -", "line 1: 'number' " + whole_number + "'-'" },
        { "ordinal 0x1", "line 1: 'ordinal' " + whole_number + "'0x1'" },
        { "wait", "line 1: 'wait' needs milliseconds" },
        { "wait -1", "line 1: 'wait' needs milliseconds, 0 or more, not '-1'" },
        { "wait 1s", "line 1: 'wait' " + whole_number + "'1s'" },
        { "event", "line 1: 'event' needs an event code and a value" },
        { "event 33", "line 1: 'event' needs a value" },
        { "event -1 0", "line 1: 'event' needs a code from 0 to 4294967295 (or 0x0 to "
                        "0xFFFFFFFF), not '-1'" },
        { "event 4294967296 0", "line 1: 'event' needs a code from 0 to 4294967295 (or 0x0 to "
                                "0xFFFFFFFF), not '4294967296'" },
        { "event 0x100000000 0", "line 1: 'event' needs a code from 0 to 4294967295 (or 0x0 to "
                                 "0xFFFFFFFF), not '0x100000000'" },
        { "event 0x 0", "line 1: 'event' needs a code from 0 to 4294967295 (or 0x0 to "
                        "0xFFFFFFFF), not '0x'" },
        { "event 0xg 0", "line 1: 'event' needs a code from 0 to 4294967295 (or 0x0 to "
                         "0xFFFFFFFF), not '0xg'" },
        { "game-on now", "line 1: unexpected 'now' after 'game-on'; one step a line" },
        { "number 5 6", "line 1: unexpected '6' after 'number 5'; one step a line" },
        { "game-on\r\nnumber x\r\n", "line 2: 'number' " + whole_number + "'x'" },
        { "wait 1\n\n\n\nmute-next\nbogus 1\nwait 2\n", "line 6: unknown word 'bogus'" + words },
    };
    for (const fault_case &c : cases) {
        std::vector<host_step> steps(1);
        std::string error;
        EXPECT_FALSE(parse_script(c.script, steps, error)) << c.script;
        EXPECT_EQ(error, c.error) << c.script;
        EXPECT_EQ(steps.size(), 1u) << "steps were added despite the fault in " << c.script;
    }
}

TEST(HostScript, BlankAndCommentLinesKeepTheNumbering)
{
    std::vector<host_step> steps;
    std::string error;
    ASSERT_TRUE(parse_script("# a round\n\ngame-on\r\n  \t\nnumber 7 # seven\nwait 10", steps, error))
        << error;
    ASSERT_EQ(steps.size(), 3u);
    const char *origins[] = { "line 3", "line 5", "line 6" };
    const expected_step expected[] = { { step_kind::send_event, 32, 0, "game-on" },
                                       { step_kind::send_event, 256, 7, "number 7" },
                                       { step_kind::wait, 0, 10, "wait 10" } };
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].origin, origins[i]) << "step " << i;
        expect_step(steps[i], expected[i]);
    }
    steps.clear();
    EXPECT_TRUE(parse_script("", steps, error)) << "an empty script is a script";
    EXPECT_TRUE(steps.empty());
}

TEST(HostScript, ArgumentsTakeSeveralStepsInARow)
{
    std::vector<host_step> steps;
    std::string error;
    ASSERT_TRUE(parse_arguments({ "game-on", "number", "100", "event", "0x21", "5", "wait", "5" },
                                2, steps, error))
        << error;
    ASSERT_EQ(steps.size(), 4u);
    const char *origins[] = { "argument 2", "argument 3", "argument 5", "argument 8" };
    const expected_step expected[] = { { step_kind::send_event, 32, 0, "game-on" },
                                       { step_kind::send_event, 256, 100, "number 100" },
                                       { step_kind::send_event, 33, 5, "event 0x21 5" },
                                       { step_kind::wait, 0, 5, "wait 5" } };
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].origin, origins[i]) << "step " << i;
        expect_step(steps[i], expected[i]);
    }
}

TEST(HostScript, ArgumentFaultsNameTheArgumentAtFault)
{
    struct fault_case {
        std::vector<std::string> arguments;
        std::string error;
    } cases[] = {
        { { "game-on", "number", "x" },
          "argument 4: 'number' needs a whole number from -2147483648 to 2147483647, not 'x'" },
        { { "game-on", "number" }, "argument 3: 'number' needs a value" },
        { { "event", "33" }, "argument 3: 'event' needs a value" },
        { { "mute-next", "gameon", "number", "1" },
          "argument 3: unknown word 'gameon'; the words are game-on, mute-next, number, "
          "ordinal, options, property, event, wait" },
        { { "number", "1", "2" },
          "argument 4: unknown word '2'; the words are game-on, mute-next, number, ordinal, "
          "options, property, event, wait" },
    };
    for (const fault_case &c : cases) {
        std::vector<host_step> steps;
        std::string error;
        EXPECT_FALSE(parse_arguments(c.arguments, 2, steps, error)) << c.error;
        EXPECT_EQ(error, c.error);
        EXPECT_TRUE(steps.empty()) << c.error;
    }
}

TEST(HostScript, EventCodesHaveTheirWords)
{
    struct word_case {
        uint32_t code;
        const char *word;  // null: no word of its own
    } cases[] = {
        { 1, "mute-next" }, { 4, "options" }, { 32, "game-on" }, { 256, "number" },
        { 512, "ordinal" }, { 0, nullptr }, { 2, nullptr }, { 64, nullptr }, { 1024, nullptr },
    };
    for (const word_case &c : cases) {
        const char *word = word_for_event(c.code);
        if (c.word == nullptr)
            EXPECT_EQ(word, nullptr) << c.code << " has the word " << word;
        else
            EXPECT_STREQ(word, c.word) << c.code;
    }
}

}  // namespace
