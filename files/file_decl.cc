// Field type names and small helpers over FILE declarations.
#include "files/file_decl.h"

namespace kor {

namespace {
const char* const kTypeNames[kLastFieldType + 1] = {
    "END",     "BYTE",   "SHORT",   "USHORT",  "DATE",   "TIME",    "LONG",     "ULONG",
    "SREAL",   "REAL",   "DECIMAL", "PDECIMAL", "DUM1",  "BFLOAT4", "BFLOAT8",  "ANY",
    "TEMPUFO", "(17)",   "STRING",  "CSTRING", "PSTRING", "MEMO",   "GROUP",    "CLASS",
    "ARRAY",   "FIELD",  "QUEUE",   "BLOB",    "STACKSTR", "PICTURE", "STDNUM",
};
}  // namespace

const char* FieldTypeName(int type) {
  if (type < 0 || type > kLastFieldType) return "UNKNOWN";
  return kTypeNames[type];
}

size_t FieldCount(const FileDescriptor& file) {
  size_t n = 0;
  if (file.fields == nullptr) return 0;
  while (file.fields[n].type != kTypeEnd) ++n;
  return n;
}

}  // namespace kor
