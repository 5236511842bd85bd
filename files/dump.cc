// Declaration, record and key dumps for the driver trace logs.
#include "files/dump.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "files/trace.h"
#include "runtime/pictures/format.h"
#include "runtime/values/data_types.h"
#include "runtime/values/decimal_stack.h"

namespace kor {

namespace {

constexpr int kFileColumn = 18;
constexpr int kRecordColumn = 20;
constexpr int kFieldColumn = 22;
constexpr size_t kMaxLabel = 1023;
constexpr size_t kMaxStringValue = 1024;

const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A label left-aligned in a column: padded to the width, or followed by one
// blank when it is as long as the width or longer.
std::string Column(const char* label, int width) {
  std::string s = label == nullptr ? std::string() : std::string(label);
  if (s.size() > kMaxLabel) s.resize(kMaxLabel);
  if (s.size() >= static_cast<size_t>(width)) {
    s += ' ';
  } else {
    s.append(static_cast<size_t>(width) - s.size(), ' ');
  }
  return s;
}

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* fmt, ...) {
  char buf[256];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  return buf;
}

std::string QuotedText(const char* text, size_t n) {
  if (n > kMaxStringValue) n = kMaxStringValue;
  return "'" + std::string(text, n) + "'";
}

// The characters of a string field, read as every reader reads them: a
// CSTRING without its zero byte gives its first n-1 characters.
std::string_view StoredText(const FieldDescriptor& f, const uint8_t* p) {
  return LoadText(p, f.type, f.size);
}

std::string StringValue(const FieldDescriptor& f, const uint8_t* p) {
  std::string_view text = StoredText(f, p);
  if (f.picture != nullptr && f.picture[0] != '\0') {
    std::string shown = FormatText(text, f.picture);
    return QuotedText(shown.data(), shown.size());
  }
  return QuotedText(text.data(), text.size());
}

std::string ScalarValue(const FieldDescriptor& f, const uint8_t* p) {
  switch (f.type) {
    case kTypeByte: return Format("%02XH", p[0]);
    case kTypeShort: return Format("%d", LoadShort(p));
    case kTypeUShort: return Format("%u", LoadUShort(p));
    case kTypeLong: return Format("%ld", static_cast<long>(LoadLong(p)));
    case kTypeULong: return Format("%lu", static_cast<unsigned long>(LoadULong(p)));
    case kTypeSReal: return Format("%f", static_cast<double>(LoadSReal(p)));
    case kTypeReal: return RealText(LoadReal(p));
    case kTypeBFloat8: return RealText(LoadBFloat8(p));
    case kTypeDecimal:
    case kTypePDecimal: return PackedDecimalText(p, f.size, f.places, f.type == kTypePDecimal);
    case kTypeDate: {
      // The stored bytes as they are: day, month, then the 16-bit year.
      int day = p[0], month = p[1], year = LoadUShort(p + 2);
      long stored = static_cast<long>(LoadLong(p));
      if (day < 1 || day > 31 || month < 1 || month > 12) {
        return Format("Invalid date (%ld)", stored);
      }
      return Format("%02d %s %d (%ld)", day, kMonths[month - 1], year, stored);
    }
    case kTypeTime: {
      int hundredths = p[0], seconds = p[1], minutes = p[2], hours = p[3];
      long stored = static_cast<long>(LoadLong(p));
      if (seconds >= 60 || minutes >= 60 || hours >= 24) {
        return Format("Invalid time (%ld)", stored);
      }
      return Format("%02d:%02d:%02d.%02d (%ld)", hours, minutes, seconds, hundredths, stored);
    }
    case kTypeString:
    case kTypeCString:
    case kTypePString: return StringValue(f, p);
    default: return std::string();
  }
}

// Hex dump of a MEMO or BLOB's significant bytes, 16 a line.
std::string HexDump(const uint8_t* data, size_t n) {
  std::string out;
  for (size_t line = 0; line < n; line += 16) {
    out += "  ";
    std::string chars;
    for (size_t i = line; i < line + 16; ++i) {
      if (i < n) {
        out += Format("%02X ", data[i]);
        chars += (data[i] >= 32 && data[i] <= 126) ? static_cast<char>(data[i]) : '.';
      } else {
        out += "   ";
      }
    }
    out += " | " + chars + kTraceLineEnd;
  }
  return out;
}

const char* FieldLabel(const FileDescriptor& file, int32_t number) {
  if (number < 1 || static_cast<size_t>(number) > FieldCount(file)) return "";
  const char* label = file.fields[number - 1].label;
  return label == nullptr ? "" : label;
}

std::string FieldLine(const FieldDescriptor& f, const uint8_t* record) {
  std::string line = "  " + Format("%-18s", f.label == nullptr ? "" : f.label) + ":";
  line += FieldValueText(f, record);
  return line + kTraceLineEnd;
}

// ---- declaration dump ----

// "END" at a column.
std::string EndLine(int column) {
  return std::string(static_cast<size_t>(column), ' ') + "END" + kTraceLineEnd;
}

// The FILE line: label, driver and options, owner (never shown), name and
// the file attributes.
std::string FileLine(const FileDescriptor& file, const std::string& external_name) {
  std::string label = file.label == nullptr
                          ? std::string()
                          : std::string(file.label, static_cast<size_t>(file.label_length));
  std::string out = Column(label.c_str(), kFileColumn);
  const char* driver = file.driver_name == nullptr ? "" : file.driver_name;
  if (file.options != nullptr && file.options[0] != '\0') {
    out += Format("FILE,DRIVER(%s,'%s')", driver, file.options);
  } else {
    out += Format("FILE,DRIVER(%s)", driver);
  }
  if (file.owner != nullptr) out += ",OWNER(******)";
  if (!external_name.empty()) out += ",NAME('" + external_name + "')";
  if (file.attributes & kFileCreate) out += ",CREATE";
  if (file.attributes & kFileEncrypt) out += ",ENCRYPT";
  if (file.attributes & kFileReclaim) out += ",RECLAIM";
  return out + kTraceLineEnd;
}

// A KEY or INDEX line: its components with their directions, then its
// attributes and name.
std::string KeyLine(const FileDescriptor& file, const KeyDescriptor& key) {
  std::string key_label = key.label == nullptr
                              ? std::string()
                              : std::string(key.label, static_cast<size_t>(key.label_length));
  std::string out = Column(key_label.c_str(), kRecordColumn);
  out += (key.attributes & kKeyIndex) ? "INDEX(" : "KEY(";
  for (uint8_t c = 0; c < key.component_count; ++c) {
    int32_t component = key.components[c];
    if (c > 0) out += ',';
    out += component < 0 ? '-' : '+';
    out += FieldLabel(file, component < 0 ? -component : component);
  }
  out += ')';
  if (key.attributes & kKeyDup) out += ",DUP";
  if (key.attributes & kKeyOpt) out += ",OPT";
  if (key.attributes & kKeyNoCase) out += ",NOCASE";
  if (key.attributes & kKeyPrimary) out += ",PRIMARY";
  if (key.name != nullptr) out += std::string(",NAME(") + key.name + ")";
  return out + kTraceLineEnd;
}

std::string MemoLine(const MemoDescriptor& memo) {
  std::string out = Column(memo.label, kRecordColumn);
  out += (memo.flags & kMemoBlob) ? std::string("BLOB") : Format("MEMO(%u)", memo.size);
  if (memo.name != nullptr) out += std::string(",NAME(") + memo.name + ")";
  if (memo.flags & kMemoBinary) out += ",BINARY";
  return out + kTraceLineEnd;
}

// A field's type with its size, digits or picture.
std::string FieldType(const FieldDescriptor& f) {
  std::string out = FieldTypeName(f.type);
  if (f.type == kTypeDecimal || f.type == kTypePDecimal) {
    out += Format("(%u,%u)", f.digits, f.places);
  } else if (f.type == kTypeString || f.type == kTypeCString || f.type == kTypePString) {
    if (f.picture != nullptr && f.picture[0] != '\0') {
      out += Format("(@%s)", f.picture[0] == '@' ? f.picture + 1 : f.picture);
    } else {
      out += Format("(%u)", f.size);
    }
  }
  return out;
}

// A field's line, indented by its level: label, type, dimensions and the
// field it is declared over.
std::string FieldDeclarationLine(const FileDescriptor& file, const FieldDescriptor& f) {
  std::string out = Column(f.label, kFieldColumn + 2 * f.level) + FieldType(f);
  if (f.dim_count > 0) {
    out += ", DIM(";
    for (uint8_t d = 0; d < f.dim_count; ++d) {
      if (d > 0) out += ',';
      out += Format("%u", f.dims[d]);
    }
    out += ')';
  }
  if (f.over != 0) out += Format(", OVER(%s)", FieldLabel(file, f.over));
  return out + kTraceLineEnd;
}

// The RECORD and its fields; each GROUP's fields follow it one level deeper
// and end with an "END" at the GROUP's column.
std::string RecordLines(const FileDescriptor& file) {
  std::string out = std::string(kRecordColumn, ' ') + "RECORD" + kTraceLineEnd;
  std::string open_groups;  // the levels of the open GROUPs, innermost last
  auto close_groups_from = [&](int level) {
    while (!open_groups.empty() && static_cast<uint8_t>(open_groups.back()) >= level) {
      out += EndLine(kFieldColumn + 2 * static_cast<uint8_t>(open_groups.back()));
      open_groups.pop_back();
    }
  };
  size_t count = FieldCount(file);
  for (size_t i = 0; i < count; ++i) {
    const FieldDescriptor& f = file.fields[i];
    close_groups_from(f.level);
    out += FieldDeclarationLine(file, f);
    if (f.type == kTypeGroup) open_groups += static_cast<char>(f.level);
  }
  close_groups_from(0);
  return out + EndLine(kRecordColumn);
}

}  // namespace

std::string RealText(double value) {
  if (std::isnan(value) || std::isinf(value)) return Format("%g", value);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", value);
  std::string s = buf;
  if (s.find('e') == std::string::npos) return s;
  // Ordinary magnitudes are written out without an exponent.
  double magnitude = std::fabs(value);
  if (magnitude >= 1e-10 && magnitude < 1e15) {
    std::snprintf(buf, sizeof buf, "%.15f", value);
    s = buf;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  return s;
}

std::string PackedDecimalText(const uint8_t* bytes, uint32_t size, int places, bool pdecimal) {
  if (size == 0) return "0";
  if (places < 0) places = 0;
  if (pdecimal) {
    PushPDecimal(bytes, size, static_cast<uint32_t>(places));
  } else {
    PushDecimal(bytes, size, static_cast<uint32_t>(places));
  }
  std::string text = DecimalToText(places);
  DropDecimal();
  return text;
}

std::string FieldValueText(const FieldDescriptor& f, const uint8_t* record) {
  const uint8_t* p = record + f.offset;
  if (f.dim_count == 0) return ScalarValue(f, p);
  uint32_t elements = 1;
  for (uint8_t i = 0; i < f.dim_count; ++i) elements *= f.dims[i];
  std::string out;
  for (uint32_t i = 0; i < elements; ++i) {
    if (i > 0) out += ',';
    out += ScalarValue(f, p + static_cast<size_t>(i) * f.size);
  }
  return out;
}

std::string DumpDeclaration(const FileDescriptor& file, const std::string& external_name) {
  std::string out = FileLine(file, external_name);
  for (uint32_t k = 0; k < file.key_count; ++k) out += KeyLine(file, *file.keys[k]);
  for (uint32_t m = 0; m < file.memo_count; ++m) out += MemoLine(*file.memos[m]);
  out += RecordLines(file);
  out += EndLine(kFileColumn);
  out += kTraceLineEnd;
  return out;
}

std::string DumpRecord(const FileDescriptor& file) {
  std::string out;
  for (uint32_t m = 0; m < file.memo_count; ++m) {
    const MemoDescriptor& memo = *file.memos[m];
    out += Column(memo.label, kFileColumn) + kTraceLineEnd;
    size_t n = memo.buffer == nullptr ? 0 : memo.size;
    uint8_t pad = (memo.flags & kMemoBinary) ? 0 : ' ';
    while (n > 0 && memo.buffer[n - 1] == pad) --n;
    if (n > 0) out += HexDump(memo.buffer, n) + kTraceLineEnd;
  }
  size_t count = FieldCount(file);
  for (size_t i = 0; i < count; ++i) {
    const FieldDescriptor& f = file.fields[i];
    if (f.type == kTypeGroup) continue;  // its fields follow
    out += FieldLine(f, file.record);
  }
  out += kTraceLineEnd;
  return out;
}

std::string DumpKey(const KeyDescriptor& key) {
  std::string out;
  const FileDescriptor* file = key.file;
  if (file != nullptr) {
    size_t count = FieldCount(*file);
    for (uint8_t c = 0; c < key.component_count; ++c) {
      int32_t n = key.components[c] < 0 ? -key.components[c] : key.components[c];
      if (n >= 1 && static_cast<size_t>(n) <= count) {
        out += FieldLine(file->fields[n - 1], file->record);
      }
    }
  }
  out += kTraceLineEnd;
  return out;
}

}  // namespace kor
