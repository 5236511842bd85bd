// Formats the fault report's lines by hand: no C library formatting, no heap.
#include "runtime/core/fault_lines.h"

namespace kor {

void FaultLine::Put(char c) {
  if (size_ < kFaultLineSize - kLineEndRoom) buffer_[size_++] = c;
}

FaultLine& FaultLine::Text(const char* text) {
  if (text != nullptr)
    for (; *text != '\0'; ++text) Put(*text);
  return *this;
}

FaultLine& FaultLine::Hex(uint64_t value, int digits, bool upper) {
  const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  char reversed[16];
  int n = 0;
  do {
    reversed[n++] = set[value & 15];
    value >>= 4;
  } while (value != 0);
  for (int i = n; i < digits; ++i) Put('0');
  while (n > 0) Put(reversed[--n]);
  return *this;
}

FaultLine& FaultLine::Decimal(int64_t value) {
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : value;
  if (value < 0) Put('-');
  char reversed[20];
  int n = 0;
  do {
    reversed[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (n > 0) Put(reversed[--n]);
  return *this;
}

// The room kept back by Put guarantees that the line end fits.
FaultLine& FaultLine::CrLf() {
  buffer_[size_++] = '\r';
  buffer_[size_++] = '\n';
  return *this;
}

FaultLine& FaultLine::Lf() {
  buffer_[size_++] = '\n';
  return *this;
}

void FormatExceptionLine(FaultLine* line, const char* name, uint64_t ip, bool wide) {
  line->Text("Exception: ").Text(name).Text(" at ").Hex(ip, AddressDigits(wide)).CrLf();
}

void FormatProcessLine(FaultLine* line, const char* path) {
  line->Text("Process  : ").Text(path).Text(" ").CrLf();
}

int RegisterLineCount(bool wide) { return wide ? 6 : 4; }

namespace {

// One general register, "EAX=%08x" or "RAX=%016x", after a blank unless first.
void Reg(FaultLine& line, const char* name, uint64_t value, bool wide, bool first = false) {
  if (!first) line.Text(" ");
  line.Text(wide ? "R" : "E").Text(name).Text("=").Hex(value, AddressDigits(wide));
}

// One segment register, " CS=%04x".
void Segment(FaultLine& line, const char* name, uint16_t value) {
  line.Text(" ").Text(name).Text("=").Hex(value, 4);
}

// R8 to R15 in two lines of four, names padded to three characters.
void ExtraRegisterLine(FaultLine& line, const OsRegisters& r, int first) {
  static const char* const kNames[] = {"R8 ", "R9 ", "R10", "R11", "R12", "R13", "R14", "R15"};
  for (int i = first; i < first + 4; ++i) {
    if (i != first) line.Text(" ");
    line.Text(kNames[i]).Text("=").Hex(r.r8_r15[i], 16);
  }
}

}  // namespace

void FormatRegisterLine(FaultLine* line, const OsRegisters& r, int row) {
  FaultLine& l = *line;
  bool w = r.wide;
  l.Text("  ");
  switch (row) {
    case 0:
      Reg(l, "AX", r.ax, w, true);
      Segment(l, "CS", r.cs);
      Reg(l, "IP", r.ip, w);
      l.Text(" EFLGS=").Hex(r.flags, 8);
      break;
    case 1:
      Reg(l, "BX", r.bx, w, true);
      Segment(l, "SS", r.ss);
      Reg(l, "SP", r.sp, w);
      Reg(l, "BP", r.bp, w);
      break;
    case 2:
      Reg(l, "CX", r.cx, w, true);
      Segment(l, "DS", r.ds);
      Reg(l, "SI", r.si, w);
      Segment(l, "FS", r.fs);
      break;
    case 3:
      Reg(l, "DX", r.dx, w, true);
      Segment(l, "ES", r.es);
      Reg(l, "DI", r.di, w);
      Segment(l, "GS", r.gs);
      break;
    default: ExtraRegisterLine(l, r, (row - 4) * 4); break;
  }
  l.CrLf();
}

const char* BytesHeading(bool wide) { return wide ? "Bytes at RIP:" : "Bytes at EIP:"; }
const char* StackHeading(bool wide) { return wide ? "Stack Dump at RSP:" : "Stack Dump at ESP:"; }
const char* FrameHeading(bool wide) {
  return wide ? "Stack Dump at RBP-32:" : "Stack Dump at EBP-32:";
}

void StartDumpLine(FaultLine* line, uint64_t address, bool wide) {
  line->Text("  ").Hex(address, AddressDigits(wide)).Text(":");
}

void AddDumpByte(FaultLine* line, uint8_t byte) { line->Text(" ").Hex(byte, 2); }

void AddDumpWord(FaultLine* line, uint64_t word, bool wide) {
  line->Text(" ").Hex(word, AddressDigits(wide));
}

void FormatLoadedModuleLine(FaultLine* line, uint64_t begin, uint64_t end, const char* name,
                            bool wide) {
  int digits = AddressDigits(wide);
  line->Text("  ").Hex(begin, digits).Text("-").Hex(end, digits).Text(" ").Text(name).CrLf();
}

void FormatRuntimeModuleLine(FaultLine* line, uint64_t instance, const char* file, bool wide) {
  line->Text("  ").Hex(instance, AddressDigits(wide)).Text(": ").Text(file).CrLf();
}

void FormatFrameLine(FaultLine* line, uint64_t ip, uint64_t frame, const OsCodePlace& place,
                     bool wide) {
  int digits = AddressDigits(wide);
  line->Hex(ip, digits, true).Text("  ").Hex(frame, digits, true).Text("  ");
  line->Hex(place.section, 4, true).Text(":").Hex(place.offset, 8, true);
  line->Text(" ").Text(place.module).Lf();
}

void FormatStateLine(FaultLine* line, const char* label, const char* text) {
  line->Text("  ").Text(label).Text("= ").Text(text).CrLf();
}

void FormatStateNumberLine(FaultLine* line, const char* label, int32_t number) {
  line->Text("  ").Text(label).Text("= ").Decimal(number).CrLf();
}

}  // namespace kor
