// The fault report's sections, written in order from what the report reads
// of the machine at the fault:
//
//   Exception: NAME at IP         the fault and the instruction pointer
//   Process  : FILE               the executable's full file name
//   Registers:                    4 lines (6 in a wide report)
//   Bytes at EIP:                 32 bytes from the instruction pointer
//   Stack Dump at ESP:            32 words from the stack pointer
//   Stack Dump at EBP-32:         32 words from the frame pointer minus 32
//   Loaded Module List:           the image-help library's list, else the
//                                 runtime's own list of registered modules
//   Call Stack:                   one line per frame, ended by LF alone
//   Library State:                TakeLibrarySnapshot's eight fields
//
// A dump ends (with its line end) at the first byte or word that cannot be
// read, so an unreadable address gives a line with the address alone. Words
// are 4 bytes in a narrow report and 8 in a wide one; dumps give 16 bytes or
// 4 words to a line.
//
// The call stack of a narrow (32-bit) report follows the saved frame
// pointers and shows EBP per frame. 64-bit code keeps no frame-pointer chain,
// so a wide report's walk follows the unwind data the platform keeps for each
// function and shows each frame's stack pointer in the frame column; the
// section and offset columns are found the same way in both.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/core/fault_lines.h"
#include "runtime/os/os.h"

namespace kor {

// What the report reads of the machine. The process's own reads through the
// operating-system layer; tests give a machine laid out by hand.
struct FaultMachine {
  bool (*registers)(const void* context, OsRegisters* out);
  bool (*read)(uintptr_t address, void* out, size_t size);
  size_t (*executable_name)(char* buf, size_t size);
  int (*loaded_modules)(OsLoadedModuleVisitor visit, void* arg);
  // The runtime's registered modules, newest first: instance and file name.
  void (*runtime_modules)(void (*visit)(uint64_t instance, const char* file, void* arg), void* arg);
  void (*find_code_place)(uintptr_t address, OsCodePlace* out);
  void (*walk_stack)(const void* context, OsFrameVisitor visit, void* arg);
};

const FaultMachine& ProcessFaultMachine();

inline constexpr int kDumpBytes = 32;
inline constexpr int kDumpBytesPerLine = 16;
inline constexpr int kDumpWords = 32;
inline constexpr int kDumpWordsPerLine = 4;
inline constexpr uint64_t kFrameDumpBack = 32;  // "EBP-32"

// Writes the whole report for a fault named `name` to the sink, taking the
// library snapshot on the way.
void WriteFaultReport(const FaultMachine& machine, const OsFaultInfo& info, const char* name,
                      const FaultSink& sink);

}  // namespace kor
