// Driver operation codes, their names, the file state word and the operation
// state table that every driver checks before and updates after a call.
#pragma once

#include <cstdint>

namespace kor {

// Operation codes 0..93. The lower-case suffix names the argument form:
// file = whole file, key = a key, ptr = a record pointer, len = with a
// length, sec = with a time-out in seconds.
enum Op : int32_t {
  // clang-format off
  kOpADD = 1, kOpBOF = 2, kOpBUILDfile = 3, kOpAPPEND = 4, kOpBUILDdyn = 5,
  kOpBUILDkey = 6, kOpCLOSE = 7, kOpCOMMIT = 8, kOpCOPY = 9, kOpCREATE = 10,
  kOpDELETE = 11, kOpDUPLICATE = 12, kOpEMPTY = 13, kOpEOF = 14, kOpGETfilekey = 15,
  kOpGETfileptr = 16, kOpGETkeyptr = 17, kOpHOLDfile = 18, kOpHOLDfilesec = 19,
  kOpLOCKfile = 20, kOpLOCKfilesec = 21, kOpLOGOUT = 22, kOpNAME = 23, kOpNEXT = 24,
  kOpOPEN = 25, kOpPACK = 26, kOpPOINTERfile = 27, kOpPOINTERkey = 28, kOpFLUSH = 29,
  kOpPUT = 30, kOpPREVIOUS = 31, kOpRECORDSfile = 32, kOpRECORDSkey = 33,
  kOpBUILDdynfilter = 34, kOpRELEASE = 36, kOpREMOVE = 37, kOpRENAME = 38,
  kOpROLLBACK = 40, kOpSETfile = 41, kOpSETfilekey = 42, kOpSETfileptr = 43,
  kOpSETkey = 44, kOpSETkeykey = 45, kOpSETkeyptr = 46, kOpSETkeykeyptr = 47,
  kOpSHARE = 48, kOpSKIP = 49, kOpUNLOCK = 50, kOpADDfilelen = 51, kOpBYTES = 52,
  kOpGETfileptrlen = 53, kOpPUTfileptr = 54, kOpPUTfileptrlen = 55, kOpSTREAM = 56,
  kOpDUPLICATEkey = 57, kOpWATCH = 58, kOpAPPENDlen = 59, kOpSEND = 60,
  kOpPOSITIONfile = 61, kOpPOSITIONkey = 62, kOpRESETfile = 63, kOpRESETkey = 64,
  kOpNOMEMO = 65, kOpREGETfile = 66, kOpREGETkey = 67, kOpNULL = 68, kOpSETNULL = 69,
  kOpSETNONULL = 70, kOpSET_PROPERTY = 71, kOpGET_PROPERTY = 72, kOpQUERY_KEY = 73,
  kOpQUERY_VIEW = 74, kOpBLOB_YIELD = 75, kOpBLOB_TAKE = 76, kOpBLOB_SIZE = 77,
  kOpBLOB_GET_PROP = 78, kOpBLOB_SET_PROP = 79, kOpBUFFER = 80, kOpSETview = 81,
  kOpCLEAR = 82, kOpRESETviewfile = 83, kOpBUILDevent = 84, kOpSETPROPERTYkey = 85,
  kOpGETPROPERTYkey = 86, kOpInternal87 = 87, kOpDO_PROPERTY = 88,
  kOpDOPROPERTYkey = 89, kOpDOPROPERTYblob = 90, kOpDriverEntry = 91, kOpINVIEW = 92,
  // clang-format on
  kOpENDVIEW = 93,
};
inline constexpr int32_t kOpCount = 94;

// The operation's name as the trace prints it; "" outside 0..93.
const char* OpName(int32_t op);

// File state word bits.
enum : uint32_t {
  kFileOpen = 0x1,
  kRecordCurrent = 0x2,
  kLogoutActive = 0x4,
  kStreamActive = 0x8,
  kFileLocked = 0x10,
  kSequenceSet = 0x20,
  kWriteAccess = 0x40,
  kDenyOthers = 0x80,
  kInView = 0x100,  // for the key forms bit 0x100 stands for the key's kKeyBuilt
  kWatchPending = 0x200,
  kWatched = 0x400,
  kHoldPending = 0x800,
  kHeld = 0x1000,
  kSequenceValid = 0x2000,
  kBuildActive = 0x4000,
};

// Kind bits of a state-table row.
enum : uint32_t {
  kKindClearsError = 0x1,  // clears the error state before its own result is posted
  kKindFileLevel = 0x2,    // ends the use of the control block
  kKindPositioning = 0x4,  // recorded as the last positioning operation
  kKindKeepsBlock = 0x8,   // may create the control block and keep it
};

// One row of the operation state table (six 32-bit words).
struct OpStateRow {
  uint32_t kind;
  uint32_t required;
  uint32_t forbidden;
  uint32_t set_on_success;
  uint32_t cleared_on_success;
  uint32_t cleared_on_failure;
};

// The operation state table, indexed by code (row 0 is never used).
extern const OpStateRow kOpStateRows[kOpCount];

// The row of `op`, or null outside 1..93. Inline with the tests below: the
// frame asks on every driver call.
inline const OpStateRow* OpRow(int32_t op) {
  return op < 1 || op >= kOpCount ? nullptr : &kOpStateRows[op];
}

// Whether the operation's first argument is a KEY descriptor.
inline bool IsKeyForm(int32_t op) {
  switch (op) {
    // clang-format off
    case kOpBUILDdyn: case kOpBUILDdynfilter: case kOpBUILDkey: case kOpDUPLICATEkey:
    case kOpGETfilekey: case kOpGETkeyptr: case kOpPOINTERkey: case kOpPOSITIONkey:
    case kOpRECORDSkey: case kOpREGETkey: case kOpRESETkey: case kOpSETfilekey:
    case kOpSETkey: case kOpSETkeykey: case kOpSETkeyptr: case kOpSETkeykeyptr:
    case kOpSETPROPERTYkey: case kOpGETPROPERTYkey: case kOpDOPROPERTYkey:
      return true;
    default:
      return false;
      // clang-format on
  }
}

// Whether the operation leaves a string result on the string stack.
inline bool HasStringResult(int32_t op) {
  switch (op) {
    case kOpNAME:
    case kOpPOSITIONfile:
    case kOpPOSITIONkey:
    case kOpSEND:
    case kOpGET_PROPERTY:
    case kOpGETPROPERTYkey:
    case kOpBLOB_SET_PROP: return true;
    default: return false;
  }
}

// Whether the operation takes a position string (RESET and REGET forms).
inline bool TakesPositionString(int32_t op) {
  return op == kOpRESETfile || op == kOpRESETkey || op == kOpREGETfile || op == kOpREGETkey;
}

// Whether details mode dumps the record buffer after the operation.
bool DumpsRecord(int32_t op);
// Whether details mode dumps the key components after the operation.
bool DumpsKey(int32_t op);

}  // namespace kor
