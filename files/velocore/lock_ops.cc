// HOLD, RELEASE, LOCK and UNLOCK: the record and table lock bytes of a
// table (1024 + m + 1 beyond the lock base, physical_file.h).
#include <chrono>
#include <thread>

#include "files/operations.h"
#include "files/velocore/driver_block.h"

namespace kor::vel {

namespace {

// Pause between two attempts at a byte another program holds.
constexpr std::chrono::milliseconds kRetryPause{10};

bool TimedOut(uint32_t first_attempt, int32_t seconds) {
  return seconds >= 0 && OsTickCount() - first_attempt >= uint32_t(seconds) * 1000u;
}

}  // namespace

Status Hold(VelBlock& b, int32_t op, const DriverArgs& args) {
  b.flags |= kVelHoldRequested;
  b.hold_seconds = op == kOpHOLDfilesec ? std::max(args.seconds, 0) : -1;
  return Status::Ok();
}

void DropHold(VelBlock& b) {
  if (b.physical != nullptr && b.held_record != 0) b.physical->GiveByte(b.held_record, &b);
  b.held_record = 0;
  b.flags &= ~uint32_t{kVelHeld};
}

Status Release(VelBlock& b) {
  DropHold(b);
  return Status::Ok();
}

// One attempt at the byte of `record` for a read with HOLD: *busy when
// another program holds it. A byte held for another record is given back.
Status TryHold(VelBlock& b, uint32_t record, bool* busy) {
  *busy = false;
  if (b.held_record != record) DropHold(b);
  switch (b.physical->TakeByte(record, &b)) {
    case ByteLock::kTaken:
    case ByteLock::kOurs: b.held_record = record; break;
    case ByteLock::kThisProgram: break;  // another table of this program holds it
    case ByteLock::kBusy: *busy = true; return Status::Ok();
  }
  b.flags |= kVelHeld;
  return Status::Ok();
}

// Whether a read that found its record held elsewhere gives up (43) or
// tries again after a pause.
Status WaitForHold(VelBlock& b, uint32_t first_attempt) {
  if (TimedOut(first_attempt, b.hold_seconds)) return Status::Error(kErrRecordIsAlreadyHeld);
  std::this_thread::sleep_for(kRetryPause);
  return Status::Ok();
}

Status LockTable(VelBlock& b, int32_t op, const DriverArgs& args) {
  int32_t seconds = op == kOpLOCKfilesec ? std::max(args.seconds, 0) : 0;
  uint32_t start = OsTickCount();
  for (;;) {
    ByteLock l = b.physical->TakeByte(b.table->number(), &b);
    if (l == ByteLock::kTaken || l == ByteLock::kOurs) {
      b.table_locked = true;
      return Status::Ok();
    }
    if (op != kOpLOCKfilesec || TimedOut(start, seconds)) {
      return Status::Error(kErrFileIsAlreadyLocked);
    }
    std::this_thread::sleep_for(kRetryPause);
  }
}

Status UnlockTable(VelBlock& b) {
  if (b.table_locked) b.physical->GiveByte(b.table->number(), &b);
  b.table_locked = false;
  return Status::Ok();
}

}  // namespace kor::vel
