// Splitting a container and reading values out of a resource body buffer.
#include "ui/resource/resource_buffer.h"

#include <cstring>

#include "ui/resource/window_format.h"

namespace kor {

bool SplitContainer(const uint8_t* data, size_t size, ContainerView* out) {
  if (data == nullptr) return false;
  const void* nul = memchr(data, 0, size);
  if (nul == nullptr) return false;
  size_t name_length = static_cast<size_t>(static_cast<const uint8_t*>(nul) - data);
  out->name = std::string_view(reinterpret_cast<const char*>(data), name_length);
  out->body = data + name_length + 1;
  out->body_size = size - name_length - 1;
  return true;
}

bool ResourceBuffer::Assign(const uint8_t* body, size_t size) {
  bytes_.clear();
  if (size > kMaxBody) return false;
  bytes_.assign(static_cast<size_t>(kBodyBase) + size, 0);
  if (size != 0) memcpy(bytes_.data() + kBodyBase, body, size);
  return true;
}

bool ResourceBuffer::Contains(int64_t offset, size_t n) const {
  if (offset < 0) return false;
  uint64_t end = static_cast<uint64_t>(offset) + n;
  return end <= bytes_.size();
}

bool ResourceBuffer::ReadU8(int32_t offset, uint8_t* out) const {
  if (!Contains(offset, 1)) return false;
  *out = bytes_[static_cast<size_t>(offset)];
  return true;
}

bool ResourceBuffer::ReadU16(int32_t offset, uint16_t* out) const {
  if (!Contains(offset, 2)) return false;
  const uint8_t* p = bytes_.data() + offset;
  *out = static_cast<uint16_t>(p[0] | p[1] << 8);
  return true;
}

bool ResourceBuffer::ReadI16(int32_t offset, int16_t* out) const {
  uint16_t v;
  if (!ReadU16(offset, &v)) return false;
  *out = static_cast<int16_t>(v);
  return true;
}

bool ResourceBuffer::ReadI32(int32_t offset, int32_t* out) const {
  if (!Contains(offset, 4)) return false;
  const uint8_t* p = bytes_.data() + offset;
  uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  *out = static_cast<int32_t>(v);
  return true;
}

bool ResourceBuffer::ReadF64(int32_t offset, double* out) const {
  if (!Contains(offset, 8)) return false;
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | bytes_[static_cast<size_t>(offset) + i];
  static_assert(sizeof(double) == sizeof v);
  memcpy(out, &v, sizeof v);
  return true;
}

bool ResourceBuffer::ReadString(int32_t offset, std::string* out) const {
  if (!Contains(offset, 1)) return false;
  const uint8_t* start = bytes_.data() + offset;
  size_t room = bytes_.size() - static_cast<size_t>(offset);
  const void* nul = memchr(start, 0, room);
  if (nul == nullptr) return false;
  out->assign(reinterpret_cast<const char*>(start),
              static_cast<size_t>(static_cast<const uint8_t*>(nul) - start));
  return true;
}

}  // namespace kor
