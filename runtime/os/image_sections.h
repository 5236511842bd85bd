// Finds the section of a loaded executable image that holds an address, by
// reading the image's own headers where the loader mapped them:
//
//   image + 0x00       uint16 "MZ"            old executable header's mark
//   image + 0x3C       uint32 e_lfanew        offset of the new headers
//   new + 0x00         "PE\0\0"               signature
//   new + 0x04 + 2     uint16                 number of sections
//   new + 0x04 + 16    uint16                 size of the optional header
//   new + 0x18         optional header, then the section table:
//   section + 8        uint32 VirtualSize     size in memory
//   section + 12       uint32 VirtualAddress  offset from the image base
//   section + 16       uint32 SizeOfRawData   size in the file
//   (40 bytes per section; all integers little-endian)
//
// A section covers [base + VirtualAddress, + the larger of its two sizes).
// Every header byte is read through the probe, so headers that are not there
// or make no sense give "no section" instead of a fault.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/os/memory_probe.h"

namespace kor {

inline constexpr uint16_t kImageOldMark = 0x5A4D;           // "MZ"
inline constexpr uint32_t kImageNewSignature = 0x00004550;  // "PE\0\0"
inline constexpr uint32_t kImageNewHeaderOffset = 0x3C;
inline constexpr uint32_t kImageSignatureSize = 4;
// Within the file header that follows the signature.
inline constexpr uint32_t kImageSectionCountOffset = 2;
inline constexpr uint32_t kImageOptionalSizeOffset = 16;
inline constexpr uint32_t kImageFileHeaderSize = 20;
static_assert(kImageSignatureSize + kImageFileHeaderSize == 0x18, "optional header at new + 0x18");
// Within one section header.
inline constexpr uint32_t kSectionVirtualSizeOffset = 8;
inline constexpr uint32_t kSectionVirtualAddressOffset = 12;
inline constexpr uint32_t kSectionRawSizeOffset = 16;
inline constexpr uint32_t kImageSectionHeaderSize = 40;
static_assert(kSectionRawSizeOffset + 4 <= kImageSectionHeaderSize, "fields inside the header");
// More sections than the loader accepts mean the headers are not headers.
inline constexpr uint32_t kImageMaxSections = 96;

struct ImageSection {
  uint32_t number;  // 1-based; 0 = the address is in no section
  uint32_t offset;  // from the start of the section
};

ImageSection FindImageSection(uintptr_t image_base, uintptr_t address, const MemoryProbe& probe);

}  // namespace kor
