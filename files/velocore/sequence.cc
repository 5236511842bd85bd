// Sequential access: SET and RESET record where NEXT and PREVIOUS start and
// in which order they go; the first step searches, and each step moves on
// from the entry read last. Record order walks the data records by number,
// key order the key's entries (an entry whose record is gone is skipped).
//
//   STATEMENT              FIRST NEXT (PREVIOUS) STARTS AT          ORDER
//   SETfile                the lowest (highest) record number       record
//   SETfileptr, RESETfile  the record with that number, or the      record
//                          nearest in the direction of travel
//   SETfilekey             the record of the key entry that the     record
//                          record buffer's key fields find
//   SETkey                 the key's first (last) entry             key
//   SETkeykey              the record buffer's key value: a DUP key key
//                          searches with record number 0 going
//                          forward and 0xFFFFFFFF going back, so it
//                          starts at the first (last) equal value; a
//                          unique key at the value or the nearest
//   SETkeyptr              the key entry of the record with that    key
//                          number (35 when it does not exist)
//   SETkeykeyptr, RESETkey that value and record number             key
#include "files/operations.h"
#include "files/velocore/driver_block.h"

namespace kor::vel {

namespace {

// Where the next step begins, and whether the entry there is passed: the
// sequence's own bytes, or `buffer` filled with an edge of the order.
std::span<const uint8_t> StartOf(const VelBlock& b, bool forward, Bytes* buffer, bool* strict) {
  const Sequence& q = b.sequence;
  *strict = false;
  if (q.stepped) {
    *strict = true;
    return q.at;
  }
  if (!q.from_edge) return forward ? q.start_next : q.start_previous;
  if (q.order == Sequence::Order::kRecord) {
    *buffer = forward ? TablePrefix(b.table->number(), kKindData)
                      : DataKey(b.table->number(), 0xFFFFFFFF);
  } else {
    *buffer = forward ? b.table->KeyFirst(q.key) : b.table->KeyLast(q.key);
    *strict = !forward;
  }
  return *buffer;
}

// The next entry in the sequence from `from` with its record, skipping
// index entries whose record is gone; reads the record's image when
// `image` is given.
Status Locate(VelBlock& b, bool forward, std::span<const uint8_t> start, bool strict, Bytes* entry,
              uint32_t* record, Bytes* image, bool* found) {
  const Sequence& q = b.sequence;
  std::span<const uint8_t> from = start;
  Bytes skipped;  // the entry of a record that was gone, when one was
  for (;;) {
    Status s;
    if (q.order == Sequence::Order::kRecord) {
      s = b.table->RecordNear(from, forward, strict, record, found);
      if (s.ok() && *found) *entry = DataKey(b.table->number(), *record);
    } else {
      s = b.table->KeyEntry(q.key, from, forward, strict, entry, record, found);
    }
    if (!s.ok() || !*found) return s;
    Bytes scratch;
    s = b.table->Read(*record, image != nullptr ? image : &scratch, found);
    if (!s.ok() || *found) return s;
    skipped = *entry;
    from = skipped;
    strict = true;
  }
}

// The start of a key-order sequence from a RESETkey position: the record
// number, then the key's value image.
Status StartFromKeyPosition(VelBlock& b, const DriverArgs& args, Sequence* q) {
  size_t image = b.table->ImageSize(q->key);
  if (args.text == nullptr || args.text_length < 4 + image)
    return Status::Error(kErrRecordNotFound);
  for (size_t i = 4 + image; i < args.text_length; ++i) {
    if (args.text[i] != ' ' && args.text[i] != '\0') return Status::Error(kErrRecordNotFound);
  }
  const uint8_t* p = reinterpret_cast<const uint8_t*>(args.text);
  uint32_t record = Get32BE(p);
  Bytes entry = b.table->KeyFirst(q->key);
  entry.insert(entry.end(), p + 4, p + 4 + image);
  if (b.table->schema().keys[q->key].dup()) {
    Bytes number = RecordNumberData(record);
    entry.insert(entry.end(), number.begin(), number.end());
  }
  q->start_next = q->start_previous = entry;
  return Status::Ok();
}

// SETfilekey: record order from the record whose key entry the record
// buffer's value finds (or past the end when none is at or after it).
Status StartFromKeyValue(VelBlock& b, size_t k, Sequence* q) {
  Bytes entry;
  uint32_t record = 0xFFFFFFFF;
  bool found = false;
  Status s = b.physical->BeginRead();
  if (s.ok())
    s = b.table->KeyEntry(k, b.table->EntryOf(k, b.file->record, 0), true, false, &entry, &record,
                          &found);
  b.physical->EndRead();
  if (!found) record = 0xFFFFFFFF;
  q->start_next = q->start_previous = DataKey(b.table->number(), record);
  return s;
}

// SETkeyptr: the entry of the record with that number.
Status StartFromRecord(VelBlock& b, uint32_t record, Sequence* q) {
  Bytes image;
  bool found = false;
  Status s = b.physical->BeginRead();
  if (s.ok()) s = b.table->Read(record, &image, &found);
  b.physical->EndRead();
  if (s.ok() && !found) s = Status::Error(kErrRecordNotFound);
  if (s.ok()) q->start_next = q->start_previous = b.table->EntryOf(q->key, image.data(), record);
  return s;
}

}  // namespace

Status SetSequence(VelBlock& b, int32_t op, const DriverArgs& args) {
  Sequence q;
  q.from_edge = op == kOpSETfile || op == kOpSETkey;
  q.order = op == kOpSETfile || op == kOpSETfileptr || op == kOpRESETfile || op == kOpSETfilekey
                ? Sequence::Order::kRecord
                : Sequence::Order::kKey;
  Status s;
  size_t k = 0;
  if (IsKeyForm(op)) s = KeyIndex(b, args.key, &k);
  if (q.order == Sequence::Order::kKey) q.key = k;
  uint32_t record = args.pointer;
  if (s.ok() && op == kOpRESETfile) s = RecordFromPosition(args, &record);
  if (!s.ok()) return s;
  switch (op) {
    case kOpSETfileptr:
    case kOpRESETfile: q.start_next = q.start_previous = DataKey(b.table->number(), record); break;
    case kOpSETfilekey: s = StartFromKeyValue(b, k, &q); break;
    case kOpSETkeykey:
      q.start_next = b.table->EntryOf(k, b.file->record, 0);
      q.start_previous = b.table->EntryOf(k, b.file->record, 0xFFFFFFFF);
      break;
    case kOpSETkeyptr: s = StartFromRecord(b, record, &q); break;
    case kOpSETkeykeyptr:
      q.start_next = q.start_previous = b.table->EntryOf(k, b.file->record, record);
      break;
    case kOpRESETkey: s = StartFromKeyPosition(b, args, &q); break;
    default: break;
  }
  if (s.ok()) b.sequence = q;
  return s;
}

Status Step(VelBlock& b, bool forward) {
  if (b.sequence.order == Sequence::Order::kNone) return Status::Error(kErrRecordNotAvailable);
  // The entry goes to the spare room, never to `at`: the search starts from
  // `at`. Two captures keep the locator inside std::function's own room.
  Status s = ReadLocated(
      b,
      [&b, forward](uint32_t* record, Bytes* image, bool* found) {
        Bytes buffer;
        bool strict = false;
        std::span<const uint8_t> from = StartOf(b, forward, &buffer, &strict);
        return Locate(b, forward, from, strict, &b.sequence.spare, record, image, found);
      },
      kErrRecordNotAvailable);
  if (s.ok()) {
    b.sequence.at.swap(b.sequence.spare);
    b.sequence.stepped = true;
  }
  return s;
}

Status Skip(VelBlock& b, const DriverArgs& args) {
  if (b.sequence.order == Sequence::Order::kNone) return Status::Error(kErrRecordNotAvailable);
  bool forward = args.index >= 0;
  uint32_t count = forward ? uint32_t(args.index) : uint32_t(-int64_t(args.index));
  Status s = b.physical->BeginRead();
  for (uint32_t i = 0; s.ok() && i < count; ++i) {
    Bytes buffer, entry;
    bool strict = false, found = false;
    uint32_t record = 0;
    std::span<const uint8_t> from = StartOf(b, forward, &buffer, &strict);
    s = Locate(b, forward, from, strict, &entry, &record, nullptr, &found);
    if (s.ok() && !found) s = Status::Error(kErrRecordNotAvailable);
    if (s.ok()) {
      b.sequence.at = entry;
      b.sequence.stepped = true;
    }
  }
  b.physical->EndRead();
  return s;
}

Status BeginOrEnd(VelBlock& b, bool end, DriverOutput& out) {
  if (b.sequence.order == Sequence::Order::kNone) return Status::Error(kErrRecordNotAvailable);
  Bytes buffer, entry;
  bool strict = false, found = false;
  uint32_t record = 0;
  Status s = b.physical->BeginRead();
  std::span<const uint8_t> from = StartOf(b, end, &buffer, &strict);
  if (s.ok()) s = Locate(b, end, from, strict, &entry, &record, nullptr, &found);
  b.physical->EndRead();
  out.value = found ? 0 : 1;
  return s;
}

}  // namespace kor::vel
