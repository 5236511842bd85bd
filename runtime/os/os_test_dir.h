// Test support shared by the tests of every layer: temporary names no other
// test, process or checkout uses, a scratch directory per test, whole-file
// helpers and bounded waits.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "runtime/os/os.h"

namespace kor::testing {

// Removes a directory tree through the layer's own search and delete.
inline void RemoveTree(const std::string& dir) {
  OsFindData f;
  uint32_t error;
  OsFind find = OsFindFirst((dir + "/*").c_str(), &f, &error);
  for (bool more = find != nullptr; more; more = OsFindNext(find, &f)) {
    std::string name = f.name;
    if (name == "." || name == "..") continue;
    std::string path = dir + "/" + name;
    if (f.attributes & kOsAttrDirectory) {
      RemoveTree(path);
    } else {
      OsDelete(path.c_str());
    }
  }
  OsFindClose(find);
  OsRemoveDirectory(dir.c_str());
}

// The longest a test waits for one condition: well under CTest's limit of
// 60 s per test (cmake/Programs.cmake), so a test that gives up still reports.
inline constexpr std::chrono::seconds kTestWaitLimit{15};

// A path in the system's temporary folder that no other test, process or
// checkout uses: the stem, the process number, the running test's suite and
// name (outside a test, "none").
inline std::string UniqueTempName(const std::string& stem) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = stem + "_" + std::to_string(OsCurrentProcessId()) + "_";
  name += info == nullptr ? std::string("none")
                          : std::string(info->test_suite_name()) + "_" + info->name();
  for (char& c : name) {
    if (c == '/' || c == '\\' || c == ':') c = '_';
  }
  return ::testing::TempDir() + name;
}

// Polls `done` every 10 ms for at most `limit`; true when it came true.
inline bool WaitFor(const std::function<bool()>& done,
                    std::chrono::milliseconds limit = kTestWaitLimit) {
  auto until = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// Removes a tree, retrying while a helper process that is still ending
// keeps one of its files open.
inline void RemoveTreeSoon(const std::string& dir) {
  uint8_t attributes;
  WaitFor(
      [&] {
        RemoveTree(dir);
        return OsAttributes(dir.c_str(), &attributes) != kOsOk;
      },
      std::chrono::seconds(10));
}

// A fresh directory of the running test, in the system's temporary folder
// (paths handed to a second process are absolute).
class ScratchDir {
 public:
  ScratchDir() : dir_(UniqueTempName("osft")) {
    RemoveTreeSoon(dir_);
    EXPECT_EQ(OsMakeDirectory(dir_.c_str()), kOsOk);
  }
  ~ScratchDir() { RemoveTreeSoon(dir_); }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
};

// Creates a file with the given contents; true on success.
inline bool WriteWholeFile(const std::string& name, const std::string& contents) {
  OsHandle h;
  if (OsCreate(name.c_str(), kOsCreateNormal, &h) != kOsOk) return false;
  uint32_t done = 0;
  bool ok = OsWrite(h, contents.data(), static_cast<uint32_t>(contents.size()), &done) == kOsOk &&
            done == contents.size();
  return OsClose(h) == kOsOk && ok;
}

// The contents of a file, or "<error n>".
inline std::string ReadWholeFile(const std::string& name) {
  OsHandle h;
  uint32_t error = OsOpen(name.c_str(), kOsReadOnly | kOsDenyNone, &h);
  if (error != kOsOk) return "<error " + std::to_string(error) + ">";
  std::string out;
  char buf[512];
  uint32_t done = 0;
  while (OsRead(h, buf, sizeof buf, &done) == kOsOk && done > 0) out.append(buf, done);
  OsClose(h);
  return out;
}

inline bool Exists(const std::string& name) {
  uint8_t attributes;
  return OsAttributes(name.c_str(), &attributes) == kOsOk;
}

}  // namespace kor::testing
