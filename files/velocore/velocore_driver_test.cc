// Tests of the VELOCORE driver through the statement entries, on real files:
// key upkeep, sequences over both kinds of key, positions, WATCH between two
// FILEs of one file, transactions, REMOVE of one table of two, SEND, and
// bad input that must leave the file as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "files/driver.h"
#include "files/operations.h"
#include "files/statements.h"
#include "files/velocore/driver_block.h"
#include "files/velocore/page_store.h"
#include "files/velocore/project_file_test_support.h"
#include "files/velocore/velocore_driver.h"
#include "files/velocore/velocore_test_support.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os.h"
#include "runtime/os/os_test_dir.h"
#include "runtime/values/string_stack.h"

namespace kor {
namespace {

using vel::testing::ProjectFile;

class VelocoreDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearError();
    path_ = dir_.Path("apps.vel");
  }
  void TearDown() override {
    CloseAllFiles();
    while (StringStackDepth() > 0) PopString();
  }
  // Creates the file and opens `f` on it (OPEN's default mode).
  void CreateOpen(ProjectFile& f) {
    CREATE(&f.file);
    ASSERT_EQ(ERRORCODE(), 0);
    OPEN(&f.file);
    ASSERT_EQ(ERRORCODE(), 0);
  }
  void Add(ProjectFile& f, const std::string& path, const std::string& name, uint8_t priority,
           int16_t tag = 0) {
    f.Fill(path, name, tag, priority);
    ADD(&f.file);
    ASSERT_EQ(ERRORCODE(), 0) << path << name;
  }
  // The names NEXT (or PREVIOUS) reads until 33, after the SET already made.
  std::vector<std::string> Walk(ProjectFile& f, bool forward = true) {
    std::vector<std::string> names;
    for (int guard = 0; guard < 1000; ++guard) {
      forward ? NEXT(&f.file) : PREVIOUS(&f.file);
      if (ERRORCODE() != 0) break;
      names.push_back(f.Name());
    }
    EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
    return names;
  }
  std::string Verify() {
    vel::PageStore store;
    vel::Status s = store.Open(path_, kOsReadOnly | kOsDenyNone, "");
    if (!s.ok()) return "open: " + s.Describe();
    return vel::testing::VerifyProblems(store);
  }

  testing::ScratchDir dir_;
  std::string path_;
};

TEST_F(VelocoreDriver, KeyOrderAndRecordCounts) {
  ProjectFile f(path_);
  CreateOpen(f);
  Add(f, "C:\\B", "beta", 2);
  Add(f, "C:\\A", "alpha", 1);
  Add(f, "C:\\C", "gamma", 2);
  Add(f, "C:\\D", "delta", 1);
  EXPECT_EQ(RECORDSfile(&f.file), 4);
  EXPECT_EQ(RECORDSkey(&f.priority_key), 4);
  EXPECT_EQ(BYTES(&f.file), 4 * int32_t(vel::testing::kProjectRecord));
  SETkey(&f.path_key);
  EXPECT_EQ(Walk(f), (std::vector<std::string>{"alpha", "beta", "gamma", "delta"}));
  SETkey(&f.path_key);
  EXPECT_EQ(Walk(f, false), (std::vector<std::string>{"delta", "gamma", "beta", "alpha"}));
  // DUP key: equal values in record-number order.
  SETkey(&f.priority_key);
  EXPECT_EQ(Walk(f), (std::vector<std::string>{"alpha", "delta", "beta", "gamma"}));
  SETfile(&f.file);
  EXPECT_EQ(Walk(f), (std::vector<std::string>{"beta", "alpha", "gamma", "delta"}));
  EXPECT_EQ(Verify(), "");
}

// SETkeykey on a DUP key: NEXT starts at the first equal value, PREVIOUS at
// the last; on a unique key the exact entry, else the nearest one in the
// direction of travel.
TEST_F(VelocoreDriver, SetKeyKeyStarts) {
  ProjectFile f(path_);
  CreateOpen(f);
  const char* names[] = {"p1a", "p2a", "p2b", "p2c", "p3a"};
  const uint8_t prio[] = {1, 2, 2, 2, 3};
  for (int i = 0; i < 5; ++i) Add(f, std::string("X") + char('A' + i * 2), names[i], prio[i]);
  struct Case {
    KeyDescriptor* key;
    std::string path;
    uint8_t priority;
    bool forward;
    std::string first;
  } cases[] = {
      {&f.priority_key, "", 2, true, "p2a"}, {&f.priority_key, "", 2, false, "p2c"},
      {&f.priority_key, "", 0, true, "p1a"}, {&f.priority_key, "", 9, false, "p3a"},
      {&f.path_key, "XC", 0, true, "p2a"},   // "XC" and a blank name sort before "XC" "p2a"
      {&f.path_key, "XD", 0, true, "p2b"},   // between XC and XE: the next
      {&f.path_key, "XD", 0, false, "p2a"},  // going back: the one before
  };
  for (const Case& c : cases) {
    f.Fill(c.path, "", 0, c.priority);
    SETkeykey(c.key);
    c.forward ? NEXT(&f.file) : PREVIOUS(&f.file);
    ASSERT_EQ(ERRORCODE(), 0) << c.path << int(c.priority);
    EXPECT_EQ(f.Name(), c.first) << c.path << int(c.priority) << c.forward;
  }
  f.Fill("XZ", "", 0, 0);
  SETkeykey(&f.path_key);
  NEXT(&f.file);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
}

TEST_F(VelocoreDriver, DuplicateKeyLeavesTableUnchanged) {
  ProjectFile f(path_);
  CreateOpen(f);
  Add(f, "C:\\A", "alpha", 1);
  Add(f, "C:\\B", "beta", 2);
  f.Fill("c:\\a", "ALPHA", 0, 7);  // NOCASE: equal to the first
  ADD(&f.file);
  EXPECT_EQ(ERRORCODE(), kErrCreatesDuplicateKey);
  EXPECT_EQ(RECORDSfile(&f.file), 2);
  EXPECT_EQ(RECORDSkey(&f.priority_key), 2);
  SETkey(&f.priority_key);
  EXPECT_EQ(Walk(f), (std::vector<std::string>{"alpha", "beta"}));
  // PUT onto another record's unique value: 40, and the earlier (priority)
  // key of the record keeps its old entry.
  SETkey(&f.path_key);
  NEXT(&f.file);
  NEXT(&f.file);
  ASSERT_EQ(f.Name(), "beta");
  f.Fill("C:\\A", "alpha", 0, 5);
  PUT(&f.file);
  EXPECT_EQ(ERRORCODE(), kErrCreatesDuplicateKey);
  f.Fill("", "", 0, 5);
  SETkeykey(&f.priority_key);
  NEXT(&f.file);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
  EXPECT_EQ(Verify(), "");
}

TEST_F(VelocoreDriver, PutMovesEntriesAndDeleteRemovesThem) {
  ProjectFile f(path_);
  CreateOpen(f);
  Add(f, "A", "one", 1);
  Add(f, "B", "two", 2);
  Add(f, "C", "three", 3);
  SETkey(&f.path_key);
  NEXT(&f.file);
  f.Fill("D", "one", 0, 9);
  PUT(&f.file);
  ASSERT_EQ(ERRORCODE(), 0);
  SETkey(&f.priority_key);
  EXPECT_EQ(Walk(f), (std::vector<std::string>{"two", "three", "one"}));
  SETkey(&f.path_key);
  NEXT(&f.file);
  ASSERT_EQ(f.Name(), "two");
  DELETEfile(&f.file);
  ASSERT_EQ(ERRORCODE(), 0);
  PUT(&f.file);  // no current record any more
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
  EXPECT_EQ(RECORDSfile(&f.file), 2);
  EXPECT_EQ(RECORDSkey(&f.path_key), 2);
  SETkey(&f.path_key);
  EXPECT_EQ(Walk(f), (std::vector<std::string>{"three", "one"}));
  EXPECT_EQ(Verify(), "");
}

TEST_F(VelocoreDriver, OptKeySkipsBlankRecords) {
  ProjectFile f(path_);
  CreateOpen(f);
  Add(f, "A", "named", 1);
  Add(f, "B", "", 1);
  Add(f, "C", "also", 1);
  EXPECT_EQ(RECORDSkey(&f.name_key), 2);
  SETkey(&f.name_key);
  EXPECT_EQ(Walk(f), (std::vector<std::string>{"also", "named"}));
  // Naming the blank one gives it an entry; blanking a name takes it away.
  SETkey(&f.path_key);
  NEXT(&f.file);
  NEXT(&f.file);
  ASSERT_EQ(f.Path(), "B");
  StoreText(f.record + vel::testing::kNameOffset, kTypeString, vel::testing::kNameSize, "bee");
  PUT(&f.file);
  SETkey(&f.path_key);
  NEXT(&f.file);
  StoreText(f.record + vel::testing::kNameOffset, kTypeString, vel::testing::kNameSize, "");
  PUT(&f.file);
  SETkey(&f.name_key);
  EXPECT_EQ(Walk(f), (std::vector<std::string>{"also", "bee"}));
  EXPECT_EQ(Verify(), "");
}

// POSITION strings: RESET to one and NEXT reads that record again; a string
// of the wrong length is 35 and changes nothing.
TEST_F(VelocoreDriver, PositionsRoundTrip) {
  ProjectFile f(path_);
  CreateOpen(f);
  for (int i = 0; i < 6; ++i)
    Add(f, "P" + std::to_string(i), "n" + std::to_string(i), uint8_t(i % 2));
  SETkey(&f.priority_key);
  NEXT(&f.file);
  NEXT(&f.file);
  ASSERT_EQ(f.Name(), "n2");
  POSITIONkey(&f.priority_key);
  std::string key_position = PopToStdString();
  EXPECT_EQ(key_position.size(), 4u + 1u);
  POSITIONfile(&f.file);
  std::string file_position = PopToStdString();
  ASSERT_EQ(file_position.size(), 4u);
  NEXT(&f.file);
  RESETkey(&f.priority_key, key_position.data(), uint32_t(key_position.size()));
  ASSERT_EQ(ERRORCODE(), 0);
  NEXT(&f.file);
  EXPECT_EQ(f.Name(), "n2");
  NEXT(&f.file);
  EXPECT_EQ(f.Name(), "n4");
  REGETfile(&f.file, file_position.data(), 4);
  EXPECT_EQ(f.Name(), "n2");
  for (size_t length : {size_t{3}, size_t{2}}) {
    RESETkey(&f.priority_key, key_position.data(), uint32_t(length));
    EXPECT_EQ(ERRORCODE(), kErrRecordNotFound) << length;
  }
  std::string longer = key_position + "x";
  REGETkey(&f.priority_key, longer.data(), uint32_t(longer.size()));
  EXPECT_EQ(ERRORCODE(), kErrRecordNotFound);
  std::string missing("\0\0\x03\xE7", 4);  // record 999
  REGETfile(&f.file, missing.data(), 4);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotFound);
}

// Two FILEs of one file in one program: the second PUT of a watched record
// changed meanwhile gets 89, and the record keeps the first change.
TEST_F(VelocoreDriver, WatchedRecordChangedElsewhere) {
  ProjectFile a(path_), b(path_);
  CREATE(&a.file);
  SHARE(&a.file);
  Add(a, "A", "one", 1);
  SHARE(&b.file);
  ASSERT_EQ(ERRORCODE(), 0);
  for (ProjectFile* f : {&a, &b}) {
    WATCH(&f->file);
    SETkey(&f->path_key);
    NEXT(&f->file);
    ASSERT_EQ(ERRORCODE(), 0);
  }
  a.Set(11, 1);
  PUT(&a.file);
  EXPECT_EQ(ERRORCODE(), 0);
  b.Set(22, 1);
  PUT(&b.file);
  EXPECT_EQ(ERRORCODE(), kErrRecordChangedByAnotherStation);
  GETfileptr(&b.file, uint32_t(POINTERfile(&a.file)));
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(b.Tag(), 11);
}

// Two FILEs naming one file in different letter case, on a system that
// ignores case: they share the program's file object, so a record one of
// them holds is the program's own to the other (a PUT through the other
// goes through instead of failing with 5, and a HOLD would not wait for
// ever on this program itself).
TEST_F(VelocoreDriver, TwoSpellingsOfOneFileShareIt) {
  std::string upper = path_.substr(0, path_.size() - 8) + "APPS.VEL";
  ASSERT_EQ(path_.substr(path_.size() - 8), "apps.vel");
  ProjectFile a(path_), b(upper);
  CREATE(&a.file);
  SHARE(&a.file);
  Add(a, "A", "one", 1);
  if (!OsSamePathName(OsFullPathName(path_.c_str()), OsFullPathName(upper.c_str()))) {
    GTEST_SKIP() << "this file system tells letter case apart";
  }
  SHARE(&b.file);
  ASSERT_EQ(ERRORCODE(), 0);
  DriverArgs no_args{};
  DispatchFileOp(kOpHOLDfile, &a.file, &no_args);
  SETfile(&a.file);
  NEXT(&a.file);
  ASSERT_EQ(ERRORCODE(), 0);
  SETfile(&b.file);
  NEXT(&b.file);
  ASSERT_EQ(ERRORCODE(), 0);
  b.Set(33, 1);
  PUT(&b.file);
  EXPECT_EQ(ERRORCODE(), 0);
  GETfileptr(&a.file, uint32_t(POINTERfile(&b.file)));
  EXPECT_EQ(a.Tag(), 33);
}

TEST_F(VelocoreDriver, CommitAndRollbackOverTwoFiles) {
  ProjectFile a(path_), b(dir_.Path("other.vel"));
  CreateOpen(a);
  CreateOpen(b);
  LOGOUT(1, {&a.file, &b.file});
  ASSERT_EQ(ERRORCODE(), 0);
  Add(a, "A", "one", 1);
  Add(b, "B", "two", 1);
  ROLLBACK();
  EXPECT_EQ(RECORDSfile(&a.file), 0);
  EXPECT_EQ(RECORDSfile(&b.file), 0);
  LOGOUT(1, {&a.file, &b.file});
  Add(a, "A", "one", 1);
  Add(b, "B", "two", 1);
  COMMIT();
  EXPECT_EQ(ERRORCODE(), 0) << std::string(CurrentErrorState().driver_code_text, 20) << " "
                            << ErrorSystemCode();
  EXPECT_TRUE(testing::Exists(dir_.Path("velocore.tcf")));
  CloseAllFiles();
  ProjectFile again(path_);
  OPEN(&again.file);
  EXPECT_EQ(RECORDSfile(&again.file), 1);
}

TEST_F(VelocoreDriver, CommitOfOneChangedFileTouchesNoControlFile) {
  ProjectFile a(path_), b(dir_.Path("other.vel"));
  CreateOpen(a);
  CreateOpen(b);
  LOGOUT(1, {&a.file, &b.file});
  Add(a, "A", "one", 1);
  COMMIT();
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_FALSE(testing::Exists(dir_.Path("velocore.tcf")));
  EXPECT_EQ(RECORDSfile(&a.file), 1);
}

TEST_F(VelocoreDriver, RemoveOneOfTwoTablesThenTheLast) {
  // A table name after "\\!" counts once the file exists.
  ProjectFile one(path_), two(path_ + "\\!TWO");
  CREATE(&one.file);
  ASSERT_EQ(ERRORCODE(), 0);
  CREATE(&two.file);
  ASSERT_EQ(ERRORCODE(), 0);
  OPEN(&two.file);
  Add(two, "T", "kept", 1);
  CLOSE(&two.file);
  REMOVE(&one.file);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_TRUE(testing::Exists(path_));
  OPEN(&one.file);
  EXPECT_EQ(ERRORCODE(), kErrFileNotFound);
  OPEN(&two.file);
  EXPECT_EQ(RECORDSfile(&two.file), 1);
  CLOSE(&two.file);
  EXPECT_EQ(Verify(), "");
  REMOVE(&two.file);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_FALSE(testing::Exists(path_));
}

TEST_F(VelocoreDriver, SendCommands) {
  ProjectFile f(path_);
  SEND(&f.file, "FULLBUILD");  // closed: still answers
  EXPECT_EQ(PopToStdString(), "OFF");
  CreateOpen(f);
  SEND(&f.file, "fullbuild=on");
  EXPECT_EQ(PopToStdString(), "ON");
  SEND(&f.file, "FLAGS=12");
  EXPECT_EQ(PopToStdString(), "12");
  SEND(&f.file, "PNM=unnamed");
  EXPECT_EQ(PopToStdString(), "UNNAMED");
  SEND(&f.file, "PNM=nothere");
  EXPECT_EQ(PopToStdString(), "");
  SEND(&f.file, "TCF");
  EXPECT_EQ(PopToStdString(), "");
  SEND(&f.file, "NOSUCH");
  EXPECT_EQ(PopToStdString(), "");
  CLOSE(&f.file);
  OPEN(&f.file);
  SEND(&f.file, "FLAGS");
  EXPECT_EQ(PopToStdString(), "12");
}

// Bad declarations and names: a clear code, and nothing on disk.
TEST_F(VelocoreDriver, BadInputWritesNothing) {
  ProjectFile f(path_);
  f.file.record_length = 0;
  CREATE(&f.file);
  EXPECT_EQ(ERRORCODE(), kErrInvalidRecordDeclaration);
  EXPECT_FALSE(testing::Exists(path_));
  ProjectFile good(path_);
  CreateOpen(good);
  CLOSE(&good.file);
  std::string before = testing::ReadWholeFile(path_);
  ProjectFile long_name(path_ + "\\!" + std::string(200, 'T'));
  CREATE(&long_name.file);
  EXPECT_EQ(ERRORCODE(), kErrInvalidFilename);
  EXPECT_EQ(testing::ReadWholeFile(path_), before);
  // A declaration that no longer matches the stored one.
  ProjectFile fewer(path_, false);
  OPEN(&fewer.file);
  EXPECT_EQ(ERRORCODE(), kErrInvalidRecordDeclaration);
  LOCKfile(&fewer.file);
  EXPECT_EQ(ERRORCODE(), kErrFileNotOpen);
}

// A FILE of the project shape with a MEMO and a BLOB.
struct WithMemos {
  explicit WithMemos(const std::string& name) : f(name, false) {
    memo = {.label = "PRJ:NOTES", .size = sizeof notes, .buffer = notes};
    blob = {.label = "PRJ:PICTURE", .flags = kMemoBlob | kMemoBinary};
    memos[0] = &memo;
    memos[1] = &blob;
    f.file.memos = memos;
    f.file.memo_count = 2;
  }
  void Note(const std::string& text) {
    std::memset(notes, ' ', sizeof notes);
    std::memcpy(notes, text.data(), text.size());
  }
  std::string Notes() const { return std::string(notes, notes + sizeof notes); }
  int32_t BlobSize() {
    DriverArgs args;
    args.index = 2;
    ClearError();
    return int32_t(DispatchFileOp(kOpBLOB_SIZE, &f.file, &args));
  }
  void TakeBlob(const std::string& bytes) {
    DriverArgs args;
    args.index = 2;
    args.text = bytes.data();
    args.text_length = uint32_t(bytes.size());
    ClearError();
    DispatchFileOp(kOpBLOB_TAKE, &f.file, &args);
  }

  ProjectFile f;
  uint8_t notes[24];
  MemoDescriptor memo, blob;
  MemoDescriptor* memos[2];
};

// Memos and BLOBs go with their record; a read under NOMEMO leaves the
// buffers alone and the PUT after it leaves the stored memos; EMPTY takes
// everything away.
TEST_F(VelocoreDriver, MemosBlobsNomemoAndEmpty) {
  WithMemos m(path_);
  CREATE(&m.f.file);
  OPEN(&m.f.file, 0x12);
  ASSERT_EQ(ERRORCODE(), 0);
  m.f.Fill("A", "one", 0, 1);
  m.Note("first notes");
  m.TakeBlob(std::string("\x01\x00\x02", 3));
  ADD(&m.f.file);
  ASSERT_EQ(ERRORCODE(), 0);
  uint32_t record = uint32_t(POINTERfile(&m.f.file));
  m.Note("");
  m.TakeBlob("");
  GETfileptr(&m.f.file, record);
  EXPECT_EQ(m.Notes().substr(0, 11), "first notes");
  EXPECT_EQ(m.BlobSize(), 3);
  m.Note("scribbled");
  NOMEMO(&m.f.file);
  GETfileptr(&m.f.file, record);
  EXPECT_EQ(m.Notes().substr(0, 9), "scribbled");
  m.f.Set(5, 1);
  PUT(&m.f.file);
  ASSERT_EQ(ERRORCODE(), 0);
  GETfileptr(&m.f.file, record);
  EXPECT_EQ(m.Notes().substr(0, 11), "first notes");
  EXPECT_EQ(m.f.Tag(), 5);
  EMPTY(&m.f.file);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(RECORDSfile(&m.f.file), 0);
  EXPECT_EQ(RECORDSkey(&m.f.path_key), 0);
  GETfileptr(&m.f.file, record);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotFound);
  CLOSE(&m.f.file);
  EXPECT_EQ(Verify(), "");
}

TEST_F(VelocoreDriver, BuildMakesKeysAgainAfterAppend) {
  ProjectFile f(path_);
  CreateOpen(f);
  CLOSE(&f.file);
  OPEN(&f.file, 0x12);  // read/write, deny all
  for (int i = 0; i < 3; ++i) {
    f.Fill("A" + std::to_string(i), "n" + std::to_string(i), 0, uint8_t(3 - i));
    APPEND(&f.file);
    ASSERT_EQ(ERRORCODE(), 0);
  }
  EXPECT_EQ(RECORDSkey(&f.priority_key), 0);
  BUILDfile(&f.file);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(RECORDSkey(&f.priority_key), 3);
  SETkey(&f.priority_key);
  EXPECT_EQ(Walk(f), (std::vector<std::string>{"n2", "n1", "n0"}));
  CLOSE(&f.file);
  EXPECT_EQ(Verify(), "");
}

// Clears the program-wide control file name at the end of a test.
struct TcfCleared {
  FileDescriptor* file;
  ~TcfCleared() {
    SEND(file, "TCF=");
    PopString();
  }
};

TEST_F(VelocoreDriver, TcfNamesTheControlFileOfAMultiFileCommit) {
  std::string named = dir_.Path("named.tcf");
  std::string sub = dir_.Path("sub");
  ASSERT_EQ(OsMakeDirectory(sub.c_str()), kOsOk);
  ProjectFile a(path_), b(sub + "/other.vel");
  CreateOpen(a);
  CreateOpen(b);
  TcfCleared cleared{&a.file};
  SEND(&a.file, ("TCF=" + named).c_str());
  PopString();
  SEND(&b.file, "tcf");  // one name for the whole program
  EXPECT_EQ(PopToStdString(), named);

  LOGOUT(1, {&a.file, &b.file});
  ASSERT_EQ(ERRORCODE(), 0);
  Add(a, "A", "one", 1);
  Add(b, "B", "one", 1);
  COMMIT();
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_TRUE(testing::Exists(named));
  EXPECT_FALSE(testing::Exists(dir_.Path("velocore.tcf")));
  EXPECT_FALSE(testing::Exists(sub + "/velocore.tcf"));
  {
    vel::PageStore control;  // a clean file of the same format
    ASSERT_TRUE(control.Open(named, kOsReadOnly | kOsDenyNone, "").ok());
    EXPECT_EQ(vel::testing::VerifyProblems(control), "");
  }

  // Cleared: each file's directory has its own control file again.
  SEND(&b.file, "TCF=");
  PopString();
  SEND(&a.file, "TCF");
  EXPECT_EQ(PopToStdString(), "");
  LOGOUT(1, {&a.file, &b.file});
  Add(a, "A2", "two", 1);
  Add(b, "B2", "two", 1);
  COMMIT();
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_TRUE(testing::Exists(dir_.Path("velocore.tcf")));
  EXPECT_TRUE(testing::Exists(sub + "/velocore.tcf"));

  CloseAllFiles();
  for (ProjectFile* f : {&a, &b}) {
    OPEN(&f->file);
    ASSERT_EQ(ERRORCODE(), 0);
    EXPECT_EQ(RECORDSfile(&f->file), 2);
    SETkey(&f->path_key);
    EXPECT_EQ(Walk(*f), (std::vector<std::string>{"one", "two"}));
    CLOSE(&f->file);
  }
  EXPECT_EQ(Verify(), "");
}

int32_t Call(int32_t op, FileDescriptor* file, DriverArgs args = {}) {
  ClearError();
  DispatchFileOp(op, file, &args);
  return ERRORCODE();
}

// After STREAM, ADDs and FLUSH, the bytes on disk (copied while the file is
// still open here) are a clean file that holds every record.
TEST_F(VelocoreDriver, FlushLeavesEveryRecordOnDisk) {
  ProjectFile f(path_);
  CreateOpen(f);
  EXPECT_EQ(Call(kOpSTREAM, &f.file), 0);
  EXPECT_EQ(Call(kOpSTREAM, &f.file), 0);  // while streaming: silent
  Add(f, "A", "one", 2);
  Add(f, "B", "two", 1);
  Add(f, "C", "three", 3);
  FLUSH(&f.file);
  ASSERT_EQ(ERRORCODE(), 0);
  std::string copy = dir_.Path("copy.vel");
  std::string bytes = testing::ReadWholeFile(path_);
  ASSERT_NE(bytes.rfind("<error ", 0), 0u) << bytes;
  ASSERT_TRUE(testing::WriteWholeFile(copy, bytes));
  {
    vel::PageStore store;
    ASSERT_TRUE(store.Open(copy, kOsReadOnly | kOsDenyNone, "").ok());
    EXPECT_EQ(vel::testing::VerifyProblems(store), "");
  }
  ProjectFile c(copy);
  OPEN(&c.file, 0x40);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(RECORDSfile(&c.file), 3);
  SETkey(&c.priority_key);
  EXPECT_EQ(Walk(c), (std::vector<std::string>{"two", "one", "three"}));
  CLOSE(&c.file);
  EXPECT_EQ(Call(kOpSTREAM, &f.file), 0);  // FLUSH ended the stream
  FLUSH(&f.file);
  EXPECT_EQ(ERRORCODE(), 0);
}

// BUILDkey makes one key from the records: after APPEND (no entries) only
// the key built has entries, in the order of its values.
TEST_F(VelocoreDriver, BuildKeyMakesOneKeyFromTheRecords) {
  ProjectFile f(path_);
  CreateOpen(f);
  CLOSE(&f.file);
  SHARE(&f.file);  // deny none: BUILDkey needs exclusive access
  EXPECT_EQ(Call(kOpBUILDkey, &f.file, {.key = &f.priority_key}), kErrExclusiveRequired);
  CLOSE(&f.file);
  OPEN(&f.file, 0x12);  // read/write, deny all
  const struct {
    const char* path;
    const char* name;
    uint8_t priority;
  } rows[] = {{"D", "d", 2}, {"A", "a", 3}, {"C", "c", 1}, {"B", "b", 2}};
  for (const auto& r : rows) {
    f.Fill(r.path, r.name, 0, r.priority);
    APPEND(&f.file);
    ASSERT_EQ(ERRORCODE(), 0);
  }
  EXPECT_EQ(Call(kOpBUILDkey, &f.file, {.key = &f.priority_key}), 0);
  EXPECT_EQ(RECORDSkey(&f.priority_key), 4);
  EXPECT_EQ(RECORDSkey(&f.path_key), 0);
  SETkey(&f.priority_key);  // equal priorities in record order
  EXPECT_EQ(Walk(f), (std::vector<std::string>{"c", "d", "b", "a"}));
  EXPECT_EQ(Call(kOpBUILDkey, &f.file, {.key = &f.path_key}), 0);
  EXPECT_EQ(RECORDSkey(&f.path_key), 4);
  SETkey(&f.path_key);
  EXPECT_EQ(Walk(f), (std::vector<std::string>{"a", "b", "c", "d"}));
  // Built again over keys that already hold every entry: the same order.
  EXPECT_EQ(Call(kOpBUILDkey, &f.file, {.key = &f.priority_key}), 0);
  EXPECT_EQ(RECORDSkey(&f.priority_key), 4);
  SETkey(&f.priority_key);
  EXPECT_EQ(Walk(f), (std::vector<std::string>{"c", "d", "b", "a"}));
  EXPECT_EQ(Call(kOpBUILDkey, &f.file, {.key = &f.name_key}), 0);
  EXPECT_EQ(RECORDSkey(&f.name_key), 4);
  CLOSE(&f.file);
  EXPECT_EQ(Verify(), "");  // every key complete
}

// A build-on-demand index over NAME: not usable before BUILDdyn, then in
// name order; ADD does not maintain it.
TEST_F(VelocoreDriver, BuildDynMakesAnIndexInItsOrder) {
  ProjectFile f(path_);
  f.name_key.attributes = kKeyDup | kKeyOnDemand | kKeyIndex;
  CreateOpen(f);
  Add(f, "A", "delta", 1);
  Add(f, "B", "alpha", 1);
  Add(f, "C", "charlie", 1);
  Add(f, "D", "bravo", 1);
  SETkey(&f.name_key);
  EXPECT_EQ(ERRORCODE(), kErrKeyMustBeRebuilt);
  // A filter other than the empty one (every record) is not understood:
  // refused, nothing built.
  const char filter[] = "UPPER(NAME) = 'ALPHA'";
  EXPECT_EQ(Call(kOpBUILDdynfilter, &f.file,
                 {.key = &f.name_key, .text = filter, .text_length = uint32_t(strlen(filter))}),
            kErrUnsupported);
  SETkey(&f.name_key);
  EXPECT_EQ(ERRORCODE(), kErrKeyMustBeRebuilt);
  EXPECT_EQ(Call(kOpBUILDdyn, &f.file, {.key = &f.name_key}), 0);
  EXPECT_EQ(RECORDSkey(&f.name_key), 4);
  SETkey(&f.name_key);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(Walk(f), (std::vector<std::string>{"alpha", "bravo", "charlie", "delta"}));
  f.Fill("P", "hotel", 0, 2);
  SETkeykey(&f.name_key);  // from a key value
  EXPECT_EQ(Walk(f, false), (std::vector<std::string>{"delta", "charlie", "bravo", "alpha"}));
  Add(f, "E", "echo", 1);
  EXPECT_EQ(RECORDSkey(&f.name_key), 4);
  EXPECT_EQ(RECORDSkey(&f.path_key), 5);
  // A blank filter takes every record, the one ADD brought too.
  EXPECT_EQ(Call(kOpBUILDdynfilter, &f.file, {.key = &f.name_key, .text = "  ", .text_length = 2}),
            0);
  EXPECT_EQ(RECORDSkey(&f.name_key), 5);
  CLOSE(&f.file);
  EXPECT_EQ(Verify(), "");
}

// A deferred build: with the file's deferral bit set, BUILDkey posts the
// message with the FILE and builds nothing until BUILDevent; the bit is
// spent. A poster that cannot post leaves the build to run at once.
struct Posted {
  uint32_t message = 0;
  FileDescriptor* file = nullptr;
  bool answer = true;
} g_posted;
bool RecordPost(uint32_t message, FileDescriptor* file) {
  g_posted.message = message;
  g_posted.file = file;
  return g_posted.answer;
}

TEST_F(VelocoreDriver, DeferredBuildRunsAtBuildEvent) {
  ProjectFile f(path_);
  CreateOpen(f);
  CLOSE(&f.file);
  OPEN(&f.file, 0x12);
  for (const char* name : {"b", "a", "c"}) {
    f.Fill("P", name, 0, 1);
    APPEND(&f.file);
  }
  ASSERT_EQ(ERRORCODE(), 0);
  g_posted = {};
  SetBuildPoster(&RecordPost);
  f.file.fcb->state |= vel::kDeferBuild;
  EXPECT_EQ(Call(kOpBUILDkey, &f.file, {.key = &f.name_key}), 0);
  EXPECT_EQ(g_posted.message, 0x2420u);
  EXPECT_EQ(g_posted.file, &f.file);
  EXPECT_EQ(f.file.fcb->state & vel::kDeferBuild, 0u);
  EXPECT_EQ(RECORDSkey(&f.name_key), 0);  // not built yet
  EXPECT_EQ(Call(kOpBUILDevent, &f.file), 0);
  EXPECT_EQ(RECORDSkey(&f.name_key), 3);
  EXPECT_EQ(RECORDSkey(&f.path_key), 0);       // only the key asked for
  EXPECT_EQ(Call(kOpBUILDevent, &f.file), 0);  // nothing left to run

  // The bit spent, the next build runs at once; so does one whose post fails.
  g_posted = {};
  EXPECT_EQ(Call(kOpBUILDkey, &f.file, {.key = &f.path_key}), 0);
  EXPECT_EQ(g_posted.file, nullptr);
  EXPECT_EQ(RECORDSkey(&f.path_key), 3);
  g_posted = {.answer = false};
  f.file.fcb->state |= vel::kDeferBuild;
  EXPECT_EQ(Call(kOpBUILDkey, &f.file, {.key = &f.priority_key}), 0);
  EXPECT_EQ(g_posted.file, &f.file);
  EXPECT_EQ(RECORDSkey(&f.priority_key), 3);
  SetBuildPoster(nullptr);
  CLOSE(&f.file);
  EXPECT_EQ(Verify(), "");
}

// Records APPENDed and not yet built have no key entries: PUT and DELETE of
// them change the keys they do have and nothing else, and a unique value an
// appended record shares with an ADDed one stays the ADDed record's entry.
TEST_F(VelocoreDriver, PutAndDeleteOfAppendedRecords) {
  ProjectFile f(path_);
  CreateOpen(f);
  Add(f, "X", "kept", 1);
  std::vector<uint32_t> appended;
  for (const char* name : {"same", "other", "third"}) {
    bool same = std::string(name) == "same";
    f.Fill(same ? "X" : name, same ? "kept" : name, 0, 2);
    APPEND(&f.file);
    ASSERT_EQ(ERRORCODE(), 0);
    appended.push_back(uint32_t(POINTERfile(&f.file)));
  }
  EXPECT_EQ(RECORDSkey(&f.path_key), 1);
  // The one sharing "X" "kept" with the ADDed record: DELETE.
  GETfileptr(&f.file, appended[0]);
  ASSERT_EQ(ERRORCODE(), 0);
  DELETEfile(&f.file);
  EXPECT_EQ(ERRORCODE(), 0);
  // PUT of another, with a new value for every key.
  GETfileptr(&f.file, appended[1]);
  ASSERT_EQ(ERRORCODE(), 0);
  f.Fill("Y", "moved", 0, 7);
  PUT(&f.file);
  EXPECT_EQ(ERRORCODE(), 0);
  GETfileptr(&f.file, appended[2]);
  DELETEfile(&f.file);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(RECORDSfile(&f.file), 2);
  EXPECT_EQ(RECORDSkey(&f.path_key), 2);
  EXPECT_EQ(RECORDSkey(&f.priority_key), 2);
  // The ADDed record keeps its entry, the PUT one gained its own.
  f.Fill("X", "kept", 0, 0);
  SETkeykey(&f.path_key);
  NEXT(&f.file);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(f.Priority(), 1);
  SETkey(&f.path_key);
  EXPECT_EQ(Walk(f), (std::vector<std::string>{"kept", "moved"}));
  SETkey(&f.priority_key);
  EXPECT_EQ(Walk(f), (std::vector<std::string>{"kept", "moved"}));
  CLOSE(&f.file);
  EXPECT_EQ(Verify(), "");
}

// A BLOB longer than its 65,536 blocks of 256 bytes can number is refused
// before anything is written, and the table goes on working.
TEST_F(VelocoreDriver, BlobBeyondTheBlockNumbersIsRefused) {
  WithMemos m(path_);
  CREATE(&m.f.file);
  OPEN(&m.f.file, 0x12);
  ASSERT_EQ(ERRORCODE(), 0);
  m.f.Fill("A", "one", 0, 1);
  m.TakeBlob(std::string(65536u * 256u, 'b'));  // the most it can keep
  ADD(&m.f.file);
  ASSERT_EQ(ERRORCODE(), 0);
  uint32_t record = uint32_t(POINTERfile(&m.f.file));
  m.f.Fill("B", "two", 0, 1);
  m.TakeBlob(std::string(65536u * 256u + 1u, 'b'));
  ADD(&m.f.file);
  EXPECT_EQ(ERRORCODE(), kErrInvalidMemoFile);
  GETfileptr(&m.f.file, record);
  ASSERT_EQ(ERRORCODE(), 0);
  m.TakeBlob(std::string(65536u * 256u + 1u, 'c'));
  PUT(&m.f.file);
  EXPECT_EQ(ERRORCODE(), kErrInvalidMemoFile);
  EXPECT_EQ(RECORDSfile(&m.f.file), 1);
  GETfileptr(&m.f.file, record);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(m.BlobSize(), int32_t(65536u * 256u));
  m.f.Fill("C", "three", 0, 1);
  m.TakeBlob("small");
  ADD(&m.f.file);
  EXPECT_EQ(ERRORCODE(), 0);
  // Inside a transaction, whose changes stay until COMMIT, too.
  LOGOUT(1, {&m.f.file});
  ASSERT_EQ(ERRORCODE(), 0);
  m.f.Fill("D", "four", 0, 1);
  m.TakeBlob(std::string(65536u * 256u + 1u, 'd'));
  ADD(&m.f.file);
  EXPECT_EQ(ERRORCODE(), kErrInvalidMemoFile);
  GETfileptr(&m.f.file, record);
  m.f.Set(9, 1);
  m.TakeBlob(std::string(65536u * 256u + 1u, 'd'));
  PUT(&m.f.file);
  EXPECT_EQ(ERRORCODE(), kErrInvalidMemoFile);
  COMMIT();
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(RECORDSfile(&m.f.file), 2);
  GETfileptr(&m.f.file, record);
  EXPECT_EQ(m.f.Tag(), 0);
  CLOSE(&m.f.file);
  EXPECT_EQ(Verify(), "");
}

}  // namespace
}  // namespace kor
