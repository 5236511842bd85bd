// POSIX side of the file services: descriptors that keep the sharing and
// byte-range lock behaviour of the disk-operating-system conventions between
// processes (scheme described in os.h).
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "runtime/os/os.h"
#include "runtime/os/os_files_posix.h"

namespace kor {

namespace {

// Reserved share bytes (see os.h).
constexpr off_t kShareHasRead = static_cast<off_t>(kOsShareLockBase + 1);
constexpr off_t kShareHasWrite = static_cast<off_t>(kOsShareLockBase + 2);
constexpr off_t kShareDenyRead = static_cast<off_t>(kOsShareLockBase + 3);
constexpr off_t kShareDenyWrite = static_cast<off_t>(kOsShareLockBase + 4);

struct LockRange {
  uint64_t offset;
  uint64_t length;
};

// What the layer knows about one open descriptor. The descriptor itself may
// allow more than the handle does (it is opened read-write where possible so
// that exclusive locks can be placed); the handle's access is enforced here.
struct HandleInfo {
  bool open = false;
  bool may_read = false;
  bool may_write = false;
  bool fd_writable = false;  // the descriptor can hold exclusive locks
  std::vector<LockRange> locks;
};

std::mutex g_handles_mutex;
std::vector<HandleInfo> g_handles;  // indexed by descriptor

// The caller holds g_handles_mutex.
HandleInfo* Info(OsHandle handle) {
  if (handle < 0 || static_cast<size_t>(handle) >= g_handles.size()) return nullptr;
  HandleInfo* info = &g_handles[static_cast<size_t>(handle)];
  return info->open ? info : nullptr;
}

// A copy of a handle's access, taken under the lock (the table may grow
// while another thread reads it); nullopt for a handle the layer did not open.
struct Access {
  bool may_read, may_write;
};
std::optional<Access> Lookup(OsHandle handle) {
  std::lock_guard<std::mutex> guard(g_handles_mutex);
  HandleInfo* info = Info(handle);
  if (info == nullptr) return std::nullopt;
  return Access{info->may_read, info->may_write};
}

void Register(int fd, bool may_read, bool may_write, bool fd_writable) {
  std::lock_guard<std::mutex> guard(g_handles_mutex);
  if (static_cast<size_t>(fd) >= g_handles.size()) g_handles.resize(static_cast<size_t>(fd) + 16);
  HandleInfo& info = g_handles[static_cast<size_t>(fd)];
  info = HandleInfo{true, may_read, may_write, fd_writable, {}};
}

// Whether an open description other than fd's holds a lock in [start, start+len).
bool OthersHold(int fd, off_t start, off_t len) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = start;
  fl.l_len = len;
  if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return false;
  return fl.l_type != F_UNLCK;
}

bool PlaceLock(int fd, short type, off_t start, off_t len) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = start;
  fl.l_len = len;
  return fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

// Sharing wanted by one open, in terms of the reserved bytes.
struct ShareRequest {
  bool read, write, deny_read, deny_write;
};

ShareRequest RequestForMode(uint32_t mode) {
  ShareRequest r{};
  uint32_t access = mode & kOsAccessMask;
  r.read = access != kOsWriteOnly;
  r.write = access == kOsWriteOnly || access == kOsReadWrite;
  switch (mode & kOsShareMask) {
    case kOsShareCompat:
    case kOsDenyNone: break;
    case kOsDenyWrite: r.deny_write = true; break;
    case kOsDenyRead: r.deny_read = true; break;
    default: r.deny_read = r.deny_write = true; break;  // deny all, 0x50..0x70
  }
  return r;
}

// Tests the request against every other open of the file and takes the
// request's share bytes. The caller holds the file's flock().
bool ClaimShare(int fd, const ShareRequest& r) {
  if ((r.read && OthersHold(fd, kShareDenyRead, 1)) ||
      (r.write && OthersHold(fd, kShareDenyWrite, 1)) ||
      (r.deny_read && OthersHold(fd, kShareHasRead, 1)) ||
      (r.deny_write && OthersHold(fd, kShareHasWrite, 1))) {
    return false;
  }
  // A descriptor without read access cannot hold shared locks; such an open
  // (write-only on a file this user may not read) goes without share bytes.
  if (r.read) PlaceLock(fd, F_RDLCK, kShareHasRead, 1);
  if (r.write) PlaceLock(fd, F_RDLCK, kShareHasWrite, 1);
  if (r.deny_read) PlaceLock(fd, F_RDLCK, kShareDenyRead, 1);
  if (r.deny_write) PlaceLock(fd, F_RDLCK, kShareDenyWrite, 1);
  return true;
}

// True when `name` still names the file open on fd (it was not deleted or
// replaced while the open waited for the flock()).
bool StillNamed(int fd, const char* name) {
  struct stat a, b;
  if (fstat(fd, &a) != 0 || stat(name, &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

uint32_t Fail(uint32_t system_error) {
  OsSetLastError(system_error);
  return OsTranslateError(system_error);
}

uint32_t FailErrno(const char* name) { return Fail(OsErrnoToSystem(errno, name)); }

uint32_t Succeed() {
  OsSetLastError(0);
  return kOsOk;
}

// Opens the descriptor with the widest access the user has that covers the
// request: read-write where allowed, so that exclusive locks can be placed.
int OpenDescriptor(const char* name, bool read, bool write, int extra, mode_t perms,
                   bool* fd_writable) {
  int fd = open(name, O_RDWR | O_CLOEXEC | extra, perms);
  *fd_writable = fd >= 0;
  if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
    int flags = write ? (read ? O_RDWR : O_WRONLY) : O_RDONLY;
    fd = open(name, flags | O_CLOEXEC | extra, perms);
    *fd_writable = fd >= 0 && write;
  }
  return fd;
}

// How an open treats a missing or existing file.
enum class Disposition { kExisting, kCreateAlways, kOpenAlways };

// The common part of OsOpen, OsCreate and OsOpenAlways.
uint32_t OpenShared(const char* name, const ShareRequest& r, Disposition how, mode_t perms,
                    OsHandle* handle) {
  *handle = kOsNoHandle;
  if (name == nullptr || *name == '\0') return Fail(kOsFileNotFound);
  bool create = how == Disposition::kCreateAlways;
  bool fd_writable = false, created = false;
  int fd = -1;
  if (how != Disposition::kExisting) {
    fd = open(name, O_RDWR | O_CLOEXEC | O_CREAT | O_EXCL, perms);
    created = fd >= 0;
    fd_writable = created;
    if (fd < 0 && errno != EEXIST) return FailErrno(name);
  }
  if (fd < 0) fd = OpenDescriptor(name, r.read || create, r.write || create, 0, 0, &fd_writable);
  if (fd < 0) return FailErrno(name);
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return Fail(kOsAccessDenied);
  }
  // The owner's write permission is the read-only attribute: it refuses
  // writing (and emptying) to everybody, the superuser included.
  bool read_only_file = (st.st_mode & S_IWUSR) == 0 && !created;
  if ((create && (!fd_writable || read_only_file)) || (r.write && read_only_file)) {
    close(fd);
    return Fail(kOsAccessDenied);
  }
  while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  uint32_t error = kOsOk;
  // Emptying the file is a write, refused while any other open exists.
  if (create && OthersHold(fd, kShareHasRead, 4)) {
    error = kOsSharingViolation;
  } else if (!ClaimShare(fd, r)) {
    error = kOsSharingViolation;
  } else if (!StillNamed(fd, name)) {
    error = kOsFileNotFound;
  } else if (create && ftruncate(fd, 0) != 0) {
    error = OsErrnoToSystem(errno, name);
  }
  flock(fd, LOCK_UN);
  if (error != kOsOk) {
    close(fd);
    return Fail(error);
  }
  Register(fd, r.read, r.write, fd_writable);
  *handle = fd;
  return Succeed();
}

// Refuses with a sharing violation while any open of the file exists.
uint32_t CheckNotOpen(const char* name, int* lock_fd) {
  *lock_fd = open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (*lock_fd < 0) return kOsOk;  // unreadable or missing: the call itself decides
  while (flock(*lock_fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  if (OthersHold(*lock_fd, kShareHasRead, 2)) return kOsSharingViolation;
  return kOsOk;
}

void EndCheck(int lock_fd) {
  if (lock_fd >= 0) close(lock_fd);  // closing drops the flock()
}

}  // namespace

uint32_t OsOpen(const char* name, uint32_t mode, OsHandle* handle) {
  OsSetLastError(0);
  return OpenShared(name, RequestForMode(mode), Disposition::kExisting, 0, handle);
}

uint32_t OsOpenAlways(const char* name, uint32_t mode, OsHandle* handle) {
  OsSetLastError(0);
  return OpenShared(name, RequestForMode(mode), Disposition::kOpenAlways, 0666, handle);
}

uint32_t OsCreate(const char* name, uint32_t attributes, OsHandle* handle) {
  OsSetLastError(0);
  bool read_only = (attributes & 3) == kOsCreateReadOnly;
  ShareRequest r{true, !read_only, true, true};
  return OpenShared(name, r, Disposition::kCreateAlways, read_only ? 0444 : 0666, handle);
}

uint32_t OsClose(OsHandle handle) {
  OsSetLastError(0);
  {
    std::lock_guard<std::mutex> guard(g_handles_mutex);
    HandleInfo* info = Info(handle);
    if (info == nullptr) return Fail(kOsInvalidHandle);
    *info = HandleInfo{};
  }
  // Closing the only descriptor of the open description drops its locks.
  if (close(static_cast<int>(handle)) != 0 && errno != EINTR) return FailErrno(nullptr);
  return Succeed();
}

namespace {

// The loops of OsRead and OsReadAt, OsWrite and OsWriteAt: at the position
// when `offset` is negative, else at `offset`.
uint32_t ReadFrom(OsHandle handle, int64_t offset, void* buffer, uint32_t count, uint32_t* done) {
  OsSetLastError(0);
  *done = 0;
  std::optional<Access> access = Lookup(handle);
  if (!access) return Fail(kOsInvalidHandle);
  if (!access->may_read) return Fail(kOsAccessDenied);
  char* p = static_cast<char*>(buffer);
  const int fd = static_cast<int>(handle);
  while (*done < count) {
    ssize_t n = offset < 0 ? read(fd, p + *done, count - *done)
                           : pread(fd, p + *done, count - *done, off_t(offset + *done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return FailErrno(nullptr);
    }
    if (n == 0) break;
    *done += static_cast<uint32_t>(n);
  }
  return Succeed();
}

uint32_t WriteTo(OsHandle handle, int64_t offset, const void* buffer, uint32_t count,
                 uint32_t* done) {
  OsSetLastError(0);
  *done = 0;
  std::optional<Access> access = Lookup(handle);
  if (!access) return Fail(kOsInvalidHandle);
  if (!access->may_write) return Fail(kOsAccessDenied);
  const char* p = static_cast<const char*>(buffer);
  const int fd = static_cast<int>(handle);
  while (*done < count) {
    ssize_t n = offset < 0 ? write(fd, p + *done, count - *done)
                           : pwrite(fd, p + *done, count - *done, off_t(offset + *done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return FailErrno(nullptr);
    }
    if (n == 0) return Fail(kOsDiskFull);
    *done += static_cast<uint32_t>(n);
  }
  return Succeed();
}

}  // namespace

uint32_t OsRead(OsHandle handle, void* buffer, uint32_t count, uint32_t* done) {
  return ReadFrom(handle, -1, buffer, count, done);
}

uint32_t OsWrite(OsHandle handle, const void* buffer, uint32_t count, uint32_t* done) {
  return WriteTo(handle, -1, buffer, count, done);
}

uint32_t OsReadAt(OsHandle handle, int64_t offset, void* buffer, uint32_t count, uint32_t* done) {
  *done = 0;
  return offset < 0 ? Fail(kOsNegativeSeek) : ReadFrom(handle, offset, buffer, count, done);
}

uint32_t OsWriteAt(OsHandle handle, int64_t offset, const void* buffer, uint32_t count,
                   uint32_t* done) {
  *done = 0;
  return offset < 0 ? Fail(kOsNegativeSeek) : WriteTo(handle, offset, buffer, count, done);
}

uint32_t OsSeek(OsHandle handle, int64_t offset, uint32_t origin, int64_t* position) {
  OsSetLastError(0);
  if (!Lookup(handle)) return Fail(kOsInvalidHandle);
  int whence = origin == kOsSeekBegin     ? SEEK_SET
               : origin == kOsSeekCurrent ? SEEK_CUR
               : origin == kOsSeekEnd     ? SEEK_END
                                          : -1;
  if (whence < 0) return Fail(kOsInvalidParameter);
  off_t at = lseek(static_cast<int>(handle), static_cast<off_t>(offset), whence);
  if (at < 0) return Fail(errno == EINVAL ? kOsNegativeSeek : OsErrnoToSystem(errno, nullptr));
  if (position != nullptr) *position = at;
  return Succeed();
}

uint32_t OsSize(OsHandle handle, int64_t* size) {
  OsSetLastError(0);
  *size = 0;
  if (!Lookup(handle)) return Fail(kOsInvalidHandle);
  struct stat st;
  if (fstat(static_cast<int>(handle), &st) != 0) return FailErrno(nullptr);
  *size = st.st_size;
  return Succeed();
}

uint32_t OsLock(OsHandle handle, uint64_t offset, uint64_t length) {
  OsSetLastError(0);
  std::lock_guard<std::mutex> guard(g_handles_mutex);
  HandleInfo* info = Info(handle);
  if (info == nullptr) return Fail(kOsInvalidHandle);
  if (length == 0 || offset >= kOsShareLockBase || length > kOsShareLockBase - offset) {
    return Fail(kOsInvalidParameter);
  }
  for (const LockRange& held : info->locks) {
    if (offset < held.offset + held.length && held.offset < offset + length) {
      return Fail(kOsLockViolation);
    }
  }
  // A descriptor opened read-only (the user may not write the file) can hold
  // only shared locks; those still keep out every exclusive lock.
  short type = info->fd_writable ? F_WRLCK : F_RDLCK;
  if (!PlaceLock(static_cast<int>(handle), type, static_cast<off_t>(offset),
                 static_cast<off_t>(length))) {
    return Fail(errno == EAGAIN || errno == EACCES ? kOsLockViolation
                                                   : OsErrnoToSystem(errno, nullptr));
  }
  info->locks.push_back({offset, length});
  return Succeed();
}

uint32_t OsUnlock(OsHandle handle, uint64_t offset, uint64_t length) {
  OsSetLastError(0);
  std::lock_guard<std::mutex> guard(g_handles_mutex);
  HandleInfo* info = Info(handle);
  if (info == nullptr) return Fail(kOsInvalidHandle);
  for (size_t i = 0; i < info->locks.size(); ++i) {
    if (info->locks[i].offset != offset || info->locks[i].length != length) continue;
    if (!PlaceLock(static_cast<int>(handle), F_UNLCK, static_cast<off_t>(offset),
                   static_cast<off_t>(length))) {
      return FailErrno(nullptr);
    }
    info->locks.erase(info->locks.begin() + static_cast<ptrdiff_t>(i));
    return Succeed();
  }
  return Fail(kOsNotLocked);
}

uint32_t OsTruncate(OsHandle handle) {
  OsSetLastError(0);
  std::optional<Access> access = Lookup(handle);
  if (!access) return Fail(kOsInvalidHandle);
  if (!access->may_write) return Fail(kOsAccessDenied);
  int fd = static_cast<int>(handle);
  off_t at = lseek(fd, 0, SEEK_CUR);
  if (at < 0 || ftruncate(fd, at) != 0) return FailErrno(nullptr);
  return Succeed();
}

uint32_t OsFlush(OsHandle handle) {
  OsSetLastError(0);
  if (!Lookup(handle)) return Fail(kOsInvalidHandle);
  if (fsync(static_cast<int>(handle)) != 0 && errno != EINVAL) return FailErrno(nullptr);
  return Succeed();
}

uint32_t OsDelete(const char* name) {
  OsSetLastError(0);
  if (name == nullptr || *name == '\0') return Fail(kOsFileNotFound);
  int lock_fd;
  uint32_t error = CheckNotOpen(name, &lock_fd);
  if (error == kOsOk) {
    struct stat st;
    if (lstat(name, &st) == 0 && (S_ISDIR(st.st_mode) || (st.st_mode & S_IWUSR) == 0)) {
      error = kOsAccessDenied;  // directories are not files; read-only files stay
    } else if (unlink(name) != 0) {
      error = OsErrnoToSystem(errno, name);
    }
  }
  EndCheck(lock_fd);
  return error == kOsOk ? Succeed() : Fail(error);
}

uint32_t OsRename(const char* old_name, const char* new_name) {
  OsSetLastError(0);
  if (old_name == nullptr || new_name == nullptr || *old_name == '\0' || *new_name == '\0') {
    return Fail(kOsFileNotFound);
  }
  int lock_fd;
  uint32_t error = CheckNotOpen(old_name, &lock_fd);
  if (error == kOsOk) {
    // Never replace an existing file: renameat2 with RENAME_NOREPLACE, or
    // where the file system lacks it, a hard link that fails on an existing
    // name followed by removal of the old name.
    long rc = syscall(SYS_renameat2, AT_FDCWD, old_name, AT_FDCWD, new_name, 1 /* NOREPLACE */);
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
      struct stat st;
      if (lstat(old_name, &st) == 0 && S_ISDIR(st.st_mode)) {
        rc = lstat(new_name, &st) == 0 ? (errno = EEXIST, -1) : rename(old_name, new_name);
      } else {
        rc = link(old_name, new_name);
        if (rc == 0) unlink(old_name);
      }
    }
    if (rc != 0) error = OsErrnoToSystem(errno, errno == ENOENT ? old_name : new_name);
    // A missing target directory is "path not found" even when old exists.
    if (rc != 0 && errno == ENOENT && access(old_name, F_OK) == 0) {
      error = kOsPathNotFound;
    }
  }
  EndCheck(lock_fd);
  return error == kOsOk ? Succeed() : Fail(error);
}

uint32_t OsGetFileTime(OsHandle handle, uint16_t* date, uint16_t* time_word) {
  OsSetLastError(0);
  *date = *time_word = 0;
  if (!Lookup(handle)) return Fail(kOsInvalidHandle);
  struct stat st;
  if (fstat(static_cast<int>(handle), &st) != 0) return FailErrno(nullptr);
  if (!OsPackDosTime(st.st_mtime, date, time_word)) return Fail(kOsInvalidParameter);
  return Succeed();
}

uint32_t OsSetFileTime(OsHandle handle, uint16_t date, uint16_t time_word) {
  OsSetLastError(0);
  std::optional<Access> access = Lookup(handle);
  if (!access) return Fail(kOsInvalidHandle);
  if (!access->may_write) return Fail(kOsAccessDenied);
  struct tm tm {};
  tm.tm_year = (date >> 9) + 80;
  tm.tm_mon = ((date >> 5) & 15) - 1;
  tm.tm_mday = date & 31;
  tm.tm_hour = time_word >> 11;
  tm.tm_min = (time_word >> 5) & 63;
  tm.tm_sec = (time_word & 31) * 2;
  tm.tm_isdst = -1;
  if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday == 0 || tm.tm_hour > 23 || tm.tm_min > 59 ||
      tm.tm_sec > 59) {
    return Fail(kOsInvalidParameter);
  }
  time_t t = mktime(&tm);
  if (t == static_cast<time_t>(-1)) return Fail(kOsInvalidParameter);
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = t;
  times[1].tv_nsec = 0;
  if (futimens(static_cast<int>(handle), times) != 0) return FailErrno(nullptr);
  return Succeed();
}

}  // namespace kor
