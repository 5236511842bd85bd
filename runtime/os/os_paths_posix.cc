// POSIX side of the path services (directories, attributes) and the mapping
// of errno values to the system error numbers the layer returns.
#include <errno.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include "runtime/os/os.h"
#include "runtime/os/os_files_posix.h"

namespace kor {

namespace {

uint32_t Fail(uint32_t system_error) {
  OsSetLastError(system_error);
  return OsTranslateError(system_error);
}

uint32_t FailErrno(const char* name) { return Fail(OsErrnoToSystem(errno, name)); }

uint32_t Succeed() {
  OsSetLastError(0);
  return kOsOk;
}

}  // namespace

uint32_t OsErrnoToSystem(int err, const char* name) {
  switch (err) {
    case 0: return kOsOk;
    case ENOENT: {
      // The system says "path not found" when a directory on the way is missing.
      if (name != nullptr) {
        std::string dir(name);
        size_t slash = dir.find_last_of('/');
        if (slash != std::string::npos && slash > 0) {
          dir.resize(slash);
          struct stat st;
          if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return kOsPathNotFound;
        }
      }
      return kOsFileNotFound;
    }
    // clang-format off
    case ENOTDIR: case ENAMETOOLONG: case ELOOP: return kOsPathNotFound;
    case EACCES: case EPERM: case EISDIR: return kOsAccessDenied;
    // clang-format on
    case EROFS: return kOsWriteProtect;
    case EMFILE:
    case ENFILE: return kOsTooManyOpenFiles;
    case EBADF: return kOsInvalidHandle;
    case ENOMEM: return kOsNotEnoughMemory;
    case EEXIST: return kOsAlreadyExists;
    case ENOTEMPTY: return kOsDirNotEmpty;
    case EXDEV: return kOsNotSameDevice;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kOsDiskFull;
    case EBUSY:
    case ETXTBSY: return kOsSharingViolation;
    case EAGAIN: return kOsLockViolation;
    case EINVAL: return kOsInvalidParameter;
    default: return kOsGeneralFailure;
  }
}

bool OsSamePathName(std::string_view a, std::string_view b) { return a == b; }

std::string OsFullPathName(const char* name) {
  std::string path = name == nullptr ? std::string() : std::string(name);
  if (path.empty() || path[0] != '/') {
    char cwd[4096];
    std::string base = getcwd(cwd, sizeof cwd) != nullptr ? cwd : "/";
    path = base + "/" + path;
  }
  // Resolve "." and ".." by name and drop empty components.
  std::string out;
  size_t at = 0;
  while (at <= path.size()) {
    size_t slash = path.find('/', at);
    if (slash == std::string::npos) slash = path.size();
    std::string part = path.substr(at, slash - at);
    if (part == "..") {
      size_t last = out.find_last_of('/');
      out.resize(last == std::string::npos ? 0 : last);
    } else if (!part.empty() && part != ".") {
      out += "/" + part;
    }
    at = slash + 1;
  }
  return out.empty() ? "/" : out;
}

uint32_t OsMakeDirectory(const char* name) {
  OsSetLastError(0);
  if (name == nullptr || *name == '\0') return Fail(kOsPathNotFound);
  if (mkdir(name, 0777) != 0) return FailErrno(name);
  return Succeed();
}

uint32_t OsRemoveDirectory(const char* name) {
  OsSetLastError(0);
  if (name == nullptr || *name == '\0') return Fail(kOsPathNotFound);
  if (rmdir(name) != 0)
    return Fail(errno == ENOTDIR ? kOsDirectoryNameInvalid : OsErrnoToSystem(errno, name));
  return Succeed();
}

uint32_t OsAttributes(const char* name, uint8_t* attributes) {
  OsSetLastError(0);
  *attributes = 0;
  if (name == nullptr || *name == '\0') return Fail(kOsFileNotFound);
  struct stat st;
  if (stat(name, &st) != 0) return FailErrno(name);
  const char* base = strrchr(name, '/');
  base = base ? base + 1 : name;
  *attributes = OsAttributesFromStat(st.st_mode, base);
  return Succeed();
}

uint32_t OsSetAttributes(const char* name, uint8_t attributes) {
  OsSetLastError(0);
  if (name == nullptr || *name == '\0') return Fail(kOsFileNotFound);
  struct stat st;
  if (stat(name, &st) != 0) return FailErrno(name);
  mode_t mode = st.st_mode & 07777;
  mode = (attributes & kOsAttrReadOnly) ? (mode & ~0222) : (mode | S_IWUSR);
  if (chmod(name, mode) != 0) return FailErrno(name);
  return Succeed();
}

uint8_t OsAttributesFromStat(unsigned mode, const char* base_name) {
  uint8_t a = S_ISDIR(mode) ? kOsAttrDirectory : kOsAttrArchive;
  if ((mode & S_IWUSR) == 0) a |= kOsAttrReadOnly;
  // Names starting with a dot are hidden, as the shells treat them.
  if (base_name[0] == '.' && strcmp(base_name, ".") != 0 && strcmp(base_name, "..") != 0) {
    a |= kOsAttrHidden;
  }
  return a;
}

bool OsPackDosTime(time_t t, uint16_t* date, uint16_t* time_word) {
  struct tm tm;
  if (localtime_r(&t, &tm) == nullptr) return false;
  int year = tm.tm_year + 1900;
  if (year < 1980 || year > 2107) return false;
  *date = static_cast<uint16_t>(((year - 1980) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
  *time_word = static_cast<uint16_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
  return true;
}

}  // namespace kor
