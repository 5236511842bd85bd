// Reading records into the FILE's buffers (GET, REGET), position strings,
// counts and the DUPLICATE tests.
#include <cstring>

#include "files/operations.h"
#include "files/velocore/driver_block.h"

namespace kor::vel {

namespace {

// Whether the bytes after the first `used` of a position string are only
// blanks or zeros (a POSITION kept in a longer STRING field is padded).
bool OnlyPadding(const DriverArgs& args, size_t used) {
  for (size_t i = used; i < args.text_length; ++i) {
    if (args.text[i] != ' ' && args.text[i] != '\0') return false;
  }
  return true;
}

Status ReadByNumber(VelBlock& b, uint32_t record) {
  return ReadLocated(
      b,
      [&](uint32_t* at, Bytes* image, bool* found) {
        *at = record;
        return record == 0 ? Status::Ok() : b.table->Read(record, image, found);
      },
      kErrRecordNotFound);
}

// The entry of unique or DUP key k whose value equals the record buffer's
// (for a DUP key the first of them), with its record.
Status FindByValue(VelBlock& b, size_t k, Bytes* entry, uint32_t* record, bool* found) {
  Bytes search = b.table->EntryOf(k, b.file->record, 0);
  size_t value = kTablePrefix + b.table->ImageSize(k);
  Status s = b.table->KeyEntry(k, search, true, false, entry, record, found);
  if (s.ok() && *found) {
    *found = entry->size() >= value &&
             std::equal(search.begin(), search.begin() + ptrdiff_t(value), entry->begin());
  }
  return s;
}

}  // namespace

Status KeyIndex(const VelBlock& b, const KeyDescriptor* key, size_t* index) {
  for (uint32_t k = 0; key != nullptr && k < b.file->key_count; ++k) {
    if (b.file->keys[k] == key) {
      *index = k;
      return Status::Ok();
    }
  }
  return Status::Error(kErrInvalidRecordDeclaration);
}

std::string FilePosition(uint32_t record) {
  std::string s(4, '\0');
  Put32BE(reinterpret_cast<uint8_t*>(s.data()), record);
  return s;
}

std::string KeyPosition(VelBlock& b, size_t k, uint32_t record) {
  Bytes entry = b.table->EntryOf(k, b.file->record, record);
  auto image = entry.begin() + kTablePrefix;
  return FilePosition(record) + std::string(image, image + ptrdiff_t(b.table->ImageSize(k)));
}

Status RecordFromPosition(const DriverArgs& args, uint32_t* record) {
  if (args.text == nullptr || args.text_length < 4 || !OnlyPadding(args, 4)) {
    return Status::Error(kErrRecordNotFound);
  }
  *record = Get32BE(reinterpret_cast<const uint8_t*>(args.text));
  return Status::Ok();
}

Status FillBuffers(VelBlock& b, uint32_t record, const Bytes& image) {
  std::memcpy(b.file->record, image.data(), std::min<size_t>(image.size(), b.file->record_length));
  bool skip = (b.flags & kVelNoMemo) != 0;
  b.flags = (b.flags & ~uint32_t{kVelNoMemo | kVelMemosSkipped}) |
            (skip ? uint32_t{kVelMemosSkipped} : 0u);
  for (uint32_t m = 0; !skip && m < b.file->memo_count; ++m) {
    MemoDescriptor& memo = *b.file->memos[m];
    Bytes contents;
    Status s = b.table->ReadMemo(record, m, &contents);
    if (!s.ok()) return s;
    if (memo.flags & kMemoBlob) {
      b.blobs[m] = std::move(contents);
    } else if (memo.buffer != nullptr) {
      std::memset(memo.buffer, ' ', memo.size);
      std::memcpy(memo.buffer, contents.data(), std::min<size_t>(contents.size(), memo.size));
    }
  }
  return Status::Ok();
}

Status ReadLocated(VelBlock& b, const Locator& locate, int32_t not_found) {
  bool hold = (b.state & kHoldPending) != 0;
  bool watch = (b.state & kWatchPending) != 0;
  // The clock is read only for a HOLD, which may wait: every read of a
  // key-order walk read it before, 2% of the walk.
  uint32_t first_attempt = hold ? OsTickCount() : 0;
  for (;;) {
    uint32_t record = 0;
    Bytes& image = b.read_room;
    image.clear();
    bool found = false, busy = false;
    Status s = b.physical->BeginRead();
    if (s.ok()) s = locate(&record, &image, &found);
    if (s.ok() && !found) s = Status::Error(not_found);
    if (s.ok() && hold) s = TryHold(b, record, &busy);
    if (s.ok() && !busy) s = FillBuffers(b, record, image);
    b.physical->EndRead();
    if (s.ok() && busy) s = WaitForHold(b, first_attempt);
    if (!s.ok()) return s;
    if (busy) continue;
    if (b.held_record != record) DropHold(b);
    b.current = record;
    b.watch_image = watch ? image : Bytes();
    b.flags = (b.flags & ~uint32_t{kVelWatched | kVelHoldRequested | kVelWatchRequested}) |
              (watch ? uint32_t{kVelWatched} : 0u);
    return Status::Ok();
  }
}

Status GetByPointer(VelBlock& b, const DriverArgs& args) { return ReadByNumber(b, args.pointer); }

Status GetByKey(VelBlock& b, const DriverArgs& args) {
  size_t k = 0;
  Status s = KeyIndex(b, args.key, &k);
  if (!s.ok()) return s;
  return ReadLocated(
      b,
      [&](uint32_t* record, Bytes* image, bool* found) {
        Bytes entry;
        Status r = FindByValue(b, k, &entry, record, found);
        if (r.ok() && *found) r = b.table->Read(*record, image, found);
        return r;
      },
      kErrRecordNotFound);
}

Status Reget(VelBlock& b, int32_t op, const DriverArgs& args) {
  uint32_t record = 0;
  Status s = RecordFromPosition(args, &record);
  size_t k = 0;
  if (op == kOpREGETkey) {
    // The record number and the key's value image; the value is not needed
    // to find the record, but the length must be the key's.
    s = KeyIndex(b, args.key, &k);
    size_t used = 4 + (s.ok() ? b.table->ImageSize(k) : 0);
    if (s.ok() && (args.text_length < used || !OnlyPadding(args, used))) {
      s = Status::Error(kErrRecordNotFound);
    }
    if (s.ok()) record = Get32BE(reinterpret_cast<const uint8_t*>(args.text));
  }
  return s.ok() ? ReadByNumber(b, record) : s;
}

Status Position(VelBlock& b, int32_t op, const DriverArgs& args, DriverOutput& out) {
  if (op == kOpPOSITIONfile) {
    out.text = FilePosition(b.current);
    return Status::Ok();
  }
  size_t k = 0;
  Status s = KeyIndex(b, args.key, &k);
  if (s.ok()) out.text = KeyPosition(b, k, b.current);
  return s;
}

Status Counts(VelBlock& b, int32_t op, const DriverArgs& args, DriverOutput& out) {
  size_t k = 0;
  Status s = op == kOpRECORDSkey ? KeyIndex(b, args.key, &k) : Status::Ok();
  uint32_t count = 0;
  if (s.ok()) s = b.physical->BeginRead();
  if (s.ok()) s = op == kOpRECORDSkey ? b.table->KeyCount(k, &count) : b.table->Count(&count);
  b.physical->EndRead();
  if (s.ok()) out.value = op == kOpBYTES ? intptr_t(count) * b.file->record_length : count;
  return s;
}

Status Duplicate(VelBlock& b, const DriverArgs& args, DriverOutput& out) {
  size_t only = SIZE_MAX;
  Status s = args.key != nullptr ? KeyIndex(b, args.key, &only) : Status::Ok();
  if (s.ok()) s = b.physical->BeginRead();
  Bytes stored = b.table->ToStored(b.file->record);
  out.value = 0;
  for (size_t k = 0; s.ok() && k < b.table->schema().keys.size() && out.value == 0; ++k) {
    Bytes entry, found_entry;
    if ((only != SIZE_MAX && k != only) || b.table->schema().keys[k].dup()) continue;
    if (!b.table->EntryFor(k, stored.data(), 0, &entry)) continue;
    uint32_t record = 0;
    bool found = false;
    s = b.table->KeyEntry(k, entry, true, false, &found_entry, &record, &found);
    if (s.ok() && found && found_entry == entry && record != b.current) out.value = 1;
  }
  b.physical->EndRead();
  return s;
}

}  // namespace kor::vel
