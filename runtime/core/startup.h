// Runtime start-up and halt: the module list, the version check, the
// shutdown sequence, HALT and the runtime error box.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/core/module.h"
#include "runtime/os/os.h"

namespace kor {

// The runtime's own version.
inline constexpr uint32_t kRuntimeMajor = 5;
inline constexpr uint32_t kRuntimeMinor = 0;
inline constexpr uint32_t kRuntimeBuild = 0;

// Links the module (instance 0 = the executable's) at the head of the module
// list and runs its initialisation procedures. The first instance ever
// registered becomes the resource instance.
void RegisterModule(ModuleDescriptor* module, OsInstance instance);
// Unlinks the module with that instance and runs its close-down procedures.
void UnregisterModule(OsInstance instance);
// Instance whose resources hold the message table (null before registration).
OsInstance ResourceInstance();
// Walks the module list, newest first; stops when fn returns false.
void ForEachModule(bool (*fn)(ModuleDescriptor* module, OsInstance instance, void* arg), void* arg);

// 1 = accepted; 0 = refused, after the runtime has shown its message.
int CheckRuntimeVersion(uint32_t version, uint32_t minor, uint32_t build);
// The version the program asked for, stored by an accepted check.
struct RequestedVersion {
  uint32_t major, minor, build;
};
RequestedVersion RequestedRuntimeVersion();

// Once per process: hands the modules' data areas to the window library's
// thread manager and creates the main thread's record.
void RuntimeStart();
// Closes windows, waits for threads, stops the timer, commits an open
// transaction and closes open files, in that order.
void RuntimeShutdown();

// Ends the process: the first call runs the executable module's close-down
// procedures; a second call (from inside one of them) ends at once.
[[noreturn]] void Halt(uint32_t exit_code);

// Shows `text` in the "Halt" box (the installed box, else the system's),
// keeping the error state as it was, and notes that a stop message was shown.
void ShowHaltMessage(const char* text);

// Halt state flags.
bool ExitProcessingDone();
bool StopMessageShown();
void NoteStopMessageShown();

// ---- registration points filled by later subsystems ----

// The steps of RuntimeShutdown that belong to other subsystems.
enum class ShutdownStep {
  kCloseWindows,       // close every open window, newest first
  kWaitForThreads,     // wait for the window library's other threads
  kStopTimer,          // kill the process-wide timer
  kCommitTransaction,  // COMMIT an active transaction
  kCloseFiles,         // close every open file, most recently opened first
  kCount
};
using ShutdownHook = void (*)();
void SetShutdownHook(ShutdownStep step, ShutdownHook hook);

// RuntimeStart's hand-over to the window library's thread manager.
using DataAreaHook = void (*)(void* begin, void* end);
using MainThreadHook = void (*)();
void SetRuntimeStartHooks(DataAreaHook data_area, MainThreadHook main_thread);

// The box ShowHaltMessage shows: the system's message box until the window library
// installs its own.
using MessageBoxHook = int (*)(const char* text, const char* caption, uint32_t style);
void SetHaltMessageBox(MessageBoxHook hook);
// The box the runtime's own messages use (HALT, "Runtime error"): the
// installed one, else the system's message box.
MessageBoxHook HaltMessageBox();

// The handler of the process's top-level fault frame (the fault report).
void InstallRuntimeFaultHandler();

}  // namespace kor
