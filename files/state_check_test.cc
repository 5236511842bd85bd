// Tests of the state check and the state update against rows worked out by
// hand from the operation state table.
#include "files/state_check.h"

#include <gtest/gtest.h>

#include "files/operations.h"

namespace kor {
namespace {

constexpr const char* kPos = "\1\0\0\0";

int32_t Check(int32_t op, uint32_t state, const KeyDescriptor* key = nullptr) {
  return StateCheck(op, state, key, kPos, 4);
}

// Hand-written rows: the operation, the file state word before it, and the
// state check's answer, worked out from the operation state table by hand.
struct CheckRow {
  int32_t op;
  uint32_t state;
  int32_t expected;
};

constexpr uint32_t kOpen = kFileOpen;
constexpr uint32_t kRw = kFileOpen | kWriteAccess;

TEST(StateCheck, HandWrittenRows) {
  const CheckRow rows[] = {
      // clang-format off
      {0, kOpen, kErrUnsupported}, {94, kOpen, kErrUnsupported}, {-3, kOpen, kErrUnsupported},
      // NEXT needs an open file and a sequence.
      {kOpNEXT, 0, kErrFileNotOpen}, {kOpNEXT, kOpen, kErrRecordNotAvailable},
      {kOpNEXT, kOpen | kSequenceSet, 0}, {kOpEOF, kOpen, kErrRecordNotAvailable},
      {kOpPOINTERfile, kOpen, kErrRecordNotAvailable}, {kOpPOINTERfile, kOpen | kRecordCurrent, 0},
      // Writes need write access; PUT and DELETE a current record too.
      {kOpADD, kOpen, kErrAccessDenied}, {kOpADD, kRw, 0}, {kOpADD, 0, kErrFileNotOpen},
      {kOpPUT, kRw, kErrRecordNotAvailable}, {kOpPUT, kRw | kRecordCurrent, 0},
      {kOpPUT, kOpen | kRecordCurrent, kErrAccessDenied}, {kOpDELETE, kRw, kErrRecordNotAvailable},
      // EMPTY needs write access and exclusive rights, and no transaction.
      {kOpEMPTY, kRw, kErrExclusiveRequired}, {kOpEMPTY, kOpen | kDenyOthers, kErrAccessDenied},
      {kOpEMPTY, kRw | kDenyOthers, 0}, {kOpEMPTY, kRw | kDenyOthers | kLogoutActive, kErrLogoutActive},
      // BUILD on a closed file passes: the driver opens it itself.
      {kOpBUILDfile, 0, 0}, {kOpBUILDfile, kOpen, kErrExclusiveRequired},
      {kOpBUILDfile, kRw | kDenyOthers, 0}, {kOpPACK, 0, 0},
      // OPEN and the name operations refuse an open file.
      {kOpOPEN, 0, 0}, {kOpOPEN, kOpen, kErrFileAlreadyOpen}, {kOpSHARE, kRw, kErrFileAlreadyOpen},
      {kOpREMOVE, kOpen, kErrFileAlreadyOpen}, {kOpREMOVE, 0, 0}, {kOpCOPY, kOpen, kErrFileAlreadyOpen},
      // CLOSE during a transaction is refused.
      {kOpCLOSE, 0, kErrFileNotOpen}, {kOpCLOSE, kOpen, 0}, {kOpCLOSE, kOpen | kLogoutActive, kErrLogoutActive},
      // Silent refusals: LOCK twice, STREAM twice, INVIEW twice, UNLOCK or
      // COMMIT with nothing to undo.
      {kOpLOCKfile, kOpen, 0}, {kOpLOCKfile, kOpen | kFileLocked, -1},
      {kOpLOCKfilesec, kOpen | kFileLocked, -1}, {kOpUNLOCK, kOpen, -1},
      {kOpUNLOCK, kOpen | kFileLocked, 0}, {kOpUNLOCK, kOpen | kFileLocked | kLogoutActive, kErrLogoutActive},
      {kOpSTREAM, kOpen | kStreamActive, -1}, {kOpINVIEW, kOpen | kInView, -1}, {kOpINVIEW, kOpen, 0},
      {kOpCOMMIT, kOpen, -1}, {kOpROLLBACK, kOpen, -1}, {kOpCOMMIT, kOpen | kLogoutActive, 0},
      {kOpCOMMIT, 0, kErrFileNotOpen}, {kOpLOGOUT, kOpen | kLogoutActive, kErrLogoutActive},
      // Operations that need nothing.
      {kOpNAME, 0, 0}, {kOpSEND, 0, 0}, {kOpGET_PROPERTY, 0, 0}, {kOpQUERY_VIEW, 0, 0},
      // During a BUILD only CLOSE, NAME, GET_PROPERTY, BUILDevent and
      // GETPROPERTYkey go on; a missing requirement is reported first.
      {kOpSETfile, kOpen | kBuildActive, kErrBuildInProgress}, {kOpCLOSE, kOpen | kBuildActive, 0},
      {kOpNAME, kOpen | kBuildActive, 0}, {kOpGET_PROPERTY, kOpen | kBuildActive, 0},
      {kOpGETPROPERTYkey, kOpen | kBuildActive, 0},
      {kOpBUILDevent, kRw | kDenyOthers | kBuildActive, 0},
      {kOpOPEN, kBuildActive, kErrBuildInProgress},
      {kOpNEXT, kOpen | kBuildActive, kErrRecordNotAvailable},
      // clang-format on
  };
  for (const CheckRow& row : rows) {
    EXPECT_EQ(Check(row.op, row.state), row.expected)
        << OpName(row.op) << " (" << row.op << ") on state 0x" << std::hex << row.state;
  }
}

TEST(StateCheck, BlankPositionStringGives35) {
  for (int32_t op : {kOpRESETfile, kOpRESETkey, kOpREGETfile, kOpREGETkey}) {
    SCOPED_TRACE(OpName(op));
    EXPECT_EQ(StateCheck(op, kOpen, nullptr, "    ", 4), kErrRecordNotFound);
    EXPECT_EQ(StateCheck(op, kOpen, nullptr, "", 0), kErrRecordNotFound);
    EXPECT_EQ(StateCheck(op, kOpen, nullptr, nullptr, 0), kErrRecordNotFound);
    EXPECT_EQ(StateCheck(op, kOpen, nullptr, "  1 ", 4), 0);
  }
  // Other operations do not look at it.
  EXPECT_EQ(StateCheck(kOpSETfile, kFileOpen, nullptr, "", 0), 0);
}

TEST(StateCheck, BuildOnDemandKeyMustBeBuilt) {
  KeyDescriptor key = {};
  key.attributes = kKeyOnDemand;
  EXPECT_EQ(Check(kOpSETkey, kFileOpen, &key), kErrKeyMustBeRebuilt);
  EXPECT_EQ(Check(kOpRECORDSkey, kFileOpen, &key), kErrKeyMustBeRebuilt);
  EXPECT_EQ(Check(kOpSETkey, 0, &key), kErrFileNotOpen);  // the file comes first
  key.state = kKeyBuilt;
  EXPECT_EQ(Check(kOpSETkey, kFileOpen, &key), 0);
  // A maintained key needs no build.
  KeyDescriptor plain = {};
  EXPECT_EQ(Check(kOpSETkey, kFileOpen, &plain), 0);
}

// Hand-written rows of the update: the operation and its result, the state
// word before and after, and whether the control block goes.
struct UpdateRow {
  int32_t op;
  int32_t result;
  uint32_t before;
  uint32_t after;
  bool release;
};

TEST(StateUpdate, HandWrittenRows) {
  constexpr uint32_t kSeq = kSequenceSet | kSequenceValid;
  const UpdateRow rows[] = {
      // clang-format off
      // A read makes the record current and consumes WATCH and HOLD.
      {kOpNEXT, 0, kOpen | kSeq | kWatchPending | kHoldPending, kOpen | kSeq | kRecordCurrent, false},
      {kOpNEXT, 33, kOpen | kSeq | kRecordCurrent | kWatchPending, kOpen, false},
      {kOpGETfileptr, 35, kOpen | kRecordCurrent | kWatched, kOpen, false},
      {kOpREGETfile, 33, kOpen | kRecordCurrent, kOpen | kRecordCurrent, false},
      {kOpSETfile, 0, kOpen | kRecordCurrent, kOpen | kRecordCurrent | kSeq, false},
      {kOpSETfile, 33, kOpen | kSeq, kOpen, false},
      {kOpSKIP, 0, kOpen | kSeq | kRecordCurrent, kOpen | kSeq, false},
      // Writes drop the hold and watch marks; DELETE the current record.
      {kOpPUT, 0, kRw | kRecordCurrent | kHeld | kWatched, kRw | kRecordCurrent, false},
      {kOpADD, 0, kRw, kRw | kRecordCurrent, false},
      {kOpDELETE, 0, kRw | kRecordCurrent, kRw, false},
      {kOpPUTfileptr, 5, kRw | kRecordCurrent, kRw, false},
      // LOCK gives the exclusive right; UNLOCK's row clears only the lock.
      {kOpLOCKfile, 0, kOpen, kOpen | kFileLocked | kDenyOthers, false},
      {kOpUNLOCK, 0, kOpen | kFileLocked | kDenyOthers, kOpen | kDenyOthers, false},
      {kOpLOGOUT, 0, kOpen, kOpen | kLogoutActive, false},
      {kOpCOMMIT, 0, kOpen | kLogoutActive, kOpen, false},
      {kOpFLUSH, 0, kOpen | kStreamActive, kOpen, false},
      {kOpINVIEW, 0, kOpen, kOpen | kInView, false},
      {kOpENDVIEW, 0, kOpen | kInView, kOpen, false},
      {kOpPACK, 0, kRw | kDenyOthers | kRecordCurrent | kSeq, kRw | kDenyOthers | kSequenceValid, false},
      // File-level operations release the block, except when refused as busy.
      {kOpCLOSE, 0, kRw | kInView, kWriteAccess, true},
      {kOpCLOSE, kErrFileNotOpen, 0, 0, true},
      {kOpCLOSE, 90, kOpen, kOpen, true},
      {kOpCLOSE, kErrLogoutActive, kOpen | kLogoutActive, kOpen | kLogoutActive, false},
      {kOpREMOVE, 2, 0, 0, true},
      {kOpREMOVE, kErrFileAlreadyOpen, kOpen, kOpen, false},
      {kOpCOPY, 0, 0, 0, true},
      {kOpOPEN, 0, 0, kOpen, false},
      {kOpOPEN, kErrFileAlreadyOpen, kOpen, kOpen, false},
      // A silent failure runs the failure path: the watch marks go.
      {kOpFLUSH, -1, kOpen | kWatchPending | kWatched, kOpen, false},
      // clang-format on
  };
  for (const UpdateRow& row : rows) {
    uint32_t state = row.before;
    StateUpdateResult r = StateUpdate(row.op, row.result, &state, nullptr, false);
    EXPECT_EQ(state, row.after) << OpName(row.op) << " result " << row.result;
    EXPECT_EQ(r.release, row.release) << OpName(row.op) << " result " << row.result;
  }
  // The kind bits gathered on success: CLOSE is file-level and clears the
  // error state; a failure gathers nothing.
  uint32_t s = kOpen;
  EXPECT_EQ(StateUpdate(kOpCLOSE, 0, &s, nullptr, false).result_flags, 0x3u);
  s = kOpen;
  EXPECT_EQ(StateUpdate(kOpNEXT, 33, &s, nullptr, false).result_flags, 0u);
  s = kOpen | kSequenceSet;
  EXPECT_EQ(StateUpdate(kOpNEXT, 0, &s, nullptr, false).result_flags, 0x5u);
}

TEST(StateUpdate, BlocksBuiltForTheCall) {
  uint32_t s = 0;
  // NEXT on a closed file: 37 releases the block built for the call.
  EXPECT_TRUE(StateUpdate(kOpNEXT, kErrFileNotOpen, &s, nullptr, true).release);
  // A query that succeeds on a block it built does not keep it ...
  EXPECT_TRUE(StateUpdate(kOpBUILDfile, 0, &s, nullptr, true).release);
  // ... but OPEN, SHARE, NAME, SEND and the property operations keep theirs.
  for (int32_t op :
       {kOpOPEN, kOpSHARE, kOpNAME, kOpSEND, kOpSET_PROPERTY, kOpSETPROPERTYkey, kOpDO_PROPERTY}) {
    s = 0;
    EXPECT_FALSE(StateUpdate(op, 0, &s, nullptr, true).release) << OpName(op);
  }
  // A failed OPEN keeps its block too; a failed file-level operation does not.
  EXPECT_FALSE(StateUpdate(kOpOPEN, 2, &s, nullptr, true).release);
  EXPECT_TRUE(StateUpdate(kOpREMOVE, 2, &s, nullptr, true).release);
  EXPECT_FALSE(StateUpdate(kOpREMOVE, kErrFileAlreadyOpen, &s, nullptr, false).release);
}

TEST(StateUpdate, ViewAndBuiltKeyBits) {
  uint32_t s = kFileOpen;
  StateUpdate(kOpINVIEW, 0, &s, nullptr, false);
  EXPECT_EQ(s, kFileOpen | kInView);
  EXPECT_EQ(Check(kOpINVIEW, s), -1);
  StateUpdate(kOpENDVIEW, 0, &s, nullptr, false);
  EXPECT_EQ(s, kFileOpen);

  KeyDescriptor key = {};
  key.attributes = kKeyOnDemand;
  s = kFileOpen;
  StateUpdate(kOpBUILDdyn, 0, &s, &key, false);
  EXPECT_EQ(key.state, kKeyBuilt);
  EXPECT_EQ(s, kFileOpen);  // the file's view bit is not touched by a key form
  // A failed key operation leaves the key as it was.
  StateUpdate(kOpSETkey, 33, &s, &key, false);
  EXPECT_EQ(key.state, kKeyBuilt);
}

}  // namespace
}  // namespace kor
