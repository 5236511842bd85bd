// The table catalogue, making and opening tables, and the frame of every
// table call (refresh, commit or discard, the failed-check state).
#include "files/velocore/table.h"

#include <algorithm>

#include "files/velocore/definition.h"
#include "runtime/values/data_types.h"

namespace kor::vel {

Status ListTables(PageStore& store, std::vector<TableName>* tables) {
  tables->clear();
  Tree tree(store);
  Cursor cursor(tree);
  const Bytes prefix{kTableNamePrefix};
  Status s = cursor.SeekCeiling(prefix);
  for (; s.ok() && cursor.valid() && HasPrefix(cursor.record().key(), prefix); s = cursor.Next()) {
    const Record& r = cursor.record();
    if (r.data().size() != 4) return Check(kCheckRecordData);
    tables->push_back({std::string(r.key().begin() + 1, r.key().end()), Get32BE(r.data().data())});
  }
  return s;
}

Status FindTable(PageStore& store, std::string_view name, uint32_t* number, bool* found) {
  Tree tree(store);
  Record r;
  Status s = tree.Find(TableNameKey(name), &r, found);
  if (!s.ok() || !*found) return s;
  if (r.data().size() != 4) return Check(kCheckRecordData);
  *number = Get32BE(r.data().data());
  return Status::Ok();
}

Status ReadDefinitionStream(PageStore& store, uint32_t table, std::vector<uint8_t>* stream) {
  stream->clear();
  Tree tree(store);
  Cursor cursor(tree);
  Bytes prefix = TablePrefix(table, kKindDefinition);
  uint16_t expected = 0;
  Status s = cursor.SeekCeiling(prefix);
  for (; s.ok() && cursor.valid() && HasPrefix(cursor.record().key(), prefix); s = cursor.Next()) {
    const Record& r = cursor.record();
    if (r.key().size() != kTablePrefix + 2 || Get16(r.key().data() + kTablePrefix) != expected ||
        r.data().size() > kDefinitionBlockBytes) {
      return Check(kCheckDefinition);
    }
    stream->insert(stream->end(), r.data().begin(), r.data().end());
    ++expected;
  }
  return s;
}

Status Table::Begin() {
  if (failed_check_) return {kErrFileSystemError, failed_check_, 0};
  if (!open_) return Status::Error(kErrFileNotOpen);
  Status s = hold_ ? Status::Ok() : store_.Refresh();
  if (s.is_check()) failed_check_ = s.check;
  return s;
}

Status Table::Finish(Status s) {
  if (s.ok() && !hold_) s = store_.Commit();
  if (!s.ok() && !hold_) store_.Discard();
  if (s.is_check()) {
    failed_check_ = s.check;
    store_.Discard();
    store_.InvalidateHeader();
  }
  return s;
}

Status Table::WriteDefinitionBlocks(const TableSchema& schema) {
  Bytes stream = WriteDefinition(schema);
  Status s;
  for (size_t at = 0, block = 0; s.ok() && (at < stream.size() || block == 0);
       at += kDefinitionBlockBytes, ++block) {
    size_t n = std::min<size_t>(kDefinitionBlockBytes, stream.size() - at);
    Bytes data(stream.begin() + ptrdiff_t(at), stream.begin() + ptrdiff_t(at + n));
    s = tree_.Put(MakeRecord(DefinitionKey(number_, uint16_t(block)), data));
  }
  return s;
}

Status Table::Create(std::string_view name, const TableSchema& schema, bool oem,
                     const CollationRecord& collation, std::string* why) {
  Status s = ValidateSchema(schema, why);
  if (s.ok()) s = store_.Refresh();
  if (!s.ok()) return s;
  uint32_t existing = 0;
  bool found = false;
  s = FindTable(store_, name, &existing, &found);
  if (s.ok() && found) s = Status::Error(kErrCreatesDuplicateKey);
  if (s.ok()) s = IssueRecordNumber(&store_.header(), &number_);
  if (!s.ok()) return Finish(s);
  name_ = name;
  schema_ = schema;
  oem_ = oem;
  collation_ = collation;
  Bytes number = RecordNumberData(number_);
  s = tree_.Put(MakeRecord(TableNameKey(name), number));
  if (s.ok()) s = WriteDefinitionBlocks(schema);
  if (s.ok()) s = tree_.Put(MakeRecord(StatisticsKey(number_, kKindData), EncodeStatistics({})));
  for (size_t k = 0; s.ok() && k < schema.keys.size(); ++k) {
    s = tree_.Put(MakeRecord(StatisticsKey(number_, uint8_t(k + 1)), EncodeStatistics({})));
  }
  if (s.ok()) {
    Bytes data{uint8_t(oem ? 1 : 0)};
    const uint8_t* tables = reinterpret_cast<const uint8_t*>(&collation);
    data.insert(data.end(), tables, tables + kCollationTableBytes);
    s = tree_.Put(MakeRecord(CollationKey(number_), data));
  }
  open_ = true;
  s = Finish(s);
  open_ = s.ok();
  return s;
}

Status Table::Open(std::string_view name, const TableSchema* declared, std::string* why) {
  Status s = store_.Refresh();
  bool found = false;
  if (s.ok()) s = FindTable(store_, name, &number_, &found);
  if (s.ok() && !found) s = Status::Error(kErrFileNotFound);
  Bytes stream;
  if (s.ok()) s = ReadDefinitionStream(store_, number_, &stream);
  if (s.ok()) s = declared ? CompareDefinition(stream, *declared, why) : Status::Ok();
  if (s.ok()) s = ReadDefinition(stream, &schema_);
  if (s.ok() && !ValidateSchema(schema_, why).ok()) s = Check(kCheckDefinition);
  Record collation;
  if (s.ok()) s = tree_.Find(CollationKey(number_), &collation, &found);
  if (s.ok() && (!found || collation.data().size() != 1 + kCollationTableBytes)) {
    s = Check(kCheckRecordData);
  }
  if (!s.ok()) return s;
  oem_ = collation.data()[0] != 0;
  std::copy_n(collation.data().data() + 1, kCollationTableBytes,
              reinterpret_cast<uint8_t*>(&collation_));
  name_ = name;
  open_ = true;
  failed_check_ = 0;
  return Status::Ok();
}

void Table::Close() {
  open_ = false;
  failed_check_ = 0;
}

}  // namespace kor::vel
