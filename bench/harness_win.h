// A small timing harness for the benchmarks that run under Wine (Google
// Benchmark is not built for the cross compilers). Each measure is a
// function that does a known number of items of work, times the work itself
// (without its set-up) and checks its result; the harness repeats it, keeps
// the median time per item, prints a table and writes the results in Google
// Benchmark's JSON form (--benchmark_out=FILE), so bench/summary.py pairs
// "Measure/kor" with its peer "Measure/<peer>" as for the native benchmarks.
//
// Times are wall-clock: most of the platform's work for windows and messages
// is done by the Wine server and the X server, outside the process's CPU
// time. The JSON carries that time as "real_time" and "cpu_time" alike.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace kor::bench {

// Seconds since an arbitrary start, from the performance counter.
inline double Now() {
  LARGE_INTEGER frequency, count;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One run of a measure: the seconds its work took, or an error text when its
// result was wrong (then the time is not used).
struct Run {
  double seconds = 0;
  std::string error;
};

class Harness {
 public:
  Harness(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
      const char* a = argv[i];
      if (strncmp(a, "--benchmark_out=", 16) == 0) out_ = a + 16;
      if (strncmp(a, "--benchmark_repetitions=", 24) == 0) repetitions_ = atoi(a + 24);
      if (strncmp(a, "--benchmark_filter=", 19) == 0) filter_ = a + 19;
    }
    if (repetitions_ < 1) repetitions_ = 1;
  }

  // Runs `run` (`items` items of work per run) the set number of times.
  void Measure(const std::string& name, long items, const std::function<Run()>& run) {
    if (!filter_.empty() && name.find(filter_) == std::string::npos) return;
    std::vector<double> per_item;
    std::string error;
    for (int r = 0; r < repetitions_ && error.empty(); ++r) {
      Run one = run();
      if (!one.error.empty()) error = one.error;
      per_item.push_back(one.seconds * 1e9 / static_cast<double>(items));
    }
    std::sort(per_item.begin(), per_item.end());
    double median = per_item[per_item.size() / 2];
    results_.push_back({name, items, median, error});
    if (error.empty()) {
      printf("%-40s %14.1f ns/item %10ld items\n", name.c_str(), median, items);
    } else {
      printf("%-40s ERROR %s\n", name.c_str(), error.c_str());
    }
    fflush(stdout);
  }

  // Writes the JSON file when one was asked for; the exit status: 1 when a
  // measure reported a wrong result.
  int Finish() const {
    bool failed = false;
    for (const Result& r : results_) failed = failed || !r.error.empty();
    if (out_.empty()) return failed ? 1 : 0;
    FILE* f = fopen(out_.c_str(), "w");
    if (f == nullptr) return 1;
    fprintf(f, "{\n  \"context\": {\"library_build_type\": \"release\"},\n  \"benchmarks\": [\n");
    for (size_t i = 0; i < results_.size(); ++i) {
      const Result& r = results_[i];
      fprintf(f,
              "    {\"name\": \"%s\", \"run_name\": \"%s\", \"run_type\": \"iteration\", "
              "\"iterations\": %ld, \"real_time\": %.3f, \"cpu_time\": %.3f, "
              "\"time_unit\": \"ns\"%s%s%s}%s\n",
              r.name.c_str(), r.name.c_str(), r.items, r.ns, r.ns,
              r.error.empty() ? "" : ", \"error_occurred\": true, \"error_message\": \"",
              r.error.c_str(), r.error.empty() ? "" : "\"", i + 1 < results_.size() ? "," : "");
    }
    fprintf(f, "  ]\n}\n");
    fclose(f);
    return failed ? 1 : 0;
  }

 private:
  struct Result {
    std::string name;
    long items;
    double ns;
    std::string error;
  };
  std::string out_;
  std::string filter_;
  int repetitions_ = 3;
  std::vector<Result> results_;
};

}  // namespace kor::bench
