// Win32 side of the file services, on kernel32 file handles, share modes,
// LockFileEx and the DOS date and time conversions.
#include <windows.h>

#include <mutex>
#include <vector>

#include "runtime/os/ascii.h"
#include "runtime/os/os.h"

namespace kor {

namespace {

HANDLE H(OsHandle handle) { return reinterpret_cast<HANDLE>(handle); }

uint32_t Fail() {
  DWORD error = GetLastError();
  if (error == 0) error = kOsGeneralFailure;
  SetLastError(error);
  return OsTranslateError(error);
}

uint32_t FailWith(uint32_t error) {
  SetLastError(error);
  return OsTranslateError(error);
}

uint32_t Succeed() {
  SetLastError(0);
  return kOsOk;
}

bool Bad(OsHandle handle) { return handle == kOsNoHandle || handle == 0; }

// The system request for an open-mode byte.
DWORD AccessForMode(uint32_t mode) {
  switch (mode & kOsAccessMask) {
    case kOsWriteOnly: return GENERIC_WRITE;
    case kOsReadWrite: return GENERIC_READ | GENERIC_WRITE;
    default: return GENERIC_READ;  // 0 and 3
  }
}

DWORD ShareForMode(uint32_t mode) {
  switch (mode & kOsShareMask) {
    case kOsShareCompat:
    case kOsDenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    case kOsDenyWrite: return FILE_SHARE_READ;
    case kOsDenyRead: return FILE_SHARE_WRITE;
    default: return 0;  // deny all and 0x50..0x70
  }
}

// What the layer keeps per handle: its access, checked here so that every
// system refuses the same calls on a read-only handle, and the ranges it has
// locked, so that an overlapping request by the same handle and an unlock of
// a range never locked fail the same way everywhere.
struct HeldRange {
  uint64_t offset;
  uint64_t length;
};
struct HandleEntry {
  OsHandle handle;
  bool may_write;
  std::vector<HeldRange> locks;
};
std::mutex g_handles_mutex;
std::vector<HandleEntry> g_handles;

// The entry of a handle; null for a handle the layer did not open.
HandleEntry* Entry(OsHandle handle) {
  for (HandleEntry& e : g_handles) {
    if (e.handle == handle) return &e;
  }
  return nullptr;
}

void Register(OsHandle handle, bool may_write) {
  std::lock_guard<std::mutex> guard(g_handles_mutex);
  g_handles.push_back({handle, may_write, {}});
}

void Forget(OsHandle handle) {
  std::lock_guard<std::mutex> guard(g_handles_mutex);
  for (size_t i = 0; i < g_handles.size(); ++i) {
    if (g_handles[i].handle == handle) {
      g_handles.erase(g_handles.begin() + static_cast<ptrdiff_t>(i));
      return;
    }
  }
}

bool MayWrite(OsHandle handle) {
  std::lock_guard<std::mutex> guard(g_handles_mutex);
  HandleEntry* e = Entry(handle);
  return e == nullptr || e->may_write;
}

// The read-only attribute refuses write access to everybody.
bool IsReadOnlyFile(const char* name) {
  DWORD a = GetFileAttributesA(name);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY) != 0 &&
         (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

OVERLAPPED At(uint64_t offset) {
  OVERLAPPED ov{};
  ov.Offset = static_cast<DWORD>(offset);
  ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return ov;
}

}  // namespace

uint32_t OsOpen(const char* name, uint32_t mode, OsHandle* handle) {
  SetLastError(0);
  *handle = kOsNoHandle;
  if (name == nullptr || *name == '\0') return FailWith(kOsFileNotFound);
  DWORD access = AccessForMode(mode);
  if ((access & GENERIC_WRITE) != 0 && IsReadOnlyFile(name)) return FailWith(kOsAccessDenied);
  HANDLE h = CreateFileA(name, access, ShareForMode(mode), nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return Fail();
  *handle = reinterpret_cast<OsHandle>(h);
  Register(*handle, (access & GENERIC_WRITE) != 0);
  return Succeed();
}

uint32_t OsOpenAlways(const char* name, uint32_t mode, OsHandle* handle) {
  SetLastError(0);
  *handle = kOsNoHandle;
  if (name == nullptr || *name == '\0') return FailWith(kOsFileNotFound);
  DWORD access = AccessForMode(mode);
  if ((access & GENERIC_WRITE) != 0 && IsReadOnlyFile(name)) return FailWith(kOsAccessDenied);
  HANDLE h = CreateFileA(name, access, ShareForMode(mode), nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return Fail();
  SetLastError(0);  // OPEN_ALWAYS reports an existing file as 183
  *handle = reinterpret_cast<OsHandle>(h);
  Register(*handle, (access & GENERIC_WRITE) != 0);
  return Succeed();
}

bool OsSamePathName(std::string_view a, std::string_view b) { return EqualIgnoringAsciiCase(a, b); }

std::string OsFullPathName(const char* name) {
  char buffer[MAX_PATH * 4];
  DWORD n = GetFullPathNameA(name == nullptr ? "" : name, sizeof buffer, buffer, nullptr);
  if (n == 0 || n >= sizeof buffer) return name == nullptr ? std::string() : std::string(name);
  return std::string(buffer, n);
}

uint32_t OsCreate(const char* name, uint32_t attributes, OsHandle* handle) {
  SetLastError(0);
  *handle = kOsNoHandle;
  if (name == nullptr || *name == '\0') return FailWith(kOsFileNotFound);
  DWORD access = GENERIC_READ | GENERIC_WRITE;
  DWORD flags = FILE_ATTRIBUTE_NORMAL;
  switch (attributes & 3) {
    case kOsCreateReadOnly:
      access = GENERIC_READ;
      flags = FILE_ATTRIBUTE_READONLY;
      break;
    case kOsCreateHidden: flags = FILE_ATTRIBUTE_HIDDEN; break;
    case kOsCreateSystem: flags = FILE_ATTRIBUTE_SYSTEM; break;
    default: break;
  }
  if (IsReadOnlyFile(name)) return FailWith(kOsAccessDenied);
  HANDLE h = CreateFileA(name, access, 0, nullptr, CREATE_ALWAYS, flags | FILE_FLAG_RANDOM_ACCESS,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return Fail();
  *handle = reinterpret_cast<OsHandle>(h);
  Register(*handle, (access & GENERIC_WRITE) != 0);
  return Succeed();
}

uint32_t OsClose(OsHandle handle) {
  SetLastError(0);
  if (Bad(handle)) return FailWith(kOsInvalidHandle);
  Forget(handle);
  if (!CloseHandle(H(handle))) return Fail();
  return Succeed();
}

namespace {

OVERLAPPED At(int64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
  return at;
}

// Reads or writes at the handle's position (`offset` null) or at *offset:
// a synchronous handle given an offset does it in one call.
uint32_t ReadWith(OsHandle handle, const int64_t* offset, void* buffer, uint32_t count,
                  uint32_t* done) {
  SetLastError(0);
  *done = 0;
  if (Bad(handle)) return FailWith(kOsInvalidHandle);
  if (offset != nullptr && *offset < 0) return FailWith(kOsNegativeSeek);
  OVERLAPPED at = At(offset != nullptr ? *offset : 0);
  DWORD n = 0;
  // At or past the end an offset read fails with "end of file" where a
  // plain read gives 0 bytes: both mean nothing more to read.
  if (!ReadFile(H(handle), buffer, count, &n, offset != nullptr ? &at : nullptr) &&
      GetLastError() != ERROR_HANDLE_EOF) {
    return Fail();
  }
  *done = n;
  return Succeed();
}

uint32_t WriteWith(OsHandle handle, const int64_t* offset, const void* buffer, uint32_t count,
                   uint32_t* done) {
  SetLastError(0);
  *done = 0;
  if (Bad(handle)) return FailWith(kOsInvalidHandle);
  if (offset != nullptr && *offset < 0) return FailWith(kOsNegativeSeek);
  OVERLAPPED at = At(offset != nullptr ? *offset : 0);
  DWORD n = 0;
  if (!WriteFile(H(handle), buffer, count, &n, offset != nullptr ? &at : nullptr)) return Fail();
  *done = n;
  if (n < count) return FailWith(kOsDiskFull);
  return Succeed();
}

}  // namespace

uint32_t OsRead(OsHandle handle, void* buffer, uint32_t count, uint32_t* done) {
  return ReadWith(handle, nullptr, buffer, count, done);
}

uint32_t OsWrite(OsHandle handle, const void* buffer, uint32_t count, uint32_t* done) {
  return WriteWith(handle, nullptr, buffer, count, done);
}

uint32_t OsReadAt(OsHandle handle, int64_t offset, void* buffer, uint32_t count, uint32_t* done) {
  return ReadWith(handle, &offset, buffer, count, done);
}

uint32_t OsWriteAt(OsHandle handle, int64_t offset, const void* buffer, uint32_t count,
                   uint32_t* done) {
  return WriteWith(handle, &offset, buffer, count, done);
}

uint32_t OsSeek(OsHandle handle, int64_t offset, uint32_t origin, int64_t* position) {
  SetLastError(0);
  if (Bad(handle)) return FailWith(kOsInvalidHandle);
  DWORD method = origin == kOsSeekBegin     ? FILE_BEGIN
                 : origin == kOsSeekCurrent ? FILE_CURRENT
                 : origin == kOsSeekEnd     ? FILE_END
                                            : 0xFFFFFFFF;
  if (method == 0xFFFFFFFF) return FailWith(kOsInvalidParameter);
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  if (!SetFilePointerEx(H(handle), distance, &result, method)) return Fail();
  if (position != nullptr) *position = result.QuadPart;
  return Succeed();
}

uint32_t OsSize(OsHandle handle, int64_t* size) {
  SetLastError(0);
  *size = 0;
  if (Bad(handle)) return FailWith(kOsInvalidHandle);
  LARGE_INTEGER s;
  if (!GetFileSizeEx(H(handle), &s)) return Fail();
  *size = s.QuadPart;
  return Succeed();
}

uint32_t OsLock(OsHandle handle, uint64_t offset, uint64_t length) {
  SetLastError(0);
  if (Bad(handle)) return FailWith(kOsInvalidHandle);
  if (length == 0 || offset >= kOsShareLockBase || length > kOsShareLockBase - offset) {
    return FailWith(kOsInvalidParameter);
  }
  std::lock_guard<std::mutex> guard(g_handles_mutex);
  HandleEntry* entry = Entry(handle);
  if (entry != nullptr) {
    for (const HeldRange& held : entry->locks) {
      if (offset < held.offset + held.length && held.offset < offset + length) {
        return FailWith(kOsLockViolation);
      }
    }
  }
  OVERLAPPED ov = At(offset);
  if (!LockFileEx(H(handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                  static_cast<DWORD>(length), static_cast<DWORD>(length >> 32), &ov)) {
    // Some systems report a refused immediate lock as "I/O pending".
    if (GetLastError() == ERROR_IO_PENDING) SetLastError(kOsLockViolation);
    return Fail();
  }
  if (entry != nullptr) entry->locks.push_back({offset, length});
  return Succeed();
}

uint32_t OsUnlock(OsHandle handle, uint64_t offset, uint64_t length) {
  SetLastError(0);
  if (Bad(handle)) return FailWith(kOsInvalidHandle);
  std::lock_guard<std::mutex> guard(g_handles_mutex);
  HandleEntry* entry = Entry(handle);
  std::vector<HeldRange> none;
  std::vector<HeldRange>& locks = entry != nullptr ? entry->locks : none;
  for (size_t i = 0; i < locks.size(); ++i) {
    if (locks[i].offset != offset || locks[i].length != length) continue;
    OVERLAPPED ov = At(offset);
    if (!UnlockFileEx(H(handle), 0, static_cast<DWORD>(length), static_cast<DWORD>(length >> 32),
                      &ov)) {
      return Fail();
    }
    locks.erase(locks.begin() + static_cast<ptrdiff_t>(i));
    return Succeed();
  }
  return FailWith(kOsNotLocked);
}

uint32_t OsTruncate(OsHandle handle) {
  SetLastError(0);
  if (Bad(handle)) return FailWith(kOsInvalidHandle);
  if (!MayWrite(handle)) return FailWith(kOsAccessDenied);
  if (!SetEndOfFile(H(handle))) return Fail();
  return Succeed();
}

uint32_t OsFlush(OsHandle handle) {
  SetLastError(0);
  if (Bad(handle)) return FailWith(kOsInvalidHandle);
  if (!FlushFileBuffers(H(handle))) {
    // A handle without write access has nothing to flush.
    if (GetLastError() == ERROR_ACCESS_DENIED) return Succeed();
    return Fail();
  }
  return Succeed();
}

uint32_t OsDelete(const char* name) {
  SetLastError(0);
  if (name == nullptr || *name == '\0') return FailWith(kOsFileNotFound);
  if (!DeleteFileA(name)) return Fail();
  return Succeed();
}

// The names are passed as given: converting them to the OEM character set
// first would hand OEM bytes to an ANSI call and rename or probe a different
// file whenever a name holds characters outside ASCII.
uint32_t OsRename(const char* old_name, const char* new_name) {
  SetLastError(0);
  if (old_name == nullptr || new_name == nullptr || *old_name == '\0' || *new_name == '\0') {
    return FailWith(kOsFileNotFound);
  }
  if (!MoveFileA(old_name, new_name)) return Fail();
  return Succeed();
}

uint32_t OsMakeDirectory(const char* name) {
  SetLastError(0);
  if (name == nullptr || *name == '\0') return FailWith(kOsPathNotFound);
  if (!CreateDirectoryA(name, nullptr)) return Fail();
  return Succeed();
}

uint32_t OsRemoveDirectory(const char* name) {
  SetLastError(0);
  if (name == nullptr || *name == '\0') return FailWith(kOsPathNotFound);
  if (!RemoveDirectoryA(name)) return Fail();
  return Succeed();
}

uint32_t OsAttributes(const char* name, uint8_t* attributes) {
  SetLastError(0);
  *attributes = 0;
  if (name == nullptr || *name == '\0') return FailWith(kOsFileNotFound);
  DWORD a = GetFileAttributesA(name);
  if (a == INVALID_FILE_ATTRIBUTES) return Fail();
  *attributes = static_cast<uint8_t>(a & 0x7F);
  return Succeed();
}

uint32_t OsSetAttributes(const char* name, uint8_t attributes) {
  SetLastError(0);
  if (name == nullptr || *name == '\0') return FailWith(kOsFileNotFound);
  DWORD a = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_ARCHIVE);
  if (!SetFileAttributesA(name, a != 0 ? a : FILE_ATTRIBUTE_NORMAL)) return Fail();
  return Succeed();
}

uint32_t OsGetFileTime(OsHandle handle, uint16_t* date, uint16_t* time_word) {
  SetLastError(0);
  *date = *time_word = 0;
  if (Bad(handle)) return FailWith(kOsInvalidHandle);
  FILETIME written, local;
  WORD d = 0, t = 0;
  if (!GetFileTime(H(handle), nullptr, nullptr, &written) ||
      !FileTimeToLocalFileTime(&written, &local) || !FileTimeToDosDateTime(&local, &d, &t)) {
    return Fail();
  }
  *date = d;
  *time_word = t;
  return Succeed();
}

uint32_t OsSetFileTime(OsHandle handle, uint16_t date, uint16_t time_word) {
  SetLastError(0);
  if (Bad(handle)) return FailWith(kOsInvalidHandle);
  if (!MayWrite(handle)) return FailWith(kOsAccessDenied);
  unsigned month = (date >> 5) & 15, day = date & 31;
  unsigned hours = time_word >> 11, minutes = (time_word >> 5) & 63, twos = time_word & 31;
  if (month < 1 || month > 12 || day == 0 || hours > 23 || minutes > 59 || twos > 29) {
    return FailWith(kOsInvalidParameter);
  }
  FILETIME local, utc;
  if (!DosDateTimeToFileTime(date, time_word, &local) || !LocalFileTimeToFileTime(&local, &utc) ||
      !SetFileTime(H(handle), nullptr, nullptr, &utc)) {
    return Fail();
  }
  return Succeed();
}

}  // namespace kor
