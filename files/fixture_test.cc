// The shared test declaration.
#include "files/fixture_test.h"

#include <cstring>

namespace kor::testing {

namespace {

const uint32_t kCodesDims[] = {2};
const int32_t kNameKeyComponents[] = {14, -4};
const int32_t kLongIndexComponents[] = {6};

const FieldDescriptor kFields[] = {
    {kTypeByte, 0, 0, 0, "EMP:BYTE", kOffByte, 1, nullptr, 0, nullptr, 0, 0},
    {kTypeShort, 0, 0, 0, "EMP:SHORT", kOffShort, 2, nullptr, 0, nullptr, 0, 0},
    {kTypeUShort, 0, 0, 0, "EMP:USHORT", kOffUShort, 2, nullptr, 0, nullptr, 0, 0},
    {kTypeDate, 0, 0, 0, "EMP:DATE", kOffDate, 4, nullptr, 0, nullptr, 0, 0},
    {kTypeTime, 0, 0, 0, "EMP:TIME", kOffTime, 4, nullptr, 0, nullptr, 0, 0},
    {kTypeLong, 0, 0, 0, "EMP:LONG", kOffLong, 4, nullptr, 0, nullptr, 0, 0},
    {kTypeULong, 0, 0, 0, "EMP:ULONG", kOffULong, 4, nullptr, 0, nullptr, 0, 0},
    {kTypeSReal, 0, 0, 0, "EMP:SREAL", kOffSReal, 4, nullptr, 0, nullptr, 0, 0},
    {kTypeReal, 0, 0, 0, "EMP:REAL", kOffReal, 8, nullptr, 0, nullptr, 0, 0},
    {kTypeDecimal, 0, 5, 2, "EMP:DECIMAL", kOffDecimal, 3, nullptr, 0, nullptr, 0, 0},
    {kTypePDecimal, 0, 5, 2, "EMP:PDECIMAL", kOffPDecimal, 3, nullptr, 0, nullptr, 0, 0},
    {kTypeBFloat4, 0, 0, 0, "EMP:BFLOAT4", kOffBFloat4, 4, nullptr, 0, nullptr, 0, 0},
    {kTypeBFloat8, 0, 0, 0, "EMP:BFLOAT8", kOffBFloat8, 8, nullptr, 0, nullptr, 0, 0},
    {kTypeString, 0, 0, 0, "EMP:NAME", kOffName, 10, nullptr, 0, nullptr, 0, 0},
    {kTypeCString, 0, 0, 0, "EMP:CODE", kOffCode, 6, nullptr, 0, nullptr, 0, 0},
    {kTypePString, 0, 0, 0, "EMP:PNAME", kOffPName, 6, nullptr, 0, nullptr, 0, 0},
    {kTypeGroup, 0, 0, 0, "EMP:ADDRESS", kOffStreet, 14, nullptr, 0, nullptr, 0, 0},
    {kTypeString, 1, 0, 0, "EMP:STREET", kOffStreet, 8, "@s8", 0, nullptr, 0, 0},
    {kTypeGroup, 1, 0, 0, "EMP:INNER", kOffZip, 6, nullptr, 0, nullptr, 0, 0},
    {kTypeLong, 2, 0, 0, "EMP:ZIP", kOffZip, 4, nullptr, 0, nullptr, 0, 0},
    {kTypeShort, 2, 0, 0, "EMP:FLAGS", kOffFlags, 2, nullptr, 0, nullptr, 0, 0},
    {kTypeByte, 0, 0, 0, "EMP:CODES", kOffCodes, 1, nullptr, 1, kCodesDims, 0, 0},
    {kTypeLong, 0, 0, 0, "EMP:WHOLE", kOffLong, 4, nullptr, 0, nullptr, 6, 0},
    {kTypeEnd, 0, 0, 0, nullptr, 0, 0, nullptr, 0, nullptr, 0, 0},
};

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

EveryTypeFile::EveryTypeFile() {
  std::memset(record, 0, sizeof record);
  std::memset(notes, ' ', sizeof notes);
  std::memset(picture, 0, sizeof picture);
  notes_memo = {"EMP:NOTES", "notes", sizeof notes, 0, notes};
  picture_blob = {"EMP:PIC", nullptr, sizeof picture, kMemoBlob | kMemoBinary, picture};
  memos[0] = &notes_memo;
  memos[1] = &picture_blob;
  file = {nullptr,   "Emp",  3,           "DOS", "/QUICKSCAN=ON",
          "emp.dat", 0,      "secret",    0,     kFileCreate | kFileEncrypt,
          kFields,   record, kRecordSize, keys,  2,
          memos,     2,      nullptr};
  name_key = {0, nullptr, "EMP:NAMEKEY",      11,   0, kKeyDup | kKeyNoCase,
              0, 2,       kNameKeyComponents, &file};
  long_index = {0, "idx", "EMP:IDX", 7, 0, kKeyOpt | kKeyIndex, 0, 1, kLongIndexComponents, &file};
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
