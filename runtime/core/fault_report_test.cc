// The whole fault report over a machine laid out by hand: the sections in
// order, dumps that end at unreadable memory, the two module lists, the call
// stack and the library state, in the narrow and the wide layout.
#include "runtime/core/fault_report.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "runtime/core/error_state.h"
#include "runtime/core/library_snapshot.h"
#include "runtime/os/fake_memory_testing.h"

namespace kor {
namespace {

// The machine the fake's functions read (they take no argument of their own).
struct Fake {
  bool have_registers = true;
  OsRegisters registers{};
  testing::FakeMemory memory;
  std::vector<std::pair<uint64_t, std::string>> loaded;  // begin, name (64 KB each)
  std::vector<std::pair<uint64_t, std::string>> runtime;
  std::vector<std::pair<uint64_t, uint64_t>> frames;
};
Fake* g_fake = nullptr;

const FaultMachine kFakeMachine{
    [](const void*, OsRegisters* out) {
      *out = g_fake->registers;
      return g_fake->have_registers;
    },
    [](uintptr_t address, void* out, size_t size) {
      return g_fake->memory.Read(address, out, size);
    },
    [](char* buf, size_t size) { return std::string("C:\\MXB\\PROBE.EXE").copy(buf, size - 1); },
    [](OsLoadedModuleVisitor visit, void* arg) {
      for (const auto& m : g_fake->loaded) visit(m.first, m.first + 0x10000, m.second.c_str(), arg);
      return static_cast<int>(g_fake->loaded.size());
    },
    [](void (*visit)(uint64_t, const char*, void*), void* arg) {
      for (const auto& m : g_fake->runtime) visit(m.first, m.second.c_str(), arg);
    },
    [](uintptr_t address, OsCodePlace* out) {
      *out = OsCodePlace{0, 0, ""};
      if (address >= 0x401000 && address < 0x402000) {
        *out = OsCodePlace{1, static_cast<uint32_t>(address - 0x401000), "C:\\MXB\\PROBE.EXE"};
      }
    },
    [](const void*, OsFrameVisitor visit, void* arg) {
      for (const auto& f : g_fake->frames)
        if (!visit(f.first, f.second, arg)) return;
    },
};

// A 32-bit process stopped at 0x401000 with 20 readable code bytes there and
// a stack readable from 0x12FF00 to 0x12FF60.
Fake NarrowMachine() {
  Fake f;
  OsRegisters& r = f.registers;
  r.wide = false;
  r.ax = 1, r.bx = 2, r.cx = 3, r.dx = 4, r.si = 5, r.di = 6;
  r.ip = 0x401000, r.sp = 0x12FF00, r.bp = 0x12FF40, r.flags = 0x246;
  r.cs = 0x1B, r.ss = 0x23, r.ds = 0x23, r.es = 0x23, r.fs = 0x3B, r.gs = 0;
  for (int i = 0; i < 20; ++i) f.memory.PutWord(0x401000 + i, 0x10 + i, 1, false);
  for (int k = 0; k < 24; ++k) f.memory.PutWord(0x12FF00 + 4 * k, 0xA0000000u + k, 4);
  f.loaded = {{0x400000, "probe"}, {0x7C800000, "kernel32"}};
  f.runtime = {{0x400000, "C:\\MXB\\PROBE.EXE"}};
  f.frames = {{0x401000, 0x12FF40}, {0x401234, 0x12FF60}, {0x7C816FD7, 0x12FFF0}};
  return f;
}

std::string Report(Fake* fake, const OsFaultInfo& info, const char* name, int* writes = nullptr) {
  g_fake = fake;
  struct Out {
    std::string text;
    int writes = 0;
  } out;
  FaultSink sink{[](void* arg, const char* data, size_t size) {
                   static_cast<Out*>(arg)->text.append(data, size);
                   ++static_cast<Out*>(arg)->writes;
                 },
                 &out};
  WriteFaultReport(kFakeMachine, info, name, sink);
  g_fake = nullptr;
  if (writes != nullptr) *writes = out.writes;
  return out.text;
}

class FaultReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearError();
    SetLibraryStateProvider(nullptr);
  }
  void TearDown() override { SetUp(); }
  const OsFaultInfo info_{0xC0000005, reinterpret_cast<const void*>(0x401000), &info_};
};

const std::string kBlankError(59, ' ');

TEST_F(FaultReportTest, TheNarrowReportLineByLine) {
  Fake fake = NarrowMachine();
  int writes = 0;
  std::string report = Report(&fake, info_, "Access Violation", &writes);
  std::string expected =
      "Exception: Access Violation at 00401000\r\n"
      "Process  : C:\\MXB\\PROBE.EXE \r\n"
      "Registers:\r\n"
      "  EAX=00000001 CS=001b EIP=00401000 EFLGS=00000246\r\n"
      "  EBX=00000002 SS=0023 ESP=0012ff00 EBP=0012ff40\r\n"
      "  ECX=00000003 DS=0023 ESI=00000005 FS=003b\r\n"
      "  EDX=00000004 ES=0023 EDI=00000006 GS=0000\r\n"
      "Bytes at EIP:\r\n"
      "  00401000: 10 11 12 13 14 15 16 17 18 19 1a 1b 1c 1d 1e 1f\r\n"
      "  00401010: 20 21 22 23\r\n"
      "Stack Dump at ESP:\r\n"
      "  0012ff00: a0000000 a0000001 a0000002 a0000003\r\n"
      "  0012ff10: a0000004 a0000005 a0000006 a0000007\r\n"
      "  0012ff20: a0000008 a0000009 a000000a a000000b\r\n"
      "  0012ff30: a000000c a000000d a000000e a000000f\r\n"
      "  0012ff40: a0000010 a0000011 a0000012 a0000013\r\n"
      "  0012ff50: a0000014 a0000015 a0000016 a0000017\r\n"
      "  0012ff60:\r\n"
      "Stack Dump at EBP-32:\r\n"
      "  0012ff20: a0000008 a0000009 a000000a a000000b\r\n"
      "  0012ff30: a000000c a000000d a000000e a000000f\r\n"
      "  0012ff40: a0000010 a0000011 a0000012 a0000013\r\n"
      "  0012ff50: a0000014 a0000015 a0000016 a0000017\r\n"
      "  0012ff60:\r\n"
      "Loaded Module List:\r\n"
      "  00400000-00410000 probe\r\n"
      "  7c800000-7c810000 kernel32\r\n"
      "Call Stack:\r\n"
      "00401000  0012FF40  0001:00000000 C:\\MXB\\PROBE.EXE\n"
      "00401234  0012FF60  0001:00000234 C:\\MXB\\PROBE.EXE\n"
      "7C816FD7  0012FFF0  0000:00000000 \n"
      "Library State:\r\n"
      "  EVENT      = 0\r\n"
      "  FIELD      = 0\r\n"
      "  FOCUS      = 0\r\n"
      "  ACCEPTED   = 0\r\n"
      "  FIRSTFIELD = 0\r\n"
      "  LASTFIELD  = 0\r\n"
      "  ERRORCODE  = 0\r\n"
      "  ERROR      = " +
      kBlankError + "\r\n";
  EXPECT_EQ(report, expected);
  // One write per line.
  int lines = 0;
  for (char c : expected) lines += c == '\n';
  EXPECT_EQ(writes, lines);
}

TEST_F(FaultReportTest, AnUnreadableInstructionPointerGivesAnEmptyByteLine) {
  Fake fake = NarrowMachine();
  fake.registers.ip = 0x10;
  std::string report = Report(&fake, info_, "Access Violation");
  EXPECT_NE(report.find("Exception: Access Violation at 00000010\r\n"), std::string::npos);
  EXPECT_NE(report.find("Bytes at EIP:\r\n  00000010:\r\nStack Dump at ESP:\r\n"),
            std::string::npos);
}

TEST_F(FaultReportTest, AnUnreadableStackGivesEmptyDumpLines) {
  Fake fake = NarrowMachine();
  fake.registers.sp = 0x4;
  fake.registers.bp = 0x8;  // minus 32 wraps below address 0
  std::string report = Report(&fake, info_, "Stack Overflow");
  EXPECT_NE(report.find("Stack Dump at ESP:\r\n  00000004:\r\nStack Dump at EBP-32:\r\n"
                        "  ffffffe8:\r\nLoaded Module List:\r\n"),
            std::string::npos);
}

TEST_F(FaultReportTest, WithoutTheImageHelpListTheRuntimesModulesAreListed) {
  Fake fake = NarrowMachine();
  fake.loaded.clear();
  fake.runtime = {{0x10000000, "C:\\MXB\\EXTRA.DLL"}, {0x400000, "C:\\MXB\\PROBE.EXE"}};
  std::string report = Report(&fake, info_, "Access Violation");
  EXPECT_NE(report.find("Loaded Module List:\r\n"
                        "  10000000: C:\\MXB\\EXTRA.DLL\r\n"
                        "  00400000: C:\\MXB\\PROBE.EXE\r\n"
                        "Call Stack:\r\n"),
            std::string::npos);
}

TEST_F(FaultReportTest, TheLibraryStateComesFromTheProviderAndTheErrorState) {
  Fake fake = NarrowMachine();
  SetLibraryStateProvider([](LibraryState* state) {
    state->event = {1, "EVENT:Accepted"};
    state->field = {2, "?Make"};
    state->focus = {2, "?Make"};
    state->accepted = {0, nullptr};
    state->first_field = {1, nullptr};
    state->last_field = {12, nullptr};
  });
  PostError(35);
  std::string report = Report(&fake, info_, "Access Violation");
  std::string tail =
      "Library State:\r\n"
      "  EVENT      = EVENT:Accepted (1 (01H))\r\n"
      "  FIELD      = ?Make (2 (02H))\r\n"
      "  FOCUS      = ?Make (2 (02H))\r\n"
      "  ACCEPTED   = 0\r\n"
      "  FIRSTFIELD = 1 (01H)\r\n"
      "  LASTFIELD  = 12 (0CH)\r\n"
      "  ERRORCODE  = 35\r\n"
      "  ERROR      = Record Not Found" +
      std::string(59 - 16, ' ') + "\r\n";
  ASSERT_GE(report.size(), tail.size());
  EXPECT_EQ(report.substr(report.size() - tail.size()), tail);
}

TEST_F(FaultReportTest, WithoutRegistersTheFaultAddressIsUsed) {
  Fake fake = NarrowMachine();
  fake.have_registers = false;
  fake.registers = OsRegisters{};
  fake.frames.clear();
  std::string report = Report(&fake, info_, "Page Fault");
  EXPECT_EQ(report.substr(0, report.find('\n') + 1), "Exception: Page Fault at 00401000\r\n");
  EXPECT_NE(report.find("  EAX=00000000 CS=0000 EIP=00000000 EFLGS=00000000\r\n"),
            std::string::npos);
  EXPECT_NE(report.find("Call Stack:\r\nLibrary State:\r\n"), std::string::npos);
}

TEST_F(FaultReportTest, TheWideReportWritesSixteenDigitsAndEightByteWords) {
  Fake fake;
  OsRegisters& r = fake.registers;
  r.wide = true;
  r.ip = 0x140001000, r.sp = 0x22FE00, r.bp = 0x22FE20;
  r.r8_r15[7] = 0xF;
  for (int i = 0; i < 3; ++i) fake.memory.PutWord(0x140001000 + i, 0xC3 + i, 1);
  for (int k = 0; k < 5; ++k) fake.memory.PutWord(0x22FE00 + 8 * k, 0x7FF000000000u + k, 8);
  fake.loaded = {{0x140000000, "probe"}};
  fake.frames = {{0x140001000, 0x22FE00}};
  std::string report = Report(&fake, info_, "Illegal Instruction");
  std::string head =
      "Exception: Illegal Instruction at 0000000140001000\r\n"
      "Process  : C:\\MXB\\PROBE.EXE \r\n"
      "Registers:\r\n"
      "  RAX=0000000000000000 CS=0000 RIP=0000000140001000 EFLGS=00000000\r\n"
      "  RBX=0000000000000000 SS=0000 RSP=000000000022fe00 RBP=000000000022fe20\r\n"
      "  RCX=0000000000000000 DS=0000 RSI=0000000000000000 FS=0000\r\n"
      "  RDX=0000000000000000 ES=0000 RDI=0000000000000000 GS=0000\r\n"
      "  R8 =0000000000000000 R9 =0000000000000000 R10=0000000000000000 "
      "R11=0000000000000000\r\n"
      "  R12=0000000000000000 R13=0000000000000000 R14=0000000000000000 "
      "R15=000000000000000f\r\n"
      "Bytes at RIP:\r\n"
      "  0000000140001000: c3 c4 c5\r\n"
      "Stack Dump at RSP:\r\n"
      "  000000000022fe00: 00007ff000000000 00007ff000000001 00007ff000000002 "
      "00007ff000000003\r\n"
      "  000000000022fe20: 00007ff000000004\r\n"
      "Stack Dump at RBP-32:\r\n"
      "  000000000022fe00: 00007ff000000000 00007ff000000001 00007ff000000002 "
      "00007ff000000003\r\n"
      "  000000000022fe20: 00007ff000000004\r\n"
      "Loaded Module List:\r\n"
      "  0000000140000000-0000000140010000 probe\r\n"
      "Call Stack:\r\n"
      "0000000140001000  000000000022FE00  0000:00000000 \n"
      "Library State:\r\n";
  EXPECT_EQ(report.substr(0, head.size()), head);
}

}  // namespace
}  // namespace kor
