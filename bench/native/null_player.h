// Stands in for the platform's sound player: counts the requests and does
// nothing else, so only the rules are measured.
#ifndef QEL_BENCH_NATIVE_NULL_PLAYER_H
#define QEL_BENCH_NATIVE_NULL_PLAYER_H

#include <stdint.h>

extern uint64_t play_requests;

#endif
