// Counts every heap allocation of the process, from the rules or any
// library they might reach: the C allocator is replaced by wrappers around
// glibc's own, and operator new comes down to it too.
#ifndef QEL_BENCH_NATIVE_ALLOCATION_COUNTER_H
#define QEL_BENCH_NATIVE_ALLOCATION_COUNTER_H

#include <stdint.h>

extern uint64_t heap_allocations;

#endif
