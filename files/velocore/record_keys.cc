// Building the keys of a table's records (layouts in record_keys.h).
#include "files/velocore/record_keys.h"

#include <algorithm>

namespace kor::vel {

namespace {
void Append32BE(Bytes& b, uint32_t v) {
  uint8_t p[4];
  Put32BE(p, v);
  b.insert(b.end(), p, p + 4);
}
}  // namespace

Bytes TablePrefix(uint32_t table, uint8_t kind) {
  Bytes b;
  Append32BE(b, table);
  b.push_back(kind);
  return b;
}

Bytes DataKey(uint32_t table, uint32_t record) {
  Bytes b = TablePrefix(table, kKindData);
  Append32BE(b, record);
  return b;
}

Bytes MemoPrefix(uint32_t table, uint32_t record) {
  Bytes b = TablePrefix(table, kKindMemo);
  Append32BE(b, record);
  return b;
}

Bytes MemoKey(uint32_t table, uint32_t record, uint8_t memo, uint16_t sequence) {
  Bytes b = MemoPrefix(table, record);
  b.push_back(memo);
  b.push_back(uint8_t(sequence >> 8));
  b.push_back(uint8_t(sequence));
  return b;
}

Bytes StatisticsKey(uint32_t table, uint8_t which) {
  Bytes b = TablePrefix(table, kKindStatistics);
  b.push_back(which);
  return b;
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
  Bytes b = TablePrefix(table, key_number);
  b.insert(b.end(), image.begin(), image.end());
  if (dup) Append32BE(b, record);
  return b;
}

Bytes RecordNumberData(uint32_t record) {
  Bytes b;
  Append32BE(b, record);
  return b;
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
