// Tests of RunProgram and ListDirectory: run codes and posted errors, the
// window-lock hooks around a wait, the attribute filter, the record layout
// and the even-second times of a listing.
#include "runtime/builtins/os_statements.h"

#include <gtest/gtest.h>

#include <string.h>

#include <set>
#include <string>

#include "runtime/builtins/error_functions.h"
#include "runtime/core/error_state.h"
#include "runtime/os/ascii.h"
#include "runtime/os/os.h"
#include "runtime/os/os_test_dir.h"
#include "runtime/values/string_stack.h"

namespace kor {
namespace {

using testing::Exists;
using testing::ScratchDir;
using testing::WaitFor;
using testing::WriteWholeFile;

std::string HelperPath() {
  std::string exe = OsExecutablePath();
  size_t cut = exe.find_last_of("/\\");
  std::string dir = cut == std::string::npos ? "." : exe.substr(0, cut);
#if defined(_WIN32)
  return dir + "\\..\\tests\\programs\\lockholder.exe";
#else
  return dir + "/../tests/programs/lockholder";
#endif
}

struct Entry {
  std::string name;  // trailing blanks removed
  int32_t date, time, size;
  uint8_t attrib;
};

int32_t LoadLong(const char* p) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(p[i]);
  return static_cast<int32_t>(v);
}

Entry Decode(const Queue& q, uint32_t position) {
  const char* r = static_cast<const char*>(q.Row(position));
  Entry e;
  e.name.assign(r + kDirNameOffset, kDirNameSize);
  e.name.resize(TrimTrailingBlanks(e.name).size());
  e.date = LoadLong(r + kDirDateOffset);
  e.time = LoadLong(r + kDirTimeOffset);
  e.size = LoadLong(r + kDirSizeOffset);
  e.attrib = static_cast<uint8_t>(r[kDirAttribOffset]);
  return e;
}

std::set<std::string> List(Queue* q, const std::string& pattern, uint32_t filter) {
  q->Free();
  PushCopy(pattern + "   ");  // trailing blanks are removed
  ListDirectory(q, filter);
  EXPECT_EQ(ERRORCODE(), 0);
  // Upper case: a short name may be the upper-case form of the name.
  std::set<std::string> names;
  for (uint32_t i = 1; i <= q->Records(); ++i) {
    names.insert(AsciiUpperText(Decode(*q, i).name));
  }
  return names;
}

TEST(ListDirectory, FilterSelectsDirectoriesAndHiddenFiles) {
  ScratchDir dir;
  ASSERT_TRUE(WriteWholeFile(dir.Path("a.txt"), "12345"));
  ASSERT_TRUE(WriteWholeFile(dir.Path("B.TXT"), ""));
  ASSERT_TRUE(WriteWholeFile(dir.Path(".hid"), ""));
  ASSERT_EQ(OsSetAttributes(dir.Path(".hid").c_str(), kOsAttrHidden), kOsOk);
  ASSERT_EQ(OsMakeDirectory(dir.Path("sub").c_str()), kOsOk);
  Queue q(kDirEntrySize);

  std::set<std::string> plain = List(&q, dir.Path("*"), 0);
  EXPECT_EQ(plain, (std::set<std::string>{"A.TXT", "B.TXT"}));
  std::set<std::string> with_dirs = List(&q, dir.Path("*"), kOsAttrDirectory);
  EXPECT_TRUE(with_dirs.count("SUB"));
  EXPECT_FALSE(with_dirs.count(".HID"));
  EXPECT_EQ(with_dirs.size() - plain.size(), with_dirs.count(".") + with_dirs.count("..") + 1);
  std::set<std::string> with_hidden = List(&q, dir.Path("*"), kOsAttrHidden);
  EXPECT_EQ(with_hidden.size(), plain.size() + 1);
  EXPECT_FALSE(with_hidden.count("SUB"));
  // A hidden directory would need both bits; letter case of the pattern is ignored.
  EXPECT_EQ(List(&q, dir.Path("*.TxT"), 0).size(), 2u);
  EXPECT_EQ(List(&q, dir.Path("?.txt"), 0).size(), 2u);
}

TEST(ListDirectory, RecordFieldsAndTheEvenSecondTime) {
  ScratchDir dir;
  std::string name = dir.Path("when.txt");
  ASSERT_TRUE(WriteWholeFile(name, "0123456789"));
  OsHandle h;
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadWrite | kOsDenyNone, &h), kOsOk);
  // Written at 10:15:33 on 3 February 2001.
  const uint16_t date = ((2001 - 1980) << 9) | (2 << 5) | 3;
  const uint16_t time = (10 << 11) | (15 << 5) | (33 / 2);
  ASSERT_EQ(OsSetFileTime(h, date, time), kOsOk);
  OsClose(h);
  Queue q(kDirEntrySize);
  PushCopy(name);
  ListDirectory(&q, 0);
  ASSERT_EQ(q.Records(), 1u);
  Entry e = Decode(q, 1);
  EXPECT_TRUE(e.name == "when.txt" || e.name == "WHEN.TXT") << e.name;
  EXPECT_EQ(e.size, 10);
  EXPECT_EQ(e.attrib & (kOsAttrDirectory | kOsAttrHidden | kOsAttrReadOnly), 0);
  EXPECT_EQ(e.time, TimeFromPackedTime(time));
  EXPECT_EQ(e.time, (10 * 3600 + 15 * 60 + 32) * 100 + 1);  // 10:15:32
  EXPECT_EQ(e.date, DayCountFromPackedDate(date));
}

TEST(ListDirectory, PackedDateAndTimeConversions) {
  // Day 4 is 1 January 1801; 1 January 1980 (packed 0x21) is 65382.
  EXPECT_EQ(DayCountFromPackedDate((0 << 9) | (1 << 5) | 1), 65382);
  EXPECT_EQ(DayCountFromPackedDate((21 << 9) | (2 << 5) | 3), 73086);
  // Across the leap day of 2000 and the end of a year.
  EXPECT_EQ(DayCountFromPackedDate((20 << 9) | (3 << 5) | 1) -
                DayCountFromPackedDate((20 << 9) | (2 << 5) | 28),
            2);
  EXPECT_EQ(DayCountFromPackedDate((21 << 9) | (1 << 5) | 1) -
                DayCountFromPackedDate((20 << 9) | (12 << 5) | 31),
            1);
  // 2100 is a common year: 28 February and 1 March are neighbours
  // (1 March 2100 is day 109271).
  EXPECT_EQ(DayCountFromPackedDate((120 << 9) | (3 << 5) | 1), 109271);
  EXPECT_EQ(DayCountFromPackedDate((120 << 9) | (2 << 5) | 28), 109270);
  EXPECT_EQ(DayCountFromPackedDate(0), 0);
  EXPECT_EQ(TimeFromPackedTime(0), 1);  // midnight
  EXPECT_EQ(TimeFromPackedTime((23 << 11) | (59 << 5) | 29), 8639801);
}

TEST(ListDirectory, NoMatchLeavesTheTableAndNamesAreCut) {
  ScratchDir dir;
  Queue q(kDirEntrySize);
  char row[kDirEntrySize] = "existing row";
  ASSERT_TRUE(q.Append(row));
  PushCopy(dir.Path("*.none"));
  ListDirectory(&q, 0);
  EXPECT_EQ(q.Records(), 1u);
  PushCopy(dir.Path("nodir/*"));
  ListDirectory(&q, 0);
  EXPECT_EQ(q.Records(), 1u);
  ASSERT_TRUE(WriteWholeFile(dir.Path("averyverylongname.text"), ""));
  q.Free();
  PushCopy(dir.Path("*.text"));
  ListDirectory(&q, 0);
  ASSERT_EQ(q.Records(), 1u);
  std::string got = Decode(q, 1).name;
  // The short name where the system keeps one, else the name cut to 13.
  EXPECT_TRUE(got == "averyverylong" || got.find('~') != std::string::npos) << got;
  // A table of another layout gets nothing.
  Queue wrong(10);
  PushCopy(dir.Path("*"));
  ListDirectory(&wrong, 0);
  EXPECT_EQ(ERRORCODE(), 47);
  EXPECT_EQ(wrong.Records(), 0u);
}

int g_released = 0, g_taken = 0;
void ReleaseLock() { ++g_released; }
void TakeLock() {
  EXPECT_EQ(g_released, g_taken + 1);
  ++g_taken;
}

TEST(RunProgram, WaitingRunsTheProgramToItsEndWithTheLockReleased) {
  ScratchDir dir;
  std::string data = dir.Path("data.bin"), ready = dir.Path("ready.txt");
  std::string release = dir.Path("release.txt");
  ASSERT_TRUE(WriteWholeFile(data, ""));
  ASSERT_TRUE(WriteWholeFile(release, ""));  // the helper ends right after its report
  SetWindowLockHooks(ReleaseLock, TakeLock);
  PushCopy("\"" + HelperPath() + "\" " + data + " 0x42 0 0 " + ready + " " + release + "  ");
  RunProgram(1);
  SetWindowLockHooks(nullptr, nullptr);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(RunCode(), 0);
  EXPECT_EQ(g_released, 1);
  EXPECT_EQ(g_taken, 1);
  // Its report and its deletion of the release file are done when RunProgram returns.
  EXPECT_TRUE(Exists(ready));
  EXPECT_FALSE(Exists(release));
}

TEST(RunProgram, MissingProgramPostsFileNotFound) {
  for (int32_t wait : {1, 0}) {
    PushCopy("no_such_program_here_4711.exe");
    RunProgram(wait);
    EXPECT_EQ(RunCode(), -4) << wait;
    EXPECT_EQ(ERRORCODE(), 2) << wait;
    ERROR();
    EXPECT_EQ(PopToStdString().substr(0, 14), "File Not Found");
  }
  // A later successful start resets the run code.
  ScratchDir dir;
  std::string data = dir.Path("data.bin"), ready = dir.Path("ready.txt");
  std::string release = dir.Path("release.txt");
  ASSERT_TRUE(WriteWholeFile(data, ""));
  PushCopy("\"" + HelperPath() + "\" " + data + " 0x40 0 0 " + ready + " " + release);
  RunProgram(0);
  EXPECT_EQ(RunCode(), 0);
  EXPECT_EQ(ERRORCODE(), 0);
  // Not waited for: it reports on its own and ends when released.
  EXPECT_TRUE(WaitFor([&] { return Exists(ready); }));
  ASSERT_TRUE(WriteWholeFile(release, ""));
  EXPECT_TRUE(WaitFor([&] { return !Exists(release); }));
}

}  // namespace
}  // namespace kor
