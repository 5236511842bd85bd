// Win32 side of resource loading: custom-typed resources of a module.
#include <windows.h>

#include "runtime/os/os.h"

namespace kor {

bool OsLoadResource(OsInstance instance, const char* name, const char* type, OsResource* out) {
  *out = OsResource();
  if (name == nullptr || type == nullptr) return false;
  auto module = static_cast<HMODULE>(instance);
  HRSRC found = FindResourceA(module, name, type);
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(module, found);
  if (loaded == nullptr) return false;
  const void* bytes = LockResource(loaded);
  if (bytes == nullptr) return false;
  out->data = static_cast<const uint8_t*>(bytes);
  out->size = SizeofResource(module, found);
  return true;
}

// A loaded resource stays mapped with its module: there is nothing to free.
void OsReleaseResource(OsResource* resource) {
  if (resource != nullptr) *resource = OsResource();
}

}  // namespace kor
