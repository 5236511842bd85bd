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
    {.type = kTypeByte, .label = "B", .size = 1},
    {.type = kTypeShort, .label = "S", .offset = 1, .size = 2},
    {.type = kTypeUShort, .label = "U", .offset = 3, .size = 2},
    {.type = kTypeDate, .label = "D", .offset = 5, .size = 4},
    {.type = kTypeTime, .label = "T", .offset = 9, .size = 4},
    {.type = kTypeLong, .label = "L", .offset = 13, .size = 4},
    {.type = kTypeULong, .label = "UL", .offset = 17, .size = 4},
    {.type = kTypeSReal, .label = "SR", .offset = 21, .size = 4},
    {.type = kTypeReal, .label = "R", .offset = 25, .size = 8},
    {.type = kTypeDecimal, .digits = 5, .places = 2, .label = "DE", .offset = 33, .size = 3},
    {.type = kTypePDecimal, .digits = 5, .places = 2, .label = "PD", .offset = 36, .size = 3},
    {.type = kTypeBFloat8, .label = "BF", .offset = 39, .size = 8},
    {.type = kTypeGroup, .label = "G", .offset = 47, .size = 13},
    {.type = kTypeString, .level = 1, .label = "ST", .offset = 47, .size = 4},
    {.type = kTypeCString, .level = 1, .label = "CS", .offset = 51, .size = 3},
    {.type = kTypePString, .level = 1, .label = "PS", .offset = 54, .size = 3},
    {.type = kTypeByte,
     .level = 1,
     .label = "AR",
     .offset = 57,
     .size = 1,
     .dim_count = 1,
     .dims = kDims},
    {.type = kTypeEnd},
};
constexpr size_t kRecordSize = 60;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Exactly the record's size: a sanitizer catches any read past it.
  std::vector<uint8_t> record(kRecordSize, 0);
  std::memcpy(record.data(), data, size < kRecordSize ? size : kRecordSize);
  std::vector<uint8_t> memo(size > kRecordSize ? size - kRecordSize : 0);
  if (!memo.empty()) std::memcpy(memo.data(), data + kRecordSize, memo.size());
  MemoDescriptor m = {.label = "M",
                      .size = static_cast<uint32_t>(memo.size()),
                      .flags = kMemoBinary,
                      .buffer = memo.data()};
  MemoDescriptor* memos[] = {&m};
  FileDescriptor file = {.label = "F",
                         .label_length = 1,
                         .driver_name = "DOS",
                         .fields = kFields,
                         .record = record.data(),
                         .record_length = kRecordSize,
                         .memos = memos,
                         .memo_count = 1};
  KeyDescriptor key = {.label = "K",
                       .label_length = 1,
                       .component_count = 3,
                       .components = kComponents,
                       .file = &file};
  DumpRecord(file);
  DumpKey(key);
  return 0;
}
