// Win32 side of the directory search, on FindFirstFileA.
#include <windows.h>

#include <string.h>

#include "runtime/os/os.h"

namespace kor {

namespace {

// Copies a name that may fill its whole source field, always terminated.
void CopyName(char* out, size_t out_size, const char* in, size_t in_size) {
  size_t n = strnlen(in, in_size);
  if (n > out_size - 1) n = out_size - 1;
  memcpy(out, in, n);
  out[n] = '\0';
}

void Fill(const WIN32_FIND_DATAA& w, OsFindData* data) {
  memset(data, 0, sizeof *data);
  CopyName(data->name, sizeof data->name, w.cFileName, sizeof w.cFileName);
  CopyName(data->short_name, sizeof data->short_name, w.cAlternateFileName,
           sizeof w.cAlternateFileName);
  data->attributes = static_cast<uint8_t>(w.dwFileAttributes & 0x7F);
  FILETIME local;
  WORD d = 0, t = 0;
  if (FileTimeToLocalFileTime(&w.ftLastWriteTime, &local) &&
      FileTimeToDosDateTime(&local, &d, &t)) {
    data->dos_date = d;
    data->dos_time = t;
  }
  data->size = (static_cast<uint64_t>(w.nFileSizeHigh) << 32) | w.nFileSizeLow;
}

}  // namespace

OsFind OsFindFirst(const char* pattern, OsFindData* data, uint32_t* error) {
  *error = kOsOk;
  WIN32_FIND_DATAA w;
  HANDLE h = FindFirstFileA(pattern ? pattern : "", &w);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD e = GetLastError();
    *error = OsTranslateError(e != 0 ? e : static_cast<DWORD>(kOsFileNotFound));
    return nullptr;
  }
  Fill(w, data);
  SetLastError(0);
  return h;
}

bool OsFindNext(OsFind find, OsFindData* data) {
  if (find == nullptr) return false;
  WIN32_FIND_DATAA w;
  if (!FindNextFileA(static_cast<HANDLE>(find), &w)) {
    SetLastError(0);
    return false;
  }
  Fill(w, data);
  return true;
}

void OsFindClose(OsFind find) {
  if (find != nullptr) FindClose(static_cast<HANDLE>(find));
}

}  // namespace kor
