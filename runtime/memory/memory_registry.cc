// Where blocks may lie: the arenas and the large blocks alive, so that Free
// and Reallocate read the tags of a pointer only when it lies in memory the
// allocator holds. A pointer into static data, into the middle of a large
// block, or to a large block whose memory went back to the system is then
// refused without being touched.
//
// Arenas: a hash table keyed by the 128 KB slot of the address space (the
// address shifted right by 17). An arena is 128 KB but not aligned, so it
// overlaps two slots and a slot holds parts of at most two arenas; each
// arena is entered under both its slots, and a question looks only at the
// entries of its own slot, after a look at the arena of the previous
// question (frees tend to come in runs from one arena). Entries are never
// removed: arenas are never returned.
// Large blocks: a hash set of their user pointers, deleted slots marked.
// Both tables use linear probing and are kept at most half full.
// Freed large blocks: a ring of the last kFreedHistory user pointers, asked
// only about pointers that are neither, to tell a double free from a foreign
// pointer. All of it lives in system memory of its own, never in the heap it
// describes.
#include <cstdint>
#include <cstring>

#include "runtime/memory/memory_internal.h"
#include "runtime/os/os.h"

namespace kor::memory_detail {

namespace {

// Spreads a key over a table of 2^bits slots: the key multiplied by a
// large odd constant, whose top bits are the best mixed.
size_t Spread(uint64_t key, int bits) {
  return bits == 0 ? 0 : static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - bits));
}

// ---- arenas ----

constexpr int kSlotShift = 17;
static_assert(size_t{1} << kSlotShift == kArenaSize, "a slot is the size of an arena");

struct ArenaEntry {
  uintptr_t slot;
  char* arena;  // null: an empty entry
};
ArenaEntry* g_arena_table = nullptr;
int g_arena_bits = 0;
size_t g_arena_entries = 0;
size_t g_arena_count = 0;

uintptr_t SlotOf(const char* p) { return reinterpret_cast<uintptr_t>(p) >> kSlotShift; }

void Enter(ArenaEntry* table, int bits, uintptr_t slot, char* arena) {
  size_t mask = (size_t{1} << bits) - 1;
  size_t i = Spread(slot, bits);
  while (table[i].arena != nullptr) i = (i + 1) & mask;
  table[i] = {slot, arena};
}

// Moves the table to a system allocation of twice the size.
bool GrowArenaTable() {
  int bits = g_arena_bits == 0 ? 8 : g_arena_bits + 1;  // from a page of entries
  size_t capacity = size_t{1} << bits;
  auto* table = static_cast<ArenaEntry*>(OsReserveMemory(capacity * sizeof(ArenaEntry)));
  if (table == nullptr) return false;
  std::memset(table, 0, capacity * sizeof(ArenaEntry));
  size_t old_capacity = g_arena_bits == 0 ? 0 : size_t{1} << g_arena_bits;
  for (size_t i = 0; i < old_capacity; ++i) {
    if (g_arena_table[i].arena != nullptr)
      Enter(table, bits, g_arena_table[i].slot, g_arena_table[i].arena);
  }
  if (g_arena_table != nullptr) OsReleaseMemory(g_arena_table, old_capacity * sizeof(ArenaEntry));
  g_arena_table = table;
  g_arena_bits = bits;
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

// Large blocks start 8 bytes into a page: their page numbers are spread.
size_t SlotFor(uintptr_t key, int bits) { return Spread(uint64_t{key} >> 12, bits); }

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
  size_t capacity = g_arena_bits == 0 ? 0 : size_t{1} << g_arena_bits;
  if (2 * (g_arena_entries + 2) > capacity && !GrowArenaTable()) return false;
  uintptr_t first = SlotOf(arena), last = SlotOf(arena + kArenaSize - 1);
  Enter(g_arena_table, g_arena_bits, first, arena);
  ++g_arena_entries;
  if (last != first) {
    Enter(g_arena_table, g_arena_bits, last, arena);
    ++g_arena_entries;
  }
  ++g_arena_count;
  return true;
}

char* g_last_arena = nullptr;
const char* g_last_large = nullptr;

char* FindArena(const char* p) {
  if (g_arena_table == nullptr) return nullptr;
  uintptr_t slot = SlotOf(p);
  size_t mask = (size_t{1} << g_arena_bits) - 1;
  for (size_t i = Spread(slot, g_arena_bits);; i = (i + 1) & mask) {
    const ArenaEntry& e = g_arena_table[i];
    if (e.arena == nullptr) return nullptr;
    if (e.slot == slot && InBlockSpace(e.arena, p)) {
      g_last_arena = e.arena;
      return e.arena;
    }
  }
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
  g_last_large = p;
  return true;
}

void UnregisterLarge(const char* p) {
  if (g_last_large == p) g_last_large = nullptr;
  size_t i = Find(reinterpret_cast<uintptr_t>(p));
  if (i == g_large_capacity) return;
  g_large[i] = kDeleted;
  --g_large_used;
  ++g_large_deleted;
}

bool FindLarge(const char* p) {
  if (Find(reinterpret_cast<uintptr_t>(p)) == g_large_capacity) return false;
  g_last_large = p;
  return true;
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
