// Win32 side of the operating-system layer (kernel32, user32).
#include "runtime/os/os.h"

#include <windows.h>

#include <float.h>

namespace kor {

OsInstance OsExecutableInstance() { return GetModuleHandleA(nullptr); }

std::string OsExecutablePath() {
  char buf[MAX_PATH * 2];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  return std::string(buf, n);
}

void OsExitProcess(uint32_t code) { ExitProcess(code); }

void OsResetFpu() { _fpreset(); }

uint32_t OsTickCount() { return GetTickCount(); }

uint32_t OsCurrentThreadId() { return GetCurrentThreadId(); }
uint32_t OsCurrentProcessId() { return GetCurrentProcessId(); }

uint32_t OsLastError() { return GetLastError(); }
void OsSetLastError(uint32_t code) { SetLastError(code); }

bool OsIsReadable(const void* p, size_t size) {
  if (p == nullptr) return false;
  const char* c = static_cast<const char*>(p);
  const char* end = c + size;
  while (c < end) {
    MEMORY_BASIC_INFORMATION mbi;
    if (VirtualQuery(c, &mbi, sizeof mbi) == 0) return false;
    if (mbi.State != MEM_COMMIT) return false;
    DWORD prot = mbi.Protect & 0xFF;
    if (prot == PAGE_NOACCESS || (mbi.Protect & PAGE_GUARD) != 0) return false;
    c = static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize;
  }
  return true;
}

void* OsGlobalAlloc(size_t size) { return GlobalAlloc(GPTR, size); }
void OsGlobalFree(void* p) {
  if (p != nullptr) GlobalFree(p);
}

int OsMessageBox(const char* text, const char* caption, uint32_t style) {
  return MessageBoxA(nullptr, text, caption, style);
}

size_t OsLoadString(OsInstance instance, uint32_t id, char* buf, size_t size) {
  if (size == 0) return 0;
  buf[0] = '\0';
  if (id > 0xFFFF) return 0;
  int n = LoadStringA(static_cast<HINSTANCE>(instance), id, buf, static_cast<int>(size));
  return n > 0 ? static_cast<size_t>(n) : 0;
}

void* OsReserveMemory(size_t size) {
  return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void OsReleaseMemory(void* p, size_t) {
  if (p != nullptr) VirtualFree(p, 0, MEM_RELEASE);
}

namespace {
constexpr size_t kPage = 4096;
size_t PageRound(size_t n) { return (n + kPage - 1) & ~(kPage - 1); }
}  // namespace

void* OsResizeMemory(void* p, size_t old_size, size_t new_size) {
  if (p == nullptr || new_size == 0) return nullptr;
  char* base = static_cast<char*>(p);
  size_t old_pages = PageRound(old_size);
  size_t new_pages = PageRound(new_size);
  if (new_pages == old_pages) return p;
  if (new_pages < old_pages) {
    // The tail stays reserved by the region, so a later growth can take it back.
    return VirtualFree(base + new_pages, old_pages - new_pages, MEM_DECOMMIT) ? p : nullptr;
  }
  // Growth works only over pages this same region still reserves.
  MEMORY_BASIC_INFORMATION mbi;
  if (VirtualQuery(base + old_pages, &mbi, sizeof mbi) == 0) return nullptr;
  if (mbi.AllocationBase != p || mbi.State != MEM_RESERVE ||
      mbi.RegionSize < new_pages - old_pages) {
    return nullptr;
  }
  return VirtualAlloc(base + old_pages, new_pages - old_pages, MEM_COMMIT, PAGE_READWRITE)
             ? p
             : nullptr;
}

bool OsWriteLogFile(const char* path, const void* data, size_t size, bool create) {
  HANDLE h = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         create ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = SetFilePointer(h, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER ||
            GetLastError() == NO_ERROR;
  const char* c = static_cast<const char*>(data);
  while (ok && size > 0) {
    DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    ok = WriteFile(h, c, chunk, &written, nullptr) && written == chunk;
    c += chunk;
    size -= chunk;
  }
  CloseHandle(h);
  return ok;
}

void OsWriteAuxDevice(const void* data, size_t size) {
  HANDLE h = CreateFileA("AUX", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(h, data, static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(h);
}

int OsCaptureReturnAddresses(void** out, int max, int skip) {
  if (max <= 0) return 0;
  if (max > 62) max = 62;
  // Frame 0 is this function.
  return RtlCaptureStackBackTrace(static_cast<DWORD>(skip + 1), static_cast<DWORD>(max), out,
                                  nullptr);
}

std::string OsGetProfileString(const char* section, const char* key, const char* def) {
  char buf[1024];
  DWORD n = GetProfileStringA(section, key, def ? def : "", buf, sizeof buf);
  return std::string(buf, n);
}

int OsGetProfileInt(const char* section, const char* key, int def) {
  return static_cast<int>(GetProfileIntA(section, key, def));
}

std::string OsGetPrivateProfileString(const char* section, const char* key, const char* def,
                                      const char* path) {
  char buf[1024];
  DWORD n = GetPrivateProfileStringA(section, key, def ? def : "", buf, sizeof buf, path);
  return std::string(buf, n);
}

OsClock OsLocalTime() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return OsClock{.year = st.wYear,
                 .month = st.wMonth,
                 .day = st.wDay,
                 .hour = st.wHour,
                 .minute = st.wMinute,
                 .second = st.wSecond,
                 .milliseconds = st.wMilliseconds};
}

}  // namespace kor
