// Search, insertion, removal, splits and merges of the file's B-tree, and
// the cursor (see btree.h for the shape rules).
#include "files/velocore/btree.h"

#include <algorithm>

namespace kor::vel {

namespace {

bool SameKey(RecordRef r, std::span<const uint8_t> key) { return CompareKeys(r.key(), key) == 0; }

// Where a page of `n` records with these sizes splits: the first index at
// which the left part holds half the bytes, kept inside 1..n-1.
size_t SplitPoint(const Page& p) {
  uint32_t half = PageBudget(p) / 2, acc = kPgHeaderSize;
  size_t i = 0;
  while (i < p.records.size() && acc < half) {
    acc += kRecordOverhead + uint32_t(p.records[i].size) + (p.leaf() ? 0 : 4);
    ++i;
  }
  return std::clamp<size_t>(i, 1, p.records.size() - 1);
}

}  // namespace

// A child page, its level checked against the parent's: a corrupted child
// number can never lead the walk in a circle.
static Status GetChild(PageStore& store, const Page& parent, size_t i, const Page** child) {
  Status s = store.Get(parent.children[i], child);
  if (s.ok() && ((*child)->level + 1 != parent.level || (*child)->records.empty())) {
    return Check(kCheckTree);
  }
  return s;
}

Status Tree::Descend(std::span<const uint8_t> key, std::vector<Step>* path) {
  path->clear();
  uint32_t id = store_.header().root;
  if (id == kNoPage) return Status::Ok();
  if (PathFromHint(key, path)) return Status::Ok();
  const Page* p = nullptr;
  Status s = store_.Get(id, &p);
  if (s.ok() && p->records.empty()) s = Check(kCheckTree);
  while (s.ok()) {
    if (p->leaf()) {
      path->push_back({id, LowerBound(*p, key)});
      KeepPathHint(*path);
      return s;
    }
    size_t i = ChildFor(*p, key);
    path->push_back({id, i});
    id = p->children[i];
    s = GetChild(store_, *p, i, &p);
  }
  return s;
}

// As Descend, without keeping the path: the leaf where `key` belongs.
Status Tree::LeafFor(std::span<const uint8_t> key, const Page** leaf) {
  *leaf = LookHintLeaf(key);
  if (*leaf != nullptr) return Status::Ok();
  uint32_t id = store_.header().root;
  if (id == kNoPage) return Status::Ok();
  const Page* p = nullptr;
  Status s = store_.Get(id, &p);
  if (s.ok() && p->records.empty()) s = Check(kCheckTree);
  while (s.ok() && !p->leaf()) {
    size_t i = ChildFor(*p, key);
    id = p->children[i];
    s = GetChild(store_, *p, i, &p);
  }
  if (!s.ok()) return s;
  look_leaf_ = id;
  look_generation_ = store_.generation();
  *leaf = p;
  return s;
}

// By Descend, not LeafFor: the path it keeps as a hint serves the change
// that usually follows a lookup of the same key (an ADD looks up each
// unique key's entry, then inserts it).
Status Tree::Find(std::span<const uint8_t> key, Record* out, bool* found) {
  *found = false;
  std::vector<Step>& path = path_;
  const Page* leaf = nullptr;
  Status s = Descend(key, &path);
  if (!s.ok() || path.empty()) return s;
  s = store_.Get(path.back().id, &leaf);
  size_t i = path.back().index;
  if (s.ok() && i < leaf->records.size() && SameKey(leaf->records[i], key)) {
    *found = true;
    if (out) CopyRecord(leaf->records[i], out);
  }
  return s;
}

Status Tree::Look(std::span<const uint8_t> key, RecordRef* out, bool* found) {
  *found = false;
  const Page* leaf = nullptr;
  Status s = LeafFor(key, &leaf);
  if (!s.ok() || leaf == nullptr) return s;
  size_t i = LowerBound(*leaf, key);
  if (i < leaf->records.size() && SameKey(leaf->records[i], key)) {
    *out = leaf->records[i];
    *found = true;
  }
  return s;
}

Status Tree::Insert(std::span<const uint8_t> key, std::span<const uint8_t> data, bool* existed) {
  *existed = false;
  if (key.size() + data.size() > kMaxRecordBytes) return Check(kCheckRecordData);
  if (store_.header().root == kNoPage) {
    Page p;
    p.records.PushBack(key, data);
    store_.header().root = store_.Add(std::move(p));
    return Status::Ok();
  }
  std::vector<Step>& path = path_;
  Status s = Descend(key, &path);
  Page* leaf = nullptr;
  if (s.ok()) s = store_.GetMutable(path.back().id, &leaf);
  if (!s.ok()) return s;
  size_t i = path.back().index;
  if (i < leaf->records.size() && SameKey(leaf->records[i], key)) {
    *existed = true;
    return Status::Ok();
  }
  leaf->records.Insert(i, key, data);
  return SplitUp(path);
}

Status Tree::Put(std::span<const uint8_t> key, std::span<const uint8_t> data) {
  bool existed = false;
  Status s = Insert(key, data, &existed);
  if (!s.ok() || !existed) return s;
  std::vector<Step>& path = path_;
  Page* leaf = nullptr;
  s = Descend(key, &path);
  if (s.ok()) s = store_.GetMutable(path.back().id, &leaf);
  if (!s.ok()) return s;
  leaf->records.Replace(path.back().index, key, data);
  s = SplitUp(path);
  return s.ok() ? Rebalance(path, path.size() - 1) : s;
}

Status Tree::Update(std::span<const uint8_t> key,
                    const std::function<Status(std::span<uint8_t> data)>& change, bool* found) {
  *found = false;
  std::vector<Step>& path = path_;
  Status s = Descend(key, &path);
  if (!s.ok() || path.empty()) return s;
  const Page* leaf = nullptr;
  s = store_.Get(path.back().id, &leaf);
  size_t i = path.back().index;
  if (!s.ok() || i >= leaf->records.size() || !SameKey(leaf->records[i], key)) return s;
  *found = true;
  Page* changed = nullptr;
  s = store_.GetMutable(path.back().id, &changed);
  // The record keeps its size, so no page needs a split or a merge.
  return s.ok() ? change(changed->records.MutableData(i)) : s;
}

Status Tree::SplitUp(std::vector<Step>& path) {
  for (size_t d = path.size(); d-- > 0;) {
    Page* p = nullptr;
    Status s = store_.GetMutable(path[d].id, &p);
    if (!s.ok()) return s;
    if (PageBudget(*p) <= kSplitBytes || p->records.size() < 2) return Status::Ok();
    size_t m = SplitPoint(*p);
    Page right;
    right.level = p->level;
    right.records.AppendFrom(p->records, m);
    p->records.Truncate(m);
    p->records.ShrinkToFit();  // the page stays in memory until the commit
    if (!p->leaf()) {
      right.children.assign(p->children.begin() + ptrdiff_t(m), p->children.end());
      p->children.resize(m);
    }
    RecordRef first = right.records[0];
    std::vector<uint8_t> separator(first.key().begin(), first.key().end());
    uint8_t level = p->level;
    uint32_t right_id = store_.Add(std::move(right));
    if (d == 0) {
      Page root;
      root.level = uint8_t(level + 1);
      root.records.PushBack({}, {});
      root.records.PushBack(separator, {});
      root.children = {path[0].id, right_id};
      store_.header().root = store_.Add(std::move(root));
      return Status::Ok();
    }
    Page* parent = nullptr;
    s = store_.GetMutable(path[d - 1].id, &parent);
    if (!s.ok()) return s;
    size_t at = path[d - 1].index + 1;
    parent->records.Insert(at, separator, {});
    parent->children.insert(parent->children.begin() + ptrdiff_t(at), right_id);
  }
  return Status::Ok();
}

Status Tree::Erase(std::span<const uint8_t> key, bool* found) {
  *found = false;
  std::vector<Step>& path = path_;
  Status s = Descend(key, &path);
  if (!s.ok() || path.empty()) return s;
  Page* leaf = nullptr;
  s = store_.GetMutable(path.back().id, &leaf);
  if (!s.ok()) return s;
  size_t i = path.back().index;
  if (i >= leaf->records.size() || !SameKey(leaf->records[i], key)) return Status::Ok();
  *found = true;
  leaf->records.Erase(i);
  s = leaf->records.empty() ? RemoveChild(path, path.size() - 1) : Rebalance(path, path.size() - 1);
  return s.ok() ? CollapseRoot() : s;
}

Status Tree::RemoveChild(std::vector<Step>& path, size_t d) {
  store_.Free(path[d].id);
  if (d == 0) {
    store_.header().root = kNoPage;
    return Status::Ok();
  }
  Page* parent = nullptr;
  Status s = store_.GetMutable(path[d - 1].id, &parent);
  if (!s.ok()) return s;
  size_t i = path[d - 1].index;
  parent->records.Erase(i);
  parent->children.erase(parent->children.begin() + ptrdiff_t(i));
  return parent->records.empty() ? RemoveChild(path, d - 1) : Rebalance(path, d - 1);
}

Status Tree::Rebalance(std::vector<Step>& path, size_t d) {
  if (d == 0) return Status::Ok();
  const Page* page = nullptr;
  Page* parent = nullptr;
  Status s = store_.Get(path[d].id, &page);
  if (s.ok()) s = store_.GetMutable(path[d - 1].id, &parent);
  if (!s.ok() || PageBudget(*page) >= kSplitBytes / 4) return s;
  size_t i = path[d - 1].index;
  size_t left = i + 1 < parent->records.size() ? i : i - (i > 0);
  if (left == i && i + 1 >= parent->records.size()) return Status::Ok();  // an only child
  Page *l = nullptr, *r = nullptr;
  s = store_.GetMutable(parent->children[left], &l);
  if (s.ok()) s = store_.GetMutable(parent->children[left + 1], &r);
  if (!s.ok()) return s;
  if (l->level != r->level) return Check(kCheckTree);
  if (PageBudget(*l) + PageBudget(*r) - kPgHeaderSize > kSplitBytes) return Status::Ok();
  // Separator 0 of the right page only named it; merged, the parent's
  // separator becomes the real lower bound of that child.
  if (!r->leaf()) r->records.Replace(0, parent->records[left + 1].key(), {});
  l->records.AppendFrom(r->records);
  l->children.insert(l->children.end(), r->children.begin(), r->children.end());
  store_.Free(parent->children[left + 1]);
  parent->records.Erase(left + 1);
  parent->children.erase(parent->children.begin() + ptrdiff_t(left + 1));
  return Rebalance(path, d - 1);
}

Status Tree::CollapseRoot() {
  for (;;) {
    uint32_t root = store_.header().root;
    const Page* p = nullptr;
    if (root == kNoPage) return Status::Ok();
    Status s = store_.Get(root, &p);
    if (!s.ok() || p->leaf() || p->records.size() != 1) return s;
    store_.header().root = p->children[0];
    store_.Free(root);
  }
}

Status Tree::Edge(uint32_t id, bool first, RecordRef* out, bool* found) {
  const Page* p = nullptr;
  Status s = store_.Get(id, &p);
  if (s.ok() && p->records.empty()) s = Check(kCheckTree);
  while (s.ok() && !p->leaf()) s = GetChild(store_, *p, first ? 0 : p->children.size() - 1, &p);
  if (s.ok()) {
    *out = first ? p->records.front() : p->records.back();
    *found = true;
  }
  return s;
}

Status Tree::CeilingIn(uint32_t id, std::span<const uint8_t> key, bool strict, RecordRef* out,
                       bool* found) {
  const Page* p = nullptr;
  Status s = store_.Get(id, &p);
  if (!s.ok()) return s;
  if (p->records.empty()) return Check(kCheckTree);
  if (p->leaf()) {
    hint_leaf_ = id;
    hint_generation_ = store_.generation();
    size_t i = HintedLowerBound(*p, key);
    if (strict && i < p->records.size() && SameKey(p->records[i], key)) ++i;
    if (i < p->records.size()) {
      *out = p->records[i];
      *found = true;
      hint_index_ = i;
    }
    return Status::Ok();
  }
  for (size_t c = ChildFor(*p, key); c < p->children.size() && !*found; ++c) {
    const Page* child = nullptr;
    s = GetChild(store_, *p, c, &child);
    if (s.ok() && c == ChildFor(*p, key)) s = CeilingIn(p->children[c], key, strict, out, found);
    else if (s.ok()) s = Edge(p->children[c], true, out, found);
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

Status Tree::FloorIn(uint32_t id, std::span<const uint8_t> key, bool strict, RecordRef* out,
                     bool* found) {
  const Page* p = nullptr;
  Status s = store_.Get(id, &p);
  if (!s.ok()) return s;
  if (p->records.empty()) return Check(kCheckTree);
  if (p->leaf()) {
    hint_leaf_ = id;
    hint_generation_ = store_.generation();
    size_t i = HintedLowerBound(*p, key);  // first at or above
    bool take_i = !strict && i < p->records.size() && SameKey(p->records[i], key);
    if (take_i || i > 0) {
      hint_index_ = take_i ? i : i - 1;
      *out = p->records[hint_index_];
      *found = true;
    }
    return Status::Ok();
  }
  size_t start = ChildFor(*p, key);
  for (size_t c = start + 1; c-- > 0 && !*found;) {
    const Page* child = nullptr;
    s = GetChild(store_, *p, c, &child);
    if (s.ok() && c == start) s = FloorIn(p->children[c], key, strict, out, found);
    else if (s.ok()) s = Edge(p->children[c], false, out, found);
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

Status Tree::CeilingRef(std::span<const uint8_t> key, bool strict, RecordRef* out, bool* found) {
  *found = false;
  uint32_t root = store_.header().root;
  if (root == kNoPage) return Status::Ok();
  Status s = CeilingInHint(key, strict, out, found);
  if (s.ok() && !*found) s = CeilingIn(root, key, strict, out, found);
  if (!s.ok()) *found = false;
  return s;
}

Status Tree::FloorRef(std::span<const uint8_t> key, bool strict, RecordRef* out, bool* found) {
  *found = false;
  uint32_t root = store_.header().root;
  if (root == kNoPage) return Status::Ok();
  Status s = FloorInHint(key, strict, out, found);
  if (s.ok() && !*found) s = FloorIn(root, key, strict, out, found);
  if (!s.ok()) *found = false;
  return s;
}

Status Tree::Ceiling(std::span<const uint8_t> key, bool strict, Record* out, bool* found) {
  RecordRef r;
  Status s = CeilingRef(key, strict, &r, found);
  if (*found) CopyRecord(r, out);
  return s;
}

Status Tree::Floor(std::span<const uint8_t> key, bool strict, Record* out, bool* found) {
  RecordRef r;
  Status s = FloorRef(key, strict, &r, found);
  if (*found) CopyRecord(r, out);
  return s;
}

Status Cursor::SeekCeiling(std::span<const uint8_t> key) {
  return tree_.Ceiling(key, false, &record_, &valid_);
}

Status Cursor::SeekFloor(std::span<const uint8_t> key) {
  return tree_.Floor(key, false, &record_, &valid_);
}

Status Cursor::Next() {
  if (!valid_) return Status::Ok();
  key_.assign(record_.key().begin(), record_.key().end());
  return tree_.Ceiling(key_, true, &record_, &valid_);
}

Status Cursor::Prev() {
  if (!valid_) return Status::Ok();
  key_.assign(record_.key().begin(), record_.key().end());
  return tree_.Floor(key_, true, &record_, &valid_);
}

}  // namespace kor::vel
