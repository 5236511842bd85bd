// The physical file object: opening, the header, the page cache (see
// page_store.h). Placement is in placement.cc, the commit in commit.cc, the
// journal at opening in journal.cc.
#include "files/velocore/page_store.h"

#include <algorithm>
#include <cassert>

namespace kor::vel {

Status PageStore::Open(const std::string& path, uint32_t mode, std::string_view owner) {
  Status s = io_.Open(path, mode, owner);
  if (!s.ok()) return s;
  // Deny-all and deny-read openers share with nobody and need no locks.
  if (mode & kOwnOpen) mode = (mode & kOwnCreate) ? kOsReadWrite | kOsDenyAll : OwnOpenMode(mode);
  uint32_t share = mode & kOsShareMask;
  locks_ = !(share == kOsDenyAll || share == kOsDenyRead);
  header_valid_ = false;
  s = Refresh();
  if (!s.ok()) io_.Close();
  return s;
}

Status PageStore::Create(const std::string& path, std::string_view owner) {
  Status s = io_.Create(path, owner);
  if (!s.ok()) return s;
  locks_ = false;  // created sharing nothing
  disk_ = work_ = NewHeader();
  uint8_t bytes[kHeaderSize];
  EncodeHeader(disk_, bytes);
  io_.Write(0, bytes, kHeaderSize);
  s = io_.Flush();
  if (!s.ok()) {
    io_.Close();
    return s;
  }
  header_valid_ = true;
  DropCache();
  clean_bytes_ = 0;
  return Status::Ok();
}

void PageStore::Close() {
  DropCache();
  clean_bytes_ = 0;
  armed_ = ArmedUpdate{};
  freed_.clear();
  read_through_.clear();
  header_valid_ = false;
  io_.Close();
}

Status PageStore::ReadHeaderFromDisk(Header* h, bool* empty) {
  uint8_t bytes[kHeaderSize];
  uint32_t done = 0;
  Status s = io_.ReadSome(0, bytes, kHeaderSize, &done);
  if (!s.ok()) return s;
  *empty = done == 0;
  if (*empty) {
    *h = NewHeader();
    return Status::Ok();
  }
  if (done < kHeaderSize) return Status::Error(kErrInvalidDataFile);
  // While a journal is armed the header's ranges may be half of an update
  // being applied (commit.cc, invariant 5); the journal's copy counts then.
  s = DecodeHeader(bytes, h, false);
  if (s.ok() && !h->JournalArmed() && !RangesValid(*h)) s = Check(kCheckRanges);
  return s;
}

Status PageStore::Refresh() {
  if (Changed()) return Status::Ok();  // never under an update in progress
  if (!locks_ || io_.WriterLocked() || io_.ReaderLocked()) return RefreshLocked();
  Status s = io_.LockReader(kReaderWaitMs);
  if (s.ok()) s = RefreshLocked();
  io_.UnlockReader();
  return s;
}

Status PageStore::RefreshLocked() {
  io_.ClearKeptError();
  Header h;
  bool empty = false;
  Status s = ReadHeaderFromDisk(&h, &empty);
  if (!s.ok()) return s;
  // The same header as last time (a journal read through or not dropped
  // included): nothing to do again.
  bool same = header_valid_ && h == last_read_;
  // A journal still armed was read through (or left) for want of the right
  // to repair it; once that right is held it is repaired before anything
  // builds on it: an update over pages read through the journal would lay
  // its own journal over them and never copy them home.
  if (same && JournalPending() && io_.Writable() && (!locks_ || io_.WriterLocked())) same = false;
  last_read_ = h;
  if (same || (header_valid_ && h.change_counter <= disk_.change_counter && !h.JournalArmed())) {
    return Status::Ok();
  }
  DropCache();
  clean_bytes_ = 0;
  read_through_.clear();
  disk_ = work_ = h;
  header_valid_ = true;
  journal_outcome_ = JournalOutcome::kNone;
  return h.JournalArmed() ? HandleJournal() : Status::Ok();
}

Status PageStore::Load(uint32_t id, Cached** out) {
  Recent& r = recent_[RecentSlot(id)];
  if (r.epoch == recent_epoch_ && r.id == id) {
    r.page->last_use = ++clock_;
    *out = r.page;
    return Status::Ok();
  }
  auto it = cache_.find(id);
  if (it != cache_.end()) {
    it->second.last_use = ++clock_;
    *out = &it->second;
    r = {id, recent_epoch_, *out};
    return Status::Ok();
  }
  if (id >= kFirstTemporary) return Check(kCheckTree);
  uint32_t k = work_.ClassOf(id);
  if (k == 0) return Check(kCheckNoClass);
  std::vector<uint8_t> bytes(k * kBlockSize);
  int64_t at = PageOffset(id);
  auto j = read_through_.find(uint32_t(at));
  if (j != read_through_.end()) at = j->second.position;
  Status s = io_.ReadExact(at, bytes.data(), uint32_t(bytes.size()));
  if (!s.ok()) return s;
  Cached c;
  PageInfo info;
  s = DecodePage(bytes.data(), uint32_t(bytes.size()), &c.page, &info);
  if (!s.ok()) return s;
  if (info.own_offset != uint32_t(PageOffset(id))) return Check(kCheckPageOffset);
  c.blocks = k;
  c.bytes = PageBudget(c.page);
  c.last_use = ++clock_;
  clean_bytes_ += c.bytes;
  *out = &cache_.emplace(id, std::move(c)).first->second;
  if (cache_.size() > recent_.size() && recent_bits_ < kMaxRecentBits) {
    GrowRecent();
  } else {
    r = {id, recent_epoch_, *out};
  }
  return Status::Ok();
}

void PageStore::GrowRecent() {
  recent_bits_ = std::min(recent_bits_ + 2, kMaxRecentBits);
  recent_.assign(size_t{1} << recent_bits_, Recent{});
}

void PageStore::ForgetRecent() {
  ++generation_;  // pages leave the cache or move
  ++shape_;
  ++recent_epoch_;  // every slot of an older epoch counts as empty
}

Status PageStore::ReadRaw(uint32_t id, std::vector<uint8_t>* bytes) {
  uint32_t k = work_.ClassOf(id);
  if (k == 0) return Check(kCheckNoClass);
  bytes->resize(k * kBlockSize);
  int64_t at = PageOffset(id);
  auto j = read_through_.find(uint32_t(at));
  if (j != read_through_.end()) at = j->second.position;
  return io_.ReadExact(at, bytes->data(), uint32_t(bytes->size()));
}

Status PageStore::Get(uint32_t id, const Page** page) {
  Cached* c = nullptr;
  Status s = Load(id, &c);
  if (s.ok()) *page = &c->page;
  return s;
}

Status PageStore::GetMutable(uint32_t id, Page** page) {
  Cached* c = nullptr;
  Status s = Load(id, &c);
  if (!s.ok()) return s;
  MarkDirty(*c);
  ++generation_;
  c->encoded.clear();  // the caller changes the page
  *page = &c->page;
  return Status::Ok();
}

uint32_t PageStore::Add(Page page) {
  uint32_t id = next_temporary_++;
  ++generation_;
  ++shape_;
  Cached c;
  c.page = std::move(page);
  c.dirty = true;
  ++dirty_count_;
  cache_[id] = std::move(c);
  // The pages an update makes count as much as those it reads: a bulk load
  // into an empty file reads none.
  if (cache_.size() > recent_.size() && recent_bits_ < kMaxRecentBits) GrowRecent();
  return id;
}

void PageStore::Free(uint32_t id) {
  ++generation_;
  ++shape_;
  auto it = cache_.find(id);
  uint32_t blocks = it != cache_.end() ? it->second.blocks : work_.ClassOf(id);
  if (it != cache_.end()) {
    ForgetRecent();
    if (it->second.dirty) --dirty_count_;
    clean_bytes_ -= std::min<uint64_t>(clean_bytes_, it->second.bytes);
    cache_.erase(it);
  }
  if (id < kFirstTemporary && blocks != 0) freed_.emplace_back(id, blocks);
}

bool PageStore::Changed() const {
  assert(dirty_count_ == size_t(std::count_if(cache_.begin(), cache_.end(),
                                              [](const auto& e) { return e.second.dirty; })));
  return !freed_.empty() || !(work_ == disk_) || dirty_count_ != 0;
}

void PageStore::MarkDirty(Cached& c) {
  if (!c.dirty) ++dirty_count_;
  c.dirty = true;
}

void PageStore::DropCache() {
  ForgetRecent();
  cache_.clear();
  clean_bytes_ = 0;
  dirty_count_ = 0;
}

void PageStore::Discard() {
  DropCache();
  clean_bytes_ = 0;
  freed_.clear();
  next_temporary_ = kFirstTemporary;
  work_ = disk_;
}

void PageStore::TrimCache() {
  if (clean_bytes_ <= kCacheBytes) return;
  std::vector<std::pair<uint64_t, uint32_t>> clean;  // (last use, page)
  for (const auto& [id, c] : cache_) {
    if (!c.dirty) clean.emplace_back(c.last_use, id);
  }
  std::sort(clean.begin(), clean.end());
  ForgetRecent();
  for (const auto& [use, id] : clean) {
    if (clean_bytes_ <= kCacheBytes / 4 * 3) break;
    auto it = cache_.find(id);
    clean_bytes_ -= std::min<uint64_t>(clean_bytes_, it->second.bytes);
    cache_.erase(it);
  }
}

Status PageStore::FindParent(uint32_t id, uint32_t* parent, size_t* index) {
  *parent = kNoPage;
  *index = 0;
  if (work_.root == id) return Status::Ok();
  Cached* target = nullptr;
  Status s = Load(id, &target);
  if (!s.ok()) return s;
  if (target->page.records.empty() || work_.root == kNoPage) return Check(kCheckTree);
  std::span<const uint8_t> key = target->page.records[0].key();
  uint32_t at = work_.root;
  for (;;) {
    Cached* c = nullptr;
    s = Load(at, &c);
    if (!s.ok()) return s;
    const Page& p = c->page;
    if (p.leaf() || p.level <= target->page.level || p.records.empty()) return Check(kCheckTree);
    size_t i = ChildFor(p, key);
    if (p.level == target->page.level + 1) {
      if (p.children[i] != id) return Check(kCheckTree);
      *parent = at;
      *index = i;
      return Status::Ok();
    }
    at = p.children[i];
  }
}

}  // namespace kor::vel
