// Several programs on one shared file, as real processes: the test program
// starts itself again as each worker. Every worker runs mixed ADD, PUT,
// DELETE and NEXT, with HOLD and WATCH, on its own records and reads the
// others', keeping its own account of what it committed; afterwards the
// file must hold exactly the union of the accounts, with counts right and a
// clean verify.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "files/driver.h"
#include "files/operations.h"
#include "files/statements.h"
#include "files/velocore/page_store.h"
#include "files/velocore/project_file_test_support.h"
#include "files/velocore/velocore_test_support.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os.h"
#include "runtime/os/os_test_dir.h"

namespace kor {
namespace {

using vel::testing::ProjectFile;

constexpr const char* kWorkerMark = "VelWorkerJob";
constexpr const char* kAccountEnd = "end of account\n";
// Sanitized builds run several times slower.
#if defined(__SANITIZE_ADDRESS__)
#define VEL_SLOW_BUILD 1
#elif defined(__clang__)
#if __has_feature(address_sanitizer)
#define VEL_SLOW_BUILD 1
#endif
#endif
#ifdef _WIN32
constexpr int kWorkers = 2;  // under Wine each process is slow to start
constexpr int kOperations = 5000;
#elif defined(VEL_SLOW_BUILD)
constexpr int kWorkers = 4;
constexpr int kOperations = 2000;
#else
constexpr int kWorkers = 4;
constexpr int kOperations = 10000;
#endif

int32_t Call(int32_t op, FileDescriptor* file, DriverArgs args = {}) {
  ClearError();
  DispatchFileOp(op, file, &args);
  return ERRORCODE();
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The account: path -> priority of every record the worker's commits left.
using Account = std::map<std::string, int>;

// One worker's run; the first unexpected result ends it, described.
class Worker {
 public:
  Worker(const std::string& file, int number) : f_(file, false), number_(number), random_(number) {}

  std::string Run() {
    SHARE(&f_.file, 0x42);
    if (ERRORCODE() != 0) return "SHARE " + std::to_string(ERRORCODE());
    for (int i = 0; i < kOperations; ++i) {
      std::string failure = Step(i);
      if (!failure.empty()) return "operation " + std::to_string(i) + ": " + failure;
    }
    CLOSE(&f_.file);
    return "";
  }
  const Account& account() const { return account_; }

 private:
  std::string Step(int i) {
    int pick = int(random_() % 100);
    if (pick < 40 || account_.empty()) return Add(i);
    if (pick < 60) return Put();
    if (pick < 72) return Delete();
    return Scan();
  }
  std::string Code(const char* what) {
    return std::string(what) + " " + std::to_string(ERRORCODE());
  }

  std::string Add(int i) {
    std::string path = "W" + std::to_string(number_) + "\\R" + std::to_string(i);
    int priority = int(random_() % 10);
    f_.Fill(path, "n", int16_t(number_), uint8_t(priority));
    ADD(&f_.file);
    if (ERRORCODE() != 0) return Code("ADD");
    account_[path] = priority;
    return "";
  }
  // Reads one of this worker's records by its unique key (with HOLD and
  // WATCH when asked); false with *busy when another worker holds it.
  std::string GetOwn(std::string* path, bool hold, bool* busy) {
    auto it = account_.begin();
    std::advance(it, random_() % account_.size());
    *path = it->first;
    *busy = false;
    if (hold) Call(kOpHOLDfilesec, &f_.file, {.seconds = 2});
    if (hold) WATCH(&f_.file);
    f_.Fill(*path, "n", 0, 0);
    int32_t e = Call(kOpGETfilekey, &f_.file, {.key = &f_.path_key});
    if (e == kErrRecordIsAlreadyHeld) *busy = true;
    if (e != 0 && !*busy) return Code("GET");
    if (e == 0 && (f_.Path() != *path || f_.Priority() != it->second)) return "GET read another";
    return "";
  }
  std::string Put() {
    std::string path;
    bool busy = false;
    std::string failure = GetOwn(&path, true, &busy);
    if (!failure.empty() || busy) return failure;
    int priority = int(random_() % 10);
    f_.Set(int16_t(number_), uint8_t(priority));
    PUT(&f_.file);
    if (ERRORCODE() != 0) return Code("PUT");
    account_[path] = priority;
    return "";
  }
  std::string Delete() {
    std::string path;
    bool busy = false;
    std::string failure = GetOwn(&path, false, &busy);
    if (!failure.empty() || busy) return failure;
    DELETEfile(&f_.file);
    // 33: another worker holds the record for a moment; it stays.
    if (ERRORCODE() == kErrRecordNotAvailable) return "";
    if (ERRORCODE() != 0) return Code("DELETE");
    account_.erase(path);
    return "";
  }
  // A few steps along the priority key, some holding what they read.
  std::string Scan() {
    f_.Fill("", "", 0, uint8_t(random_() % 10));
    SETkeykey(&f_.priority_key);
    for (int n = 0; n < 4; ++n) {
      bool hold = random_() % 4 == 0;
      if (hold) Call(kOpHOLDfilesec, &f_.file, {.seconds = 2});
      NEXT(&f_.file);
      int32_t e = ERRORCODE();
      if (e == kErrRecordNotAvailable || e == kErrRecordIsAlreadyHeld) break;
      if (e != 0) return Code("NEXT");
      if (hold) Call(kOpRELEASE, &f_.file);
    }
    return "";
  }

  ProjectFile f_;
  int number_;
  std::minstd_rand random_;
  Account account_;
};

std::string JobPath(const std::string& job, int worker) {
  return ::testing::TempDir() + "vel_worker_" + job + "_" + std::to_string(worker);
}

// The worker's part: runs only when started by the parent with a job in its
// test filter, so a plain run of the test program skips it.
TEST(VelWorker, MixedOperations) {
  std::string filter = ::testing::GTEST_FLAG(filter);
  size_t at = filter.find(kWorkerMark);
  if (at == std::string::npos) GTEST_SKIP() << "started only by VelocoreShared.ManyProcesses";
  std::string job = filter.substr(at + std::strlen(kWorkerMark));
  size_t dash = job.rfind('-');
  int number = std::atoi(job.c_str() + dash + 1);
  job.resize(dash);
  std::string out = JobPath(job, number);
  Worker worker(ReadAll(JobPath(job, 0) + ".name"), number);
  std::string failure = worker.Run();
  {
    std::ofstream account(out + ".part", std::ios::binary);
    account << (failure.empty() ? "ok" : failure) << "\n";
    for (const auto& [path, priority] : worker.account())
      account << path << "\t" << priority << "\n";
    account << kAccountEnd;
  }
  std::rename((out + ".part").c_str(), (out + ".done").c_str());
  EXPECT_EQ(failure, "");
}

// The shared file's folder: in memory where the system has such a folder
// (the run measures locking and sharing, not the disk's flush time).
std::string SharedFolder() {
  std::string folder = testing::UniqueTempName("vel_share");
  if (testing::Exists("/dev/shm"))
    folder = "/dev/shm/" + folder.substr(::testing::TempDir().size());
  testing::RemoveTreeSoon(folder);
  EXPECT_EQ(OsMakeDirectory(folder.c_str()), kOsOk);
  return folder;
}

TEST(VelocoreShared, ManyProcesses) {
  std::string folder = SharedFolder();
  std::string name = folder + "/shared.vel";
  std::string job = std::to_string(OsCurrentProcessId());
  {
    ProjectFile f(name, false);
    CREATE(&f.file);
    ASSERT_EQ(ERRORCODE(), 0);
  }
  std::ofstream(JobPath(job, 0) + ".name", std::ios::binary) << name;
  for (int w = 1; w <= kWorkers; ++w) {
    std::remove((JobPath(job, w) + ".done").c_str());
    std::string command = "\"" + OsExecutablePath() +
                          "\" --gtest_filter=VelWorker.*:" + kWorkerMark + job + "-" +
                          std::to_string(w);
    ASSERT_GT(OsLaunch(command.c_str()), 32u);
  }
  Account expected;
  for (int w = 1; w <= kWorkers; ++w) {
    std::string done = JobPath(job, w) + ".done";
    // Read until the whole account is there: under Wine a file just renamed
    // into place was once read empty by the parent.
    std::string text;
    ASSERT_TRUE(testing::WaitFor(
        [&] {
          text = ReadAll(done);
          return text.ends_with(kAccountEnd);
        },
        std::chrono::seconds(45)))
        << "worker " << w << " did not finish";
    text.resize(text.size() - std::strlen(kAccountEnd));
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "ok") << "worker " << w;
    while (std::getline(lines, line)) {
      size_t tab = line.find('\t');
      expected[line.substr(0, tab)] = std::atoi(line.c_str() + tab + 1);
    }
    std::remove(done.c_str());
  }
  std::remove((JobPath(job, 0) + ".name").c_str());
  // Everything the workers committed, once, and nothing else.
  ProjectFile f(name, false);
  OPEN(&f.file, 0x12);
  ASSERT_EQ(ERRORCODE(), 0);
  Account found;
  SETkey(&f.path_key);
  for (NEXT(&f.file); ERRORCODE() == 0; NEXT(&f.file)) {
    EXPECT_TRUE(found.emplace(f.Path(), f.Priority()).second) << "twice: " << f.Path();
  }
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
  EXPECT_EQ(found, expected);
  EXPECT_EQ(RECORDSfile(&f.file), int32_t(expected.size()));
  EXPECT_EQ(RECORDSkey(&f.priority_key), int32_t(expected.size()));
  CLOSE(&f.file);
  vel::PageStore store;
  ASSERT_TRUE(store.Open(name, kOsReadOnly | kOsDenyNone, "").ok());
  EXPECT_EQ(vel::testing::VerifyProblems(store), "");
  store.Close();
  testing::RemoveTreeSoon(folder);
}

}  // namespace
}  // namespace kor
