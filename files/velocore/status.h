// How failures travel inside the Velocore format layers: a Status value
// (a file error code, an operating-system error, or an internal check with
// its number), and the recovery point that ends a driver call on an internal
// check.
//
// An internal check is a consistency failure of the file or of the code: bad
// bytes read from disk, a page that cannot be written. Check(n) returns the
// status to pass up; while a recovery point is armed it also records n there,
// so the call ends with 90 "File System Error", the driver's error code n and
// the text "Possible data corruption in file". With no recovery point armed
// it raises the runtime error "Possible data corruption in file (n)".
#pragma once

#include <cstdint>
#include <string>

#include "runtime/core/error_codes.h"

namespace kor::vel {

// Internal check numbers. Each names one kind of inconsistency; the numbers
// are what users quote, so they never change meaning.
enum CheckNumber : int32_t {
  kCheckNoClass = 1013,       // a page number inside no size class
  kCheckPageOffset = 1143,    // a page's offset field is not its own place
  kCheckRecordLayout = 1163,  // record flags or lengths impossible
  kCheckRunLength = 1164,     // run-length data overruns or ends early
  kCheckFileFull = 1173,      // the record-number counter reached 0xFE000000
  kCheckPageSize = 1477,      // stored size does not fill the page's class
  kCheckRecordEnd = 1602,     // records do not end at the uncompressed size
  kCheckBudget = 1659,        // serialised page larger than its in-memory size
  kCheckPageTooBig = 1678,    // a page beyond 59 blocks
  kCheckRanges = 1735,        // size-class ranges out of order or outside the file
  kCheckTree = 1781,          // tree shape: levels, empty pages, key order
  kCheckRecordData = 1891,    // a record's data does not fit its kind
  kCheckMemo = 1894,          // memo or BLOB blocks out of sequence
  kCheckShortRead = 2172,     // a page or header read returned fewer bytes
  kCheckReadUnit = 2272,      // a read not a multiple of 64 bytes
  kCheckReadFailed = 2277,    // the system failed a read
  kCheckWriteUnit = 2286,     // a write not a multiple of 64 bytes
  kCheckDefinition = 2328,    // the table definition stream is malformed
  kCheckSeek = 2341,          // positioning before a read failed
  kCheckDuplicate = 2352,     // a record that must be new is already there
};

inline constexpr const char* kCorruptionText = "Possible data corruption in file";
inline constexpr const char* kNoFileText = "Velocore File Driver Error";

struct Status {
  int32_t code = kErrNone;  // 0, a file error code, or 90 for checks and OS failures
  int32_t check = 0;        // the internal check number when one failed
  uint32_t os_error = 0;    // the system's error number behind a 90

  bool ok() const { return code == kErrNone; }
  bool is_check() const { return check != 0; }
  static Status Ok() { return {}; }
  static Status Error(int32_t code) { return {code, 0, 0}; }
  static Status Os(uint32_t os_error) { return {kErrFileSystemError, 0, os_error}; }
  // One line for a person: "Record Not Found", "internal check 1602" ...
  std::string Describe() const;
};

// An internal check: see the header comment.
Status Check(int32_t number);

// Armed for the length of one driver call or tool command (nested points
// stack; the innermost is the one armed). Remembers the first check raised
// while it is armed.
class RecoveryPoint {
 public:
  RecoveryPoint();
  ~RecoveryPoint();
  RecoveryPoint(const RecoveryPoint&) = delete;
  RecoveryPoint& operator=(const RecoveryPoint&) = delete;

  int32_t check() const { return check_; }
  static RecoveryPoint* Armed();

 private:
  friend Status Check(int32_t number);
  RecoveryPoint* outer_;
  int32_t check_ = 0;
};

// The driver's error pair for a check: the code text (the number in
// decimal) and the message ("Velocore File Driver Error" without a file name).
std::string CheckCodeText(int32_t number);
const char* CheckMessage(bool have_file_name);

}  // namespace kor::vel
