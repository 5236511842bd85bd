// Filling one page of the project list from a 100,000-record file in
// priority order, against reading the same rows with plain RESET and NEXT
// calls. The page is the main window's list: kPageRows rows. Two anchors:
// the middle of the file (the page is read forward) and the last record (one
// row forward, the rest completed backward from the first row). Before
// timing, both sides' rows are compared, and a difference fails the run.
// The goal: a page fill costs at most twice the plain reads.
#include <benchmark/benchmark.h>

#include <string.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/core/browse_engine.h"
#include "files/driver.h"
#include "files/statements.h"
#include "files/velocore/project_file_test_support.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os.h"

namespace {

using kor::vel::testing::ProjectFile;

constexpr int kRecords = 100000;
constexpr int32_t kPageRows = 10;  // the rows the main window's list shows
constexpr uint32_t kNameSize = 50;
constexpr uint32_t kRowSize = kNameSize + mxb::kPositionSize;

std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    auto f = std::filesystem::temp_directory_path() /
             ("browse_bench_" + std::to_string(kor::OsCurrentProcessId()));
    std::filesystem::create_directories(f);
    return f;
  }();
  return folder;
}

struct CleanUp {
  CleanUp() { Folder(); }
  ~CleanUp() {
    std::error_code ec;
    std::filesystem::remove_all(Folder(), ec);
  }
} clean_up;

// The open file, loaded once in one transaction; priorities 0..199 repeat.
struct Bench {
  ProjectFile f{(Folder() / "apps.vel").string(), false};
  kor::vel::OneFileView view{&f.priority_key};
  kor::Queue queue{kRowSize};
  mxb::BrowseEngine engine{&view, &queue, kNameSize,
                           [this](void* row) { memcpy(row, f.record + 80, kNameSize); }};
  std::string middle, last;
  bool ok = false;

  Bench() {
    kor::CREATE(&f.file);
    kor::SHARE(&f.file);
    kor::LOGOUT(1, {&f.file});
    for (int i = 0; i < kRecords && kor::ERRORCODE() == 0; ++i) {
      f.Fill("C:\\PROJECTS\\G" + std::to_string(i % 97) + "\\", "P" + std::to_string(i), 0,
             uint8_t(i * 7919 % 200));
      kor::ADD(&f.file);
    }
    kor::COMMIT();
    engine.set_page_size(kPageRows);
    middle = PositionAt(kRecords / 2);
    last = PositionAt(kRecords - 1);
    ok = kor::ERRORCODE() == 0 && Same(middle) && Same(last);
  }
  std::string PositionAt(int ordinal) {
    view.SetToStart();
    for (int i = 0; i <= ordinal; ++i) view.Next();
    return view.Position();
  }
  // The names of the page the engine fills around `anchor`.
  std::vector<std::string> EnginePage(const std::string& anchor) {
    engine.FillPage(anchor);
    std::vector<std::string> names;
    for (int32_t r = 1; r <= engine.rows(); ++r) {
      names.emplace_back(static_cast<const char*>(queue.Row(uint32_t(r))), kNameSize);
    }
    return names;
  }
  // The same rows with plain calls: forward from the anchor, and when the
  // view ends first, backward from the anchor for the rest.
  std::vector<std::string> PlainPage(const std::string& anchor) {
    std::vector<std::string> names;
    view.Reset(anchor);
    while (int32_t(names.size()) < kPageRows) {
      view.Next();
      if (kor::ERRORCODE() != 0) break;
      names.emplace_back(reinterpret_cast<const char*>(f.record + 80), kNameSize);
    }
    if (int32_t(names.size()) < kPageRows) {
      view.Reset(anchor);
      view.Previous();  // the anchor itself
      while (int32_t(names.size()) < kPageRows) {
        view.Previous();
        if (kor::ERRORCODE() != 0) break;
        names.insert(names.begin(),
                     std::string(reinterpret_cast<const char*>(f.record + 80), kNameSize));
      }
    }
    return names;
  }
  bool Same(const std::string& anchor) {
    auto a = EnginePage(anchor);
    return int32_t(a.size()) == kPageRows && a == PlainPage(anchor);
  }
};

Bench& Shared() {
  static Bench bench;
  return bench;
}

// Measure/kor fills the page; Measure/next reads it with plain calls.
void FillPage(benchmark::State& state, bool at_end) {
  Bench& b = Shared();
  if (!b.ok) return state.SkipWithError("the two sides' rows differ");
  const std::string& anchor = at_end ? b.last : b.middle;
  for (auto _ : state) {
    b.engine.FillPage(anchor);
    benchmark::DoNotOptimize(b.engine.rows());
  }
}

void PlainNext(benchmark::State& state, bool at_end) {
  Bench& b = Shared();
  if (!b.ok) return state.SkipWithError("the two sides' rows differ");
  const std::string& anchor = at_end ? b.last : b.middle;
  for (auto _ : state) benchmark::DoNotOptimize(b.PlainPage(anchor).size());
}

const bool registered = [] {
  benchmark::RegisterBenchmark("BrowsePageMiddle/kor", FillPage, false);
  benchmark::RegisterBenchmark("BrowsePageMiddle/next", PlainNext, false);
  benchmark::RegisterBenchmark("BrowsePageEnd/kor", FillPage, true);
  benchmark::RegisterBenchmark("BrowsePageEnd/next", PlainNext, true);
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
