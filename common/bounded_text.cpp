#include "common/bounded_text.h"

// Nothing more is written, and what was written goes: a cut-off text could
// be taken for another one.
static void mark_overflowed(text_builder *text)
{
    text->overflowed = 1;
    text->buffer[0] = '\0';
}

void text_begin(text_builder *text, char *buffer, size_t size)
{
    text->buffer = buffer;
    text->size = size;
    text->length = 0;
    text->overflowed = (buffer == 0 || size == 0);
    if (!text->overflowed)
        buffer[0] = '\0';
}

void text_append_bytes(text_builder *text, const char *bytes, size_t count)
{
    if (text->overflowed)
        return;
    // Keep one byte for the terminator.
    if (count >= text->size - text->length) {
        mark_overflowed(text);
        return;
    }
    for (size_t i = 0; i < count; ++i)
        text->buffer[text->length++] = bytes[i];
    text->buffer[text->length] = '\0';
}

// Measures while it copies: every clip path goes through here, and the
// folder is best walked once, not twice.
void text_append(text_builder *text, const char *piece)
{
    if (text->overflowed)
        return;
    char *out = text->buffer + text->length;
    size_t room = text->size - text->length - 1;  // the terminator's byte kept
    size_t count = 0;
    for (; piece[count] != '\0'; ++count) {
        if (count == room) {
            mark_overflowed(text);
            return;
        }
        out[count] = piece[count];
    }
    out[count] = '\0';
    text->length += count;
}

void text_append_decimal(text_builder *text, long value)
{
    // Work on the magnitude as unsigned so the most negative value has one.
    unsigned long magnitude = value < 0 ? 0UL - (unsigned long)value : (unsigned long)value;
    char digits[24];
    size_t at = sizeof digits;
    digits[--at] = '\0';
    do {
        digits[--at] = (char)('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        digits[--at] = '-';
    text_append(text, digits + at);
}

int text_finish(text_builder *text)
{
    if (text->overflowed) {
        if (text->buffer != 0 && text->size != 0)
            text->buffer[0] = '\0';
        return 0;
    }
    return 1;
}

int text_copy(char *target, size_t size, const char *source)
{
    text_builder text;
    text_begin(&text, target, size);
    text_append(&text, source);
    return text_finish(&text);
}

size_t text_length(const char *text, size_t size)
{
    size_t length = 0;
    while (length < size && text[length] != '\0')
        ++length;
    return length;
}
