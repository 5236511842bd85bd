// POSIX side of resource loading: the executable's resources are files
// NAME.TYPE in the executable's folder (the native builds put the compiled
// window resources there for their tests).
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "runtime/os/os.h"

namespace kor {

namespace {

std::string UpperFileName(const char* name, const char* type) {
  std::string file = std::string(name) + "." + type;
  for (char& c : file) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return file;
}

bool ReadWholeFile(const std::string& path, OsResource* out) {
  FILE* f = fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  std::string bytes;
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
  bool failed = ferror(f) != 0;
  fclose(f);
  if (failed) return false;
  auto* copy = static_cast<uint8_t*>(malloc(bytes.size() + 1));
  if (copy == nullptr) return false;
  bytes.copy(reinterpret_cast<char*>(copy), bytes.size());
  out->data = copy;
  out->size = bytes.size();
  out->owned = copy;
  return true;
}

}  // namespace

bool OsLoadResource(OsInstance instance, const char* name, const char* type, OsResource* out) {
  *out = OsResource();
  if (instance != OsExecutableInstance() || name == nullptr || type == nullptr) return false;
  std::string file = UpperFileName(name, type);
  if (file.find('/') != std::string::npos || file.find('\\') != std::string::npos) return false;
  std::string exe = OsExecutablePath();
  size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return false;
  return ReadWholeFile(exe.substr(0, slash + 1) + file, out);
}

void OsReleaseResource(OsResource* resource) {
  if (resource == nullptr) return;
  free(resource->owned);
  *resource = OsResource();
}

}  // namespace kor
