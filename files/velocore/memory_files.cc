// In-memory files with planned failures and crashes (see memory_files.h).
#include "files/velocore/memory_files.h"

#include <algorithm>
#include <cstring>
#include <random>

#include "runtime/os/os.h"

namespace kor::vel {

namespace {

void Apply(std::vector<uint8_t>& bytes, int64_t offset, const uint8_t* data, size_t n) {
  if (bytes.size() < size_t(offset) + n) bytes.resize(size_t(offset) + n, 0);
  std::memcpy(bytes.data() + offset, data, n);
}

}  // namespace

void MemoryFiles::SetPlan(const Plan& plan) {
  plan_ = plan;
  events_ = 0;
  crashed_ = false;
}

std::vector<uint8_t> MemoryFiles::Content(const std::string& name) const {
  auto it = files_.find(name);
  return it == files_.end() ? std::vector<uint8_t>{} : it->second.current;
}

std::vector<uint8_t> MemoryFiles::CrashImage(const std::string& name) const {
  auto it = files_.find(name);
  return it == files_.end() ? std::vector<uint8_t>{} : it->second.crash_image;
}

void MemoryFiles::SetContent(const std::string& name, const std::vector<uint8_t>& bytes) {
  File& f = files_[name];
  f.current = f.durable = bytes;
  f.pending.clear();
}

MemoryFiles::File* MemoryFiles::FileOf(OsHandle handle) {
  auto it = handles_.find(handle);
  return it == handles_.end() ? nullptr : &files_[it->second];
}

void MemoryFiles::TakeCrashImages(File* writing, const Change* during) {
  std::mt19937 random(plan_.seed);
  for (auto& [name, f] : files_) {
    f.crash_image = f.durable;
    for (const Change& c : f.pending) {
      bool keep = plan_.loss == Loss::kNone || (plan_.loss == Loss::kRandom && random() % 2);
      if (!keep) continue;
      if (c.truncate) {
        f.crash_image.resize(std::min(f.crash_image.size(), size_t(c.offset)));
      } else {
        Apply(f.crash_image, c.offset, c.bytes.data(), c.bytes.size());
      }
    }
  }
  // The write in progress arrives torn: a prefix of whole 64-byte units.
  if (writing && during && !during->truncate) {
    size_t units = during->bytes.size() / 64;
    size_t kept = plan_.loss == Loss::kNone  ? units
                  : plan_.loss == Loss::kAll ? 0
                                             : random() % (units + 1);
    if (kept) Apply(writing->crash_image, during->offset, during->bytes.data(), kept * 64);
  }
}

uint32_t MemoryFiles::Event(File& f, const Change* change, bool* short_write) {
  *short_write = false;
  if (crashed_) return kOsGeneralFailure;
  ++events_;
  if (plan_.crash_at != 0 && events_ == plan_.crash_at) {
    crashed_ = true;
    TakeCrashImages(&f, change);
    return kOsGeneralFailure;
  }
  bool failing = plan_.fail_at != 0 &&
                 (events_ == plan_.fail_at || (plan_.fail_persists && events_ > plan_.fail_at));
  if (!failing) return kOsOk;
  if (plan_.short_write && change && !change->truncate) {
    *short_write = true;
    return kOsOk;
  }
  return kOsDiskFull;
}

uint32_t MemoryFiles::Open(const char* name, uint32_t mode, OsHandle* handle) {
  (void)mode;
  if (crashed_) return kOsGeneralFailure;
  if (!files_.count(name)) return kOsFileNotFound;
  *handle = next_handle_++;
  handles_[*handle] = name;
  return kOsOk;
}

uint32_t MemoryFiles::Create(const char* name, uint32_t attributes, OsHandle* handle) {
  (void)attributes;
  if (crashed_) return kOsGeneralFailure;
  File& f = files_[name];
  f = File{};
  *handle = next_handle_++;
  handles_[*handle] = name;
  return kOsOk;
}

uint32_t MemoryFiles::OpenAlways(const char* name, uint32_t mode, OsHandle* handle) {
  if (crashed_) return kOsGeneralFailure;
  files_[name];  // a missing file is made empty
  return Open(name, mode, handle);
}

uint32_t MemoryFiles::Attributes(const char* name, uint8_t* attributes) {
  *attributes = 0;
  return files_.count(name) ? kOsOk : kOsFileNotFound;
}

uint32_t MemoryFiles::Close(OsHandle handle) {
  auto it = handles_.find(handle);
  if (it == handles_.end()) return kOsInvalidHandle;
  auto& held = locks_[it->second];
  held.erase(
      std::remove_if(held.begin(), held.end(), [&](const Lock_& l) { return l.owner == handle; }),
      held.end());
  handles_.erase(it);
  return kOsOk;
}

uint32_t MemoryFiles::ReadAt(OsHandle handle, int64_t offset, void* buffer, uint32_t count,
                             uint32_t* done) {
  *done = 0;
  File* f = FileOf(handle);
  if (!f) return kOsInvalidHandle;
  if (crashed_) return kOsGeneralFailure;
  if (offset < 0) return kOsNegativeSeek;
  if (size_t(offset) >= f->current.size()) return kOsOk;
  *done = uint32_t(std::min<size_t>(count, f->current.size() - size_t(offset)));
  std::memcpy(buffer, f->current.data() + offset, *done);
  return kOsOk;
}

uint32_t MemoryFiles::WriteAt(OsHandle handle, int64_t offset, const void* buffer, uint32_t count,
                              uint32_t* done) {
  *done = 0;
  File* f = FileOf(handle);
  if (!f) return kOsInvalidHandle;
  Change c{offset, std::vector<uint8_t>((const uint8_t*)buffer, (const uint8_t*)buffer + count)};
  bool short_write = false;
  uint32_t e = Event(*f, &c, &short_write);
  if (e != kOsOk) return e;
  if (short_write) c.bytes.resize(count / 2 / 64 * 64);  // whole units, as disks tear
  Apply(f->current, offset, c.bytes.data(), c.bytes.size());
  *done = uint32_t(c.bytes.size());
  f->pending.push_back(std::move(c));
  return kOsOk;
}

uint32_t MemoryFiles::Flush(OsHandle handle) {
  File* f = FileOf(handle);
  if (!f) return kOsInvalidHandle;
  bool short_write = false;
  uint32_t e = Event(*f, nullptr, &short_write);
  if (e != kOsOk) return e;
  f->durable = f->current;
  f->pending.clear();
  return kOsOk;
}

uint32_t MemoryFiles::Size(OsHandle handle, int64_t* size) {
  File* f = FileOf(handle);
  if (!f) return kOsInvalidHandle;
  *size = int64_t(f->current.size());
  return kOsOk;
}

uint32_t MemoryFiles::Truncate(OsHandle handle, int64_t size) {
  File* f = FileOf(handle);
  if (!f) return kOsInvalidHandle;
  Change c{size, {}, true};
  bool short_write = false;
  uint32_t e = Event(*f, &c, &short_write);
  if (e != kOsOk) return e;
  f->current.resize(size_t(size));
  f->pending.push_back(std::move(c));
  return kOsOk;
}

uint32_t MemoryFiles::Lock(OsHandle handle, uint64_t offset, uint64_t length) {
  auto it = handles_.find(handle);
  if (it == handles_.end()) return kOsInvalidHandle;
  auto& held = locks_[it->second];
  for (const Lock_& l : held) {
    if (offset < l.offset + l.length && l.offset < offset + length) return kOsLockViolation;
  }
  held.push_back({handle, offset, length});
  return kOsOk;
}

uint32_t MemoryFiles::Unlock(OsHandle handle, uint64_t offset, uint64_t length) {
  auto it = handles_.find(handle);
  if (it == handles_.end()) return kOsInvalidHandle;
  auto& held = locks_[it->second];
  for (auto l = held.begin(); l != held.end(); ++l) {
    if (l->owner == handle && l->offset == offset && l->length == length) {
      held.erase(l);
      return kOsOk;
    }
  }
  return kOsNotLocked;
}

uint32_t MemoryFiles::Delete(const char* name) {
  if (crashed_) return kOsGeneralFailure;
  return files_.erase(name) ? kOsOk : kOsFileNotFound;
}

}  // namespace kor::vel
