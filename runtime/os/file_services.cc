// The default file services: each call goes straight to the operating-system
// layer.
#include "runtime/os/file_services.h"

namespace kor {

namespace {

FileServices g_system_services;
FileServices* g_services = &g_system_services;

}  // namespace

uint32_t FileServices::Open(const char* name, uint32_t mode, OsHandle* handle) {
  return OsOpen(name, mode, handle);
}

uint32_t FileServices::Create(const char* name, uint32_t attributes, OsHandle* handle) {
  return OsCreate(name, attributes, handle);
}

uint32_t FileServices::OpenAlways(const char* name, uint32_t mode, OsHandle* handle) {
  return OsOpenAlways(name, mode, handle);
}

uint32_t FileServices::Close(OsHandle handle) { return OsClose(handle); }

uint32_t FileServices::ReadAt(OsHandle handle, int64_t offset, void* buffer, uint32_t count,
                              uint32_t* done) {
  return OsReadAt(handle, offset, buffer, count, done);
}

uint32_t FileServices::WriteAt(OsHandle handle, int64_t offset, const void* buffer, uint32_t count,
                               uint32_t* done) {
  return OsWriteAt(handle, offset, buffer, count, done);
}

uint32_t FileServices::Flush(OsHandle handle) { return OsFlush(handle); }

uint32_t FileServices::Size(OsHandle handle, int64_t* size) { return OsSize(handle, size); }

uint32_t FileServices::Truncate(OsHandle handle, int64_t size) {
  uint32_t r = OsSeek(handle, size, kOsSeekBegin, nullptr);
  return r != kOsOk ? r : OsTruncate(handle);
}

uint32_t FileServices::Lock(OsHandle handle, uint64_t offset, uint64_t length) {
  return OsLock(handle, offset, length);
}

uint32_t FileServices::Unlock(OsHandle handle, uint64_t offset, uint64_t length) {
  return OsUnlock(handle, offset, length);
}

uint32_t FileServices::Delete(const char* name) { return OsDelete(name); }

uint32_t FileServices::Attributes(const char* name, uint8_t* attributes) {
  return OsAttributes(name, attributes);
}

FileServices& Files() { return *g_services; }

FileServices* ReplaceFileServices(FileServices* services) {
  FileServices* old = g_services;
  g_services = services != nullptr ? services : &g_system_services;
  return old == &g_system_services ? nullptr : old;
}

}  // namespace kor
