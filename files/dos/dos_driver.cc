// The DOS driver's operations inside the common frame, one small step per
// operation.
#include "files/dos/dos_driver.h"

#include <memory>

#include "files/driver.h"
#include "files/operations.h"
#include "files/state_check.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/os/ascii.h"

namespace kor {

namespace {

std::string ArgText(const char* text, uint32_t length) {
  if (text == nullptr) return std::string();
  return std::string(text, length);
}

// An argument text without its leading and trailing blanks.
std::string TrimmedArg(const char* text, uint32_t length) {
  return std::string(TrimBlanks(ArgText(text, length)));
}

// The 4-byte position string: the pointer, most significant byte first.
std::string PositionString(uint32_t pointer) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(pointer >> (24 - 8 * i));
  return s;
}

bool PositionFromString(const char* text, uint32_t length, uint32_t* pointer) {
  if (text == nullptr || length < 4) return false;
  const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
  *pointer = uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
  return true;
}

// COPY, RENAME and REMOVE report what the system says about the name, else 5.
int32_t NameError(uint32_t os_error) {
  if (os_error == kOsFileNotFound || os_error == kOsPathNotFound) {
    return static_cast<int32_t>(os_error);
  }
  return kErrAccessDenied;
}

int32_t Open(DosControlBlock& b, uint32_t mode) {
  if (b.external_name.empty()) return kErrInvalidFilename;
  OsHandle h = kOsNoHandle;
  uint32_t r = OsOpen(b.external_name.c_str(), mode, &h);
  if (r != 0) return DosSystemError(b, r);
  b.handle = h;
  b.os_position = -1;
  b.open_mode = mode;
  b.record_length = b.file->record_length;
  b.next = 1;
  b.last = 0;
  b.bytes_moved = 0;
  b.lock_count = 0;
  b.last_move = DosLastMove::kOther;
  uint32_t access = mode & kOsAccessMask;
  uint32_t share = mode & kOsShareMask;
  bool denies = (mode & 0x30) != 0;
  b.flags = 0;
  if (access == kOsReadOnly || access == 3) b.flags |= kDosReadOnly;
  // Writes take the lock whenever another open may write as well: deny
  // none, compatibility, and deny read (which still lets others write).
  if (!denies || share == kOsDenyRead) b.flags |= kDosLockWrites;
  if (denies) b.flags |= kDosQuickScan;
  uint32_t size = (share == kOsDenyAll || share == kOsDenyWrite) ? 1024 : 512;
  if (size < 2 * b.record_length) size = 2 * b.record_length;
  b.buffer_size = size;
  DosDropBuffer(b);
  if ((mode & 3) != 0) b.state |= kWriteAccess;
  if (denies) b.state |= kDenyOthers;
  int32_t e = DosRefreshSize(b);
  if (e != 0) {
    OsClose(b.handle);
    b.handle = kOsNoHandle;
    b.state &= ~uint32_t{kWriteAccess | kDenyOthers};
    return e;
  }
  DosApplyOptions(b);
  return 0;
}

int32_t Close(DosControlBlock& b) {
  while (b.lock_count > 0) DosUnlock(b);
  uint32_t r = b.handle == kOsNoHandle ? 0 : OsClose(b.handle);
  b.handle = kOsNoHandle;
  b.flags &= ~kDosCurrent;
  b.state &= ~uint32_t{kWriteAccess | kDenyOthers};
  return r == 0 ? 0 : DosSystemError(b, r);
}

// Copies the bytes of one file into a new file; no half copy is left behind.
uint32_t CopyBytes(const std::string& from, const std::string& to) {
  OsHandle in = kOsNoHandle, out = kOsNoHandle;
  uint32_t r = OsOpen(from.c_str(), kOsReadOnly | kOsDenyWrite, &in);
  if (r != 0) return r;
  r = OsCreate(to.c_str(), kOsCreateNormal, &out);
  if (r != 0) {
    OsClose(in);
    return r;
  }
  std::vector<uint8_t> chunk(64 * 1024);
  for (;;) {
    uint32_t got = 0, put = 0;
    r = OsRead(in, chunk.data(), static_cast<uint32_t>(chunk.size()), &got);
    if (r != 0 || got == 0) break;
    r = OsWrite(out, chunk.data(), got, &put);
    if (r == 0 && put < got) r = kOsDiskFull;
    if (r != 0) break;
  }
  OsClose(in);
  if (OsClose(out) != 0 && r == 0) r = kOsAccessDenied;
  if (r != 0) OsDelete(to.c_str());
  return r;
}

// COPY never overwrites an existing target (RENAME refuses one as well): the
// copy is made under a temporary name beside the target and renamed at the
// end, and the rename refuses a target that appeared meanwhile.
int32_t Copy(DosControlBlock& b, const std::string& target) {
  if (target.empty()) return kErrInvalidFilename;
  uint8_t attributes = 0;
  if (OsAttributes(target.c_str(), &attributes) == 0) return kErrAccessDenied;
  std::string temporary = target + ".$$$";
  uint32_t r = CopyBytes(b.external_name, temporary);
  if (r != 0) return NameError(r);
  r = OsRename(temporary.c_str(), target.c_str());
  if (r != 0) {
    OsDelete(temporary.c_str());
    return NameError(r);
  }
  return 0;
}

int32_t Previous(DosControlBlock& b) {
  int64_t length = b.record_length;
  if (b.last_move == DosLastMove::kSetFile) {
    if ((b.flags & kDosLockWrites) != 0 && (b.flags & kDosQuickScan) == 0) {
      int32_t r = DosRefreshSize(b);
      if (r != 0) return r;
    }
    b.next = b.file_size - length + 1;
  } else if (b.last_move == DosLastMove::kRead) {
    b.next = b.last - length + 1;
  }
  if (b.next < 1) {
    b.flags &= ~kDosCurrent;
    return kErrRecordNotAvailable;
  }
  int32_t r = DosRead(b, b.next - 1, b.record_length);
  if (r == 0) b.last_move = DosLastMove::kRead;
  return r;
}

// ---- operations on the file as a whole ----

int32_t Create(DosControlBlock& b) {
  if (b.external_name.empty()) return kErrInvalidFilename;
  OsHandle h = kOsNoHandle;
  uint32_t e = OsCreate(b.external_name.c_str(), kOsCreateNormal, &h);
  if (e != 0) return DosSystemError(b, e);
  OsClose(h);
  return 0;
}

int32_t CopyTo(DosControlBlock& b, const DriverArgs& args) {
  if (b.external_name.empty()) return kErrInvalidFilename;
  return Copy(b, TrimmedArg(args.text, args.text_length));
}

int32_t Rename(DosControlBlock& b, const DriverArgs& args) {
  if (b.external_name.empty()) return kErrInvalidFilename;
  std::string target = TrimmedArg(args.text, args.text_length);
  if (target.empty()) return kErrInvalidFilename;
  uint32_t e = OsRename(b.external_name.c_str(), target.c_str());
  return e == 0 ? 0 : NameError(e);
}

int32_t Remove(DosControlBlock& b) {
  if (b.external_name.empty()) return kErrInvalidFilename;
  uint32_t e = OsDelete(b.external_name.c_str());
  return e == 0 ? 0 : NameError(e);
}

int32_t Property(DosControlBlock& b, const DriverArgs& args, bool set, DriverOutput& out) {
  return DosProperty(b, ArgText(args.text, args.text_length),
                     ArgText(args.value, args.value_length), set, &out.text);
}

int32_t Flush(DosControlBlock& b) {
  uint32_t e = OsFlush(b.handle);
  return e == 0 ? 0 : DosSystemError(b, e);
}

// Cuts the file at a 0-based offset, under the rules of a write.
int32_t Cut(DosControlBlock& b, int64_t offset) {
  if ((b.flags & kDosReadOnly) != 0) return kErrAccessDenied;
  bool locked = (b.flags & kDosLockWrites) != 0;
  if (locked && DosLock(b, 500) != 0) return kErrAccessDenied;
  b.os_position = -1;
  uint32_t e = OsSeek(b.handle, offset, kOsSeekBegin, nullptr);
  if (e == 0) e = OsTruncate(b.handle);
  int32_t r = e == 0 ? 0 : DosSystemError(b, e);
  if (r == 0) {
    b.file_size = offset;
    DosDropBuffer(b);
    if (b.last >= offset) b.flags &= ~kDosCurrent;
  }
  if (locked) DosUnlock(b);
  return r;
}

// ---- positioning and reading ----

int32_t SetToStart(DosControlBlock& b) {
  b.next = 1;
  b.flags &= ~kDosCurrent;
  b.last_move = DosLastMove::kSetFile;
  return 0;
}

// SET(file, pointer): the next NEXT reads at the 1-based position (0 counts
// as 1).
int32_t SetToPointer(DosControlBlock& b, uint32_t pointer) {
  b.next = pointer == 0 ? 1 : pointer;
  b.flags &= ~kDosCurrent;
  b.last_move = DosLastMove::kOther;
  return 0;
}

// RESET(file, position string): SET to the pointer the string holds.
int32_t ResetToPosition(DosControlBlock& b, const DriverArgs& args) {
  uint32_t pointer = 0;
  if (!PositionFromString(args.text, args.text_length, &pointer)) return kErrRecordNotFound;
  return SetToPointer(b, pointer);
}

int32_t Next(DosControlBlock& b) {
  int32_t r = DosRead(b, b.next - 1, b.record_length);
  if (r == 0) {
    b.next = b.last + b.bytes_moved + 1;
    b.last_move = DosLastMove::kRead;
  }
  return r;
}

// GET(file, pointer[, length]): a length of 0 or beyond the record reads the
// whole record.
int32_t GetAt(DosControlBlock& b, uint32_t pointer, uint32_t length) {
  if (length == 0 || length > b.record_length) length = b.record_length;
  if (pointer == 0) return kErrRecordNotFound;
  return DosRead(b, int64_t{pointer} - 1, length);
}

// REGET(file, position string): the record at the pointer the string holds.
int32_t RegetAtPosition(DosControlBlock& b, const DriverArgs& args) {
  uint32_t pointer = 0;
  if (!PositionFromString(args.text, args.text_length, &pointer) || pointer == 0) {
    return kErrRecordNotFound;
  }
  return DosRead(b, int64_t{pointer} - 1, b.record_length);
}

// ---- writing ----

// ADD and APPEND of the record, or of its first `length` bytes.
int32_t Append(DosControlBlock& b, uint32_t length) {
  if (length > b.record_length) length = b.record_length;
  return DosWrite(b, b.file->record, length, true, 0);
}

// PUT: rewrites the record last moved.
int32_t PutCurrent(DosControlBlock& b) {
  if ((b.flags & kDosCurrent) == 0) return kErrRecordNotAvailable;
  return DosWrite(b, b.file->record, b.record_length, false, b.last);
}

// PUT(file, pointer[, length]): writes at the 1-based position; a length of
// 0 cuts the file there instead.
int32_t PutAt(DosControlBlock& b, uint32_t pointer, bool with_length, uint32_t length) {
  if (pointer == 0) return kErrRecordNotFound;
  int64_t offset = int64_t{pointer} - 1;
  if (with_length && length == 0) return Cut(b, offset);
  if (!with_length || length > b.record_length) length = b.record_length;
  return DosWrite(b, b.file->record, length, false, offset);
}

// ---- questions about the file ----

// A file shared without a deny mode may have grown or shrunk under us.
int32_t RefreshIfShared(DosControlBlock& b) {
  if ((b.flags & kDosLockWrites) != 0 && (b.flags & kDosQuickScan) == 0) {
    return DosRefreshSize(b);
  }
  return 0;
}

// POINTER(file): the 1-based position of the current record, 0 without one.
int64_t CurrentPointer(const DosControlBlock& b) {
  return (b.flags & kDosCurrent) ? b.last + 1 : 0;
}

int32_t CountRecords(DosControlBlock& b, DriverOutput& out) {
  int32_t r = RefreshIfShared(b);
  if (r != 0) return r;
  uint32_t length = b.record_length;
  out.value = length == 0 ? 0 : static_cast<intptr_t>(b.file_size / length);
  return 0;
}

int32_t AtEnd(DosControlBlock& b, DriverOutput& out) {
  int32_t r = RefreshIfShared(b);
  if (r != 0) return r;
  out.value = b.next - 1 >= b.file_size ? 1 : 0;
  return 0;
}

// One operation, each by its own step; what the driver does not know is
// unsupported.
int32_t Run(int32_t op, DosControlBlock& b, const DriverArgs& args, DriverOutput& out) {
  switch (op) {
    case kOpOPEN:
    case kOpSHARE: return Open(b, args.mode);
    case kOpCLOSE: return Close(b);
    case kOpCREATE: return Create(b);
    case kOpCOPY: return CopyTo(b, args);
    case kOpRENAME: return Rename(b, args);
    case kOpREMOVE: return Remove(b);
    case kOpNAME: out.text = b.external_name; return 0;
    case kOpSEND: out.text = DosCommand(b, ArgText(args.text, args.text_length)); return 0;
    case kOpSET_PROPERTY: return Property(b, args, true, out);
    case kOpGET_PROPERTY: return Property(b, args, false, out);
    case kOpSETfile: return SetToStart(b);
    case kOpSETfileptr: return SetToPointer(b, args.pointer);
    case kOpRESETfile: return ResetToPosition(b, args);
    case kOpNEXT: return Next(b);
    case kOpPREVIOUS: return Previous(b);
    case kOpGETfileptr: return GetAt(b, args.pointer, 0);
    case kOpGETfileptrlen: return GetAt(b, args.pointer, args.length);
    case kOpREGETfile: return RegetAtPosition(b, args);
    case kOpADD:
    case kOpAPPEND: return Append(b, b.record_length);
    case kOpADDfilelen:
    case kOpAPPENDlen: return Append(b, args.length);
    case kOpPUT: return PutCurrent(b);
    case kOpPUTfileptr: return PutAt(b, args.pointer, false, 0);
    case kOpPUTfileptrlen: return PutAt(b, args.pointer, true, args.length);
    case kOpPOINTERfile: out.value = CurrentPointer(b); return 0;
    case kOpPOSITIONfile:
      out.text = PositionString(static_cast<uint32_t>(CurrentPointer(b)));
      return 0;
    case kOpRECORDSfile: return CountRecords(b, out);
    case kOpBYTES: out.value = b.bytes_moved; return 0;
    case kOpEOF: return AtEnd(b, out);
    case kOpEMPTY: return Cut(b, 0);
    case kOpFLUSH: return Flush(b);
    case kOpLOCKfile: return DosLock(b, -1);
    case kOpLOCKfilesec: return DosLock(b, args.seconds < 0 ? 0 : args.seconds * 100);
    case kOpUNLOCK: DosUnlock(b); return 0;
    default: return kErrUnsupported;
  }
}

class DosDriver final : public FileDriver {
 public:
  const DriverRegistration& Registration() const override { return DosRegistration(); }
  const char* TraceSection() const override { return "QWDOS"; }
  const char* DefaultTraceLog() const override { return "DOS.LOG"; }

  std::unique_ptr<FileControlBlock> NewControlBlock(FileDescriptor* file, int32_t* error) override {
    auto b = std::unique_ptr<DosControlBlock>(new (std::nothrow) DosControlBlock);
    if (b == nullptr) {
      *error = kErrInsufficientMemory;
      return nullptr;
    }
    b->record_length = file->record_length;
    b->buffer_size = 512 < 2 * b->record_length ? 2 * b->record_length : 512;
    return b;
  }

  int32_t Perform(int32_t op, FileControlBlock& fcb, const DriverArgs& args,
                  DriverOutput& out) override {
    DosControlBlock& b = static_cast<DosControlBlock&>(fcb);
    int32_t r = Run(op, b, args, out);
    if (r == kErrFileSystemError && b.os_error != 0) {
      out.os_error_text = ErrorText(static_cast<int32_t>(kErrOsBase + b.os_error));
    }
    return r;
  }
};

}  // namespace

DosControlBlock::~DosControlBlock() {
  while (lock_count > 0) DosUnlock(*this);
  if (handle != kOsNoHandle) OsClose(handle);
}

namespace {
DosDriver g_dos_driver;  // no state of its own: constant-initialised
}  // namespace

intptr_t DosDriverEntry(int32_t op, FileDescriptor* file, const void* args) {
  return RunDriverCall(g_dos_driver, op, file, args);
}

}  // namespace kor
