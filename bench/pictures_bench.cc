// FORMAT with @D6, @T4 and @N-15.2 against what a C++ program would write for
// the same text from the same stored values: the fmt library for dates and
// times (from a day count through std::chrono's calendar, from hundredths
// through integer division), std::to_chars with the grouping added by hand
// for the number. Our side runs with the picture compiled once, outside the
// loop, and compiled on every call inside it (the peer then parses its format
// string at run time as well). Both sides must write the same text.
#include <benchmark/benchmark.h>
#include <fmt/compile.h>
#include <fmt/format.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/pictures/dates.h"
#include "runtime/pictures/format.h"

namespace {

constexpr int kValues = 64;

struct Inputs {
  int32_t days[kValues];   // day counts
  int32_t times[kValues];  // hundredths since midnight, plus 1
  double numbers[kValues];
  Inputs() {
    for (int i = 0; i < kValues; ++i) {
      days[i] = kor::DateFromParts(1 + i % 12, 1 + (i * 7) % 28, 1975 + i);
      times[i] = kor::TimeFromParts((i * 5) % 24, (i * 13 + 1) % 60, (i * 29) % 60, 0);
      numbers[i] = (i % 2 ? -1.0 : 1.0) * (1234567.25 + i * 1021.5);
    }
  }
};

const Inputs& In() {
  static const Inputs inputs;
  return inputs;
}

// ---- the peers ----

// @D6: day (two wide), month, year: "dd/mm/yyyy".
size_t PeerDate(int32_t day_count, char* out, bool runtime_format) {
  static const int32_t kEpoch = kor::DateFromParts(1, 1, 1970);
  std::chrono::year_month_day d{std::chrono::sys_days{std::chrono::days{day_count - kEpoch}}};
  int day = static_cast<int>(unsigned{d.day()}), month = static_cast<int>(unsigned{d.month()});
  int year = static_cast<int>(d.year());
  char* end = runtime_format ? fmt::format_to(out, fmt::runtime("{:2}/{:02}/{}"), day, month, year)
                             : fmt::format_to(out, FMT_COMPILE("{:2}/{:02}/{}"), day, month, year);
  return static_cast<size_t>(end - out);
}

// @T4: hours, minutes, seconds, two digits each: "hh:mm:ss".
size_t PeerTime(int32_t time, char* out, bool runtime_format) {
  int32_t t = (time - 1) / 100;
  int hours = t / 3600, minutes = t / 60 % 60, seconds = t % 60;
  char* end = runtime_format
                  ? fmt::format_to(out, fmt::runtime("{:02}:{:02}:{:02}"), hours, minutes, seconds)
                  : fmt::format_to(out, FMT_COMPILE("{:02}:{:02}:{:02}"), hours, minutes, seconds);
  return static_cast<size_t>(end - out);
}

// @N-15.2: two places, groups of three, a leading minus, right-aligned in 15.
size_t PeerNumber(double v, char* out) {
  char digits[32];
  auto r =
      std::to_chars(digits, digits + sizeof digits, v < 0 ? -v : v, std::chars_format::fixed, 2);
  int int_len = static_cast<int>(r.ptr - digits) - 3;
  char body[48];
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

// ---- the measures ----

template <bool kCompileInLoop>
void BM_KorDate(benchmark::State& state) {
  kor::Picture p = kor::CompilePicture("@D6");
  char out[kor::kMaxPictureWidth];
  int i = 0;
  for (auto _ : state) {
    if (kCompileInLoop) p = kor::CompilePicture("@D6");
    benchmark::DoNotOptimize(kor::FormatLong(In().days[i], p, out));
    benchmark::ClobberMemory();
    i = (i + 1) % kValues;
  }
}

template <bool kRuntimeFormat>
void BM_PeerDate(benchmark::State& state) {
  char out[64];
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PeerDate(In().days[i], out, kRuntimeFormat));
    benchmark::ClobberMemory();
    i = (i + 1) % kValues;
  }
}

template <bool kCompileInLoop>
void BM_KorTime(benchmark::State& state) {
  kor::Picture p = kor::CompilePicture("@T4");
  char out[kor::kMaxPictureWidth];
  int i = 0;
  for (auto _ : state) {
    if (kCompileInLoop) p = kor::CompilePicture("@T4");
    benchmark::DoNotOptimize(kor::FormatLong(In().times[i], p, out));
    benchmark::ClobberMemory();
    i = (i + 1) % kValues;
  }
}

template <bool kRuntimeFormat>
void BM_PeerTime(benchmark::State& state) {
  char out[64];
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PeerTime(In().times[i], out, kRuntimeFormat));
    benchmark::ClobberMemory();
    i = (i + 1) % kValues;
  }
}

template <bool kCompileInLoop>
void BM_KorNumber(benchmark::State& state) {
  kor::Picture p = kor::CompilePicture("@N-15.2");
  char out[kor::kMaxPictureWidth];
  int i = 0;
  for (auto _ : state) {
    if (kCompileInLoop) p = kor::CompilePicture("@N-15.2");
    benchmark::DoNotOptimize(kor::FormatReal(In().numbers[i], p, out));
    benchmark::ClobberMemory();
    i = (i + 1) % kValues;
  }
}

void BM_PeerNumber(benchmark::State& state) {
  char out[64];
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PeerNumber(In().numbers[i], out));
    benchmark::ClobberMemory();
    i = (i + 1) % kValues;
  }
}

BENCHMARK(BM_KorDate<false>)->Name("FormatD6/kor");
BENCHMARK(BM_PeerDate<false>)->Name("FormatD6/fmt");
BENCHMARK(BM_KorDate<true>)->Name("FormatD6Compiled/kor");
BENCHMARK(BM_PeerDate<true>)->Name("FormatD6Compiled/fmt");
BENCHMARK(BM_KorTime<false>)->Name("FormatT4/kor");
BENCHMARK(BM_PeerTime<false>)->Name("FormatT4/fmt");
BENCHMARK(BM_KorTime<true>)->Name("FormatT4Compiled/kor");
BENCHMARK(BM_PeerTime<true>)->Name("FormatT4Compiled/fmt");
BENCHMARK(BM_KorNumber<false>)->Name("FormatN15_2/kor");
BENCHMARK(BM_PeerNumber)->Name("FormatN15_2/to_chars");
BENCHMARK(BM_KorNumber<true>)->Name("FormatN15_2Compiled/kor");
BENCHMARK(BM_PeerNumber)->Name("FormatN15_2Compiled/to_chars");

// Both sides must write the same text, or the comparison means nothing.
bool SameText() {
  kor::Picture d6 = kor::CompilePicture("@D6"), t4 = kor::CompilePicture("@T4"),
               n15 = kor::CompilePicture("@N-15.2");
  for (int i = 0; i < kValues; ++i) {
    char a[kor::kMaxPictureWidth], b[64];
    for (bool runtime_format : {false, true}) {
      size_t n = kor::FormatLong(In().days[i], d6, a);
      if (PeerDate(In().days[i], b, runtime_format) != n || std::memcmp(a, b, n) != 0) {
        std::fprintf(stderr, "@D6: '%.*s' against '%.*s'\n", static_cast<int>(n), a,
                     static_cast<int>(n), b);
        return false;
      }
      n = kor::FormatLong(In().times[i], t4, a);
      if (PeerTime(In().times[i], b, runtime_format) != n || std::memcmp(a, b, n) != 0) {
        std::fprintf(stderr, "@T4: '%.*s' against '%.*s'\n", static_cast<int>(n), a,
                     static_cast<int>(n), b);
        return false;
      }
    }
    size_t n = kor::FormatReal(In().numbers[i], n15, a);
    if (PeerNumber(In().numbers[i], b) != n || std::memcmp(a, b, n) != 0) {
      std::fprintf(stderr, "@N-15.2: '%.*s' against '%.*s'\n", static_cast<int>(n), a,
                   static_cast<int>(n), b);
      return false;
    }
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
