// Cost of a sequential scan of a flat file through the DOS driver (the whole
// driver frame per NEXT), with read-ahead on and off, against the peer: the
// same file read in record-length pieces with stdio.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "files/dos/dos_driver.h"
#include "files/driver.h"
#include "files/statements.h"
#include "runtime/core/error_state.h"

namespace {

constexpr uint32_t kLen = 100;
constexpr int kRecords = 2000;
const char* const kName = "files_bench.dat";

void MakeFile() {
  std::FILE* f = std::fopen(kName, "wb");
  std::string record(kLen, 'r');
  for (int i = 0; i < kRecords; ++i) std::fwrite(record.data(), 1, kLen, f);
  std::fclose(f);
}

void Scan(benchmark::State& state, uint32_t mode) {
  MakeFile();
  uint8_t record[kLen];
  kor::FileDescriptor file = {.driver = &kor::DosDriverEntry,
                              .label = "B",
                              .label_length = 1,
                              .name = kName,
                              .record = record,
                              .record_length = kLen};
  kor::OPEN(&file, mode);
  for (auto _ : state) {
    kor::SETfile(&file);
    int n = 0;
    for (;;) {
      kor::NEXT(&file);
      if (kor::ERRORCODE() != 0) break;
      ++n;
    }
    benchmark::DoNotOptimize(n);
  }
  kor::CLOSE(&file);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_DosNextQuickScan(benchmark::State& state) { Scan(state, 0x22); }
BENCHMARK(BM_DosNextQuickScan);

void BM_DosNextDirect(benchmark::State& state) { Scan(state, 0x42); }
BENCHMARK(BM_DosNextDirect);

void BM_StdioRead(benchmark::State& state) {
  MakeFile();
  char record[kLen];
  std::FILE* f = std::fopen(kName, "rb");
  for (auto _ : state) {
    std::fseek(f, 0, SEEK_SET);
    int n = 0;
    while (std::fread(record, 1, kLen, f) == kLen) ++n;
    benchmark::DoNotOptimize(n);
  }
  std::fclose(f);
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_StdioRead);

}  // namespace

BENCHMARK_MAIN();
