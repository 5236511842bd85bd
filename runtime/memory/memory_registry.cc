// Where blocks may lie: the arenas sorted by address and the large blocks
// alive, so that Free and Reallocate read the tags of a pointer only when it
// lies in memory the allocator holds. A pointer into static data, into the
// middle of a large block, or to a large block whose memory went back to the
// system is then refused without being touched.
//
// Arenas: a sorted array of their base addresses, searched by bisection
// after a look at the arena of the previous question (frees tend to come in
// runs from one arena). Large blocks: an open-addressing hash set of their
// user pointers (linear probing, deleted slots marked), at most half full.
// Freed large blocks: a ring of the last kFreedHistory user pointers, asked
// only about pointers that are neither, to tell a double free from a foreign
// pointer. All three live in system memory of their own, never in the heap
// they describe.
#include <cstdint>
#include <cstring>

#include "runtime/memory/memory_internal.h"
#include "runtime/os/os.h"

namespace kor::memory_detail {

namespace {

// ---- arenas ----

char** g_arenas = nullptr;  // sorted by address
size_t g_arena_count = 0;
size_t g_arena_capacity = 0;
char* g_last_arena = nullptr;

bool InBlockSpace(const char* arena, const char* p) {
  return p >= arena + kArenaFirstBlock && p < arena + kArenaFirstBlock + kArenaBlockSpace;
}

// Moves the array to a system allocation of twice the size.
bool GrowArenas() {
  size_t capacity = g_arena_capacity == 0 ? kPageSize / sizeof(char*) : 2 * g_arena_capacity;
  auto** grown = static_cast<char**>(OsReserveMemory(capacity * sizeof(char*)));
  if (grown == nullptr) return false;
  if (g_arena_count > 0) std::memcpy(grown, g_arenas, g_arena_count * sizeof(char*));
  if (g_arenas != nullptr) OsReleaseMemory(g_arenas, g_arena_capacity * sizeof(char*));
  g_arenas = grown;
  g_arena_capacity = capacity;
  return true;
}

// ---- large blocks ----

// A slot holds a user pointer, 0 (never used) or kDeleted.
constexpr uintptr_t kDeleted = 1;
uintptr_t* g_large = nullptr;
size_t g_large_capacity = 0;  // 2 to the power g_large_bits
int g_large_bits = 0;
size_t g_large_used = 0;     // slots holding a pointer
size_t g_large_deleted = 0;  // slots marked deleted

size_t SlotFor(uintptr_t key, int bits) {
  // Large blocks start 8 bytes into a page: the page number, multiplied,
  // spreads them over the slots (the product's top bits are the best mixed).
  uint64_t h = (uint64_t{key} >> 12) * 0x9E3779B97F4A7C15ull;
  return bits == 0 ? 0 : static_cast<size_t>(h >> (64 - bits));
}

// The slot holding key, or the capacity when it is not there.
size_t Find(uintptr_t key) {
  size_t i = SlotFor(key, g_large_bits);
  for (size_t probes = 0; probes < g_large_capacity; ++probes) {
    if (g_large[i] == key) return i;
    if (g_large[i] == 0) break;
    i = (i + 1) & (g_large_capacity - 1);
  }
  return g_large_capacity;
}

void Place(uintptr_t* table, int bits, uintptr_t key) {
  size_t capacity = size_t{1} << bits;
  size_t i = SlotFor(key, bits);
  while (table[i] > kDeleted) i = (i + 1) & (capacity - 1);
  table[i] = key;
}

// Rehashes into a table of at least four times the pointers held.
bool Rehash() {
  int bits = 9;  // a page of 8-byte slots
  while ((size_t{1} << bits) < 4 * (g_large_used + 1)) ++bits;
  size_t capacity = size_t{1} << bits;
  auto* table = static_cast<uintptr_t*>(OsReserveMemory(capacity * sizeof(uintptr_t)));
  if (table == nullptr) return false;
  std::memset(table, 0, capacity * sizeof(uintptr_t));
  for (size_t i = 0; i < g_large_capacity; ++i)
    if (g_large[i] > kDeleted) Place(table, bits, g_large[i]);
  if (g_large != nullptr) OsReleaseMemory(g_large, g_large_capacity * sizeof(uintptr_t));
  g_large = table;
  g_large_capacity = capacity;
  g_large_bits = bits;
  g_large_deleted = 0;
  return true;
}

// ---- freed large blocks ----

constexpr size_t kFreedHistory = 4096;
const char* g_freed[kFreedHistory];
size_t g_freed_next = 0;

}  // namespace

bool RegisterArena(char* arena) {
  if (g_arena_count == g_arena_capacity && !GrowArenas()) return false;
  size_t i = g_arena_count;
  while (i > 0 && g_arenas[i - 1] > arena) {
    g_arenas[i] = g_arenas[i - 1];
    --i;
  }
  g_arenas[i] = arena;
  ++g_arena_count;
  return true;
}

char* ArenaHolding(const char* p) {
  if (g_last_arena != nullptr && InBlockSpace(g_last_arena, p)) return g_last_arena;
  // The last arena starting at or below p.
  size_t lo = 0, hi = g_arena_count;
  while (lo < hi) {
    size_t mid = lo + (hi - lo) / 2;
    if (g_arenas[mid] <= p) lo = mid + 1;
    else hi = mid;
  }
  if (lo == 0 || !InBlockSpace(g_arenas[lo - 1], p)) return nullptr;
  g_last_arena = g_arenas[lo - 1];
  return g_last_arena;
}

size_t RegisteredArenas() { return g_arena_count; }

bool RegisterLarge(const char* p) {
  auto key = reinterpret_cast<uintptr_t>(p);
  // At most half the slots hold pointers or deleted marks; a full table (no
  // memory to grow) still takes the pointer while a slot is left.
  if (2 * (g_large_used + g_large_deleted + 1) > g_large_capacity && !Rehash() &&
      g_large_used + 1 >= g_large_capacity) {
    return false;
  }
  size_t i = SlotFor(key, g_large_bits);
  while (g_large[i] > kDeleted) i = (i + 1) & (g_large_capacity - 1);
  if (g_large[i] == kDeleted) --g_large_deleted;
  g_large[i] = key;
  ++g_large_used;
  return true;
}

void UnregisterLarge(const char* p) {
  size_t i = Find(reinterpret_cast<uintptr_t>(p));
  if (i == g_large_capacity) return;
  g_large[i] = kDeleted;
  --g_large_used;
  ++g_large_deleted;
}

bool IsRegisteredLarge(const char* p) {
  return Find(reinterpret_cast<uintptr_t>(p)) != g_large_capacity;
}

size_t RegisteredLargeBlocks() { return g_large_used; }

void RememberFreedLarge(const char* p) {
  g_freed[g_freed_next] = p;
  g_freed_next = (g_freed_next + 1) % kFreedHistory;
}

bool WasFreedLarge(const char* p) {
  for (const char* f : g_freed)
    if (f == p) return true;
  return false;
}

}  // namespace kor::memory_detail
