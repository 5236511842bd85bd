// The physical file's reads and writes: through the file-services seam only,
// in whole 64-byte units, through the ENCRYPT cipher when it is on, with the
// internal checks of reading and the kept error of writing. Also the writer
// lock bytes.
//
// Writes do not fail one by one: a failed or short write keeps its error
// (5 "Access Denied" for a short write, else the system's error as 90), every
// later write is skipped, and the commit that follows fails with the kept
// error. Flush reports the kept error too.
//
// Lock bytes (never read or written), at 0x80000000 + n:
//   n = 0..1022   reader slots; a writer holds all of them at once
//   n = 1023      the writer byte (deny-write openers repairing a file)
//   n = 1024+m+1  record m or table m (the driver's HOLD and LOCK)
#pragma once

#include <cstdint>
#include <string>

#include "files/velocore/cipher.h"
#include "files/velocore/status.h"
#include "runtime/os/os.h"

namespace kor::vel {

inline constexpr uint64_t kLockBase = 0x80000000u;
inline constexpr uint32_t kReaderSlots = 1023;

// Open mode bits beyond the open-mode byte: the driver opens the file
// itself (the transaction control files), opening it always (made empty
// when missing) or, with kOwnCreate too, creating it anew.
inline constexpr uint32_t kOwnOpen = 0x100;
inline constexpr uint32_t kOwnCreate = 0x200;
// The open-mode byte (os.h) that an own-open mode stands for: read and
// write access when the low two bits are not 0, else read only; deny-write
// lets others read, other deny bits share nothing, none shares everything.
uint32_t OwnOpenMode(uint32_t mode);

class FileIo {
 public:
  FileIo() = default;
  ~FileIo() { Close(); }
  FileIo(const FileIo&) = delete;
  FileIo& operator=(const FileIo&) = delete;

  // Opens an existing file with an open-mode byte (os.h; with kOwnOpen, see
  // above), or creates one. Failures carry the system's number as the file
  // error code where one exists (2, 3, 5 ...), else 90.
  Status Open(const std::string& path, uint32_t mode, std::string_view owner);
  Status Create(const std::string& path, std::string_view owner);
  void Close();
  bool IsOpen() const { return handle_ != kOsNoHandle; }
  OsHandle handle() const { return handle_; }
  bool Writable() const { return writable_; }
  const std::string& path() const { return path_; }
  bool Encrypted() const { return cipher_.Active(); }

  // Reads up to `size` bytes; *done is the count read (short at the end of
  // the file). Checks 2272 (size not whole units), 2341 (bad position),
  // 2277 (the system failed).
  Status ReadSome(int64_t offset, uint8_t* buffer, uint32_t size, uint32_t* done);
  // The same, and fewer bytes than asked is internal check 2172.
  Status ReadExact(int64_t offset, uint8_t* buffer, uint32_t size);
  // Writes whole units (2286 otherwise); errors are kept, see above.
  Status Write(int64_t offset, const uint8_t* buffer, uint32_t size);
  Status Flush();
  Status KeptError() const { return kept_; }
  void ClearKeptError() { kept_ = Status::Ok(); }
  Status Size(int64_t* size);
  Status Truncate(int64_t size);

  // All reader slots, waiting up to `wait_ms` while another program holds
  // one; 32 "File Is Already Locked" when the wait ends. Never while this
  // handle holds a reader slot (the ranges overlap).
  Status LockWriter(uint32_t wait_ms);
  void UnlockWriter();
  bool WriterLocked() const { return writer_locked_; }
  // One free reader slot: the slot counter's, or, while another program
  // holds that one, the next (modulo 1023), waiting up to `wait_ms` while a
  // writer holds them all; 32 when the wait ends. Nothing to do while this
  // handle holds the writer lock or a slot already.
  Status LockReader(uint32_t wait_ms);
  void UnlockReader();
  bool ReaderLocked() const { return reader_locked_; }

 private:
  Status OsFailure(uint32_t error) const;

  OsHandle handle_ = kOsNoHandle;
  std::string path_;
  bool writable_ = false;
  bool writer_locked_ = false;
  bool reader_locked_ = false;
  uint32_t reader_slot_ = 0;  // the slot held, and where the next search starts
  Cipher cipher_;
  Status kept_;
};

}  // namespace kor::vel
