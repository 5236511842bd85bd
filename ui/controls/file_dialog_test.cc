// The file dialog: the platform filter and the joined multiple-file result,
// and real dialogs driven from a second thread: the empty filter's default,
// a chosen file, cancelling, and the directory mode.
#include "ui/controls/file_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <dlgs.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

namespace kor {
namespace {

TEST(FileDialogTest, TheFilterTurnsBarsIntoNulsAndDefaultsToAllFiles) {
  const char all[] = "All Files (*.*)\0*.*\0";  // and the literal's own NUL
  EXPECT_EQ(PlatformFilter(""), std::string(all, sizeof all));
  EXPECT_EQ(PlatformFilter("   "), std::string(all, sizeof all));
  const char two[] = "Apps\0*.app\0All\0*.*\0";
  EXPECT_EQ(PlatformFilter("Apps|*.app|All|*.*"), std::string(two, sizeof two));
  EXPECT_EQ(PlatformFilter(std::string(300, 'x')).size(), kMaxDialogFilter + 2);
}

TEST(FileDialogTest, MultipleFilesAreJoinedWithBars) {
  const char result[] = "C:\\DIR\0A.APP\0B.APP\0\0";
  EXPECT_EQ(JoinMultipleFiles(result, sizeof result), "C:\\DIR|A.APP|B.APP");
  const char one[] = "C:\\DIR\\A.APP\0\0";
  EXPECT_EQ(JoinMultipleFiles(one, sizeof one), "C:\\DIR\\A.APP");
  const char cut[] = {'A', 'B'};  // no ending NUL inside the buffer
  EXPECT_EQ(JoinMultipleFiles(cut, sizeof cut), "AB");
}

std::string Text(HWND w) {
  char buf[MAX_PATH] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

// From a second thread: waits (bounded) for the dialog with `title`, then
// runs `act` on it.
class DialogDriver {
 public:
  DialogDriver(std::string title, std::function<void(HWND)> act) {
    thread_ = std::thread([this, title, act] {
      for (int i = 0; i < 1000 && !found_; ++i) {
        HWND d = FindWindowA("#32770", title.c_str());
        if (d != nullptr && IsWindowVisible(d)) {
          found_ = true;
          act(d);
        } else {
          Sleep(10);  // polling, bounded to 10 s
        }
      }
    });
  }
  ~DialogDriver() { Join(); }
  bool found() {
    Join();
    return found_;
  }

 private:
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  std::thread thread_;
  std::atomic<bool> found_ = false;
};

class FileDialogFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    dir_ = std::string(temp) + "kor_fd_" + std::to_string(GetCurrentProcessId()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(dir_.c_str(), nullptr);
    file_ = dir_ + "\\A.APP";
    HANDLE h = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
    GetCurrentDirectoryA(sizeof saved_, saved_);
    SetCurrentDirectoryA(dir_.c_str());
    memset(name_, ' ', sizeof name_);
  }
  void TearDown() override {
    SetCurrentDirectoryA(saved_);
    DeleteFileA(file_.c_str());
    RemoveDirectoryA(dir_.c_str());
  }
  std::string Name() const {
    std::string s(name_, sizeof name_);
    return s.substr(0, s.find_last_not_of(' ') + 1);
  }

  std::string dir_;
  std::string file_;
  char saved_[MAX_PATH] = {};
  char name_[120];
};

TEST_F(FileDialogFolder, AnEmptyFilterOffersAllFilesAndAChosenFileFillsTheVariable) {
  std::string offered;
  std::string file = file_;
  DialogDriver driver("Pick one", [&offered, file](HWND d) {
    char first[128] = {};
    SendDlgItemMessageA(d, cmb1, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    offered = first;
    SetDlgItemTextA(d, edt1, file.c_str());
    PostMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(ShowFileDialog("Pick one", "", name_, sizeof name_, 0), 1);
  EXPECT_TRUE(driver.found());
  EXPECT_EQ(offered, "All Files (*.*)");
  EXPECT_EQ(_stricmp(Name().c_str(), file_.c_str()), 0) << Name();
}

TEST_F(FileDialogFolder, CancellingLeavesTheVariableAndReturnsZero) {
  memcpy(name_, "KEEP.APP", 8);
  DialogDriver driver("Cancel me",
                      [](HWND d) { PostMessageA(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0); });
  EXPECT_EQ(ShowFileDialog("Cancel me", "Apps|*.app", name_, sizeof name_, kFileSave), 0);
  EXPECT_TRUE(driver.found());
  EXPECT_EQ(Name(), "KEEP.APP");
}

TEST_F(FileDialogFolder, DirectoryModeHidesTheNamesAndReturnsThePathWithoutAFileName) {
  bool name_hidden = false;
  std::string shown;
  DialogDriver driver("Where", [&](HWND d) {
    name_hidden = !IsWindowVisible(GetDlgItem(d, edt1)) && !IsWindowVisible(GetDlgItem(d, lst1));
    shown = Text(GetDlgItem(d, kDirectoryItem));
    PostMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(ShowFileDialog("Where", "", name_, sizeof name_, kFileDirectory), 1);
  EXPECT_TRUE(driver.found());
  EXPECT_TRUE(name_hidden);
  EXPECT_EQ(_stricmp(shown.c_str(), dir_.c_str()), 0) << shown;
  EXPECT_EQ(_stricmp(Name().c_str(), (dir_ + "\\").c_str()), 0) << Name();
}

TEST(FileDialogTest, AReplacementAnswersInsteadOfTheDialog) {
  SetFileDialogReplacement(
      [](const std::string&, const std::string&, char* name, int32_t, uint32_t options) -> int32_t {
        name[0] = 'R';
        return int32_t(options) + 1;
      });
  char name[4] = {' ', ' ', ' ', ' '};
  EXPECT_EQ(ShowFileDialog("t", "", name, sizeof name, 8), 9);
  EXPECT_EQ(name[0], 'R');
  SetFileDialogReplacement(nullptr);
}

}  // namespace
}  // namespace kor
