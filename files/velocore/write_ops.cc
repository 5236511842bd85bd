// ADD, APPEND, PUT and DELETE: each one update of the file under the write
// bracket (physical_file.h), with the record's lock byte where another
// program may hold it.
#include "files/operations.h"
#include "files/velocore/driver_block.h"

namespace kor::vel {

namespace {

// The contents to store for each MEMO and BLOB: a MEMO's buffer, a BLOB's
// contents as BLOB_TAKE or a read left them.
std::vector<Bytes> MemoContents(const VelBlock& b) {
  std::vector<Bytes> memos;
  for (uint32_t m = 0; m < b.file->memo_count; ++m) {
    const MemoDescriptor& memo = *b.file->memos[m];
    if (memo.flags & kMemoBlob) {
      memos.push_back(m < b.blobs.size() ? b.blobs[m] : Bytes());
    } else {
      memos.emplace_back(memo.buffer, memo.buffer + memo.size);
    }
  }
  return memos;
}

// 57 for contents the format cannot keep, before anything is written: a
// transaction keeps the changes of a failed operation until it ends.
Status MemosFit(const std::vector<Bytes>& memos) {
  for (const Bytes& m : memos) {
    if (!Table::MemoFits(m.size())) return Status::Error(kErrInvalidMemoFile);
  }
  return Status::Ok();
}

// Writes the memos that differ from what the record keeps.
Status WriteChangedMemos(VelBlock& b, uint32_t record, const std::vector<Bytes>& wanted) {
  for (size_t m = 0; m < wanted.size(); ++m) {
    Bytes kept;
    Status s = b.table->ReadMemo(record, m, &kept);
    if (s.ok() && kept != wanted[m]) s = b.table->WriteMemo(record, m, wanted[m]);
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

// Takes the record's byte for a change unless this program holds it:
// *taken tells whether it must be given back afterwards.
bool TakeForChange(VelBlock& b, uint32_t record, bool* taken) {
  *taken = false;
  if (b.physical->HoldsByte(record)) return true;
  if (b.physical->TakeByte(record, &b) != ByteLock::kTaken) return false;
  *taken = true;
  return true;
}

// Gives back what a change took and the held mark: the byte is the
// record's for the length of the change only.
void EndChange(VelBlock& b, uint32_t record) {
  b.physical->GiveByte(record, &b);
  if (b.held_record == record) DropHold(b);
  b.flags &= ~uint32_t{kVelWatched};
  b.watch_image.clear();
}

Status Put(VelBlock& b, const std::vector<Bytes>& memos) {
  Bytes disk;
  bool found = false;
  Status s = b.table->Read(b.current, &disk, &found);
  if (s.ok() && !found) return Status::Error(kErrRecordNotAvailable);
  if (s.ok() && (b.flags & kVelWatched) && disk != b.watch_image) {
    return Status::Error(kErrRecordChangedByAnotherStation);
  }
  const uint8_t* image = b.file->record;
  if (s.ok() && !std::equal(disk.begin(), disk.end(), image)) s = b.table->Put(b.current, image);
  if (s.ok() && !(b.flags & kVelMemosSkipped)) s = WriteChangedMemos(b, b.current, memos);
  return s;
}

}  // namespace

Status AddRecord(VelBlock& b, bool append) {
  std::vector<Bytes> memos = MemoContents(b);
  uint32_t record = 0;
  Status s = MemosFit(memos);
  if (s.ok()) s = b.physical->BeginWrite();
  if (s.ok()) {
    s = append ? b.table->Append(b.file->record, memos, &record)
               : b.table->Add(b.file->record, memos, &record);
    s = b.physical->EndWrite(s);
  }
  if (!s.ok()) return s;
  DropHold(b);
  b.current = record;
  b.flags &= ~uint32_t{kVelWatched | kVelMemosSkipped};
  return Status::Ok();
}

Status PutRecord(VelBlock& b) {
  if (b.current == 0) return Status::Error(kErrRecordNotAvailable);
  uint32_t record = b.current;
  std::vector<Bytes> memos;
  if (!(b.flags & kVelMemosSkipped)) memos = MemoContents(b);
  Status s = MemosFit(memos);
  if (!s.ok()) return s;
  bool taken = false;
  s = TakeForChange(b, record, &taken) ? Status::Ok() : Status::Error(kErrAccessDenied);
  if (s.ok()) s = b.physical->BeginWrite();
  if (s.ok()) s = b.physical->EndWrite(Put(b, memos));
  EndChange(b, record);
  return s;
}

Status PutByPointer(VelBlock& b, const DriverArgs& args) {
  if (args.pointer == 0) return Status::Error(kErrRecordNotAvailable);
  if (args.pointer != b.current) {
    DropHold(b);
    b.flags &= ~uint32_t{kVelWatched | kVelMemosSkipped};
  }
  b.current = args.pointer;
  return PutRecord(b);
}

Status DeleteRecord(VelBlock& b) {
  if (b.current == 0) return Status::Error(kErrRecordNotAvailable);
  uint32_t record = b.current;
  bool taken = false;
  if (!TakeForChange(b, record, &taken)) return Status::Error(kErrRecordNotAvailable);
  Status s = b.physical->BeginWrite();
  if (s.ok()) s = b.physical->EndWrite(b.table->Delete(record));
  EndChange(b, record);
  if (s.ok()) b.current = 0;
  return s;
}

}  // namespace kor::vel
