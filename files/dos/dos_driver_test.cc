// Tests of the DOS driver through the statement entries: positioning,
// reading and writing in record-length pieces, buffers and SEND, locks,
// sharing between two opens, OEM text, name operations and the trace.
#include "files/dos/dos_driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "files/driver.h"
#include "files/operations.h"
#include "files/state_check.h"
#include "files/statements.h"
#include "files/trace.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os_test_dir.h"
#include "runtime/values/string_stack.h"

namespace kor {
namespace {

constexpr uint32_t kLen = 100;

const FieldDescriptor kFields[] = {
    {.type = kTypeString, .label = "F:TEXT", .size = 10},
    {.type = kTypeLong, .label = "F:NUMBER", .offset = 10, .size = 4},
    {.type = kTypeString, .label = "F:REST", .offset = 14, .size = 86},
    {.type = kTypeEnd},
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// 250 bytes: record 1 all 'a', record 2 all 'b', then 50 bytes of 'c'.
std::string Sample() {
  return std::string(100, 'a') + std::string(100, 'b') + std::string(50, 'c');
}

class DosDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ::testing::TempDir();
    name_ = testing::UniqueTempName("dos");
    std::remove(name_.c_str());
    a_ = Declare(record_a_);
    b_ = Declare(record_b_);
    ClearError();
  }
  void TearDown() override {
    CloseAllFiles();
    for (FileDescriptor* f : {&a_, &b_}) {
      delete f->fcb;
      f->fcb = nullptr;
    }
    while (StringStackDepth() > 0) PopString();
    std::remove(name_.c_str());
  }
  FileDescriptor Declare(uint8_t* record) {
    return {.driver = &DosDriverEntry,
            .label = "F",
            .label_length = 1,
            .driver_name = "DOS",
            .name = name_.c_str(),
            .fields = kFields,
            .record = record,
            .record_length = kLen};
  }
  std::string Record(const uint8_t* record, uint32_t n = kLen) {
    return std::string(reinterpret_cast<const char*>(record), n);
  }
  std::string Pop() { return PopToStdString(); }

  std::string dir_, name_;
  uint8_t record_a_[kLen] = {}, record_b_[kLen] = {};
  FileDescriptor a_, b_;
};

TEST_F(DosDriver, PartialLastRecord) {
  WriteAll(name_, Sample());
  OPEN(&a_, 0x22);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(RECORDSfile(&a_), 2);
  SETfileptr(&a_, 201);
  EXPECT_EQ(POINTERfile(&a_), 0);  // nothing read yet
  NEXT(&a_);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(BYTES(&a_), 50);
  EXPECT_EQ(Record(record_a_, 50), std::string(50, 'c'));
  NEXT(&a_);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
}

TEST_F(DosDriver, PreviousAfterSetAndNextAfterPrevious) {
  WriteAll(name_, Sample());
  OPEN(&a_, 0x42);
  SETfile(&a_);
  EXPECT_EQ(POINTERfile(&a_), 0);
  PREVIOUS(&a_);  // the last whole record starts at 151
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(POINTERfile(&a_), 151);
  EXPECT_EQ(Record(record_a_), std::string(50, 'b') + std::string(50, 'c'));
  PREVIOUS(&a_);
  EXPECT_EQ(POINTERfile(&a_), 51);
  NEXT(&a_);  // the same record again
  EXPECT_EQ(POINTERfile(&a_), 51);
  NEXT(&a_);
  EXPECT_EQ(POINTERfile(&a_), 151);
  PREVIOUS(&a_);
  EXPECT_EQ(POINTERfile(&a_), 51);
  PREVIOUS(&a_);  // nothing starts 100 bytes before 51
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
}

TEST_F(DosDriver, EofAndEmptyFiles) {
  WriteAll(name_, "");
  OPEN(&a_);
  SETfile(&a_);
  EXPECT_EQ(EOFfile(&a_), 1);
  NEXT(&a_);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
  CLOSE(&a_);
  WriteAll(name_, Sample());
  OPEN(&a_);
  SETfile(&a_);
  EXPECT_EQ(EOFfile(&a_), 0);
  NEXT(&a_);
  NEXT(&a_);
  NEXT(&a_);
  EXPECT_EQ(EOFfile(&a_), 1);
}

TEST_F(DosDriver, WritesAtTheEndAndInPlace) {
  CREATE(&a_);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(a_.fcb, nullptr);
  OPEN(&a_, 0x22);
  std::memset(record_a_, 'x', kLen);
  ADD(&a_);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(POINTERfile(&a_), 1);
  std::memset(record_a_, 'y', kLen);
  APPEND(&a_);
  EXPECT_EQ(POINTERfile(&a_), 101);
  APPENDlen(&a_, 5);
  EXPECT_EQ(BYTES(&a_), 5);
  EXPECT_EQ(RECORDSfile(&a_), 2);
  GETfileptr(&a_, 1);
  EXPECT_EQ(Record(record_a_), std::string(100, 'x'));
  record_a_[0] = 'X';
  PUT(&a_);
  EXPECT_EQ(ERRORCODE(), 0);
  GETfileptrlen(&a_, 98, 10);  // 3 bytes of the first record, 7 of the second
  EXPECT_EQ(BYTES(&a_), 10);
  EXPECT_EQ(Record(record_a_, 10), "xxxyyyyyyy");
  std::memcpy(record_a_, "12345", 5);
  PUTfileptrlen(&a_, 201, 2);
  CLOSE(&a_);
  EXPECT_EQ(ReadAll(name_), "X" + std::string(99, 'x') + std::string(100, 'y') + "12yyy");
}

TEST_F(DosDriver, PositionStringsAndReset) {
  WriteAll(name_, Sample());
  OPEN(&a_);
  GETfileptr(&a_, 101);
  POSITIONfile(&a_);
  std::string position = Pop();
  EXPECT_EQ(position, std::string("\0\0\0\x65", 4));
  GETfileptr(&a_, 1);
  REGETfile(&a_, position.data(), 4);
  EXPECT_EQ(POINTERfile(&a_), 101);
  EXPECT_EQ(record_a_[0], 'b');
  RESETfile(&a_, position.data(), 4);
  NEXT(&a_);
  EXPECT_EQ(POINTERfile(&a_), 101);
  RESETfile(&a_, "    ", 4);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotFound);
  GETfileptr(&a_, 0);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotFound);
  GETfileptr(&a_, 251);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
}

TEST_F(DosDriver, CutAndEmpty) {
  WriteAll(name_, Sample());
  OPEN(&a_, 0x22);
  PUTfileptrlen(&a_, 101, 0);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(RECORDSfile(&a_), 1);
  CLOSE(&a_);
  EXPECT_EQ(ReadAll(name_).size(), 100u);
  OPEN(&a_, 0x42);
  EMPTY(&a_);  // deny none and not locked
  EXPECT_EQ(ERRORCODE(), kErrExclusiveRequired);
  LOCKfile(&a_);
  EMPTY(&a_);
  EXPECT_EQ(ERRORCODE(), 0);
  UNLOCK(&a_);
  EXPECT_EQ(RECORDSfile(&a_), 0);
  CLOSE(&a_);
  EXPECT_EQ(ReadAll(name_), "");
}

TEST_F(DosDriver, BuffersQuickScanAndOptions) {
  WriteAll(name_, Sample());
  OPEN(&a_, 0x42);  // deny none: 512 bytes, no read-ahead
  SEND(&a_, "FILEBUFFERS");
  EXPECT_EQ(Pop(), "512");
  SEND(&a_, "QUICKSCAN");
  EXPECT_EQ(Pop(), "OFF");
  SEND(&a_, "filebuffers=4");
  EXPECT_EQ(Pop(), "2048");
  SEND(&a_, "QUICKSCAN=ON");
  EXPECT_EQ(Pop(), "ON");
  SEND(&a_, "QUICKSCAN=MAYBE");
  EXPECT_EQ(Pop(), "ON");
  SEND(&a_, "NOSUCH=1");
  EXPECT_EQ(Pop(), "");
  SETfile(&a_);
  NEXT(&a_);
  NEXT(&a_);
  EXPECT_EQ(record_a_[0], 'b');  // served from the read-ahead buffer
  CLOSE(&a_);
  OPEN(&a_, 0x22);  // deny write: 1024 bytes, read-ahead on
  SEND(&a_, "FILEBUFFERS");
  EXPECT_EQ(Pop(), "1024");
  SEND(&a_, "QUICKSCAN");
  EXPECT_EQ(Pop(), "ON");
  CLOSE(&a_);
  a_.options = "/FILEBUFFERS=1/ QUICKSCAN=OFF";
  a_.record_length = 600;  // the buffer is never less than twice the record
  OPEN(&a_, 0x42);
  SEND(&a_, "FILEBUFFERS");
  EXPECT_EQ(Pop(), "600");  // 1 * 512, at least the record length
  SEND(&a_, "QUICKSCAN");
  EXPECT_EQ(Pop(), "OFF");
  CLOSE(&a_);
  a_.options = nullptr;
  OPEN(&a_, 0x42);
  SEND(&a_, "FILEBUFFERS");
  EXPECT_EQ(Pop(), "1200");
}

TEST_F(DosDriver, Properties) {
  WriteAll(name_, Sample());
  OPEN(&a_, 0x42);
  GET_PROPERTY(&a_, "RecordLength");
  EXPECT_EQ(Pop(), "100");
  GET_PROPERTY(&a_, "FILESIZE");
  EXPECT_EQ(Pop(), "250");
  GET_PROPERTY(&a_, "NAME");
  EXPECT_EQ(Pop(), name_);
  SET_PROPERTY(&a_, "FILEBUFFERS", "2");
  EXPECT_EQ(ERRORCODE(), 0);
  GET_PROPERTY(&a_, "FILEBUFFERS");
  EXPECT_EQ(Pop(), "1024");
  SET_PROPERTY(&a_, "FILESIZE", "1");
  EXPECT_EQ(ERRORCODE(), kErrUnsupported);
  GET_PROPERTY(&a_, "COLOUR");
  EXPECT_EQ(ERRORCODE(), kErrUnsupported);
  EXPECT_EQ(Pop(), "");
  NAME(&a_);
  EXPECT_EQ(Pop(), name_);
}

TEST_F(DosDriver, UnsupportedAndRefusedOperations) {
  WriteAll(name_, Sample());
  OPEN(&a_, 0x22);
  SETfile(&a_);
  NEXT(&a_);
  DELETEfile(&a_);
  EXPECT_EQ(ERRORCODE(), kErrUnsupported);
  WATCH(&a_);
  EXPECT_EQ(ERRORCODE(), kErrUnsupported);
  LOGOUT(1, {&a_});
  EXPECT_EQ(ERRORCODE(), kErrUnsupported);
  EXPECT_FALSE(TransactionActive());
  CLOSE(&a_);
  OPEN(&a_, 0x40);  // read only
  ADD(&a_);
  EXPECT_EQ(ERRORCODE(), kErrAccessDenied);
  CLOSE(&a_);
  OPEN(&a_, 0x43);  // access 3 is read only for the system
  ADD(&a_);
  EXPECT_EQ(ERRORCODE(), kErrAccessDenied);
  CLOSE(&a_);
  EXPECT_EQ(ReadAll(name_), Sample());
}

TEST_F(DosDriver, NamesAndNameOperations) {
  a_.name = "";
  OPEN(&a_);
  EXPECT_EQ(ERRORCODE(), 45);
  REMOVE(&a_);
  EXPECT_EQ(ERRORCODE(), 45);
  a_.name = name_.c_str();
  OPEN(&a_);
  EXPECT_EQ(ERRORCODE(), 2);
  REMOVE(&a_);
  EXPECT_EQ(ERRORCODE(), 2);
  std::string nodir = dir_ + "no_such_dir/x.dat";
  a_.name = nodir.c_str();
  REMOVE(&a_);
  EXPECT_EQ(ERRORCODE(), 3);
  a_.name = name_.c_str();

  WriteAll(name_, Sample());
  std::string copy = name_ + ".copy";
  std::remove(copy.c_str());
  COPY(&a_, copy.c_str());
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(ReadAll(copy), Sample());
  RENAME(&a_, copy.c_str());  // the target exists
  EXPECT_EQ(ERRORCODE(), kErrAccessDenied);
  OPEN(&a_);
  REMOVE(&a_);  // an open file is not removed
  EXPECT_EQ(ERRORCODE(), kErrFileAlreadyOpen);
  CLOSE(&a_);
  std::remove(copy.c_str());
  RENAME(&a_, copy.c_str());
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(ReadAll(copy), Sample());
  b_.name = copy.c_str();
  REMOVE(&b_);
  EXPECT_EQ(ERRORCODE(), 0);
  std::ifstream gone(copy);
  EXPECT_FALSE(gone.good());
}

TEST_F(DosDriver, SharedAppendsAreSeenByTheOtherOpen) {
  CREATE(&a_);
  SHARE(&a_, 0x42);
  SHARE(&b_, 0x42);
  ASSERT_EQ(ERRORCODE(), 0);
  SETfile(&b_);
  EXPECT_EQ(EOFfile(&b_), 1);
  std::memset(record_a_, '1', kLen);
  ADD(&a_);
  std::memset(record_b_, '2', kLen);
  ADD(&b_);  // goes after the other open's record, not over it
  std::memset(record_a_, '3', kLen);
  ADD(&a_);
  EXPECT_EQ(RECORDSfile(&b_), 3);
  EXPECT_EQ(RECORDSfile(&a_), 3);
  SETfile(&b_);
  NEXT(&b_);
  EXPECT_EQ(record_b_[0], '1');
  NEXT(&b_);
  EXPECT_EQ(record_b_[0], '2');
  NEXT(&b_);
  EXPECT_EQ(record_b_[0], '3');
}

TEST_F(DosDriver, LockBlocksTheOtherOpenUntilUnlocked) {
  WriteAll(name_, Sample());
  SHARE(&a_, 0x42);
  SHARE(&b_, 0x42);
  LOCKfile(&a_);
  LOCKfile(&a_);  // silent second LOCK
  EXPECT_EQ(ERRORCODE(), 0);
  LOCKfilesec(&b_, 1);
  EXPECT_EQ(ERRORCODE(), 32);
  std::memset(record_a_, 'z', kLen);
  ADD(&a_);  // the holder's own writes nest inside its LOCK
  EXPECT_EQ(ERRORCODE(), 0);
  UNLOCK(&a_);
  EXPECT_EQ(ERRORCODE(), 0);
  UNLOCK(&a_);  // not locked any more: silent
  EXPECT_EQ(ERRORCODE(), 0);
  LOCKfilesec(&b_, 1);
  EXPECT_EQ(ERRORCODE(), 0);
  UNLOCK(&b_);
  std::memset(record_b_, 'w', kLen);
  ADD(&b_);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(RECORDSfile(&a_), 4);
}

TEST_F(DosDriver, OemTextIsConvertedOnTheWayOut) {
  a_.attributes = kFileOem;
  CREATE(&a_);
  OPEN(&a_, 0x22);
  std::memset(record_a_, ' ', kLen);
  record_a_[0] = static_cast<uint8_t>(0xE9);     // e acute in the Windows set
  std::memcpy(record_a_ + 10, "\xE9\0\0\0", 4);  // a LONG: never converted
  ADD(&a_);
  EXPECT_EQ(record_a_[0], 0xE9);  // the buffer itself is untouched
  CLOSE(&a_);
  std::string disk = ReadAll(name_);
  char oem = static_cast<char>(0xE9);
  OsAnsiToOem(&oem, &oem, 1);
  EXPECT_EQ(disk[0], oem);
  EXPECT_EQ(static_cast<uint8_t>(disk[10]), 0xE9);
  OPEN(&a_, 0x22);
  std::memset(record_a_, 0, kLen);
  GETfileptr(&a_, 1);
  EXPECT_EQ(record_a_[0], 0xE9);
}

TEST_F(DosDriver, UnlockedFileIsNotEmptiedUnderAnotherOpen) {
  WriteAll(name_, Sample());
  SHARE(&a_, 0x42);
  SHARE(&b_, 0x42);
  LOCKfile(&a_);
  UNLOCK(&a_);
  ASSERT_EQ(ERRORCODE(), 0);
  EMPTY(&a_);  // the lock is gone, and with it the exclusive right
  EXPECT_EQ(ERRORCODE(), kErrExclusiveRequired);
  EXPECT_EQ(RECORDSfile(&b_), 2);
  CLOSE(&a_);
  CLOSE(&b_);
  EXPECT_EQ(ReadAll(name_), Sample());
}

TEST_F(DosDriver, OemConversionTouchesEachByteOnce) {
  // A STRING declared OVER another STRING, and a GROUP of strings OVER a
  // third: the bytes belong to two text fields each.
  const FieldDescriptor fields[] = {
      {kTypeString, 0, 0, 0, "O:TEXT", 0, 8, nullptr, 0, nullptr, 0, 0},
      {kTypeString, 0, 0, 0, "O:ALIAS", 0, 8, nullptr, 0, nullptr, 1, 0},
      {kTypeString, 0, 0, 0, "O:PAIR", 8, 8, nullptr, 0, nullptr, 0, 0},
      {kTypeGroup, 0, 0, 0, "O:HALVES", 8, 8, nullptr, 0, nullptr, 3, 0},
      {kTypeString, 1, 0, 0, "O:LEFT", 8, 4, nullptr, 0, nullptr, 0, 0},
      {kTypeString, 1, 0, 0, "O:RIGHT", 12, 4, nullptr, 0, nullptr, 0, 0},
      {kTypeEnd, 0, 0, 0, nullptr, 0, 0, nullptr, 0, nullptr, 0, 0},
  };
  a_.fields = fields;
  a_.record_length = 16;
  a_.attributes = kFileOem;
  const std::string text = "\xE9t\xE9     \xE9l\xE8ve   ";  // "ete" and "eleve", accented
  ASSERT_EQ(text.size(), 16u);
  std::string oem = text;
  OsAnsiToOem(oem.data(), oem.data(), oem.size());  // converted once, by hand
  ASSERT_NE(oem, text);
  CREATE(&a_);
  OPEN(&a_, 0x22);
  std::memcpy(record_a_, text.data(), 16);
  ADD(&a_);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(ReadAll(name_), oem);
  std::memset(record_a_, 0, kLen);
  GETfileptr(&a_, 1);
  EXPECT_EQ(Record(record_a_, 16), text);
}

TEST_F(DosDriver, ZeroLengthRecordsEndTheScan) {
  WriteAll(name_, Sample());
  a_.record_length = 0;
  OPEN(&a_, 0x22);
  SETfile(&a_);
  int reads = 0;
  for (; reads < 300; ++reads) {
    NEXT(&a_);
    if (ERRORCODE() != 0) break;
  }
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
  EXPECT_EQ(reads, 0);
  PREVIOUS(&a_);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
  EXPECT_EQ(RECORDSfile(&a_), 0);
}

TEST_F(DosDriver, CopyNeverOverwritesItsTarget) {
  WriteAll(name_, Sample());
  std::string target = name_ + ".copy";
  WriteAll(target, "keep me");
  COPY(&a_, target.c_str());
  EXPECT_EQ(ERRORCODE(), kErrAccessDenied);
  EXPECT_EQ(ReadAll(target), "keep me");
  std::remove(target.c_str());
  COPY(&a_, target.c_str());
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(ReadAll(target), Sample());
  // Nothing but the two files is left in the folder.
  OsFindData found;
  uint32_t error = 0;
  OsFind find = OsFindFirst((target + "*").c_str(), &found, &error);
  int names = 0;
  for (bool more = find != nullptr; more; more = OsFindNext(find, &found)) ++names;
  OsFindClose(find);
  EXPECT_EQ(names, 1);
  std::remove(target.c_str());
}

TEST_F(DosDriver, WritersThatLetOthersWriteTakeTheLock) {
  // Deny read lets others write: a write-only deny-none open comes in beside
  // it, and both append.
  for (uint32_t mode : {0x32u, 0x31u, 0x02u}) {
    SCOPED_TRACE(mode);
    WriteAll(name_, "");
    OPEN(&a_, mode);
    ASSERT_EQ(ERRORCODE(), 0);
    OPEN(&b_, 0x41);
    ASSERT_EQ(ERRORCODE(), 0);
    std::memset(record_a_, '1', kLen);
    ADD(&a_);
    std::memset(record_b_, '2', kLen);
    ADD(&b_);
    std::memset(record_a_, '3', kLen);
    ADD(&a_);  // after the other open's record, not over it
    EXPECT_EQ(ERRORCODE(), 0);
    CLOSE(&a_);
    CLOSE(&b_);
    EXPECT_EQ(ReadAll(name_),
              std::string(kLen, '1') + std::string(kLen, '2') + std::string(kLen, '3'));
  }
}

TEST_F(DosDriver, TraceWritesLinesDeclarationAndRecords) {
  std::string log = name_ + ".log";
  std::remove(log.c_str());
  CREATE(&a_);
  OPEN(&a_, 0x22);
  a_.fcb->trace.on = true;
  a_.fcb->trace.details = true;
  a_.fcb->trace.file_name = log;
  ForgetDeclarationDumps();
  std::memset(record_a_, ' ', kLen);
  std::memcpy(record_a_, "hello", 5);
  ADD(&a_);
  NEXT(&a_);  // no SET: 33
  CLOSE(&a_);
  std::string text = ReadAll(log);
  std::string id = std::to_string(OsCurrentThreadId());
  size_t first_line = text.find("\r\n");
  EXPECT_EQ(text.substr(0, first_line), "F                 FILE,DRIVER(DOS),NAME('" + name_ + "')");
  EXPECT_NE(text.find("ADD(" + name_ + " " + id + ") Time Taken: "), std::string::npos);
  EXPECT_NE(text.find("  F:TEXT            :'hello     '\r\n  F:NUMBER          :538976288\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("NEXT(" + name_ + " " + id + ") Error: Record Not Available Time Taken: "),
            std::string::npos);
  EXPECT_NE(text.find("CLOSE(" + name_), std::string::npos);
  // The declaration is written once only.
  EXPECT_EQ(text.find("FILE,DRIVER", first_line), std::string::npos);
  std::remove(log.c_str());
}

TEST_F(DosDriver, ShutdownClosesOpenFiles) {
  WriteAll(name_, Sample());
  OPEN(&a_, 0x40);
  SHARE(&b_, 0x42);
  EXPECT_EQ(OpenFileCount(), 2u);
  CloseAllFiles();
  EXPECT_EQ(OpenFileCount(), 0u);
  EXPECT_EQ(a_.fcb, nullptr);
  OPEN(&a_, 0x12);  // deny all: nobody else has it open any more
  EXPECT_EQ(ERRORCODE(), 0);
}

}  // namespace
}  // namespace kor
