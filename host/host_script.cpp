#include "host/host_script.h"

#include <algorithm>
#include <cctype>

namespace {

enum class operand { none, value, milliseconds, code_and_value };

struct step_word {
    const char *word;
    step_kind kind;
    uint32_t code;
    operand takes;
};

const step_word STEP_WORDS[] = {
    { "game-on", step_kind::send_event, 32, operand::none },
    { "mute-next", step_kind::send_event, 1, operand::none },
    { "number", step_kind::send_event, 256, operand::value },
    { "ordinal", step_kind::send_event, 512, operand::value },
    { "options", step_kind::send_event, 4, operand::none },
    { "property", step_kind::open_property, 0, operand::none },
    { "event", step_kind::send_event, 0, operand::code_and_value },
    { "wait", step_kind::wait, 0, operand::milliseconds },
};

const step_word *find_step_word(const std::string &word)
{
    for (const step_word &known : STEP_WORDS)
        if (word == known.word)
            return &known;
    return nullptr;
}

std::string known_words()
{
    std::string list;
    for (const step_word &known : STEP_WORDS)
        list += std::string(list.empty() ? "" : ", ") + known.word;
    return list;
}

// Digits in `base` with at most `limit` as their value.
bool parse_digits(const std::string &digits, unsigned base, uint64_t limit, uint64_t &result)
{
    if (digits.empty())
        return false;
    result = 0;
    for (char c : digits) {
        unsigned char byte = static_cast<unsigned char>(c);
        unsigned digit;
        if (std::isdigit(byte))
            digit = byte - '0';
        else if (base == 16 && std::isxdigit(byte))
            digit = std::tolower(byte) - 'a' + 10;
        else
            return false;
        result = result * base + digit;
        if (result > limit)
            return false;
    }
    return true;
}

std::string quoted(const std::string &word)
{
    return "'" + word + "'";
}

std::string read_operand(const step_word &rule, const std::vector<std::string> &words,
                         size_t &at, host_step &step)
{
    if (rule.takes == operand::none)
        return "";
    const std::string name = quoted(rule.word);
    if (rule.takes == operand::code_and_value) {
        if (at >= words.size())
            return name + " needs an event code and a value";
        if (!parse_code(words[at], step.code))
            return name + " needs a code from 0 to 4294967295 (or 0x0 to 0xFFFFFFFF), not "
                   + quoted(words[at]);
        ++at;
    }
    if (at >= words.size())
        return name + (rule.takes == operand::milliseconds ? " needs milliseconds" : " needs a value");
    if (!parse_value(words[at], step.value))
        return name + " needs a whole number from -2147483648 to 2147483647, not "
               + quoted(words[at]);
    if (rule.takes == operand::milliseconds && step.value < 0)
        return name + " needs milliseconds, 0 or more, not " + quoted(words[at]);
    ++at;
    return "";
}

std::string join_words(const std::vector<std::string> &words, size_t from, size_t to)
{
    std::string text;
    for (size_t i = from; i < to; ++i)
        text += (i == from ? "" : " ") + words[i];
    return text;
}

bool report_fault(const std::string &origin, const std::string &fault, std::string &error)
{
    error = origin + ": " + fault;
    return false;
}

// Steps are added only once all of them have been read.
bool append_steps(std::vector<host_step> &steps, const std::vector<host_step> &parsed)
{
    steps.insert(steps.end(), parsed.begin(), parsed.end());
    return true;
}

std::string argument_origin(int first_number, size_t index)
{
    return "argument " + std::to_string(first_number + static_cast<int>(index));
}

}  // namespace

const char *word_for_event(uint32_t code)
{
    for (const step_word &known : STEP_WORDS)
        if (known.kind == step_kind::send_event && known.takes != operand::code_and_value
            && known.code == code)
            return known.word;
    return nullptr;
}

bool parse_value(const std::string &text, int32_t &value)
{
    bool negative = !text.empty() && text[0] == '-';
    uint64_t magnitude;
    if (!parse_digits(text.substr(negative ? 1 : 0), 10, negative ? 2147483648u : 2147483647u,
                      magnitude))
        return false;
    value = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                          : static_cast<int64_t>(magnitude));
    return true;
}

bool parse_code(const std::string &text, uint32_t &code)
{
    bool hexadecimal = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    uint64_t result;
    if (!parse_digits(text.substr(hexadecimal ? 2 : 0), hexadecimal ? 16 : 10, 0xFFFFFFFFu, result))
        return false;
    code = static_cast<uint32_t>(result);
    return true;
}

std::vector<std::string> split_words(const std::string &line)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        if (c == '#')
            break;
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

std::string read_step(const std::vector<std::string> &words, size_t &at, host_step &step)
{
    const size_t start = at;
    const step_word *rule = find_step_word(words[at]);
    if (rule == nullptr)
        return "unknown word " + quoted(words[at]) + "; the words are " + known_words();
    ++at;
    step = host_step();
    step.kind = rule->kind;
    step.code = rule->code;
    std::string fault = read_operand(*rule, words, at, step);
    if (!fault.empty())
        return fault;
    step.words = join_words(words, start, at);
    return "";
}

bool parse_script(const std::string &text, std::vector<host_step> &steps, std::string &error)
{
    std::vector<host_step> parsed;
    size_t line_start = 0;
    for (int line_number = 1; line_start < text.size(); ++line_number) {
        size_t line_end = text.find('\n', line_start);
        if (line_end == std::string::npos)
            line_end = text.size();
        std::vector<std::string> words = split_words(text.substr(line_start, line_end - line_start));
        line_start = line_end + 1;
        if (words.empty())
            continue;
        size_t at = 0;
        host_step step;
        std::string fault = read_step(words, at, step);
        if (fault.empty() && at < words.size())
            fault = "unexpected " + quoted(words[at]) + " after " + quoted(step.words)
                    + "; one step a line";
        step.origin = "line " + std::to_string(line_number);
        if (!fault.empty())
            return report_fault(step.origin, fault, error);
        parsed.push_back(step);
    }
    return append_steps(steps, parsed);
}

bool parse_arguments(const std::vector<std::string> &arguments, int first_number,
                     std::vector<host_step> &steps, std::string &error)
{
    std::vector<host_step> parsed;
    size_t at = 0;
    while (at < arguments.size()) {
        const std::string origin = argument_origin(first_number, at);
        host_step step;
        std::string fault = read_step(arguments, at, step);
        // Named: the argument at fault, the operand that was wrong or missing.
        if (!fault.empty())
            return report_fault(argument_origin(first_number, std::min(at, arguments.size() - 1)),
                                fault, error);
        step.origin = origin;
        parsed.push_back(step);
    }
    return append_steps(steps, parsed);
}
