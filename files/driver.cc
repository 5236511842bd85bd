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

intptr_t RunDriverCall(FileDriver& driver, int32_t op, FileDescriptor* file, const void* argp) {
  if (op == kOpQUERY_VIEW) return 0;
  if (op == kOpDriverEntry) return reinterpret_cast<intptr_t>(driver.Registration().entry);
  static const DriverArgs kNoArgs;
  const DriverArgs& args = argp != nullptr ? *static_cast<const DriverArgs*>(argp) : kNoArgs;
  const OpStateRow* row = OpRow(op);
  bool is_bof_eof = op == kOpBOF || op == kOpEOF;

  bool created = false;
  if (file->fcb == nullptr) {
    int32_t error = 0;
    std::unique_ptr<FileControlBlock> fcb = driver.NewControlBlock(file, &error);
    if (fcb == nullptr) {
      // No control block: a string operation yields the empty string.
      if (HasStringResult(op)) PushDriverString(std::string());
      if (error == 0) error = 8;
      if (row != nullptr && (row->kind & kKindClearsError) != 0) ClearError();
      if (error != -1) {
        PostError(error);
        SetErrorFile(file);
      }
      return is_bof_eof ? 1 : 0;
    }
    InitControlBlock(fcb.get(), file);
    ReadTraceSettings(fcb.get(), driver.TraceSection(), driver.DefaultTraceLog());
    file->fcb = fcb.release();
    created = true;
  }
  FileControlBlock& fcb = *file->fcb;
  uint32_t start = fcb.trace.on ? TraceClock() : 0;
  KeyDescriptor* key = IsKeyForm(op) ? args.key : nullptr;

  DriverOutput out;
  int32_t result = StateCheck(op, fcb.state, key, args.text, args.text_length);
  if (result == 0) {
    if (!SupportsOperation(driver.Registration(), op)) {
      result = kErrUnsupported;
    } else if (op == kOpSEND && IsRegisterCommand(args)) {
      const DriverRegistration* reg = &driver.Registration();
      out.value = reinterpret_cast<intptr_t>(reg);
      out.text = std::to_string(static_cast<uintptr_t>(out.value));
    } else {
      result = driver.Perform(op, fcb, args, out);
    }
  }
  if (fcb.trace.on) WriteTrace(op, fcb, key, result, out, start);

  StateUpdateResult update = StateUpdate(op, result, &fcb.state, key, created);
  if (HasStringResult(op)) PushDriverString(out.text);
  fcb.last_error = result == -1 ? 0 : result;
  if (row != nullptr && (row->kind & kKindClearsError) != 0) ClearError();
  if (row != nullptr && (row->kind & kKindPositioning) != 0) fcb.last_position_op = op;
  fcb.result_flags |= update.result_flags;
  if ((op == kOpOPEN || op == kOpSHARE) && result == 0) NoteOpenFile(file);
  if (op == kOpCLOSE && result == 0) ForgetOpenFile(file);
  if (update.release) ReleaseBlock(file);

  if (result != 0 && result != -1) {
    PostError(result);
    SetErrorFile(file);
    if (!out.driver_code.empty()) {
      SetDriverError(out.driver_code.c_str(),
                     out.driver_message.empty() ? nullptr : out.driver_message.c_str());
    }
  }
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
