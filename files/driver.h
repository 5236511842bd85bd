// The file-driver interface: the argument block of a driver call, the driver
// registration record, the interface each driver implements and the common
// frame that runs around every driver operation.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "files/control_block.h"
#include "files/file_decl.h"

namespace kor {

// The rest of a statement's arguments, as the driver entry receives them.
// Only the members the operation's argument form names are meaningful.
struct DriverArgs {
  KeyDescriptor* key = nullptr;  // key forms: the KEY descriptor
  uint32_t mode = 0;             // OPEN, SHARE: the access mode byte
  uint32_t pointer = 0;          // ptr forms: 1-based record pointer
  uint32_t length = 0;           // len forms: a length
  int32_t seconds = 0;           // sec forms: a time-out in seconds
  const char* text = nullptr;    // position string, SEND command, property name,
  uint32_t text_length = 0;      //   target name of COPY and RENAME
  const char* value = nullptr;   // SET_PROPERTY: the value
  uint32_t value_length = 0;
  int32_t index = 0;  // property index
};

// Driver registration record, one per driver, static. The capability lists
// are a count byte and that many operation codes, then a count byte and that
// many field type codes.
struct DriverRegistration {
  char name[21] = {};  // as written in DRIVER('...'), NUL-padded
  char module[13] = {};
  char notice[41] = {};
  char description[31] = {};
  DriverEntry entry = nullptr;
  uint8_t capabilities[60] = {};  // carried as data; nothing reads them
  const uint8_t* capability_lists = nullptr;
  char module2[13] = {};
  char index_word[6] = {};  // "INDEX"
  char key_word[4] = {};    // "KEY"
  char line_end[3] = {};    // "\r\n"
};

// Whether the record's capability list names the operation / the type.
bool SupportsOperation(const DriverRegistration& reg, int32_t op);
bool SupportsFieldType(const DriverRegistration& reg, int type);

// What a driver operation hands back besides its status.
struct DriverOutput {
  intptr_t value = 0;          // function value (counts, truth values, positions)
  std::string text;            // string result of the string operations
  std::string os_error_text;   // 90: the operating-system error text for the trace
  std::string driver_code;     // when set: the driver's own error code text ...
  std::string driver_message;  // ... and message, posted after the common code
};

// One driver. The frame (RunDriverCall) does everything that is common; the
// driver builds its control block and performs the operations it implements.
class FileDriver {
 public:
  virtual ~FileDriver() = default;
  virtual const DriverRegistration& Registration() const = 0;
  // Profile section and default log name of the driver's trace.
  virtual const char* TraceSection() const = 0;
  virtual const char* DefaultTraceLog() const = 0;
  // A new control block for the file (the frame fills the common part), or
  // null with *error set when it cannot be built.
  virtual std::unique_ptr<FileControlBlock> NewControlBlock(FileDescriptor* file,
                                                            int32_t* error) = 0;
  // Performs an operation that passed the state check and is in the driver's
  // capability list: 0, an error code, or -1 for a silent failure.
  virtual int32_t Perform(int32_t op, FileControlBlock& fcb, const DriverArgs& args,
                          DriverOutput& out) = 0;

  // SupportsOperation over this driver's record, from a bit set made on the
  // first call (the frame asks on every call).
  bool Supports(int32_t op) {
    if (!supported_known_) LearnSupported();
    return op >= 0 && op < 128 && (supported_[op / 64] >> (op % 64) & 1) != 0;
  }

 private:
  void LearnSupported();

  uint64_t supported_[2] = {0, 0};  // bit n: operation n
  bool supported_known_ = false;
};

// The common frame of one driver call (see driver.cc for the steps).
intptr_t RunDriverCall(FileDriver& driver, int32_t op, FileDescriptor* file, const void* args);

// The dispatcher: loads the driver entry from the FILE descriptor's first
// field and calls it.
intptr_t DispatchFileOp(int32_t op, FileDescriptor* file, const DriverArgs* args);

// ---- the open-file list ----

// Files with an open control block, most recently opened first.
void ForEachOpenFile(bool (*fn)(FileDescriptor* file, void* arg), void* arg);
size_t OpenFileCount();
// Closes every open file, most recently opened first (the shutdown step).
void CloseAllFiles();

// Initialisation entry of the file layer: 0 installs the shutdown step that
// closes open files, 1 closes whatever is still open and forgets the trace's
// file list. Programs list KOR_FILES_INIT_ENTRIES in their init table.
void InitFiles(int32_t arg);

}  // namespace kor

// clang-format off
#define KOR_FILES_INIT_ENTRIES \
  {16, &kor::InitFiles, &kor::InitFiles},
// clang-format on
