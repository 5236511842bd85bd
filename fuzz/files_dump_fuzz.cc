// Feeds arbitrary bytes to the record and key dumps as the record buffer of
// a declaration with every value type: record bytes come from disk and must
// never make the dump read outside the record or misbehave.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "files/dump.h"
#include "files/file_decl.h"

namespace {

using namespace kor;

const uint32_t kDims[] = {3};
const int32_t kComponents[] = {1, -4, 14};

// Every value type at consecutive offsets; 60 bytes in all.
const FieldDescriptor kFields[] = {
    {kTypeByte, 0, 0, 0, "B", 0, 1, nullptr, 0, nullptr, 0, 0},
    {kTypeShort, 0, 0, 0, "S", 1, 2, nullptr, 0, nullptr, 0, 0},
    {kTypeUShort, 0, 0, 0, "U", 3, 2, nullptr, 0, nullptr, 0, 0},
    {kTypeDate, 0, 0, 0, "D", 5, 4, nullptr, 0, nullptr, 0, 0},
    {kTypeTime, 0, 0, 0, "T", 9, 4, nullptr, 0, nullptr, 0, 0},
    {kTypeLong, 0, 0, 0, "L", 13, 4, nullptr, 0, nullptr, 0, 0},
    {kTypeULong, 0, 0, 0, "UL", 17, 4, nullptr, 0, nullptr, 0, 0},
    {kTypeSReal, 0, 0, 0, "SR", 21, 4, nullptr, 0, nullptr, 0, 0},
    {kTypeReal, 0, 0, 0, "R", 25, 8, nullptr, 0, nullptr, 0, 0},
    {kTypeDecimal, 0, 5, 2, "DE", 33, 3, nullptr, 0, nullptr, 0, 0},
    {kTypePDecimal, 0, 5, 2, "PD", 36, 3, nullptr, 0, nullptr, 0, 0},
    {kTypeBFloat8, 0, 0, 0, "BF", 39, 8, nullptr, 0, nullptr, 0, 0},
    {kTypeGroup, 0, 0, 0, "G", 47, 13, nullptr, 0, nullptr, 0, 0},
    {kTypeString, 1, 0, 0, "ST", 47, 4, nullptr, 0, nullptr, 0, 0},
    {kTypeCString, 1, 0, 0, "CS", 51, 3, nullptr, 0, nullptr, 0, 0},
    {kTypePString, 1, 0, 0, "PS", 54, 3, nullptr, 0, nullptr, 0, 0},
    {kTypeByte, 1, 0, 0, "AR", 57, 1, nullptr, 1, kDims, 0, 0},
    {kTypeEnd, 0, 0, 0, nullptr, 0, 0, nullptr, 0, nullptr, 0, 0},
};
constexpr size_t kRecordSize = 60;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Exactly the record's size: a sanitizer catches any read past it.
  std::vector<uint8_t> record(kRecordSize, 0);
  std::memcpy(record.data(), data, size < kRecordSize ? size : kRecordSize);
  std::vector<uint8_t> memo(size > kRecordSize ? size - kRecordSize : 0);
  if (!memo.empty()) std::memcpy(memo.data(), data + kRecordSize, memo.size());
  MemoDescriptor m = {"M", nullptr, static_cast<uint32_t>(memo.size()), kMemoBinary, memo.data()};
  MemoDescriptor* memos[] = {&m};
  FileDescriptor file = {};
  file.label = "F";
  file.label_length = 1;
  file.driver_name = "DOS";
  file.fields = kFields;
  file.record = record.data();
  file.record_length = kRecordSize;
  file.memos = memos;
  file.memo_count = 1;
  KeyDescriptor key = {0, nullptr, "K", 1, 0, 0, 0, 3, kComponents, &file};
  DumpRecord(file);
  DumpKey(key);
  return 0;
}
