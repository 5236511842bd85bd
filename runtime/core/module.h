// Module descriptors and initialisation tables: how a linked module tells the
// runtime which procedures to run at start-up and at close-down.
#pragma once

#include <cstdint>

#include "runtime/os/os.h"

namespace kor {

// One procedure serves both slots of an entry: argument 0 initialises,
// 1 shuts down.
using InitProc = void (*)(int32_t);

// Priorities run from 255 (first at start-up) down to 1; within a priority
// the table order holds. Close-down runs the exact reverse.
struct InitEntry {
  int32_t priority;
  InitProc init;  // null: the entry is skipped
  InitProc exit;
};

// The static record a module hands to RegisterModule. The link and instance
// words are zero until the module is registered.
struct ModuleDescriptor {
  ModuleDescriptor* link = nullptr;
  const InitEntry* init_begin = nullptr;
  const InitEntry* init_end = nullptr;
  OsInstance instance = nullptr;
  void* data1_begin = nullptr;  // the two data areas handed to the thread manager
  void* data1_end = nullptr;
  void* data2_begin = nullptr;
  void* data2_end = nullptr;
  const char* name = nullptr;  // bookkeeping: the module's name, for reports
};

// Runs the initialisation procedures of a table by priority (255 first), each
// with argument 0.
void RunInitProcedures(const InitEntry* begin, const InitEntry* end);
// Runs the close-down procedures in the exact reverse of RunInitProcedures,
// each with argument 1.
void RunExitProcedures(const InitEntry* begin, const InitEntry* end);

}  // namespace kor
