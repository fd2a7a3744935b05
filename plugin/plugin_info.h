// The descriptor record the host passes to get_plugin_info.
#ifndef QEL_PLUGIN_PLUGIN_INFO_H
#define QEL_PLUGIN_PLUGIN_INFO_H

#include <stddef.h>
#include <stdint.h>

enum { PLUGIN_TEXT_SIZE = 256 };

struct plugin_info {
    uint32_t lead_word;               // the host's; never written
    char title[PLUGIN_TEXT_SIZE];
    char base_name[PLUGIN_TEXT_SIZE];
    char extra[1];                    // the host sizes it; only its first byte is written
};

static_assert(offsetof(plugin_info, title) == 4, "title at offset 4");
static_assert(offsetof(plugin_info, base_name) == 260, "base_name at offset 260");
static_assert(offsetof(plugin_info, extra) == 516, "extra at offset 516");

#define CALLER_EVENT_MASK 805u  // 1 | 4 | 32 | 256 | 512

#endif
