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

Status FileIo::Open(const std::string& path, uint32_t mode, std::string_view owner) {
  Close();
  uint32_t e = Files().Open(path.c_str(), mode, &handle_);
  if (e != kOsOk) {
    handle_ = kOsNoHandle;
    return OsFailure(e);
  }
  path_ = path;
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

Status FileIo::LockWriter(uint32_t wait_ms) {
  if (writer_locked_) return Status::Ok();
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  for (;;) {
    uint32_t e = Files().Lock(handle_, kLockBase, kReaderSlots);
    if (e == kOsOk) {
      writer_locked_ = true;
      return Status::Ok();
    }
    if (e != kOsLockViolation) return OsFailure(e);
    if (std::chrono::steady_clock::now() >= until) return Status::Error(kErrFileIsAlreadyLocked);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void FileIo::UnlockWriter() {
  if (!writer_locked_) return;
  Files().Unlock(handle_, kLockBase, kReaderSlots);
  writer_locked_ = false;
}

}  // namespace kor::vel
