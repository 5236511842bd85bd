// The velocore tool's text forms of field values and of CSV: every value
// type of a record as a text that reads back to the same bytes, and the
// CSV rows that carry them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "files/velocore/schema.h"

namespace velocore_tool {

// The text of one field of a record image: integers, DATE as its day count,
// TIME as its time value, reals with 17 digits, DECIMAL exactly with its
// places, strings without trailing blanks through their picture when they
// have one. Arrays join their elements with ';'.
std::string FieldText(const kor::vel::FieldDecl& f, const uint8_t* record);
// Stores a text into a field of a record image; false when it is not a value
// of the field's type (the field is left as it was).
bool StoreFieldText(const kor::vel::FieldDecl& f, const std::string& text, uint8_t* record);
// Whether a field is dumped (every field but a GROUP, whose bytes are its
// members').
bool Dumped(const kor::vel::FieldDecl& f);

std::string Hex(const std::vector<uint8_t>& bytes);
std::optional<std::vector<uint8_t>> FromHex(const std::string& text);

// CSV: fields separated by commas, quoted with '"' when they hold a comma,
// a quote or a line end; a quote inside is doubled.
std::string CsvRow(const std::vector<std::string>& cells);
// Reads one row from `text` at `*at` (moved past it); false at the end or
// for a quote that is never closed (*error set then).
bool ReadCsvRow(const std::string& text, size_t* at, std::vector<std::string>* cells,
                std::string* error);

}  // namespace velocore_tool
