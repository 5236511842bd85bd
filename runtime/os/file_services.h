// The file calls a storage format makes (open, create, read and write at an
// offset, flush, size, truncate, lock, close, delete, attributes), behind one
// interface.
// The default forwards each call to the operating-system layer; crash and
// I/O-error tests put a fault-injecting version in its place for a while, so
// the format's code runs unchanged over failing or forgetful "disks" in the
// same test program.
//
// Every call returns 0 or an os.h error number, as the layer below does, and
// posts nothing. Positioned reads and writes move the handle's position; a
// caller that mixes them with OsRead/OsWrite on the same handle seeks first.
#pragma once

#include <cstdint>

#include "runtime/os/os.h"

namespace kor {

class FileServices {
 public:
  virtual ~FileServices() = default;

  virtual uint32_t Open(const char* name, uint32_t mode, OsHandle* handle);
  virtual uint32_t Create(const char* name, uint32_t attributes, OsHandle* handle);
  // Opens with an open-mode byte, creating the file empty when it is missing.
  virtual uint32_t OpenAlways(const char* name, uint32_t mode, OsHandle* handle);
  virtual uint32_t Close(OsHandle handle);
  // Reads `count` bytes at `offset`; *done is the count read (short at the
  // end of the file).
  virtual uint32_t ReadAt(OsHandle handle, int64_t offset, void* buffer, uint32_t count,
                          uint32_t* done);
  // Writes `count` bytes at `offset`; *done is the count written. A short
  // write with a 0 result is possible (a full disk): callers check *done.
  virtual uint32_t WriteAt(OsHandle handle, int64_t offset, const void* buffer, uint32_t count,
                           uint32_t* done);
  // Makes every write before it durable.
  virtual uint32_t Flush(OsHandle handle);
  virtual uint32_t Size(OsHandle handle, int64_t* size);
  // Sets the end of the file at `size`.
  virtual uint32_t Truncate(OsHandle handle, int64_t size);
  virtual uint32_t Lock(OsHandle handle, uint64_t offset, uint64_t length);
  virtual uint32_t Unlock(OsHandle handle, uint64_t offset, uint64_t length);
  virtual uint32_t Delete(const char* name);
  // The low 7 attribute bits of a file (2 when it does not exist).
  virtual uint32_t Attributes(const char* name, uint8_t* attributes);
};

// The services in use: the operating system's unless a test replaced them.
FileServices& Files();
// Puts `services` in place (null puts the operating system's back) and
// returns the one that was in place. The caller keeps `services` alive while
// it is in place.
FileServices* ReplaceFileServices(FileServices* services);

}  // namespace kor
