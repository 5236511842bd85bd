// Run-length coding of record areas (see rle.h for the form).
#include "files/velocore/rle.h"

namespace kor::vel {

namespace {

void PutCount(std::vector<uint8_t>& out, size_t n) {
  while (n >= 0x80) {
    out.push_back(uint8_t(0x80 | (n & 0x7F)));
    n >>= 7;
  }
  out.push_back(uint8_t(n));
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

size_t RunAt(const uint8_t* data, size_t size, size_t i) {
  size_t j = i + 1;
  while (j < size && data[j] == data[i]) ++j;
  return j - i;
}

}  // namespace

std::vector<uint8_t> RunLengthEncode(const uint8_t* data, size_t size, bool* has_run) {
  std::vector<uint8_t> out;
  *has_run = false;
  size_t literal = 0;  // start of the pending literal part
  size_t i = 0;
  while (i < size) {
    size_t run = RunAt(data, size, i);
    if (run < kMinRun) {
      i += run;
      continue;
    }
    *has_run = true;
    PutCount(out, i + 1 - literal);
    out.insert(out.end(), data + literal, data + i + 1);
    PutCount(out, run - 1);
    i += run;
    literal = i;
  }
  PutCount(out, size - literal);
  out.insert(out.end(), data + literal, data + size);
  return out;
}

Status RunLengthDecode(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size,
                       size_t* used) {
  size_t at = 0, filled = 0;
  while (filled < out_size) {
    size_t n;
    if (!GetCount(in, in_size, &at, &n) || n > out_size - filled || n > in_size - at) {
      return Check(kCheckRunLength);
    }
    for (size_t i = 0; i < n; ++i) out[filled++] = in[at++];
    if (filled == out_size) break;
    if (!GetCount(in, in_size, &at, &n) || n > out_size - filled || (n > 0 && filled == 0)) {
      return Check(kCheckRunLength);
    }
    for (size_t i = 0; i < n; ++i, ++filled) out[filled] = out[filled - 1];
  }
  *used = at;
  return Status::Ok();
}

}  // namespace kor::vel
