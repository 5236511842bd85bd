// The shared test declaration.
#include "files/fixture_test.h"

#include <cstring>

namespace kor::testing {

namespace {

const uint32_t kCodesDims[] = {2};
const int32_t kNameKeyComponents[] = {14, -4};
const int32_t kLongIndexComponents[] = {6};

const FieldDescriptor kFields[] = {
    {.type = kTypeByte, .label = "EMP:BYTE", .offset = kOffByte, .size = 1},
    {.type = kTypeShort, .label = "EMP:SHORT", .offset = kOffShort, .size = 2},
    {.type = kTypeUShort, .label = "EMP:USHORT", .offset = kOffUShort, .size = 2},
    {.type = kTypeDate, .label = "EMP:DATE", .offset = kOffDate, .size = 4},
    {.type = kTypeTime, .label = "EMP:TIME", .offset = kOffTime, .size = 4},
    {.type = kTypeLong, .label = "EMP:LONG", .offset = kOffLong, .size = 4},
    {.type = kTypeULong, .label = "EMP:ULONG", .offset = kOffULong, .size = 4},
    {.type = kTypeSReal, .label = "EMP:SREAL", .offset = kOffSReal, .size = 4},
    {.type = kTypeReal, .label = "EMP:REAL", .offset = kOffReal, .size = 8},
    {.type = kTypeDecimal,
     .digits = 5,
     .places = 2,
     .label = "EMP:DECIMAL",
     .offset = kOffDecimal,
     .size = 3},
    {.type = kTypePDecimal,
     .digits = 5,
     .places = 2,
     .label = "EMP:PDECIMAL",
     .offset = kOffPDecimal,
     .size = 3},
    {.type = kTypeBFloat4, .label = "EMP:BFLOAT4", .offset = kOffBFloat4, .size = 4},
    {.type = kTypeBFloat8, .label = "EMP:BFLOAT8", .offset = kOffBFloat8, .size = 8},
    {.type = kTypeString, .label = "EMP:NAME", .offset = kOffName, .size = 10},
    {.type = kTypeCString, .label = "EMP:CODE", .offset = kOffCode, .size = 6},
    {.type = kTypePString, .label = "EMP:PNAME", .offset = kOffPName, .size = 6},
    {.type = kTypeGroup, .label = "EMP:ADDRESS", .offset = kOffStreet, .size = 14},
    {.type = kTypeString,
     .level = 1,
     .label = "EMP:STREET",
     .offset = kOffStreet,
     .size = 8,
     .picture = "@s8"},
    {.type = kTypeGroup, .level = 1, .label = "EMP:INNER", .offset = kOffZip, .size = 6},
    {.type = kTypeLong, .level = 2, .label = "EMP:ZIP", .offset = kOffZip, .size = 4},
    {.type = kTypeShort, .level = 2, .label = "EMP:FLAGS", .offset = kOffFlags, .size = 2},
    {.type = kTypeByte,
     .label = "EMP:CODES",
     .offset = kOffCodes,
     .size = 1,
     .dim_count = 1,
     .dims = kCodesDims},
    {.type = kTypeLong, .label = "EMP:WHOLE", .offset = kOffLong, .size = 4, .over = 6},
    {.type = kTypeEnd},
};

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

EveryTypeFile::EveryTypeFile() {
  std::memset(record, 0, sizeof record);
  std::memset(notes, ' ', sizeof notes);
  std::memset(picture, 0, sizeof picture);
  notes_memo = {.label = "EMP:NOTES", .name = "notes", .size = sizeof notes, .buffer = notes};
  picture_blob = {.label = "EMP:PIC",
                  .size = sizeof picture,
                  .flags = kMemoBlob | kMemoBinary,
                  .buffer = picture};
  memos[0] = &notes_memo;
  memos[1] = &picture_blob;
  file = {.label = "Emp",
          .label_length = 3,
          .driver_name = "DOS",
          .options = "/QUICKSCAN=ON",
          .name = "emp.dat",
          .owner = "secret",
          .attributes = kFileCreate | kFileEncrypt,
          .fields = kFields,
          .record = record,
          .record_length = kRecordSize,
          .keys = keys,
          .key_count = 2,
          .memos = memos,
          .memo_count = 2};
  name_key = {.label = "EMP:NAMEKEY",
              .label_length = 11,
              .attributes = kKeyDup | kKeyNoCase,
              .component_count = 2,
              .components = kNameKeyComponents,
              .file = &file};
  long_index = {.name = "idx",
                .label = "EMP:IDX",
                .label_length = 7,
                .attributes = kKeyOpt | kKeyIndex,
                .component_count = 1,
                .components = kLongIndexComponents,
                .file = &file};
  keys[0] = &name_key;
  keys[1] = &long_index;
}

void EveryTypeFile::FillSample() {
  record[kOffByte] = 10;
  record[kOffShort] = 0xFB;  // -5
  record[kOffShort + 1] = 0xFF;
  record[kOffUShort] = 0xFF;  // 65535
  record[kOffUShort + 1] = 0xFF;
  Put32(record + kOffDate, 15 | 3 << 8 | 1998u << 16);
  Put32(record + kOffTime, 25u << 24);  // 25 hours: not a valid time
  Put32(record + kOffLong, static_cast<uint32_t>(-123456));
  Put32(record + kOffULong, 4000000000u);
  float sreal = 1.5f;
  std::memcpy(record + kOffSReal, &sreal, 4);
  double real = 2.25;
  std::memcpy(record + kOffReal, &real, 8);
  const uint8_t decimal[] = {0xF1, 0x23, 0x45};  // -123.45
  std::memcpy(record + kOffDecimal, decimal, 3);
  const uint8_t pdecimal[] = {0x12, 0x34, 0x5F};  // +123.45
  std::memcpy(record + kOffPDecimal, pdecimal, 3);
  record[kOffBFloat8 + 6] = 0x40;  // 1.5 * 2^1 = 3
  record[kOffBFloat8 + 7] = 130;
  std::memcpy(record + kOffName, "Smith     ", 10);
  std::memcpy(record + kOffCode, "AB\0zz", 6);
  record[kOffPName] = 3;
  std::memcpy(record + kOffPName + 1, "xyzQQ", 5);
  std::memcpy(record + kOffStreet, "Main St ", 8);
  Put32(record + kOffZip, 12345);
  record[kOffFlags] = 7;
  record[kOffCodes] = 1;
  record[kOffCodes + 1] = 255;
  std::memcpy(notes, "Hello", 5);
  picture[0] = 1;
}

}  // namespace kor::testing
