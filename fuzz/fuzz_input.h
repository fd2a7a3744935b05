// Reads a fuzzer's bytes from the front: fixed-width numbers first, the
// rest as text. Missing bytes read as zero, so every input is usable and
// seeds stay readable (numbers, then plain text).
#ifndef QEL_FUZZ_FUZZ_INPUT_H
#define QEL_FUZZ_FUZZ_INPUT_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

class fuzz_input {
public:
    fuzz_input(const uint8_t *data, size_t size) : data_(data), size_(size) {}

    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }

    uint32_t u16()
    {
        uint32_t low = byte();
        return low | (uint32_t)byte() << 8;
    }

    uint32_t u32()
    {
        uint32_t low = u16();
        return low | u16() << 16;
    }

    uint64_t u64()
    {
        uint64_t low = u32();
        return low | (uint64_t)u32() << 32;
    }

    // Up to `count` raw bytes, zeros included.
    std::string bytes(size_t count)
    {
        size_t take = count < size_ - at_ ? count : size_ - at_;
        std::string piece(reinterpret_cast<const char *>(data_ + at_), take);
        at_ += take;
        return piece;
    }

    std::string rest() { return bytes(size_ - at_); }

    // The rest up to its first zero byte: what a C string of it would hold.
    std::string rest_as_text()
    {
        std::string text = rest();
        return text.substr(0, text.find('\0'));
    }

    bool empty() const { return at_ >= size_; }

private:
    const uint8_t *data_;
    size_t size_;
    size_t at_ = 0;
};

// Lead bytes of code page 932 (Shift JIS), and of a single-byte code page.
inline int code_page_932_lead_byte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

inline int no_lead_byte(unsigned char)
{
    return 0;
}

// A failed property: report it with the input's meaning and stop, so that
// libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(condition, ...)                                                         \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "property failed: %s\n  ", #condition);                   \
            std::fprintf(stderr, __VA_ARGS__);                                             \
            std::fprintf(stderr, "\n");                                                    \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

// Printable form of text with any bytes, for the failure report.
inline std::string shown(const std::string &text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += (char)c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    return out;
}

#endif
