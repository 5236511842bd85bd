// Reads an image's section table through a memory probe.
#include "runtime/os/image_sections.h"

namespace kor {

namespace {

bool Read16(const MemoryProbe& probe, uint64_t address, uint32_t* out) {
  uint64_t v = 0;
  if (address > UINTPTR_MAX || !probe.ReadWord(static_cast<uintptr_t>(address), 2, &v))
    return false;
  *out = static_cast<uint32_t>(v);
  return true;
}

bool Read32(const MemoryProbe& probe, uint64_t address, uint32_t* out) {
  uint64_t v = 0;
  if (address > UINTPTR_MAX || !probe.ReadWord(static_cast<uintptr_t>(address), 4, &v))
    return false;
  *out = static_cast<uint32_t>(v);
  return true;
}

// The section table's address and length, or false when the headers are not
// an image's.
bool SectionTable(const MemoryProbe& probe, uint64_t base, uint64_t* table, uint32_t* count) {
  uint32_t mark = 0, new_offset = 0, signature = 0, optional_size = 0;
  if (!Read16(probe, base, &mark) || mark != kImageOldMark) return false;
  if (!Read32(probe, base + kImageNewHeaderOffset, &new_offset)) return false;
  uint64_t nt = base + new_offset;
  if (!Read32(probe, nt, &signature) || signature != kImageNewSignature) return false;
  uint64_t file_header = nt + kImageSignatureSize;
  if (!Read16(probe, file_header + kImageSectionCountOffset, count) || *count > kImageMaxSections)
    return false;
  if (!Read16(probe, file_header + kImageOptionalSizeOffset, &optional_size)) return false;
  *table = file_header + kImageFileHeaderSize + optional_size;
  return true;
}

}  // namespace

ImageSection FindImageSection(uintptr_t image_base, uintptr_t address, const MemoryProbe& probe) {
  uint64_t table = 0;
  uint32_t count = 0;
  if (address < image_base || !SectionTable(probe, image_base, &table, &count)) return {0, 0};
  uint64_t rva = address - image_base;
  for (uint32_t i = 0; i < count; ++i) {
    uint64_t header = table + uint64_t{i} * kImageSectionHeaderSize;
    uint32_t virtual_size = 0, virtual_address = 0, raw_size = 0;
    if (!Read32(probe, header + kSectionVirtualSizeOffset, &virtual_size) ||
        !Read32(probe, header + kSectionVirtualAddressOffset, &virtual_address) ||
        !Read32(probe, header + kSectionRawSizeOffset, &raw_size))
      return {0, 0};
    uint64_t size = virtual_size > raw_size ? virtual_size : raw_size;
    if (rva >= virtual_address && rva - virtual_address < size)
      return {i + 1, static_cast<uint32_t>(rva - virtual_address)};
  }
  return {0, 0};
}

}  // namespace kor
