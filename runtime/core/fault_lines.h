// The fault report's lines, each formatted from captured values into one
// fixed 512-byte buffer and handed on whole, so that every line reaches the
// file in one write. Nothing here allocates: it runs inside the fault handler.
//
// The 32-bit release writes 8 hex digits for an address or register; a wide
// (64-bit) report writes the same lines with 16 digits, the R names of the
// registers and two more register lines for R8 to R15, and dumps the stack in
// 8-byte words. Report lines end in CR LF, call-stack lines in LF alone.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/os/os.h"

namespace kor {

inline constexpr size_t kFaultLineSize = 512;

// One line being built. Text beyond the buffer is cut; the line end always
// fits.
class FaultLine {
 public:
  FaultLine& Text(const char* text);
  // `digits` is the least number of digits, as printf's "%08x" gives.
  FaultLine& Hex(uint64_t value, int digits, bool upper = false);
  FaultLine& Decimal(int64_t value);
  FaultLine& CrLf();
  FaultLine& Lf();
  void Clear() { size_ = 0; }

  const char* data() const { return buffer_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

 private:
  static constexpr size_t kLineEndRoom = 2;
  void Put(char c);
  char buffer_[kFaultLineSize];
  size_t size_ = 0;
};

// Where finished lines go (the report file; a string in tests).
struct FaultSink {
  void (*write)(void* arg, const char* data, size_t size);
  void* arg;
  void Put(FaultLine* line) const {
    write(arg, line->data(), line->size());
    line->Clear();
  }
};

// Digits of an address or register in a report of that width.
inline int AddressDigits(bool wide) { return wide ? 16 : 8; }

// "Exception: %s at %08x"
void FormatExceptionLine(FaultLine* line, const char* name, uint64_t ip, bool wide);
// "Process  : %s " (the blank before the line end is the report's own)
void FormatProcessLine(FaultLine* line, const char* path);

// The register lines after "Registers:": 4 in a narrow report, 6 in a wide.
int RegisterLineCount(bool wide);
// Row 0..RegisterLineCount-1, e.g. "  EAX=%08x CS=%04x EIP=%08x EFLGS=%08x".
void FormatRegisterLine(FaultLine* line, const OsRegisters& r, int row);

// Section headings that name a register: "Bytes at EIP:", "Stack Dump at
// ESP:", "Stack Dump at EBP-32:" (RIP, RSP, RBP in a wide report).
const char* BytesHeading(bool wide);
const char* StackHeading(bool wide);
const char* FrameHeading(bool wide);

// A dump line: "  %08x:" then " %02x" per byte or " %08x" per word.
void StartDumpLine(FaultLine* line, uint64_t address, bool wide);
void AddDumpByte(FaultLine* line, uint8_t byte);
void AddDumpWord(FaultLine* line, uint64_t word, bool wide);

// "  %08x-%08x %s": a module as the image-help library lists it.
void FormatLoadedModuleLine(FaultLine* line, uint64_t begin, uint64_t end, const char* name,
                            bool wide);
// "  %08x: %s": a module of the runtime's own list, by instance handle.
void FormatRuntimeModuleLine(FaultLine* line, uint64_t instance, const char* file, bool wide);

// "%08X  %08X  %04X:%08X %s" ended by LF alone: code address, frame,
// section number, offset in the section, module file name.
void FormatFrameLine(FaultLine* line, uint64_t ip, uint64_t frame, const OsCodePlace& place,
                     bool wide);

// "  LABEL = %s": label is the padded name ("EVENT      ", "ERRORCODE  ").
void FormatStateLine(FaultLine* line, const char* label, const char* text);
void FormatStateNumberLine(FaultLine* line, const char* label, int32_t number);

}  // namespace kor
