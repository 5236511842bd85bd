// The file structure dump written to the trace logs: the declaration in the
// language's own syntax, the record buffer one field a line, and a key's
// components.
#pragma once

#include <cstdint>
#include <string>

#include "files/file_decl.h"

namespace kor {

// The FILE declaration, from the FILE line to the closing END and the empty
// line after it. `external_name` is the name the file was opened under (empty
// when there is none); the OWNER string itself never appears.
std::string DumpDeclaration(const FileDescriptor& file, const std::string& external_name);

// The record buffer: every MEMO and BLOB (hex dump of what is left after
// trailing blanks, or zero bytes for a BINARY memo), then one line per field,
// then an empty line.
std::string DumpRecord(const FileDescriptor& file);

// One field line per component of the key, then an empty line.
std::string DumpKey(const KeyDescriptor& key);

// The value text of one field read from a record buffer, as the record dump
// writes it after the colon ("" for types that show no value). Arrays show
// every element, separated by ",".
std::string FieldValueText(const FieldDescriptor& field, const uint8_t* record);

// How the runtime writes a REAL: at most 15 significant digits, no exponent
// for ordinary magnitudes, no trailing zeros.
std::string RealText(double value);

// A packed DECIMAL (or PDECIMAL) of `size` bytes written with `places`
// decimal places, e.g. "-123.45" (through the decimal stack).
std::string PackedDecimalText(const uint8_t* bytes, uint32_t size, int places, bool pdecimal);

}  // namespace kor
