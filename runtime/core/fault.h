// The runtime's fault handler: names the fault, writes the fault report
// "QWFAULT1.TXT" in the current directory, and lets the system's own fault
// handling go on (the process ends as it would have without the report).
//
// Only six exception codes get a report; at most one report is written per
// process, so a second fault, on any thread (a fault inside the report among
// them), passes straight to the system.
//
// The report's name: "QWFAULT1.TXT"; while a file of that name exists the
// eighth character is advanced through "1".."9", "A".."Z", "_", and the
// "_" name is used (and overwritten) whether it exists or not. The file is
// created fresh; if it cannot be, the report's lines go nowhere.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "runtime/os/os.h"

namespace kor {

// Name of a reported fault kind, or null for codes that get no report.
//   0xC0000005 "Access Violation"      0xC000001D "Illegal Instruction"
//   0xC0000006 "Page Fault"            0xC0000096 "Privileged Instruction"
//   0xC0000017 "No Memory"             0xC00000FD "Stack Overflow"
const char* FaultName(uint32_t code);

// Top-level handler installed at process start (InstallRuntimeFaultHandler).
void FaultHandler(const OsFaultInfo& info);

// Whether a fault has taken this process's report.
bool FaultReportTaken();

// Writes the report of a fault named `name`; the default writes the file.
using FaultReportWriter = void (*)(const OsFaultInfo& info, const char* name);
// Replaces the report writer; null puts the default back.
void SetFaultReportWriter(FaultReportWriter writer);

// The one report of a process: the first Take wins, on any thread.
class FaultReportLatch {
 public:
  bool Take() { return !taken_.exchange(true); }
  bool Taken() const { return taken_.load(); }

 private:
  std::atomic<bool> taken_{false};
};

// What FaultHandler does, with the latch and writer given: a code of the six
// takes the latch and, if it won, writes the report.
void HandleFault(FaultReportLatch* latch, const OsFaultInfo& info, FaultReportWriter writer);

// "QWFAULT1.TXT" and its successors, as above; `exists` tells whether a file
// of a name exists. `name` receives the chosen name (13 bytes).
inline constexpr size_t kFaultReportNameSize = 13;
void ChooseFaultReportName(bool (*exists)(const char* name), char* name);

// The default writer: chooses the name in the current directory, creates the
// file and writes the report of the running process into it.
void WriteFaultReportFile(const OsFaultInfo& info, const char* name);

}  // namespace kor
