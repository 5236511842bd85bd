// Environment files end to end: every KOR key, escapes, lists, OEM mode, the
// error of an unreadable file, the file beside the program, and the INI reader.
#include "runtime/locale/environment.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "runtime/core/error_state.h"
#include "runtime/locale/collation.h"
#include "runtime/locale/locale.h"
#include "runtime/os/os.h"

namespace kor {
namespace {

class EnvironmentTest : public testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override {
    for (const std::string& f : files_) std::remove(f.c_str());
    Clean();
  }
  static void Clean() {
    ResetEnvironmentForTesting();
    InitErrorState(1);  // drops the message overrides
    InitErrorState(0);
  }
  // Writes a file (binary) and remembers to remove it.
  // Each test has its own file names: ctest runs tests side by side.
  std::string Write(const std::string& name, const std::string& content) {
    std::string path = testing::TempDir() +
                       testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + name;
    std::ofstream(path, std::ios::binary) << content;
    files_.push_back(path);
    return path;
  }
  std::string Apply(const std::string& content) {
    std::string path = Write("env_test.env", content);
    ApplyEnvironmentFile(path.c_str());
    return path;
  }
  static int Cmp(const char* a, const char* b) {
    return CollateCompare(a, std::char_traits<char>::length(a), b,
                          std::char_traits<char>::length(b));
  }
  std::vector<std::string> files_;
};

TEST_F(EnvironmentTest, MissingOrEmptyName) {
  ApplyEnvironmentFile((testing::TempDir() + "no_such_file.env").c_str());
  EXPECT_EQ(ERRORCODE(), 2);
  EXPECT_EQ(std::string(CurrentErrorState().text, 14), "File Not Found");
  EXPECT_STREQ(LongMonthName(1), "January");
  ApplyEnvironmentFile("");
  EXPECT_EQ(ERRORCODE(), 0);  // cleared, nothing done
  ApplyEnvironmentFile(nullptr);
  EXPECT_EQ(ERRORCODE(), 0);
}

#if !defined(_WIN32)
TEST_F(EnvironmentTest, UnreadableFileIsError2) {
  ApplyEnvironmentFile(testing::TempDir().c_str());  // a directory opens but does not read
  EXPECT_EQ(ERRORCODE(), 2);
}
#endif

TEST_F(EnvironmentTest, MonthsMarksAndFlags) {
  Apply(
      "KORMONTH=Januar,Februar,M\xE4rz\r\n"
      "kormon=Jan.,Feb.,M\xE4r\r\n"
      "KORAMPM=vorm.,nachm.\r\n"
      "KORLFN=ON\r\n");
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_STREQ(LongMonthName(1), "Januar");
  EXPECT_STREQ(LongMonthName(3), "M\xE4rz");
  EXPECT_STREQ(LongMonthName(4), "April");  // beyond the list: unchanged
  EXPECT_STREQ(ShortMonthName(1), "Jan");
  EXPECT_STREQ(ShortMonthName(3), "M\xE4r");
  EXPECT_STREQ(MorningMark(), "vo");
  EXPECT_STREQ(AfternoonMark(), "na");
  EXPECT_TRUE(LongFileNames());
  Apply("KORLFN=off\nKORMONTH=One,,Three\nKORAMPM=a\n");
  EXPECT_FALSE(LongFileNames());
  EXPECT_STREQ(LongMonthName(1), "One");
  EXPECT_STREQ(LongMonthName(2), "Februar");  // an empty item ends the list
  EXPECT_STREQ(LongMonthName(3), "M\xE4rz");
  EXPECT_STREQ(MorningMark(), "a");
  EXPECT_STREQ(AfternoonMark(), "na");
}

TEST_F(EnvironmentTest, MessagesButtonsAndEscapes) {
  Apply(
      "KORMSG35=Satz fehlt, leider\n"
      "KORBUTTON=\"&Ja\" \"&Nein\"\n"
      "KORMSG406=<65><66><<x\n"
      "KORMSGx=ignored\n"
      "KORMSG=ignored\n");
  EXPECT_STREQ(ErrorText(35), "Satz fehlt, leider");  // one item, commas kept
  EXPECT_STREQ(FindMessageText(kButtonMessageBase), "&Ja");
  EXPECT_STREQ(FindMessageText(kButtonMessageBase + 1), "&Nein");
  EXPECT_EQ(FindMessageText(kButtonMessageBase + 2), nullptr);
  EXPECT_STREQ(ErrorText(406), "AB<x");
  PostError(35);
  EXPECT_EQ(std::string(CurrentErrorState().text, 18), "Satz fehlt, leider");
  EXPECT_FALSE(ApplySetting("KORMSGx", "y"));
  EXPECT_FALSE(ApplySetting("KORMSG99999999999", "y"));
  EXPECT_FALSE(ApplySetting("NOTAKEY", "y"));
  EXPECT_TRUE(ApplySetting("kormsg81", "Unbekannt"));
  EXPECT_STREQ(ErrorText(314), "Unbekannt : 314");
}

TEST_F(EnvironmentTest, CollatingSequenceCaseAndDigraphs) {
  Apply(
      "KORCOLSEQ=AaBbCc,\n"
      "KORCASE=\xC4\xD6,\xE4\xF6\n"
      "KORDIGRAPH=\xDFss,\xC6"
      "AE\n");
  EXPECT_EQ(Cmp("a", "B"), -1);
  // The comma is part of the sequence, and as its lowest code it is where
  // the block starts.
  EXPECT_EQ(Cmp("c", ","), -1);
  EXPECT_EQ(CollatingSequence()['A'], ',');
  EXPECT_EQ(CollatingSequence()[','], ',' + 6);
  EXPECT_EQ(ToUpperChar(0xE4), 0xC4);
  EXPECT_EQ(ToLowerChar(0xD6), 0xF6);
  ASSERT_EQ(DigraphCount(), 2);
  EXPECT_EQ(Cmp("Stra\xDF"
                "e",
                "Strasse"),
            0);
  EXPECT_EQ(Cmp("\xC6", "AE"), 0);
  Apply("KORCOLSEQ=\nKORDIGRAPH=\n");
  EXPECT_EQ(Cmp("a", "B"), 1);  // byte order again
  EXPECT_EQ(DigraphCount(), 0);
  Apply(
      "KORDIGRAPH=\xDFss\xC6"
      "AE"
      "x\n");  // groups without commas
  EXPECT_EQ(DigraphCount(), 2);
}

TEST_F(EnvironmentTest, OemModeConvertsAllButTheSequence) {
  // 0x84 is a diaeresis in the OEM set, 0xE4 in the Windows set.
  Apply(
      "KORCHARSET=OEM\n"
      "KORMONTH=J\x84nner\n"
      "KORMSG35=Datensatz fehlt \x84\n"
      "KORCOLSEQ=\x84"
      "a\n");
  EXPECT_TRUE(OemMode());
  EXPECT_STREQ(LongMonthName(1), "J\xE4nner");
  EXPECT_STREQ(ErrorText(35), "Datensatz fehlt \xE4");
  // The sequence is OEM text: the OEM table holds it as written, and the
  // Windows table follows through the conversion.
  EXPECT_LT(CollatingSequenceOem()[0x84], CollatingSequenceOem()['a']);
  EXPECT_LT(CollatingSequence()[0xE4], CollatingSequence()['a']);
  Apply("KORCHARSET=ansi\nKORMONTH=J\x84nner\n");
  EXPECT_FALSE(OemMode());
  EXPECT_STREQ(LongMonthName(1), "J\x84nner");
  Apply("KORCHARSET=OEM\nKORCOLSEQ=windows\n");
  EXPECT_FALSE(OemMode());  // the system's order turns OEM mode off
  EXPECT_EQ(Cmp("a", "B"), -1);
}

TEST_F(EnvironmentTest, WindowsConventions) {
  SystemIntlSettings intl;
  intl.s1159[0] = 'v';
  intl.s1159[1] = 0;
  SetSystemIntl(intl);
  ApplyEnvironmentFile("windows");
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(Cmp("a", "B"), -1);
  EXPECT_EQ(ToUpperChar(0xE9), 0xC9);
  EXPECT_STREQ(MorningMark(), "v");
  EXPECT_STREQ(AfternoonMark(), "PM");
  Apply("KORCASE=WINDOWS\nKORAMPM=Windows\n");
  EXPECT_EQ(ToUpperChar(0xFC), 0xDC);
}

TEST_F(EnvironmentTest, SettingsByKeyNumber) {
  EXPECT_TRUE(ApplySetting(EnvKey::kMon, "Ene,Feb"));
  EXPECT_STREQ(ShortMonthName(1), "Ene");
  EXPECT_TRUE(ApplySetting(EnvKey::kLfn, "On"));
  EXPECT_TRUE(LongFileNames());
  EXPECT_TRUE(ApplySetting(EnvKey::kButton, "OK,,Abbrechen"));
  EXPECT_STREQ(FindMessageText(kButtonMessageBase), "OK");
  EXPECT_EQ(FindMessageText(kButtonMessageBase + 2), nullptr);  // the empty item ended the list
  EXPECT_FALSE(ApplySetting(EnvKey::kNone, "x"));
  // KORCASE with a single item changes nothing.
  ApplySetting(EnvKey::kCase, "\xC4");
  EXPECT_EQ(ToUpperChar(0xE4), 0xE4);
  ApplyMessageSetting(801, "  Nicht gebunden");
  PostError(801);
  EXPECT_EQ(std::string(CurrentErrorState().text, 15),
            "Nicht gebunden ");  // leading blanks skipped
}

TEST_F(EnvironmentTest, FileNameBesideTheProgram) {
  EXPECT_EQ(EnvironmentFileName("C:\\APPS\\MXB.EXE"), "C:\\APPS\\MXB.ENV");
  EXPECT_EQ(EnvironmentFileName("/opt/bin/prog.bin"), "/opt/bin/prog.ENV");
  EXPECT_EQ(EnvironmentFileName("/opt/build.d/prog"), "/opt/build.d/prog.ENV");
  EXPECT_EQ(EnvironmentFileName("C:\\my.dir\\prog"), "C:\\my.dir\\prog.ENV");
  EXPECT_EQ(EnvironmentFileName("a.b.exe"), "a.b.ENV");
}

// A program's environment file sits beside it; this one replaces the text a
// runtime error box would show for 406.
TEST_F(EnvironmentTest, FileBesideTheExecutableReplacesErrorText) {
  std::string exe = OsExecutablePath();
  ASSERT_FALSE(exe.empty());
  size_t slash = exe.find_last_of("/\\");
  std::string path = exe.substr(0, slash + 1) + "environment_test_probe.ENV";
  std::ofstream(path, std::ios::binary) << "KORMSG406=Keine R\xFC"
                                           "ckgabe\r\n\x1A";
  files_.push_back(path);
  EXPECT_STREQ(ErrorText(406), "No return value from function");
  ApplyEnvironmentFile(path.c_str());
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_STREQ(ErrorText(406),
               "Keine R\xFC"
               "ckgabe");
}

TEST_F(EnvironmentTest, LoadEnvironmentWithoutFileClearsError) {
  PostError(5);
  LoadEnvironment();
  EXPECT_EQ(ERRORCODE(), 0);
  // Only the first call reads anything.
  SetLongMonthName(1, "Changed");
  LoadEnvironment();
  EXPECT_STREQ(LongMonthName(1), "Changed");
}

TEST_F(EnvironmentTest, GetIniReadsNamedFileOrDefault) {
  std::string path = Write("getini_test.ini", "[Paths]\nData = C:\\DATA\nEmpty=\n");
  EXPECT_EQ(GetIni("Paths", "Data", "none", path), "C:\\DATA");
  EXPECT_EQ(GetIni("Paths   ", "Data  ", "none", path + "   "), "C:\\DATA");
  EXPECT_EQ(GetIni("Paths", "Missing", "fallback  ", path), "fallback");
  EXPECT_EQ(GetIni("Other", "Data", "", path), "");
  EXPECT_EQ(GetIni("Paths", "Data", "none", path + "x"), "none");
}

}  // namespace
}  // namespace kor
