// The language's data types: their type codes, evaluation classes, and the
// readers and writers of every storage form.
//
// Storage forms (little-endian unless stated):
//
//   TYPE      SIZE  LAYOUT
//   BYTE         1  unsigned
//   SHORT        2  signed
//   USHORT       2  unsigned
//   DATE         4  day (byte 0), month (byte 1), year (bytes 2-3); all zero
//                   = no date. Value: day count, day 4 = 1 January 1801.
//   TIME         4  hundredths (0), seconds (1), minutes (2), hours (3); all
//                   zero = no time. Value: hundredths since midnight + 1.
//   LONG         4  signed
//   ULONG        4  unsigned
//   SREAL        4  IEEE 754 single
//   REAL         8  IEEE 754 double
//   DECIMAL      L  packed, 2L-1 digits, sign in the first nibble (decimal_stack.h)
//   PDECIMAL     L  packed, 2L-1 digits, sign in the last nibble (decimal_stack.h)
//   BFLOAT4      4  binary format single: bytes 0-2 mantissa (23 bits, hidden
//                   leading 1), bit 7 of byte 2 the sign, byte 3 the exponent
//                   with bias 129 (value = 1.m * 2^(e-129)); exponent 0 = zero
//   BFLOAT8      8  the same with bytes 0-6 holding a 55-bit mantissa and the
//                   sign in bit 7 of byte 6, byte 7 the exponent
//   STRING       n  blank-padded
//   CSTRING      n  at most n-1 characters and a zero byte
//   PSTRING      n  a length byte, then at most n-1 characters
//   GROUP        n  the bytes of its fields, handled as a STRING of n
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/pictures/dates.h"

namespace kor {

// Type codes, shared with field descriptors, bound variables and the dump.
enum TypeCode : uint8_t {
  kTypeEnd = 0,  // ends a field list
  kTypeByte = 1,
  kTypeShort = 2,
  kTypeUShort = 3,
  kTypeDate = 4,
  kTypeTime = 5,
  kTypeLong = 6,
  kTypeULong = 7,
  kTypeSReal = 8,
  kTypeReal = 9,
  kTypeDecimal = 10,
  kTypePDecimal = 11,
  kTypeDum1 = 12,
  kTypeBFloat4 = 13,
  kTypeBFloat8 = 14,
  kTypeAny = 15,
  kTypeTempUfo = 16,
  kTypeString = 18,
  kTypeCString = 19,
  kTypePString = 20,
  kTypeMemo = 21,
  kTypeGroup = 22,
  kTypeClass = 23,
  kTypeArray = 24,
  kTypeField = 25,
  kTypeQueue = 26,
  kTypeBlob = 27,
  kTypeStackStr = 28,
  kTypePicture = 29,
  kTypeStdNum = 30,
  kTypeUntypedString = 31,  // string reference of an untyped (ANY) parameter
};

// The evaluation class decides which arithmetic a value takes part in.
enum EvaluationClass : uint8_t {
  kClassNone = 0,  // not a value type
  kClassInteger = 6,
  kClassReal = 9,
  kClassDecimal = 10,
  kClassString = 18,
};

EvaluationClass EvaluationClassOf(int type_code);
// The type's name as the trace and dump print it ("BYTE", ..., "UNKNOWN").
const char* TypeCodeName(int type_code);
// Storage size of the fixed-size types; 0 for the declared-size ones
// (DECIMAL, PDECIMAL, strings, GROUP) and for non-value codes.
uint32_t FixedStorageSize(int type_code);

// ---- integers and IEEE reals ----

uint8_t LoadByte(const void* p);
int16_t LoadShort(const void* p);
uint16_t LoadUShort(const void* p);
int32_t LoadLong(const void* p);
uint32_t LoadULong(const void* p);
float LoadSReal(const void* p);
double LoadReal(const void* p);
void StoreByte(void* p, uint8_t v);
void StoreShort(void* p, int16_t v);
void StoreUShort(void* p, uint16_t v);
void StoreLong(void* p, int32_t v);
void StoreULong(void* p, uint32_t v);
void StoreSReal(void* p, float v);
void StoreReal(void* p, double v);

// ---- binary-format reals ----

// Exact for BFLOAT4; BFLOAT8's 56 significant bits are rounded to the
// nearest double (ties to even). Exponent 0 reads as 0.
double LoadBFloat4(const void* p);
double LoadBFloat8(const void* p);
// Rounds to the nearest representable value (ties to even). The format's
// range is about 2.9e-39 to 1.7e38: smaller magnitudes store 0, larger ones
// the largest magnitude with the value's sign, and not-a-number stores 0.
// Returns false when the value did not fit (too large or not a number).
bool StoreBFloat4(void* p, double v);
bool StoreBFloat8(void* p, double v);

// ---- dates and times ----

inline constexpr int32_t kFirstStoredDay = kFirstDay;  // 1 January 1801
inline constexpr int32_t kLastStoredDay = kLastDay;    // 31 December 9999

// The day count of a stored date: 0 for no date and for an invalid stored
// date (month, day or a year before 1801); a year above 9999 reads as
// 31 December 9999.
int32_t LoadDate(const void* p);
// Stores a day count: below day 4 (including 0) stores no date; above
// 31 December 9999 stores that day.
void StoreDate(void* p, int32_t day_count);
// The time value of a stored time: 0 for no time and for invalid bytes.
// (00:00:00.00 is stored as all zero and therefore reads as no time.)
int32_t LoadTime(const void* p);
// Stores a time value: 0 or less stores no time; values past 23:59:59.99
// wrap into the day.
void StoreTime(void* p, int32_t time);

// ---- strings (STRING, CSTRING, PSTRING, GROUP) ----

// The characters a string field holds: all n bytes of a STRING or GROUP, up
// to the zero byte (at most n-1) of a CSTRING, the counted text (at most n-1)
// of a PSTRING. Empty for other types.
std::string_view LoadText(const void* p, int type_code, uint32_t size);
// Writes text into a string field: STRING and GROUP are cut or blank-padded;
// CSTRING keeps at most n-1 characters and zero-fills the rest; PSTRING
// keeps at most n-1 (and at most 255) characters after its length byte and
// zero-fills the rest. A field of size 0 is left alone.
void StoreText(void* p, int type_code, uint32_t size, std::string_view text);

// ---- any value type through REAL ----

// The value of a field of any value type as a REAL: integers, dates and
// times as their numbers, decimals exactly rounded, strings read as number
// text. Non-value codes give 0.
double LoadAsReal(const void* p, int type_code, uint32_t size, uint32_t places);
// Stores a REAL into a field of any value type: integer types take the value
// cut toward zero and wrapped to their width (not-a-number gives 0), DATE and
// TIME as above, decimals (ULONG too, with no places) rounded half up to their
// places, reals rounded,
// strings the shortest text that reads back as the same REAL.
void StoreFromReal(void* p, int type_code, uint32_t size, uint32_t places, double v);

}  // namespace kor
