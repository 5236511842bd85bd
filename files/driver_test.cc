// Tests of the common driver frame through a scripted driver: the state
// check and update around the driver's work, control block lifetime, error
// posting, string results, registration queries and the open-file list.
#include "files/driver.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "files/operations.h"
#include "files/state_check.h"
#include "files/statements.h"
#include "runtime/builtins/error_functions.h"
#include "runtime/core/error_state.h"
#include "runtime/values/string_stack.h"

namespace kor {
namespace {

intptr_t ScriptEntry(int32_t op, FileDescriptor* file, const void* args);

uint8_t g_all_ops[1 + 93 + 1];
const DriverRegistration& ScriptRegistration() {
  static DriverRegistration reg = [] {
    // Every operation but 68 (NULL), to see 80 for a missing one.
    int n = 0;
    for (int op = 1; op <= 93; ++op) {
      if (op != kOpNULL) g_all_ops[1 + n++] = static_cast<uint8_t>(op);
    }
    g_all_ops[0] = static_cast<uint8_t>(n);
    g_all_ops[1 + n] = 0;
    DriverRegistration r = {
        .name = "SCRIPT",
        .description = "Script",
        .entry = &ScriptEntry,
        .capability_lists = g_all_ops,
        .index_word = "INDEX",
        .key_word = "KEY",
        .line_end = "\r\n",
    };
    return r;
  }();
  return reg;
}

// Performs nothing but what the test scripted; OPEN sets the rights bits
// from the mode as real drivers do.
class ScriptDriver final : public FileDriver {
 public:
  std::map<int32_t, int32_t> results;
  std::vector<std::pair<int32_t, FileDescriptor*>> calls;
  bool refuse_block = false;
  intptr_t value = 0;

  const DriverRegistration& Registration() const override { return ScriptRegistration(); }
  const char* TraceSection() const override { return "QWSCRIPT"; }
  const char* DefaultTraceLog() const override { return "SCRIPT.LOG"; }
  std::unique_ptr<FileControlBlock> NewControlBlock(FileDescriptor*, int32_t* error) override {
    if (refuse_block) {
      *error = 8;
      return nullptr;
    }
    return std::make_unique<FileControlBlock>();
  }
  int32_t Perform(int32_t op, FileControlBlock& fcb, const DriverArgs& args,
                  DriverOutput& out) override {
    calls.emplace_back(op, fcb.file);
    auto it = results.find(op);
    int32_t r = it == results.end() ? 0 : it->second;
    if (r == 0 && (op == kOpOPEN || op == kOpSHARE)) {
      if (args.mode & 3) fcb.state |= kWriteAccess;
      if (args.mode & 0x30) fcb.state |= kDenyOthers;
    }
    if (HasStringResult(op)) out.text = "text of " + std::string(OpName(op));
    if (r == 90) {
      out.driver_code = "1234";
      out.driver_message = "Possible data corruption in file";
    }
    out.value = value;
    return r;
  }
};

ScriptDriver* g_driver = nullptr;

intptr_t ScriptEntry(int32_t op, FileDescriptor* file, const void* args) {
  return RunDriverCall(*g_driver, op, file, args);
}

class DriverFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    g_driver = &driver_;
    for (FileDescriptor* f : {&a_, &b_}) {
      *f = FileDescriptor{};
      f->driver = &ScriptEntry;
      f->driver_name = "SCRIPT";
    }
    a_.name = "a.dat";
    b_.name = "b.dat";
    ClearError();
  }
  void TearDown() override {
    CloseAllFiles();
    for (FileDescriptor* f : {&a_, &b_}) {
      delete f->fcb;
      f->fcb = nullptr;
    }
    while (StringStackDepth() > 0) PopString();
    g_driver = nullptr;
  }
  std::vector<int32_t> Ops() const {
    std::vector<int32_t> ops;
    for (auto& c : driver_.calls) ops.push_back(c.first);
    return ops;
  }

  ScriptDriver driver_;
  FileDescriptor a_, b_;
};

TEST_F(DriverFrame, NextWithoutSetOrOnClosedFile) {
  NEXT(&a_);  // closed: 37, and the block built for the call goes again
  EXPECT_EQ(ERRORCODE(), kErrFileNotOpen);
  EXPECT_EQ(ErrorFile(), &a_);
  EXPECT_EQ(a_.fcb, nullptr);
  OPEN(&a_, 0x42);
  ASSERT_EQ(ERRORCODE(), 0);
  NEXT(&a_);  // open, no SET
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
  SETfile(&a_);
  NEXT(&a_);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(a_.fcb->state & (kRecordCurrent | kSequenceSet), kRecordCurrent | kSequenceSet);
  EXPECT_EQ(a_.fcb->last_position_op, kOpNEXT);
  EXPECT_EQ(Ops(), (std::vector<int32_t>{kOpOPEN, kOpSETfile, kOpNEXT}));
}

TEST_F(DriverFrame, OpenTwiceKeepsTheFileAsItWas) {
  OPEN(&a_, 0x22);
  uint32_t state = a_.fcb->state;
  EXPECT_EQ(state, kFileOpen | kWriteAccess | kDenyOthers);
  OPEN(&a_, 0x40);
  EXPECT_EQ(ERRORCODE(), kErrFileAlreadyOpen);
  ASSERT_NE(a_.fcb, nullptr);
  EXPECT_EQ(a_.fcb->state, state);
  EXPECT_EQ(driver_.calls.size(), 1u);
}

TEST_F(DriverFrame, RightsChecks) {
  OPEN(&a_, 0x40);  // read only, deny none
  ADD(&a_);
  EXPECT_EQ(ERRORCODE(), kErrAccessDenied);
  CLOSE(&a_);
  OPEN(&a_, 0x42);  // read/write, deny none, not locked
  EMPTY(&a_);
  EXPECT_EQ(ERRORCODE(), kErrExclusiveRequired);
  LOCKfile(&a_);
  EXPECT_EQ(ERRORCODE(), 0);
  LOCKfile(&a_);  // silent: nothing posted, the driver not called
  EXPECT_EQ(ERRORCODE(), 0);
  EMPTY(&a_);  // LOCK gave exclusive rights
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(Ops(), (std::vector<int32_t>{kOpOPEN, kOpCLOSE, kOpOPEN, kOpLOCKfile, kOpEMPTY}));
  // PUT without a current record.
  PUT(&a_);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
}

TEST_F(DriverFrame, TransactionsAndViews) {
  OPEN(&a_);
  COMMIT();  // no LOGOUT: nothing happens, nothing is posted
  EXPECT_EQ(ERRORCODE(), 0);
  LOGOUT(1, {&a_});
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_TRUE(TransactionActive());
  DriverArgs args;
  DispatchFileOp(kOpLOGOUT, &a_, &args);
  EXPECT_EQ(ERRORCODE(), kErrLogoutActive);
  COMMIT();
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_FALSE(TransactionActive());
  EXPECT_EQ(a_.fcb->state & kLogoutActive, 0u);
  INVIEW(&a_);
  INVIEW(&a_);  // silent
  EXPECT_EQ(ERRORCODE(), 0);
  ENDVIEW(&a_);
  EXPECT_EQ(a_.fcb->state & kInView, 0u);
  EXPECT_EQ(Ops(), (std::vector<int32_t>{kOpOPEN, kOpLOGOUT, kOpCOMMIT, kOpINVIEW, kOpENDVIEW}));
}

TEST_F(DriverFrame, CloseRefusedInsideATransactionLeavesTheFileOpen) {
  OPEN(&a_);
  LOGOUT(1, {&a_});
  ASSERT_EQ(ERRORCODE(), 0);
  FileControlBlock* block = a_.fcb;
  CLOSE(&a_);
  EXPECT_EQ(ERRORCODE(), kErrLogoutActive);
  // Refused: the same block, still open, still on the open-file list.
  EXPECT_EQ(a_.fcb, block);
  ASSERT_NE(a_.fcb, nullptr);
  EXPECT_EQ(a_.fcb->state & (kFileOpen | kLogoutActive), kFileOpen | kLogoutActive);
  EXPECT_EQ(OpenFileCount(), 1u);
  COMMIT();
  EXPECT_EQ(ERRORCODE(), 0);
  CLOSE(&a_);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(a_.fcb, nullptr);
  EXPECT_EQ(OpenFileCount(), 0u);
  EXPECT_EQ(Ops(), (std::vector<int32_t>{kOpOPEN, kOpLOGOUT, kOpCOMMIT, kOpCLOSE}));
}

TEST_F(DriverFrame, UnlockTakesBackTheExclusiveRightsLockGave) {
  struct Case {
    uint32_t mode;
    uint32_t deny_after_unlock;
  };
  // Shared opens lose the exclusive right with the lock; an open that denies
  // others keeps the one its mode gave.
  for (Case c :
       {Case{0x42, 0u}, Case{0x02, 0u}, Case{0x12, kDenyOthers}, Case{0x22, kDenyOthers}}) {
    SCOPED_TRACE(c.mode);
    OPEN(&a_, c.mode);
    LOCKfile(&a_);
    EXPECT_EQ(a_.fcb->state & (kFileLocked | kDenyOthers), kFileLocked | kDenyOthers);
    UNLOCK(&a_);
    EXPECT_EQ(a_.fcb->state & (kFileLocked | kDenyOthers), c.deny_after_unlock);
    EMPTY(&a_);
    EXPECT_EQ(ERRORCODE(), c.deny_after_unlock ? 0 : kErrExclusiveRequired);
    // A second round behaves as the first.
    LOCKfile(&a_);
    EMPTY(&a_);
    EXPECT_EQ(ERRORCODE(), 0);
    UNLOCK(&a_);
    EXPECT_EQ(a_.fcb->state & kDenyOthers, c.deny_after_unlock);
    CLOSE(&a_);
  }
}

TEST_F(DriverFrame, BuildInProgress) {
  OPEN(&a_);
  a_.fcb->state |= kBuildActive;
  SETfile(&a_);
  EXPECT_EQ(ERRORCODE(), kErrBuildInProgress);
  ClearError();  // NAME's kind does not clear the error state
  NAME(&a_);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(PopToStdString(), "text of NAME");
  CLOSE(&a_);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(a_.fcb, nullptr);
}

TEST_F(DriverFrame, ResetWithBlankPositionAndBofEof) {
  OPEN(&a_);
  RESETfile(&a_, "    ", 4);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotFound);
  // EOF without a sequence fails (33) and returns true; a driver failure too.
  EXPECT_EQ(EOFfile(&a_), 1);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
  SETfile(&a_);
  driver_.results[kOpBOF] = 90;
  EXPECT_EQ(BOFfile(&a_), 1);
  EXPECT_EQ(ERRORCODE(), 90);
  DRIVERERRORCODE();
  EXPECT_EQ(PopToStdString(), "1234");
  driver_.value = 0;
  EXPECT_EQ(EOFfile(&a_), 0);
}

TEST_F(DriverFrame, ErrorStateClearingByKind) {
  OPEN(&a_);
  SETfile(&a_);
  ClearError();
  PostError(2);
  driver_.value = 7;
  EXPECT_EQ(RECORDSfile(&a_), 7);  // without kKindClearsError the earlier error stands
  EXPECT_EQ(ERRORCODE(), 2);
  FLUSH(&a_);  // kKindClearsError clears it
  EXPECT_EQ(ERRORCODE(), 0);
  DriverArgs args;
  DispatchFileOp(kOpNULL, &a_, &args);  // not in the driver's list
  EXPECT_EQ(ERRORCODE(), kErrUnsupported);
  driver_.results[kOpFLUSH] = -1;  // silent failure
  PostError(2);
  FLUSH(&a_);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(a_.fcb->last_error, 0);
  driver_.results[kOpFLUSH] = 5;
  FLUSH(&a_);
  EXPECT_EQ(a_.fcb->last_error, 5);
}

TEST_F(DriverFrame, RegistrationQueries) {
  SEND(&a_, "register");
  EXPECT_EQ(std::to_string(reinterpret_cast<uintptr_t>(&ScriptRegistration())), PopToStdString());
  DriverArgs args;
  args.text = "REGISTER";
  args.text_length = 8;
  EXPECT_EQ(DispatchFileOp(kOpSEND, &a_, &args), reinterpret_cast<intptr_t>(&ScriptRegistration()));
  PopString();
  EXPECT_EQ(DispatchFileOp(kOpDriverEntry, &a_, nullptr), reinterpret_cast<intptr_t>(&ScriptEntry));
  EXPECT_EQ(DispatchFileOp(kOpQUERY_VIEW, &b_, nullptr), 0);
  EXPECT_EQ(b_.fcb, nullptr);  // answered before any other work
  EXPECT_TRUE(driver_.calls.empty());
  // SEND keeps the block it built; other commands reach the driver.
  EXPECT_NE(a_.fcb, nullptr);
  SEND(&a_, "OTHER");
  EXPECT_EQ(PopToStdString(), "text of SEND");
}

TEST_F(DriverFrame, StringResultWithoutControlBlockIsEmpty) {
  driver_.refuse_block = true;
  int depth = StringStackDepth();
  NAME(&a_);
  EXPECT_EQ(StringStackDepth(), depth + 1);
  EXPECT_EQ(PopToStdString(), "");
  EXPECT_EQ(ERRORCODE(), 8);
  EXPECT_EQ(a_.fcb, nullptr);
}

TEST_F(DriverFrame, FileLevelOperationsReleaseTheBlock) {
  CREATE(&a_);
  EXPECT_EQ(a_.fcb, nullptr);
  driver_.results[kOpREMOVE] = 2;
  REMOVE(&a_);
  EXPECT_EQ(ERRORCODE(), 2);
  EXPECT_EQ(a_.fcb, nullptr);
  OPEN(&a_);
  REMOVE(&a_);  // 52: the open file keeps its block
  EXPECT_EQ(ERRORCODE(), kErrFileAlreadyOpen);
  EXPECT_NE(a_.fcb, nullptr);
  EXPECT_EQ(a_.fcb->state & kFileOpen, kFileOpen);
}

TEST_F(DriverFrame, ShutdownClosesMostRecentlyOpenedFirst) {
  OPEN(&a_);
  SHARE(&b_);
  EXPECT_EQ(OpenFileCount(), 2u);
  driver_.calls.clear();
  CloseAllFiles();
  ASSERT_EQ(driver_.calls.size(), 2u);
  EXPECT_EQ(driver_.calls[0].second, &b_);
  EXPECT_EQ(driver_.calls[1].second, &a_);
  EXPECT_EQ(OpenFileCount(), 0u);
  EXPECT_EQ(a_.fcb, nullptr);
  EXPECT_EQ(b_.fcb, nullptr);
}

}  // namespace
}  // namespace kor
