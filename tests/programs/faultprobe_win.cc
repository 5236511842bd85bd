// faultprobe: a program on the runtime that starts as a real program does,
// with the runtime's fault handler, and then faults in the way its argument
// names, for the black-box tests of the fault report.
//
//   faultprobe av          writes to address 16
//   faultprobe jump        calls address 16 (the instruction pointer is unreadable)
//   faultprobe ill         an undefined instruction
//   faultprobe priv        a privileged instruction (HLT)
//   faultprobe stack       endless recursion through 32 KB frames
//   faultprobe divide      integer division by zero (a fault the report leaves alone)
//   faultprobe raise CODE  RaiseException(CODE), e.g. the in-page error 0xC0000006
//   faultprobe twice       an illegal-instruction exception is handed to the
//                          process's top-level filter and then continued,
//                          then a real access violation follows
//   faultprobe names       a library-state provider with names, error 35, av
//   faultprobe numbers     a library-state provider without names, av
// Each prints "faulting" before it faults; "survived" means it did not.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <iterator>

#include "runtime/core/error_state.h"
#include "runtime/core/library_snapshot.h"
#include "runtime/core/module.h"
#include "runtime/core/startup.h"
#include "runtime/runtime_init.h"

namespace {

const kor::InitEntry kTable[] = {KOR_RUNTIME_CORE_INIT_ENTRIES};
kor::ModuleDescriptor g_module = {
    nullptr, std::begin(kTable), std::end(kTable), nullptr, nullptr, nullptr, nullptr,
    nullptr, "faultprobe"};

volatile uintptr_t g_bad_address = 16;
volatile int g_zero = 0;
volatile int g_never = -1;  // a depth the recursion never reaches

__attribute__((noinline)) int Recurse(int depth) {
  // Large frames: the probe of each frame's pages runs ahead of the stack
  // pointer, so the system has room left to run the handler.
  volatile char frame[32 * 1024];
  frame[0] = static_cast<char>(depth);
  if (depth == g_never) return 0;
  int below = Recurse(depth + 1);
  frame[1] = static_cast<char>(below);
  return below + frame[0] + frame[1];
}

bool g_first_exception_seen = false;

// Hands the first exception to the process's top-level filter (the one the
// runtime installed) as if it had gone unhandled, then continues after it.
LONG WINAPI ForwardFirstException(EXCEPTION_POINTERS* pointers) {
  if (g_first_exception_seen) return EXCEPTION_CONTINUE_SEARCH;
  g_first_exception_seen = true;
  LPTOP_LEVEL_EXCEPTION_FILTER filter = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(filter);
  if (filter != nullptr) filter(pointers);
  return EXCEPTION_CONTINUE_EXECUTION;
}

void ProvideNames(kor::LibraryState* state) {
  state->event = {1, "EVENT:Accepted"};
  state->field = {2, "?MakeButton"};
  state->focus = {2, "?MakeButton"};
  state->accepted = {2, "?MakeButton"};
  state->first_field = {1, "?List"};
  state->last_field = {14, "?CloseButton"};
}

void ProvideNumbers(kor::LibraryState* state) {
  state->event = {523, nullptr};
  state->field = {0, nullptr};
  state->focus = {3, nullptr};
  state->accepted = {0, nullptr};
  state->first_field = {1, nullptr};
  state->last_field = {255, nullptr};
}

void Say(const char* text) {
  printf("%s\n", text);
  fflush(stdout);
}

void Fault(const char* kind, const char* arg) {
  Say("faulting");
  if (strcmp(kind, "av") == 0) {
    *reinterpret_cast<volatile int*>(g_bad_address) = 0;
  } else if (strcmp(kind, "jump") == 0) {
    reinterpret_cast<void (*)()>(g_bad_address)();
  } else if (strcmp(kind, "ill") == 0) {
    __builtin_trap();
  } else if (strcmp(kind, "priv") == 0) {
    __asm__ volatile("hlt");
  } else if (strcmp(kind, "stack") == 0) {
    printf("%d\n", Recurse(1));
  } else if (strcmp(kind, "divide") == 0) {
    printf("%d\n", 7 / g_zero);
  } else if (strcmp(kind, "raise") == 0 && arg != nullptr) {
    RaiseException(static_cast<DWORD>(strtoul(arg, nullptr, 0)), 0, 0, nullptr);
  } else if (strcmp(kind, "twice") == 0) {
    PVOID handler = AddVectoredExceptionHandler(1, ForwardFirstException);
    RaiseException(EXCEPTION_ILLEGAL_INSTRUCTION, 0, 0, nullptr);
    RemoveVectoredExceptionHandler(handler);
    Say("continued");
    *reinterpret_cast<volatile int*>(g_bad_address) = 0;
  } else if (strcmp(kind, "names") == 0 || strcmp(kind, "numbers") == 0) {
    kor::SetLibraryStateProvider(strcmp(kind, "names") == 0 ? ProvideNames : ProvideNumbers);
    kor::PostError(35);
    *reinterpret_cast<volatile int*>(g_bad_address) = 0;
  }
  Say("survived");
}

}  // namespace

int main(int argc, char** argv) {
  kor::OsResetFpu();
  kor::RegisterModule(&g_module, nullptr);
  if (!kor::CheckRuntimeVersion(5, 0, 0)) kor::Halt(0);
  kor::InstallRuntimeFaultHandler();
  kor::RuntimeStart();
  Fault(argc > 1 ? argv[1] : "", argc > 2 ? argv[2] : nullptr);
  kor::RuntimeShutdown();
  kor::Halt(0);
}
