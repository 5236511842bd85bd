// A table's declaration as this format keeps it: the owned, in-memory form
// of a FILE declaration (fields, MEMOs and BLOBs, keys) that the table
// definition stream writes, reads and compares, and that tools build from
// the stream of a file made elsewhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "files/file_decl.h"
#include "files/velocore/status.h"

namespace kor::vel {

using OptText = std::optional<std::string>;  // absent (null) differs from empty

struct FieldDecl {
  uint8_t type = 0;  // type code
  uint16_t offset = 0;
  OptText name;           // the label, e.g. "APP:NAME"
  uint16_t level = 0;     // GROUP depth (the stream's first descriptor value)
  uint16_t size = 0;      // bytes of the whole field (all elements of an array)
  uint16_t marker = 0;    // not 0: left out of the OEM conversion of records
  uint16_t elements = 1;  // array elements (the stream's further descriptor value)
  uint8_t digits = 0;     // DECIMAL, PDECIMAL
  uint8_t places = 0;
  uint16_t characters = 0;  // STRING, CSTRING, PSTRING: characters the field holds
  OptText picture;          // STRING, CSTRING, PSTRING: display picture
  bool operator==(const FieldDecl&) const = default;
};

// MEMO / BLOB flags as the stream stores them.
enum : uint16_t { kStreamBinary = 0x2, kStreamBlob = 0x4 };

struct MemoDecl {
  OptText label;
  OptText name;
  uint16_t size = 0;
  uint16_t flags = 0;  // kStreamBinary, kStreamBlob
  bool blob() const { return flags & kStreamBlob; }
  bool binary() const { return flags & kStreamBinary; }
  bool operator==(const MemoDecl&) const = default;
};

struct KeyComponent {
  uint16_t field = 0;  // 0-based position in the field list
  uint16_t flags = 0;  // low byte not 0: descending
  bool descending() const { return (flags & 0xFF) != 0; }
  bool operator==(const KeyComponent&) const = default;
};

struct KeyDecl {
  OptText name;            // external NAME
  OptText label;           // e.g. "APP:NAMEKEY"
  uint8_t attributes = 0;  // kKeyDup, kKeyOpt, kKeyNoCase, kKeyPrimary, kKeyOnDemand
  std::vector<KeyComponent> components;
  bool dup() const { return attributes & kKeyDup; }
  bool operator==(const KeyDecl&) const = default;
};

struct TableSchema {
  uint16_t version = 1;
  uint16_t record_length = 0;
  std::vector<FieldDecl> fields;
  std::vector<MemoDecl> memos;
  std::vector<KeyDecl> keys;
  bool operator==(const TableSchema&) const = default;
};

// The schema of a FILE declaration: fields in order (an array's size is all
// its elements), MEMO and BLOB declarations, keys with 0-based components.
TableSchema SchemaFromDescriptor(const FileDescriptor& file);
// Whether the format can store the table: record length and field sizes
// inside 16 bits and inside a record, at most kMaxKeys keys, components
// naming fields, key images and records within the tree's record size, type
// codes the driver accepts. 47 "Invalid Record Declaration" otherwise, with
// the reason in *why.
Status ValidateSchema(const TableSchema& schema, std::string* why);
// Bytes of the key value image of key k (the sum of its components' sizes).
uint32_t KeyImageSize(const TableSchema& schema, const KeyDecl& key);

}  // namespace kor::vel
