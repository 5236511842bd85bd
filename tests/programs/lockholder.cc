// A second process for the file-sharing tests: opens a file with an open
// mode, optionally locks a byte range, reports the two results, and holds on
// until told to end, then ends without closing anything.
//
//   lockholder <file> <mode> <offset> <length> <ready-file> <release-file>
//
// The report "<open result> <lock result>" is written to <ready-file> (made
// under another name and renamed, so a reader never sees half of it). The
// program then waits, for at most 30 seconds, until <release-file> exists.
// A length of 0 takes no lock; a release file that already exists makes the
// program end at once after its report. The program deletes the release file
// as it ends.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>
#include <string>
#include <thread>

#include "runtime/os/os.h"

namespace {

void Report(const std::string& ready, uint32_t open_result, uint32_t lock_result) {
  std::string temp = ready + ".part";
  char text[64];
  snprintf(text, sizeof text, "%u %u", open_result, lock_result);
  kor::OsHandle h;
  if (kor::OsCreate(temp.c_str(), kor::kOsCreateNormal, &h) != kor::kOsOk) return;
  uint32_t done = 0;
  kor::OsWrite(h, text, static_cast<uint32_t>(strlen(text)), &done);
  kor::OsClose(h);
  kor::OsRename(temp.c_str(), ready.c_str());
}

bool Exists(const char* name) {
  uint8_t attributes;
  return kor::OsAttributes(name, &attributes) == kor::kOsOk;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) {
    fprintf(stderr, "usage: lockholder file mode offset length ready-file release-file\n");
    return 64;
  }
  uint32_t mode = static_cast<uint32_t>(strtoul(argv[2], nullptr, 0));
  uint64_t offset = strtoull(argv[3], nullptr, 0);
  uint64_t length = strtoull(argv[4], nullptr, 0);
  kor::OsHandle h = kor::kOsNoHandle;
  uint32_t open_result = kor::OsOpen(argv[1], mode, &h);
  uint32_t lock_result = 0;
  if (open_result == kor::kOsOk && length != 0) lock_result = kor::OsLock(h, offset, length);
  Report(argv[5], open_result, lock_result);
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!Exists(argv[6]) && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  // Taking the release file away tells the test that the end has begun; the
  // system drops the open and its locks when the process ends.
  // The test may still be closing the file it just made: retry for a while.
  until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (kor::OsDelete(argv[6]) == kor::kOsAccessDenied &&
         std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kor::OsExitProcess(0);
}
