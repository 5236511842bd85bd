// Win32 side of program start: CreateProcessA with a wait, or the shell's
// program launcher.
#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <string>

#include "runtime/os/os.h"

namespace kor {

uint32_t OsRunAndWait(const char* command, void (*while_waiting)(), void (*after_waiting)()) {
  SetLastError(0);
  std::string line = command ? command : "";  // CreateProcessA may write into it
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    DWORD e = GetLastError();
    return e != 0 ? e : static_cast<DWORD>(kOsFileNotFound);
  }
  if (while_waiting != nullptr) while_waiting();
  WaitForSingleObject(pi.hProcess, INFINITE);
  if (after_waiting != nullptr) after_waiting();
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  SetLastError(0);
  return kOsOk;
}

uint32_t OsLaunch(const char* command) {
  SetLastError(0);
  // The launcher takes the program and its parameters apart: the program is
  // the first word (or the quoted text), the rest are the parameters.
  std::string line = command ? command : "";
  size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos) return kOsFileNotFound;
  std::string file, params;
  if (line[start] == '"') {
    size_t close = line.find('"', start + 1);
    file =
        line.substr(start + 1, close == std::string::npos ? std::string::npos : close - start - 1);
    if (close != std::string::npos) params = line.substr(close + 1);
  } else {
    size_t end = line.find_first_of(" \t", start);
    file = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (end != std::string::npos) params = line.substr(end + 1);
  }
  size_t p = params.find_first_not_of(" \t");
  params = p == std::string::npos ? std::string() : params.substr(p);
  HINSTANCE result =
      ShellExecuteA(nullptr, nullptr, file.c_str(), params.empty() ? nullptr : params.c_str(),
                    nullptr, SW_SHOWNORMAL);
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(result));
}

}  // namespace kor
