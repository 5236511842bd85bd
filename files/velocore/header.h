// The file header (layout in format.h): its fields in memory, reading and
// writing the 512 bytes, and the size-class geometry it describes.
//
// Size classes. A page of k blocks (k = 1..59) lies in range k, which covers
// page numbers [start[k], end[k]) in steps of k. Ranges lie in increasing
// order of k; gaps between them are free space either neighbour may take.
// The end of the used file is 512 + 256 * end[k] of the highest non-empty
// range (end[0] when all are empty). This writer keeps every slot of a
// range in use (ranges are dense) and parks an empty range at the end of
// the range below it.
#pragma once

#include <array>
#include <cstdint>

#include "files/velocore/format.h"
#include "files/velocore/status.h"

namespace kor::vel {

struct Header {
  uint32_t journal_start = kHeaderSize;
  uint32_t journal_end = kHeaderSize;
  uint16_t reserved = 0;        // offsets 18..19, carried unchanged
  uint32_t record_counter = 0;  // last record number issued
  uint32_t change_counter = 0;
  uint32_t root = kNoPage;
  std::array<uint32_t, kClassCount> start{};
  std::array<uint32_t, kClassCount> end{};

  bool JournalArmed() const { return journal_start != journal_end; }
  // 512 + 256 * the end of the highest non-empty range.
  uint32_t UsedEnd() const;
  // The class whose range holds a page starting at `page`, or 0.
  uint32_t ClassOf(uint32_t page) const;
  // Number of pages in range k.
  uint32_t PagesIn(uint32_t k) const { return (end[k] - start[k]) / k; }
  bool operator==(const Header&) const = default;
};

// A fresh header for an empty file: no pages, no journal.
Header NewHeader();
// The 512 bytes of a header.
void EncodeHeader(const Header& h, uint8_t out[kHeaderSize]);
// Reads a header: a wrong own offset, size or signature gives 36 "Invalid
// Data File"; ranges out of order or with a size not a multiple of their
// class give internal check 1735 (ranges are checked only when `check_ranges`).
Status DecodeHeader(const uint8_t in[kHeaderSize], Header* h, bool check_ranges = true);
// The range rules above, for a header about to be written or just read.
bool RangesValid(const Header& h);

// Issues the next record number (table numbers too): the counter + 1, or
// internal check 1173 when its first byte would reach 0xFE.
Status IssueRecordNumber(Header* h, uint32_t* number);

}  // namespace kor::vel
