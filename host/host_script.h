// The steps qelhost takes, read from words a person writes: one step per
// line of a script file, or one after another on the command line.
#ifndef QEL_HOST_HOST_SCRIPT_H
#define QEL_HOST_HOST_SCRIPT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class step_kind {
    send_event,    // the plug-in's event entry with `code` and `value`
    open_property, // the plug-in's property entry
    wait           // `value` milliseconds
};

struct host_step {
    step_kind kind = step_kind::send_event;
    uint32_t code = 0;
    int32_t value = 0;
    std::string words;   // as written, for the transcript
    std::string origin;  // "line 3" or "argument 2"
};

// The word that sends the event `code` on its own, or null.
const char *word_for_event(uint32_t code);

// A signed 32-bit decimal: an optional '-' and digits, nothing else.
bool parse_value(const std::string &text, int32_t &value);

// An unsigned 32-bit code, in decimal or in hexadecimal after "0x".
bool parse_code(const std::string &text, uint32_t &code);

// The words of a line, without what follows a '#'.
std::vector<std::string> split_words(const std::string &line);

// Reads the step that starts at words[at] and moves `at` past it. Returns
// an empty text, or what is wrong.
std::string read_step(const std::vector<std::string> &words, size_t &at, host_step &step);

// A whole script, one step per line; blank and comment lines are skipped.
// On a fault, `error` names the line and nothing is added to `steps`.
bool parse_script(const std::string &text, std::vector<host_step> &steps, std::string &error);

// Command-line arguments, several steps in a row; `first_number` is the
// position of arguments[0] on the command line, for the messages.
bool parse_arguments(const std::vector<std::string> &arguments, int first_number,
                     std::vector<host_step> &steps, std::string &error);

#endif
