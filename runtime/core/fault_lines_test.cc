// The fault report's line formats, narrow (the 32-bit release) and wide,
// against lines written out by hand.
#include "runtime/core/fault_lines.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace kor {
namespace {

std::string Of(const FaultLine& line) { return std::string(line.data(), line.size()); }

std::string Format(const std::function<void(FaultLine*)>& format) {
  FaultLine line;
  format(&line);
  return Of(line);
}

OsRegisters Registers(bool wide) {
  OsRegisters r{};
  r.wide = wide;
  r.ax = 0x11;
  r.bx = 0x22;
  r.cx = 0x33;
  r.dx = 0x44;
  r.si = 0x55;
  r.di = 0x66;
  r.bp = 0x0012FF70;
  r.sp = 0x0012FF40;
  r.ip = 0x00401A2B;
  r.flags = 0x10246;
  r.cs = 0x1B;
  r.ss = 0x23;
  r.ds = 0x23;
  r.es = 0x23;
  r.fs = 0x3B;
  r.gs = 0;
  for (int i = 0; i < 8; ++i) r.r8_r15[i] = 0x8000000000000000u + i;
  if (wide) {
    r.ax = 0xFEDCBA9876543210u;
    r.ip = 0x0000000140001A2Bu;
  }
  return r;
}

TEST(FaultLines, EachLineAsTheReportWritesIt) {
  OsRegisters n = Registers(false), w = Registers(true);
  OsCodePlace place{1, 0xA2B, "Z:\\tmp\\probe.exe"};
  OsCodePlace nowhere{0, 0, ""};
  struct {
    std::function<void(FaultLine*)> format;
    const char* expected;
  } const cases[] = {
      {[](FaultLine* l) { FormatExceptionLine(l, "Access Violation", 0x401A2B, false); },
       "Exception: Access Violation at 00401a2b\r\n"},
      {[](FaultLine* l) { FormatExceptionLine(l, "Stack Overflow", 0x140001A2B, true); },
       "Exception: Stack Overflow at 0000000140001a2b\r\n"},
      {[](FaultLine* l) { FormatProcessLine(l, "C:\\MXB\\MXB.EXE"); },
       "Process  : C:\\MXB\\MXB.EXE \r\n"},
      {[&](FaultLine* l) { FormatRegisterLine(l, n, 0); },
       "  EAX=00000011 CS=001b EIP=00401a2b EFLGS=00010246\r\n"},
      {[&](FaultLine* l) { FormatRegisterLine(l, n, 1); },
       "  EBX=00000022 SS=0023 ESP=0012ff40 EBP=0012ff70\r\n"},
      {[&](FaultLine* l) { FormatRegisterLine(l, n, 2); },
       "  ECX=00000033 DS=0023 ESI=00000055 FS=003b\r\n"},
      {[&](FaultLine* l) { FormatRegisterLine(l, n, 3); },
       "  EDX=00000044 ES=0023 EDI=00000066 GS=0000\r\n"},
      {[&](FaultLine* l) { FormatRegisterLine(l, w, 0); },
       "  RAX=fedcba9876543210 CS=001b RIP=0000000140001a2b EFLGS=00010246\r\n"},
      {[&](FaultLine* l) { FormatRegisterLine(l, w, 1); },
       "  RBX=0000000000000022 SS=0023 RSP=000000000012ff40 RBP=000000000012ff70\r\n"},
      {[&](FaultLine* l) { FormatRegisterLine(l, w, 2); },
       "  RCX=0000000000000033 DS=0023 RSI=0000000000000055 FS=003b\r\n"},
      {[&](FaultLine* l) { FormatRegisterLine(l, w, 3); },
       "  RDX=0000000000000044 ES=0023 RDI=0000000000000066 GS=0000\r\n"},
      {[&](FaultLine* l) { FormatRegisterLine(l, w, 4); },
       "  R8 =8000000000000000 R9 =8000000000000001 R10=8000000000000002 "
       "R11=8000000000000003\r\n"},
      {[&](FaultLine* l) { FormatRegisterLine(l, w, 5); },
       "  R12=8000000000000004 R13=8000000000000005 R14=8000000000000006 "
       "R15=8000000000000007\r\n"},
      {[](FaultLine* l) {
         StartDumpLine(l, 0x401A2B, false);
         AddDumpByte(l, 0x8B);
         AddDumpByte(l, 0x05);
         l->CrLf();
       },
       "  00401a2b: 8b 05\r\n"},
      {[](FaultLine* l) {
         StartDumpLine(l, 0x10, false);
         l->CrLf();
       },
       "  00000010:\r\n"},
      {[](FaultLine* l) {
         StartDumpLine(l, 0x12FF40, false);
         AddDumpWord(l, 0x401A2B, false);
         AddDumpWord(l, 0, false);
         l->CrLf();
       },
       "  0012ff40: 00401a2b 00000000\r\n"},
      {[](FaultLine* l) {
         StartDumpLine(l, 0x12FF40, true);
         AddDumpWord(l, 0x140001A2B, true);
         l->CrLf();
       },
       "  000000000012ff40: 0000000140001a2b\r\n"},
      {[](FaultLine* l) { FormatLoadedModuleLine(l, 0x400000, 0x43A000, "mxb", false); },
       "  00400000-0043a000 mxb\r\n"},
      {[](FaultLine* l) { FormatLoadedModuleLine(l, 0x140000000, 0x140041000, "mxb", true); },
       "  0000000140000000-0000000140041000 mxb\r\n"},
      {[](FaultLine* l) { FormatRuntimeModuleLine(l, 0x400000, "C:\\MXB\\MXB.EXE", false); },
       "  00400000: C:\\MXB\\MXB.EXE\r\n"},
      {[&](FaultLine* l) { FormatFrameLine(l, 0x401A2B, 0x12FF70, place, false); },
       "00401A2B  0012FF70  0001:00000A2B Z:\\tmp\\probe.exe\n"},
      {[&](FaultLine* l) { FormatFrameLine(l, 0x10, 0x12FF70, nowhere, false); },
       "00000010  0012FF70  0000:00000000 \n"},
      {[&](FaultLine* l) { FormatFrameLine(l, 0x140001A2B, 0x22FE40, place, true); },
       "0000000140001A2B  000000000022FE40  0001:00000A2B Z:\\tmp\\probe.exe\n"},
      {[](FaultLine* l) { FormatStateLine(l, "EVENT      ", "0"); }, "  EVENT      = 0\r\n"},
      {[](FaultLine* l) { FormatStateLine(l, "ERROR      ", ""); }, "  ERROR      = \r\n"},
      {[](FaultLine* l) { FormatStateNumberLine(l, "ERRORCODE  ", 35); }, "  ERRORCODE  = 35\r\n"},
      {[](FaultLine* l) { FormatStateNumberLine(l, "ERRORCODE  ", -1); }, "  ERRORCODE  = -1\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Format(c.format), c.expected);
}

TEST(FaultLines, HeadingsNameTheRegistersOfTheReportsWidth) {
  EXPECT_STREQ(BytesHeading(false), "Bytes at EIP:");
  EXPECT_STREQ(StackHeading(false), "Stack Dump at ESP:");
  EXPECT_STREQ(FrameHeading(false), "Stack Dump at EBP-32:");
  EXPECT_STREQ(BytesHeading(true), "Bytes at RIP:");
  EXPECT_STREQ(StackHeading(true), "Stack Dump at RSP:");
  EXPECT_STREQ(FrameHeading(true), "Stack Dump at RBP-32:");
  EXPECT_EQ(RegisterLineCount(false), 4);
  EXPECT_EQ(RegisterLineCount(true), 6);
}

TEST(FaultLines, HexAndDecimalAsPrintfGivesThem) {
  struct {
    uint64_t value;
    int digits;
    bool upper;
    const char* expected;
  } const hex[] = {
      {0, 8, false, "00000000"},          {0xABC, 4, true, "0ABC"},
      {0x12345, 4, false, "12345"},       {0xFFFFFFFFFFFFFFFFu, 16, false, "ffffffffffffffff"},
      {0xFFFFFFFFu, 0, true, "FFFFFFFF"}, {0, 0, false, "0"},
  };
  for (const auto& c : hex) {
    FaultLine line;
    line.Hex(c.value, c.digits, c.upper);
    EXPECT_EQ(Of(line), c.expected);
  }
  struct {
    int64_t value;
    const char* expected;
  } const decimal[] = {{0, "0"}, {7, "7"}, {-2147483647 - 1, "-2147483648"}, {1000, "1000"}};
  for (const auto& c : decimal) {
    FaultLine line;
    line.Decimal(c.value);
    EXPECT_EQ(Of(line), c.expected);
  }
}

TEST(FaultLines, ALongLineIsCutButKeepsItsLineEnd) {
  std::string path(600, 'p');
  FaultLine line;
  FormatProcessLine(&line, path.c_str());
  std::string text = Of(line);
  ASSERT_EQ(text.size(), kFaultLineSize);
  EXPECT_EQ(text.substr(0, 11), "Process  : ");
  EXPECT_EQ(text.substr(kFaultLineSize - 3), "p\r\n");

  FaultLine frame;
  OsCodePlace place{2, 0x10, ""};
  std::string module(259, 'm');
  module.copy(place.module, 259);
  place.module[259] = '\0';
  FormatFrameLine(&frame, 1, 2, place, false);
  EXPECT_EQ(Of(frame).back(), '\n');
  EXPECT_EQ(Of(frame).size(), 8 + 2 + 8 + 2 + 4 + 1 + 8 + 1 + 259 + 1u);
}

TEST(FaultLines, ASinkTakesTheLineWholeAndClearsIt) {
  std::string out;
  int writes = 0;
  struct Capture {
    std::string* out;
    int* writes;
  } capture{&out, &writes};
  FaultSink sink{[](void* arg, const char* data, size_t size) {
                   auto* c = static_cast<Capture*>(arg);
                   c->out->append(data, size);
                   ++*c->writes;
                 },
                 &capture};
  FaultLine line;
  FormatExceptionLine(&line, "No Memory", 0x1000, false);
  sink.Put(&line);
  EXPECT_TRUE(line.empty());
  FormatStateNumberLine(&line, "ERRORCODE  ", 0);
  sink.Put(&line);
  EXPECT_EQ(writes, 2);
  EXPECT_EQ(out, "Exception: No Memory at 00001000\r\n  ERRORCODE  = 0\r\n");
}

}  // namespace
}  // namespace kor
