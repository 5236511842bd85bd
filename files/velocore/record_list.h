// The records of one page in memory, flat: every record's bytes (key then
// data) in one buffer and a small slot per record in key order, so a page
// costs two allocations however many records it holds and a search compares
// against the buffer directly. Also the key order (CompareKeys) and the
// views a page hands out (RecordRef).
//
// Slots. Each slot names its record's place in the buffer (offset, total
// length, key length) and caches the key's first 8 bytes as a big-endian
// number, zero-filled past a shorter key (`head`). Two heads that differ
// order their keys as CompareKeys does: the first differing byte lies in
// the first 8, and a zero fill byte against a real one sorts the shorter
// key (a prefix of the other up to there) first. Equal heads decide nothing
// (key 'A' and key 'A' 0x00 share one), and the search compares the bytes.
//
// Buffer. Records are appended; removing or replacing one leaves its old
// bytes behind as waste, and the buffer is rewritten in slot order once the
// waste passes the live bytes. A RecordRef points into the buffer: it stays
// valid until the list changes.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace kor::vel {

// Unsigned byte order over the shorter length; on equal prefixes the
// shorter key first. -1, 0 or 1. Inline and eight bytes at a time: every
// step of a tree search makes several of these on short keys, where a call
// to memcmp costs more than the comparison.
inline int CompareKeys(std::span<const uint8_t> a, std::span<const uint8_t> b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  const uint8_t* p = a.data();
  const uint8_t* q = b.data();
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t x, y;
    std::memcpy(&x, p + i, 8);
    std::memcpy(&y, q + i, 8);
    if (x != y) return __builtin_bswap64(x) < __builtin_bswap64(y) ? -1 : 1;
  }
  for (; i < n; ++i) {
    if (p[i] != q[i]) return p[i] < q[i] ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// A record where it lies: `size` bytes, the first `key_length` of them the
// key. Not owned.
struct RecordRef {
  const uint8_t* bytes = nullptr;
  uint16_t size = 0;
  uint16_t key_length = 0;

  std::span<const uint8_t> key() const { return {bytes, key_length}; }
  std::span<const uint8_t> data() const { return {bytes + key_length, size_t(size - key_length)}; }
  std::span<const uint8_t> all() const { return {bytes, size}; }
};

class RecordList {
 public:
  size_t size() const { return slots_.size(); }
  bool empty() const { return slots_.empty(); }
  RecordRef operator[](size_t i) const {
    const Slot& s = slots_[i];
    return {bytes_.data() + s.offset, s.size, s.key_length};
  }
  RecordRef front() const { return (*this)[0]; }
  RecordRef back() const { return (*this)[slots_.size() - 1]; }
  // The sum of the records' lengths.
  uint32_t byte_total() const { return live_; }
  // The bytes its buffers hold, used or not.
  size_t memory_held() const { return bytes_.capacity() + slots_.capacity() * sizeof(Slot); }

  // Walks the records in order as RecordRefs.
  class Iterator {
   public:
    Iterator(const RecordList* list, size_t i) : list_(list), i_(i) {}
    RecordRef operator*() const { return (*list_)[i_]; }
    Iterator& operator++() { return ++i_, *this; }
    bool operator==(const Iterator& o) const { return i_ == o.i_; }

   private:
    const RecordList* list_;
    size_t i_;
  };
  Iterator begin() const { return {this, 0}; }
  Iterator end() const { return {this, slots_.size()}; }

  // Makes room for `count` more records of `bytes` bytes in all.
  void Reserve(size_t count, size_t bytes);
  // A record of these bytes at position `at` (0..size()); the spans may lie
  // in this list. Lengths up to 65535 (the stored form's limit).
  void Insert(size_t at, std::span<const uint8_t> key, std::span<const uint8_t> data);
  void PushBack(std::span<const uint8_t> key, std::span<const uint8_t> data) {
    Insert(size(), key, data);
  }
  // Appends a record made of the last record's first `shared` bytes (none
  // when the list is empty) and `rest`: the stored form's shared prefixes.
  // The caller has checked `shared` against the last record's length and
  // `key_length` against the total.
  void PushBackShared(size_t shared, std::span<const uint8_t> rest, uint16_t key_length);
  static constexpr size_t kMaxShared = 64;  // above a page's shared prefixes
  // Record `at` becomes these bytes.
  void Replace(size_t at, std::span<const uint8_t> key, std::span<const uint8_t> data);
  void Erase(size_t at);
  // Keeps the first `count` records.
  void Truncate(size_t count);
  // Gives back the room past the live records: a page that grew to its
  // split and kept half its records holds a buffer of twice the page.
  void ShrinkToFit();
  // Appends records [from, other.size()) of another list, in order.
  void AppendFrom(const RecordList& other, size_t from = 0);
  void Clear();
  // The data bytes of record `at`, writable in place (the key and the
  // lengths stay).
  std::span<uint8_t> MutableData(size_t at);

  // The first position whose key is not below `key`, and the first whose
  // key is above it.
  size_t LowerBound(std::span<const uint8_t> key) const;
  size_t UpperBound(std::span<const uint8_t> key) const;

  // The same records in the same order.
  bool operator==(const RecordList& other) const;

 private:
  struct Slot {
    uint64_t head;  // the key's first 8 bytes, big-endian, zero-filled
    uint32_t offset;
    uint16_t size;
    uint16_t key_length;
  };
  static_assert(sizeof(Slot) == 16);

  // Key order of slot `s` against `key`, whose head is `head`.
  int CompareSlot(const Slot& s, std::span<const uint8_t> key, uint64_t head) const;
  uint32_t Append(std::span<const uint8_t> key, std::span<const uint8_t> data);
  void CompactIfWasteful();
  void Compact();

  std::vector<uint8_t> bytes_;
  std::vector<Slot> slots_;
  uint32_t live_ = 0;  // bytes of the buffer that records own
};

// The first 8 bytes of `key` as a big-endian number, zero-filled.
inline uint64_t KeyHead(std::span<const uint8_t> key) {
  if (key.size() >= 8) {
    uint64_t x;
    std::memcpy(&x, key.data(), 8);
    return __builtin_bswap64(x);
  }
  uint64_t x = 0;
  for (size_t i = 0; i < key.size(); ++i) x |= uint64_t(key[i]) << (56 - 8 * i);
  return x;
}

}  // namespace kor::vel
