// The file control block: what a driver derives at run time from a FILE
// declaration, common to every driver; drivers extend it with their own state.
#pragma once

#include <cstdint>
#include <string>

#include "files/file_decl.h"

namespace kor {

// Trace settings read from the driver's profile section when the block is
// built (see trace.h).
struct TraceSettings {
  bool on = false;
  bool details = false;
  std::string file_name;
};

struct FileControlBlock {
  FileControlBlock() = default;
  FileControlBlock(const FileControlBlock&) = delete;
  FileControlBlock& operator=(const FileControlBlock&) = delete;
  // Drivers release what they hold (handles, locks) in their destructor, so a
  // block released after a failed CLOSE leaves nothing open behind.
  virtual ~FileControlBlock() = default;

  FileDescriptor* file = nullptr;
  std::string external_name;  // NAME (blanks removed) or the label; may be empty
  std::string owner;
  std::string options;     // driver option string
  uint8_t attributes = 0;  // kFile* bits
  uint32_t key_count = 0;
  uint32_t open_mode = 0;
  uint32_t state = 0;  // file state word
  int32_t last_error = 0;
  int32_t last_position_op = 0;
  uint32_t result_flags = 0;  // kind bits of the successful operations
  // LOCK set kDenyOthers on a file whose open mode shares it: UNLOCK takes
  // the right back.
  bool exclusive_from_lock = false;
  TraceSettings trace;
};

// Fills the common fields from the declaration (name, owner, options,
// attributes, key count).
void InitControlBlock(FileControlBlock* fcb, FileDescriptor* file);

// A NAME or OWNER value: a NUL-terminated constant (size 0) or a blank-padded
// field of `size` bytes; trailing blanks and anything after a NUL removed.
std::string DeclaredText(const char* text, uint32_t size);

}  // namespace kor
