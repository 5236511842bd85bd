// Writes the fault report's sections, one line at a time through one buffer.
#include "runtime/core/fault_report.h"

#include "runtime/core/library_snapshot.h"
#include "runtime/core/startup.h"

namespace kor {

namespace {

// The state of one report being written: one line buffer for every line.
struct Report {
  const FaultMachine& machine;
  const FaultSink& sink;
  bool wide;
  FaultLine line;

  void EndLine() {
    line.CrLf();
    sink.Put(&line);
  }
  void Heading(const char* text) {
    line.Text(text);
    EndLine();
  }
  // An address as the report's width holds it (a narrow report wraps at 32 bits).
  uint64_t Address(uint64_t a) const { return wide ? a : a & 0xFFFFFFFFu; }
  bool Read(uint64_t address, void* out, size_t size) const {
    if (address > UINTPTR_MAX) return false;
    return machine.read(static_cast<uintptr_t>(address), out, size);
  }
  bool ReadWord(uint64_t address, uint64_t* out) const {
    uint8_t bytes[8];
    size_t size = wide ? 8 : 4;
    if (!Read(address, bytes, size)) return false;
    uint64_t value = 0;
    for (size_t i = size; i-- > 0;) value = value << 8 | bytes[i];
    *out = value;
    return true;
  }
};

void WriteRegisters(Report* r, const OsRegisters& registers) {
  r->Heading("Registers:");
  for (int row = 0; row < RegisterLineCount(r->wide); ++row) {
    FormatRegisterLine(&r->line, registers, row);
    r->sink.Put(&r->line);
  }
}

// A dump of `count` items from `start`, `per_line` to a line; ends (with the
// line end) at the first item that cannot be read.
void WriteDump(Report* r, uint64_t start, int count, int per_line, bool bytes) {
  uint64_t step = bytes ? 1 : (r->wide ? 8 : 4);
  for (int i = 0; i < count; ++i) {
    uint64_t address = r->Address(start + i * step);
    if (i % per_line == 0) StartDumpLine(&r->line, address, r->wide);
    uint64_t word = 0;
    uint8_t byte = 0;
    if (bytes ? !r->Read(address, &byte, 1) : !r->ReadWord(address, &word)) break;
    if (bytes) AddDumpByte(&r->line, byte);
    else AddDumpWord(&r->line, word, r->wide);
    if (i % per_line == per_line - 1) r->EndLine();
  }
  if (!r->line.empty()) r->EndLine();
}

void PutLoadedModule(uint64_t begin, uint64_t end, const char* name, void* arg) {
  Report* r = static_cast<Report*>(arg);
  FormatLoadedModuleLine(&r->line, begin, end, name, r->wide);
  r->sink.Put(&r->line);
}

void PutRuntimeModule(uint64_t instance, const char* file, void* arg) {
  Report* r = static_cast<Report*>(arg);
  FormatRuntimeModuleLine(&r->line, instance, file, r->wide);
  r->sink.Put(&r->line);
}

void WriteModules(Report* r) {
  r->Heading("Loaded Module List:");
  if (r->machine.loaded_modules(PutLoadedModule, r) > 0) return;
  r->machine.runtime_modules(PutRuntimeModule, r);
}

bool PutFrame(uint64_t ip, uint64_t frame, void* arg) {
  Report* r = static_cast<Report*>(arg);
  OsCodePlace place;
  place.section = 0;
  place.offset = 0;
  place.module[0] = '\0';
  if (ip <= UINTPTR_MAX) r->machine.find_code_place(static_cast<uintptr_t>(ip), &place);
  place.module[sizeof place.module - 1] = '\0';
  FormatFrameLine(&r->line, ip, frame, place, r->wide);
  r->sink.Put(&r->line);
  return true;
}

void WriteLibraryState(Report* r) {
  TakeLibrarySnapshot();
  const LibrarySnapshot& s = CurrentLibrarySnapshot();
  r->Heading("Library State:");
  const char* const labels[] = {"EVENT      ", "FIELD      ", "FOCUS      ",
                                "ACCEPTED   ", "FIRSTFIELD ", "LASTFIELD  "};
  const char* const texts[] = {s.event, s.field, s.focus, s.accepted, s.first_field, s.last_field};
  for (int i = 0; i < 6; ++i) {
    FormatStateLine(&r->line, labels[i], texts[i]);
    r->sink.Put(&r->line);
  }
  FormatStateNumberLine(&r->line, "ERRORCODE  ", s.error_code);
  r->sink.Put(&r->line);
  FormatStateLine(&r->line, "ERROR      ", s.error);
  r->sink.Put(&r->line);
}

struct RuntimeModuleWalk {
  void (*visit)(uint64_t instance, const char* file, void* arg);
  void* arg;
};

bool VisitRuntimeModule(ModuleDescriptor*, OsInstance instance, void* arg) {
  RuntimeModuleWalk* walk = static_cast<RuntimeModuleWalk*>(arg);
  char file[260];
  OsModuleFileName(instance, file, sizeof file);
  walk->visit(reinterpret_cast<uintptr_t>(instance), file, walk->arg);
  return true;
}

void ListRuntimeModules(void (*visit)(uint64_t instance, const char* file, void* arg), void* arg) {
  RuntimeModuleWalk walk{visit, arg};
  ForEachModule(VisitRuntimeModule, &walk);
}

size_t ExecutableName(char* buf, size_t size) { return OsModuleFileName(nullptr, buf, size); }

}  // namespace

const FaultMachine& ProcessFaultMachine() {
  static const FaultMachine machine{OsFaultRegisters,         OsReadMemory,       ExecutableName,
                                    OsEnumerateLoadedModules, ListRuntimeModules, OsFindCodePlace,
                                    OsWalkFaultStack};
  return machine;
}

void WriteFaultReport(const FaultMachine& machine, const OsFaultInfo& info, const char* name,
                      const FaultSink& sink) {
  OsRegisters registers;
  bool have_registers = machine.registers(info.context, &registers);
  Report r{machine, sink, registers.wide, FaultLine()};
  uint64_t ip =
      r.Address(have_registers ? registers.ip : reinterpret_cast<uintptr_t>(info.address));
  FormatExceptionLine(&r.line, name, ip, r.wide);
  sink.Put(&r.line);
  char path[300];
  size_t length = machine.executable_name(path, sizeof path);
  path[length < sizeof path ? length : sizeof path - 1] = '\0';
  FormatProcessLine(&r.line, path);
  sink.Put(&r.line);
  WriteRegisters(&r, registers);
  r.Heading(BytesHeading(r.wide));
  WriteDump(&r, ip, kDumpBytes, kDumpBytesPerLine, true);
  r.Heading(StackHeading(r.wide));
  WriteDump(&r, registers.sp, kDumpWords, kDumpWordsPerLine, false);
  r.Heading(FrameHeading(r.wide));
  WriteDump(&r, registers.bp - kFrameDumpBack, kDumpWords, kDumpWordsPerLine, false);
  WriteModules(&r);
  r.Heading("Call Stack:");
  machine.walk_stack(info.context, PutFrame, &r);
  WriteLibraryState(&r);
}

}  // namespace kor
