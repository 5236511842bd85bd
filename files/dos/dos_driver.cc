// The DOS driver's operations inside the common frame.
#include "files/dos/dos_driver.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "files/driver.h"
#include "files/operations.h"
#include "files/state_check.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/os/ascii.h"

namespace kor {

namespace {

constexpr uint32_t kBufferUnit = 512;

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

void SetBufferUnits(DosControlBlock& b, long units) {
  if (units < 0) return;
  uint64_t size = static_cast<uint64_t>(units) * kBufferUnit;
  if (size < b.record_length) size = b.record_length;
  if (size > (uint64_t{1} << 30)) size = uint64_t{1} << 30;
  b.buffer_size = static_cast<uint32_t>(size);
  b.buffer.clear();
  b.buffer.shrink_to_fit();
  DosDropBuffer(b);
}

// A SEND command or a driver option; returns the current value.
std::string Command(DosControlBlock& b, const std::string& command) {
  std::string word = command;
  std::string value;
  bool setting = false;
  size_t eq = command.find('=');
  if (eq != std::string::npos) {
    word = command.substr(0, eq);
    value = TrimBlanks(std::string_view(command).substr(eq + 1));
    setting = true;
  }
  word = AsciiUpperText(TrimBlanks(word));
  if (word == "FILEBUFFERS") {
    if (setting) {
      char* end = nullptr;
      long units = std::strtol(value.c_str(), &end, 10);
      if (end != value.c_str() && *end == '\0') SetBufferUnits(b, units);
    }
    return std::to_string(b.buffer_size);
  }
  if (word == "QUICKSCAN") {
    if (setting) {
      std::string v = AsciiUpperText(value);
      if (v == "ON") b.flags |= kDosQuickScan;
      if (v == "OFF") b.flags &= ~kDosQuickScan;
      DosDropBuffer(b);
    }
    return (b.flags & kDosQuickScan) ? "ON" : "OFF";
  }
  return std::string();
}

void ApplyOptions(DosControlBlock& b) {
  size_t start = 0;
  const std::string& options = b.options;
  while (start < options.size()) {
    size_t end = options.find('/', start);
    if (end == std::string::npos) end = options.size();
    std::string_view option = TrimBlanks(std::string_view(options).substr(start, end - start));
    if (!option.empty()) Command(b, std::string(option));
    start = end + 1;
  }
}

int32_t Open(DosControlBlock& b, uint32_t mode) {
  if (b.external_name.empty()) return kErrInvalidFilename;
  OsHandle h = kOsNoHandle;
  uint32_t r = OsOpen(b.external_name.c_str(), mode, &h);
  if (r != 0) return DosSystemError(b, r);
  b.handle = h;
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
  if (!denies) b.flags |= kDosLockWrites;
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
  ApplyOptions(b);
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

int32_t Copy(DosControlBlock& b, const std::string& target) {
  if (target.empty()) return kErrInvalidFilename;
  OsHandle in = kOsNoHandle, out = kOsNoHandle;
  uint32_t r = OsOpen(b.external_name.c_str(), kOsReadOnly | kOsDenyWrite, &in);
  if (r != 0) return NameError(r);
  r = OsCreate(target.c_str(), kOsCreateNormal, &out);
  if (r != 0) {
    OsClose(in);
    return NameError(r);
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
  if (r != 0) {
    OsDelete(target.c_str());  // no half copy is left behind
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

int32_t Property(DosControlBlock& b, const DriverArgs& args, bool set, DriverOutput& out) {
  std::string name = AsciiUpperText(TrimBlanks(ArgText(args.text, args.text_length)));
  std::string value = TrimmedArg(args.value, args.value_length);
  if (name == "FILEBUFFERS" || name == "QUICKSCAN") {
    out.text = Command(b, set ? name + "=" + value : name);
    return 0;
  }
  if (set) return kErrUnsupported;  // unknown or read only
  if (name == "RECORDLENGTH") {
    out.text = std::to_string(b.file->record_length);
  } else if (name == "FILESIZE") {
    out.text = std::to_string(b.file_size);
  } else if (name == "NAME") {
    out.text = b.external_name;
  } else {
    return kErrUnsupported;
  }
  return 0;
}

class DosDriver final : public FileDriver {
 public:
  const DriverRegistration& Registration() const override { return DosRegistration(); }
  const char* TraceSection() const override { return "QWDOS"; }
  const char* DefaultTraceLog() const override { return "DOS.LOG"; }

  std::unique_ptr<FileControlBlock> NewControlBlock(FileDescriptor* file, int32_t* error) override {
    auto b = std::unique_ptr<DosControlBlock>(new (std::nothrow) DosControlBlock);
    if (b == nullptr) {
      *error = 8;  // "Insufficient Memory"
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

 private:
  static int32_t Run(int32_t op, DosControlBlock& b, const DriverArgs& args, DriverOutput& out) {
    FileDescriptor& file = *b.file;
    uint32_t length = b.record_length;
    switch (op) {
      case kOpOPEN:
      case kOpSHARE: return Open(b, args.mode);
      case kOpCLOSE: return Close(b);
      case kOpCREATE: {
        if (b.external_name.empty()) return kErrInvalidFilename;
        OsHandle h = kOsNoHandle;
        uint32_t e = OsCreate(b.external_name.c_str(), kOsCreateNormal, &h);
        if (e != 0) return DosSystemError(b, e);
        OsClose(h);
        return 0;
      }
      case kOpCOPY:
        if (b.external_name.empty()) return kErrInvalidFilename;
        return Copy(b, TrimmedArg(args.text, args.text_length));
      case kOpRENAME: {
        if (b.external_name.empty()) return kErrInvalidFilename;
        std::string target = TrimmedArg(args.text, args.text_length);
        if (target.empty()) return kErrInvalidFilename;
        uint32_t e = OsRename(b.external_name.c_str(), target.c_str());
        return e == 0 ? 0 : NameError(e);
      }
      case kOpREMOVE: {
        if (b.external_name.empty()) return kErrInvalidFilename;
        uint32_t e = OsDelete(b.external_name.c_str());
        return e == 0 ? 0 : NameError(e);
      }
      case kOpNAME: out.text = b.external_name; return 0;
      case kOpSEND: out.text = Command(b, ArgText(args.text, args.text_length)); return 0;
      case kOpSET_PROPERTY: return Property(b, args, true, out);
      case kOpGET_PROPERTY: return Property(b, args, false, out);

      case kOpSETfile:
        b.next = 1;
        b.flags &= ~kDosCurrent;
        b.last_move = DosLastMove::kSetFile;
        return 0;
      case kOpSETfileptr:
      case kOpRESETfile: {
        uint32_t pointer = args.pointer;
        if (op == kOpRESETfile && !PositionFromString(args.text, args.text_length, &pointer)) {
          return kErrRecordNotFound;
        }
        b.next = pointer == 0 ? 1 : pointer;
        b.flags &= ~kDosCurrent;
        b.last_move = DosLastMove::kOther;
        return 0;
      }
      case kOpNEXT: {
        int32_t r = DosRead(b, b.next - 1, length);
        if (r == 0) {
          b.next = b.last + b.bytes_moved + 1;
          b.last_move = DosLastMove::kRead;
        }
        return r;
      }
      case kOpPREVIOUS: return Previous(b);
      case kOpGETfileptr:
      case kOpGETfileptrlen: {
        uint32_t n = op == kOpGETfileptrlen ? args.length : 0;
        if (n == 0 || n > length) n = length;
        if (args.pointer == 0) return kErrRecordNotFound;
        return DosRead(b, int64_t{args.pointer} - 1, n);
      }
      case kOpREGETfile: {
        uint32_t pointer = 0;
        if (!PositionFromString(args.text, args.text_length, &pointer) || pointer == 0) {
          return kErrRecordNotFound;
        }
        return DosRead(b, int64_t{pointer} - 1, length);
      }

      case kOpADD:
      case kOpAPPEND: return DosWrite(b, file.record, length, true, 0);
      case kOpADDfilelen:
      case kOpAPPENDlen:
        return DosWrite(b, file.record, args.length > length ? length : args.length, true, 0);
      case kOpPUT:
        if ((b.flags & kDosCurrent) == 0) return kErrRecordNotAvailable;
        return DosWrite(b, file.record, length, false, b.last);
      case kOpPUTfileptr:
      case kOpPUTfileptrlen: {
        if (args.pointer == 0) return kErrRecordNotFound;
        int64_t offset = int64_t{args.pointer} - 1;
        if (op == kOpPUTfileptrlen && args.length == 0) return Cut(b, offset);
        uint32_t n = op == kOpPUTfileptrlen ? args.length : length;
        if (n > length) n = length;
        return DosWrite(b, file.record, n, false, offset);
      }

      case kOpPOINTERfile: out.value = (b.flags & kDosCurrent) ? b.last + 1 : 0; return 0;
      case kOpPOSITIONfile:
        out.text = PositionString((b.flags & kDosCurrent) ? static_cast<uint32_t>(b.last + 1) : 0);
        return 0;
      case kOpRECORDSfile: {
        int32_t r = RefreshIfShared(b);
        if (r != 0) return r;
        out.value = length == 0 ? 0 : static_cast<intptr_t>(b.file_size / length);
        return 0;
      }
      case kOpBYTES: out.value = b.bytes_moved; return 0;
      case kOpEOF: {
        int32_t r = RefreshIfShared(b);
        if (r != 0) return r;
        out.value = b.next - 1 >= b.file_size ? 1 : 0;
        return 0;
      }
      case kOpEMPTY: return Cut(b, 0);
      case kOpFLUSH: {
        uint32_t e = OsFlush(b.handle);
        return e == 0 ? 0 : DosSystemError(b, e);
      }
      case kOpLOCKfile: return DosLock(b, -1);
      case kOpLOCKfilesec: return DosLock(b, args.seconds < 0 ? 0 : args.seconds * 100);
      case kOpUNLOCK: DosUnlock(b); return 0;
      default: return kErrUnsupported;
    }
  }

  static int32_t RefreshIfShared(DosControlBlock& b) {
    if ((b.flags & kDosLockWrites) != 0 && (b.flags & kDosQuickScan) == 0) {
      return DosRefreshSize(b);
    }
    return 0;
  }

  // Cuts the file at a 0-based offset, under the rules of a write.
  static int32_t Cut(DosControlBlock& b, int64_t offset) {
    if ((b.flags & kDosReadOnly) != 0) return kErrAccessDenied;
    bool locked = (b.flags & kDosLockWrites) != 0;
    if (locked && DosLock(b, 500) != 0) return kErrAccessDenied;
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
};

}  // namespace

DosControlBlock::~DosControlBlock() {
  while (lock_count > 0) DosUnlock(*this);
  if (handle != kOsNoHandle) OsClose(handle);
}

intptr_t DosDriverEntry(int32_t op, FileDescriptor* file, const void* args) {
  static DosDriver driver;
  return RunDriverCall(driver, op, file, args);
}

}  // namespace kor
