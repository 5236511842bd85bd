// The static descriptions of a FILE declaration that compiled code hands to
// the file drivers: field lists, KEY and MEMO descriptors, the FILE
// descriptor itself, and the field type codes with their names.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/values/data_types.h"

namespace kor {

struct FileDescriptor;
struct KeyDescriptor;
struct FileControlBlock;

// Field type codes are the value types' codes (runtime/values/data_types.h);
// code 0 ends a field list and the names come from TypeCodeName.
inline constexpr int kLastFieldType = 30;
// Name of a type code as the trace and the dump print it; "UNKNOWN" outside
// 0..30.
const char* FieldTypeName(int type);

// One entry of a record's field list. GROUP nesting is expressed by `level`:
// the fields that follow a GROUP at level n and carry level n+1 or deeper
// belong to it. Offsets are from the start of the record buffer.
struct FieldDescriptor {
  uint8_t type = 0;               // TypeCode; kTypeEnd ends the list
  uint8_t level = 0;              // GROUP depth, 0 directly under RECORD
  uint8_t digits = 0;             // DECIMAL and PDECIMAL: declared digits
  uint8_t places = 0;             // DECIMAL and PDECIMAL: declared places
  const char* label = nullptr;    // e.g. "TMP:DATE"
  uint32_t offset = 0;            // byte offset in the record buffer
  uint32_t size = 0;              // bytes of one element (a GROUP: all its bytes)
  const char* picture = nullptr;  // display picture ("@s20"), null when none
  uint8_t dim_count = 0;          // array dimensions, 0 for a scalar
  const uint32_t* dims = nullptr;
  int32_t over = 0;     // 1-based number of the field this one overlays, 0 = none
  uint16_t marker = 0;  // not 0: left out of the OEM conversion of records
};

// KEY / INDEX attribute bits.
enum : uint16_t {
  kKeyDup = 0x1,
  kKeyOpt = 0x2,
  kKeyNoCase = 0x4,
  kKeyPrimary = 0x10,
  kKeyOnDemand = 0x40,  // not maintained by ADD/PUT/DELETE; built before use
  kKeyIndex = 0x4000,   // declared with INDEX rather than KEY
};
// Key state bit: a build-on-demand key has been built.
inline constexpr uint16_t kKeyBuilt = 0x100;

// One per KEY or INDEX, in declaration order. Static, but the state word is
// written at run time, so descriptors are never placed in read-only data.
struct KeyDescriptor {
  uintptr_t driver_word = 0;    // private to the driver
  const char* name = nullptr;   // external NAME, null when none
  const char* label = nullptr;  // e.g. "TMP:CLOCKKEY"
  int32_t label_length = 0;
  uint32_t reserved = 0;
  uint16_t attributes = 0;  // kKey* bits
  uint16_t state = 0;       // kKeyBuilt
  uint8_t component_count = 0;
  const int32_t* components = nullptr;  // |c| = 1-based field number; c < 0 sorts descending
  FileDescriptor* file = nullptr;       // the owning FILE
};

// MEMO and BLOB declarations.
enum : uint8_t { kMemoBinary = 0x1, kMemoBlob = 0x2 };
struct MemoDescriptor {
  const char* label = nullptr;
  const char* name = nullptr;  // external NAME, null when none
  uint32_t size = 0;           // MEMO size in bytes (the buffer's size)
  uint8_t flags = 0;           // kMemoBinary, kMemoBlob
  uint8_t* buffer = nullptr;   // the memo's buffer
};

// FILE attribute bits.
enum : uint8_t {
  kFileEncrypt = 0x1,
  kFileCreate = 0x2,
  kFileReclaim = 0x4,
  kFileOem = 0x10,
};

// The driver entry: operation code, FILE descriptor, argument block (a
// DriverArgs, see driver.h). Returns the operation's function value. The
// value is pointer-wide so that SEND 'REGISTER' and kOpDriverEntry can return
// addresses on 64-bit builds as well.
using DriverEntry = intptr_t (*)(int32_t op, FileDescriptor* file, const void* args);

// One per FILE declaration; static and never moved. `driver` must stay the
// first member: the dispatcher reaches the driver through it alone.
struct FileDescriptor {
  DriverEntry driver = nullptr;
  const char* label = nullptr;  // e.g. "Apps"
  int32_t label_length = 0;
  const char* driver_name = nullptr;  // as in DRIVER('...')
  const char* options = nullptr;      // second argument of DRIVER, null when none
  const char* name = nullptr;         // NAME: a constant or a variable; null = the label
  uint32_t name_size = 0;             // 0: `name` is NUL-terminated; else a blank-padded field
  const char* owner = nullptr;        // OWNER, null when none
  uint32_t owner_size = 0;            // as for `name`
  uint8_t attributes = 0;             // kFile* bits
  const FieldDescriptor* fields = nullptr;  // ends with a kTypeEnd entry; may be null
  uint8_t* record = nullptr;                // record buffer
  uint32_t record_length = 0;
  KeyDescriptor* const* keys = nullptr;
  uint32_t key_count = 0;
  MemoDescriptor* const* memos = nullptr;
  uint32_t memo_count = 0;
  FileControlBlock* fcb = nullptr;  // the driver's control block; null in static data
};

// Number of entries of a field list before its end marker.
size_t FieldCount(const FileDescriptor& file);

}  // namespace kor
