// Reading, writing, locking and the read-ahead buffer of the DOS driver.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#include "files/dos/dos_driver.h"
#include "files/file_decl.h"
#include "files/state_check.h"
#include "runtime/core/error_codes.h"

namespace kor {

namespace {

// The lock byte: the file's first byte, shared by LOCK and by the writes of
// deny-none files.
constexpr uint64_t kLockOffset = 0;
constexpr uint64_t kLockLength = 1;
// How long a write or a read waits for another program's short write lock.
constexpr int32_t kWriteLockWait = 500;  // hundredths
constexpr auto kRetryPause = std::chrono::milliseconds(10);

uint32_t Hundredths() { return OsTickCount() / 10; }

bool LockHeldElsewhere(uint32_t os_error) {
  return os_error == kOsLockViolation || os_error == kOsSharingViolation;
}

// Reads at an offset, waiting out another program's write lock on the first
// byte for a while. The seek is left out when the handle is known to be there
// already (a sequential scan reads on from where the last read ended).
uint32_t ReadAt(DosControlBlock& b, int64_t offset, uint8_t* data, uint32_t length,
                uint32_t* done) {
  uint32_t started = 0;
  for (bool first = true;; first = false) {
    uint32_t r = b.os_position == offset ? 0 : OsSeek(b.handle, offset, kOsSeekBegin, nullptr);
    b.os_position = -1;
    if (r == 0) r = OsRead(b.handle, data, length, done);
    if (r == 0) {
      b.os_position = offset + *done;
      return 0;
    }
    if (!LockHeldElsewhere(r)) return r;
    if (first) started = Hundredths();
    if (Hundredths() - started >= static_cast<uint32_t>(kWriteLockWait)) return r;
    std::this_thread::sleep_for(kRetryPause);
  }
}

}  // namespace

int32_t DosSystemError(DosControlBlock& b, uint32_t os_error) {
  switch (os_error) {
    case 2:
    case 3:
    case 4:
    case 5:
    case 8: return static_cast<int32_t>(os_error);
    default: b.os_error = os_error; return kErrFileSystemError;
  }
}

int32_t DosRefreshSize(DosControlBlock& b) {
  int64_t size = 0;
  uint32_t r = OsSize(b.handle, &size);
  if (r != 0) return DosSystemError(b, r);
  if (size != b.file_size) DosDropBuffer(b);
  b.file_size = size;
  return 0;
}

void DosDropBuffer(DosControlBlock& b) {
  b.buffer_fill = 0;
  b.buffer_start = 0;
}

int32_t DosLock(DosControlBlock& b, int32_t wait_hundredths) {
  if (b.lock_count > 0) {
    ++b.lock_count;
    return 0;
  }
  uint32_t started = Hundredths();
  for (;;) {
    uint32_t r = OsLock(b.handle, kLockOffset, kLockLength);
    if (r == 0) {
      b.lock_count = 1;
      return 0;
    }
    if (!LockHeldElsewhere(r)) return DosSystemError(b, r);
    if (wait_hundredths >= 0 && Hundredths() - started >= static_cast<uint32_t>(wait_hundredths)) {
      return kErrFileIsAlreadyLocked;
    }
    std::this_thread::sleep_for(kRetryPause);
  }
}

void DosUnlock(DosControlBlock& b) {
  if (b.lock_count == 0) return;
  if (--b.lock_count == 0) OsUnlock(b.handle, kLockOffset, kLockLength);
}

void DosConvertText(const FileDescriptor& file, uint8_t* record, uint32_t length, bool to_ansi) {
  if (file.fields == nullptr) return;
  // Byte ranges [begin, end) of the text fields within `length`. A byte may
  // belong to two fields (a STRING OVER another, the strings of a GROUP OVER
  // a string): the ranges are merged so that each byte is converted once.
  std::vector<std::pair<uint64_t, uint64_t>> ranges;
  for (const FieldDescriptor* f = file.fields; f->type != kTypeEnd; ++f) {
    if (f->marker != 0) continue;
    if (f->type != kTypeString && f->type != kTypeCString && f->type != kTypePString) continue;
    uint64_t elements = 1;
    for (uint8_t d = 0; d < f->dim_count; ++d) elements *= f->dims[d];
    uint64_t end = std::min<uint64_t>(uint64_t{f->offset} + uint64_t{f->size} * elements, length);
    if (f->offset < end) ranges.emplace_back(f->offset, end);
  }
  std::sort(ranges.begin(), ranges.end());
  uint64_t done = 0;  // bytes below this offset are converted
  for (const auto& [begin, end] : ranges) {
    uint64_t from = std::max(begin, done);
    if (from >= end) continue;
    char* p = reinterpret_cast<char*>(record + from);
    size_t n = static_cast<size_t>(end - from);
    if (to_ansi) {
      OsOemToAnsi(p, p, n);
    } else {
      OsAnsiToOem(p, p, n);
    }
    done = end;
  }
}

namespace {

// Refills the read-ahead buffer from `offset`. Bytes the buffer already holds
// from there on (the start of a record cut by the buffer's end) move to the
// front and the read goes on where the last one ended, without a seek.
int32_t FillBuffer(DosControlBlock& b, int64_t offset) {
  b.buffer.resize(b.buffer_size);
  int64_t end = b.buffer_start + b.buffer_fill;
  uint32_t keep = 0;
  if (b.buffer_fill > 0 && offset >= b.buffer_start && offset < end) {
    keep = static_cast<uint32_t>(end - offset);
    std::memmove(b.buffer.data(), b.buffer.data() + (offset - b.buffer_start), keep);
  }
  DosDropBuffer(b);
  uint32_t got = 0;
  uint32_t r = ReadAt(b, offset + keep, b.buffer.data() + keep, b.buffer_size - keep, &got);
  if (r != 0) return DosSystemError(b, r);
  b.buffer_start = offset;
  b.buffer_fill = keep + got;
  return 0;
}

}  // namespace

int32_t DosRead(DosControlBlock& b, int64_t offset, uint32_t length) {
  FileDescriptor& file = *b.file;
  b.flags &= ~kDosCurrent;
  // A zero-length record moves nothing: NEXT would never reach the end.
  if (length == 0) return kErrRecordNotAvailable;
  // Records appended by other programs become visible.
  if ((b.flags & kDosLockWrites) != 0 && (b.flags & kDosQuickScan) == 0) {
    int32_t r = DosRefreshSize(b);
    if (r != 0) return r;
  }
  if (offset < 0 || offset >= b.file_size) return kErrRecordNotAvailable;
  uint32_t want = static_cast<uint32_t>(std::min<int64_t>(length, b.file_size - offset));
  uint32_t done = 0;
  if ((b.flags & kDosQuickScan) != 0 && want <= b.buffer_size) {
    bool inside = b.buffer_fill > 0 && offset >= b.buffer_start &&
                  offset + want <= b.buffer_start + b.buffer_fill;
    if (!inside) {
      int32_t r = FillBuffer(b, offset);
      if (r != 0) return r;
    }
    done = static_cast<uint32_t>(std::min<int64_t>(want, b.buffer_start + b.buffer_fill - offset));
    if (want > 0 && done > 0) {
      std::memcpy(file.record, b.buffer.data() + (offset - b.buffer_start), done);
    }
  } else if (want > 0) {
    uint32_t r = ReadAt(b, offset, file.record, want, &done);
    if (r != 0) return DosSystemError(b, r);
  }
  if (want > 0 && done == 0) return kErrRecordNotAvailable;  // the file shrank
  b.last = offset;
  b.bytes_moved = done;
  if ((b.attributes & kFileOem) != 0) DosConvertText(file, file.record, done, true);
  b.flags |= kDosCurrent;
  return 0;
}

int32_t DosWrite(DosControlBlock& b, const uint8_t* data, uint32_t length, bool append,
                 int64_t offset) {
  if ((b.flags & kDosReadOnly) != 0) return kErrAccessDenied;
  bool locked = false;
  if ((b.flags & kDosLockWrites) != 0) {
    if (DosLock(b, kWriteLockWait) != 0) return kErrAccessDenied;
    locked = true;
    // Under the lock the size is the true end, so appends from several
    // programs never overwrite each other.
    int32_t r = DosRefreshSize(b);
    if (r != 0) {
      DosUnlock(b);
      return r;
    }
  }
  if (append) offset = b.file_size;
  const uint8_t* bytes = data;
  if ((b.attributes & kFileOem) != 0 && length > 0) {
    // The record buffer itself is left untouched.
    b.scratch.assign(data, data + length);
    DosConvertText(*b.file, b.scratch.data(), length, false);
    bytes = b.scratch.data();
  }
  int32_t result = 0;
  uint32_t done = 0;
  b.os_position = -1;
  uint32_t r = OsSeek(b.handle, offset, kOsSeekBegin, nullptr);
  if (r == 0 && length > 0) r = OsWrite(b.handle, bytes, length, &done);
  if (r != 0 || done < length) {
    result = kErrAccessDenied;
  }
  if (done > 0 || length == 0) {
    if (offset + done > b.file_size) b.file_size = offset + done;
    DosDropBuffer(b);
  }
  if (result == 0) {
    b.last = offset;
    b.bytes_moved = done;
    b.flags |= kDosCurrent;
  }
  if (locked) DosUnlock(b);
  return result;
}

}  // namespace kor
