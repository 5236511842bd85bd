// procstat: the resource counters of a running Windows process, read from
// outside it, for the batch-run measurement (bench/batch_run_bench.sh).
//
//   procstat NAME     the one process whose image is NAME (e.g. mxb.exe)
//   procstat #PID     the process with that Windows process id
//
// Prints one line:
//   pid=N handles=N windows=N gdi=N user=N private_kb=N working_set_kb=N
// handles   the process's entries in the system handle table
//           (NtQuerySystemInformation, SystemHandleInformation); where that
//           fails, GetProcessHandleCount. Wine answers the table but gives
//           0 from GetProcessHandleCount for another process.
// windows   its windows: the top-level ones and all their descendants
//           (message-only windows are not enumerable and not counted)
// gdi, user GetGuiResources (0 where the platform does not count them, as
//           Wine does not)
// private_kb, working_set_kb   GetProcessMemoryInfo (Wine: 0 private)
// Exit status 0; 1 when no such process (or more than one by that name), 2
// when it cannot be opened or read.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <vector>

namespace {

// The process id for an image name; 0 when none or more than one.
DWORD FindByName(const char* name) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  DWORD found = 0;
  int count = 0;
  for (BOOL ok = Process32First(snap, &entry); ok; ok = Process32Next(snap, &entry)) {
    if (_stricmp(entry.szExeFile, name) == 0) {
      found = entry.th32ProcessID;
      ++count;
    }
  }
  CloseHandle(snap);
  return count == 1 ? found : 0;
}

constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
using QuerySystemInformation = NTSTATUS(WINAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);

// The process's entries in the system handle table; -1 when unreadable.
long CountTableHandles(DWORD pid) {
  auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return -1;
  std::vector<unsigned char> buffer(1 << 16);
  for (;;) {
    ULONG needed = 0;
    const NTSTATUS status =
        query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == kInfoLengthMismatch) {
      buffer.resize(needed > buffer.size() ? needed + 4096 : buffer.size() * 2);
      continue;
    }
    if (status != 0) return -1;
    break;
  }
  const auto* info = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
  long count = 0;
  for (ULONG i = 0; i < info->Count; ++i) {
    if (info->Handle[i].OwnerPid == pid) ++count;
  }
  return count;
}

struct WindowCount {
  DWORD pid;
  long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM arg) {
  ++reinterpret_cast<WindowCount*>(arg)->count;
  return TRUE;
}

BOOL CALLBACK CountTop(HWND window, LPARAM arg) {
  auto* windows = reinterpret_cast<WindowCount*>(arg);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != windows->pid) return TRUE;
  ++windows->count;
  EnumChildWindows(window, &CountChild, arg);  // all descendants
  return TRUE;
}

long CountWindows(DWORD pid) {
  WindowCount windows = {pid, 0};
  EnumWindows(&CountTop, reinterpret_cast<LPARAM>(&windows));
  return windows.count;
}

int Report(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process == nullptr) {
    fprintf(stderr, "procstat: cannot open process %lu (%lu)\n", pid, GetLastError());
    return 2;
  }
  DWORD handles = 0;
  PROCESS_MEMORY_COUNTERS_EX memory;
  memset(&memory, 0, sizeof memory);
  memory.cb = sizeof memory;
  const bool ok = GetProcessHandleCount(process, &handles) &&
                  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                       sizeof memory);
  const DWORD error = ok ? 0 : GetLastError();
  const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
  const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
  CloseHandle(process);
  if (!ok) {
    fprintf(stderr, "procstat: cannot read process %lu (%lu)\n", pid, error);
    return 2;
  }
  const long table = CountTableHandles(pid);
  printf("pid=%lu handles=%ld windows=%ld gdi=%lu user=%lu private_kb=%lu working_set_kb=%lu\n",
         pid, table >= 0 ? table : static_cast<long>(handles), CountWindows(pid), gdi, user,
         static_cast<unsigned long>(memory.PrivateUsage / 1024),
         static_cast<unsigned long>(memory.WorkingSetSize / 1024));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: procstat NAME | procstat #PID\n");
    return 1;
  }
  const DWORD pid = argv[1][0] == '#' ? strtoul(argv[1] + 1, nullptr, 10) : FindByName(argv[1]);
  if (pid == 0) {
    fprintf(stderr, "procstat: no single process %s\n", argv[1]);
    return 1;
  }
  return Report(pid);
}
