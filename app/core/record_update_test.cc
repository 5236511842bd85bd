// The update forms' writes over a real Velocore file, with the warnings a
// scripted sink answers: the duplicate insert in another letter case, a
// change that meets another program's change, deletes confirmed, refused
// and failing.
#include "app/core/record_update.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/driver.h"
#include "files/statements.h"
#include "files/velocore/project_file_test_support.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os_test_dir.h"
#include "runtime/values/string_stack.h"

namespace mxb {
namespace {

using kor::vel::testing::ProjectFile;

// Answers each warning from a script (then the default button), keeps them.
class ScriptedSink : public WarningSink {
 public:
  std::vector<uint32_t> answers;
  std::vector<int> shown;
  std::vector<std::string> texts;
  uint32_t Show(const WarningMessage& m) override {
    shown.push_back(m.number);
    texts.push_back(m.text);
    if (answers.empty()) return m.default_button;
    uint32_t a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
  [[noreturn]] void End(int32_t, const char*) override { std::abort(); }
};

class RecordUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kor::CREATE(&a_.file);
    kor::SHARE(&a_.file);
    kor::SHARE(&b_.file);
    ASSERT_EQ(kor::ERRORCODE(), 0);
    a_.Fill("C:\\WORK\\", "ONE.APP", 0, 3);
    kor::ADD(&a_.file);
    ASSERT_EQ(kor::ERRORCODE(), 0);
    target_.file = &a_.file;
    target_.file_name = "Apps";
    target_.delete_key = &a_.path_key;
    target_.unique_key = &a_.path_key;
    target_.unique_key_name = "APP:DriveKey";
    target_.busy = [this](bool on) { busy_changes_ += on ? 1 : -1; };
  }
  void TearDown() override {
    EXPECT_EQ(busy_changes_, 0);
    kor::CloseAllFiles();
    while (kor::StringStackDepth() > 0) kor::PopString();
  }
  // Reads the record of `path`+`name` into `f`; false when there is none.
  static bool Find(ProjectFile& f, const std::string& path, const std::string& name) {
    f.Fill(path, name, 0, 0);
    kor::SETkeykey(&f.path_key);
    kor::NEXT(&f.file);
    return kor::ERRORCODE() == 0 && f.Name() == name;
  }

  kor::testing::ScratchDir dir_;
  ProjectFile a_{dir_.Path("apps.vel"), false}, b_{dir_.Path("apps.vel"), false};
  UpdateTarget target_;
  ScriptedSink sink_;
  int busy_changes_ = 0;
};

// The file's current record is the one duplicated (as after the browse
// fetched it), which DUPLICATE leaves out of its count.
TEST_F(RecordUpdateTest, InsertRefusesADuplicateInAnyCase) {
  a_.Fill("c:\\work\\", "one.app", 1, 9);
  EXPECT_EQ(InsertRecord(target_, sink_), FormOutcome::kStay);
  ASSERT_EQ(sink_.shown, std::vector<int>{24});
  EXPECT_EQ(sink_.texts[0],
            "Adding this record creates a duplicate entry for the key:APP:DriveKey");
  a_.Fill("c:\\work\\", "two.app", 1, 9);
  EXPECT_EQ(InsertRecord(target_, sink_), FormOutcome::kSaved);
  EXPECT_EQ(kor::RECORDSfile(&a_.file), 2);
}

// Both programs read the record; b changes it first. a's change meets 89,
// shows the station message and leaves b's version in a's buffer.
TEST_F(RecordUpdateTest, ChangeMeetsAnotherStationsChange) {
  for (ProjectFile* f : {&a_, &b_}) {
    kor::WATCH(&f->file);
    ASSERT_TRUE(Find(*f, "C:\\WORK\\", "ONE.APP"));
  }
  b_.Set(1, 7);
  kor::PUT(&b_.file);
  ASSERT_EQ(kor::ERRORCODE(), 0);
  a_.Set(0, 200);
  EXPECT_EQ(ChangeRecord(target_, sink_), FormOutcome::kShowOther);
  ASSERT_EQ(sink_.shown, std::vector<int>{15});
  EXPECT_EQ(sink_.texts[0], "This record was changed by another station.");
  EXPECT_EQ(a_.Priority(), 7);
  EXPECT_EQ(a_.Tag(), 1);
  EXPECT_FALSE(kor::TransactionActive());
  // Shown again, the other version saves without complaint.
  a_.Set(0, 8);
  EXPECT_EQ(ChangeRecord(target_, sink_), FormOutcome::kSaved);
  ASSERT_TRUE(Find(b_, "C:\\WORK\\", "ONE.APP"));
  EXPECT_EQ(b_.Priority(), 8);
}

TEST_F(RecordUpdateTest, DeleteConfirmedRefusedAndFailing) {
  ASSERT_TRUE(Find(a_, "C:\\WORK\\", "ONE.APP"));
  sink_.answers = {kButtonCancel};
  EXPECT_EQ(DeleteRecord(target_, sink_), FormOutcome::kGiveUp);
  EXPECT_EQ(kor::RECORDSfile(&a_.file), 1);
  sink_.answers = {kButtonOk};
  EXPECT_EQ(DeleteRecord(target_, sink_), FormOutcome::kSaved);
  EXPECT_EQ(kor::RECORDSfile(&a_.file), 0);
  EXPECT_EQ(sink_.shown, (std::vector<int>{32, 32}));
  // The record is gone now: REGET fails, 17 quotes it, 18 asks; No gives up.
  sink_.shown.clear();
  sink_.texts.clear();
  sink_.answers = {kButtonOk, kButtonOk, kButtonYes, kButtonOk, kButtonNo};
  EXPECT_EQ(DeleteRecord(target_, sink_), FormOutcome::kGiveUp);
  EXPECT_EQ(sink_.shown, (std::vector<int>{32, 17, 18, 17, 18}));
  EXPECT_NE(sink_.texts[1].find("(35)"), std::string::npos) << sink_.texts[1];
  EXPECT_FALSE(kor::TransactionActive());
}

}  // namespace
}  // namespace mxb
