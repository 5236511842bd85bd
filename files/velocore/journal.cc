// Opening a file whose header names a journal: an update was interrupted
// after its arm pass (commit.cc). The journal is walked; when it is whole it
// is replayed under the write lock (or, without the right to write, read
// through until someone repairs the file); when it is damaged it is dropped
// and the old header stays in force.
//
// Journal layout: entries from journal start to journal end, each a page
// image whose first field is its home offset and whose size field gives its
// length (rounded up to 256); the last entry is the new header (home 0,
// 512 bytes).
#include "files/velocore/page_store.h"

namespace kor::vel {

Status PageStore::WalkJournal(std::map<uint32_t, JournalEntry>* entries, Header* journal_header,
                              bool* damaged) {
  *damaged = true;
  const uint32_t start = disk_.journal_start, end = disk_.journal_end;
  if (start < kHeaderSize || end < start || (start - kHeaderSize) % kBlockSize != 0 ||
      start < disk_.UsedEnd()) {
    return Status::Ok();
  }
  uint32_t at = start;
  bool have_header = false;
  while (at < end && !have_header) {
    uint8_t head[kHeaderSize];
    uint32_t done = 0;
    Status s = io_.ReadSome(at, head, kHeaderSize, &done);
    if (!s.ok()) return s;  // a failing disk is not a damaged journal
    if (done < kHeaderSize) return Status::Ok();
    uint32_t home = Get32(head);
    uint32_t size = (uint32_t(Get16(head + kPgStoredSize)) + kBlockSize - 1) / kBlockSize;
    size *= kBlockSize;
    if (home == 0) {
      if (DecodeHeader(head, journal_header, false).code != kErrNone ||
          !RangesValid(*journal_header)) {
        return Status::Ok();
      }
      have_header = true;
      size = kHeaderSize;
    } else if (home < kHeaderSize || (home - kHeaderSize) % kBlockSize != 0 || size == 0 ||
               size > kMaxPageBytes) {
      return Status::Ok();
    }
    (*entries)[home] = {at, size};
    at += size;
  }
  if (!have_header || at != end) return Status::Ok();
  // Every page image must fit the place the new header gives it.
  for (const auto& [home, e] : *entries) {
    if (home == 0) continue;
    uint32_t page = (home - kHeaderSize) / kBlockSize;
    if (journal_header->ClassOf(page) * kBlockSize != e.size) return Status::Ok();
  }
  *damaged = false;
  return Status::Ok();
}

Status PageStore::Replay(const std::map<uint32_t, JournalEntry>& entries,
                         const Header& journal_header) {
  std::vector<uint8_t> bytes;
  for (const auto& [home, e] : entries) {
    if (home == 0) continue;
    bytes.resize(e.size);
    Status s = io_.ReadExact(e.position, bytes.data(), e.size);
    if (!s.ok()) return s;
    io_.Write(home, bytes.data(), e.size);
  }
  Status s = io_.Flush();
  if (!s.ok()) return s;
  Header final_header = journal_header;
  final_header.journal_start = final_header.journal_end = final_header.UsedEnd();
  final_header.change_counter = journal_header.change_counter + 1;
  s = WriteFinalHeader(final_header);
  if (s.ok()) disk_ = work_ = final_header;
  return s;
}

Status PageStore::DropJournal() {
  if (!RangesValid(disk_)) return Check(kCheckRanges);
  Header kept = disk_;
  kept.journal_start = kept.journal_end = kept.UsedEnd();
  uint8_t bytes[kHeaderSize];
  EncodeHeader(kept, bytes);
  io_.Write(0, bytes, kCipherUnit);  // only the journal words change
  Status s = io_.Flush();
  if (s.ok()) {
    io_.Truncate(kept.UsedEnd());
    disk_ = work_ = kept;
  }
  return s;
}

Status PageStore::HandleJournal() {
  std::map<uint32_t, JournalEntry> entries;
  Header journal_header;
  bool damaged = true;
  Status s = WalkJournal(&entries, &journal_header, &damaged);
  if (!s.ok()) return s;
  bool can_write = io_.Writable() && (!locks_ || io_.LockWriter(2000).ok());
  if (!can_write) {
    // Read the update through the journal until a writer repairs the file;
    // a damaged journal is simply not used.
    if (!damaged) {
      for (const auto& [home, e] : entries) read_through_[home] = e;
      work_ = disk_ = journal_header;
    }
    journal_outcome_ = damaged ? JournalOutcome::kDropped : JournalOutcome::kReadThrough;
    return Status::Ok();
  }
  s = damaged ? DropJournal() : Replay(entries, journal_header);
  io_.UnlockWriter();
  if (!s.ok()) {
    header_valid_ = false;
    return s;
  }
  journal_outcome_ = damaged ? JournalOutcome::kDropped : JournalOutcome::kReplayed;
  return Status::Ok();
}

}  // namespace kor::vel
