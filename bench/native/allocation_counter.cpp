#include "allocation_counter.h"

#include <cstddef>

uint64_t heap_allocations = 0;

extern "C" {

void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *block, size_t size);
void __libc_free(void *block);

void *malloc(size_t size)
{
    ++heap_allocations;
    return __libc_malloc(size);
}

void *calloc(size_t count, size_t size)
{
    ++heap_allocations;
    return __libc_calloc(count, size);
}

void *realloc(void *block, size_t size)
{
    ++heap_allocations;
    return __libc_realloc(block, size);
}

void free(void *block)
{
    __libc_free(block);
}

}
