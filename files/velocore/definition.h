// The table definition stream: a table's declaration as a byte stream cut
// into 512-byte blocks, each kept as a 0xFA record. One routine walks the
// stream in all three directions: it writes it at CREATE, reads it from a
// file made elsewhere, and compares it with a declaration at OPEN.
//
// Values: bytes; 16-bit integers low byte first; strings as their characters
// and a 0 byte, an absent string as the bytes 0, 1 and an empty one as 0, 0.
//   1. version (1), record length, field count, MEMO/BLOB count, key count
//   2. per field: type (1), offset (2), name, level (2), size (2),
//      marker (2), elements (2); DECIMAL and PDECIMAL: digits (1), places
//      (1); STRING, CSTRING, PSTRING: characters (2), picture
//   3. per MEMO/BLOB: label, name, size (2), flags (2: 0x2 BINARY, 0x4 BLOB)
//   4. per key: name, label, attributes (1), component count (2), per
//      component the field's 0-based position (2) and flags (2; a low byte
//      not 0 = descending)
// This writer always writes version 1; a version-2 stream (made elsewhere
// for declarations that need it) is read with the same layout.
//
// Comparison tolerates a BLOB's size and the key attribute bit 0x10
// (PRIMARY); any other difference is 47 "Invalid Record Declaration".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/velocore/schema.h"
#include "files/velocore/status.h"

namespace kor::vel {

std::vector<uint8_t> WriteDefinition(const TableSchema& schema);
// Internal check 2328 for a stream that ends early or has trailing bytes or
// an unknown version.
Status ReadDefinition(const std::vector<uint8_t>& stream, TableSchema* schema);
// 0, 47 with the first difference in *why, or 2328 for a malformed stream.
Status CompareDefinition(const std::vector<uint8_t>& stream, const TableSchema& declared,
                         std::string* why);

}  // namespace kor::vel
