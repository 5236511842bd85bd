// The physical file objects of the program and their brackets (see
// physical_file.h).
#include "files/velocore/physical_file.h"

#include <vector>

#include "runtime/os/file_services.h"
#include "runtime/os/os.h"

namespace kor::vel {

namespace {

std::vector<PhysicalFile*>& OpenObjects() {
  static std::vector<PhysicalFile*> objects;
  return objects;
}

uint64_t ByteOffset(uint32_t m) { return kLockBase + 1024u + uint64_t{m} + 1; }

}  // namespace

PhysicalFile* PhysicalFile::Find(const std::string& path) {
  for (PhysicalFile* f : OpenObjects()) {
    // Two spellings of one name on a system that ignores case must share
    // the object: with two handles this program's lock bytes would shut out
    // its own other FILE, and a HOLD without seconds would wait for ever.
    if (OsSamePathName(f->path_, path)) return f;
  }
  return nullptr;
}

Status PhysicalFile::Open(const std::string& path, uint32_t mode, std::string_view owner) {
  path_ = path;
  mode_ = mode;
  uint32_t share = mode & kOsShareMask;
  locks_ = share == kOsShareCompat || share == kOsDenyNone || share == kOsDenyWrite;
  others_write_ = share == kOsShareCompat || share == kOsDenyNone;
  store_.set_journal_resolver(&ResolveTransaction);
  store_.set_commit_prelude(&ForgetTransactionRecord);
  return store_.Open(path, mode, owner);
}

Status PhysicalFile::Acquire(const std::string& path, uint32_t mode, std::string_view owner,
                             PhysicalFile** out) {
  *out = nullptr;
  if (PhysicalFile* f = Find(path)) {
    // The sharing rules of the request, as the system applies them.
    OsHandle probe = kOsNoHandle;
    uint32_t e = Files().Open(path.c_str(), mode & 0xFF, &probe);
    if (e != kOsOk)
      return e == kOsFileNotFound ? Status::Error(kErrFileNotFound)
                                  : Status::Error(kErrAccessDenied);
    Files().Close(probe);
    bool wants_write = (mode & kOsAccessMask) == kOsReadWrite || (mode & kOsAccessMask) == 1;
    if (wants_write && !f->writable()) return Status::Error(kErrAccessDenied);
    ++f->users_;
    *out = f;
    return Status::Ok();
  }
  std::unique_ptr<PhysicalFile> f(new PhysicalFile());
  Status s = f->Open(path, mode & 0xFF, owner);
  if (!s.ok()) return s;
  f->users_ = 1;
  *out = f.release();
  OpenObjects().push_back(*out);
  return Status::Ok();
}

void PhysicalFile::Release() {
  if (--users_ > 0) return;
  std::erase(OpenObjects(), this);
  for (const auto& [m, owner] : bytes_) {
    if (locks_) Files().Unlock(store_.io().handle(), ByteOffset(m), 1);
  }
  store_.Discard();
  store_.Close();
  delete this;
}

Status PhysicalFile::BeginRead() {
  store_.TrimCache();
  // A header dropped after a failure is read again even where no other
  // program can write the file.
  if (!store_.HeaderValid() && !store_.Changed()) {
    if (!others_write_ || store_.io().WriterLocked()) return store_.Refresh();
  }
  if (!others_write_ || store_.io().WriterLocked() || store_.Changed()) return Status::Ok();
  Status s = store_.io().LockReader(wait_ms_);
  if (s.ok()) s = store_.Refresh();
  if (!s.ok()) store_.io().UnlockReader();
  return s;
}

void PhysicalFile::EndRead() { store_.io().UnlockReader(); }

Status PhysicalFile::BeginWrite() {
  if (!store_.io().Writable()) return Status::Error(kErrAccessDenied);
  if (!store_.Changed()) store_.TrimCache();
  Status s = locks_ ? store_.io().LockWriter(wait_ms_) : Status::Ok();
  // Under the lock the header is read again: another program may have
  // committed since this one last looked; and a journal this program could
  // only read through is repaired now, before the update builds on it.
  if (s.ok() && (others_write_ || !store_.HeaderValid() || store_.JournalPending())) {
    s = store_.Refresh();
  }
  if (!s.ok() && !enlisted) store_.io().UnlockWriter();
  return s;
}

Status PhysicalFile::EndWrite(Status s) {
  if (enlisted) {
    // A transaction keeps the changes; one that failed half done cannot be
    // committed any more.
    if (!s.ok() && (s.code == kErrFileSystemError || s.is_check())) doomed = true;
    return s;
  }
  if (s.ok()) return store_.Commit();
  store_.Discard();
  store_.io().UnlockWriter();
  return s;
}

ByteLock PhysicalFile::TakeByte(uint32_t m, const void* owner) {
  auto it = bytes_.find(m);
  if (it != bytes_.end()) return it->second == owner ? ByteLock::kOurs : ByteLock::kThisProgram;
  if (locks_) {
    uint32_t e = Files().Lock(store_.io().handle(), ByteOffset(m), 1);
    if (e != kOsOk) return ByteLock::kBusy;
  }
  bytes_[m] = owner;
  return ByteLock::kTaken;
}

void PhysicalFile::GiveByte(uint32_t m, const void* owner) {
  auto it = bytes_.find(m);
  if (it == bytes_.end() || it->second != owner) return;
  if (locks_) Files().Unlock(store_.io().handle(), ByteOffset(m), 1);
  bytes_.erase(it);
}

void PhysicalFile::GiveAllBytes(const void* owner) {
  for (auto it = bytes_.begin(); it != bytes_.end();) {
    if (it->second != owner) {
      ++it;
      continue;
    }
    if (locks_) Files().Unlock(store_.io().handle(), ByteOffset(it->first), 1);
    it = bytes_.erase(it);
  }
}

}  // namespace kor::vel
