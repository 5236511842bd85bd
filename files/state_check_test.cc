// Tests of the state check and the state update over every row of the
// operation state table.
#include "files/state_check.h"

#include <gtest/gtest.h>

#include "files/operations.h"

namespace kor {
namespace {

constexpr const char* kPos = "\1\0\0\0";

int32_t Check(int32_t op, uint32_t state, const KeyDescriptor* key = nullptr) {
  return StateCheck(op, state, key, kPos, 4);
}

// The bits a file needs so that nothing required is missing (0x100 is the
// key's, not the file's).
uint32_t Satisfied(int32_t op) { return OpRow(op)->required & ~uint32_t{0x100}; }

TEST(StateCheck, CodesOutsideTheTableGive80) {
  EXPECT_EQ(Check(0, kFileOpen), kErrUnsupported);
  EXPECT_EQ(Check(94, kFileOpen), kErrUnsupported);
  EXPECT_EQ(Check(-3, kFileOpen), kErrUnsupported);
}

TEST(StateCheck, EveryRowPassesWhenItsRequirementsAreMet) {
  for (int32_t op = 1; op < kOpCount; ++op) {
    SCOPED_TRACE(OpName(op));
    EXPECT_EQ(Check(op, Satisfied(op)), 0);
  }
}

TEST(StateCheck, EveryRowRequiringAnOpenFileGives37WhenClosed) {
  int rows = 0;
  for (int32_t op = 1; op < kOpCount; ++op) {
    SCOPED_TRACE(OpName(op));
    if (OpRow(op)->required & kFileOpen) {
      EXPECT_EQ(Check(op, 0), kErrFileNotOpen);
      ++rows;
    } else {
      EXPECT_NE(Check(op, 0), kErrFileNotOpen);
    }
  }
  EXPECT_GT(rows, 60);
}

TEST(StateCheck, MissingRightsOnAnOpenFile) {
  for (int32_t op = 1; op < kOpCount; ++op) {
    SCOPED_TRACE(OpName(op));
    uint32_t req = Satisfied(op);
    if ((req & kFileOpen) == 0 && (req & (kWriteAccess | kDenyOthers)) != 0) {
      // BUILD, PACK, BUILDkey, BUILDevent: a closed file passes (the driver
      // opens it itself).
      EXPECT_EQ(Check(op, 0), 0);
    }
    uint32_t open = req | kFileOpen;
    if (req & (kRecordCurrent | kSequenceSet)) {
      EXPECT_EQ(Check(op, open & ~uint32_t{kRecordCurrent | kSequenceSet}), kErrRecordNotAvailable);
    }
    if (req & kDenyOthers) {
      EXPECT_EQ(Check(op, open & ~uint32_t{kDenyOthers}), kErrExclusiveRequired);
    }
    if (req & kWriteAccess) {
      EXPECT_EQ(Check(op, open & ~uint32_t{kWriteAccess}), kErrAccessDenied);
    }
    if (req & kLogoutActive) {
      EXPECT_EQ(Check(op, open & ~uint32_t{kLogoutActive}), -1);  // silent
    }
  }
}

TEST(StateCheck, ForbiddenBits) {
  for (int32_t op = 1; op < kOpCount; ++op) {
    SCOPED_TRACE(OpName(op));
    uint32_t forbidden = OpRow(op)->forbidden;
    uint32_t base = Satisfied(op);
    if (forbidden & kFileOpen) {
      EXPECT_EQ(Check(op, base | kFileOpen), kErrFileAlreadyOpen);
    }
    if (forbidden & kLogoutActive) {
      EXPECT_EQ(Check(op, base | kLogoutActive), kErrLogoutActive);
    }
    for (uint32_t bit : {kStreamActive, kFileLocked, kInView}) {
      if (forbidden & bit) {
        EXPECT_EQ(Check(op, base | bit), -1);
      }
    }
  }
  // The cases written out: OPEN of an open file, LOGOUT twice, LOCK twice,
  // STREAM while streaming, INVIEW while in a view.
  EXPECT_EQ(Check(kOpOPEN, kFileOpen), kErrFileAlreadyOpen);
  EXPECT_EQ(Check(kOpLOGOUT, kFileOpen | kLogoutActive), kErrLogoutActive);
  EXPECT_EQ(Check(kOpLOCKfile, kFileOpen | kFileLocked), -1);
  EXPECT_EQ(Check(kOpSTREAM, kFileOpen | kStreamActive), -1);
  EXPECT_EQ(Check(kOpINVIEW, kFileOpen | kInView), -1);
  EXPECT_EQ(Check(kOpCOMMIT, kFileOpen), -1);
  EXPECT_EQ(Check(kOpROLLBACK, kFileOpen), -1);
}

TEST(StateCheck, BuildInProgressAllowsOnlyFiveOperations) {
  for (int32_t op = 1; op < kOpCount; ++op) {
    SCOPED_TRACE(OpName(op));
    int32_t r = Check(op, Satisfied(op) | kBuildActive);
    bool allowed = op == kOpCLOSE || op == kOpNAME || op == kOpGET_PROPERTY ||
                   op == kOpBUILDevent || op == kOpGETPROPERTYkey;
    if (allowed) {
      EXPECT_NE(r, kErrBuildInProgress);
    } else {
      EXPECT_EQ(r, kErrBuildInProgress);
    }
  }
  // A missing requirement is reported before the build.
  EXPECT_EQ(Check(kOpNEXT, kFileOpen | kBuildActive), kErrRecordNotAvailable);
}

TEST(StateCheck, BlankPositionStringGives35) {
  for (int32_t op : {kOpRESETfile, kOpRESETkey, kOpREGETfile, kOpREGETkey}) {
    SCOPED_TRACE(OpName(op));
    EXPECT_EQ(StateCheck(op, Satisfied(op), nullptr, "    ", 4), kErrRecordNotFound);
    EXPECT_EQ(StateCheck(op, Satisfied(op), nullptr, "", 0), kErrRecordNotFound);
    EXPECT_EQ(StateCheck(op, Satisfied(op), nullptr, nullptr, 0), kErrRecordNotFound);
    EXPECT_EQ(StateCheck(op, Satisfied(op), nullptr, "  1 ", 4), 0);
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

TEST(StateUpdate, SuccessSetsAndClearsTheRowsBits) {
  for (int32_t op = 1; op < kOpCount; ++op) {
    SCOPED_TRACE(OpName(op));
    const OpStateRow* row = OpRow(op);
    bool key_form = IsKeyForm(op);
    for (uint32_t before : {0u, 0x7FFFu, 0x2A55u}) {
      uint32_t state = before;
      StateUpdateResult r = StateUpdate(op, 0, &state, nullptr, false);
      uint32_t mask = key_form ? ~uint32_t{0x100} : ~uint32_t{0};
      uint32_t expect =
          ((before | (row->set_on_success & mask)) & ~(row->cleared_on_success & mask));
      EXPECT_EQ(state, expect);
      EXPECT_EQ(r.result_flags, row->kind);
      EXPECT_EQ(r.release, (row->kind & kKindFileLevel) != 0);
    }
  }
  // A read consumes WATCH and HOLD requests.
  uint32_t s = kFileOpen | kSequenceSet | kWatchPending | kHoldPending;
  StateUpdate(kOpNEXT, 0, &s, nullptr, false);
  EXPECT_EQ(s, kFileOpen | kSequenceSet | kRecordCurrent);
}

TEST(StateUpdate, FailureClearsTheRowsBitsAndWatch) {
  for (int32_t op = 1; op < kOpCount; ++op) {
    SCOPED_TRACE(OpName(op));
    const OpStateRow* row = OpRow(op);
    uint32_t mask = IsKeyForm(op) ? ~uint32_t{0x100} : ~uint32_t{0};
    for (int32_t error : {33, -1, 52, 37}) {
      uint32_t state = 0x7FFF;
      StateUpdateResult r = StateUpdate(op, error, &state, nullptr, false);
      EXPECT_EQ(state,
                0x7FFFu & ~(row->cleared_on_failure & mask) & ~uint32_t{kWatchPending | kWatched});
      bool release = error == 37 || ((row->kind & kKindFileLevel) != 0 && error != 52);
      EXPECT_EQ(r.release, release) << error;
      EXPECT_EQ(r.result_flags, 0u);
    }
  }
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
