// The kinds of event the benchmarks send through the rules, each with the
// settings it runs under.
#ifndef QEL_BENCH_NATIVE_EVENT_KINDS_H
#define QEL_BENCH_NATIVE_EVENT_KINDS_H

#include <stddef.h>
#include <stdint.h>

struct event_kind {
    const char *name;
    uint32_t event;
    int32_t value;
    int32_t enable;
    const char *folder;
    int plays;          // play requests each event must make
    int held_to_limit;  // 0 for the worst cases, shown to tell how cost grows
};

extern const event_kind EVENT_KINDS[];
extern const size_t EVENT_KIND_COUNT;

const event_kind *find_event_kind(const char *name);

// Sets the live settings and the mute flag as the kind needs them.
void prepare_event_kind(const event_kind &kind);

#endif
