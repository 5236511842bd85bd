// Building the common part of a file control block from the declaration.
#include "files/control_block.h"

#include <cstring>

namespace kor {

std::string DeclaredText(const char* text, uint32_t size) {
  if (text == nullptr) return std::string();
  size_t n = size == 0 ? std::strlen(text) : size;
  const void* nul = std::memchr(text, '\0', n);
  if (nul != nullptr) n = static_cast<size_t>(static_cast<const char*>(nul) - text);
  while (n > 0 && text[n - 1] == ' ') --n;
  return std::string(text, n);
}

void InitControlBlock(FileControlBlock* fcb, FileDescriptor* file) {
  fcb->file = file;
  if (file->name != nullptr) {
    fcb->external_name = DeclaredText(file->name, file->name_size);
  } else if (file->label != nullptr) {
    fcb->external_name.assign(file->label, static_cast<size_t>(file->label_length));
  }
  fcb->owner = DeclaredText(file->owner, file->owner_size);
  fcb->options = DeclaredText(file->options, 0);
  fcb->attributes = file->attributes;
  fcb->key_count = file->key_count;
}

}  // namespace kor
