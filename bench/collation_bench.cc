// Cost of comparing blank-padded strings through the collating sequence
// (identity, a KORCOLSEQ sequence, with digraphs, without case) against the
// peer a byte comparison of equally padded buffers gives.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "runtime/locale/collation.h"

namespace {

// Two 40-character names that differ only near the end, the second shorter
// with the rest blank, as fixed-length fields usually are.
const std::string kA = "Korvane Batch Project Number 0001 Alpha ";
const std::string kB = "Korvane Batch Project Number 0001 Alphb";

void BM_ByteCompare(benchmark::State& state) {
  std::string b = kB + std::string(kA.size() - kB.size(), ' ');
  for (auto _ : state) {
    benchmark::DoNotOptimize(memcmp(kA.data(), b.data(), kA.size()));
  }
}
BENCHMARK(BM_ByteCompare);

void BM_CollateIdentity(benchmark::State& state) {
  kor::ResetCollation();
  for (auto _ : state) {
    benchmark::DoNotOptimize(kor::CollateCompare(kA.data(), kA.size(), kB.data(), kB.size()));
  }
}
BENCHMARK(BM_CollateIdentity);

void BM_CollateSequence(benchmark::State& state) {
  kor::ResetCollation();
  kor::SetCollatingSequence("AaBbCcDdEeFfGgHhIiJjKkLlMmNnOoPpQqRrSsTtUuVvWwXxYyZz", 52, false);
  for (auto _ : state) {
    benchmark::DoNotOptimize(kor::CollateCompare(kA.data(), kA.size(), kB.data(), kB.size()));
  }
  kor::ResetCollation();
}
BENCHMARK(BM_CollateSequence);

void BM_CollateNoCase(benchmark::State& state) {
  kor::ResetCollation();
  for (auto _ : state) {
    benchmark::DoNotOptimize(kor::CollateCompareNoCase(kA.data(), kA.size(), kB.data(), kB.size()));
  }
}
BENCHMARK(BM_CollateNoCase);

void BM_CollateDigraphs(benchmark::State& state) {
  kor::ResetCollation();
  kor::SetDigraphs(
      "\xDFss\xC6"
      "AE",
      6);
  for (auto _ : state) {
    benchmark::DoNotOptimize(kor::CollateCompare(kA.data(), kA.size(), kB.data(), kB.size()));
  }
  kor::ResetCollation();
}
BENCHMARK(BM_CollateDigraphs);

}  // namespace

BENCHMARK_MAIN();
