// The keys of the records a table keeps in the file's one tree. Except for
// table names, a key begins with the table number (4 bytes, big-endian) and
// a kind byte:
//
//   KIND  RECORD               KEY AFTER TABLE AND KIND        DATA
//   0xF3  data record          record number (4 BE)            the record image
//   0xFC  memo/BLOB block      record number (4 BE), memo      up to 256 bytes; a BLOB's
//                              number (1), sequence (2 BE)     block 0 starts with its
//                                                              total length (4 LE)
//   0xF6  statistics           0xF3 (records) or key number    count (4 LE), flags (4 LE)
//   0xFA  definition block     block number (2, LITTLE-endian) up to 512 stream bytes
//   0xFB  collation record     1                               OEM flag (1), tables (1,152)
//   1..   key or index entry   key number = kind; the image;   record number (4 BE)
//                              DUP keys: record number (4 BE)
//   table name: 0xFE then the name, no terminator              table number (4 BE)
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "files/velocore/format.h"

namespace kor::vel {

using Bytes = std::vector<uint8_t>;

inline constexpr size_t kTablePrefix = 5;  // table number and kind byte

Bytes TablePrefix(uint32_t table, uint8_t kind);
Bytes DataKey(uint32_t table, uint32_t record);
Bytes MemoKey(uint32_t table, uint32_t record, uint8_t memo, uint16_t sequence);
// All blocks of one record's memos sort after this and before MemoLimit.
Bytes MemoPrefix(uint32_t table, uint32_t record);
Bytes StatisticsKey(uint32_t table, uint8_t which);
Bytes DefinitionKey(uint32_t table, uint16_t block);
Bytes CollationKey(uint32_t table);
Bytes TableNameKey(std::string_view name);
// A key entry: the key's number, the image, and for a DUP key the record.
Bytes EntryKey(uint32_t table, uint8_t key_number, std::span<const uint8_t> image, bool dup,
               uint32_t record);
// The same built in `out` around an image the caller appends between the
// two calls, `out` keeping its room.
void BeginEntryKey(uint32_t table, uint8_t key_number, Bytes* out);
void EndEntryKey(bool dup, uint32_t record, Bytes* out);
Bytes RecordNumberData(uint32_t record);

// Statistics data: two little-endian words.
struct Statistics {
  uint32_t count = 0;
  uint32_t flags = 0;
};
Bytes EncodeStatistics(const Statistics& s);
// False when the data is not 8 bytes.
bool DecodeStatistics(std::span<const uint8_t> data, Statistics* s);

// Whether `key` starts with `prefix`.
bool HasPrefix(std::span<const uint8_t> key, std::span<const uint8_t> prefix);

// The same as DataKey and HasPrefix(key, TablePrefix(table, kind)) without
// a heap allocation, for the reads a walk makes at every step.
inline constexpr size_t kDataKeySize = kTablePrefix + 4;
using DataKeyBuffer = std::array<uint8_t, kDataKeySize>;
inline DataKeyBuffer DataKeyOf(uint32_t table, uint32_t record) {
  DataKeyBuffer b;
  Put32BE(b.data(), table);
  b[4] = kKindData;
  Put32BE(b.data() + kTablePrefix, record);
  return b;
}
// StatisticsKey and RecordNumberData on the stack, for the statistics an
// ADD changes and the entries it adds.
using StatisticsKeyBuffer = std::array<uint8_t, kTablePrefix + 1>;
inline StatisticsKeyBuffer StatisticsKeyOf(uint32_t table, uint8_t which) {
  StatisticsKeyBuffer b;
  Put32BE(b.data(), table);
  b[4] = kKindStatistics;
  b[kTablePrefix] = which;
  return b;
}
using RecordNumberBuffer = std::array<uint8_t, 4>;
inline RecordNumberBuffer RecordNumberDataOf(uint32_t record) {
  RecordNumberBuffer b;
  Put32BE(b.data(), record);
  return b;
}
inline bool HasTablePrefix(std::span<const uint8_t> key, uint32_t table, uint8_t kind) {
  return key.size() >= kTablePrefix && Get32BE(key.data()) == table && key[4] == kind;
}

}  // namespace kor::vel
