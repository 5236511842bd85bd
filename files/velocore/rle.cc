// Run-length coding of record areas (see rle.h for the form).
#include "files/velocore/rle.h"

#include <bit>
#include <cstring>
#include <memory>

namespace kor::vel {

namespace {

// Writes the count at `out`; returns the end of what it wrote (at most
// kMaxCountBytes bytes).
constexpr size_t kMaxCountBytes = (sizeof(size_t) * 8 + 6) / 7;
uint8_t* PutCount(uint8_t* out, size_t n) {
  while (n >= 0x80) {
    *out++ = uint8_t(0x80 | (n & 0x7F));
    n >>= 7;
  }
  *out++ = uint8_t(n);
  return out;
}

// false when the data ends inside the count or the count is absurd.
bool GetCount(const uint8_t* in, size_t size, size_t* at, size_t* n) {
  size_t value = 0;
  for (int shift = 0; shift < 32; shift += 7) {
    if (*at >= size) return false;
    uint8_t b = in[(*at)++];
    value |= size_t(b & 0x7F) << shift;
    if ((b & 0x80) == 0) {
      *n = value;
      return true;
    }
  }
  return false;
}

// The first position at or after `i` where a run of kMinRun may begin,
// skipping eight bytes at a time: x ^ (x shifted by a byte) has a zero byte
// k exactly where byte k equals byte k+1, and a run of 4 needs three such
// in a row. Positions it cannot rule out are left to RunAt.
size_t SkipToRun(const uint8_t* data, size_t size, size_t i) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  static_assert(kMinRun == 4, "the test below looks for three equal neighbours");
  static_assert(std::endian::native == std::endian::little, "byte k of a load is data[i+k]");
  while (i + 9 <= size) {
    uint64_t x, y;
    std::memcpy(&x, data + i, 8);
    std::memcpy(&y, data + i + 1, 8);
    uint64_t d = x ^ y;  // little-endian: byte k compares data[i+k], data[i+k+1]
    uint64_t zero = ~(((d & kLow7) + kLow7) | d | kLow7);  // 0x80 where d's byte is 0
    uint64_t three = zero & (zero >> 8) & (zero >> 16);
    if ((three & 0x0000808080808080ull) != 0) return i;  // a run may start in bytes 0..5
    i += 6;
  }
  return i;
}

// The length of the run of equal bytes at `i`, eight bytes at a time
// (pages of space-padded text hold long runs).
size_t RunAt(const uint8_t* data, size_t size, size_t i) {
  const uint64_t pattern = 0x0101010101010101ull * data[i];
  size_t j = i + 1;
  for (; j + 8 <= size; j += 8) {
    uint64_t x;
    std::memcpy(&x, data + j, 8);
    if (uint64_t d = x ^ pattern; d != 0) return j + size_t(std::countr_zero(d) / 8) - i;
  }
  while (j < size && data[j] == data[i]) ++j;
  return j - i;
}

}  // namespace

std::vector<uint8_t> RunLengthEncode(const uint8_t* data, size_t size, bool* has_run) {
  // Written through a pointer into room for the worst case (every byte once
  // as a literal, two counts per run of at least kMinRun bytes and the final
  // count), left uninitialised: only what is written is copied out.
  std::unique_ptr<uint8_t[]> room(new uint8_t[size + (2 * (size / kMinRun) + 1) * kMaxCountBytes]);
  uint8_t* o = room.get();
  *has_run = false;
  size_t literal = 0;  // start of the pending literal part
  size_t i = 0;
  while (i < size) {
    i = SkipToRun(data, size, i);
    if (i >= size) break;
    size_t run = RunAt(data, size, i);
    if (run < kMinRun) {
      i += run;
      continue;
    }
    *has_run = true;
    o = PutCount(o, i + 1 - literal);
    std::memcpy(o, data + literal, i + 1 - literal);
    o += i + 1 - literal;
    o = PutCount(o, run - 1);
    i += run;
    literal = i;
  }
  o = PutCount(o, size - literal);
  if (size > literal) std::memcpy(o, data + literal, size - literal);
  o += size - literal;
  return std::vector<uint8_t>(room.get(), o);
}

Status RunLengthDecode(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size,
                       size_t* used) {
  size_t at = 0, filled = 0;
  while (filled < out_size) {
    size_t n;
    if (!GetCount(in, in_size, &at, &n) || n > out_size - filled || n > in_size - at) {
      return Check(kCheckRunLength);
    }
    if (n > 0) std::memcpy(out + filled, in + at, n);
    filled += n;
    at += n;
    if (filled == out_size) break;
    if (!GetCount(in, in_size, &at, &n) || n > out_size - filled || (n > 0 && filled == 0)) {
      return Check(kCheckRunLength);
    }
    if (n > 0) std::memset(out + filled, out[filled - 1], n);
    filled += n;
  }
  *used = at;
  return Status::Ok();
}

}  // namespace kor::vel
