// The flat record list of a page in memory (see record_list.h).
#include "files/velocore/record_list.h"

#include <functional>

namespace kor::vel {

namespace {

// Waste below this stays: rewriting a small buffer often costs more than it saves.
constexpr size_t kMinWasteToCompact = 1024;

bool Within(const std::vector<uint8_t>& v, const uint8_t* p) {
  std::less_equal<const uint8_t*> le;
  std::less<const uint8_t*> lt;
  return !v.empty() && p != nullptr && le(v.data(), p) && lt(p, v.data() + v.size());
}

}  // namespace

int RecordList::CompareSlot(const Slot& s, std::span<const uint8_t> key, uint64_t head) const {
  if (s.head != head) return s.head < head ? -1 : 1;
  const uint8_t* p = bytes_.data() + s.offset;
  // Equal heads: equal first 8 bytes when both keys are that long, and the
  // rest decides with the same shorter-first rule.
  if (s.key_length >= 8 && key.size() >= 8) {
    return CompareKeys({p + 8, size_t(s.key_length - 8)}, key.subspan(8));
  }
  return CompareKeys({p, s.key_length}, key);
}

size_t RecordList::LowerBound(std::span<const uint8_t> key) const {
  uint64_t head = KeyHead(key);
  size_t lo = 0, n = slots_.size();
  while (n > 0) {
    size_t half = n / 2;
    if (CompareSlot(slots_[lo + half], key, head) < 0) {
      lo += half + 1;
      n -= half + 1;
    } else {
      n = half;
    }
  }
  return lo;
}

size_t RecordList::UpperBound(std::span<const uint8_t> key) const {
  uint64_t head = KeyHead(key);
  size_t lo = 0, n = slots_.size();
  while (n > 0) {
    size_t half = n / 2;
    if (CompareSlot(slots_[lo + half], key, head) <= 0) {
      lo += half + 1;
      n -= half + 1;
    } else {
      n = half;
    }
  }
  return lo;
}

uint32_t RecordList::Append(std::span<const uint8_t> key, std::span<const uint8_t> data) {
  size_t at = bytes_.size();
  // Spans inside the buffer are found again by offset once it has grown.
  ptrdiff_t key_at = Within(bytes_, key.data()) ? key.data() - bytes_.data() : -1;
  ptrdiff_t data_at = Within(bytes_, data.data()) ? data.data() - bytes_.data() : -1;
  bytes_.resize(at + key.size() + data.size());
  const uint8_t* k = key_at >= 0 ? bytes_.data() + key_at : key.data();
  const uint8_t* d = data_at >= 0 ? bytes_.data() + data_at : data.data();
  if (!key.empty()) std::memcpy(bytes_.data() + at, k, key.size());
  if (!data.empty()) std::memcpy(bytes_.data() + at + key.size(), d, data.size());
  return uint32_t(at);
}

void RecordList::Reserve(size_t count, size_t bytes) {
  slots_.reserve(slots_.size() + count);
  bytes_.reserve(bytes_.size() + bytes);
}

void RecordList::Insert(size_t at, std::span<const uint8_t> key, std::span<const uint8_t> data) {
  uint64_t head = KeyHead(key);  // before the buffer may move
  uint16_t size = uint16_t(key.size() + data.size());
  Slot s{head, Append(key, data), size, uint16_t(key.size())};
  slots_.insert(slots_.begin() + ptrdiff_t(at), s);
  live_ += size;
}

void RecordList::Replace(size_t at, std::span<const uint8_t> key, std::span<const uint8_t> data) {
  uint64_t head = KeyHead(key);  // before the buffer may move
  size_t size = key.size() + data.size();
  Slot& s = slots_[at];  // Append moves the buffer, never the slots
  bool inside = Within(bytes_, key.data()) || Within(bytes_, data.data());
  if (size == s.size && !inside) {
    uint8_t* p = bytes_.data() + s.offset;
    if (!key.empty()) std::memcpy(p, key.data(), key.size());
    if (!data.empty()) std::memcpy(p + key.size(), data.data(), data.size());
  } else {
    uint32_t offset = Append(key, data);
    live_ = live_ - s.size + uint32_t(size);
    s.offset = offset;
    s.size = uint16_t(size);
  }
  s.key_length = uint16_t(key.size());
  s.head = head;
  CompactIfWasteful();
}

void RecordList::PushBackShared(size_t shared, std::span<const uint8_t> rest, uint16_t key_length) {
  size_t at = bytes_.size();
  size_t size = shared + rest.size();
  uint32_t previous = slots_.empty() ? 0 : slots_.back().offset;
  // Appended, not resized and overwritten: a resize zeroes the bytes first,
  // which cost a tenth of decoding a page. The shared bytes go through the
  // stack because inserting a vector's own bytes into it is not allowed.
  uint8_t prefix[kMaxShared];
  if (shared > kMaxShared) {  // not from a page: the long way
    bytes_.resize(at + shared);
    std::memcpy(bytes_.data() + at, bytes_.data() + previous, shared);
  } else if (shared) {
    std::memcpy(prefix, bytes_.data() + previous, shared);
    bytes_.insert(bytes_.end(), prefix, prefix + shared);
  }
  bytes_.insert(bytes_.end(), rest.begin(), rest.end());
  std::span<const uint8_t> key(bytes_.data() + at, key_length);
  slots_.push_back({KeyHead(key), uint32_t(at), uint16_t(size), key_length});
  live_ += uint32_t(size);
}

void RecordList::Erase(size_t at) {
  live_ -= slots_[at].size;
  slots_.erase(slots_.begin() + ptrdiff_t(at));
  CompactIfWasteful();
}

void RecordList::Truncate(size_t count) {
  if (count >= slots_.size()) return;
  for (size_t i = count; i < slots_.size(); ++i) live_ -= slots_[i].size;
  slots_.resize(count);
  CompactIfWasteful();
}

void RecordList::AppendFrom(const RecordList& other, size_t from) {
  if (from >= other.size()) return;
  size_t bytes = 0;
  for (size_t i = from; i < other.size(); ++i) bytes += other.slots_[i].size;
  Reserve(other.size() - from, bytes);
  for (size_t i = from; i < other.size(); ++i) {
    RecordRef r = other[i];
    Slot s = other.slots_[i];
    s.offset = Append(r.key(), r.data());
    slots_.push_back(s);
    live_ += s.size;
  }
}

void RecordList::Clear() {
  bytes_.clear();
  slots_.clear();
  live_ = 0;
}

std::span<uint8_t> RecordList::MutableData(size_t at) {
  const Slot& s = slots_[at];
  return {bytes_.data() + s.offset + s.key_length, size_t(s.size - s.key_length)};
}

bool RecordList::operator==(const RecordList& other) const {
  if (size() != other.size()) return false;
  for (size_t i = 0; i < size(); ++i) {
    RecordRef a = (*this)[i], b = other[i];
    if (a.key_length != b.key_length || a.size != b.size) return false;
    if (a.size != 0 && std::memcmp(a.bytes, b.bytes, a.size) != 0) return false;
  }
  return true;
}

void RecordList::CompactIfWasteful() {
  size_t waste = bytes_.size() - live_;
  if (slots_.empty()) {
    bytes_.clear();
    return;
  }
  if (waste < kMinWasteToCompact || waste < live_) return;
  Compact();
}

void RecordList::ShrinkToFit() {
  if (bytes_.capacity() - live_ >= kMinWasteToCompact) Compact();
  if (slots_.capacity() > slots_.size() + slots_.size() / 4) slots_.shrink_to_fit();
}

void RecordList::Compact() {
  std::vector<uint8_t> packed;
  packed.reserve(live_);
  for (Slot& s : slots_) {
    const uint8_t* p = bytes_.data() + s.offset;
    s.offset = uint32_t(packed.size());
    packed.insert(packed.end(), p, p + s.size);
  }
  bytes_.swap(packed);
}

}  // namespace kor::vel
