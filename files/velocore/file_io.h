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

class FileIo {
 public:
  FileIo() = default;
  ~FileIo() { Close(); }
  FileIo(const FileIo&) = delete;
  FileIo& operator=(const FileIo&) = delete;

  // Opens an existing file with an open-mode byte (os.h), or creates one.
  // Failures carry the system's number as the file error code where one
  // exists (2, 3, 5 ...), else 90.
  Status Open(const std::string& path, uint32_t mode, std::string_view owner);
  Status Create(const std::string& path, std::string_view owner);
  void Close();
  bool IsOpen() const { return handle_ != kOsNoHandle; }
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
  // one; 32 "File Is Already Locked" when the wait ends.
  Status LockWriter(uint32_t wait_ms);
  void UnlockWriter();
  bool WriterLocked() const { return writer_locked_; }

 private:
  Status OsFailure(uint32_t error) const;

  OsHandle handle_ = kOsNoHandle;
  std::string path_;
  bool writable_ = false;
  bool writer_locked_ = false;
  Cipher cipher_;
  Status kept_;
};

}  // namespace kor::vel
