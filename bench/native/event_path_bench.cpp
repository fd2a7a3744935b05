// The event path's rules with a no-op sound player.
//   event_path_bench                  time each kind (Google Benchmark)
//   event_path_bench --kinds          list the kinds: name, folder length,
//                                     plays per event, held to the limit
//   event_path_bench --count KIND N   send N events of one kind and report
//                                     the allocations and play requests; run
//                                     under callgrind for instruction counts
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "allocation_counter.h"
#include "announcer/announcer.h"
#include "event_kinds.h"
#include "null_player.h"

namespace {

void time_event_kind(benchmark::State &state, const event_kind *kind)
{
    prepare_event_kind(*kind);
    uint64_t allocations_before = heap_allocations;
    uint64_t plays_before = play_requests;
    for (auto _ : state)
        announce_event(kind->event, kind->value);
    state.counters["allocations_per_event"] = benchmark::Counter(
        double(heap_allocations - allocations_before), benchmark::Counter::kAvgIterations);
    state.counters["plays_per_event"] = benchmark::Counter(
        double(play_requests - plays_before), benchmark::Counter::kAvgIterations);
}

int list_kinds()
{
    for (size_t i = 0; i < EVENT_KIND_COUNT; ++i) {
        const event_kind &kind = EVENT_KINDS[i];
        std::printf("%s %zu %d %d\n", kind.name, std::strlen(kind.folder), kind.plays,
                    kind.held_to_limit);
    }
    return 0;
}

int count_events(const char *kind_name, const char *count_text)
{
    const event_kind *kind = find_event_kind(kind_name);
    long count = std::atol(count_text);
    if (kind == nullptr || count <= 0) {
        std::fprintf(stderr, "unknown kind %s or bad count %s\n", kind_name, count_text);
        return 2;
    }
    prepare_event_kind(*kind);
    uint64_t allocations_before = heap_allocations;
    uint64_t plays_before = play_requests;
    for (long i = 0; i < count; ++i)
        announce_event(kind->event, kind->value);
    std::printf("events=%ld allocations=%llu plays=%llu\n", count,
                (unsigned long long)(heap_allocations - allocations_before),
                (unsigned long long)(play_requests - plays_before));
    return 0;
}

}

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--kinds") == 0)
        return list_kinds();
    if (argc == 4 && std::strcmp(argv[1], "--count") == 0)
        return count_events(argv[2], argv[3]);
    for (size_t i = 0; i < EVENT_KIND_COUNT; ++i)
        benchmark::RegisterBenchmark(EVENT_KINDS[i].name, time_event_kind, &EVENT_KINDS[i]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
