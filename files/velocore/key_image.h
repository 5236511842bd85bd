// Key value images: a key's components taken from a record image and
// transformed so that unsigned byte order is the declared order.
//
//   TYPE                      TRANSFORMATION
//   BYTE, others not listed   bytes as they are
//   USHORT ULONG DATE TIME    bytes reversed (big-endian)
//   SHORT LONG                reversed, then the first byte's top bit inverted
//   SREAL REAL                reversed; a clear sign bit is set, a set one
//                             complements the whole component
//   DECIMAL                   as it is; a sign nibble not 0 (negative) is
//                             cleared and the component complemented; then
//                             the first byte's top bit inverted
//   STRING GROUP              the bytes, then the key's collation
//   CSTRING                   characters up to the zero, zero bytes to the
//                             field's width, then the collation
//   PSTRING                   the length byte dropped: the characters (at
//                             most width - 1), zero bytes to the field's
//                             width, then the collation
// A descending component is complemented byte by byte afterwards. Every
// component takes its field's declared width, so images of one key all have
// the same length. Collation (string types): NOCASE turns characters to upper
// case, then each is mapped to its sort weight, both through the tables the
// file keeps in its collation record (the OEM forms for an OEM file), never
// the running program's.
#pragma once

#include <cstdint>
#include <vector>

#include "files/velocore/schema.h"
#include "runtime/locale/collation.h"

namespace kor::vel {

struct KeyCollation {
  const CollationRecord* tables;  // from the file's collation record
  bool oem;
};

// The image of one component of `size` bytes at `p`.
void AppendComponentImage(uint8_t type, const uint8_t* p, uint32_t size, bool descending,
                          bool nocase, const KeyCollation& collation, std::vector<uint8_t>* out);
// The image of a key over a stored record image; or appended to `out`.
std::vector<uint8_t> KeyImage(const TableSchema& schema, const KeyDecl& key, const uint8_t* record,
                              const KeyCollation& collation);
void AppendKeyImage(const TableSchema& schema, const KeyDecl& key, const uint8_t* record,
                    const KeyCollation& collation, std::vector<uint8_t>* out);
// An OPT key's test: every component empty (STRING and GROUP all blanks,
// CSTRING and PSTRING starting with a zero byte, others all zero bytes).
bool KeyComponentsEmpty(const TableSchema& schema, const KeyDecl& key, const uint8_t* record);

}  // namespace kor::vel
