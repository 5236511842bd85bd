// Module registration, the version check, the shutdown sequence and halt.
#include "runtime/core/startup.h"

#include <stdio.h>
#include <string.h>

#include "runtime/core/error_state.h"
#include "runtime/core/fault.h"
#include "runtime/core/runtime_error.h"

namespace kor {

namespace {

// A node of the module list on the system's global heap, newest first.
struct ModuleNode {
  ModuleNode* next;
  OsInstance instance;
  ModuleDescriptor* descriptor;
  void* reserved;
};

ModuleNode* g_modules = nullptr;
OsInstance g_resource_instance = nullptr;
RequestedVersion g_requested{0, 0, 0};

bool g_exit_processing_done = false;
bool g_stop_message_shown = false;
bool g_started = false;

ShutdownHook g_shutdown_hooks[static_cast<int>(ShutdownStep::kCount)] = {};
DataAreaHook g_data_area_hook = nullptr;
MainThreadHook g_main_thread_hook = nullptr;
MessageBoxHook g_halt_box = nullptr;

void RunHook(ShutdownStep step) {
  ShutdownHook hook = g_shutdown_hooks[static_cast<int>(step)];
  if (hook != nullptr) hook();
}

}  // namespace

void RunInitProcedures(const InitEntry* begin, const InitEntry* end) {
  if (begin == nullptr || end <= begin) return;
  // 255 first, then each lower priority present, down to 1; table order
  // within one priority.
  int32_t level = 256;
  for (;;) {
    int32_t next = 0;
    for (const InitEntry* e = begin; e < end; ++e)
      if (e->priority < level && e->priority > next) next = e->priority;
    if (next == 0) break;
    for (const InitEntry* e = begin; e < end; ++e)
      if (e->priority == next && e->init != nullptr) e->init(0);
    level = next;
  }
}

void RunExitProcedures(const InitEntry* begin, const InitEntry* end) {
  if (begin == nullptr || end <= begin) return;
  // Ascending priority from 0; within one priority from the table's end.
  int32_t level = -1;
  for (;;) {
    int32_t next = 256;
    for (const InitEntry* e = begin; e < end; ++e)
      if (e->priority > level && e->priority < next) next = e->priority;
    if (next == 256) break;
    for (const InitEntry* e = end; e-- > begin;)
      if (e->priority == next && e->exit != nullptr) e->exit(1);
    level = next;
  }
}

void RegisterModule(ModuleDescriptor* module, OsInstance instance) {
  if (instance == nullptr) instance = OsExecutableInstance();
  if (g_resource_instance == nullptr) {
    // The first registration is the program's: from here on the allocator's
    // diagnostics end in the runtime error box.
    g_resource_instance = instance;
    InstallDiagnosticRaiser();
  }
  auto* node = static_cast<ModuleNode*>(OsGlobalAlloc(sizeof(ModuleNode)));
  if (node != nullptr) {
    node->next = g_modules;
    node->instance = instance;
    node->descriptor = module;
    node->reserved = nullptr;
    g_modules = node;
  }
  if (module == nullptr) return;
  module->instance = instance;
  RunInitProcedures(module->init_begin, module->init_end);
}

void UnregisterModule(OsInstance instance) {
  ModuleNode** link = &g_modules;
  while (*link != nullptr && (*link)->instance != instance) link = &(*link)->next;
  ModuleNode* node = *link;
  if (node == nullptr) return;
  *link = node->next;
  ModuleDescriptor* module = node->descriptor;
  if (module != nullptr && OsIsReadable(module, sizeof(ModuleDescriptor)))
    RunExitProcedures(module->init_begin, module->init_end);
  OsGlobalFree(node);
}

OsInstance ResourceInstance() { return g_resource_instance; }

void ForEachModule(bool (*fn)(ModuleDescriptor*, OsInstance, void*), void* arg) {
  for (ModuleNode* n = g_modules; n != nullptr; n = n->next)
    if (!fn(n->descriptor, n->instance, arg)) return;
}

int CheckRuntimeVersion(uint32_t version, uint32_t minor, uint32_t build) {
  if (version == kRuntimeMajor && minor == kRuntimeMinor) {
    g_requested = {version & 15, minor, build};
    return 1;
  }
  char text[512];
  if ((version & 0x100) == 0) {
    snprintf(text, sizeof text,
             "This program or a component DLL was built using the beta release of Korvane 5\r\n"
             "It will not operate correctly with this copy of Z9RUN%s\r\n"
             "Please obtain a new version of this program",
             "X");
  } else {
    snprintf(text, sizeof text,
             "This program or a component DLL requires Z9RUN%s version %d.%03d.%02d or later\r\n"
             "This version is %d.%03d.%02d",
             "X", static_cast<int>(version & 15), static_cast<int>(minor), static_cast<int>(build),
             static_cast<int>(kRuntimeMajor), static_cast<int>(kRuntimeMinor),
             static_cast<int>(kRuntimeBuild));
  }
  OsMessageBox(text, "Korvane 5 Runtime Library", kMbIconStop | kMbOk);
  return 0;
}

RequestedVersion RequestedRuntimeVersion() { return g_requested; }

void RuntimeStart() {
  if (g_started) return;
  g_started = true;
  if (g_data_area_hook != nullptr) {
    for (ModuleNode* n = g_modules; n != nullptr; n = n->next) {
      ModuleDescriptor* d = n->descriptor;
      if (d == nullptr) continue;
      g_data_area_hook(d->data1_begin, d->data1_end);
      g_data_area_hook(d->data2_begin, d->data2_end);
    }
  }
  if (g_main_thread_hook != nullptr) g_main_thread_hook();
}

void RuntimeShutdown() {
  RunHook(ShutdownStep::kCloseWindows);
  RunHook(ShutdownStep::kWaitForThreads);
  StopRuntimeErrorsHalting();
  RunHook(ShutdownStep::kStopTimer);
  RunHook(ShutdownStep::kCommitTransaction);
  RunHook(ShutdownStep::kCloseFiles);
}

void Halt(uint32_t exit_code) {
  if (!g_exit_processing_done) {
    g_exit_processing_done = true;
    UnregisterModule(OsExecutableInstance());
  }
  OsRemoveFaultHandler();
  OsExitProcess(exit_code);
}

void ShowHaltMessage(const char* text) {
  SaveErrorState();
  HaltMessageBox()(text, "Halt", kMbOk | kMbIconStop);
  RestoreErrorState();
  g_stop_message_shown = true;
}

bool ExitProcessingDone() { return g_exit_processing_done; }
bool StopMessageShown() { return g_stop_message_shown; }
void NoteStopMessageShown() { g_stop_message_shown = true; }

void SetShutdownHook(ShutdownStep step, ShutdownHook hook) {
  if (step < ShutdownStep::kCount) g_shutdown_hooks[static_cast<int>(step)] = hook;
}

void SetRuntimeStartHooks(DataAreaHook data_area, MainThreadHook main_thread) {
  g_data_area_hook = data_area;
  g_main_thread_hook = main_thread;
}

void SetHaltMessageBox(MessageBoxHook hook) { g_halt_box = hook; }

MessageBoxHook HaltMessageBox() { return g_halt_box != nullptr ? g_halt_box : OsMessageBox; }

void InstallRuntimeFaultHandler() { OsInstallFaultHandler(FaultHandler); }

}  // namespace kor
