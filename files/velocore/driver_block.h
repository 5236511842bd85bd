// The VELOCORE driver's control block (one per FILE) and the operations the
// driver entry dispatches to, grouped by the file that implements them.
// Every operation runs inside the common frame (files/driver.h) after the
// state check, under a recovery point, and returns a Status: its code is the
// call's result (-1 fails silently), a check ends it with 90.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "files/driver.h"
#include "files/velocore/physical_file.h"
#include "files/velocore/table.h"

namespace kor::vel {

// Table flags of the control block.
enum : uint32_t {
  kVelOpen = 0x1,
  kVelHoldRequested = 0x2,
  kVelHeld = 0x4,  // the current record is held (its lock byte taken)
  kVelWatchRequested = 0x8,
  kVelWatched = 0x10,  // the current record is watched (its image kept)
  kVelNoMemo = 0x20,   // NOMEMO: the next read leaves the memos alone
  kVelFullBuild = 0x100,
  kVelMemosSkipped = 0x200,  // the current record was read without its memos
};

// Bit of the file state word that defers a build to the event loop (message
// kBuildMessage of velocore_driver.h, then BUILDevent).
inline constexpr uint32_t kDeferBuild = 0x8000;
// Longest table name a NAME may carry.
inline constexpr size_t kMaxTableName = 128;

// Where NEXT and PREVIOUS go (sequence.cc). SET and RESET record the start;
// the first step searches; later steps move on from the entry just read.
struct Sequence {
  enum class Order { kNone, kRecord, kKey };
  Order order = Order::kNone;
  size_t key = 0;         // key order: the key's index
  bool stepped = false;   // a step was taken: `at` is the entry read last
  bool from_edge = true;  // the first step starts at the first / last entry
  Bytes start_next;       // else it starts here going forward ...
  Bytes start_previous;   // ... or here going back (inclusive)
  Bytes at;               // the entry (or data key) read last
  Bytes spare;            // room for the next step's entry (swapped with `at`)
};

struct VelBlock : FileControlBlock {
  ~VelBlock() override;

  PhysicalFile* physical = nullptr;
  std::unique_ptr<Table> table;
  std::string file_name;      // the physical file's full path, for messages
  std::string table_name;     // upper case
  uint32_t current = 0;       // current record number, 0 = none
  uint32_t flags = 0;         // kVel* bits
  int32_t hold_seconds = -1;  // -1: wait until the record is free
  uint32_t held_record = 0;   // the record whose lock byte this table holds
  bool table_locked = false;  // LOCK holds the table's byte
  Bytes watch_image;          // stored image of the watched record
  Bytes read_room;            // the image a read fills, kept for its room
  Sequence sequence;
  std::vector<Bytes> blobs;  // BLOB contents, by memo number
  int32_t deferred_op = 0;   // a build waiting for BUILDevent
  KeyDescriptor* deferred_key = nullptr;
  std::string deferred_filter;
  uint32_t open_wait_ms = kWriterWaitMs;  // RECOVER=n
  int32_t failed_check = 0;  // an internal check ended a call: refuse all but CLOSE, NAME
};

// The index of a KEY descriptor among the FILE's keys; 47 when it is not one.
Status KeyIndex(const VelBlock& b, const KeyDescriptor* key, size_t* index);
// The FILE's position strings: the record number (4 bytes, big-endian),
// followed for a key by the key value image of the record buffer.
std::string FilePosition(uint32_t record);
std::string KeyPosition(VelBlock& b, size_t key, uint32_t record);
// The record number a file position string names (35 for a string that is
// not one: shorter than 4 bytes, or more than blanks after them).
Status RecordFromPosition(const DriverArgs& args, uint32_t* record);

// open_ops.cc
Status OpenTable(VelBlock& b, uint32_t mode);
Status CreateTable(VelBlock& b);
Status CloseTable(VelBlock& b);
Status RemoveTable(VelBlock& b);
Status CopyOrRename(VelBlock& b, const DriverArgs& args, bool rename);
Status EmptyTable(VelBlock& b);

// read_ops.cc: reading records into the record buffer.
// Finds the record a read is after, inside the read bracket: its number
// and image (the caller's form), or *found false.
using Locator = std::function<Status(uint32_t* record, Bytes* image, bool* found)>;
// Locates a record and reads it into the buffers, with HOLD and WATCH as
// requested: while another program holds the record, the bracket is left,
// and the record located again after a pause. `not_found` is the code for
// no record (35, or 33 at the end of a sequence).
Status ReadLocated(VelBlock& b, const Locator& locate, int32_t not_found);
Status GetByPointer(VelBlock& b, const DriverArgs& args);
Status GetByKey(VelBlock& b, const DriverArgs& args);
Status Reget(VelBlock& b, int32_t op, const DriverArgs& args);
Status Position(VelBlock& b, int32_t op, const DriverArgs& args, DriverOutput& out);
Status Counts(VelBlock& b, int32_t op, const DriverArgs& args, DriverOutput& out);
Status Duplicate(VelBlock& b, const DriverArgs& args, DriverOutput& out);
// Copies a record image (caller's form) and, unless NOMEMO, its memos into
// the FILE's buffers.
Status FillBuffers(VelBlock& b, uint32_t record, const Bytes& image);

// sequence.cc
Status SetSequence(VelBlock& b, int32_t op, const DriverArgs& args);
Status Step(VelBlock& b, bool forward);
Status Skip(VelBlock& b, const DriverArgs& args);
Status BeginOrEnd(VelBlock& b, bool end, DriverOutput& out);

// write_ops.cc
Status AddRecord(VelBlock& b, bool append);
Status PutRecord(VelBlock& b);
Status PutByPointer(VelBlock& b, const DriverArgs& args);
Status DeleteRecord(VelBlock& b);

// lock_ops.cc: HOLD, WATCH, RELEASE, LOCK and UNLOCK.
Status Hold(VelBlock& b, int32_t op, const DriverArgs& args);
Status Release(VelBlock& b);
Status LockTable(VelBlock& b, int32_t op, const DriverArgs& args);
Status UnlockTable(VelBlock& b);
// One attempt at record `record`'s lock byte for a read with HOLD; *busy
// when another program holds it. A byte held for another record is given
// back first.
Status TryHold(VelBlock& b, uint32_t record, bool* busy);
// After a busy attempt: 43 once HOLD's seconds (counted from the tick count
// `first_attempt`) have passed, else a short pause before the next attempt.
Status WaitForHold(VelBlock& b, uint32_t first_attempt);
// Gives back the record byte the table holds and its held mark.
void DropHold(VelBlock& b);

// build_ops.cc
Status Build(VelBlock& b, int32_t op, const DriverArgs& args);
Status BuildEvent(VelBlock& b);

// send_ops.cc
Status Send(VelBlock& b, const DriverArgs& args, DriverOutput& out);
Status Property(VelBlock& b, int32_t op, const DriverArgs& args, DriverOutput& out);
Status Blob(VelBlock& b, int32_t op, const DriverArgs& args, DriverOutput& out);
// The transaction control file name SEND 'TCF=...' set for the program ("").
const std::string& ProgramControlFile();

// transaction.cc
Status Logout(VelBlock& b, const DriverArgs& args);
Status Commit(VelBlock& b);
Status Rollback(VelBlock& b);
Status Flush(VelBlock& b);
// Whether the block's file is enlisted in the open transaction.
bool InTransaction(const VelBlock& b);
// Forgets a block that closes (the transaction ends without it).
void ForgetBlock(VelBlock& b);

}  // namespace kor::vel
