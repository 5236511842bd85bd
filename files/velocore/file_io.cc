// Reads, writes and lock bytes of the physical file (see file_io.h).
#include "files/velocore/file_io.h"

#include <chrono>
#include <thread>
#include <vector>

#include "files/velocore/format.h"
#include "runtime/os/file_services.h"

namespace kor::vel {

Status FileIo::OsFailure(uint32_t error) const {
  switch (error) {
    case kOsFileNotFound: return Status::Error(kErrFileNotFound);
    case kOsPathNotFound: return Status::Error(kErrPathNotFound);
    case kOsAccessDenied: return Status::Error(kErrAccessDenied);
    default: return Status::Os(error);
  }
}

uint32_t OwnOpenMode(uint32_t mode) {
  uint32_t access = (mode & kOsAccessMask) != 0 ? kOsReadWrite : kOsReadOnly;
  uint32_t deny = mode & 0x30;
  uint32_t share = deny == kOsDenyWrite ? kOsDenyWrite : deny != 0 ? kOsDenyAll : kOsDenyNone;
  return access | share;
}

Status FileIo::Open(const std::string& path, uint32_t mode, std::string_view owner) {
  Close();
  uint32_t e = kOsOk;
  if ((mode & kOwnOpen) == 0) {
    e = Files().Open(path.c_str(), mode, &handle_);
  } else if ((mode & kOwnCreate) != 0) {
    mode = kOsReadWrite | kOsDenyAll;
    e = Files().Create(path.c_str(), kOsCreateNormal, &handle_);
  } else {
    mode = OwnOpenMode(mode);
    e = Files().OpenAlways(path.c_str(), mode, &handle_);
  }
  if (e != kOsOk) {
    handle_ = kOsNoHandle;
    return OsFailure(e);
  }
  path_ = path;
  reader_slot_ = OsCurrentProcessId() % kReaderSlots;
  writable_ = (mode & kOsAccessMask) == kOsReadWrite || (mode & kOsAccessMask) == kOsWriteOnly;
  cipher_ = Cipher(owner);
  kept_ = Status::Ok();
  return Status::Ok();
}

Status FileIo::Create(const std::string& path, std::string_view owner) {
  Close();
  uint32_t e = Files().Create(path.c_str(), kOsCreateNormal, &handle_);
  if (e != kOsOk) {
    handle_ = kOsNoHandle;
    return OsFailure(e);
  }
  path_ = path;
  writable_ = true;
  cipher_ = Cipher(owner);
  kept_ = Status::Ok();
  return Status::Ok();
}

void FileIo::Close() {
  if (handle_ == kOsNoHandle) return;
  if (writer_locked_) UnlockWriter();
  if (reader_locked_) UnlockReader();
  Files().Close(handle_);
  handle_ = kOsNoHandle;
}

Status FileIo::ReadSome(int64_t offset, uint8_t* buffer, uint32_t size, uint32_t* done) {
  *done = 0;
  if (size % kCipherUnit != 0) return Check(kCheckReadUnit);
  if (offset < 0 || offset % kCipherUnit != 0) return Check(kCheckSeek);
  if (Files().ReadAt(handle_, offset, buffer, size, done) != kOsOk) {
    return Check(kCheckReadFailed);
  }
  cipher_.Decipher(buffer, *done - *done % kCipherUnit);
  return Status::Ok();
}

Status FileIo::ReadExact(int64_t offset, uint8_t* buffer, uint32_t size) {
  uint32_t done = 0;
  Status s = ReadSome(offset, buffer, size, &done);
  if (s.ok() && done != size) return Check(kCheckShortRead);
  return s;
}

Status FileIo::Write(int64_t offset, const uint8_t* buffer, uint32_t size) {
  if (size % kCipherUnit != 0) return Check(kCheckWriteUnit);
  if (!kept_.ok()) return kept_;
  std::vector<uint8_t> copy(buffer, buffer + size);
  cipher_.Encipher(copy.data(), size);
  uint32_t done = 0;
  uint32_t e = Files().WriteAt(handle_, offset, copy.data(), size, &done);
  if (e != kOsOk) {
    kept_ = OsFailure(e);
  } else if (done != size) {
    kept_ = Status::Error(kErrAccessDenied);
  }
  return kept_;
}

Status FileIo::Flush() {
  if (!kept_.ok()) return kept_;
  uint32_t e = Files().Flush(handle_);
  if (e != kOsOk) kept_ = OsFailure(e);
  return kept_;
}

Status FileIo::Size(int64_t* size) {
  uint32_t e = Files().Size(handle_, size);
  return e == kOsOk ? Status::Ok() : OsFailure(e);
}

Status FileIo::Truncate(int64_t size) {
  if (!kept_.ok()) return kept_;
  uint32_t e = Files().Truncate(handle_, size);
  return e == kOsOk ? Status::Ok() : OsFailure(e);
}

namespace {

// A pause between attempts at a lock another program holds: short, and
// spread a little by the process so that waiting programs do not meet in
// step.
void PauseForLock(uint32_t attempt) {
  uint32_t ms = 1 + (attempt + OsCurrentProcessId()) % 3;
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

Status FileIo::LockWriter(uint32_t wait_ms) {
  if (writer_locked_) return Status::Ok();
  if (reader_locked_) UnlockReader();
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  for (uint32_t attempt = 0;; ++attempt) {
    uint32_t e = Files().Lock(handle_, kLockBase, kReaderSlots);
    if (e == kOsOk) {
      writer_locked_ = true;
      return Status::Ok();
    }
    if (e != kOsLockViolation) return OsFailure(e);
    if (std::chrono::steady_clock::now() >= until) return Status::Error(kErrFileIsAlreadyLocked);
    PauseForLock(attempt);
  }
}

Status FileIo::LockReader(uint32_t wait_ms) {
  if (writer_locked_ || reader_locked_) return Status::Ok();
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  for (uint32_t attempt = 0;; ++attempt) {
    uint32_t e = Files().Lock(handle_, kLockBase + reader_slot_, 1);
    if (e == kOsOk) {
      reader_locked_ = true;
      return Status::Ok();
    }
    if (e != kOsLockViolation) return OsFailure(e);
    reader_slot_ = (reader_slot_ + 1) % kReaderSlots;
    // A slot held by another reader is passed at once; a writer holds every
    // slot, and then the reader waits.
    if (attempt % 4 != 3) continue;
    if (std::chrono::steady_clock::now() >= until) return Status::Error(kErrFileIsAlreadyLocked);
    PauseForLock(attempt / 4);
  }
}

void FileIo::UnlockReader() {
  if (!reader_locked_) return;
  Files().Unlock(handle_, kLockBase + reader_slot_, 1);
  reader_locked_ = false;
}

void FileIo::UnlockWriter() {
  if (!writer_locked_) return;
  Files().Unlock(handle_, kLockBase, kReaderSlots);
  writer_locked_ = false;
}

}  // namespace kor::vel
