// Whole-table maintenance: APPEND without keys, EMPTY, REMOVE and the
// rebuilding of a key's entries (see table.h).
#include "files/velocore/table.h"

namespace kor::vel {

// Removes every record whose key starts with `prefix`.
Status Table::EraseRange(const Bytes& prefix) {
  Record r;
  bool found = false;
  Status s = tree_.Ceiling(prefix, false, &r, &found);
  while (s.ok() && found && HasPrefix(r.key(), prefix)) {
    Bytes key(r.key().begin(), r.key().end());
    s = tree_.Erase(key, &found);
    if (s.ok()) s = tree_.Ceiling(key, false, &r, &found);
  }
  return s;
}

// Sets a statistics record's count, keeping its flags.
Status Table::SetCount(uint8_t which, uint32_t count) {
  Bytes key = StatisticsKey(number_, which);
  Record r;
  bool found = false;
  Statistics stats;
  Status s = tree_.Find(key, &r, &found);
  if (s.ok() && (!found || !DecodeStatistics(r.data(), &stats))) s = Check(kCheckRecordData);
  stats.count = count;
  if (s.ok()) s = tree_.Put(MakeRecord(key, EncodeStatistics(stats)));
  return s;
}

Status Table::Append(const uint8_t* image, const std::vector<Bytes>& memos, uint32_t* record) {
  Status s = Begin();
  if (!s.ok()) return s;
  bool existed = false;
  s = IssueRecordNumber(&store_.header(), record);
  if (s.ok()) s = tree_.Insert(MakeRecord(DataKey(number_, *record), ToStored(image)), &existed);
  if (s.ok() && existed) s = Check(kCheckDuplicate);
  if (s.ok()) s = AdjustStatistics(kKindData, 1);
  for (size_t m = 0; s.ok() && m < memos.size() && m < schema_.memos.size(); ++m) {
    s = StoreMemo(*record, m, memos[m]);
  }
  return Finish(s);
}

Status Table::Empty() {
  Status s = Begin();
  if (s.ok()) s = EraseRange(TablePrefix(number_, kKindData));
  if (s.ok()) s = EraseRange(TablePrefix(number_, kKindMemo));
  if (s.ok()) s = SetCount(kKindData, 0);
  for (size_t k = 0; s.ok() && k < schema_.keys.size(); ++k) {
    s = EraseRange(TablePrefix(number_, uint8_t(k + 1)));
    if (s.ok()) s = SetCount(uint8_t(k + 1), 0);
  }
  if (s.ok()) s = EraseRange(TablePrefix(number_, kKindDefinition));
  if (s.ok()) s = WriteDefinitionBlocks(schema_);
  return Finish(s);
}

Status Table::Remove(bool* last) {
  *last = false;
  Status s = Begin();
  Bytes prefix = RecordNumberData(number_);  // every record of the table
  bool found = false;
  if (s.ok()) s = EraseRange(prefix);
  if (s.ok()) s = tree_.Erase(TableNameKey(name_), &found);
  std::vector<TableName> others;
  if (s.ok()) s = ListTables(store_, &others);
  if (s.ok()) *last = others.empty();
  s = Finish(s);
  if (s.ok()) Close();
  return s;
}

Status Table::BuildKey(size_t k, const std::function<bool(const Bytes& image)>& keep) {
  Status s = Begin();
  if (s.ok() && k >= schema_.keys.size()) s = Status::Error(kErrInvalidKeyFile);
  if (s.ok()) s = EraseRange(TablePrefix(number_, uint8_t(k + 1)));
  const Bytes data_prefix = TablePrefix(number_, kKindData);
  Record r;
  bool found = false;
  uint32_t entries = 0;
  if (s.ok()) s = tree_.Ceiling(data_prefix, false, &r, &found);
  while (s.ok() && found && HasPrefix(r.key(), data_prefix)) {
    if (r.key().size() != kTablePrefix + 4 || r.data().size() != schema_.record_length) {
      s = Check(kCheckRecordData);
      break;
    }
    uint32_t record = Get32BE(r.key().data() + kTablePrefix);
    Bytes entry, stored(r.data().begin(), r.data().end());
    bool existed = false;
    if ((!keep || keep(FromStored(stored))) && MakeEntry(k, stored.data(), record, true, &entry)) {
      s = tree_.Insert(MakeRecord(entry, RecordNumberData(record)), &existed);
      if (s.ok() && existed) s = Status::Error(kErrCreatesDuplicateKey);
      ++entries;
    }
    Bytes at(r.key().begin(), r.key().end());
    if (s.ok()) s = tree_.Ceiling(at, true, &r, &found);
  }
  if (s.ok()) s = SetCount(uint8_t(k + 1), entries);
  return Finish(s);
}

}  // namespace kor::vel
