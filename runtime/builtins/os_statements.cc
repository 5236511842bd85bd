// RunProgram and ListDirectory: the system statements on top of the
// operating-system layer, posting their failures to the error state.
#include "runtime/builtins/os_statements.h"

#include <string.h>

#include <string>

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os.h"
#include "runtime/pictures/dates.h"
#include "runtime/values/string_stack.h"

namespace kor {

namespace {

WindowLockHook g_release_lock = nullptr;
WindowLockHook g_take_lock = nullptr;
int32_t g_run_code = 0;

constexpr int32_t kRunFailed = -4;
constexpr size_t kMaxPattern = 260;
constexpr uint8_t kSpecialAttributes = kOsAttrHidden | kOsAttrSystem | kOsAttrDirectory;

std::string PopClipped() {
  ClipTop();
  return PopToStdString();
}

void StoreLong(char* record, uint32_t offset, int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) record[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

bool Selected(uint8_t attributes, uint32_t filter) {
  uint8_t special = attributes & kSpecialAttributes;
  return special == 0 || (special & ~filter) == 0;
}

}  // namespace

void SetWindowLockHooks(WindowLockHook release, WindowLockHook take) {
  g_release_lock = release;
  g_take_lock = take;
}

int32_t RunCode() { return g_run_code; }

void RunProgram(int32_t wait) {
  std::string command = PopClipped();
  g_run_code = 0;
  ClearError();
  if (wait != 0) {
    uint32_t error = OsRunAndWait(command.c_str(), g_release_lock, g_take_lock);
    if (error != kOsOk) {
      g_run_code = kRunFailed;
      PostError(static_cast<int32_t>(error));
    }
    return;
  }
  uint32_t result = OsLaunch(command.c_str());
  if (result <= 32) {
    g_run_code = kRunFailed;
    // 0 means the system ran out of memory: post its own error (300 + n).
    PostError(static_cast<int32_t>(result));
  }
}

int32_t DayCountFromPackedDate(uint16_t date) {
  if (date == 0) return 0;
  int32_t year = 1980 + (date >> 9), month = (date >> 5) & 15, day = date & 31;
  if (month < 1 || month > 12 || day < 1) return 0;
  return DaysFromCivil(year, month, day);
}

int32_t TimeFromPackedTime(uint16_t time) {
  int32_t hours = time >> 11, minutes = (time >> 5) & 63, seconds = (time & 31) * 2;
  return ((hours * 60 + minutes) * 60 + seconds) * 100 + 1;
}

void ListDirectory(Queue* table, uint32_t filter) {
  std::string pattern = PopClipped();
  ClearError();
  if (pattern.size() > kMaxPattern) pattern.resize(kMaxPattern);
  if (table == nullptr || table->record_size() != kDirEntrySize) {
    PostError(kErrInvalidRecordDeclaration);
    return;
  }
  OsFindData found;
  uint32_t error = kOsOk;
  OsFind find = OsFindFirst(pattern.c_str(), &found, &error);
  for (bool more = find != nullptr; more; more = OsFindNext(find, &found)) {
    if (!Selected(found.attributes, filter)) continue;
    char record[kDirEntrySize];
    memset(record + kDirNameOffset, ' ', kDirNameSize);
    const char* name = found.short_name[0] != '\0' ? found.short_name : found.name;
    size_t n = strlen(name);
    memcpy(record + kDirNameOffset, name, n < kDirNameSize ? n : kDirNameSize);
    StoreLong(record, kDirDateOffset, DayCountFromPackedDate(found.dos_date));
    StoreLong(record, kDirTimeOffset, found.dos_date == 0 ? 0 : TimeFromPackedTime(found.dos_time));
    StoreLong(record, kDirSizeOffset, static_cast<int32_t>(static_cast<uint32_t>(found.size)));
    record[kDirAttribOffset] = static_cast<char>(found.attributes);
    if (!table->Append(record)) {
      PostError(kErrInsufficientMemory);
      break;
    }
  }
  OsFindClose(find);
}

}  // namespace kor
