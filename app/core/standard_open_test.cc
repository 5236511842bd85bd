// The standard open over the DOS driver (a real file on disk) and over a
// scripted driver that answers each operation with the code a test gives,
// for the paths no flat file can produce (locks, damaged keys, bad
// declarations).
#include "app/core/standard_open.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "files/dos/dos_driver.h"
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

struct Ended {};

class Sink : public WarningSink {
 public:
  uint32_t answer = 0;  // 0: the default button
  std::vector<int> shown;
  std::vector<std::string> texts;
  int32_t exit_code = -1;
  std::string halt_text;
  uint32_t Show(const WarningMessage& m) override {
    shown.push_back(m.number);
    texts.push_back(m.text);
    return answer != 0 ? answer : m.default_button;
  }
  [[noreturn]] void End(int32_t code, const char* text) override {
    exit_code = code;
    halt_text = text;
    throw Ended{};
  }
};

// ---- over the DOS driver ----

const kor::FieldDescriptor kNoFields[] = {{.type = kor::kTypeEnd}};

class StandardOpenDos : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = kor::testing::UniqueTempName("stdopen");
    std::remove(name_.c_str());
    a_ = Declare();
    b_ = Declare();
    kor::ClearError();
  }
  void TearDown() override {
    kor::CloseAllFiles();
    // A FILE whose OPEN failed keeps its control block (it is on no open
    // list, so CloseAllFiles leaves it).
    for (kor::FileDescriptor* f : {&a_, &b_}) {
      delete f->fcb;
      f->fcb = nullptr;
    }
    while (kor::StringStackDepth() > 0) kor::PopString();
    std::remove(name_.c_str());
  }
  kor::FileDescriptor Declare() {
    return {.driver = &kor::DosDriverEntry,
            .label = "T",
            .label_length = 1,
            .driver_name = "DOS",
            .name = name_.c_str(),
            .attributes = kor::kFileCreate,
            .fields = kNoFields,
            .record = record_,
            .record_length = 0};
  }
  std::string name_;
  uint8_t record_[1] = {};
  kor::FileDescriptor a_, b_;
};

TEST_F(StandardOpenDos, AMissingFileIsCreatedSilently) {
  Sink sink;
  StandardOpen(&a_, sink);
  EXPECT_EQ(kor::ERRORCODE(), 0);
  EXPECT_TRUE(sink.shown.empty());
  uint8_t attributes = 0;
  EXPECT_EQ(kor::OsAttributes(name_.c_str(), &attributes), 0u) << "the file exists";
  // A second open of an open file (52) is no failure either.
  StandardOpen(&a_, sink);
  EXPECT_TRUE(sink.shown.empty());
}

TEST_F(StandardOpenDos, AFileHeldExclusivelyEndsWithMessage30AndExitCode1) {
  std::FILE* f = std::fopen(name_.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  kor::OPEN(&b_, 0x12);  // read/write, deny all
  ASSERT_EQ(kor::ERRORCODE(), 0);
  Sink sink;
  EXPECT_THROW(StandardOpen(&a_, sink), Ended);
  EXPECT_EQ(sink.shown, std::vector<int>{30});
  EXPECT_EQ(sink.exit_code, 1);
  EXPECT_EQ(sink.halt_text, "Disk Error");
}

// ---- over a scripted driver ----

class ScriptedDriver final : public kor::FileDriver {
 public:
  std::map<int32_t, std::deque<int32_t>> script;  // op -> codes of its next calls
  std::vector<std::string> calls;
  std::string name_text = "SCRIPTED";

  const kor::DriverRegistration& Registration() const override {
    return kor::VelocoreRegistration();  // its capability list: every operation used here
  }
  const char* TraceSection() const override { return "QWSCRIPT"; }
  const char* DefaultTraceLog() const override { return "SCRIPT.LOG"; }
  std::unique_ptr<kor::FileControlBlock> NewControlBlock(kor::FileDescriptor*, int32_t*) override {
    return std::make_unique<kor::FileControlBlock>();
  }
  int32_t Perform(int32_t op, kor::FileControlBlock&, const kor::DriverArgs& args,
                  kor::DriverOutput& out) override {
    calls.push_back(std::string(kor::OpName(op)) +
                    (op == kor::kOpSEND ? std::string(" ") + args.text : std::string()) +
                    (op == kor::kOpOPEN ? " " + std::to_string(args.mode) : std::string()));
    if (op == kor::kOpNAME) out.text = name_text;
    auto it = script.find(op);
    if (it == script.end() || it->second.empty()) return 0;
    int32_t code = it->second.front();
    it->second.pop_front();
    return code;
  }
};

ScriptedDriver* g_scripted = nullptr;
intptr_t ScriptedEntry(int32_t op, kor::FileDescriptor* file, const void* args) {
  return kor::RunDriverCall(*g_scripted, op, file, args);
}

struct Case {
  const char* what;
  std::map<int32_t, std::deque<int32_t>> script;
  uint32_t answer;
  std::vector<std::string> calls;  // NAME calls left out
  std::vector<int> shown;
  const char* halt;  // null: returns with the file open
};

TEST(StandardOpenScripted, DecisionSequence) {
  using namespace kor;
  const std::string kOpen = "OPEN 66";
  // clang-format off
  const Case cases[] = {
      {"opens at once", {}, 0, {kOpen}, {}, nullptr},
      {"locked, free after Recover=10", {{kOpOPEN, {kor::kErrFileIsAlreadyLocked}}}, 0,
       {kOpen, "SEND Recover=10", kOpen}, {}, nullptr},
      {"locked twice", {{kOpOPEN, {kor::kErrFileIsAlreadyLocked, kor::kErrFileIsAlreadyLocked}}}, 0,
       {kOpen, "SEND Recover=10", kOpen}, {30}, "Disk Error"},
      {"missing, created", {{kOpOPEN, {kor::kErrFileNotFound}}}, 0,
       {kOpen, "CREATE", kOpen}, {}, nullptr},
      {"create fails", {{kOpOPEN, {kor::kErrFileNotFound}}, {kOpCREATE, {kor::kErrAccessDenied}}}, 0,
       {kOpen, "CREATE"}, {4}, "File Creation Error!"},
      {"created file does not open", {{kOpOPEN, {kor::kErrFileNotFound, kor::kErrAccessDenied}}}, 0,
       {kOpen, "CREATE", kOpen}, {5}, "File Creation Error!"},
      {"bad declaration", {{kOpOPEN, {kor::kErrInvalidRecordDeclaration}}}, 0,
       {kOpen}, {1}, "Invalid File!"},
      {"damaged keys, Yes", {{kOpOPEN, {kor::kErrKeyMustBeRebuilt}}}, 0,
       {kOpen, "BUILDfile", kOpen}, {2}, nullptr},
      {"damaged keys, No", {{kOpOPEN, {kor::kErrKeyMustBeRebuilt}}}, kButtonNo,
       {kOpen}, {2}, "Invalid Key!"},
      {"rebuild fails", {{kOpOPEN, {kor::kErrKeyMustBeRebuilt}}, {kOpBUILDfile, {kor::kErrAccessDenied}}},
       0, {kOpen, "BUILDfile"}, {2, 3}, "Error Rebuilding Key!"},
      {"other error", {{kOpOPEN, {kor::kErrAccessDenied}}}, 0, {kOpen}, {30}, "Disk Error"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedDriver driver;
    driver.script = c.script;
    g_scripted = &driver;
    uint8_t record[4] = {};
    FileDescriptor file{.driver = &ScriptedEntry,
                        .label = "S",
                        .label_length = 1,
                        .driver_name = "SCRIPT",
                        .name = "SCRIPTED",
                        .attributes = kFileCreate,
                        .fields = kNoFields,
                        .record = record,
                        .record_length = 0};
    ClearError();
    Sink sink;
    sink.answer = c.answer;
    bool ended = false;
    try {
      StandardOpen(&file, sink);
    } catch (const Ended&) {
      ended = true;
    }
    std::vector<std::string> calls;
    for (const std::string& call : driver.calls) {
      if (call != "NAME") calls.push_back(call);
    }
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(sink.shown, c.shown);
    EXPECT_EQ(ended, c.halt != nullptr);
    if (c.halt != nullptr) {
      EXPECT_EQ(sink.halt_text, c.halt);
      EXPECT_EQ(sink.exit_code, 1);
    }
    CloseAllFiles();
    delete file.fcb;
    file.fcb = nullptr;
    while (StringStackDepth() > 0) PopString();
  }
}

TEST(StandardOpenScripted, ADriverWithoutANameLeavesTheDeclaredName) {
  using namespace kor;
  for (const char* reported : {"C:\\DATA\\APPS.VEL", ""}) {
    ScriptedDriver driver;
    driver.name_text = reported;
    driver.script = {{kOpOPEN, {kErrAccessDenied}}};
    g_scripted = &driver;
    uint8_t record[4] = {};
    FileDescriptor file{.driver = &ScriptedEntry,
                        .label = "Apps",
                        .label_length = 4,
                        .driver_name = "SCRIPT",
                        .name = "APPS",
                        .fields = kNoFields,
                        .record = record};
    ClearError();
    Sink sink;
    EXPECT_THROW(StandardOpen(&file, sink), Ended);
    ASSERT_EQ(sink.texts.size(), 1u);
    std::string expected = std::string("File (") + (*reported ? reported : "APPS") +
                           ") could not be opened.  Error: Access Denied (5).";
    EXPECT_EQ(sink.texts[0], expected);
    CloseAllFiles();
    delete file.fcb;
    file.fcb = nullptr;
    while (StringStackDepth() > 0) PopString();
  }
}

}  // namespace
}  // namespace mxb
