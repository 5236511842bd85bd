// Cost of a sequential scan of a flat file through the DOS driver (the whole
// driver frame per NEXT) against the peer: the same file read in
// record-length pieces with stdio. The driver reads ahead with its default
// buffer (1 KB for a deny-write open), with a 4 KB one (FILEBUFFERS=8, the
// size of stdio's own buffer, so both sides make the same system calls) and
// without read-ahead. Every scan must read every record, on both sides.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "files/dos/dos_driver.h"
#include "files/driver.h"
#include "files/statements.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os.h"
#include "runtime/values/string_stack.h"

namespace {

constexpr uint32_t kLen = 100;
constexpr int kRecords = 2000;

// The data file, in a folder of this run's own under the system's temporary
// folder; removed at the end.
class DataFile {
 public:
  DataFile() {
    dir_ = std::filesystem::temp_directory_path() /
           ("files_bench_" + std::to_string(kor::OsCurrentProcessId()));
    std::filesystem::create_directories(dir_);
    name_ = (dir_ / "scan.dat").string();
    std::FILE* f = std::fopen(name_.c_str(), "wb");
    std::string record(kLen, 'r');
    for (int i = 0; i < kRecords; ++i) {
      record[0] = static_cast<char>('a' + i % 26);
      std::fwrite(record.data(), 1, kLen, f);
    }
    std::fclose(f);
  }
  ~DataFile() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  const char* name() const { return name_.c_str(); }

 private:
  std::filesystem::path dir_;
  std::string name_;
};

const DataFile& Data() {
  static DataFile file;
  return file;
}

// A scan that missed a record or read a wrong one makes the benchmark fail.
bool ScanWasWhole(benchmark::State& state, int n, long sum) {
  long expected = 0;
  for (int i = 0; i < kRecords; ++i) expected += 'a' + i % 26;
  if (n == kRecords && sum == expected) return true;
  state.SkipWithError("the scan did not read every record");
  return false;
}

void Scan(benchmark::State& state, uint32_t mode, const char* buffers) {
  uint8_t record[kLen];
  kor::FileDescriptor file = {};
  file.driver = &kor::DosDriverEntry;
  file.label = "B";
  file.label_length = 1;
  file.name = Data().name();
  file.record = record;
  file.record_length = kLen;
  kor::OPEN(&file, mode);
  if (buffers != nullptr) {
    kor::SEND(&file, buffers);
    kor::PopString();
  }
  for (auto _ : state) {
    kor::SETfile(&file);
    int n = 0;
    long sum = 0;
    for (;;) {
      kor::NEXT(&file);
      if (kor::ERRORCODE() != 0) break;
      ++n;
      sum += record[0];
    }
    if (!ScanWasWhole(state, n, sum)) break;
  }
  kor::CLOSE(&file);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_DosNextQuickScan(benchmark::State& state) { Scan(state, 0x22, nullptr); }
BENCHMARK(BM_DosNextQuickScan)->Name("DosScan1K/kor");

void BM_DosNextQuickScan4K(benchmark::State& state) { Scan(state, 0x22, "FILEBUFFERS=8"); }
BENCHMARK(BM_DosNextQuickScan4K)->Name("DosScan4K/kor");

void BM_DosNextDirect(benchmark::State& state) { Scan(state, 0x42, nullptr); }
BENCHMARK(BM_DosNextDirect)->Name("DosScanDirect/kor");

void BM_StdioRead(benchmark::State& state) {
  char record[kLen];
  std::FILE* f = std::fopen(Data().name(), "rb");
  for (auto _ : state) {
    std::fseek(f, 0, SEEK_SET);
    int n = 0;
    long sum = 0;
    while (std::fread(record, 1, kLen, f) == kLen) {
      ++n;
      sum += record[0];
    }
    if (!ScanWasWhole(state, n, sum)) break;
  }
  std::fclose(f);
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_StdioRead)->Name("DosScan1K/stdio");
BENCHMARK(BM_StdioRead)->Name("DosScan4K/stdio");
BENCHMARK(BM_StdioRead)->Name("DosScanDirect/stdio");

}  // namespace

BENCHMARK_MAIN();
