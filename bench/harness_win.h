// A small timing harness for the benchmarks that run under Wine (Google
// Benchmark is not built for the cross compilers). Each side of a measure is
// a function that does a known number of items of work, times the work
// itself (without its set-up) and checks its result; the harness runs our
// side and the peer in turns, keeps each one's median time per item, prints
// a table and writes the results in Google
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

  // Measures "measure/kor" (`ours`) against "measure/<peer>" (`theirs`),
  // `items` items of work per run, the two runs taking turns so that a
  // machine shared with other work slows both alike.
  void Compare(const std::string& measure, const std::string& peer, long items,
               const std::function<Run()>& ours, const std::function<Run()>& theirs) {
    if (!filter_.empty() && measure.find(filter_) == std::string::npos) return;
    Side kor, other;
    kor.name = measure + "/kor";
    other.name = measure + "/" + peer;
    for (int r = 0; r < repetitions_ && kor.error.empty() && other.error.empty(); ++r) {
      kor.Add(ours(), items);
      other.Add(theirs(), items);
    }
    Report(kor, items);
    Report(other, items);
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
  struct Side {
    std::string name;
    std::vector<double> per_item;
    std::string error;
    void Add(const Run& run, long items) {
      if (!run.error.empty()) error = run.error;
      per_item.push_back(run.seconds * 1e9 / static_cast<double>(items));
    }
  };

  void Report(Side& side, long items) {
    std::sort(side.per_item.begin(), side.per_item.end());
    double median = side.per_item.empty() ? 0 : side.per_item[side.per_item.size() / 2];
    results_.push_back({side.name, items, median, side.error});
    if (side.error.empty()) {
      printf("%-40s %14.1f ns/item %10ld items\n", side.name.c_str(), median, items);
    } else {
      printf("%-40s ERROR %s\n", side.name.c_str(), side.error.c_str());
    }
    fflush(stdout);
  }

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
