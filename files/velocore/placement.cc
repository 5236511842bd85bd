// Placing the pages of an update in the size classes: pages that need a
// place (new ones, and those whose size class changed) get one, the slots of
// removed pages are filled, and ranges grow into free space or push the
// ranges above them up. Every move renumbers the page and the reference to
// it (page_store.h).
//
// Policy. Ranges are kept dense: a slot that empties is filled by the last
// page of its range, and the range ends one page earlier. A range that needs
// a slot takes the free space just below it, else the free space just above
// it; when the next range above starts too close, that range's first page
// moves to its own end (which may push the range above it in turn), and the
// file grows at its end.
#include <algorithm>

#include "files/velocore/page_store.h"

namespace kor::vel {

namespace {

// End of the nearest non-empty range below k (end[0] when there is none).
uint32_t EndBelow(const Header& h, uint32_t k) {
  for (uint32_t i = k - 1; i >= 1; --i) {
    if (h.start[i] != h.end[i]) return h.end[i];
  }
  return h.end[0];
}

// The nearest non-empty range above k, or 0.
uint32_t RangeAbove(const Header& h, uint32_t k) {
  for (uint32_t i = k + 1; i <= kMaxClass; ++i) {
    if (h.start[i] != h.end[i]) return i;
  }
  return 0;
}

}  // namespace

Status PageStore::Renumber(uint32_t from, uint32_t to) {
  if (from == to) return Status::Ok();
  uint32_t parent = kNoPage;
  size_t index = 0;
  Status s = FindParent(from, &parent, &index);
  if (!s.ok()) return s;
  if (parent == kNoPage) {
    work_.root = to;
  } else {
    Page* p = nullptr;
    s = GetMutable(parent, &p);
    if (!s.ok()) return s;
    p->children[index] = to;
  }
  ForgetRecent();
  auto node = cache_.extract(from);
  node.key() = to;
  MarkDirty(node.mapped());
  cache_.insert(std::move(node));
  return Status::Ok();
}

void PageStore::ParkEmptyRanges() {
  uint32_t floor = work_.end[0];
  for (uint32_t k = 1; k <= kMaxClass; ++k) {
    if (work_.start[k] == work_.end[k]) {
      work_.start[k] = work_.end[k] = floor;
    } else {
      floor = work_.end[k];
    }
  }
}

Status PageStore::Vacate(uint32_t k, const std::set<uint32_t>& slots) {
  uint32_t live = work_.PagesIn(k) - uint32_t(slots.size());
  uint32_t new_end = work_.start[k] + live * k;
  std::vector<uint32_t> holes, tails;
  for (uint32_t s : slots) {
    if (s < new_end) holes.push_back(s);
  }
  for (uint32_t t = new_end; t < work_.end[k]; t += k) {
    if (!slots.count(t)) tails.push_back(t);
  }
  if (holes.size() != tails.size()) return Check(kCheckRanges);
  for (size_t i = 0; i < holes.size(); ++i) {
    Cached* c = nullptr;
    Status s = Load(tails[i], &c);
    if (!s.ok()) return s;
    s = Renumber(tails[i], holes[i]);
    if (!s.ok()) return s;
  }
  work_.end[k] = new_end;
  return Status::Ok();
}

Status PageStore::GrowEnd(uint32_t k, uint32_t* slot) {
  if (work_.start[k] == work_.end[k]) {
    // An empty range may be parked anywhere (it takes no room), even past
    // the start of the range above; it grows from the range below it.
    work_.start[k] = work_.end[k] = EndBelow(work_, k);
  }
  uint32_t j = RangeAbove(work_, k);
  if (j != 0 && work_.end[k] + k > work_.start[j]) {
    uint32_t first = work_.start[j], moved_to = 0;
    Cached* c = nullptr;
    Status s = Load(first, &c);
    if (!s.ok()) return s;
    s = GrowEnd(j, &moved_to);
    if (!s.ok()) return s;
    s = Renumber(first, moved_to);
    if (!s.ok()) return s;
    work_.start[j] += j;
  }
  if (work_.end[k] + k > kMaxPageNumber) return Check(kCheckFileFull);
  *slot = work_.end[k];
  work_.end[k] += k;
  return Status::Ok();
}

Status PageStore::AllocateSlot(uint32_t k, uint32_t* slot) {
  if (work_.start[k] != work_.end[k] && work_.start[k] >= EndBelow(work_, k) + k) {
    work_.start[k] -= k;
    *slot = work_.start[k];
    return Status::Ok();
  }
  return GrowEnd(k, slot);
}

Status PageStore::Place() {
  // A page read from a file written elsewhere may encode to another size
  // than it had; it moves then, and a later round settles what that moved.
  for (int round = 0; round < 16; ++round) {
    std::map<uint32_t, uint32_t> want;
    for (auto& [id, c] : cache_) {
      if (!c.dirty) continue;
      if (c.page.records.empty()) return Check(kCheckTree);
      if (c.encoded.empty()) {
        Status s = EncodePage(c.page, 0, &c.encoded);
        if (!s.ok()) return s;
      }
      want[id] = uint32_t(c.encoded.size()) / kBlockSize;
    }
    std::map<uint32_t, std::set<uint32_t>> vacate;
    for (auto [slot, k] : freed_) vacate[k].insert(slot);
    freed_.clear();
    for (auto [id, k] : want) {
      Cached& c = cache_[id];
      if (id >= kFirstTemporary || c.blocks == k) continue;
      vacate[c.blocks].insert(id);
      uint32_t t = next_temporary_++;
      c.blocks = 0;
      Status s = Renumber(id, t);
      if (!s.ok()) return s;
      want[t] = k;
    }
    if (vacate.empty() && want.lower_bound(kFirstTemporary) == want.end()) return Status::Ok();
    for (auto& [k, slots] : vacate) {
      Status s = Vacate(k, slots);
      if (!s.ok()) return s;
    }
    for (auto it = want.lower_bound(kFirstTemporary); it != want.end(); ++it) {
      if (!cache_.count(it->first)) continue;  // renumbered away already
      uint32_t slot = 0;
      Status s = AllocateSlot(it->second, &slot);
      if (!s.ok()) return s;
      s = Renumber(it->first, slot);
      if (!s.ok()) return s;
      cache_[slot].blocks = it->second;
    }
    ParkEmptyRanges();
  }
  return Check(kCheckRanges);
}

}  // namespace kor::vel
