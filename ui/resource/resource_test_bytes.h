// Test helper: lays out resource bodies byte by byte, so the decoder's tests
// check it against layouts written by hand rather than by the compiler.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ui/resource/resource_buffer.h"
#include "ui/resource/window_format.h"

namespace kor::resource_testing {

// Appends to a body; every offset given and returned is a buffer offset (the
// body's first byte is at kBodyBase).
class BodyBytes {
 public:
  BodyBytes() { I32(0); }  // the first window's offset, patched by FirstWindow
  int32_t Here() const { return static_cast<int32_t>(body_.size()) + kBodyBase; }
  int32_t U8(uint8_t v) {
    int32_t at = Here();
    body_.push_back(v);
    return at;
  }
  int32_t I16(int16_t v) {
    int32_t at = U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
    return at;
  }
  int32_t I32(int32_t v) {
    int32_t at = Here();
    for (int i = 0; i < 4; ++i)
      body_.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    return at;
  }
  int32_t F64(double v) {
    uint64_t bits;
    memcpy(&bits, &v, sizeof bits);
    int32_t at = Here();
    for (int i = 0; i < 8; ++i) body_.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    return at;
  }
  int32_t Str(const std::string& s) {
    int32_t at = Here();
    body_.insert(body_.end(), s.begin(), s.end());
    body_.push_back(0);
    return at;
  }
  int32_t Raw(const std::vector<uint8_t>& bytes) {
    int32_t at = Here();
    body_.insert(body_.end(), bytes.begin(), bytes.end());
    return at;
  }
  // n zero bytes: room for a record whose fields are then set with Put*.
  int32_t Zero(int32_t n) {
    int32_t at = Here();
    body_.resize(body_.size() + static_cast<size_t>(n), 0);
    return at;
  }
  void PutU8(int32_t at, uint8_t v) { body_[At(at)] = v; }
  void PutI16(int32_t at, int16_t v) {
    PutU8(at, static_cast<uint8_t>(v));
    PutU8(at + 1, static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
  }
  void PutI32(int32_t at, int32_t v) {
    for (int i = 0; i < 4; ++i)
      PutU8(at + i, static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
  }
  void PutF64(int32_t at, double v) {
    uint64_t bits;
    memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) PutU8(at + i, static_cast<uint8_t>(bits >> (8 * i)));
  }
  void PutPosition(int32_t at, int32_t x, int32_t y, int32_t w, int32_t h) {
    PutI32(at, x);
    PutI32(at + 4, y);
    PutI32(at + 8, w);
    PutI32(at + 12, h);
  }
  void FirstWindow(int32_t at) { PutI32(kFirstWindowRef, at); }

  // A zeroed record of `size` bytes with its type code set.
  int32_t Record(uint8_t type, int32_t size) {
    int32_t at = Zero(size);
    PutU8(at, type);
    return at;
  }

  ResourceBuffer Buffer() const {
    ResourceBuffer b;
    b.Assign(body_.data(), body_.size());
    return b;
  }
  std::vector<uint8_t> Container(const std::string& name) const {
    std::vector<uint8_t> c(name.begin(), name.end());
    c.push_back(0);
    c.insert(c.end(), body_.begin(), body_.end());
    return c;
  }

 private:
  size_t At(int32_t at) const { return static_cast<size_t>(at - kBodyBase); }
  std::vector<uint8_t> body_;
};

}  // namespace kor::resource_testing
