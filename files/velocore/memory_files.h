// Files kept in memory behind the file-services seam, with a disk that can
// fail and crash on purpose: a test double of the file calls (not of the
// format) for the crash and I/O-error tests, the fuzzer and the tool's tests.
//
// Durability model. Every file has the bytes a reader sees and the bytes
// that are durable (as of its last flush). At a crash, any subset of the
// writes since the last flush may be lost, and the last write may be torn:
// only a prefix of whole 64-byte units of it arrives. CrashImage gives the
// file as a crash at the planned event leaves it.
//
// Events are the calls that change the disk: writes, flushes and
// truncations, counted from 1 over all files since the plan was set.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "runtime/os/file_services.h"

namespace kor::vel {

class MemoryFiles : public FileServices {
 public:
  enum class Loss { kRandom, kAll, kNone };
  struct Plan {
    int64_t crash_at = 0;  // the event during which the machine stops (0: never)
    Loss loss = Loss::kRandom;
    uint32_t seed = 1;           // chooses the lost writes and the tear
    int64_t fail_at = 0;         // the event that fails (0: none)
    bool fail_persists = false;  // every later event fails too
    bool short_write = false;    // the failing write reports success, half done
                                 // (whole 64-byte units of it)
  };

  void SetPlan(const Plan& plan);
  int64_t events() const { return events_; }
  bool crashed() const { return crashed_; }
  // What a reader sees now, and what the planned crash left (valid once
  // crashed()).
  std::vector<uint8_t> Content(const std::string& name) const;
  std::vector<uint8_t> CrashImage(const std::string& name) const;
  void SetContent(const std::string& name, const std::vector<uint8_t>& bytes);
  bool Exists(const std::string& name) const { return files_.count(name) != 0; }

  uint32_t Open(const char* name, uint32_t mode, OsHandle* handle) override;
  uint32_t Create(const char* name, uint32_t attributes, OsHandle* handle) override;
  uint32_t OpenAlways(const char* name, uint32_t mode, OsHandle* handle) override;
  uint32_t Close(OsHandle handle) override;
  uint32_t ReadAt(OsHandle handle, int64_t offset, void* buffer, uint32_t count,
                  uint32_t* done) override;
  uint32_t WriteAt(OsHandle handle, int64_t offset, const void* buffer, uint32_t count,
                   uint32_t* done) override;
  uint32_t Flush(OsHandle handle) override;
  uint32_t Size(OsHandle handle, int64_t* size) override;
  uint32_t Truncate(OsHandle handle, int64_t size) override;
  uint32_t Lock(OsHandle handle, uint64_t offset, uint64_t length) override;
  uint32_t Unlock(OsHandle handle, uint64_t offset, uint64_t length) override;
  uint32_t Delete(const char* name) override;
  uint32_t Attributes(const char* name, uint8_t* attributes) override;

 private:
  struct Change {
    int64_t offset;  // a write at offset; a truncation when `truncate`
    std::vector<uint8_t> bytes;
    bool truncate = false;
  };
  struct File {
    std::vector<uint8_t> current;
    std::vector<uint8_t> durable;
    std::vector<Change> pending;  // since the last flush
    std::vector<uint8_t> crash_image;
  };
  struct Lock_ {
    OsHandle owner;
    uint64_t offset, length;
  };
  // Counts an event; returns 0, or the error the plan gives it (after a
  // crash every call fails).
  uint32_t Event(File& f, const Change* change, bool* short_write);
  void TakeCrashImages(File* writing, const Change* during);
  File* FileOf(OsHandle handle);

  std::map<std::string, File> files_;
  std::map<OsHandle, std::string> handles_;
  std::map<std::string, std::vector<Lock_>> locks_;
  OsHandle next_handle_ = 100;
  Plan plan_;
  int64_t events_ = 0;
  bool crashed_ = false;
};

}  // namespace kor::vel
