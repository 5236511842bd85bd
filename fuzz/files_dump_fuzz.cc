// Fuzz target of the file layer. The input builds a FILE declaration (its
// fields with their types, sizes, GROUP levels, arrays, OVER, pictures and
// the OEM attribute; a KEY over them), the record bytes, and a script of DOS
// driver statements run through the dispatcher on a scratch file with the
// trace's details on. Declarations are well formed, as the compiler emits
// them; record bytes and file contents are arbitrary. The dumps and the
// driver must never read outside the record or misbehave.
//
// Input layout: byte 0 the field count; 8 bytes per field; 4 bytes of key;
// 1 byte of file attributes and options; then the record bytes; 1 byte of
// open mode and trace; the rest is the statement script, 2 bytes a statement.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files/dos/dos_driver.h"
#include "files/driver.h"
#include "files/dump.h"
#include "files/file_decl.h"
#include "files/statements.h"
#include "files/trace.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os.h"
#include "runtime/values/string_stack.h"

namespace {

using namespace kor;

constexpr size_t kMaxFields = 12;
constexpr uint32_t kMaxRecord = 96;
const char* const kLabels[kMaxFields] = {"F:A", "F:B", "F:C", "F:D", "F:E", "F:F",
                                         "F:G", "F:H", "F:I", "F:J", "F:K", "F:L"};
const char* const kPictures[] = {nullptr, "@s8", "@n9.2", "@d6", "@t4", "@p##-##p", "@k##k"};

// Reads the input from the front; past its end every byte is 0.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  size_t Left() const { return size_ - pos_; }
  const uint8_t* Here() const { return data_ + pos_; }
  void Skip(size_t n) { pos_ += n < Left() ? n : Left(); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// The natural size of a value type, 0 for the sized ones.
uint32_t FixedSize(uint8_t type) {
  switch (type) {
    case kTypeByte: return 1;
    case kTypeShort:
    case kTypeUShort: return 2;
    case kTypeDate:
    case kTypeTime:
    case kTypeLong:
    case kTypeULong:
    case kTypeSReal:
    case kTypeBFloat4: return 4;
    case kTypeReal:
    case kTypeBFloat8: return 8;
    default: return 0;
  }
}

struct Declaration {
  std::vector<FieldDescriptor> fields;
  uint32_t dims[kMaxFields];
  int32_t components[4];
  uint32_t record_length = 0;
};

// One field from 8 bytes: type, level, size, places, dimension, offset, OVER,
// picture and marker; kept inside the record and consistent with the fields
// before it, as the compiler emits them.
FieldDescriptor MakeField(Input& in, size_t index, Declaration& d) {
  uint8_t b[8];
  for (uint8_t& byte : b) byte = in.Byte();
  FieldDescriptor f = {};
  f.type = static_cast<uint8_t>(b[0] % 32);  // 31: outside the type table
  if (f.type == kTypeEnd) f.type = kTypeString;
  uint8_t previous_level = index == 0 ? 0 : d.fields[index - 1].level;
  bool after_group = index > 0 && d.fields[index - 1].type == kTypeGroup;
  f.level = static_cast<uint8_t>(b[1] % (after_group ? previous_level + 2 : previous_level + 1));
  f.label = kLabels[index];
  uint32_t fixed = FixedSize(f.type);
  f.size = fixed != 0 ? fixed : 1 + b[2] % 24;
  if (f.type == kTypeDecimal || f.type == kTypePDecimal) {
    f.size = 1 + f.size % 9;
    f.digits = static_cast<uint8_t>(2 * f.size - 1);
    f.places = static_cast<uint8_t>(b[3] % (f.digits + 1));
  }
  uint8_t dim = b[4] % 4;
  d.dims[index] = dim;
  uint32_t elements = dim > 1 ? dim : 1;
  if (dim > 1) {
    f.dim_count = 1;
    f.dims = &d.dims[index];
  }
  uint32_t span = f.size * elements;
  f.offset = b[5] % (kMaxRecord - span + 1);
  if (index > 0 && b[6] % 3 == 0) f.over = 1 + b[6] / 3 % static_cast<int32_t>(index);
  if (f.type == kTypeString || f.type == kTypeCString || f.type == kTypePString) {
    f.picture = kPictures[(b[7] & 0x7F) % (sizeof kPictures / sizeof kPictures[0])];
  }
  f.marker = (b[7] & 0x80) != 0 ? 1 : 0;
  if (f.offset + span > d.record_length) d.record_length = f.offset + span;
  return f;
}

void MakeDeclaration(Input& in, Declaration& d) {
  size_t count = 1 + in.Byte() % kMaxFields;
  for (size_t i = 0; i < count; ++i) d.fields.push_back(MakeField(in, i, d));
  d.fields.push_back(FieldDescriptor{});  // kTypeEnd
  for (int32_t& c : d.components) {
    uint8_t b = in.Byte();
    c = 1 + b % static_cast<int32_t>(count);
    if (b & 0x80) c = -c;
  }
}

std::string ScratchName(const char* extension) {
  static const std::string base =
      std::string(P_tmpdir) + "/files_dump_fuzz_" + std::to_string(OsCurrentProcessId());
  return base + extension;
}

// One statement of the script on the open file.
void Statement(Input& in, FileDescriptor& file) {
  uint8_t op = in.Byte();
  uint32_t arg = in.Byte();
  switch (op % 16) {
    case 0: SETfile(&file); break;
    case 1: NEXT(&file); break;
    case 2: PREVIOUS(&file); break;
    case 3: ADD(&file); break;
    case 4: APPENDlen(&file, arg); break;
    case 5: PUT(&file); break;
    case 6: PUTfileptrlen(&file, arg * 7, arg % 5 == 0 ? 0 : arg); break;
    case 7: GETfileptrlen(&file, arg * 3, arg % 40); break;
    case 8: SETfileptr(&file, arg * 5); break;
    case 9: RECORDSfile(&file); break;
    case 10: EOFfile(&file); break;
    case 11: BYTES(&file); break;
    case 12: SEND(&file, arg & 1 ? "QUICKSCAN=ON" : "FILEBUFFERS=1"); break;
    case 13: SEND(&file, arg & 1 ? "QUICKSCAN=OFF" : "FILEBUFFERS=3"); break;
    case 14: POSITIONfile(&file); break;
    default: POINTERfile(&file); break;
  }
  while (StringStackDepth() > 0) PopString();
}

void RunDriver(Input& in, FileDescriptor& file) {
  static const std::string data = ScratchName(".dat");
  static const std::string log = ScratchName(".log");
  file.driver = &DosDriverEntry;
  file.name = data.c_str();
  CREATE(&file);
  uint8_t mode_byte = in.Byte();
  static const uint32_t kModes[] = {0x22, 0x12, 0x42, 0x32, 0x02, 0x40};
  OPEN(&file, kModes[mode_byte % 6]);
  if (file.fcb == nullptr || ERRORCODE() != 0) return;
  // The trace with its record dumps on one input in four: writing the log is
  // the slow part of a run.
  file.fcb->trace.on = (mode_byte & 0xC0) == 0xC0;
  file.fcb->trace.details = true;
  file.fcb->trace.file_name = log;
  ForgetDeclarationDumps();
  for (int n = 0; n < 8 && in.Left() > 0; ++n) Statement(in, file);
  CLOSE(&file);
  if (file.fcb != nullptr) {  // a CLOSE that failed leaves nothing behind
    delete file.fcb;
    file.fcb = nullptr;
  }
  if ((mode_byte & 0xC0) == 0xC0) std::remove(log.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  Declaration d;
  MakeDeclaration(in, d);
  uint8_t options = in.Byte();
  // Exactly the record's size: a sanitizer catches any read past it.
  std::vector<uint8_t> record(d.record_length, 0);
  size_t n = in.Left() < record.size() ? in.Left() : record.size();
  if (n > 0) std::memcpy(record.data(), in.Here(), n);
  in.Skip(n);

  FileDescriptor file = {};
  file.label = "F";
  file.label_length = 1;
  file.driver_name = "DOS";
  file.options = options & 1 ? "/QUICKSCAN=ON/FILEBUFFERS=2" : nullptr;
  file.attributes = options & 2 ? kFileOem : 0;
  file.fields = d.fields.data();
  file.record = record.data();
  file.record_length = d.record_length;
  KeyDescriptor key = {
      0, nullptr, "F:KEY", 5, 0, 0, 0, static_cast<uint8_t>(1 + options % 4), d.components, &file};
  KeyDescriptor* keys[] = {&key};
  file.keys = keys;
  file.key_count = 1;

  DumpDeclaration(file, "f.dat");
  DumpRecord(file);
  DumpKey(key);
  RunDriver(in, file);
  ClearError();
  return 0;
}
