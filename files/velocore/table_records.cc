// A table's records: data records with their key entries, statistics and
// memos (see table.h).
#include <algorithm>
#include <cstring>

#include "files/velocore/key_image.h"
#include "files/velocore/table.h"
#include "runtime/os/os.h"
#include "runtime/values/data_types.h"

namespace kor::vel {

namespace {

// Converts the text fields of an image in place, ANSI to OEM or back.
void ConvertImage(const TableSchema& schema, uint8_t* image, bool to_oem) {
  auto convert = [&](uint8_t* p, size_t n) {
    char* c = reinterpret_cast<char*>(p);
    if (to_oem) OsAnsiToOem(c, c, n);
    else OsOemToAnsi(c, c, n);
  };
  for (const FieldDecl& f : schema.fields) {
    if (f.marker != 0) continue;
    uint8_t* p = image + f.offset;
    if (f.type == kTypeString) {
      convert(p, f.size);
    } else if (f.type == kTypeCString) {
      convert(p, size_t(std::find(p, p + f.size, 0) - p));
    } else if (f.type == kTypePString && f.size > 0) {
      convert(p + 1, std::min<size_t>(p[0], f.size - 1u));
    }
  }
}

}  // namespace

Bytes Table::ToStored(const uint8_t* image) const {
  Bytes b;
  ToStored(image, &b);
  return b;
}

void Table::ToStored(const uint8_t* image, Bytes* out) const {
  out->assign(image, image + schema_.record_length);
  if (oem_) ConvertImage(schema_, out->data(), true);
}

Bytes Table::FromStored(std::span<const uint8_t> stored) const {
  Bytes b(stored.begin(), stored.end());
  if (oem_) ConvertImage(schema_, b.data(), false);
  return b;
}

bool Table::EntryFor(size_t k, const uint8_t* stored, uint32_t record, Bytes* entry) const {
  return MakeEntry(k, stored, record, false, entry);
}

bool Table::MakeEntry(size_t k, const uint8_t* stored, uint32_t record, bool on_demand,
                      Bytes* entry) const {
  const KeyDecl& key = schema_.keys[k];
  if ((key.attributes & kKeyOnDemand) && !on_demand) return false;
  if ((key.attributes & kKeyOpt) && KeyComponentsEmpty(schema_, key, stored)) return false;
  // Built in place: the entry's room is the caller's to keep (an ADD makes
  // one per key).
  BeginEntryKey(number_, uint8_t(k + 1), entry);
  AppendKeyImage(schema_, key, stored, {&collation_, oem_}, entry);
  EndEntryKey(key.dup(), record, entry);
  return true;
}

Status Table::AdjustStatistics(uint8_t which, int32_t delta) {
  if (delta == 0) return Status::Ok();
  StatisticsKeyBuffer key = StatisticsKeyOf(number_, which);
  bool found = false;
  Status s = tree_.Update(
      key,
      [&](std::span<uint8_t> data) {
        Statistics stats;
        if (!DecodeStatistics(data, &stats)) return Check(kCheckRecordData);
        // The count is the data's first word (record_keys.h): changed in
        // place, the record stays the same size and keeps its flags.
        Put32(data.data(), uint32_t(int64_t(stats.count) + delta));
        return Status::Ok();
      },
      &found);
  return s.ok() && !found ? Check(kCheckRecordData) : s;
}

Status Table::UniqueFree(const Bytes& entry, bool* free) {
  bool found = false;
  Status s = tree_.Find(entry, nullptr, &found);
  *free = !found;
  return s;
}

// Removes key k's entry for this record if the key has it: a record
// APPENDed and not yet built has none, and the entry of a unique value it
// shares with another record is that record's (the entry's data names it).
Status Table::EraseOwnEntry(size_t k, const Bytes& entry, uint32_t record, bool* erased) {
  *erased = false;
  if (!schema_.keys[k].dup()) {
    RecordRef r;
    bool found = false;
    Status s = tree_.Look(entry, &r, &found);
    if (!s.ok() || !found) return s;
    if (r.data().size() != 4) return Check(kCheckRecordData);
    if (Get32BE(r.data().data()) != record) return s;
  }
  return tree_.Erase(entry, erased);
}

Status Table::Add(const uint8_t* image, const std::vector<Bytes>& memos, uint32_t* record) {
  Status s = Begin();
  if (!s.ok()) return s;
  // The table's rooms, kept from ADD to ADD (a bulk load makes many).
  Bytes& stored = add_room_.stored;
  ToStored(image, &stored);
  // Every unique key is looked at before anything changes, so a duplicate
  // leaves the table as it was.
  std::vector<Bytes>& entries = add_room_.entries;
  std::vector<uint8_t>& makes = add_room_.makes;
  entries.resize(schema_.keys.size());
  makes.assign(schema_.keys.size(), 0);
  for (size_t k = 0; s.ok() && k < schema_.keys.size(); ++k) {
    makes[k] = EntryFor(k, stored.data(), 0, &entries[k]) ? 1 : 0;
    bool free = true;
    if (makes[k] && !schema_.keys[k].dup()) s = UniqueFree(entries[k], &free);
    if (s.ok() && !free) s = Status::Error(kErrCreatesDuplicateKey);
  }
  if (s.ok()) s = IssueRecordNumber(&store_.header(), record);
  bool existed = false;
  if (s.ok()) s = tree_.Insert(DataKeyOf(number_, *record), stored, &existed);
  if (s.ok() && existed) s = Check(kCheckDuplicate);
  for (size_t k = 0; s.ok() && k < schema_.keys.size(); ++k) {
    if (!makes[k]) continue;
    // Made above with record number 0: only a DUP key's entry ends in the
    // record number (EntryKey), so it is set there without a second image.
    if (schema_.keys[k].dup()) Put32BE(entries[k].data() + entries[k].size() - 4, *record);
    s = tree_.Insert(entries[k], RecordNumberDataOf(*record), &existed);
    if (s.ok() && existed) s = Check(kCheckDuplicate);
    if (s.ok()) s = AdjustStatistics(uint8_t(k + 1), 1);
  }
  if (s.ok()) s = AdjustStatistics(kKindData, 1);
  for (size_t m = 0; s.ok() && m < memos.size() && m < schema_.memos.size(); ++m) {
    s = StoreMemo(*record, m, memos[m]);
  }
  return Finish(s);
}

Status Table::Read(uint32_t record, Bytes* image, bool* found) {
  Status s = Begin();
  RecordRef r;
  *found = false;
  if (s.ok()) s = tree_.Look(DataKeyOf(number_, record), &r, found);
  if (s.ok() && *found && r.data().size() != schema_.record_length) s = Check(kCheckRecordData);
  if (s.ok() && *found) {
    image->assign(r.data().begin(), r.data().end());  // keeps the caller's room
    if (oem_) ConvertImage(schema_, image->data(), false);
  }
  return s.is_check() ? Finish(s) : s;
}

Status Table::Put(uint32_t record, const uint8_t* image) {
  Status s = Begin();
  Record r;
  bool found = false;
  if (s.ok()) s = tree_.Find(DataKey(number_, record), &r, &found);
  if (s.ok() && !found) s = Status::Error(kErrRecordNotAvailable);
  if (s.ok() && r.data().size() != schema_.record_length) s = Check(kCheckRecordData);
  if (!s.ok()) return Finish(s);
  Bytes old_image(r.data().begin(), r.data().end()), stored = ToStored(image);
  size_t n = schema_.keys.size();
  std::vector<Bytes> old_entry(n), new_entry(n);
  std::vector<bool> had(n), has(n);
  for (size_t k = 0; s.ok() && k < n; ++k) {
    had[k] = EntryFor(k, old_image.data(), record, &old_entry[k]);
    has[k] = EntryFor(k, stored.data(), record, &new_entry[k]);
    bool free = true;
    if (has[k] && !(had[k] && old_entry[k] == new_entry[k]) && !schema_.keys[k].dup()) {
      s = UniqueFree(new_entry[k], &free);
    }
    if (s.ok() && !free) s = Status::Error(kErrCreatesDuplicateKey);
  }
  for (size_t k = 0; s.ok() && k < n; ++k) {
    if (had[k] && has[k] && old_entry[k] == new_entry[k]) continue;
    bool erased = false, existed = false;
    if (had[k]) s = EraseOwnEntry(k, old_entry[k], record, &erased);
    if (s.ok() && has[k])
      s = tree_.Insert(MakeRecord(new_entry[k], RecordNumberData(record)), &existed);
    if (s.ok() && existed) s = Check(kCheckRecordData);
    if (s.ok()) s = AdjustStatistics(uint8_t(k + 1), int32_t(has[k]) - int32_t(erased));
  }
  if (s.ok()) s = tree_.Put(MakeRecord(DataKey(number_, record), stored));
  return Finish(s);
}

Status Table::Delete(uint32_t record) {
  Status s = Begin();
  Record r;
  bool found = false;
  if (s.ok()) s = tree_.Find(DataKey(number_, record), &r, &found);
  if (s.ok() && !found) s = Status::Error(kErrRecordNotAvailable);
  if (s.ok() && r.data().size() != schema_.record_length) s = Check(kCheckRecordData);
  for (size_t k = 0; s.ok() && k < schema_.keys.size(); ++k) {
    Bytes entry;
    bool erased = false;
    if (!EntryFor(k, r.data().data(), record, &entry)) continue;
    s = EraseOwnEntry(k, entry, record, &erased);
    if (s.ok()) s = AdjustStatistics(uint8_t(k + 1), erased ? -1 : 0);
  }
  for (size_t m = 0; s.ok() && m < schema_.memos.size(); ++m) s = EraseMemos(record, m);
  if (s.ok()) s = tree_.Erase(DataKey(number_, record), &found);
  if (s.ok()) s = AdjustStatistics(kKindData, -1);
  return Finish(s);
}

Status Table::NextRecord(uint32_t after, uint32_t* record, bool* found) {
  Status s = Begin();
  *found = false;
  Record r;
  Bytes prefix = TablePrefix(number_, kKindData);
  if (s.ok() && after == 0xFFFFFFFF) return s;
  if (s.ok()) s = tree_.Ceiling(DataKey(number_, after + 1), false, &r, found);
  if (s.ok() && *found && !HasPrefix(r.key(), prefix)) *found = false;
  if (s.ok() && *found && r.key().size() != kTablePrefix + 4) s = Check(kCheckRecordData);
  if (s.ok() && *found) *record = Get32BE(r.key().data() + kTablePrefix);
  return s.is_check() ? Finish(s) : s;
}

Bytes Table::KeySearchKey(size_t k, const uint8_t* image, bool for_previous) const {
  Bytes stored = ToStored(image);
  const KeyDecl& key = schema_.keys[k];
  Bytes value = KeyImage(schema_, key, stored.data(), {&collation_, oem_});
  return EntryKey(number_, uint8_t(k + 1), value, key.dup(), for_previous ? 0xFFFFFFFF : 0);
}

Bytes Table::EntryOf(size_t k, const uint8_t* image, uint32_t record) const {
  Bytes stored = ToStored(image);
  const KeyDecl& key = schema_.keys[k];
  Bytes value = KeyImage(schema_, key, stored.data(), {&collation_, oem_});
  return EntryKey(number_, uint8_t(k + 1), value, key.dup(), record);
}

Status Table::RecordNear(std::span<const uint8_t> from, bool forward, bool strict, uint32_t* record,
                         bool* found) {
  Status s = Begin();
  RecordRef r;
  bool near = false;
  if (s.ok()) {
    s = forward ? tree_.CeilingRef(from, strict, &r, &near)
                : tree_.FloorRef(from, strict, &r, &near);
  }
  *found = near && HasTablePrefix(r.key(), number_, kKindData);
  if (s.ok() && *found && r.key().size() != kDataKeySize) s = Check(kCheckRecordData);
  if (s.ok() && *found) *record = Get32BE(r.key().data() + kTablePrefix);
  return s.is_check() ? Finish(s) : s;
}

Bytes Table::KeyFirst(size_t k) const { return TablePrefix(number_, uint8_t(k + 1)); }

// Every entry of key k sorts below the prefix of the next kind byte.
Bytes Table::KeyLast(size_t k) const { return TablePrefix(number_, uint8_t(k + 2)); }

Status Table::KeyEntry(size_t k, std::span<const uint8_t> from, bool forward, bool strict,
                       Bytes* entry, uint32_t* record, bool* found) {
  Status s = Begin();
  RecordRef r;
  bool near = false;
  if (s.ok()) {
    s = forward ? tree_.CeilingRef(from, strict, &r, &near)
                : tree_.FloorRef(from, strict, &r, &near);
  }
  *found = near && HasTablePrefix(r.key(), number_, uint8_t(k + 1));
  if (s.ok() && *found && r.data().size() != 4) s = Check(kCheckRecordData);
  if (s.ok() && *found) {
    entry->assign(r.key().begin(), r.key().end());
    *record = Get32BE(r.data().data());
  }
  return s.is_check() ? Finish(s) : s;
}

Status Table::Count(uint32_t* count) { return KeyCount(SIZE_MAX, count); }

Status Table::Flags(uint32_t* flags) {
  Status s = Begin();
  Record r;
  bool found = false;
  Statistics stats;
  if (s.ok()) s = tree_.Find(StatisticsKey(number_, kKindData), &r, &found);
  if (s.ok() && (!found || !DecodeStatistics(r.data(), &stats))) s = Check(kCheckRecordData);
  if (s.ok()) *flags = stats.flags;
  return s.is_check() ? Finish(s) : s;
}

Status Table::SetFlags(uint32_t flags) {
  Status s = Begin();
  Bytes key = StatisticsKey(number_, kKindData);
  Record r;
  bool found = false;
  Statistics stats;
  if (s.ok()) s = tree_.Find(key, &r, &found);
  if (s.ok() && (!found || !DecodeStatistics(r.data(), &stats))) s = Check(kCheckRecordData);
  stats.flags = flags;
  if (s.ok()) s = tree_.Put(MakeRecord(key, EncodeStatistics(stats)));
  return Finish(s);
}

Status Table::KeyCount(size_t key, uint32_t* count) {
  Status s = Begin();
  Record r;
  bool found = false;
  Statistics stats;
  uint8_t which = key == SIZE_MAX ? uint8_t(kKindData) : uint8_t(key + 1);
  if (s.ok()) s = tree_.Find(StatisticsKey(number_, which), &r, &found);
  if (s.ok() && (!found || !DecodeStatistics(r.data(), &stats))) s = Check(kCheckRecordData);
  if (s.ok()) *count = stats.count;
  return s.is_check() ? Finish(s) : s;
}

}  // namespace kor::vel
