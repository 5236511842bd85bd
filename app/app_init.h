// The application's module: its initialisation entries and its globals.
#pragma once

#include <cstdint>

#include "runtime/core/module.h"

namespace mxb {

// Request/response words of the generated browse and form procedures.
// GLO:TargetName lives with the data declarations (app/core/app_data.h).
struct AppGlobals {
  int32_t global_request;
  int32_t global_response;
  int32_t vcr_request;
};
extern AppGlobals g_app;

// Global data entry: argument 0 clears the globals; non-zero does nothing.
void InitGlobalData(int32_t arg);

// The program's module descriptor (runtime and application entries).
kor::ModuleDescriptor* ProgramModule();

}  // namespace mxb
