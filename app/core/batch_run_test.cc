// The operation loop over a project list and activity log held by an
// in-memory driver (through the same file statements the Velocore files
// take), the target file on the real DOS driver, real project folders, and a
// screen whose "environment" writes the expected output when it accepts a
// command. Checks the log texts in order, the commands sent, the report.
#include "app/core/batch_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/core/app_data.h"
#include "files/driver.h"
#include "files/operations.h"
#include "files/statements.h"
#include "files/velocore/velocore_driver.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os.h"
#include "runtime/os/os_test_dir.h"
#include "runtime/values/string_stack.h"

namespace mxb {
namespace {

// Records of one file in memory: NEXT walks them in the order given (the
// test lists them in key order), ADD appends.
class MemoryDriver final : public kor::FileDriver {
 public:
  std::vector<std::string> rows;
  size_t next = 0;
  const kor::DriverRegistration& Registration() const override {
    return kor::VelocoreRegistration();
  }
  const char* TraceSection() const override { return "QWMEMORY"; }
  const char* DefaultTraceLog() const override { return "MEMORY.LOG"; }
  std::unique_ptr<kor::FileControlBlock> NewControlBlock(kor::FileDescriptor*, int32_t*) override {
    return std::make_unique<kor::FileControlBlock>();
  }
  int32_t Perform(int32_t op, kor::FileControlBlock& fcb, const kor::DriverArgs& args,
                  kor::DriverOutput& out) override {
    kor::FileDescriptor* f = fcb.file;
    switch (op) {
      case kor::kOpOPEN:
        if ((args.mode & 3) != 0) fcb.state |= kor::kWriteAccess;  // the driver's part
        return 0;
      case kor::kOpCREATE: rows.clear(); return 0;
      case kor::kOpSETkey: next = 0; return 0;
      case kor::kOpRECORDSfile: out.value = static_cast<intptr_t>(rows.size()); return 0;
      case kor::kOpNEXT:
        if (next >= rows.size()) return kor::kErrRecordNotAvailable;
        std::copy(rows[next].begin(), rows[next].end(), f->record);
        ++next;
        return 0;
      case kor::kOpADD:
        rows.emplace_back(reinterpret_cast<const char*>(f->record), f->record_length);
        return 0;
      default: return 0;
    }
  }
};

MemoryDriver* g_apps_driver = nullptr;
MemoryDriver* g_temp_driver = nullptr;
intptr_t AppsEntry(int32_t op, kor::FileDescriptor* f, const void* a) {
  return kor::RunDriverCall(*g_apps_driver, op, f, a);
}
intptr_t TempEntry(int32_t op, kor::FileDescriptor* f, const void* a) {
  return kor::RunDriverCall(*g_temp_driver, op, f, a);
}

// The environment: accepts a command unless its text holds "refuse", and
// then writes `output` (unless empty); time moves 10 s per tick.
class FakeScreen : public BatchScreen {
 public:
  std::vector<std::string> commands, messages, actions;
  std::string output;        // file written when a command is accepted
  std::string must_be_gone;  // must not exist when the command comes
  bool old_output_seen = false;
  int ticks = 0, closes = 0;
  uint32_t now = 1000;
  int32_t channel = 5;  // 0: the environment never answers
  bool shows = true;    // false: an unattended screen
  int32_t DdeOpen() override { return channel; }
  void StartEnvironment() override {}
  void Pause(uint32_t) override {}
  void DdeExecute(int32_t, const std::string& command) override {
    kor::ClearError();
    commands.push_back(command);
    uint8_t attributes;
    if (!must_be_gone.empty() && kor::OsAttributes(must_be_gone.c_str(), &attributes) == 0) {
      old_output_seen = true;
    }
    must_be_gone.clear();  // checked at the first command
    if (command.find("refuse") != std::string::npos) {
      kor::PostError(kor::kErrDdeExecuteRefused);
    } else if (!output.empty()) {
      std::fclose(std::fopen(output.c_str(), "wb"));
    }
  }
  void DdeRequestError(int32_t, int32_t* n, std::string* text) override {
    *n = 103;
    *text = "Project refused";
  }
  void Message(const std::string& text, const std::string&, uint32_t) override {
    messages.push_back(text);
  }
  bool ShowsMessages() override { return shows; }
  void SetConnected(bool) override {}
  void SetLastAction(const std::string& text) override { actions.push_back(text); }
  void Beep() override {}
  void SetDdeTimeout(uint32_t) override {}
  void DdeClose(int32_t) override { ++closes; }
  bool WaitForTick() override {
    ++ticks;
    now += 10000;
    return true;
  }
  uint32_t NowMs() override { return now; }
};

class NoWarnings : public WarningSink {
 public:
  uint32_t Show(const WarningMessage& m) override {
    ADD_FAILURE() << m.text;
    return m.default_button;
  }
  [[noreturn]] void End(int32_t, const char* text) override {
    ADD_FAILURE() << text;
    throw 0;
  }
};

class BatchRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = kor::testing::UniqueTempName("batchrun") + "/";
    ASSERT_EQ(kor::OsMakeDirectory(dir_.c_str()), 0u);
    g_apps_driver = &apps_;
    g_temp_driver = &temp_;
    Data().apps.driver = &AppsEntry;
    Data().temp.driver = &TempEntry;
    kor::ClearError();
  }
  void TearDown() override {
    kor::CloseAllFiles();
    for (kor::FileDescriptor* f : {&Data().apps, &Data().temp, &Data().target}) {
      delete f->fcb;
      f->fcb = nullptr;
    }
    Data().apps.driver = &kor::VelocoreDriverEntry;
    Data().temp.driver = &kor::VelocoreDriverEntry;
    while (kor::StringStackDepth() > 0) kor::PopString();
    for (const std::string& f : files_) std::remove(f.c_str());
    kor::OsRemoveDirectory(dir_.c_str());
  }
  void Touch(const std::string& name) {
    files_.push_back(dir_ + name);
    std::fclose(std::fopen(files_.back().c_str(), "wb"));
  }
  void Project(const std::string& name, int16_t tag, uint8_t priority) {
    AppsRecord r;
    StoreField(r.drive_path, sizeof r.drive_path, dir_);
    StoreField(r.application, sizeof r.application, name);
    r.tag = tag;
    r.priority = priority;
    apps_.rows.emplace_back(reinterpret_cast<const char*>(&r), sizeof r);
  }
  // The main frame holds the project list open while an operation runs.
  void Run(BatchOp op, FakeScreen& screen, RunReport* report) {
    kor::OPEN(&Data().apps, 0x42);
    ASSERT_EQ(kor::ERRORCODE(), 0);
    NoWarnings warnings;
    RunBatch(OpSpec(op), screen, warnings, {15, report});
    EXPECT_EQ(kor::OpenFileCount(), 1u) << "the log is closed, the list stays open";
  }
  // The log as "project|event" lines.
  std::vector<std::string> Log() {
    std::vector<std::string> out;
    for (const std::string& row : temp_.rows) {
      const auto* r = reinterpret_cast<const TempRecord*>(row.data());
      out.push_back(Clip(std::string_view(r->apps, 40)) + "|" +
                    Clip(std::string_view(r->event, 80)));
      EXPECT_GT(r->date, 0);
      EXPECT_GT(r->clock, 0);
    }
    return out;
  }
  std::string dir_;
  std::vector<std::string> files_;
  MemoryDriver apps_, temp_;
};

TEST_F(BatchRun, MakeOverTaggedProjectsInKeyOrder) {
  Touch("a.APP");
  Touch("b.APP");
  Touch("a.EXE");  // an old executable: removed before the command
  files_.push_back(dir_ + "b.EXE");
  Project("a.app", 1, 1);
  Project("skip.app", 2, 1);  // tag 2 is not processed
  Project("gone.app", 1, 1);  // no source
  Project("b.app", 1, 1);     // equal priorities: all processed
  Project("untagged.app", 0, 9);
  FakeScreen screen;
  screen.output = dir_ + "a.EXE";
  screen.must_be_gone = dir_ + "a.EXE";
  RunReport report(OpSpec(BatchOp::kMakeExe));
  Run(BatchOp::kMakeExe, screen, &report);
  EXPECT_FALSE(screen.old_output_seen);
  ASSERT_EQ(screen.commands.size(), 2u);
  EXPECT_EQ(Clip(screen.commands[0]), "[ExecuteProject(\"" + dir_ + "a.app\")]");
  EXPECT_EQ(screen.commands[0].size(), 255u);
  // b's output never appears: the wait is capped at the 15-minute time-out.
  std::vector<std::string> expected = {"a.app|Begin Make", "a.app|Make Finished",
                                       "gone.app|.APP not found", "b.app|Begin Make",
                                       "b.app|Output did not appear"};
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(screen.actions.front(), "Connected to Korvane");
  EXPECT_EQ(screen.actions.back(), "Processing Complete");
  EXPECT_NE(std::find(screen.actions.begin(), screen.actions.end(), "a.app Compiled & Made"),
            screen.actions.end());
  EXPECT_EQ(screen.closes, 1);
  ASSERT_EQ(report.results().size(), 3u);
  EXPECT_EQ(report.results()[0].outcome, Outcome::kFinished);
  EXPECT_EQ(report.results()[1].outcome, Outcome::kSourceMissing);
  EXPECT_EQ(report.results()[2].outcome, Outcome::kOutputMissing);
  EXPECT_EQ(report.ExitStatus(), kExitProjectFailed);
}

TEST_F(BatchRun, RefusedCommandTakesTheTerminationPath) {
  Touch("refuse.TXD");
  Touch("later.TXD");
  Project("refuse.dct", 1, 1);
  Project("later.dct", 1, 2);
  FakeScreen screen;
  RunReport report(OpSpec(BatchOp::kImportDct));
  Run(BatchOp::kImportDct, screen, &report);
  EXPECT_EQ(screen.commands.size(), 1u) << "the remaining projects are untouched";
  EXPECT_EQ(screen.messages, std::vector<std::string>{"Error 103 : Project refused"});
  std::vector<std::string> expected = {"refuse.dct|Begin DCT Import",
                                       "refuse.dct|Error 603 DDEexecute - invalid command"};
  EXPECT_EQ(Log(), expected);
  ASSERT_EQ(report.results().size(), 2u);
  EXPECT_EQ(report.results()[0].error_code, 603);
  EXPECT_EQ(report.results()[1].outcome, Outcome::kNotProcessed);
  EXPECT_EQ(screen.actions.back(), "Processing Complete");
}

TEST_F(BatchRun, NoTaggedRecordStillConnectsAndEnds) {
  Project("a.app", 0, 1);
  FakeScreen screen;
  Run(BatchOp::kExportApp, screen, nullptr);
  EXPECT_TRUE(Log().empty());
  EXPECT_TRUE(screen.commands.empty());
  EXPECT_EQ(screen.closes, 1);
  EXPECT_EQ(screen.actions.back(), "Processing Complete");
}

// A message nobody sees is kept in the log exactly once, beside the loop's
// own records; a message shown is not logged, but the connection failure
// always is, once.
TEST_F(BatchRun, MessagesReachTheLogOnce) {
  const std::string refused = "refuse.dct|Error 103 : Project refused";
  const std::string begin = "refuse.dct|Begin DCT Import";
  const std::string error = "refuse.dct|Error 603 DDEexecute - invalid command";
  const std::string no_env = std::string("|") + kConnectFailedText;
  struct Case {
    bool reachable, shows;
    std::vector<std::string> log;
  } cases[] = {
      {true, false, {begin, refused, error}},
      {true, true, {begin, error}},
      {false, false, {no_env}},
      {false, true, {no_env}},
  };
  Touch("refuse.TXD");
  Project("refuse.dct", 1, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "reachable " << c.reachable << " shows " << c.shows);
    FakeScreen screen;
    screen.channel = c.reachable ? 5 : 0;
    screen.shows = c.shows;
    Run(BatchOp::kImportDct, screen, nullptr);
    EXPECT_EQ(Log(), c.log);
    EXPECT_EQ(screen.messages.size(), 1u);
    kor::CLOSE(&Data().apps);
    kor::ClearError();
  }
}

}  // namespace
}  // namespace mxb
