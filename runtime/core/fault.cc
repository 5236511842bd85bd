// The top-level fault handler and the report file.
#include "runtime/core/fault.h"

#include <string.h>

#include "runtime/core/fault_report.h"

namespace kor {

namespace {

FaultReportLatch g_latch;
std::atomic<FaultReportWriter> g_writer{nullptr};

// The eighth character of the report's name after `c`; "_" is the last.
char NextNameCharacter(char c) {
  if (c == '9') return 'A';
  if (c == 'Z') return '_';
  return static_cast<char>(c + 1);
}

bool FileExists(const char* name) {
  uint8_t attributes = 0;
  return OsAttributes(name, &attributes) == kOsOk;
}

void WriteToFile(void* arg, const char* data, size_t size) {
  OsHandle handle = *static_cast<OsHandle*>(arg);
  if (handle == kOsNoHandle) return;
  uint32_t done = 0;
  OsWrite(handle, data, static_cast<uint32_t>(size), &done);
}

}  // namespace

const char* FaultName(uint32_t code) {
  switch (code) {
    case 0xC0000005: return "Access Violation";
    case 0xC0000006: return "Page Fault";
    case 0xC0000017: return "No Memory";
    case 0xC000001D: return "Illegal Instruction";
    case 0xC0000096: return "Privileged Instruction";
    case 0xC00000FD: return "Stack Overflow";
    default: return nullptr;
  }
}

void HandleFault(FaultReportLatch* latch, const OsFaultInfo& info, FaultReportWriter writer) {
  if (latch->Taken()) return;
  const char* name = FaultName(info.code);
  if (name == nullptr || !latch->Take()) return;
  if (writer != nullptr) writer(info, name);
}

void FaultHandler(const OsFaultInfo& info) {
  FaultReportWriter writer = g_writer.load();
  HandleFault(&g_latch, info, writer != nullptr ? writer : WriteFaultReportFile);
}

bool FaultReportTaken() { return g_latch.Taken(); }

void SetFaultReportWriter(FaultReportWriter writer) { g_writer.store(writer); }

void ChooseFaultReportName(bool (*exists)(const char* name), char* name) {
  memcpy(name, "QWFAULT1.TXT", kFaultReportNameSize);
  constexpr int kCounter = 7;  // the eighth character
  while (name[kCounter] != '_' && exists(name)) name[kCounter] = NextNameCharacter(name[kCounter]);
}

void WriteFaultReportFile(const OsFaultInfo& info, const char* name) {
  char file_name[kFaultReportNameSize];
  ChooseFaultReportName(FileExists, file_name);
  OsHandle handle = kOsNoHandle;
  if (OsCreate(file_name, kOsCreateNormal, &handle) != kOsOk) handle = kOsNoHandle;
  FaultSink sink{WriteToFile, &handle};
  WriteFaultReport(ProcessFaultMachine(), info, name, sink);
  if (handle != kOsNoHandle) OsClose(handle);
}

}  // namespace kor
