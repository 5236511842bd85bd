// The operating-system layer: the one place where the runtime core meets the
// platform. os_win32.cc implements it on kernel32/user32, os_posix.cc on POSIX.
// Nothing above this header includes <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kor {

// ---- process and module -------------------------------------------------

// Opaque module instance (HINSTANCE on Windows; a non-zero token on POSIX).
using OsInstance = void*;

// Instance handle of the executable.
OsInstance OsExecutableInstance();
// Full path of the executable file.
std::string OsExecutablePath();
// Ends the process at once with the exit code; never returns.
[[noreturn]] void OsExitProcess(uint32_t code);
// Resets the floating-point unit to its default state.
void OsResetFpu();
// Milliseconds since some fixed point (wraps after 49 days).
uint32_t OsTickCount();
// The calling thread's number as the system counts threads.
uint32_t OsCurrentThreadId();
// The system's last-error value of the calling thread, and a way to set it.
uint32_t OsLastError();
void OsSetLastError(uint32_t code);
// Whether `size` bytes at `p` can be read without a fault.
bool OsIsReadable(const void* p, size_t size);

// Fixed blocks of the system's global heap (GlobalAlloc on Windows).
void* OsGlobalAlloc(size_t size);
void OsGlobalFree(void* p);

// ---- faults ---------------------------------------------------------------

// Process-wide fault hook. The handler is told of every processor fault (and
// of the access violation a runtime error answered Yes causes on purpose)
// before the system's own handling, which always goes on afterwards.
struct OsFaultInfo {
  uint32_t code;              // the system's exception code (0xC0000005 ...)
  const void* address;        // instruction pointer
  const void* context;        // platform processor context (CONTEXT* / ucontext_t*)
};
using OsFaultHandler = void (*)(const OsFaultInfo& info);
void OsInstallFaultHandler(OsFaultHandler handler);
void OsRemoveFaultHandler();
bool OsFaultHandlerInstalled();
// Causes an access violation in the calling thread (never returns normally).
[[noreturn]] void OsCauseAccessViolation();

// ---- message box ----------------------------------------------------------

// Style bits and answers as the system uses them.
enum : uint32_t {
  kMbOk = 0x0, kMbYesNo = 0x4, kMbIconStop = 0x10, kMbDefButton2 = 0x100,
};
enum : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };
// The system's message box with no owner. On POSIX there is no desktop: the
// caption and text go to standard error and the default button is taken.
int OsMessageBox(const char* text, const char* caption, uint32_t style);

// ---- resources ------------------------------------------------------------

// Loads string `id` of the message table of `instance` into buf (at most
// size-1 characters and a zero). Returns the length; 0 when there is none.
// Windows reads the string-table resource; POSIX the compiled-in table.
size_t OsLoadString(OsInstance instance, uint32_t id, char* buf, size_t size);

// ---- virtual memory -------------------------------------------------------

// Committed, read-write pages of at least `size` bytes, or null.
void* OsReserveMemory(size_t size);
// Gives back a region obtained from OsReserveMemory (its whole size).
void OsReleaseMemory(void* p, size_t size);

// ---- system profile -------------------------------------------------------

// The system profile: WIN.INI through GetProfileStringA on Windows; on POSIX
// an INI file named by the environment variable KORPROFILE, else
// $HOME/.korvane/win.ini. A missing file or entry gives the default.
std::string OsGetProfileString(const char* section, const char* key, const char* def);
int OsGetProfileInt(const char* section, const char* key, int def);
// Private profile file (INI syntax) at `path`.
std::string OsGetPrivateProfileString(const char* section, const char* key, const char* def,
                                      const char* path);

// ---- character sets -------------------------------------------------------

// Converts n bytes between the OEM and the Windows (ANSI) character sets;
// src and dst may be the same buffer. Windows: OemToCharBuffA and
// CharToOemBuffA; POSIX: code page 437 and Windows-1252 tables.
void OsOemToAnsi(const char* src, char* dst, size_t n);
void OsAnsiToOem(const char* src, char* dst, size_t n);
// Whether the system counts a character of the Windows set as a letter, and
// its lower and upper case (the character itself when it has none).
bool OsIsCharAlpha(uint8_t c);
uint8_t OsCharLower(uint8_t c);
uint8_t OsCharUpper(uint8_t c);
// The characters 2 to 254 in the order the system's string comparison sorts
// them, one byte each.
void OsSystemCharacterOrder(uint8_t order[253]);
// Whether the file system of the current drive takes long file names.
bool OsLongFileNamesSupported();

}  // namespace kor
