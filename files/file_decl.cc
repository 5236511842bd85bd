// Small helpers over FILE declarations.
#include "files/file_decl.h"

namespace kor {

const char* FieldTypeName(int type) { return TypeCodeName(type); }

size_t FieldCount(const FileDescriptor& file) {
  size_t n = 0;
  if (file.fields == nullptr) return 0;
  while (file.fields[n].type != kTypeEnd) ++n;
  return n;
}

}  // namespace kor
