// Shared by the VELOCORE driver tests, the sharing child program and the
// benchmark: a FILE shaped like the project list (PATH STRING(80), NAME
// STRING(50), TAG SHORT, PRIORITY BYTE) with a unique NOCASE key on
// PATH+NAME, a DUP key on PRIORITY and, optionally, a DUP OPT key on NAME;
// each instance has its own record buffer and key descriptors, so two
// instances over one file are two FILEs of the program.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "files/driver.h"
#include "files/file_decl.h"
#include "files/velocore/velocore_driver.h"
#include "runtime/values/data_types.h"

namespace kor::vel::testing {

enum : uint32_t {
  kPathOffset = 0,
  kPathSize = 80,
  kNameOffset = 80,
  kNameSize = 50,
  kTagOffset = 130,
  kPriorityOffset = 132,
  kProjectRecord = 133,
};

inline const FieldDescriptor kProjectFields[] = {
    {.type = kTypeString, .label = "PRJ:PATH", .offset = kPathOffset, .size = kPathSize},
    {.type = kTypeString, .label = "PRJ:NAME", .offset = kNameOffset, .size = kNameSize},
    {.type = kTypeShort, .label = "PRJ:TAG", .offset = kTagOffset, .size = 2},
    {.type = kTypeByte, .label = "PRJ:PRIORITY", .offset = kPriorityOffset, .size = 1},
    {.type = kTypeEnd},
};
inline const int32_t kPathNameComponents[] = {1, 2};
inline const int32_t kPriorityComponents[] = {4};
inline const int32_t kNameComponents[] = {2};

struct ProjectFile {
  explicit ProjectFile(const std::string& name, bool with_name_key = true) : name_(name) {
    path_key = {.label = "PRJ:PATHKEY",
                .label_length = 11,
                .attributes = kKeyNoCase | kKeyPrimary,
                .component_count = 2,
                .components = kPathNameComponents,
                .file = &file};
    priority_key = {.label = "PRJ:PRIORITYKEY",
                    .label_length = 15,
                    .attributes = kKeyDup,
                    .component_count = 1,
                    .components = kPriorityComponents,
                    .file = &file};
    name_key = {.label = "PRJ:NAMEKEY",
                .label_length = 11,
                .attributes = kKeyDup | kKeyOpt,
                .component_count = 1,
                .components = kNameComponents,
                .file = &file};
    keys[0] = &path_key;
    keys[1] = &priority_key;
    keys[2] = &name_key;
    file = {.driver = &VelocoreDriverEntry,
            .label = "PRJ",
            .label_length = 3,
            .driver_name = "VELOCORE",
            .name = name_.c_str(),
            .fields = kProjectFields,
            .record = record,
            .record_length = kProjectRecord,
            .keys = keys,
            .key_count = with_name_key ? 3u : 2u};
    Clear();
  }
  ProjectFile(const ProjectFile&) = delete;
  ProjectFile& operator=(const ProjectFile&) = delete;
  ~ProjectFile() {
    if (file.fcb != nullptr) {
      DispatchFileOp(7, &file, nullptr);  // CLOSE
      delete file.fcb;
      file.fcb = nullptr;
    }
  }

  void Clear() { std::memset(record, ' ', kProjectRecord), Set(0, 0); }
  void Set(int16_t tag, uint8_t priority) {
    StoreShort(record + kTagOffset, tag);
    record[kPriorityOffset] = priority;
  }
  void Fill(const std::string& path, const std::string& name, int16_t tag, uint8_t priority) {
    Clear();
    StoreText(record + kPathOffset, kTypeString, kPathSize, path);
    StoreText(record + kNameOffset, kTypeString, kNameSize, name);
    Set(tag, priority);
  }
  std::string Path() const { return std::string(PathView()); }
  std::string Name() const { return std::string(Trimmed(kNameOffset, kNameSize)); }
  // The path as it lies in the record buffer, without its trailing blanks.
  std::string_view PathView() const { return Trimmed(kPathOffset, kPathSize); }
  int16_t Tag() const { return LoadShort(record + kTagOffset); }
  uint8_t Priority() const { return record[kPriorityOffset]; }

  uint8_t record[kProjectRecord];
  KeyDescriptor path_key, priority_key, name_key;
  KeyDescriptor* keys[3];
  FileDescriptor file;

 private:
  std::string_view Trimmed(uint32_t offset, uint32_t size) const {
    std::string_view s(reinterpret_cast<const char*>(record + offset), size);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
  }
  std::string name_;
};

}  // namespace kor::vel::testing
