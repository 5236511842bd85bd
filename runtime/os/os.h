// The operating-system layer: the one place where the runtime core meets the
// platform. The *_win32.cc files implement it on kernel32/user32, the
// *_posix.cc files on POSIX.
// Nothing above this header includes <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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
// The process's number as the system counts processes.
uint32_t OsCurrentProcessId();
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
// Installing it also asks the system to keep room on the installing thread's
// stack for the handler after a stack overflow.
struct OsFaultInfo {
  uint32_t code;        // the system's exception code (0xC0000005 ...)
  const void* address;  // instruction pointer
  const void* context;  // platform processor context (CONTEXT* / ucontext_t*)
};
using OsFaultHandler = void (*)(const OsFaultInfo& info);
void OsInstallFaultHandler(OsFaultHandler handler);
void OsRemoveFaultHandler();
bool OsFaultHandlerInstalled();
// Causes an access violation in the calling thread (never returns normally).
[[noreturn]] void OsCauseAccessViolation();

// ---- fault capture --------------------------------------------------------
//
// What the fault report reads of the process at a fault. Each of these may
// run inside the fault handler, on the faulting thread: none allocates from
// the heap, none uses much stack, and none touches memory it has not checked.
// Windows implements them in os_fault_win32.cc, POSIX in os_fault_posix.cc.

// The processor registers of a fault's context. `wide` is set for a 64-bit
// processor: the general registers then hold 64 bits and r8_r15 is filled.
struct OsRegisters {
  bool wide;
  uint64_t ax, bx, cx, dx, si, di, bp, sp, ip;
  uint64_t r8_r15[8];
  uint32_t flags;
  uint16_t cs, ss, ds, es, fs, gs;
};
// Fills *out from the `context` of an OsFaultInfo. Without a context (or on a
// processor this layer does not know) every register is 0 and false returns;
// `wide` is then the width of this build's pointers.
bool OsFaultRegisters(const void* context, OsRegisters* out);

// Copies `size` bytes at `address` into `out` when every one of them can be
// read; false (and `out` unspecified) otherwise.
bool OsReadMemory(uintptr_t address, void* out, size_t size);
// Whether `size` bytes at `address` can be written. POSIX can only tell
// whether they can be read and answers that.
bool OsIsWritable(uintptr_t address, size_t size);

// Full file name of a module instance (null = the executable) into buf, cut
// to size-1 characters and zero-ended. Returns the length; 0 when unknown.
size_t OsModuleFileName(OsInstance instance, char* buf, size_t size);

// The modules loaded in the process as the system's image-help library
// ("IMAGEHLP.DLL", entry "EnumerateLoadedModules", loaded when needed) lists
// them: start, end (exclusive) and name. Returns how many were listed; 0 when
// the library or its entry is missing (always on POSIX).
using OsLoadedModuleVisitor = void (*)(uint64_t begin, uint64_t end, const char* name, void* arg);
int OsEnumerateLoadedModules(OsLoadedModuleVisitor visit, void* arg);

// Where a code address lies: the module that holds it (the allocation base of
// its memory region), the 1-based number of the image section that holds it
// and the offset within that section. Section 0 and an empty name when the
// address lies in no module or no section (always on POSIX).
struct OsCodePlace {
  uint32_t section;
  uint32_t offset;
  char module[260];
};
void OsFindCodePlace(uintptr_t address, OsCodePlace* out);

// The call stack of a fault's context, innermost frame first: the code
// address and the frame's address on the stack. Returning false from `visit`
// ends the walk. 32-bit x86 follows the saved frame pointers (frame = EBP);
// 64-bit Windows follows the system's unwind data (frame = RSP of the frame).
using OsFrameVisitor = bool (*)(uint64_t ip, uint64_t frame, void* arg);
void OsWalkFaultStack(const void* context, OsFrameVisitor visit, void* arg);

// ---- message box ----------------------------------------------------------

// Style bits and answers as the system uses them.
enum : uint32_t {
  kMbOk = 0x0,
  kMbYesNo = 0x4,
  kMbIconStop = 0x10,
  kMbDefButton2 = 0x100,
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

// A resource's bytes as the system holds them; valid until released.
struct OsResource {
  const uint8_t* data = nullptr;
  size_t size = 0;
  void* owned = nullptr;  // POSIX: the copy read from the resource's file
};
// Loads the resource named `name` of the custom type `type` from the module
// `instance`; false when the module has none. Windows: FindResourceA,
// LoadResource, LockResource and SizeofResource (names compare without regard
// to case). POSIX has no resources in executables: the executable's
// resources are the files NAME.TYPE (both upper case) in its folder, and other
// instances hold none; a name with a path separator finds nothing.
bool OsLoadResource(OsInstance instance, const char* name, const char* type, OsResource* out);
// Gives the resource back (nothing to do on Windows).
void OsReleaseResource(OsResource* resource);

// ---- virtual memory -------------------------------------------------------

// Committed, read-write pages of at least `size` bytes, or null.
void* OsReserveMemory(size_t size);
// Gives back a region obtained from OsReserveMemory (its whole size).
void OsReleaseMemory(void* p, size_t size);
// Resizes a region obtained from OsReserveMemory from old_size to new_size
// bytes, keeping the contents up to the smaller size. Returns the region's
// (possibly new) address, or null when the system cannot do it without a copy;
// the region is then unchanged. POSIX remaps the pages; Windows decommits a
// shrinking tail and recommits pages still reserved by the region.
void* OsResizeMemory(void* p, size_t old_size, size_t new_size);

// ---- runtime log ----------------------------------------------------------

// Writes bytes to the file at `path`: `create` makes it afresh (truncated),
// else they are appended (the file is created when missing). false on failure.
bool OsWriteLogFile(const char* path, const void* data, size_t size, bool create);
// Writes bytes to the auxiliary device "AUX" on Windows; POSIX has no such
// device, so the bytes go to standard error there.
void OsWriteAuxDevice(const void* data, size_t size);
// Up to `max` return addresses of the calling thread's frames, innermost
// first, skipping `skip` frames above the caller. Returns how many were found.
int OsCaptureReturnAddresses(void** out, int max, int skip);

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

// ---- files ----------------------------------------------------------------
//
// The file services speak the old disk-operating-system conventions the
// drivers are built on: an open-mode byte with access and sharing bits, error
// numbers that coincide with the file error codes (2 "File Not Found", 5
// "Access Denied" ...), and packed date and time words. Every operation
// returns 0 or an error number; none posts anything (the caller posts the
// number). The system's last-error value is cleared before each call and after
// each successful call; after a failure it holds the system's own number, so
// that PostError(0) reports it as 300 + n.
//
// Two translations apply to the returned number: a sharing violation (32)
// becomes 5 "Access Denied" and a bad path name (161) becomes 3 "Path Not
// Found". A byte-range lock refused because another open holds it returns 33
// (kOsLockViolation); callers that report it as 32 "File Is Already Locked"
// do so themselves.
//
// On POSIX the same behaviour holds between processes (see os_files_posix.cc):
// sharing is enforced with open-file-description locks (F_OFD_SETLK) on
// reserved bytes at kOsShareLockBase and above, far beyond any data or lock
// range a caller may use:
//   kOsShareLockBase + 1  held (shared) by every open with read access
//   kOsShareLockBase + 2  held (shared) by every open with write access
//   kOsShareLockBase + 3  held (shared) by every open that denies reading
//   kOsShareLockBase + 4  held (shared) by every open that denies writing
// An open tests the bytes its request conflicts with (F_OFD_GETLK) and then
// takes its own, all under an exclusive flock() of the file, so two opens
// cannot pass each other's test. Byte-range locks of OsLock are exclusive OFD
// locks: they belong to the open, survive the closing of other opens of the
// same file, and vanish when their open is closed or its process ends.

// A file handle: HANDLE on Windows, a descriptor on POSIX.
using OsHandle = intptr_t;
inline constexpr OsHandle kOsNoHandle = -1;

// Open mode byte.
enum : uint32_t {
  kOsAccessMask = 0x03,  // bits 0-1
  kOsReadOnly = 0x00,
  kOsWriteOnly = 0x01,
  kOsReadWrite = 0x02,    // 3 is taken as read only
  kOsShareMask = 0x70,    // bits 4-6
  kOsShareCompat = 0x00,  // others may read and write
  kOsDenyAll = 0x10,
  kOsDenyWrite = 0x20,
  kOsDenyRead = 0x30,
  kOsDenyNone = 0x40,  // 0x50..0x70 share nothing
};

// Create attributes (bits 0-1 of the create call).
enum : uint32_t {
  kOsCreateNormal = 0,
  kOsCreateReadOnly = 1,  // the handle then has read access only
  kOsCreateHidden = 2,
  kOsCreateSystem = 3,
};

// Seek origins.
enum : uint32_t { kOsSeekBegin = 0, kOsSeekCurrent = 1, kOsSeekEnd = 2 };

// File attribute bits as the directory entry and OsAttributes give them.
enum : uint8_t {
  kOsAttrReadOnly = 0x01,
  kOsAttrHidden = 0x02,
  kOsAttrSystem = 0x04,
  kOsAttrDirectory = 0x10,
  kOsAttrArchive = 0x20,
};

// The error numbers the services return (the system's own values).
enum : uint32_t {
  kOsOk = 0,
  kOsInvalidFunction = 1,
  kOsFileNotFound = 2,
  kOsPathNotFound = 3,
  kOsTooManyOpenFiles = 4,
  kOsAccessDenied = 5,
  kOsInvalidHandle = 6,
  kOsNotEnoughMemory = 8,
  kOsNotSameDevice = 17,
  kOsWriteProtect = 19,
  kOsGeneralFailure = 31,
  kOsSharingViolation = 32,  // never returned: becomes kOsAccessDenied
  kOsLockViolation = 33,
  kOsInvalidParameter = 87,
  kOsDiskFull = 112,
  kOsNegativeSeek = 131,
  kOsDirNotEmpty = 145,
  kOsNotLocked = 158,
  kOsBadPathName = 161,  // never returned: becomes kOsPathNotFound
  kOsAlreadyExists = 183,
  kOsDirectoryNameInvalid = 267,
};

// Byte-range locks must end at or below this offset (the share bytes above
// it are reserved). A zero length is refused with kOsInvalidParameter.
inline constexpr uint64_t kOsShareLockBase = uint64_t{1} << 62;

// The two translations of a system error number (32 -> 5, 161 -> 3).
uint32_t OsTranslateError(uint32_t system_error);

// Opens an existing file for random access with an open-mode byte.
uint32_t OsOpen(const char* name, uint32_t mode, OsHandle* handle);
// Always creates a new, empty file (an existing one is emptied), sharing
// nothing, with read and write access unless `attributes` is read-only.
// An existing file that is open elsewhere is left untouched and gives 5.
uint32_t OsCreate(const char* name, uint32_t attributes, OsHandle* handle);
// Opens a file for random access with an open-mode byte, creating it empty
// when it does not exist (the sharing of the mode applies either way).
uint32_t OsOpenAlways(const char* name, uint32_t mode, OsHandle* handle);
uint32_t OsClose(OsHandle handle);
// Reads or writes at the current position; *done is the count moved (a read
// at the end of the file gives 0 and success).
uint32_t OsRead(OsHandle handle, void* buffer, uint32_t count, uint32_t* done);
uint32_t OsWrite(OsHandle handle, const void* buffer, uint32_t count, uint32_t* done);
// As OsRead and OsWrite, at `offset` from the start of the file in one call
// (131 for a negative one); the position afterwards is not specified.
uint32_t OsReadAt(OsHandle handle, int64_t offset, void* buffer, uint32_t count, uint32_t* done);
uint32_t OsWriteAt(OsHandle handle, int64_t offset, const void* buffer, uint32_t count,
                   uint32_t* done);
// Moves the position; *position (may be null) receives the new one.
uint32_t OsSeek(OsHandle handle, int64_t offset, uint32_t origin, int64_t* position);
uint32_t OsSize(OsHandle handle, int64_t* size);
// Exclusive lock of a byte range, failing at once (33) when another open
// holds any of it; ranges beyond the end of the file are allowed. A range
// overlapping one this handle holds is refused too. OsUnlock must name
// exactly a range that was locked (else 158).
uint32_t OsLock(OsHandle handle, uint64_t offset, uint64_t length);
uint32_t OsUnlock(OsHandle handle, uint64_t offset, uint64_t length);
// Sets the end of the file at the current position.
uint32_t OsTruncate(OsHandle handle);
// Writes the system's buffers of the file to the disk.
uint32_t OsFlush(OsHandle handle);
// A read-only file is not deleted (5).
uint32_t OsDelete(const char* name);
// Fails with 183 when new_name exists (nothing is overwritten).
uint32_t OsRename(const char* old_name, const char* new_name);
// Makes a directory (183 when the name exists) and removes an empty one.
uint32_t OsMakeDirectory(const char* name);
uint32_t OsRemoveDirectory(const char* name);
// The absolute form of a path (relative names are taken from the current
// directory; "." and ".." components are resolved by name, not by following
// links). The file need not exist.
std::string OsFullPathName(const char* name);
// Whether two full path names spell the same file name: the Windows file
// systems ignore the case of letters (compared here for ASCII letters),
// POSIX ones do not.
bool OsSamePathName(std::string_view a, std::string_view b);
// The low 7 attribute bits of a file or directory.
uint32_t OsAttributes(const char* name, uint8_t* attributes);
// Sets the read-only, hidden, system and archive bits of a file (on POSIX
// only read-only has a meaning: the owner's write permission).
uint32_t OsSetAttributes(const char* name, uint8_t attributes);
// The last-write time in local time as packed words: date = (year - 1980)
// << 9 | month << 5 | day; time = hours << 11 | minutes << 5 | seconds / 2.
uint32_t OsGetFileTime(OsHandle handle, uint16_t* date, uint16_t* time);
uint32_t OsSetFileTime(OsHandle handle, uint16_t date, uint16_t time);

// ---- directory search -----------------------------------------------------

// One entry found by the system's file search.
struct OsFindData {
  char name[260];       // the long name
  char short_name[14];  // the 8.3 name, empty when the system has none
  uint8_t attributes;   // kOsAttr* bits (low 7 bits of the system's)
  uint16_t dos_date;    // last write, local time, packed as OsGetFileTime
  uint16_t dos_time;
  uint64_t size;
};
// Opaque search state; null when nothing is found.
using OsFind = void*;
// Starts a search for a pattern (directory part plus a last component with
// '*' and '?'; matching ignores letter case). Returns null and *error when no
// entry matches (2 or 18) or the directory is bad (3).
OsFind OsFindFirst(const char* pattern, OsFindData* data, uint32_t* error);
// The next entry; false when there are no more.
bool OsFindNext(OsFind find, OsFindData* data);
void OsFindClose(OsFind find);

// ---- processes ------------------------------------------------------------

// Starts a command line as a new process (no inherited handles, default
// start-up information) and waits without limit for it to end. `while_waiting`
// runs before the wait and `after_waiting` after it (either may be null).
// Returns 0 or the system's error number for a failed start (2 for a
// program that does not exist).
uint32_t OsRunAndWait(const char* command, void (*while_waiting)(), void (*after_waiting)());
// Starts a command line through the system's program launcher with the
// show-normally setting and returns at once. Returns the launcher's result:
// above 32 for success, else its error value (0 for lack of memory, 2 for a
// program that does not exist ...).
uint32_t OsLaunch(const char* command);

// ---- clock ----------------------------------------------------------------

// The system's local date and time (GetLocalTime on Windows).
struct OsClock {
  int32_t year;          // 1601..30827
  int32_t month;         // 1..12
  int32_t day;           // 1..31
  int32_t hour;          // 0..23
  int32_t minute;        // 0..59
  int32_t second;        // 0..59
  int32_t milliseconds;  // 0..999
};
OsClock OsLocalTime();

}  // namespace kor
