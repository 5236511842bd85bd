// Top-level fault handler: one report per process for the six fault kinds.
#include "runtime/core/fault.h"

namespace kor {

namespace {
bool g_report_taken = false;
FaultReportWriter g_writer = nullptr;
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

void FaultHandler(const OsFaultInfo& info) {
  if (g_report_taken) return;
  const char* name = FaultName(info.code);
  if (name == nullptr) return;
  g_report_taken = true;
  if (g_writer != nullptr) g_writer(info, name);
}

void SetFaultReportWriter(FaultReportWriter writer) { g_writer = writer; }

bool FaultReportTaken() { return g_report_taken; }

}  // namespace kor
