// Lets AddressSanitizer see the runtime's heap. The allocator takes its
// memory straight from the system, so the sanitizer knows nothing of its
// blocks; in a sanitizer build the allocator marks ("poisons") every byte a
// program may not touch: the tags and sizes around each block, the bytes of a
// block past the size asked for, free regions, freed large blocks and the
// unused parts of arenas and large allocations. A read or write there (past
// a block's end, after a free) is then reported by the sanitizer like one on
// its own heap. Other builds compile all of this away.
//
// The allocator's own reads and writes of tags, sizes and free-region
// pointers go through RawLoad, RawStore and RawCopy, which the sanitizer
// does not check (tests that forge or inspect tags use them too).
#pragma once

#include <cstddef>
#include <cstring>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KOR_ASAN 1
#endif
#endif
#if !defined(KOR_ASAN) && defined(__SANITIZE_ADDRESS__)
#define KOR_ASAN 1
#endif

#if defined(KOR_ASAN)
#include <sanitizer/asan_interface.h>
#define KOR_NO_ASAN __attribute__((no_sanitize_address))
#else
#define KOR_NO_ASAN
#endif

namespace kor {

#if defined(KOR_ASAN)
inline constexpr bool kHeapPoisoning = true;
// Marks [p, p + n) as not to be touched / as usable. The sanitizer works in
// 8-byte granules: a region that ends inside a granule leaves the granule's
// first bytes usable, which is exactly a block whose size is not a multiple
// of 8.
inline void PoisonRegion(const void* p, size_t n) { ASAN_POISON_MEMORY_REGION(p, n); }
inline void UnpoisonRegion(const void* p, size_t n) { ASAN_UNPOISON_MEMORY_REGION(p, n); }

// Byte access the sanitizer does not check. volatile keeps the compiler from
// turning the loop into a call of the (checked) library memcpy.
KOR_NO_ASAN inline char RawLoad(const void* p) { return *static_cast<const volatile char*>(p); }
KOR_NO_ASAN inline void RawStore(void* p, char c) { *static_cast<volatile char*>(p) = c; }
KOR_NO_ASAN inline void RawCopy(void* to, const void* from, size_t n) {
  auto* t = static_cast<volatile char*>(to);
  const auto* f = static_cast<const volatile char*>(from);
  for (size_t i = 0; i < n; ++i) t[i] = f[i];
}
#else
inline constexpr bool kHeapPoisoning = false;
inline void PoisonRegion(const void*, size_t) {}
inline void UnpoisonRegion(const void*, size_t) {}
inline char RawLoad(const void* p) { return *static_cast<const char*>(p); }
inline void RawStore(void* p, char c) { *static_cast<char*>(p) = c; }
inline void RawCopy(void* to, const void* from, size_t n) { std::memcpy(to, from, n); }
#endif

}  // namespace kor
