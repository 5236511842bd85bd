// KORARRAY: the runtime's growable pointer array, whose capacity grows
// through a fixed table of size classes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kor {

// An entry holds a pointer or an integer. It is 32 bits on a 32-bit build and
// pointer-sized on a 64-bit one, so that a pointer always fits.
using ArrayEntry = uintptr_t;

// Header: size class (index into the capacity table), entry count, data.
// A zero-initialised header is an empty array.
struct KORARRAY {
  uint8_t size_class;
  int32_t count;
  ArrayEntry* data;
};

// Number of size classes; the capacity table ends at 100,000,000 entries.
inline constexpr int kArraySizeClasses = 39;
// Capacity of a size class; 0 for a class beyond the table.
int32_t ArrayCapacity(int size_class);

// Inserts value at index (0 .. count), moving later entries up by one. When
// the count exceeds the capacity the data moves to the next size class that
// holds it. If the memory cannot be had, or the array would pass the end of
// the capacity table, runtime error 501 "Out of memory in KORARRAY!" is
// raised and, should that return, the array is left as it was. Returns false
// then, and for an index outside 0 .. count (nothing changes).
bool ArrayInsert(KORARRAY* array, ArrayEntry value, int32_t index);
// First index holding value, or -1.
int32_t ArrayFind(const KORARRAY* array, ArrayEntry value);
// Makes destination an independent copy of source (same class, count and
// entries). Failure as for ArrayInsert, leaving destination unchanged.
bool ArrayCopy(KORARRAY* destination, const KORARRAY* source);
// Removes the entry at index, moving later entries down; false when out of range.
bool ArrayDelete(KORARRAY* array, int32_t index);
// Releases the data and empties the array.
void ArrayFree(KORARRAY* array);

}  // namespace kor
