// Building the keys of a table's records (layouts in record_keys.h).
#include "files/velocore/record_keys.h"

#include <algorithm>

namespace kor::vel {

namespace {

// A key of the table and kind with room for `more` bytes after them, in
// one allocation: every ADD builds several of these.
Bytes Prefixed(uint32_t table, uint8_t kind, size_t more) {
  Bytes b(kTablePrefix + more);
  Put32BE(b.data(), table);
  b[4] = kind;
  return b;
}

}  // namespace

Bytes TablePrefix(uint32_t table, uint8_t kind) { return Prefixed(table, kind, 0); }

Bytes DataKey(uint32_t table, uint32_t record) {
  Bytes b = Prefixed(table, kKindData, 4);
  Put32BE(b.data() + kTablePrefix, record);
  return b;
}

Bytes MemoPrefix(uint32_t table, uint32_t record) {
  Bytes b = Prefixed(table, kKindMemo, 4);
  Put32BE(b.data() + kTablePrefix, record);
  return b;
}

Bytes MemoKey(uint32_t table, uint32_t record, uint8_t memo, uint16_t sequence) {
  Bytes b = Prefixed(table, kKindMemo, 7);
  Put32BE(b.data() + kTablePrefix, record);
  b[kTablePrefix + 4] = memo;
  b[kTablePrefix + 5] = uint8_t(sequence >> 8);
  b[kTablePrefix + 6] = uint8_t(sequence);
  return b;
}

Bytes StatisticsKey(uint32_t table, uint8_t which) {
  const StatisticsKeyBuffer b = StatisticsKeyOf(table, which);
  return Bytes(b.begin(), b.end());
}

Bytes DefinitionKey(uint32_t table, uint16_t block) {
  Bytes b = TablePrefix(table, kKindDefinition);
  b.push_back(uint8_t(block));
  b.push_back(uint8_t(block >> 8));
  return b;
}

Bytes CollationKey(uint32_t table) {
  Bytes b = TablePrefix(table, kKindCollation);
  b.push_back(kCollationId);
  return b;
}

Bytes TableNameKey(std::string_view name) {
  Bytes b(1 + name.size());
  b[0] = kTableNamePrefix;
  std::copy(name.begin(), name.end(), b.begin() + 1);
  return b;
}

Bytes EntryKey(uint32_t table, uint8_t key_number, std::span<const uint8_t> image, bool dup,
               uint32_t record) {
  Bytes b;
  b.reserve(kTablePrefix + image.size() + (dup ? 4 : 0));  // one allocation
  BeginEntryKey(table, key_number, &b);
  b.insert(b.end(), image.begin(), image.end());
  EndEntryKey(dup, record, &b);
  return b;
}

void BeginEntryKey(uint32_t table, uint8_t key_number, Bytes* out) {
  out->resize(kTablePrefix);
  Put32BE(out->data(), table);
  (*out)[4] = key_number;
}

void EndEntryKey(bool dup, uint32_t record, Bytes* out) {
  if (!dup) return;
  const RecordNumberBuffer number = RecordNumberDataOf(record);
  out->insert(out->end(), number.begin(), number.end());
}

Bytes RecordNumberData(uint32_t record) {
  const RecordNumberBuffer b = RecordNumberDataOf(record);
  return Bytes(b.begin(), b.end());
}

Bytes EncodeStatistics(const Statistics& s) {
  Bytes b(8);
  Put32(b.data(), s.count);
  Put32(b.data() + 4, s.flags);
  return b;
}

bool DecodeStatistics(std::span<const uint8_t> data, Statistics* s) {
  if (data.size() != 8) return false;
  s->count = Get32(data.data());
  s->flags = Get32(data.data() + 4);
  return true;
}

bool HasPrefix(std::span<const uint8_t> key, std::span<const uint8_t> prefix) {
  return key.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), key.begin());
}

}  // namespace kor::vel
