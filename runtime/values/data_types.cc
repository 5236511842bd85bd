// Readers and writers of the storage forms of the language's data types.
#include "runtime/values/data_types.h"

#include <string.h>

#include <charconv>
#include <cmath>

#include "runtime/pictures/dates.h"
#include "runtime/values/decimal_stack.h"

namespace kor {

namespace {

// Little-endian access, byte by byte so that it holds on any host.
inline uint32_t Get32(const uint8_t* b) {
  return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}
inline uint64_t Get64(const uint8_t* b) { return Get32(b) | uint64_t{Get32(b + 4)} << 32; }
inline void Put32(uint8_t* b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void Put64(uint8_t* b, uint64_t v) {
  Put32(b, static_cast<uint32_t>(v));
  Put32(b + 4, static_cast<uint32_t>(v >> 32));
}
inline const uint8_t* Bytes(const void* p) { return static_cast<const uint8_t*>(p); }
inline uint8_t* Bytes(void* p) { return static_cast<uint8_t*>(p); }

// ---- binary-format reals ----
// A value is stored as (sign, exponent e in 1..255, mantissa m of `bits`
// bits without the hidden 1); it stands for (2^bits + m) * 2^(e - 129 - bits).

constexpr int kExponentBias = 129;

double LoadBinaryFormat(uint64_t word, int bits) {
  int exponent = static_cast<int>(word >> (bits + 1));
  if (exponent == 0) return 0.0;
  uint64_t mantissa = (word & ((uint64_t{1} << bits) - 1)) | uint64_t{1} << bits;
  double v = std::ldexp(static_cast<double>(mantissa), exponent - kExponentBias - bits);
  return (word >> bits) & 1 ? -v : v;
}

// Encodes v with a `bits`-bit mantissa; false when it did not fit.
bool EncodeBinaryFormat(double v, int bits, uint64_t* word) {
  *word = 0;
  if (std::isnan(v)) return false;
  uint64_t sign = std::signbit(v) ? uint64_t{1} << bits : 0;
  uint64_t largest = uint64_t{0xFF} << (bits + 1) | ((uint64_t{1} << bits) - 1);
  if (std::isinf(v)) {
    *word = largest | sign;
    return false;
  }
  if (v == 0) return true;
  int e;
  double f = std::frexp(std::fabs(v), &e);  // f in [0.5, 1)
  // 53 significant bits as an integer, then rounded to bits + 1 (ties to even).
  uint64_t m = static_cast<uint64_t>(std::ldexp(f, 53));
  int drop = 53 - (bits + 1);
  if (drop > 0) {
    uint64_t half = uint64_t{1} << (drop - 1), rest = m & ((uint64_t{1} << drop) - 1);
    m >>= drop;
    if (rest > half || (rest == half && (m & 1))) ++m;
    if (m >> (bits + 1)) {  // rounded up to the next power of two
      m >>= 1;
      ++e;
    }
  } else {
    m <<= -drop;
  }
  int exponent = e - 1 + kExponentBias;  // value = 1.m * 2^(e - 1)
  if (exponent > 255) {
    *word = largest | sign;
    return false;
  }
  if (exponent < 1) return true;  // below the smallest magnitude: zero
  *word = uint64_t(exponent) << (bits + 1) | sign | (m & ((uint64_t{1} << bits) - 1));
  return true;
}

constexpr int32_t kHundredthsPerDay = 24 * 60 * 60 * 100;

// A double cut toward zero and wrapped to 64 bits; not-a-number gives 0.
uint64_t TruncateToBits(double v) {
  if (std::isnan(v)) return 0;
  v = std::trunc(v);
  if (v >= 9.2e18) return static_cast<uint64_t>(INT64_MAX);
  if (v <= -9.2e18) return static_cast<uint64_t>(INT64_MIN);
  return static_cast<uint64_t>(static_cast<int64_t>(v));
}

}  // namespace

EvaluationClass EvaluationClassOf(int type_code) {
  switch (type_code) {
    case kTypeByte:
    case kTypeShort:
    case kTypeUShort:
    case kTypeDate:
    case kTypeTime:
    case kTypeLong: return kClassInteger;
    case kTypeSReal:
    case kTypeReal:
    case kTypeBFloat4:
    case kTypeBFloat8: return kClassReal;
    case kTypeULong:
    case kTypeDecimal:
    case kTypePDecimal: return kClassDecimal;
    case kTypeString:
    case kTypeCString:
    case kTypePString:
    case kTypeGroup:
    case kTypeUntypedString: return kClassString;
    default: return kClassNone;
  }
}

const char* TypeCodeName(int type_code) {
  static const char* const kNames[31] = {
      "END",     "BYTE",  "SHORT",   "USHORT",   "DATE",     "TIME",    "LONG",    "ULONG",
      "SREAL",   "REAL",  "DECIMAL", "PDECIMAL", "DUM1",     "BFLOAT4", "BFLOAT8", "ANY",
      "TEMPUFO", "(17)",  "STRING",  "CSTRING",  "PSTRING",  "MEMO",    "GROUP",   "CLASS",
      "ARRAY",   "FIELD", "QUEUE",   "BLOB",     "STACKSTR", "PICTURE", "STDNUM"};
  return type_code >= 0 && type_code <= 30 ? kNames[type_code] : "UNKNOWN";
}

uint32_t FixedStorageSize(int type_code) {
  switch (type_code) {
    case kTypeByte: return 1;
    // clang-format off
    case kTypeShort: case kTypeUShort: return 2;
    case kTypeDate: case kTypeTime: case kTypeLong: case kTypeULong: case kTypeSReal:
    case kTypeBFloat4:
      return 4;
    case kTypeReal: case kTypeBFloat8: return 8;
    // clang-format on
    default: return 0;
  }
}

uint8_t LoadByte(const void* p) { return Bytes(p)[0]; }
int16_t LoadShort(const void* p) { return static_cast<int16_t>(LoadUShort(p)); }
uint16_t LoadUShort(const void* p) { return static_cast<uint16_t>(Bytes(p)[0] | Bytes(p)[1] << 8); }
int32_t LoadLong(const void* p) { return static_cast<int32_t>(Get32(Bytes(p))); }
uint32_t LoadULong(const void* p) { return Get32(Bytes(p)); }
float LoadSReal(const void* p) {
  uint32_t bits = Get32(Bytes(p));
  float v;
  memcpy(&v, &bits, 4);
  return v;
}
double LoadReal(const void* p) {
  uint64_t bits = Get64(Bytes(p));
  double v;
  memcpy(&v, &bits, 8);
  return v;
}

void StoreByte(void* p, uint8_t v) { Bytes(p)[0] = v; }
void StoreShort(void* p, int16_t v) { StoreUShort(p, static_cast<uint16_t>(v)); }
void StoreUShort(void* p, uint16_t v) {
  Bytes(p)[0] = static_cast<uint8_t>(v);
  Bytes(p)[1] = static_cast<uint8_t>(v >> 8);
}
void StoreLong(void* p, int32_t v) { Put32(Bytes(p), static_cast<uint32_t>(v)); }
void StoreULong(void* p, uint32_t v) { Put32(Bytes(p), v); }
void StoreSReal(void* p, float v) {
  uint32_t bits;
  memcpy(&bits, &v, 4);
  Put32(Bytes(p), bits);
}
void StoreReal(void* p, double v) {
  uint64_t bits;
  memcpy(&bits, &v, 8);
  Put64(Bytes(p), bits);
}

double LoadBFloat4(const void* p) { return LoadBinaryFormat(Get32(Bytes(p)), 23); }
double LoadBFloat8(const void* p) { return LoadBinaryFormat(Get64(Bytes(p)), 55); }

bool StoreBFloat4(void* p, double v) {
  uint64_t word;
  bool fits = EncodeBinaryFormat(v, 23, &word);
  Put32(Bytes(p), static_cast<uint32_t>(word));
  return fits;
}

bool StoreBFloat8(void* p, double v) {
  uint64_t word;
  bool fits = EncodeBinaryFormat(v, 55, &word);
  Put64(Bytes(p), word);
  return fits;
}

int32_t LoadDate(const void* p) {
  const uint8_t* b = Bytes(p);
  int day = b[0], month = b[1], year = b[2] | b[3] << 8;
  if (year > 9999) return kLastStoredDay;
  if (month < 1 || month > 12 || year < 1801 || day < 1 || day > DaysInMonth(month, year)) {
    return 0;  // also the all-zero "no date"
  }
  return DaysFromCivil(year, month, day);
}

void StoreDate(void* p, int32_t day_count) {
  uint8_t* b = Bytes(p);
  if (day_count < kFirstStoredDay) {
    memset(b, 0, 4);
    return;
  }
  if (day_count > kLastStoredDay) day_count = kLastStoredDay;
  DateParts parts;
  DateToParts(day_count, &parts);
  b[0] = static_cast<uint8_t>(parts.day);
  b[1] = static_cast<uint8_t>(parts.month);
  b[2] = static_cast<uint8_t>(parts.year);
  b[3] = static_cast<uint8_t>(parts.year >> 8);
}

int32_t LoadTime(const void* p) {
  const uint8_t* b = Bytes(p);
  int hundredths = b[0], seconds = b[1], minutes = b[2], hours = b[3];
  if ((hundredths | seconds | minutes | hours) == 0) return 0;
  if (hundredths > 99 || seconds > 59 || minutes > 59 || hours > 23) return 0;
  return ((hours * 60 + minutes) * 60 + seconds) * 100 + hundredths + 1;
}

void StoreTime(void* p, int32_t time) {
  uint8_t* b = Bytes(p);
  if (time <= 0) {
    memset(b, 0, 4);
    return;
  }
  int32_t t = (time - 1) % kHundredthsPerDay;
  b[0] = static_cast<uint8_t>(t % 100);
  b[1] = static_cast<uint8_t>(t / 100 % 60);
  b[2] = static_cast<uint8_t>(t / 6000 % 60);
  b[3] = static_cast<uint8_t>(t / 360000);
}

std::string_view LoadText(const void* p, int type_code, uint32_t size) {
  const char* c = static_cast<const char*>(p);
  switch (type_code) {
    case kTypeString:
    case kTypeGroup:
    case kTypeUntypedString: return {c, size};
    case kTypeCString: {
      if (size == 0) return {};
      const void* zero = memchr(c, 0, size - 1);
      return {c, zero ? static_cast<size_t>(static_cast<const char*>(zero) - c) : size - 1};
    }
    case kTypePString: {
      if (size == 0) return {};
      uint32_t length = Bytes(p)[0];
      return {c + 1, length < size - 1 ? length : size - 1};
    }
    default: return {};
  }
}

void StoreText(void* p, int type_code, uint32_t size, std::string_view text) {
  if (size == 0) return;
  char* c = static_cast<char*>(p);
  switch (type_code) {
    case kTypeString:
    case kTypeGroup:
    case kTypeUntypedString: {
      size_t n = text.size() < size ? text.size() : size;
      memmove(c, text.data(), n);
      memset(c + n, ' ', size - n);
      break;
    }
    case kTypeCString: {
      size_t n = text.size() < size - 1 ? text.size() : size - 1;
      memmove(c, text.data(), n);
      memset(c + n, 0, size - n);
      break;
    }
    case kTypePString: {
      size_t n = text.size() < size - 1 ? text.size() : size - 1;
      if (n > 255) n = 255;
      memmove(c + 1, text.data(), n);
      memset(c + 1 + n, 0, size - 1 - n);
      c[0] = static_cast<char>(n);
      break;
    }
    default: break;
  }
}

double LoadAsReal(const void* p, int type_code, uint32_t size, uint32_t places) {
  switch (type_code) {
    case kTypeByte: return LoadByte(p);
    case kTypeShort: return LoadShort(p);
    case kTypeUShort: return LoadUShort(p);
    case kTypeDate: return LoadDate(p);
    case kTypeTime: return LoadTime(p);
    case kTypeLong: return LoadLong(p);
    case kTypeULong: return LoadULong(p);
    case kTypeSReal: return LoadSReal(p);
    case kTypeReal: return LoadReal(p);
    case kTypeBFloat4: return LoadBFloat4(p);
    case kTypeBFloat8: return LoadBFloat8(p);
    case kTypeDecimal: PushDecimal(p, size, places); return PopDecimalAsReal();
    case kTypePDecimal: PushPDecimal(p, size, places); return PopDecimalAsReal();
    case kTypeString:
    case kTypeCString:
    case kTypePString:
    case kTypeGroup:
    case kTypeUntypedString: {
      std::string_view text = LoadText(p, type_code, size);
      return TextToReal(text.data(), text.size());
    }
    default: return 0;
  }
}

void StoreFromReal(void* p, int type_code, uint32_t size, uint32_t places, double v) {
  uint64_t bits = TruncateToBits(v);
  switch (type_code) {
    case kTypeByte: StoreByte(p, static_cast<uint8_t>(bits)); break;
    case kTypeShort:
    case kTypeUShort: StoreUShort(p, static_cast<uint16_t>(bits)); break;
    case kTypeLong: StoreULong(p, static_cast<uint32_t>(bits)); break;
    case kTypeULong:
      // A decimal type without places: rounded as a DECIMAL(n,0) is.
      PushRealDecimal(v);
      StoreULong(p, PopDecimalAsULong());
      break;
    case kTypeDate: StoreDate(p, static_cast<int32_t>(static_cast<uint32_t>(bits))); break;
    case kTypeTime: StoreTime(p, static_cast<int32_t>(static_cast<uint32_t>(bits))); break;
    case kTypeSReal: StoreSReal(p, static_cast<float>(v)); break;
    case kTypeReal: StoreReal(p, v); break;
    case kTypeBFloat4: StoreBFloat4(p, v); break;
    case kTypeBFloat8: StoreBFloat8(p, v); break;
    case kTypeDecimal:
      PushRealDecimal(v);
      PopDecimal(p, size, places);
      break;
    case kTypePDecimal:
      PushRealDecimal(v);
      PopPDecimal(p, size, places);
      break;
    case kTypeString:
    case kTypeCString:
    case kTypePString:
    case kTypeGroup:
    case kTypeUntypedString: {
      char text[32];
      std::to_chars_result r = std::to_chars(text, text + sizeof text, v);
      size_t n = r.ec == std::errc() ? static_cast<size_t>(r.ptr - text) : 0;
      StoreText(p, type_code, size, std::string_view(text, n));
      break;
    }
    default: break;
  }
}

}  // namespace kor
