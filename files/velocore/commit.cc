// The journalled two-pass commit of an update, in two steps a caller may
// run apart (Arm, then Apply or Disarm) so that several files can be armed
// before any of them is applied.
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
//     and the final header is written in two parts: the units after the
//     first go out with the pages copied home, before the flush of
//     invariant 4, and the first unit after it. Until that first unit
//     lands the journal stays armed and a replay rewrites every part, so no
//     torn write leaves a disarmed header over ranges of another state.
//  6. A committed update raises the change counter by two: the journal's
//     copy of the new header carries old + 1 and the final header old + 2,
//     whether the apply pass or a replay writes it.
//
// Pass 1, arm: place the pages, write the journal and pages in new space,
// flush, write the old header with the journal's start and end, flush.
// Pass 2, apply: copy the journal's pages home with the final header's
// units after the first, flush, write the first unit (journal empty),
// flush, cut the file at the end of the used area. Four flushes in all.
//
// A failed write in pass 1 discards the update (the old header is in force;
// a header that may already arm the journal is written back disarmed). After
// the arm the update stands: a failure in pass 2 leaves the journal armed,
// and the next opening or Refresh replays it.
#include <algorithm>
#include <cassert>
#include <cstring>

#include "files/velocore/page_store.h"

namespace kor::vel {

Status PageStore::WriteFinalHeader(const Header& h, const std::vector<PendingWrite>* home) {
  uint8_t bytes[kHeaderSize];
  EncodeHeader(h, bytes);
  if (home != nullptr) {
    for (const PendingWrite& w : *home) io_.Write(w.home, w.bytes.data(), uint32_t(w.bytes.size()));
  }
  io_.Write(kCipherUnit, bytes + kCipherUnit, kHeaderSize - kCipherUnit);
  io_.Flush();  // invariant 4
  io_.Write(0, bytes, kCipherUnit);
  Status s = io_.Flush();
  if (s.ok()) io_.Truncate(h.UsedEnd());
  return s;
}

Status PageStore::FailArm(Status s) {
  Discard();
  armed_ = ArmedUpdate{};
  io_.UnlockWriter();
  return s;
}

Status PageStore::Arm() {
  armed_ = ArmedUpdate{};
  if (!Changed()) return Status::Ok();
  if (!header_valid_) return FailArm(Check(kCheckTree));
  Status s = locks_ ? io_.LockWriter(kWriterWaitMs) : Status::Ok();
  if (!s.ok()) return FailArm(s);
  s = Place();
  // A placement fault must never reach the disk as a header over ranges
  // that overlap: the update is refused whole instead.
  if (s.ok() && !RangesValid(work_)) s = Check(kCheckRanges);
  armed_.old = disk_;
  const uint32_t old_end = armed_.old.UsedEnd();
  for (auto& [id, c] : cache_) {
    if (!s.ok()) break;
    if (!c.dirty) continue;
    assert(id < kFirstTemporary && work_.ClassOf(id) == c.blocks);
    PendingWrite w{uint32_t(PageOffset(id)), {}};
    if (c.encoded.empty()) {
      s = EncodePage(c.page, w.home, &w.bytes);
    } else {  // placement's encoding, the page unchanged since
      w.bytes = std::move(c.encoded);
      c.encoded.clear();
      SetOwnOffset(&w.bytes, w.home);
    }
    (w.home < old_end ? armed_.home : armed_.fresh_space).push_back(std::move(w));
  }
  if (!s.ok()) return FailArm(s);
  // In file order, whatever order the cache keeps.
  auto by_home = [](const PendingWrite& a, const PendingWrite& b) { return a.home < b.home; };
  std::sort(armed_.home.begin(), armed_.home.end(), by_home);
  std::sort(armed_.fresh_space.begin(), armed_.fresh_space.end(), by_home);
  Header fresh = work_;
  fresh.change_counter = armed_.old.change_counter + 1;
  fresh.journal_start = fresh.journal_end = fresh.UsedEnd();
  const uint32_t journal = std::max(fresh.UsedEnd(), old_end);  // invariant 2
  uint32_t at = journal;
  for (const PendingWrite& w : armed_.fresh_space) {
    io_.Write(w.home, w.bytes.data(), uint32_t(w.bytes.size()));
  }
  for (const PendingWrite& w : armed_.home) {  // invariant 1
    io_.Write(at, w.bytes.data(), uint32_t(w.bytes.size()));
    at += uint32_t(w.bytes.size());
  }
  uint8_t header_bytes[kHeaderSize];
  EncodeHeader(fresh, header_bytes);
  io_.Write(at, header_bytes, kHeaderSize);
  at += kHeaderSize;
  s = io_.Flush();  // invariant 3
  if (s.ok()) {
    Header armed = armed_.old;
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
      EncodeHeader(armed_.old, old_bytes);
      io_.Write(0, old_bytes, kCipherUnit);
      if (!io_.Flush().ok()) header_valid_ = false;
    }
  }
  if (!s.ok()) return FailArm(s);
  armed_.fresh = fresh;
  armed_.armed = true;
  return Status::Ok();
}

Status PageStore::Apply() {
  if (!armed_.armed) return Status::Ok();
  Header final_header = armed_.fresh;
  final_header.change_counter = armed_.fresh.change_counter + 1;  // invariant 6
  bool applied = WriteFinalHeader(final_header, &armed_.home).ok();
  clean_bytes_ = 0;
  for (auto& [id, c] : cache_) {
    if (c.dirty) c.bytes = PageBudget(c.page);
    c.dirty = false;
    dirty_count_ = 0;
    clean_bytes_ += c.bytes;
  }
  freed_.clear();
  next_temporary_ = kFirstTemporary;
  disk_ = work_ = final_header;
  armed_ = ArmedUpdate{};
  if (!applied) {
    // Left armed: read again (and replayed) at the next Refresh.
    DropCache();
    clean_bytes_ = 0;
    header_valid_ = false;
  }
  TrimCache();
  return Status::Ok();
}

Status PageStore::Disarm() {
  if (!armed_.armed) {
    Discard();
    return Status::Ok();
  }
  io_.ClearKeptError();
  uint8_t old_bytes[kHeaderSize];
  EncodeHeader(armed_.old, old_bytes);
  io_.Write(0, old_bytes, kCipherUnit);  // only the journal words differ
  Status s = io_.Flush();
  if (s.ok()) io_.Truncate(armed_.old.UsedEnd());
  Discard();
  armed_ = ArmedUpdate{};
  // Whatever reached the disk, the header is read again before the next use.
  header_valid_ = false;
  return s;
}

Status PageStore::Commit() {
  Status s = prelude_ != nullptr && Changed() ? prelude_(*this) : Status::Ok();
  s = s.ok() ? Arm() : FailArm(s);
  if (s.ok()) s = Apply();
  io_.UnlockWriter();
  return s;
}

}  // namespace kor::vel
