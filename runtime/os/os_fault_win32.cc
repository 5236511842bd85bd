// Win32 side of the fault hook and of the fault capture: the top-level
// exception filter, registers from the CONTEXT, memory checks through
// VirtualQuery, the image-help library's module list, sections from the image
// headers, and the call stack (frame pointers on x86, unwind data on x64).
#include <windows.h>

#include <string.h>

#include "runtime/os/frame_walk.h"
#include "runtime/os/image_sections.h"
#include "runtime/os/memory_probe.h"
#include "runtime/os/os.h"

namespace kor {

namespace {

OsFaultHandler g_fault_handler = nullptr;
LPTOP_LEVEL_EXCEPTION_FILTER g_previous_filter = nullptr;
bool g_filter_installed = false;

// Room the system keeps on the installing thread's stack for the handler
// after a stack overflow: the report loads the image-help library.
constexpr ULONG kStackGuarantee = 64 * 1024;

LONG WINAPI TopLevelFilter(EXCEPTION_POINTERS* pointers) {
  OsFaultHandler handler = g_fault_handler;
  if (handler != nullptr && pointers != nullptr && pointers->ExceptionRecord != nullptr) {
    OsFaultInfo info{static_cast<uint32_t>(pointers->ExceptionRecord->ExceptionCode),
                     pointers->ExceptionRecord->ExceptionAddress, pointers->ContextRecord};
    handler(info);
  }
  // The system's own fault handling always goes on.
  return EXCEPTION_CONTINUE_SEARCH;
}

bool IsWritableProtection(DWORD protect) {
  switch (protect & 0xFF) {
    case PAGE_READWRITE:
    case PAGE_WRITECOPY:
    case PAGE_EXECUTE_READWRITE:
    case PAGE_EXECUTE_WRITECOPY: return true;
    default: return false;
  }
}

void SetGeneralRegisters(OsRegisters* r, uint64_t ax, uint64_t bx, uint64_t cx, uint64_t dx,
                         uint64_t si, uint64_t di, uint64_t bp, uint64_t sp, uint64_t ip) {
  r->ax = ax, r->bx = bx, r->cx = cx, r->dx = dx, r->si = si, r->di = di;
  r->bp = bp, r->sp = sp, r->ip = ip;
}

void SetSegmentRegisters(OsRegisters* r, DWORD cs, DWORD ss, DWORD ds, DWORD es, DWORD fs,
                         DWORD gs) {
  r->cs = static_cast<uint16_t>(cs), r->ss = static_cast<uint16_t>(ss);
  r->ds = static_cast<uint16_t>(ds), r->es = static_cast<uint16_t>(es);
  r->fs = static_cast<uint16_t>(fs), r->gs = static_cast<uint16_t>(gs);
}

}  // namespace

void OsInstallFaultHandler(OsFaultHandler handler) {
  g_fault_handler = handler;
  if (!g_filter_installed) {
    ULONG guarantee = kStackGuarantee;
    SetThreadStackGuarantee(&guarantee);
    g_previous_filter = SetUnhandledExceptionFilter(TopLevelFilter);
    g_filter_installed = true;
  }
}

void OsRemoveFaultHandler() {
  if (!g_filter_installed) return;
  // Only when ours is still the innermost filter.
  LPTOP_LEVEL_EXCEPTION_FILTER current = SetUnhandledExceptionFilter(g_previous_filter);
  if (current != TopLevelFilter) SetUnhandledExceptionFilter(current);
  g_filter_installed = false;
  g_fault_handler = nullptr;
}

bool OsFaultHandlerInstalled() { return g_filter_installed; }

void OsCauseAccessViolation() {
  volatile uintptr_t address = 16;
  *reinterpret_cast<volatile int*>(address) = 0;
  ExitProcess(0xC0000005);
}

bool OsFaultRegisters(const void* context, OsRegisters* out) {
  memset(out, 0, sizeof *out);
  out->wide = sizeof(void*) == 8;
  if (context == nullptr) return false;
  const CONTEXT& c = *static_cast<const CONTEXT*>(context);
#if defined(_WIN64)
  SetGeneralRegisters(out, c.Rax, c.Rbx, c.Rcx, c.Rdx, c.Rsi, c.Rdi, c.Rbp, c.Rsp, c.Rip);
  const DWORD64 extra[] = {c.R8, c.R9, c.R10, c.R11, c.R12, c.R13, c.R14, c.R15};
  for (int i = 0; i < 8; ++i) out->r8_r15[i] = extra[i];
#else
  SetGeneralRegisters(out, c.Eax, c.Ebx, c.Ecx, c.Edx, c.Esi, c.Edi, c.Ebp, c.Esp, c.Eip);
#endif
  out->flags = c.EFlags;
  SetSegmentRegisters(out, c.SegCs, c.SegSs, c.SegDs, c.SegEs, c.SegFs, c.SegGs);
  return true;
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
  if (address == 0 || address + size < address) return false;
  uintptr_t end = address + size;
  while (address < end) {
    MEMORY_BASIC_INFORMATION mbi;
    if (VirtualQuery(reinterpret_cast<const void*>(address), &mbi, sizeof mbi) == 0) return false;
    if (mbi.State != MEM_COMMIT || (mbi.Protect & PAGE_GUARD) != 0) return false;
    if (!IsWritableProtection(mbi.Protect)) return false;
    address = reinterpret_cast<uintptr_t>(mbi.BaseAddress) + mbi.RegionSize;
  }
  return true;
}

size_t OsModuleFileName(OsInstance instance, char* buf, size_t size) {
  if (size == 0) return 0;
  DWORD n = GetModuleFileNameA(static_cast<HMODULE>(instance), buf, static_cast<DWORD>(size));
  if (n >= size) n = static_cast<DWORD>(size - 1);  // cut: older systems leave no zero
  buf[n] = '\0';
  return n;
}

void OsFindCodePlace(uintptr_t address, OsCodePlace* out) {
  out->section = 0;
  out->offset = 0;
  out->module[0] = '\0';
  MEMORY_BASIC_INFORMATION mbi;
  if (VirtualQuery(reinterpret_cast<const void*>(address), &mbi, sizeof mbi) == 0) return;
  if (mbi.State != MEM_COMMIT || mbi.AllocationBase == nullptr) return;
  HMODULE module = static_cast<HMODULE>(mbi.AllocationBase);
  ImageSection section =
      FindImageSection(reinterpret_cast<uintptr_t>(module), address, ProcessMemoryProbe());
  if (section.number == 0) return;
  if (OsModuleFileName(module, out->module, sizeof out->module) == 0) return;
  out->section = section.number;
  out->offset = section.offset;
}

namespace {

struct ModuleListing {
  OsLoadedModuleVisitor visit;
  void* arg;
  int count;
};

#if defined(_WIN64)
// The 64-bit library names its 64-bit entry "EnumerateLoadedModules64"; the
// entry without the suffix there passes module bases cut to 32 bits.
constexpr char kEnumerateEntry[] = "EnumerateLoadedModules64";
using ModuleBase = DWORD64;
#else
constexpr char kEnumerateEntry[] = "EnumerateLoadedModules";
using ModuleBase = ULONG;
#endif
using EnumerateCallback = BOOL(CALLBACK*)(PCSTR name, ModuleBase base, ULONG size, PVOID arg);
using EnumerateEntry = BOOL(WINAPI*)(HANDLE process, EnumerateCallback callback, PVOID arg);

BOOL CALLBACK ListModule(PCSTR name, ModuleBase base, ULONG size, PVOID arg) {
  ModuleListing* listing = static_cast<ModuleListing*>(arg);
  listing->visit(base, uint64_t{base} + size, name != nullptr ? name : "", listing->arg);
  ++listing->count;
  return TRUE;
}

}  // namespace

int OsEnumerateLoadedModules(OsLoadedModuleVisitor visit, void* arg) {
  HMODULE library = LoadLibraryA("IMAGEHLP.DLL");
  if (library == nullptr) return 0;
  // Through the generic function type: the entry's own type is known only here.
  EnumerateEntry entry = reinterpret_cast<EnumerateEntry>(
      reinterpret_cast<void (*)()>(GetProcAddress(library, kEnumerateEntry)));
  ModuleListing listing{visit, arg, 0};
  if (entry != nullptr) entry(GetCurrentProcess(), ListModule, &listing);
  FreeLibrary(library);
  return listing.count;
}

#if defined(_WIN64)

namespace {

// The calling thread's stack reservation (the handler runs on the faulting
// thread): the regions of one allocation around a local variable.
struct StackBounds {
  DWORD64 low, high;
};

StackBounds ThreadStackBounds() {
  volatile char marker = 0;
  MEMORY_BASIC_INFORMATION mbi;
  if (VirtualQuery(const_cast<char*>(&marker), &mbi, sizeof mbi) == 0) return {0, 0};
  void* reservation = mbi.AllocationBase;
  DWORD64 high = reinterpret_cast<DWORD64>(mbi.BaseAddress) + mbi.RegionSize;
  while (VirtualQuery(reinterpret_cast<void*>(high), &mbi, sizeof mbi) != 0 &&
         mbi.AllocationBase == reservation && mbi.RegionSize != 0)
    high += mbi.RegionSize;
  return {reinterpret_cast<DWORD64>(reservation), high};
}

// Whether `sp` can be a frame's stack pointer: aligned, inside the stack and
// readable (unwinding reads the frame above it).
bool IsStackPointer(DWORD64 sp, const StackBounds& stack) {
  return sp % 8 == 0 && sp >= stack.low && sp + 8 <= stack.high &&
         OsIsReadable(reinterpret_cast<const void*>(sp), 8);
}

// Moves `c` to the caller's frame. A function without unwind data is a leaf:
// its return address is at the stack pointer.
bool UnwindOneFrame(CONTEXT* c) {
  DWORD64 image_base = 0;
  PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(c->Rip, &image_base, nullptr);
  if (function == nullptr) {
    DWORD64 return_address = 0;
    if (!OsReadMemory(c->Rsp, &return_address, sizeof return_address)) return false;
    c->Rip = return_address;
    c->Rsp += 8;
    return true;
  }
  PVOID handler_data = nullptr;
  DWORD64 establisher = 0;
  RtlVirtualUnwind(UNW_FLAG_NHANDLER, image_base, c->Rip, function, c, &handler_data, &establisher,
                   nullptr);
  return true;
}

}  // namespace

// x64 code keeps no frame-pointer chain: the walk follows the unwind data the
// compiler leaves for every function that is not a leaf, as the system's own
// exception dispatch does. Each frame shows its stack pointer. The walk ends
// at a zero return address or a stack pointer that does not move up inside
// the thread's stack.
void OsWalkFaultStack(const void* context, OsFrameVisitor visit, void* arg) {
  if (context == nullptr) return;
  CONTEXT c = *static_cast<const CONTEXT*>(context);
  StackBounds stack = ThreadStackBounds();
  for (;;) {
    if (!visit(c.Rip, c.Rsp, arg)) return;
    DWORD64 sp = c.Rsp;
    if (!IsStackPointer(sp, stack) || !UnwindOneFrame(&c)) return;
    if (c.Rip == 0 || c.Rsp <= sp || !IsStackPointer(c.Rsp, stack)) return;
  }
}

#else

void OsWalkFaultStack(const void* context, OsFrameVisitor visit, void* arg) {
  if (context == nullptr) return;
  const CONTEXT& c = *static_cast<const CONTEXT*>(context);
  WalkFramePointers(c.Eip, c.Ebp, 4, ProcessMemoryProbe(), visit, arg);
}

#endif

}  // namespace kor
