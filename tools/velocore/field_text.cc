// Field values as text and CSV rows (see field_text.h).
#include "tools/velocore/field_text.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/pictures/format.h"
#include "runtime/values/data_types.h"
#include "runtime/values/decimal_stack.h"

namespace velocore_tool {

using kor::vel::FieldDecl;

namespace {

std::string DecimalText(const uint8_t* p, uint32_t size, uint32_t places) {
  std::string digits;
  for (uint32_t i = 0; i < size; ++i) {
    if (i > 0) digits += char('0' + (p[i] >> 4));
    digits += char('0' + (p[i] & 0x0F));
  }
  bool negative = (p[0] >> 4) != 0;
  while (digits.size() < places + 1) digits.insert(digits.begin(), '0');
  std::string whole = digits.substr(0, digits.size() - places);
  size_t lead = whole.find_first_not_of('0');
  whole = lead == std::string::npos ? "0" : whole.substr(lead);
  std::string out = (negative ? "-" : "") + whole;
  if (places) out += "." + digits.substr(digits.size() - places);
  return out;
}

bool Integer(const std::string& t, long long lo, long long hi, long long* v) {
  if (t.empty()) return false;
  char* end = nullptr;
  errno = 0;
  *v = std::strtoll(t.c_str(), &end, 10);
  return errno == 0 && *end == 0 && *v >= lo && *v <= hi;
}

std::string ElementText(const FieldDecl& f, uint32_t size, const uint8_t* p) {
  using namespace kor;
  char buf[64];
  switch (f.type) {
    case kTypeByte: return std::to_string(LoadByte(p));
    case kTypeShort: return std::to_string(LoadShort(p));
    case kTypeUShort: return std::to_string(LoadUShort(p));
    case kTypeLong: return std::to_string(LoadLong(p));
    case kTypeULong: return std::to_string(LoadULong(p));
    case kTypeDate: return std::to_string(LoadDate(p));
    case kTypeTime: return std::to_string(LoadTime(p));
    case kTypeSReal: std::snprintf(buf, sizeof buf, "%.9g", double(LoadSReal(p))); return buf;
    case kTypeReal: std::snprintf(buf, sizeof buf, "%.17g", LoadReal(p)); return buf;
    case kTypeDecimal: return DecimalText(p, size, f.places);
    case kTypeString:
    case kTypeCString:
    case kTypePString: {
      std::string text(LoadText(p, f.type, size));
      while (!text.empty() && text.back() == ' ') text.pop_back();
      if (f.picture && !f.picture->empty()) {
        text = FormatText(text, *f.picture);
        while (!text.empty() && text.back() == ' ') text.pop_back();
      }
      return text;
    }
    default: return Hex(std::vector<uint8_t>(p, p + size));
  }
}

bool StoreElement(const FieldDecl& f, uint32_t size, const std::string& t, uint8_t* p) {
  using namespace kor;
  long long v = 0;
  switch (f.type) {
    case kTypeByte:
      if (!Integer(t, 0, 255, &v)) return false;
      StoreByte(p, uint8_t(v));
      return true;
    case kTypeShort:
      if (!Integer(t, -32768, 32767, &v)) return false;
      StoreShort(p, int16_t(v));
      return true;
    case kTypeUShort:
      if (!Integer(t, 0, 65535, &v)) return false;
      StoreUShort(p, uint16_t(v));
      return true;
    case kTypeLong:
      if (!Integer(t, INT32_MIN, INT32_MAX, &v)) return false;
      StoreLong(p, int32_t(v));
      return true;
    case kTypeULong:
      if (!Integer(t, 0, UINT32_MAX, &v)) return false;
      StoreULong(p, uint32_t(v));
      return true;
    case kTypeDate:
      if (!Integer(t, 0, kLastStoredDay, &v)) return false;
      StoreDate(p, int32_t(v));
      return true;
    case kTypeTime:
      if (!Integer(t, 0, 8640000, &v)) return false;
      StoreTime(p, int32_t(v));
      return true;
    case kTypeSReal:
    case kTypeReal: {
      char* end = nullptr;
      double d = std::strtod(t.c_str(), &end);
      if (t.empty() || *end != 0) return false;
      if (f.type == kTypeReal) StoreReal(p, d);
      else StoreSReal(p, float(d));
      return true;
    }
    case kTypeDecimal: {
      std::string digits = t;
      if (digits.empty() || digits.find_first_not_of("-.0123456789") != std::string::npos)
        return false;
      PushTextDecimal(digits.c_str());
      PopDecimal(p, size, f.places);
      return true;
    }
    case kTypeString:
    case kTypeCString:
    case kTypePString: StoreText(p, f.type, size, t); return true;
    default: {
      auto bytes = FromHex(t);
      if (!bytes || bytes->size() != size) return false;
      std::memcpy(p, bytes->data(), size);
      return true;
    }
  }
}

}  // namespace

bool Dumped(const FieldDecl& f) { return f.type != kor::kTypeGroup; }

std::string FieldText(const FieldDecl& f, const uint8_t* record) {
  uint32_t n = f.elements ? f.elements : 1, size = f.size / n;
  std::string out;
  for (uint32_t i = 0; i < n; ++i) {
    if (i) out += ';';
    out += ElementText(f, size, record + f.offset + i * size);
  }
  return out;
}

bool StoreFieldText(const FieldDecl& f, const std::string& text, uint8_t* record) {
  uint32_t n = f.elements ? f.elements : 1, size = f.size / n;
  std::vector<std::string> parts;
  if (n == 1) {
    parts.push_back(text);
  } else {
    size_t at = 0;
    for (;;) {
      size_t next = text.find(';', at);
      parts.push_back(text.substr(at, next - at));
      if (next == std::string::npos) break;
      at = next + 1;
    }
  }
  if (parts.size() != n) return false;
  std::vector<uint8_t> copy(record + f.offset, record + f.offset + f.size);
  for (uint32_t i = 0; i < n; ++i) {
    if (!StoreElement(f, size, parts[i], copy.data() + i * size)) return false;
  }
  std::memcpy(record + f.offset, copy.data(), f.size);
  return true;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string s;
  for (uint8_t b : bytes) {
    s += kDigits[b >> 4];
    s += kDigits[b & 15];
  }
  return s;
}

std::optional<std::vector<uint8_t>> FromHex(const std::string& text) {
  if (text.size() % 2) return std::nullopt;
  std::vector<uint8_t> out;
  for (size_t i = 0; i < text.size(); i += 2) {
    char pair[3] = {text[i], text[i + 1], 0};
    char* end = nullptr;
    long v = std::strtol(pair, &end, 16);
    if (*end != 0 || !std::isxdigit(uint8_t(pair[0]))) return std::nullopt;
    out.push_back(uint8_t(v));
  }
  return out;
}

std::string CsvRow(const std::vector<std::string>& cells) {
  std::string row;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i) row += ',';
    const std::string& c = cells[i];
    if (c.find_first_of(",\"\r\n") == std::string::npos) {
      row += c;
      continue;
    }
    row += '"';
    for (char ch : c) {
      if (ch == '"') row += '"';
      row += ch;
    }
    row += '"';
  }
  return row + "\n";
}

bool ReadCsvRow(const std::string& text, size_t* at, std::vector<std::string>* cells,
                std::string* error) {
  cells->clear();
  if (*at >= text.size()) return false;
  std::string cell;
  bool quoted = false;
  size_t i = *at;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        cell += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        cell += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      cells->push_back(cell);
      cell.clear();
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      ++i;
      break;
    } else {
      cell += c;
    }
  }
  if (quoted) {
    *error = "a quoted field is never closed";
    return false;
  }
  cells->push_back(cell);
  *at = i;
  return true;
}

}  // namespace velocore_tool
