// The DOS driver: FILE access to flat binary files, read and written in
// pieces of the record length, records addressed by 1-based byte position.
// No header, keys or memos. The entry is DosDriverEntry.
//
// Driver options (second argument of DRIVER) are "/"-separated and applied as
// if each were sent with SEND after OPEN or SHARE.
//
// SEND commands (case does not matter; each returns the current value, after
// setting it when "=value" follows):
//   FILEBUFFERS[=n]   buffer size in bytes; n sets n * 512 (at least the
//                     record length)
//   QUICKSCAN[=ON|OFF] read-ahead from the buffer; any other value changes
//                     nothing
//   REGISTER          the registration record's address
// Any other command returns "" and changes nothing.
//
// COPY and RENAME never overwrite an existing target (5 "Access Denied").
//
// Properties (SET_PROPERTY / GET_PROPERTY, names not case-sensitive; GET
// returns the value as a string, SET takes it as a string):
//   FILEBUFFERS   as the SEND command, in 512-byte units when set; GET gives bytes
//   QUICKSCAN     "ON" / "OFF"
//   RECORDLENGTH  the record length (read only)
//   FILESIZE      the file size in bytes as last seen (read only)
//   NAME          the external name (read only)
// An unknown property, or setting a read-only one, fails with 80.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/control_block.h"
#include "files/driver.h"
#include "runtime/os/os.h"

namespace kor {

// Driver flags word of a DOS control block.
enum : uint32_t {
  kDosCurrent = 0x1,     // a record is current
  kDosLockWrites = 0x2,  // others may write (deny none, compatibility, deny read):
                         // writes take the file's lock byte
  kDosReadOnly = 0x4,    // opened without write access
  kDosQuickScan = 0x8,   // reads are served from the read-ahead buffer
};

// How PREVIOUS finds its record: from the end after SETfile, one record
// back after a read, from the position as set after other positioning.
enum class DosLastMove { kSetFile, kRead, kOther };

struct DosControlBlock : FileControlBlock {
  ~DosControlBlock() override;

  OsHandle handle = kOsNoHandle;
  uint32_t record_length = 0;  // bytes read or written per record
  int64_t next = 1;            // 1-based position of the next NEXT
  int64_t last = 0;            // 0-based offset of the last record moved
  uint32_t bytes_moved = 0;    // by the last read or write
  int64_t file_size = 0;       // as last seen
  uint32_t flags = 0;          // kDos* bits
  uint32_t lock_count = 0;     // LOCK and write-lock nesting
  DosLastMove last_move = DosLastMove::kOther;
  uint32_t os_error = 0;     // the system's number behind the last 90
  int64_t os_position = -1;  // where the handle stands, when the driver knows

  std::vector<uint8_t> buffer;  // read-ahead buffer, `buffer_size` bytes
  uint32_t buffer_size = 0;
  int64_t buffer_start = 0;      // file offset of buffer[0]
  uint32_t buffer_fill = 0;      // valid bytes in the buffer
  std::vector<uint8_t> scratch;  // OEM copy of the record for writing
};

// Reading and writing (dos_io.cc). Offsets are 0-based. Each returns 0 or
// a file error code.
int32_t DosRead(DosControlBlock& b, int64_t offset, uint32_t length);
int32_t DosWrite(DosControlBlock& b, const uint8_t* data, uint32_t length, bool append,
                 int64_t offset);
// Re-reads the file size from the system.
int32_t DosRefreshSize(DosControlBlock& b);
// Takes / gives back one level of the lock on the file's first byte. Take
// waits while another program holds it, for at most `wait_hundredths` (-1:
// without limit), and then gives 32.
int32_t DosLock(DosControlBlock& b, int32_t wait_hundredths);
void DosUnlock(DosControlBlock& b);
// Converts the text fields of a record image between the OEM and ANSI sets.
void DosConvertText(const FileDescriptor& file, uint8_t* record, uint32_t length, bool to_ansi);
// Drops what the read-ahead buffer holds.
void DosDropBuffer(DosControlBlock& b);
// The file error code for a failed system call: the numbers that are also
// file errors (2, 3, 4, 5, 8) as they are, anything else 90 "File System
// Error" with the system's number kept in b.os_error for the trace.
int32_t DosSystemError(DosControlBlock& b, uint32_t os_error);

// SEND commands, driver options and properties (dos_commands.cc), as the
// top of this file describes them.
// Runs one SEND command ("WORD" or "WORD=value"); returns the current value,
// "" for an unknown word.
std::string DosCommand(DosControlBlock& b, const std::string& command);
// Runs each "/"-separated option of the FILE's DRIVER attribute as a command.
void DosApplyOptions(DosControlBlock& b);
// SET_PROPERTY (`set`) or GET_PROPERTY of the named property; the value read
// or left goes to *out. 0, or 80 for an unknown or read-only property.
int32_t DosProperty(DosControlBlock& b, std::string_view name, std::string_view value, bool set,
                    std::string* out);

// The driver's entry, which a FILE declaration puts in its first field, and
// its registration record (dos_registration.cc).
intptr_t DosDriverEntry(int32_t op, FileDescriptor* file, const void* args);
const DriverRegistration& DosRegistration();

}  // namespace kor
