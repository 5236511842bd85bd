// Tests of the file services within one process: reading and writing, error
// numbers and their translations, share modes between handles, byte-range
// locks, truncation, attributes and the packed file times.
#include <gtest/gtest.h>

#include <string>

#include "runtime/os/os.h"
#include "runtime/os/os_test_dir.h"

namespace kor {
namespace {

using testing::ReadWholeFile;
using testing::ScratchDir;
using testing::WriteWholeFile;

TEST(OsFiles, CreateWriteSeekReadSizeClose) {
  ScratchDir dir;
  std::string name = dir.Path("data.bin");
  OsHandle h;
  ASSERT_EQ(OsCreate(name.c_str(), kOsCreateNormal, &h), kOsOk);
  EXPECT_EQ(OsLastError(), 0u);
  uint32_t done = 0;
  ASSERT_EQ(OsWrite(h, "hello, world", 12, &done), kOsOk);
  EXPECT_EQ(done, 12u);
  int64_t pos = -1, size = -1;
  ASSERT_EQ(OsSeek(h, 7, kOsSeekBegin, &pos), kOsOk);
  EXPECT_EQ(pos, 7);
  char buf[16] = {};
  ASSERT_EQ(OsRead(h, buf, sizeof buf, &done), kOsOk);
  EXPECT_EQ(std::string(buf, done), "world");
  // At the end a read moves nothing and succeeds.
  ASSERT_EQ(OsRead(h, buf, sizeof buf, &done), kOsOk);
  EXPECT_EQ(done, 0u);
  ASSERT_EQ(OsSeek(h, -5, kOsSeekEnd, &pos), kOsOk);
  EXPECT_EQ(pos, 7);
  ASSERT_EQ(OsSeek(h, 2, kOsSeekCurrent, &pos), kOsOk);
  EXPECT_EQ(pos, 9);
  ASSERT_EQ(OsSize(h, &size), kOsOk);
  EXPECT_EQ(size, 12);
  EXPECT_EQ(OsFlush(h), kOsOk);
  EXPECT_EQ(OsClose(h), kOsOk);
  EXPECT_EQ(ReadWholeFile(name), "hello, world");
}

// Reads and writes at an offset: past the end a write grows the file (the
// gap reads as zeros) and a read comes short or empty; a negative offset is
// 131; the handle's access mode holds as for the plain forms.
TEST(OsFiles, ReadAndWriteAtAnOffset) {
  ScratchDir dir;
  std::string name = dir.Path("data.bin");
  ASSERT_TRUE(WriteWholeFile(name, "0123456789"));
  OsHandle h;
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadWrite | kOsDenyNone, &h), kOsOk);
  uint32_t done = 99;
  ASSERT_EQ(OsWriteAt(h, 3, "abc", 3, &done), kOsOk);
  EXPECT_EQ(done, 3u);
  ASSERT_EQ(OsWriteAt(h, 12, "Z", 1, &done), kOsOk);
  const struct {
    int64_t offset;
    uint32_t count;
    std::string read;
  } reads[] = {
      {0, 4, "012a"}, {5, 3, "c67"}, {9, 5, std::string("9\0\0Z", 4)}, {13, 4, ""}, {100, 1, ""}};
  for (const auto& r : reads) {
    char buf[8] = {};
    ASSERT_EQ(OsReadAt(h, r.offset, buf, r.count, &done), kOsOk) << r.offset;
    EXPECT_EQ(std::string(buf, done), r.read) << r.offset;
  }
  char buf[4];
  done = 99;
  EXPECT_EQ(OsReadAt(h, -1, buf, 1, &done), kOsNegativeSeek);
  EXPECT_EQ(done, 0u);
  EXPECT_EQ(OsWriteAt(h, -1, "x", 1, &done), kOsNegativeSeek);
  OsClose(h);
  EXPECT_EQ(ReadWholeFile(name), std::string("012abc6789\0\0Z", 13));
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadOnly | kOsDenyNone, &h), kOsOk);
  EXPECT_EQ(OsWriteAt(h, 0, "x", 1, &done), kOsAccessDenied);
  OsClose(h);
  ASSERT_EQ(OsOpen(name.c_str(), kOsWriteOnly | kOsDenyNone, &h), kOsOk);
  EXPECT_EQ(OsReadAt(h, 0, buf, 1, &done), kOsAccessDenied);
  OsClose(h);
}

TEST(OsFiles, CreateEmptiesAnExistingFile) {
  ScratchDir dir;
  std::string name = dir.Path("data.bin");
  ASSERT_TRUE(WriteWholeFile(name, "old contents"));
  OsHandle h;
  ASSERT_EQ(OsCreate(name.c_str(), kOsCreateNormal, &h), kOsOk);
  int64_t size = -1;
  EXPECT_EQ(OsSize(h, &size), kOsOk);
  EXPECT_EQ(size, 0);
  OsClose(h);
}

// Open-always makes a missing file empty and keeps an existing one whole,
// with the sharing of its mode either way.
TEST(OsFiles, OpenAlwaysCreatesOnlyWhatIsMissing) {
  ScratchDir dir;
  std::string name = dir.Path("control.tcf");
  OsHandle h, other;
  ASSERT_EQ(OsOpenAlways(name.c_str(), kOsReadWrite | kOsDenyAll, &h), kOsOk);
  int64_t size = -1;
  EXPECT_EQ(OsSize(h, &size), kOsOk);
  EXPECT_EQ(size, 0);
  EXPECT_EQ(OsOpenAlways(name.c_str(), kOsReadWrite | kOsDenyNone, &other), kOsAccessDenied);
  uint32_t done = 0;
  ASSERT_EQ(OsWrite(h, "kept", 4, &done), kOsOk);
  OsClose(h);
  ASSERT_EQ(OsOpenAlways(name.c_str(), kOsReadWrite | kOsDenyNone, &h), kOsOk);
  EXPECT_EQ(OsSize(h, &size), kOsOk);
  EXPECT_EQ(size, 4);
  OsClose(h);
  EXPECT_EQ(ReadWholeFile(name), "kept");
}

// The full path of a name: absolute, with "." and ".." resolved, the same
// for the spellings of one file.
TEST(OsFiles, FullPathNames) {
  ScratchDir dir;
  std::string plain = OsFullPathName(dir.Path("a.vel").c_str());
  EXPECT_EQ(OsFullPathName(dir.Path("./x/../a.vel").c_str()), plain);
  EXPECT_NE(plain.find("a.vel"), std::string::npos);
  bool absolute = !plain.empty() && (plain[0] == '/' || (plain.size() > 2 && plain[1] == ':'));
  EXPECT_TRUE(absolute) << plain;
}

// Whether two spellings name one file, against the file system itself: a
// spelling in other letter case names the file exactly when opening it finds
// the file's contents.
TEST(OsFiles, SamePathNameFollowsTheFileSystem) {
  ScratchDir dir;
  std::string lower = OsFullPathName(dir.Path("apps.vel").c_str());
  ASSERT_TRUE(WriteWholeFile(lower, "mine"));
  std::string upper = lower.substr(0, lower.size() - 8) + "APPS.VEL";
  bool system_ignores_case = ReadWholeFile(upper) == "mine";
  struct Case {
    std::string other;
    bool same;
  };
  for (const Case& c : {Case{lower, true}, Case{upper, system_ignores_case},
                        Case{OsFullPathName(dir.Path("apps.ve").c_str()), false},
                        Case{OsFullPathName(dir.Path("apps.vel2").c_str()), false}}) {
    EXPECT_EQ(OsSamePathName(lower, c.other), c.same) << c.other;
    EXPECT_EQ(OsSamePathName(c.other, lower), c.same) << c.other;
  }
}

TEST(OsFiles, AccessModesAreEnforced) {
  ScratchDir dir;
  std::string name = dir.Path("data.bin");
  ASSERT_TRUE(WriteWholeFile(name, "abcdef"));
  uint32_t done = 0;
  char buf[8];
  // Read only (and 3, taken as read only): writing and truncating are refused.
  for (uint32_t mode : {kOsReadOnly | kOsDenyNone, 3u | kOsDenyNone}) {
    OsHandle h;
    ASSERT_EQ(OsOpen(name.c_str(), mode, &h), kOsOk) << mode;
    EXPECT_EQ(OsWrite(h, "x", 1, &done), kOsAccessDenied) << mode;
    EXPECT_EQ(OsTruncate(h), kOsAccessDenied) << mode;
    EXPECT_EQ(OsRead(h, buf, 3, &done), kOsOk) << mode;
    EXPECT_EQ(std::string(buf, done), "abc");
    OsClose(h);
  }
  OsHandle h;
  ASSERT_EQ(OsOpen(name.c_str(), kOsWriteOnly | kOsDenyNone, &h), kOsOk);
  EXPECT_EQ(OsRead(h, buf, 3, &done), kOsAccessDenied);
  EXPECT_EQ(OsWrite(h, "XY", 2, &done), kOsOk);
  OsClose(h);
  EXPECT_EQ(ReadWholeFile(name), "XYcdef");
}

TEST(OsFiles, ReadOnlyCreateGivesAReadHandle) {
  ScratchDir dir;
  std::string name = dir.Path("ro.bin");
  OsHandle h;
  ASSERT_EQ(OsCreate(name.c_str(), kOsCreateReadOnly, &h), kOsOk);
  uint32_t done = 0;
  EXPECT_EQ(OsWrite(h, "x", 1, &done), kOsAccessDenied);
  OsClose(h);
  uint8_t attributes = 0;
  ASSERT_EQ(OsAttributes(name.c_str(), &attributes), kOsOk);
  EXPECT_TRUE(attributes & kOsAttrReadOnly);
  EXPECT_EQ(OsOpen(name.c_str(), kOsReadWrite | kOsDenyNone, &h), kOsAccessDenied);
  // A read-only file is not deleted until the attribute is cleared.
  EXPECT_EQ(OsDelete(name.c_str()), kOsAccessDenied);
  ASSERT_EQ(OsSetAttributes(name.c_str(), 0), kOsOk);
  ASSERT_EQ(OsAttributes(name.c_str(), &attributes), kOsOk);
  EXPECT_FALSE(attributes & kOsAttrReadOnly);
  EXPECT_EQ(OsDelete(name.c_str()), kOsOk);
}

TEST(OsFiles, ErrorNumbers) {
  ScratchDir dir;
  OsHandle h = 12345;
  EXPECT_EQ(OsOpen(dir.Path("missing.bin").c_str(), kOsReadOnly, &h), kOsFileNotFound);
  EXPECT_EQ(h, kOsNoHandle);
  EXPECT_EQ(OsLastError(), kOsFileNotFound);
  EXPECT_EQ(OsOpen(dir.Path("nodir/missing.bin").c_str(), kOsReadOnly, &h), kOsPathNotFound);
  EXPECT_EQ(OsCreate(dir.Path("nodir/new.bin").c_str(), kOsCreateNormal, &h), kOsPathNotFound);
  EXPECT_EQ(OsOpen("", kOsReadOnly, &h), kOsFileNotFound);
  EXPECT_EQ(OsDelete(dir.Path("missing.bin").c_str()), kOsFileNotFound);
  uint8_t attributes;
  EXPECT_EQ(OsAttributes(dir.Path("missing.bin").c_str(), &attributes), kOsFileNotFound);
  // A directory is not a file to open.
  EXPECT_EQ(OsOpen(dir.dir().c_str(), kOsReadOnly, &h), kOsAccessDenied);
  uint32_t done;
  int64_t pos;
  EXPECT_EQ(OsRead(kOsNoHandle, &attributes, 1, &done), kOsInvalidHandle);
  EXPECT_EQ(OsClose(kOsNoHandle), kOsInvalidHandle);

  std::string name = dir.Path("data.bin");
  ASSERT_TRUE(WriteWholeFile(name, "abc"));
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadWrite, &h), kOsOk);
  EXPECT_EQ(OsSeek(h, -10, kOsSeekBegin, &pos), kOsNegativeSeek);
  EXPECT_EQ(OsSeek(h, 0, 7, &pos), kOsInvalidParameter);
  // After a success the last error is clear again.
  EXPECT_EQ(OsSeek(h, 1, kOsSeekBegin, &pos), kOsOk);
  EXPECT_EQ(OsLastError(), 0u);
  OsClose(h);
}

TEST(OsFiles, TranslationsOfSystemErrors) {
  EXPECT_EQ(OsTranslateError(kOsSharingViolation), kOsAccessDenied);
  EXPECT_EQ(OsTranslateError(kOsBadPathName), kOsPathNotFound);
  EXPECT_EQ(OsTranslateError(kOsLockViolation), kOsLockViolation);
  EXPECT_EQ(OsTranslateError(kOsFileNotFound), kOsFileNotFound);
}

TEST(OsFiles, DeleteAndRename) {
  ScratchDir dir;
  std::string a = dir.Path("a.txt"), b = dir.Path("b.txt"), c = dir.Path("c.txt");
  ASSERT_TRUE(WriteWholeFile(a, "first"));
  ASSERT_TRUE(WriteWholeFile(b, "second"));
  // Renaming onto an existing name fails and loses nothing.
  EXPECT_EQ(OsRename(a.c_str(), b.c_str()), kOsAlreadyExists);
  EXPECT_EQ(ReadWholeFile(a), "first");
  EXPECT_EQ(ReadWholeFile(b), "second");
  EXPECT_EQ(OsRename(a.c_str(), c.c_str()), kOsOk);
  EXPECT_EQ(ReadWholeFile(c), "first");
  EXPECT_EQ(OsRename(a.c_str(), c.c_str()), kOsFileNotFound);
  EXPECT_EQ(OsRename(c.c_str(), dir.Path("nodir/c.txt").c_str()), kOsPathNotFound);
  EXPECT_EQ(OsDelete(c.c_str()), kOsOk);
  EXPECT_EQ(OsDelete(c.c_str()), kOsFileNotFound);
  EXPECT_EQ(OsDelete(dir.dir().c_str()), kOsAccessDenied);
}

TEST(OsFiles, NamesOutsideAsciiArePassedUnchanged) {
  ScratchDir dir;
  std::string a = dir.Path("caf\xE9.txt"), b = dir.Path("na\xEFve.txt");
  ASSERT_TRUE(WriteWholeFile(a, "x"));
  ASSERT_EQ(OsRename(a.c_str(), b.c_str()), kOsOk);
  uint8_t attributes;
  EXPECT_EQ(OsAttributes(b.c_str(), &attributes), kOsOk);
  EXPECT_EQ(ReadWholeFile(b), "x");
}

// Second open of a file held by a first open in the same process.
struct ShareCase {
  uint32_t first, second, expected;
};

TEST(OsFiles, ShareModesBetweenHandles) {
  ScratchDir dir;
  std::string name = dir.Path("shared.bin");
  ASSERT_TRUE(WriteWholeFile(name, "data"));
  const ShareCase cases[] = {
      {kOsReadWrite | kOsDenyAll, kOsReadOnly | kOsDenyNone, kOsAccessDenied},
      {kOsReadOnly | kOsDenyAll, kOsReadOnly | kOsDenyNone, kOsAccessDenied},
      {kOsReadWrite | kOsDenyWrite, kOsReadOnly | kOsDenyNone, kOsOk},
      {kOsReadWrite | kOsDenyWrite, kOsReadWrite | kOsDenyNone, kOsAccessDenied},
      {kOsReadOnly | kOsDenyRead, kOsWriteOnly | kOsDenyNone, kOsOk},
      {kOsReadOnly | kOsDenyRead, kOsReadOnly | kOsDenyNone, kOsAccessDenied},
      {kOsReadWrite | kOsDenyNone, kOsReadOnly | kOsDenyWrite, kOsAccessDenied},
      {kOsReadOnly | kOsDenyNone, kOsReadOnly | kOsDenyWrite, kOsOk},
      {kOsReadWrite | kOsShareCompat, kOsReadWrite | kOsShareCompat, kOsOk},
      {kOsReadWrite | 0x40, kOsReadWrite | 0x40, kOsOk},
      {kOsReadOnly | 0x50, kOsReadOnly | kOsDenyNone, kOsAccessDenied},
      {kOsReadOnly | kOsDenyNone, kOsReadOnly | 0x70, kOsAccessDenied},
  };
  for (const ShareCase& c : cases) {
    OsHandle h1, h2 = kOsNoHandle;
    ASSERT_EQ(OsOpen(name.c_str(), c.first, &h1), kOsOk) << std::hex << c.first;
    EXPECT_EQ(OsOpen(name.c_str(), c.second, &h2), c.expected)
        << std::hex << c.first << " then " << c.second;
    if (c.expected == kOsAccessDenied) {
      // The system's own number stays readable, for PostError(0) to make
      // 332 of it.
      EXPECT_EQ(OsLastError(), kOsSharingViolation);
    } else {
      OsClose(h2);
    }
    OsClose(h1);
  }
  // Mode 0x42: read and write access with full sharing, from two handles.
  OsHandle h1, h2;
  ASSERT_EQ(OsOpen(name.c_str(), 0x42, &h1), kOsOk);
  ASSERT_EQ(OsOpen(name.c_str(), 0x42, &h2), kOsOk);
  uint32_t done;
  EXPECT_EQ(OsWrite(h1, "AB", 2, &done), kOsOk);
  OsFlush(h1);
  char buf[4];
  EXPECT_EQ(OsRead(h2, buf, 4, &done), kOsOk);
  EXPECT_EQ(std::string(buf, done), "ABta");
  OsClose(h1);
  OsClose(h2);
}

TEST(OsFiles, OpenFilesCannotBeCreatedDeletedOrRenamed) {
  ScratchDir dir;
  std::string name = dir.Path("busy.bin");
  ASSERT_TRUE(WriteWholeFile(name, "keep me"));
  OsHandle h, h2;
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadOnly | kOsDenyNone, &h), kOsOk);
  EXPECT_EQ(OsCreate(name.c_str(), kOsCreateNormal, &h2), kOsAccessDenied);
  EXPECT_EQ(OsDelete(name.c_str()), kOsAccessDenied);
  EXPECT_EQ(OsRename(name.c_str(), dir.Path("moved.bin").c_str()), kOsAccessDenied);
  OsClose(h);
  EXPECT_EQ(ReadWholeFile(name), "keep me");
  // A created file shares nothing until it is closed.
  ASSERT_EQ(OsCreate(name.c_str(), kOsCreateNormal, &h), kOsOk);
  EXPECT_EQ(OsOpen(name.c_str(), kOsReadOnly | kOsDenyNone, &h2), kOsAccessDenied);
  OsClose(h);
  EXPECT_EQ(OsDelete(name.c_str()), kOsOk);
}

TEST(OsFiles, ByteRangeLocks) {
  ScratchDir dir;
  std::string name = dir.Path("locks.bin");
  ASSERT_TRUE(WriteWholeFile(name, ""));
  OsHandle h1, h2, h3;
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadWrite | kOsDenyNone, &h1), kOsOk);
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadWrite | kOsDenyNone, &h2), kOsOk);
  const uint64_t kBase = 0x80000000u;
  // Far beyond the end of an empty file.
  EXPECT_EQ(OsLock(h1, kBase + 1024 + 7, 1), kOsOk);
  EXPECT_EQ(OsLock(h2, kBase + 1024 + 7, 1), kOsLockViolation);
  EXPECT_EQ(OsLock(h2, kBase + 1024 + 8, 1), kOsOk);
  // The same handle may not lock a range it already holds.
  EXPECT_EQ(OsLock(h1, kBase + 1024 + 7, 1), kOsLockViolation);
  // A writer takes all the reader slots at once; one held slot stops it.
  EXPECT_EQ(OsLock(h1, kBase + 3, 1), kOsOk);
  EXPECT_EQ(OsLock(h2, kBase, 1023), kOsLockViolation);
  EXPECT_EQ(OsUnlock(h1, kBase + 3, 1), kOsOk);
  EXPECT_EQ(OsLock(h2, kBase, 1023), kOsOk);
  EXPECT_EQ(OsUnlock(h2, kBase, 1023), kOsOk);
  // Closing another open of the file leaves h1's lock in place.
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadOnly | kOsDenyNone, &h3), kOsOk);
  EXPECT_EQ(OsClose(h3), kOsOk);
  EXPECT_EQ(OsLock(h2, kBase + 1024 + 7, 1), kOsLockViolation);
  // Unlocking needs the exact range.
  EXPECT_EQ(OsUnlock(h1, kBase + 1024 + 6, 2), kOsNotLocked);
  EXPECT_EQ(OsUnlock(h2, kBase + 1024 + 7, 1), kOsNotLocked);
  EXPECT_EQ(OsUnlock(h1, kBase + 1024 + 7, 1), kOsOk);
  EXPECT_EQ(OsLock(h2, kBase + 1024 + 7, 1), kOsOk);
  // Bad ranges.
  EXPECT_EQ(OsLock(h1, 0, 0), kOsInvalidParameter);
  EXPECT_EQ(OsLock(h1, kOsShareLockBase - 1, 2), kOsInvalidParameter);
  // Closing a handle drops its locks.
  EXPECT_EQ(OsClose(h2), kOsOk);
  EXPECT_EQ(OsLock(h1, kBase + 1024 + 7, 1), kOsOk);
  EXPECT_EQ(OsLock(h1, kBase + 1024 + 8, 1), kOsOk);
  OsClose(h1);
}

TEST(OsFiles, TruncateAtTheCurrentPosition) {
  ScratchDir dir;
  std::string name = dir.Path("cut.bin");
  ASSERT_TRUE(WriteWholeFile(name, "0123456789"));
  OsHandle h;
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadWrite | kOsDenyAll, &h), kOsOk);
  int64_t size = 0;
  ASSERT_EQ(OsSeek(h, 4, kOsSeekBegin, nullptr), kOsOk);
  EXPECT_EQ(OsTruncate(h), kOsOk);
  EXPECT_EQ(OsSize(h, &size), kOsOk);
  EXPECT_EQ(size, 4);
  // Truncating beyond the end extends the file.
  ASSERT_EQ(OsSeek(h, 6, kOsSeekBegin, nullptr), kOsOk);
  EXPECT_EQ(OsTruncate(h), kOsOk);
  EXPECT_EQ(OsSize(h, &size), kOsOk);
  EXPECT_EQ(size, 6);
  OsClose(h);
  EXPECT_EQ(ReadWholeFile(name), std::string("0123\0\0", 6));
}

TEST(OsFiles, AttributesOfFilesAndDirectories) {
  ScratchDir dir;
  std::string name = dir.Path("plain.txt");
  ASSERT_TRUE(WriteWholeFile(name, "x"));
  uint8_t attributes = 0xFF;
  ASSERT_EQ(OsAttributes(name.c_str(), &attributes), kOsOk);
  EXPECT_EQ(attributes & (kOsAttrDirectory | kOsAttrReadOnly | kOsAttrHidden), 0);
  ASSERT_EQ(OsAttributes(dir.dir().c_str(), &attributes), kOsOk);
  EXPECT_TRUE(attributes & kOsAttrDirectory);
  EXPECT_EQ(attributes & 0x80, 0);
  EXPECT_EQ(OsMakeDirectory(dir.dir().c_str()), kOsAlreadyExists);
}

uint16_t PackDate(int year, int month, int day) {
  return static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
}
uint16_t PackTime(int h, int m, int s) {
  return static_cast<uint16_t>((h << 11) | (m << 5) | (s / 2));
}

TEST(OsFiles, PackedFileTimes) {
  ScratchDir dir;
  std::string name = dir.Path("when.txt");
  ASSERT_TRUE(WriteWholeFile(name, "x"));
  OsHandle h;
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadWrite | kOsDenyNone, &h), kOsOk);
  // A time of 10:15:33 is kept in two-second units: 10:15:32.
  const uint16_t date = PackDate(2001, 2, 3), time = PackTime(10, 15, 33);
  EXPECT_EQ(time & 31, 16);
  ASSERT_EQ(OsSetFileTime(h, date, time), kOsOk);
  uint16_t d = 0, t = 0;
  ASSERT_EQ(OsGetFileTime(h, &d, &t), kOsOk);
  EXPECT_EQ(d, date);
  EXPECT_EQ(t, time);
  // Leap day and the last second that fits.
  ASSERT_EQ(OsSetFileTime(h, PackDate(2024, 2, 29), PackTime(23, 59, 58)), kOsOk);
  ASSERT_EQ(OsGetFileTime(h, &d, &t), kOsOk);
  EXPECT_EQ(d, PackDate(2024, 2, 29));
  EXPECT_EQ(t, PackTime(23, 59, 58));
  EXPECT_EQ(OsSetFileTime(h, PackDate(2001, 13, 3), time), kOsInvalidParameter);
  EXPECT_EQ(OsSetFileTime(h, date, PackTime(24, 0, 0)), kOsInvalidParameter);
  OsClose(h);
  // The time survives closing and reopening read-only.
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadOnly | kOsDenyNone, &h), kOsOk);
  ASSERT_EQ(OsGetFileTime(h, &d, &t), kOsOk);
  EXPECT_EQ(d, PackDate(2024, 2, 29));
  EXPECT_EQ(OsSetFileTime(h, date, time), kOsAccessDenied);
  OsClose(h);
}

}  // namespace
}  // namespace kor
