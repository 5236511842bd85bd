// The search hints of the tree (see btree.h): the leaf the last walk step
// and the last exact lookup ended in, and the paths of the last descents,
// each valid while the store shows the generation or shape it had then.
#include "files/velocore/btree.h"

namespace kor::vel {

// Separators of an internal page hold no data: a separator's bytes are its
// key. While the store keeps the shape a hint was made in, no separator has
// come, gone or changed and no page has left the cache or moved in it
// (page_store.h), so the hint's pages still hold the separators that bound
// the path; they are read where they lie rather than kept as copies (copying
// them cost more than the descent it saved).
bool Tree::PathFromHint(std::span<const uint8_t> key, std::vector<Step>* path) {
  if (!search_hints_) return false;
  for (PathHint& h : path_hints_) {
    if (h.shape != store_.shape() || h.path.empty() || h.path[0].id != store_.header().root) {
      continue;
    }
    bool within = true;  // the deepest level first: its bounds are the tightest
    for (size_t d = h.path.size() - 1; within && d-- > 0;) {
      const Page* p = h.pages[d];
      size_t i = h.path[d].index;
      if (p == nullptr || p->leaf() || i >= p->records.size()) {
        within = false;
        break;
      }
      bool has_lower = i > 0, has_upper = i + 1 < p->records.size();
      within = (!has_lower || CompareKeys(p->records[i].key(), key) <= 0) &&
               (!has_upper || CompareKeys(key, p->records[i + 1].key()) < 0);
      // Both bounds of this level lie within those of the levels above it.
      if (has_lower && has_upper) break;
    }
    const Page* leaf = nullptr;
    if (!within || !store_.Get(h.path.back().id, &leaf).ok() || !leaf->leaf()) continue;
    ++h.hits;
    path->assign(h.path.begin(), h.path.end());
    path->back().index = LowerBound(*leaf, key);
    return true;
  }
  return false;
}

void Tree::KeepPathHint(const std::vector<Step>& path) {
  PathHint* least = &path_hints_[0];
  for (PathHint& h : path_hints_) {
    if (h.shape != store_.shape()) h.hits = 0;  // stale: worth nothing
    if (h.hits < least->hits) least = &h;
  }
  least->hits = 0;
  least->shape = 0;
  least->path = path;
  least->pages.assign(path.size(), nullptr);
  for (size_t d = 0; d + 1 < path.size(); ++d) {
    if (!store_.Get(path[d].id, &least->pages[d]).ok()) return;
  }
  least->shape = store_.shape();
}

const Page* Tree::LookHintLeaf(std::span<const uint8_t> key) {
  const Page* p = nullptr;
  if (!search_hints_ || look_leaf_ == kNoPage || look_generation_ != store_.generation()) {
    return nullptr;
  }
  if (!store_.Get(look_leaf_, &p).ok() || !p->leaf() || p->records.empty()) return nullptr;
  if (CompareKeys(p->records.front().key(), key) > 0) return nullptr;
  if (CompareKeys(p->records.back().key(), key) < 0) return nullptr;
  return p;
}

// A walk steps from the record it was given last: when that record's key
// is `key`, it is the lower bound (keys are unique) and the search is saved.
size_t Tree::HintedLowerBound(const Page& leaf, std::span<const uint8_t> key) const {
  if (search_hints_ && hint_index_ < leaf.records.size() &&
      CompareKeys(leaf.records[hint_index_].key(), key) == 0) {
    return hint_index_;
  }
  return LowerBound(leaf, key);
}

const Page* Tree::HintLeaf() {
  const Page* p = nullptr;
  if (hint_leaf_ == kNoPage || hint_generation_ != store_.generation()) return nullptr;
  if (!store_.Get(hint_leaf_, &p).ok() || !p->leaf() || p->records.empty()) return nullptr;
  return p;
}

// Leaves hold disjoint, ordered ranges of keys: when `key` is at or above
// the leaf's first key and a record at or above it (past it when strict)
// lies in the leaf, no other leaf holds a nearer one.
Status Tree::CeilingInHint(std::span<const uint8_t> key, bool strict, RecordRef* out,
                           bool* answered) {
  *answered = false;
  const Page* p = HintLeaf();
  if (p == nullptr || CompareKeys(p->records.front().key(), key) > 0) return Status::Ok();
  size_t i = HintedLowerBound(*p, key);
  if (strict && i < p->records.size() && CompareKeys(p->records[i].key(), key) == 0) ++i;
  if (i >= p->records.size()) return Status::Ok();
  hint_index_ = i;
  *out = p->records[i];
  *answered = true;
  return Status::Ok();
}

// The mirror image: `key` at or below the leaf's last key.
Status Tree::FloorInHint(std::span<const uint8_t> key, bool strict, RecordRef* out,
                         bool* answered) {
  *answered = false;
  const Page* p = HintLeaf();
  if (p == nullptr || CompareKeys(p->records.back().key(), key) < 0) return Status::Ok();
  size_t i = HintedLowerBound(*p, key);
  bool take_i = !strict && i < p->records.size() && CompareKeys(p->records[i].key(), key) == 0;
  if (!take_i && i == 0) return Status::Ok();
  hint_index_ = take_i ? i : i - 1;
  *out = p->records[hint_index_];
  *answered = true;
  return Status::Ok();
}

}  // namespace kor::vel
