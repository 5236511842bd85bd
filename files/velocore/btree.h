// The one B-tree of a file: every table, record kind and key shares it,
// ordered by key bytes (CompareKeys: unsigned, the shorter prefix first).
//
// Shape. Leaves (level 0) hold the records; an internal page at level L
// holds separators (key only) with one child at level L-1 each. Every key
// of child i is below separator i+1, and at or above separator i for i > 0;
// separator 0 only names the child (every key of child 0 lies below
// separator 1). A page whose budget (page_codec.h) passes kSplitBytes is
// split in two by bytes; a page that falls under a quarter of it is merged
// with a neighbour when both fit in one; an emptied page leaves its parent;
// a root with one child gives way to it. The tree reaches pages only through
// the PageStore; changes stay in the store until it commits.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "files/velocore/page_store.h"

namespace kor::vel {

class Tree {
 public:
  explicit Tree(PageStore& store) : store_(store) {}

  // The record with this exact key.
  Status Find(std::span<const uint8_t> key, Record* out, bool* found);
  // The record with this exact key where it lies in its page (*found
  // false when there is none), without a copy: valid until the store changes.
  Status Look(std::span<const uint8_t> key, RecordRef* out, bool* found);
  // Adds a record; *existed (and nothing changes) when its key is there.
  Status Insert(std::span<const uint8_t> key, std::span<const uint8_t> data, bool* existed);
  Status Insert(const Record& record, bool* existed) {
    return Insert(record.key(), record.data(), existed);
  }
  // Adds or replaces.
  Status Put(std::span<const uint8_t> key, std::span<const uint8_t> data);
  Status Put(const Record& record) { return Put(record.key(), record.data()); }
  // Changes the data of the record with this key in place through `change`
  // (its length stays), with the same effect on the tree as Put of the
  // changed record; *found false when there is none (nothing changes then).
  Status Update(std::span<const uint8_t> key,
                const std::function<Status(std::span<uint8_t> data)>& change, bool* found);
  // Removes the record with this key; *found tells whether there was one.
  Status Erase(std::span<const uint8_t> key, bool* found);

  // The first record whose key is at or above `key` (above it when
  // `strict`), and the last at or below it (below it when `strict`).
  Status Ceiling(std::span<const uint8_t> key, bool strict, Record* out, bool* found);
  Status Floor(std::span<const uint8_t> key, bool strict, Record* out, bool* found);
  // The same where the record lies in its page, without a copy: valid
  // until the store changes.
  Status CeilingRef(std::span<const uint8_t> key, bool strict, RecordRef* out, bool* found);
  Status FloorRef(std::span<const uint8_t> key, bool strict, RecordRef* out, bool* found);
  // Off: every Find, Look and change descends from the root (tests compare
  // the two ways; the results and the file must be the same).
  void UseSearchHints(bool on) { search_hints_ = on; }

 private:
  struct Step {
    uint32_t id;
    size_t index;  // the child taken in this page
  };
  Status Descend(std::span<const uint8_t> key, std::vector<Step>* path);
  // The paths of the last few full descents with the separators that chose
  // each step: separator i at or below the key (for i > 0) and separator
  // i+1 above it (when there is one) are exactly the conditions under which
  // ChildFor takes child i. While the store's shape is the one seen then
  // (page_store.h), a key meeting them at every level takes the same path,
  // so Descend finds it without a search of the internal pages. Several are
  // kept because one ADD descends to the end of the data records, to its
  // key entries and to the table's statistics in turn; a full descent
  // replaces the hint that saved the fewest, so the paths taken again and
  // again stay while those of scattered keys come and go.
  struct PathHint {
    uint64_t shape = 0;              // 0: empty
    uint64_t hits = 0;               // descents it saved since it was made
    std::vector<Step> path;          // its separators bound the keys it serves
    std::vector<const Page*> pages;  // the internal pages of the path, in the cache
  };
  bool PathFromHint(std::span<const uint8_t> key, std::vector<Step>* path);
  void KeepPathHint(const std::vector<Step>& path);
  Status LeafFor(std::span<const uint8_t> key, const Page** leaf);
  Status SplitUp(std::vector<Step>& path);
  Status RemoveChild(std::vector<Step>& path, size_t depth);
  Status Rebalance(std::vector<Step>& path, size_t depth);
  Status CollapseRoot();
  Status Edge(uint32_t id, bool first, RecordRef* out, bool* found);
  Status CeilingIn(uint32_t id, std::span<const uint8_t> key, bool strict, RecordRef* out,
                   bool* found);
  Status FloorIn(uint32_t id, std::span<const uint8_t> key, bool strict, RecordRef* out,
                 bool* found);
  // Ceiling and Floor in the leaf the last of them ended in, while the
  // store's generation is the one seen then: a walk in key order finds its
  // next record without a descent. *answered false when the answer may lie
  // in another leaf (the key outside the leaf's keys, or none beyond it).
  Status CeilingInHint(std::span<const uint8_t> key, bool strict, RecordRef* out, bool* answered);
  Status FloorInHint(std::span<const uint8_t> key, bool strict, RecordRef* out, bool* answered);
  const Page* HintLeaf();
  // LowerBound in a leaf, first trying the position Ceiling or Floor
  // answered last (hint_index_).
  size_t HintedLowerBound(const Page& leaf, std::span<const uint8_t> key) const;
  // The leaf the last Look ended in, while the store's
  // generation is the one seen then, when `key` lies between its first and
  // last keys: no other leaf can hold it. Reads of records whose keys lie
  // close together (a key-order walk reading each entry's data record,
  // whose numbers rise within equal values) then skip the descent.
  const Page* LookHintLeaf(std::span<const uint8_t> key);

  PageStore& store_;
  uint32_t hint_leaf_ = kNoPage;
  uint64_t hint_generation_ = 0;
  size_t hint_index_ = SIZE_MAX;  // where Ceiling or Floor answered last (any leaf)
  uint32_t look_leaf_ = kNoPage;
  uint64_t look_generation_ = 0;
  static constexpr size_t kPathHints = 4;
  PathHint path_hints_[kPathHints];
  bool search_hints_ = true;
  // The path of the search or change under way, kept for its room: tree
  // operations never run inside one another (Put's Insert ends before Put
  // descends again; an Update's change only edits the record's bytes).
  std::vector<Step> path_;
};

// Walks the records of the tree in key order, either way. Each step seeks
// by the current key (from the root, or in the leaf the last search ended
// in while the store is unchanged), so a cursor survives changes to the
// tree between steps (it continues from where its key would be).
class Cursor {
 public:
  explicit Cursor(Tree& tree) : tree_(tree) {}
  // Positions at the first record at or above `key` / the last at or below.
  Status SeekCeiling(std::span<const uint8_t> key);
  Status SeekFloor(std::span<const uint8_t> key);
  Status Next();
  Status Prev();
  bool valid() const { return valid_; }
  const Record& record() const { return record_; }

 private:
  Tree& tree_;
  Record record_;
  std::vector<uint8_t> key_;  // the current key while a step seeks past it
  bool valid_ = false;
};

}  // namespace kor::vel
