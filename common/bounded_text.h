// Text building into fixed buffers: every write is checked against the
// buffer's size, and a result that would not fit leaves the buffer empty
// instead of holding a cut-off (and so different) text.
#ifndef QEL_COMMON_BOUNDED_TEXT_H
#define QEL_COMMON_BOUNDED_TEXT_H

#include <stddef.h>

// A text being built in `buffer` of `size` bytes. `length` counts the bytes
// written so far; `overflowed` turns 1 once anything did not fit.
struct text_builder {
    char *buffer;
    size_t size;
    size_t length;
    int overflowed;
};

void text_begin(text_builder *text, char *buffer, size_t size);
void text_append(text_builder *text, const char *piece);
void text_append_bytes(text_builder *text, const char *bytes, size_t count);
void text_append_decimal(text_builder *text, long value);
// Returns 1 when the whole text fitted; otherwise empties the buffer and
// returns 0.
int text_finish(text_builder *text);

// Copies `source` whole into `target`, or empties `target` and returns 0
// when it does not fit.
int text_copy(char *target, size_t size, const char *source);

size_t text_length(const char *text, size_t size);

#endif
