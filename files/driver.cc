// The common frame of a driver call, the dispatcher and the open-file list.
//
// One call, in order: kOpQUERY_VIEW and kOpDriverEntry answer at once; the
// control block is built when the FILE has none (reading the trace settings);
// the state check runs; the driver performs the operation when the check
// passed and the operation is in its capability list; the trace line is
// written; the state update runs; a string result is pushed; the result is
// stored, the error state cleared for kKindClearsError operations and the
// positioning code recorded; a block marked for release is released; a result
// other than 0 and -1 is posted with the FILE. BOF and EOF that fail return 1.
#include "files/driver.h"

#include <algorithm>
#include <cstring>
#include <list>
#include <new>

#include "files/dump.h"
#include "files/operations.h"
#include "files/state_check.h"
#include "files/string_result.h"
#include "files/trace.h"
#include "runtime/core/error_state.h"
#include "runtime/core/startup.h"
#include "runtime/os/ascii.h"
#include "runtime/os/os.h"

namespace kor {

namespace {

std::list<FileDescriptor*>& OpenFiles() {
  static std::list<FileDescriptor*> files;
  return files;
}

void ForgetOpenFile(FileDescriptor* file) { OpenFiles().remove(file); }

void NoteOpenFile(FileDescriptor* file) {
  ForgetOpenFile(file);
  OpenFiles().push_front(file);
}

bool IsRegisterCommand(const DriverArgs& args) {
  if (args.text == nullptr) return false;
  std::string_view text = TrimTrailingBlanks(std::string_view(args.text, args.text_length));
  return EqualIgnoringAsciiCase(text, "REGISTER");
}

void WriteTrace(int32_t op, FileControlBlock& fcb, const KeyDescriptor* key, int32_t result,
                const DriverOutput& out, uint32_t start) {
  if (op == kOpInternal87 || op == kOpDriverEntry || fcb.external_name.empty()) return;
  FileDescriptor* file = fcb.file;
  std::string text;
  if (fcb.trace.details && FirstDeclarationDump(file)) {
    text += DumpDeclaration(*file, fcb.external_name);
  }
  uint32_t elapsed = TraceClock() - start;
  text += FormatTraceLine(op, fcb, key, OsCurrentThreadId(), result, out.os_error_text, elapsed);
  if (fcb.trace.details && result == 0) {
    if (DumpsRecord(op) && file->record != nullptr) text += DumpRecord(*file);
    if (DumpsKey(op) && key != nullptr) text += DumpKey(*key);
  }
  AppendToTraceLog(fcb.trace.file_name, text);
}

// LOCK gives the exclusive right (kDenyOthers) for as long as it holds;
// UNLOCK takes back what LOCK gave, never what the open mode gave, so that
// EMPTY cannot cut a file that another open still shares.
void TrackLockRights(int32_t op, uint32_t state_before, FileControlBlock& fcb) {
  if (op == kOpLOCKfile || op == kOpLOCKfilesec) {
    if ((state_before & kDenyOthers) == 0) fcb.exclusive_from_lock = true;
  } else if (op == kOpUNLOCK && fcb.exclusive_from_lock) {
    fcb.state &= ~uint32_t{kDenyOthers};
    fcb.exclusive_from_lock = false;
  }
}

void ReleaseBlock(FileDescriptor* file) {
  FileControlBlock* fcb = file->fcb;
  file->fcb = nullptr;
  ForgetOpenFile(file);
  delete fcb;
}

}  // namespace

bool SupportsOperation(const DriverRegistration& reg, int32_t op) {
  const uint8_t* lists = reg.capability_lists;
  if (lists == nullptr) return false;
  for (uint8_t i = 0; i < lists[0]; ++i) {
    if (lists[1 + i] == op) return true;
  }
  return false;
}

bool SupportsFieldType(const DriverRegistration& reg, int type) {
  const uint8_t* lists = reg.capability_lists;
  if (lists == nullptr) return false;
  const uint8_t* types = lists + 1 + lists[0];
  for (uint8_t i = 0; i < types[0]; ++i) {
    if (types[1 + i] == type) return true;
  }
  return false;
}

void FileDriver::LearnSupported() {
  for (int32_t code = 0; code < kOpCount; ++code) {
    if (SupportsOperation(Registration(), code))
      supported_[code / 64] |= uint64_t{1} << (code % 64);
  }
  supported_known_ = true;
}

namespace {

// Builds the control block of a FILE that has none, reading its trace
// settings. When the driver cannot build one, the call ends here: a string
// operation yields the empty string and the failure is posted (-1 silently).
[[gnu::cold]] bool BuildBlock(FileDriver& driver, int32_t op, FileDescriptor* file) {
  int32_t error = 0;
  std::unique_ptr<FileControlBlock> fcb = driver.NewControlBlock(file, &error);
  if (fcb == nullptr) {
    if (HasStringResult(op)) PushDriverString(std::string());
    if (error == 0) error = kErrInsufficientMemory;
    const OpStateRow* row = OpRow(op);
    if (row != nullptr && (row->kind & kKindClearsError) != 0) ClearError();
    if (error != -1) {
      PostError(error);
      SetErrorFile(file);
    }
    return false;
  }
  InitControlBlock(fcb.get(), file);
  ReadTraceSettings(fcb.get(), driver.TraceSection(), driver.DefaultTraceLog());
  file->fcb = fcb.release();
  return true;
}

// The answer to SEND 'REGISTER': the registration record's address, as the
// value and as a decimal string.
[[gnu::cold]] void AnswerRegister(FileDriver& driver, DriverOutput& out) {
  out.value = reinterpret_cast<intptr_t>(&driver.Registration());
  out.text = std::to_string(static_cast<uintptr_t>(out.value));
}

// The driver's work when the state check passed.
int32_t Perform(FileDriver& driver, int32_t op, FileControlBlock& fcb, const DriverArgs& args,
                DriverOutput& out) {
  if (!driver.Supports(op)) return kErrUnsupported;
  if (op == kOpSEND && IsRegisterCommand(args)) {
    AnswerRegister(driver, out);
    return 0;
  }
  return driver.Perform(op, fcb, args, out);
}

// The open-file list follows successful OPEN, SHARE and CLOSE.
void NoteOpenList(int32_t op, FileDescriptor* file) {
  if (op == kOpOPEN || op == kOpSHARE) NoteOpenFile(file);
  if (op == kOpCLOSE) ForgetOpenFile(file);
}

// Posts a failure with the FILE, and the driver's own code and text if any.
[[gnu::cold]] void PostFailure(int32_t result, FileDescriptor* file, const DriverOutput& out) {
  PostError(result);
  SetErrorFile(file);
  if (!out.driver_code.empty()) {
    SetDriverError(out.driver_code.c_str(),
                   out.driver_message.empty() ? nullptr : out.driver_message.c_str());
  }
}

}  // namespace

intptr_t RunDriverCall(FileDriver& driver, int32_t op, FileDescriptor* file, const void* argp) {
  if (op == kOpQUERY_VIEW) return 0;
  if (op == kOpDriverEntry) return reinterpret_cast<intptr_t>(driver.Registration().entry);
  static const DriverArgs kNoArgs;
  const DriverArgs& args = argp != nullptr ? *static_cast<const DriverArgs*>(argp) : kNoArgs;
  bool is_bof_eof = op == kOpBOF || op == kOpEOF;

  bool created = file->fcb == nullptr;
  if (created && !BuildBlock(driver, op, file)) return is_bof_eof ? 1 : 0;
  FileControlBlock& fcb = *file->fcb;
  uint32_t start = fcb.trace.on ? TraceClock() : 0;
  KeyDescriptor* key = IsKeyForm(op) ? args.key : nullptr;

  DriverOutput out;
  int32_t result = StateCheck(op, fcb.state, key, args.text, args.text_length);
  if (result == 0) result = Perform(driver, op, fcb, args, out);
  if (fcb.trace.on) WriteTrace(op, fcb, key, result, out, start);

  uint32_t state_before = fcb.state;
  StateUpdateResult update = StateUpdate(op, result, &fcb.state, key, created);
  if (result == 0) TrackLockRights(op, state_before, fcb);
  if (HasStringResult(op)) PushDriverString(out.text);
  fcb.last_error = result == -1 ? 0 : result;
  const OpStateRow* row = OpRow(op);
  if (row != nullptr && (row->kind & kKindClearsError) != 0) ClearError();
  if (row != nullptr && (row->kind & kKindPositioning) != 0) fcb.last_position_op = op;
  fcb.result_flags |= update.result_flags;
  if (result == 0) NoteOpenList(op, file);
  if (update.release) ReleaseBlock(file);

  if (result != 0 && result != -1) PostFailure(result, file, out);
  if (is_bof_eof && result != 0) return 1;
  return result == 0 ? out.value : 0;
}

intptr_t DispatchFileOp(int32_t op, FileDescriptor* file, const DriverArgs* args) {
  if (file == nullptr || file->driver == nullptr) {
    ClearError();
    PostError(kErrUnsupported);
    return 0;
  }
  return file->driver(op, file, args);
}

void ForEachOpenFile(bool (*fn)(FileDescriptor* file, void* arg), void* arg) {
  // A copy: the callback may close the file it is given.
  std::list<FileDescriptor*> files = OpenFiles();
  for (FileDescriptor* file : files) {
    if (!fn(file, arg)) break;
  }
}

size_t OpenFileCount() { return OpenFiles().size(); }

void CloseAllFiles() {
  // Most recently opened first; a file whose CLOSE fails is dropped from the
  // list all the same, so that shutdown always ends.
  while (!OpenFiles().empty()) {
    FileDescriptor* file = OpenFiles().front();
    DispatchFileOp(kOpCLOSE, file, nullptr);
    ForgetOpenFile(file);
  }
}

}  // namespace kor
