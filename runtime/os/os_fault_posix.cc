// POSIX side of the fault hook and of the fault capture: signal handlers on
// an alternate stack, registers from the signal's ucontext (x86-64 Linux),
// memory checks through the kernel, and a frame-pointer walk. There is no
// image-help library and no section lookup here: the report then lists the
// runtime's own modules and leaves the call stack's sections at 0.
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <ucontext.h>
#include <unistd.h>

#include "runtime/os/frame_walk.h"
#include "runtime/os/memory_probe.h"
#include "runtime/os/os.h"

namespace kor {

namespace {

OsFaultHandler g_fault_handler = nullptr;
struct sigaction g_old_segv, g_old_bus, g_old_ill, g_old_fpe;
// Room for the handler after a stack overflow, for the installing thread.
alignas(16) char g_alternate_stack[64 * 1024];

uint32_t CodeForSignal(int sig) {
  switch (sig) {
    case SIGSEGV:
    case SIGBUS: return 0xC0000005;
    case SIGILL: return 0xC000001D;
    default: return 0;
  }
}

void OnSignal(int sig, siginfo_t* info, void* ucontext) {
  OsFaultHandler handler = g_fault_handler;
  if (handler != nullptr) {
    OsRegisters registers;
    const void* address = info != nullptr ? info->si_addr : nullptr;
    if (OsFaultRegisters(ucontext, &registers))
      address = reinterpret_cast<const void*>(static_cast<uintptr_t>(registers.ip));
    OsFaultInfo fi{CodeForSignal(sig), address, ucontext};
    handler(fi);
  }
  // Pass the fault on: the default action ends the process with the signal.
  signal(sig, SIG_DFL);
  raise(sig);
}

void InstallAlternateStack() {
  stack_t stack{};
  stack.ss_sp = g_alternate_stack;
  stack.ss_size = sizeof g_alternate_stack;
  sigaltstack(&stack, nullptr);
}

}  // namespace

void OsInstallFaultHandler(OsFaultHandler handler) {
  g_fault_handler = handler;
  InstallAlternateStack();
  struct sigaction sa {};
  sa.sa_sigaction = OnSignal;
  sa.sa_flags = SA_SIGINFO | SA_NODEFER | SA_ONSTACK;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGSEGV, &sa, &g_old_segv);
  sigaction(SIGBUS, &sa, &g_old_bus);
  sigaction(SIGILL, &sa, &g_old_ill);
  sigaction(SIGFPE, &sa, &g_old_fpe);
}

void OsRemoveFaultHandler() {
  if (g_fault_handler == nullptr) return;
  g_fault_handler = nullptr;
  sigaction(SIGSEGV, &g_old_segv, nullptr);
  sigaction(SIGBUS, &g_old_bus, nullptr);
  sigaction(SIGILL, &g_old_ill, nullptr);
  sigaction(SIGFPE, &g_old_fpe, nullptr);
}

bool OsFaultHandlerInstalled() { return g_fault_handler != nullptr; }

void OsCauseAccessViolation() {
  // An address in the never-mapped first page, read through a volatile
  // pointer so that the compiler keeps the access.
  volatile uintptr_t address = 16;
  *reinterpret_cast<volatile int*>(address) = 0;
  abort();
}

bool OsFaultRegisters(const void* context, OsRegisters* out) {
  memset(out, 0, sizeof *out);
  out->wide = sizeof(void*) == 8;
#if defined(__x86_64__) && defined(__linux__)
  if (context == nullptr) return false;
  const greg_t* g = static_cast<const ucontext_t*>(context)->uc_mcontext.gregs;
  const int general[] = {REG_RAX, REG_RBX, REG_RCX, REG_RDX, REG_RSI,
                         REG_RDI, REG_RBP, REG_RSP, REG_RIP};
  uint64_t* fields[] = {&out->ax, &out->bx, &out->cx, &out->dx, &out->si,
                        &out->di, &out->bp, &out->sp, &out->ip};
  for (int i = 0; i < 9; ++i) *fields[i] = static_cast<uint64_t>(g[general[i]]);
  const int extra[] = {REG_R8, REG_R9, REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15};
  for (int i = 0; i < 8; ++i) out->r8_r15[i] = static_cast<uint64_t>(g[extra[i]]);
  out->flags = static_cast<uint32_t>(g[REG_EFL]);
  // cs, gs, fs and ss packed as 16-bit fields, lowest first.
  uint64_t segments = static_cast<uint64_t>(g[REG_CSGSFS]);
  out->cs = static_cast<uint16_t>(segments);
  out->gs = static_cast<uint16_t>(segments >> 16);
  out->fs = static_cast<uint16_t>(segments >> 32);
  out->ss = static_cast<uint16_t>(segments >> 48);
  return true;
#else
  (void)context;
  return false;
#endif
}

bool OsReadMemory(uintptr_t address, void* out, size_t size) {
  if (size == 0) return true;
  if (address + size < address) return false;
  const void* p = reinterpret_cast<const void*>(address);
  if (!OsIsReadable(p, size)) return false;
  memcpy(out, p, size);
  return true;
}

bool OsIsWritable(uintptr_t address, size_t size) {
  return OsIsReadable(reinterpret_cast<const void*>(address), size);
}

size_t OsModuleFileName(OsInstance instance, char* buf, size_t size) {
  if (size == 0) return 0;
  buf[0] = '\0';
  if (instance != nullptr && instance != OsExecutableInstance()) return 0;
  ssize_t n = readlink("/proc/self/exe", buf, size - 1);
  if (n <= 0) n = 0;
  buf[n] = '\0';
  return static_cast<size_t>(n);
}

int OsEnumerateLoadedModules(OsLoadedModuleVisitor, void*) { return 0; }

void OsFindCodePlace(uintptr_t, OsCodePlace* out) {
  out->section = 0;
  out->offset = 0;
  out->module[0] = '\0';
}

void OsWalkFaultStack(const void* context, OsFrameVisitor visit, void* arg) {
  OsRegisters registers;
  if (!OsFaultRegisters(context, &registers)) return;
  WalkFramePointers(registers.ip, registers.bp, sizeof(void*), ProcessMemoryProbe(), visit, arg);
}

}  // namespace kor
