// The loaded body of a compiled window resource and the bounded readers over
// it. The bytes come from a resource that may be damaged: every read names an
// offset and fails (returns false) when the bytes are not all inside the
// buffer; nothing is ever read outside it.
//
// Layout (window_format.h): the container is the module-qualified name,
// NUL-terminated, followed by the body; the buffer is two zero bytes followed
// by the body, so the first body byte is at offset 2 and offset 0 reads as the
// empty string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kor {

// A container split into its two parts (views into the container's bytes).
struct ContainerView {
  std::string_view name;  // the leading module-qualified name, without its NUL
  const uint8_t* body = nullptr;
  size_t body_size = 0;
};
// false when the leading name has no terminating NUL inside the bytes.
bool SplitContainer(const uint8_t* data, size_t size, ContainerView* out);

class ResourceBuffer {
 public:
  // The largest body whose every offset fits a signed 32-bit offset.
  static constexpr size_t kMaxBody = 0x7FFFFFF0;

  ResourceBuffer() = default;
  // Copies a body in: buffer = 0, 0, body. false (and an empty buffer) when
  // the body is larger than kMaxBody.
  bool Assign(const uint8_t* body, size_t size);

  size_t size() const { return bytes_.size(); }
  const uint8_t* data() const { return bytes_.data(); }
  bool empty() const { return bytes_.empty(); }

  // Whether the n bytes at offset are all inside the buffer.
  bool Contains(int64_t offset, size_t n) const;

  // Little-endian readers; false when the value is not inside the buffer.
  bool ReadU8(int32_t offset, uint8_t* out) const;
  bool ReadU16(int32_t offset, uint16_t* out) const;
  bool ReadI16(int32_t offset, int16_t* out) const;
  bool ReadI32(int32_t offset, int32_t* out) const;
  bool ReadF64(int32_t offset, double* out) const;
  // The NUL-terminated string at offset; offset 0 is the empty string. false
  // when the offset is outside the buffer or the string runs off its end.
  bool ReadString(int32_t offset, std::string* out) const;

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace kor
