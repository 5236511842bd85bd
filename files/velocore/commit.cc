// The journalled two-pass commit of an update.
//
// Invariants (checked by assertions in debug builds where they are local):
//  1. Nothing the on-disk header reaches is overwritten before the journal
//     holding its replacement is durable and armed: a changed page whose
//     place lies inside the old used area is written to the journal in the
//     arm pass, never at home.
//  2. The journal lies at or beyond both the old and the new end of the used
//     file, so neither the pages written in new space nor the old pages are
//     overwritten by it.
//  3. The header that arms the journal is written only after a flush of
//     every journal entry and every page in new space.
//  4. The header that disarms the journal is written only after a flush of
//     every page copied home (the arm pass's header over unflushed home
//     writes would lose data on a crash).
//  5. A write may tear at any 64-byte boundary: the header words that arm
//     or disarm the journal (offsets 6..13) lie in its first 64-byte unit,
//     and the final header is written in two parts, the units after the first
//     (flushed) before the first, so no torn write leaves a disarmed header
//     over ranges of another state.
//  6. A committed update raises the change counter by two: the journal's
//     copy of the new header carries old + 1 and the final header old + 2,
//     whether the apply pass or a replay writes it.
//
// Pass 1, arm: place the pages, write the journal and pages in new space,
// flush, write the old header with the journal's start and end, flush.
// Pass 2, apply: copy the journal's pages home, flush, write the final header
// (journal empty), flush, cut the file at the end of the used area.
//
// A failed write in pass 1 discards the update (the old header is in force;
// a header that may already arm the journal is written back disarmed). After
// the arm the update stands: a failure in pass 2 leaves the journal armed,
// and the next opening or Refresh replays it.
#include <cassert>
#include <cstring>

#include "files/velocore/page_store.h"

namespace kor::vel {

namespace {

struct PendingWrite {
  uint32_t home;  // file offset where the image belongs
  std::vector<uint8_t> bytes;
};

// The final header's two parts (invariant 5).
void WriteSplitHeader(FileIo& io, const uint8_t bytes[kHeaderSize]) {
  io.Write(kCipherUnit, bytes + kCipherUnit, kHeaderSize - kCipherUnit);
  io.Flush();
  io.Write(0, bytes, kCipherUnit);
}

}  // namespace

Status PageStore::WriteFinalHeader(const Header& h) {
  uint8_t bytes[kHeaderSize];
  EncodeHeader(h, bytes);
  WriteSplitHeader(io_, bytes);
  Status s = io_.Flush();
  if (s.ok()) io_.Truncate(h.UsedEnd());
  return s;
}

Status PageStore::Commit() {
  if (!Changed()) return Status::Ok();
  if (!header_valid_) {
    Discard();
    return Check(kCheckTree);
  }
  Status s = locks_ ? io_.LockWriter(10000) : Status::Ok();
  if (!s.ok()) {
    Discard();
    return s;
  }
  s = Place();
  const Header old = disk_;
  const uint32_t old_end = old.UsedEnd();
  std::vector<PendingWrite> pages;
  for (auto& [id, c] : cache_) {
    if (!s.ok()) break;
    if (!c.dirty) continue;
    assert(id < kFirstTemporary && work_.ClassOf(id) == c.blocks);
    PendingWrite w{uint32_t(PageOffset(id)), {}};
    s = EncodePage(c.page, w.home, &w.bytes);
    pages.push_back(std::move(w));
  }
  if (!s.ok()) {
    Discard();
    io_.UnlockWriter();
    return s;
  }
  // Pass 1: arm.
  Header fresh = work_;
  fresh.change_counter = old.change_counter + 1;
  fresh.journal_start = fresh.journal_end = fresh.UsedEnd();
  const uint32_t journal = std::max(fresh.UsedEnd(), old_end);  // invariant 2
  uint32_t at = journal;
  for (const PendingWrite& w : pages) {
    bool in_old_area = w.home < old_end;  // invariant 1
    io_.Write(in_old_area ? at : w.home, w.bytes.data(), uint32_t(w.bytes.size()));
    if (in_old_area) at += uint32_t(w.bytes.size());
  }
  uint8_t header_bytes[kHeaderSize];
  EncodeHeader(fresh, header_bytes);
  io_.Write(at, header_bytes, kHeaderSize);
  at += kHeaderSize;
  s = io_.Flush();  // invariant 3
  if (s.ok()) {
    Header armed = old;
    armed.journal_start = journal;
    armed.journal_end = at;
    uint8_t armed_bytes[kHeaderSize];
    EncodeHeader(armed, armed_bytes);
    io_.Write(0, armed_bytes, kCipherUnit);  // only the first unit differs
    s = io_.Flush();
    if (!s.ok()) {
      // The arming header may or may not have reached the disk: put the
      // disarmed one back so the file stays as it was.
      io_.ClearKeptError();
      uint8_t old_bytes[kHeaderSize];
      EncodeHeader(old, old_bytes);
      io_.Write(0, old_bytes, kCipherUnit);
      if (!io_.Flush().ok()) header_valid_ = false;
    }
  }
  if (!s.ok()) {
    Discard();
    io_.UnlockWriter();
    return s;
  }
  // Pass 2: apply. The update is committed from here on.
  for (const PendingWrite& w : pages) {
    if (w.home < old_end) io_.Write(w.home, w.bytes.data(), uint32_t(w.bytes.size()));
  }
  Header final_header = fresh;
  final_header.change_counter = fresh.change_counter + 1;                  // invariant 6
  bool applied = io_.Flush().ok() && WriteFinalHeader(final_header).ok();  // invariant 4
  for (auto& [id, c] : cache_) c.dirty = false;
  freed_.clear();
  next_temporary_ = kFirstTemporary;
  disk_ = work_ = final_header;
  if (!applied) {
    // Left armed: read again (and replayed) at the next Refresh.
    cache_.clear();
    header_valid_ = false;
  }
  io_.UnlockWriter();
  TrimCache();
  return Status::Ok();
}

}  // namespace kor::vel
