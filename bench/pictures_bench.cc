// FORMAT with @D6, @T4 and @N-15.2 against the C library producing the same
// text from the same kind of input (strftime from a time_t, snprintf plus
// digit grouping), in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "runtime/pictures/dates.h"
#include "runtime/pictures/format.h"

namespace {

constexpr int kValues = 64;

// Day counts and the matching time_t values (noon UTC of the same days).
struct DateInputs {
  int32_t days[kValues];
  time_t stamps[kValues];
  DateInputs() {
    int32_t epoch = kor::DateFromParts(1, 1, 1970);
    for (int i = 0; i < kValues; ++i) {
      days[i] = kor::DateFromParts(1 + i % 12, 1 + (i * 7) % 28, 1975 + i);
      stamps[i] = static_cast<time_t>(days[i] - epoch) * 86400 + 43200;
    }
  }
};

struct TimeInputs {
  int32_t times[kValues];
  time_t stamps[kValues];
  TimeInputs() {
    for (int i = 0; i < kValues; ++i) {
      int h = (i * 5) % 24, m = (i * 13 + 1) % 60, s = (i * 29) % 60;
      times[i] = kor::TimeFromParts(h, m, s, 0);
      stamps[i] = h * 3600 + m * 60 + s;
    }
  }
};

double NumberValue(int i) { return (i % 2 ? -1.0 : 1.0) * (1234567.25 + i * 1021.5); }

void BM_Format_D6(benchmark::State& state) {
  DateInputs in;
  kor::Picture p = kor::CompilePicture("@D6");
  char out[kor::kMaxPictureWidth];
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(kor::FormatLong(in.days[i], p, out));
    benchmark::ClobberMemory();
    i = (i + 1) % kValues;
  }
}
BENCHMARK(BM_Format_D6);

void BM_Strftime_D6(benchmark::State& state) {
  DateInputs in;
  char out[64];
  int i = 0;
  for (auto _ : state) {
    tm t;
    gmtime_r(&in.stamps[i], &t);
    benchmark::DoNotOptimize(strftime(out, sizeof out, "%e/%m/%Y", &t));
    benchmark::ClobberMemory();
    i = (i + 1) % kValues;
  }
}
BENCHMARK(BM_Strftime_D6);

void BM_Format_T4(benchmark::State& state) {
  TimeInputs in;
  kor::Picture p = kor::CompilePicture("@T4");
  char out[kor::kMaxPictureWidth];
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(kor::FormatLong(in.times[i], p, out));
    benchmark::ClobberMemory();
    i = (i + 1) % kValues;
  }
}
BENCHMARK(BM_Format_T4);

void BM_Strftime_T4(benchmark::State& state) {
  TimeInputs in;
  char out[64];
  int i = 0;
  for (auto _ : state) {
    tm t;
    gmtime_r(&in.stamps[i], &t);
    benchmark::DoNotOptimize(strftime(out, sizeof out, "%H:%M:%S", &t));
    benchmark::ClobberMemory();
    i = (i + 1) % kValues;
  }
}
BENCHMARK(BM_Strftime_T4);

void BM_Format_N15_2(benchmark::State& state) {
  kor::Picture p = kor::CompilePicture("@N-15.2");
  char out[kor::kMaxPictureWidth];
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(kor::FormatReal(NumberValue(i), p, out));
    benchmark::ClobberMemory();
    i = (i + 1) % kValues;
  }
}
BENCHMARK(BM_Format_N15_2);

// snprintf does the digits and rounding; the grouping and the right-aligned
// field of 15 are added by hand, as a program would have to.
size_t SnprintfGrouped(double v, char* out) {
  char digits[64];
  int n = std::snprintf(digits, sizeof digits, "%.2f", v < 0 ? -v : v);
  int int_len = n - 3;
  char body[64];
  int len = 0;
  if (v < 0) body[len++] = '-';
  for (int k = 0; k < int_len; ++k) {
    if (k > 0 && (int_len - k) % 3 == 0) body[len++] = ',';
    body[len++] = digits[k];
  }
  std::memcpy(body + len, digits + int_len, 3);
  len += 3;
  std::memset(out, ' ', 15 - len);
  std::memcpy(out + 15 - len, body, len);
  return 15;
}

void BM_Snprintf_N15_2(benchmark::State& state) {
  char out[64];
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(SnprintfGrouped(NumberValue(i), out));
    benchmark::ClobberMemory();
    i = (i + 1) % kValues;
  }
}
BENCHMARK(BM_Snprintf_N15_2);

// Both sides must write the same text, or the comparison means nothing.
bool SameText() {
  DateInputs d;
  TimeInputs t;
  kor::Picture d6 = kor::CompilePicture("@D6"), t4 = kor::CompilePicture("@T4"),
               n15 = kor::CompilePicture("@N-15.2");
  for (int i = 0; i < kValues; ++i) {
    char a[256], b[64];
    tm tmv;
    size_t n = kor::FormatLong(d.days[i], d6, a);
    gmtime_r(&d.stamps[i], &tmv);
    strftime(b, sizeof b, "%e/%m/%Y", &tmv);
    if (std::strncmp(a, b, n) != 0 || std::strlen(b) != n) return false;
    n = kor::FormatLong(t.times[i], t4, a);
    gmtime_r(&t.stamps[i], &tmv);
    strftime(b, sizeof b, "%H:%M:%S", &tmv);
    if (std::strncmp(a, b, n) != 0 || std::strlen(b) != n) return false;
    n = kor::FormatReal(NumberValue(i), n15, a);
    SnprintfGrouped(NumberValue(i), b);
    if (std::memcmp(a, b, n) != 0) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (!SameText()) {
    std::fprintf(stderr, "the two sides write different texts\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
