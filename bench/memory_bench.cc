// Allocator throughput: the runtime allocator against malloc/free and
// mimalloc on the same precomputed operation sequences.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <type_traits>
#include <vector>

#include "runtime/memory/memory.h"

#if defined(MXB_BENCH_HAVE_MIMALLOC)
#include <mimalloc.h>
#endif

namespace {

struct Kor {
  static void* Alloc(size_t n) { return kor::Allocate(n); }
  static void* Realloc(void* p, size_t n) { return kor::Reallocate(p, n); }
  static void Release(void* p) { kor::Free(p); }
};
struct Libc {
  static void* Alloc(size_t n) { return std::malloc(n); }
  static void* Realloc(void* p, size_t n) { return std::realloc(p, n); }
  static void Release(void* p) { std::free(p); }
};
#if defined(MXB_BENCH_HAVE_MIMALLOC)
struct Mi {
  static void* Alloc(size_t n) { return mi_malloc(n); }
  static void* Realloc(void* p, size_t n) { return mi_realloc(p, n); }
  static void Release(void* p) { mi_free(p); }
};
#endif

constexpr size_t kBatch = 1024;

std::vector<size_t> SmallSizes(size_t count, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<size_t> sizes(count);
  for (size_t& s : sizes) s = 8 + rng() % 505;  // 8 .. 512 bytes
  return sizes;
}

// A batch of small blocks allocated, then freed in a random order.
template <class A>
void BM_SmallBatch(benchmark::State& state) {
  std::vector<size_t> sizes = SmallSizes(kBatch, 1);
  std::vector<size_t> order(kBatch);
  for (size_t i = 0; i < kBatch; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(2));
  std::vector<void*> blocks(kBatch);
  for (auto _ : state) {
    for (size_t i = 0; i < kBatch; ++i) {
      blocks[i] = A::Alloc(sizes[i]);
      static_cast<char*>(blocks[i])[0] = 1;
    }
    for (size_t i : order) A::Release(blocks[i]);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kBatch));
}

// A steady working set: each step frees a random live block and allocates
// another of a random size in its place.
template <class A>
void BM_SmallChurn(benchmark::State& state) {
  constexpr size_t kLive = 4096;
  constexpr size_t kSteps = 1 << 16;
  std::vector<size_t> sizes = SmallSizes(kSteps, 3);
  std::vector<uint32_t> victims(kSteps);
  std::mt19937 rng(4);
  for (uint32_t& v : victims) v = rng() % kLive;
  std::vector<void*> live(kLive);
  std::vector<size_t> warm = SmallSizes(kLive, 5);
  for (size_t i = 0; i < kLive; ++i) live[i] = A::Alloc(warm[i]);
  size_t step = 0;
  for (auto _ : state) {
    uint32_t v = victims[step];
    A::Release(live[v]);
    live[v] = A::Alloc(sizes[step]);
    static_cast<char*>(live[v])[0] = 1;
    step = (step + 1) & (kSteps - 1);
  }
  if constexpr (std::is_same_v<A, Kor>) {
    kor::HeapStats stats = kor::GetHeapStats();
    state.counters["arenas"] = static_cast<double>(stats.arenas);
    state.counters["free_regions"] = static_cast<double>(stats.free_regions);
  }
  for (void* p : live) A::Release(p);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

// A buffer grown in small steps, as a growing text or table is, next to a
// few small blocks allocated on the way.
template <class A>
void BM_ReallocGrowth(benchmark::State& state) {
  const size_t limit = static_cast<size_t>(state.range(0));
  std::vector<void*> others;
  others.reserve(limit / 64 + 1);
  size_t steps = 0;
  for (auto _ : state) {
    void* p = A::Alloc(16);
    for (size_t n = 64; n <= limit; n += 64) {
      p = A::Realloc(p, n);
      static_cast<char*>(p)[n - 1] = 1;
      if ((n & 4095) == 0) others.push_back(A::Alloc(24));
      ++steps;
    }
    A::Release(p);
    for (void* o : others) A::Release(o);
    others.clear();
  }
  state.SetItemsProcessed(static_cast<int64_t>(steps));
}

BENCHMARK_TEMPLATE(BM_SmallBatch, Kor);
BENCHMARK_TEMPLATE(BM_SmallBatch, Libc);
BENCHMARK_TEMPLATE(BM_SmallChurn, Kor);
BENCHMARK_TEMPLATE(BM_SmallChurn, Libc);
BENCHMARK_TEMPLATE(BM_ReallocGrowth, Kor)->Arg(16 << 10)->Arg(1 << 20);
BENCHMARK_TEMPLATE(BM_ReallocGrowth, Libc)->Arg(16 << 10)->Arg(1 << 20);
#if defined(MXB_BENCH_HAVE_MIMALLOC)
BENCHMARK_TEMPLATE(BM_SmallBatch, Mi);
BENCHMARK_TEMPLATE(BM_SmallChurn, Mi);
BENCHMARK_TEMPLATE(BM_ReallocGrowth, Mi)->Arg(16 << 10)->Arg(1 << 20);
#endif

}  // namespace

BENCHMARK_MAIN();
