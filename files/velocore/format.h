// The on-disk facts of a Velocore data file, in one place: the units, the
// header and page layouts, the size classes and the record kinds. The code
// that reads and writes each structure sits beside its own header
// (header.h, page_codec.h, record_keys.h); this file only names the numbers.
//
// Units. A file is a 512-byte header followed by 256-byte blocks. Page
// number n designates file offset 512 + 256 * n. Header and page-header
// integers are little-endian; integers inside record keys are big-endian so
// that keys compare as unsigned byte strings.
//
// Header (offset 0, 512 bytes):
//   OFFSET SIZE  FIELD
//        0    4  the header's own offset, 0 (the header is written like a page)
//        4    2  the header's size, 512
//        6    4  journal start (file offset; == journal end when none is armed)
//       10    4  journal end (file offset after the last journal entry)
//       14    4  signature "vElO"
//       18    2  not interpreted; written as 0
//       20    4  record-number counter, BIG-endian: the last number issued
//       24    4  change counter, +1 per header written by a commit
//       28    4  root page number, 0xFFFFFFFF for an empty tree
//       32  240  range start[0..59], one page number per size class
//      272  240  range end[0..59] (exclusive)
//
// Page (k * 256 bytes, k = its size class 1..59):
//   OFFSET SIZE  FIELD
//        0    4  the page's file offset (512 + 256 * its number)
//        4    2  stored size, page header included
//        6    2  uncompressed size, page header included
//        8    2  in-memory size when written (an upper bound of the above)
//       10    2  record count
//       12    1  level: 0 leaf, otherwise internal (height above the leaves)
//       13  4*n  internal pages: one child page number per record
//    after       the record area, plain or run-length coded (page_codec.h)
// Bytes from the stored size to the end of the page are 0xB0.
#pragma once

#include <cstdint>

namespace kor::vel {

// ---- units ------------------------------------------------------------------
inline constexpr uint32_t kHeaderSize = 512;
inline constexpr uint32_t kBlockSize = 256;
// Every read and write is a whole number of cipher units.
inline constexpr uint32_t kCipherUnit = 64;
inline constexpr uint32_t kClassCount = 60;  // entry 0 belongs to no class
inline constexpr uint32_t kMaxClass = 59;
inline constexpr uint32_t kMaxPageBytes = kMaxClass * kBlockSize;  // 15,104
static_assert(kMaxPageBytes == 15104);
inline constexpr uint32_t kNoPage = 0xFFFFFFFF;
// Page numbers must keep 512 + 256 * n inside the 32-bit offset field.
inline constexpr uint32_t kMaxPageNumber = (0xFFFFFFFFu - kHeaderSize) / kBlockSize - kMaxClass;

inline constexpr int64_t PageOffset(uint32_t page) {
  return int64_t{kHeaderSize} + int64_t{kBlockSize} * page;
}

// ---- header -----------------------------------------------------------------
enum HeaderOffset : uint32_t {
  kHdrOwnOffset = 0,
  kHdrSize = 4,
  kHdrJournalStart = 6,
  kHdrJournalEnd = 10,
  kHdrSignature = 14,
  kHdrReserved = 18,
  kHdrRecordCounter = 20,
  kHdrChangeCounter = 24,
  kHdrRoot = 28,
  kHdrRangeStart = 32,
  kHdrRangeEnd = kHdrRangeStart + 4 * kClassCount,
  kHdrUsed = kHdrRangeEnd + 4 * kClassCount,
};
static_assert(kHdrRangeEnd == 272 && kHdrUsed == 512);
inline constexpr char kSignature[4] = {'v', 'E', 'l', 'O'};

// ---- page header --------------------------------------------------------------
enum PageOffsetField : uint32_t {
  kPgOwnOffset = 0,
  kPgStoredSize = 4,
  kPgPlainSize = 6,
  kPgMemorySize = 8,
  kPgCount = 10,
  kPgLevel = 12,
  kPgHeaderSize = 13,
};
inline constexpr uint8_t kPagePad = 0xB0;
// The writer budgets this much serialisation overhead per record (flags
// byte and both lengths).
inline constexpr uint32_t kRecordOverhead = 5;
// Record flags byte.
enum : uint8_t {
  kRecTotalLength = 0x80,
  kRecKeyLength = 0x40,
  kRecSharedMask = 0x3F,
};

// ---- record kinds (the byte after the 4-byte table number) --------------------
enum RecordKind : uint8_t {
  kKindData = 0xF3,        // + record number (4 BE)
  kKindStatistics = 0xF6,  // + 0xF3 or the key's number
  kKindDefinition = 0xFA,  // + block number (2 LE)
  kKindCollation = 0xFB,   // + 1
  kKindMemo = 0xFC,        // + record number (4 BE), memo number (1), sequence (2 BE)
};
inline constexpr uint8_t kTableNamePrefix = 0xFE;  // 0xFE + name, no table number
inline constexpr uint8_t kTransactionKey = 0xFF;   // the one-byte key of a pending transaction
inline constexpr uint8_t kCollationId = 1;
// Key numbers run 1..kMaxKeys so they never meet a record kind above.
inline constexpr uint32_t kMaxKeys = 0xF2;

inline constexpr uint32_t kMemoBlockBytes = 256;
inline constexpr uint32_t kDefinitionBlockBytes = 512;
inline constexpr uint32_t kCollationTableBytes = 1152;
// Largest record (key + data) the tree takes: two always fit on one page.
inline constexpr uint32_t kMaxRecordBytes = 7000;
static_assert(kPgHeaderSize + 2 * (4 + kRecordOverhead + kMaxRecordBytes) <= kMaxPageBytes);
// A page whose budget passes this is split; pages stay well inside a class
// so most changes keep their place.
inline constexpr uint32_t kSplitBytes = 4096;

// ---- encodings --------------------------------------------------------------------
inline uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t Get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint32_t Get32BE(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
inline void Put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline void Put32BE(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (24 - 8 * i));
}

}  // namespace kor::vel
