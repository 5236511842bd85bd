// Pages in memory and their stored form: record serialisation with shared
// prefixes, the run-length choice, child numbers of internal pages, the 0xB0
// fill, and the internal checks of reading and writing a page.
//
// Record serialisation (records in ascending key order), per record:
//   1. flags byte: 0x80 an explicit total length follows, 0x40 an explicit
//      key length follows, bits 0..5 the number of leading bytes (0..63)
//      shared with the previous record;
//   2. total length (2 bytes, little-endian) if 0x80, else the previous one's;
//   3. key length (2 bytes) if 0x40, else the previous one's;
//   4. the record's bytes after the shared prefix.
// The first record carries both lengths and shares nothing. The shared count
// is at most min(63, previous length, this length). A page's uncompressed
// size is 13 + 4 * count (internal pages) + the serialised records; the
// writer records its budget, 13 + 4 * count + the records' lengths + 5 per
// record, as the in-memory size.
//
// Stored form: the record area is run-length coded (rle.h) when the data has
// a run of 4 and the coded page, rounded up to 256, is smaller than the plain
// page rounded up to 256; else it is stored plain (stored size = uncompressed
// size). The page is filled with 0xB0 to its 256-byte boundary.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "files/velocore/format.h"
#include "files/velocore/record_list.h"
#include "files/velocore/status.h"

namespace kor::vel {

// One record held apart from any page: key bytes then data bytes.
struct Record {
  std::vector<uint8_t> bytes;
  uint16_t key_length = 0;

  std::span<const uint8_t> key() const { return {bytes.data(), key_length}; }
  std::span<const uint8_t> data() const {
    return {bytes.data() + key_length, bytes.size() - key_length};
  }
  bool operator==(const Record&) const = default;
};

Record MakeRecord(std::span<const uint8_t> key, std::span<const uint8_t> data);
// Copies a record out of its page into `out` (its room reused).
void CopyRecord(RecordRef from, Record* out);

struct Page {
  uint8_t level = 0;  // 0 leaf; else height above the leaves
  RecordList records;
  std::vector<uint32_t> children;  // internal pages: one per record

  bool leaf() const { return level == 0; }
  bool operator==(const Page&) const = default;
};

// The child of an internal page whose keys may hold `key`: the last
// separator at or below it, or the first child when every separator is above.
size_t ChildFor(const Page& internal, std::span<const uint8_t> key);
// Position of the first record of a page whose key is not below `key`.
size_t LowerBound(const Page& page, std::span<const uint8_t> key);

// The in-memory size the writer records (see the header comment).
uint32_t PageBudget(const Page& page);

// What a stored page's header says.
struct PageInfo {
  uint32_t own_offset = 0;
  uint16_t stored_size = 0;
  uint16_t plain_size = 0;
  uint16_t memory_size = 0;
  uint16_t count = 0;
  uint8_t level = 0;
  bool compressed() const { return stored_size < plain_size; }
};

// Writes a page: the result is k * 256 bytes with the own-offset field set
// to `own_offset`. Internal checks 1659 (serialised beyond the budget) and
// 1678 (more than 59 blocks).
Status EncodePage(const Page& page, uint32_t own_offset, std::vector<uint8_t>* out);
// Sets the own-offset field of a page EncodePage wrote: the rest of the
// stored form does not depend on where the page lies, so a page encoded
// before it had its place is written with its place set afterwards.
void SetOwnOffset(std::vector<uint8_t>* encoded, uint32_t own_offset);
// Blocks the encoded page will take (1..59; the encoding is the same as
// EncodePage's), or a check.
Status EncodedClass(const Page& page, uint32_t* blocks);
// Reads a page of `size` (= k * 256) bytes: internal checks 1477 (stored
// size not filling the class), 1602 (records not ending at the uncompressed
// size), 1163 (impossible lengths), 1164 (bad run-length data).
Status DecodePage(const uint8_t* data, uint32_t size, Page* page, PageInfo* info = nullptr);
// The header fields alone (no checks); `size` at least 13.
PageInfo ReadPageInfo(const uint8_t* data);

}  // namespace kor::vel
