// The runtime's fault handler: names the fault and hands it to the fault
// report; the system's own handling always goes on afterwards.
#pragma once

#include <cstdint>

#include "runtime/os/os.h"

namespace kor {

// Name of a reported fault kind, or null for codes that get no report.
const char* FaultName(uint32_t code);

// Top-level handler installed at process start. At most one report per
// process: later faults pass straight to the system.
void FaultHandler(const OsFaultInfo& info);

// The report writer (installed by the fault report); null writes nothing.
using FaultReportWriter = void (*)(const OsFaultInfo& info, const char* name);
void SetFaultReportWriter(FaultReportWriter writer);

// Whether a fault has reached the handler in this process.
bool FaultReportTaken();

}  // namespace kor
