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

#include <algorithm>

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
  // Every page image must fit the place the new header gives it, and the
  // used end the new header gives must lie within what the file and the
  // replayed pages cover (the file is cut there after the replay: a larger
  // value would grow it instead).
  int64_t covered = 0;
  Status s = io_.Size(&covered);
  if (!s.ok()) return s;
  for (const auto& [home, e] : *entries) {
    if (home == 0) continue;
    uint32_t page = (home - kHeaderSize) / kBlockSize;
    if (journal_header->ClassOf(page) * kBlockSize != e.size) return Status::Ok();
    covered = std::max<int64_t>(covered, int64_t(home) + e.size);
  }
  if (journal_header->UsedEnd() > covered) return Status::Ok();
  *damaged = false;
  return Status::Ok();
}

Status PageStore::Replay(const std::map<uint32_t, JournalEntry>& entries,
                         const Header& journal_header) {
  std::vector<PendingWrite> home;
  for (const auto& [offset, e] : entries) {
    if (offset == 0) continue;
    PendingWrite w{offset, std::vector<uint8_t>(e.size)};
    Status s = io_.ReadExact(e.position, w.bytes.data(), e.size);
    if (!s.ok()) return s;
    home.push_back(std::move(w));
  }
  Header final_header = journal_header;
  final_header.journal_start = final_header.journal_end = final_header.UsedEnd();
  final_header.change_counter = journal_header.change_counter + 1;
  Status s = WriteFinalHeader(final_header, &home);
  if (s.ok()) disk_ = work_ = final_header;
  return s;
}

// Asks the resolver about a whole journal, the store reading through it
// meanwhile; the store is put back as it was afterwards.
Status PageStore::Resolve(const std::map<uint32_t, JournalEntry>& entries,
                          const Header& journal_header, JournalDecision* decision) {
  *decision = JournalDecision::kReplay;
  if (resolver_ == nullptr) return Status::Ok();
  const Header before = disk_;
  for (const auto& [home, e] : entries) read_through_[home] = e;
  work_ = journal_header;
  *decision = resolver_(*this);
  DropCache();
  clean_bytes_ = 0;
  read_through_.clear();
  disk_ = work_ = before;
  return Status::Ok();
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
    // Only ever shorter: a damaged header may give a used end far beyond
    // the file, which must not grow the file to it.
    int64_t size = 0;
    if (io_.Size(&size).ok() && kept.UsedEnd() < size) io_.Truncate(kept.UsedEnd());
    disk_ = work_ = kept;
  }
  return s;
}

// Walks the journal the disk header names and asks what to do with it:
// *use true when the update it carries counts (replay or read through).
Status PageStore::Examine(std::map<uint32_t, JournalEntry>* entries, Header* journal_header,
                          bool* use) {
  bool damaged = true;
  Status s = WalkJournal(entries, journal_header, &damaged);
  if (!s.ok()) return s;
  JournalDecision decision = JournalDecision::kDrop;
  if (!damaged) s = Resolve(*entries, *journal_header, &decision);
  if (!s.ok()) return s;
  if (decision == JournalDecision::kRefuse) return Status::Error(kErrAccessDenied);
  *use = decision == JournalDecision::kReplay;
  return Status::Ok();
}

// Replays or drops the journal; the caller holds the writer lock (or the
// file needs none).
Status PageStore::Repair() {
  std::map<uint32_t, JournalEntry> entries;
  Header journal_header;
  bool use = false;
  Status s = Examine(&entries, &journal_header, &use);
  if (s.ok()) s = use ? Replay(entries, journal_header) : DropJournal();
  if (s.ok()) {
    journal_outcome_ = use ? JournalOutcome::kReplayed : JournalOutcome::kDropped;
    last_read_ = disk_;  // as the repair left the disk
  }
  return s;
}

// Without the right to write, the update is read through the journal until
// a writer repairs the file; a journal that does not count is not used.
Status PageStore::ReadThrough() {
  std::map<uint32_t, JournalEntry> entries;
  Header journal_header;
  bool use = false;
  Status s = Examine(&entries, &journal_header, &use);
  if (!s.ok()) return s;
  if (use) {
    for (const auto& [home, e] : entries) read_through_[home] = e;
    work_ = disk_ = journal_header;
  }
  journal_outcome_ = use ? JournalOutcome::kReadThrough : JournalOutcome::kDropped;
  return Status::Ok();
}

// The header was read under a reader slot, which lets it be read but not
// repaired. It is read again under the lock now held (another program may
// have repaired the file meanwhile) and, if it still names a journal,
// repaired (`may_repair`, the writer lock) or read through.
Status PageStore::Reread(bool may_repair) {
  Header h;
  bool empty = false;
  Status s = ReadHeaderFromDisk(&h, &empty);
  if (!s.ok()) return s;
  last_read_ = disk_ = work_ = h;
  DropCache();
  clean_bytes_ = 0;
  read_through_.clear();
  if (!h.JournalArmed()) return Status::Ok();
  return may_repair ? Repair() : ReadThrough();
}

Status PageStore::HandleJournal() {
  Status s;
  if (!io_.Writable()) {
    s = ReadThrough();
  } else if (!locks_ || io_.WriterLocked()) {
    s = Repair();
  } else {
    bool had_slot = io_.ReaderLocked();
    if (io_.LockWriter(kJournalWaitMs).ok()) {
      s = Reread(true);
      io_.UnlockWriter();
    } else {
      // A writer that keeps the lock this long repairs the file itself.
      s = io_.LockReader(kReaderWaitMs);
      if (s.ok()) s = Reread(false);
      if (!had_slot) io_.UnlockReader();
    }
    if (had_slot && s.ok()) s = io_.LockReader(kReaderWaitMs);
  }
  if (!s.ok()) header_valid_ = false;
  return s;
}

}  // namespace kor::vel
