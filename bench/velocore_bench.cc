// The VELOCORE driver against SQLite on a table shaped like the project list
// (PATH STRING(80), NAME STRING(50), TAG SHORT, PRIORITY BYTE; a unique
// NOCASE key on PATH+NAME, a DUP key on PRIORITY), 100,000 records, both
// through their ordinary interfaces (the statement entries; prepared
// statements):
//   VelBulkAdd      every record added in one transaction (a fresh file);
//   VelKeyScan      the whole table in priority order (SET/NEXT; SELECT ...
//                   ORDER BY priority);
//   VelRandomGet    10,000 reads by the unique key;
//   VelDurableAdd   one ADD outside a transaction, flushed to the disk
//                   (SQLite: journal_mode=DELETE, synchronous=FULL).
// Beside the first two, the floor of the same work over this stored form
// ("pages"): the pages the load must code and write, the pages the scan must
// read and decode, with nothing else done.
// CPU time, but wall-clock time for the durable add (it waits for the disk). Each side's
// results are checked against the other's (record counts, the order of a
// scan, the values found) and a difference makes the benchmark fail. The
// counters give each file's size after the bulk load, the part of the load's
// CPU time its commit took (the pages coded and written) and the flushes the
// Velocore side made per durable ADD.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/driver.h"
#include "files/operations.h"
#include "files/statements.h"
#include "files/velocore/page_codec.h"
#include "files/velocore/page_store.h"
#include "files/velocore/project_file_test_support.h"
#include "runtime/core/error_state.h"
#include "runtime/os/file_services.h"
#include "runtime/os/os.h"

namespace {

using kor::vel::testing::ProjectFile;

constexpr int kRecords = 100000;
constexpr int kLookups = 10000;

std::string PathOf(int i) {
  return "C:\\PROJECTS\\GROUP" + std::to_string(i % 97) + "\\P" + std::to_string(i);
}
std::string NameOf(int i) { return "Project " + std::to_string(i * 7 % kRecords); }
int PriorityOf(int i) { return int(uint32_t(i) * 2654435761u >> 24) % 10; }

std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    auto f = std::filesystem::temp_directory_path() /
             ("velocore_bench_" + std::to_string(kor::OsCurrentProcessId()));
    std::filesystem::create_directories(f);
    return f;
  }();
  return folder;
}

struct CleanUp {
  CleanUp() { Folder(); }  // the folder's name outlives this
  ~CleanUp() {
    std::error_code ec;
    std::filesystem::remove_all(Folder(), ec);
  }
} clean_up;

// ---- Velocore side ----

void Fill(ProjectFile& f, int i) {
  f.Fill(PathOf(i), NameOf(i), int16_t(i % 30000), uint8_t(PriorityOf(i)));
}

// CPU milliseconds since `start` (std::clock: this process's CPU time).
double CpuMsSince(std::clock_t start) {
  return 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC;
}

// Creates `name` and adds every record in one transaction; false on an
// error. `commit_ms` (may be null) gets the CPU time of the commit.
bool KorLoad(const std::string& name, double* commit_ms) {
  std::filesystem::remove(name);
  ProjectFile f(name, false);
  kor::CREATE(&f.file);
  kor::OPEN(&f.file, 0x12);
  kor::LOGOUT(1, {&f.file});
  for (int i = 0; i < kRecords && kor::ERRORCODE() == 0; ++i) {
    Fill(f, i);
    kor::ADD(&f.file);
  }
  if (kor::ERRORCODE() != 0) return false;
  std::clock_t commit_start = std::clock();
  kor::COMMIT();
  if (commit_ms != nullptr) *commit_ms = CpuMsSince(commit_start);
  bool ok = kor::ERRORCODE() == 0 && kor::RECORDSfile(&f.file) == kRecords;
  kor::CLOSE(&f.file);
  return ok;
}

// ---- SQLite side ----

sqlite3* SqlOpen(const std::string& name) {
  sqlite3* db = nullptr;
  sqlite3_open(name.c_str(), &db);
  sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;", nullptr, nullptr,
               nullptr);
  return db;
}

bool SqlLoad(const std::string& name, double* commit_ms) {
  std::filesystem::remove(name);
  sqlite3* db = SqlOpen(name);
  sqlite3_exec(db,
               "CREATE TABLE apps(path TEXT, name TEXT, tag INTEGER, priority INTEGER);"
               "CREATE UNIQUE INDEX pathkey ON apps(path COLLATE NOCASE, name COLLATE NOCASE);"
               "CREATE INDEX prioritykey ON apps(priority);",
               nullptr, nullptr, nullptr);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO apps VALUES(?,?,?,?)", -1, &insert, nullptr);
  bool ok = true;
  for (int i = 0; i < kRecords && ok; ++i) {
    std::string path = PathOf(i), project = NameOf(i);
    sqlite3_bind_text(insert, 1, path.c_str(), int(path.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 2, project.c_str(), int(project.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 3, i % 30000);
    sqlite3_bind_int(insert, 4, PriorityOf(i));
    ok = sqlite3_step(insert) == SQLITE_DONE;
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  std::clock_t commit_start = std::clock();
  ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
  if (commit_ms != nullptr) *commit_ms = CpuMsSince(commit_start);
  sqlite3_close(db);
  return ok;
}

const std::string& KorFile() {
  static const std::string name = [] {
    std::string n = (Folder() / "apps.vel").string();
    KorLoad(n, nullptr);
    return n;
  }();
  return name;
}

const std::string& SqlFile() {
  static const std::string name = [] {
    std::string n = (Folder() / "apps.db").string();
    SqlLoad(n, nullptr);
    return n;
  }();
  return name;
}

// ---- bulk load ----

void BulkAdd(benchmark::State& state, bool (*load)(const std::string&, double*), const char* file) {
  std::string name = (Folder() / file).string();
  double commit_ms = 0, total = 0;
  for (auto _ : state) {
    if (!load(name, &commit_ms)) state.SkipWithError("the load failed");
    total += commit_ms;
  }
  state.counters["file_bytes"] = double(std::filesystem::file_size(name));
  state.counters["commit_ms"] = total / double(state.iterations());
  std::filesystem::remove(name);
}
void VelBulkAddKor(benchmark::State& state) { BulkAdd(state, &KorLoad, "bulk.vel"); }
void VelBulkAddSqlite(benchmark::State& state) { BulkAdd(state, &SqlLoad, "bulk.db"); }
BENCHMARK(VelBulkAddKor)->Name("VelBulkAdd/kor")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(VelBulkAddSqlite)
    ->Name("VelBulkAdd/sqlite")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// ---- scan in priority order: a hash of the paths in the order read ----

uint64_t Mix(uint64_t h, std::string_view s) {
  for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
  return h;
}

uint64_t KorScan() {
  ProjectFile f(KorFile(), false);
  kor::OPEN(&f.file, 0x22);
  uint64_t h = 14695981039346656037ull;
  int n = 0;
  kor::SETkey(&f.priority_key);
  for (kor::NEXT(&f.file); kor::ERRORCODE() == 0; kor::NEXT(&f.file), ++n) h = Mix(h, f.PathView());
  kor::CLOSE(&f.file);
  return n == kRecords ? h : 0;
}

uint64_t SqlScan() {
  sqlite3* db = SqlOpen(SqlFile());
  sqlite3_stmt* scan = nullptr;
  sqlite3_prepare_v2(db, "SELECT path, name, tag, priority FROM apps ORDER BY priority, rowid", -1,
                     &scan, nullptr);
  uint64_t h = 14695981039346656037ull;
  int n = 0;
  for (; sqlite3_step(scan) == SQLITE_ROW; ++n) {
    h = Mix(h, reinterpret_cast<const char*>(sqlite3_column_text(scan, 0)));
  }
  sqlite3_finalize(scan);
  sqlite3_close(db);
  return n == kRecords ? h : 0;
}

void Same(benchmark::State& state, uint64_t ours, uint64_t theirs) {
  if (ours == 0 || ours != theirs) state.SkipWithError("the two sides read different results");
}

void VelKeyScanKor(benchmark::State& state) {
  KorFile();
  uint64_t h = 0;
  for (auto _ : state) h = KorScan();
  Same(state, h, SqlScan());
}
void VelKeyScanSqlite(benchmark::State& state) {
  SqlFile();
  uint64_t h = 0;
  for (auto _ : state) h = SqlScan();
  Same(state, h, KorScan());
}
BENCHMARK(VelKeyScanKor)->Name("VelKeyScan/kor")->Unit(benchmark::kMillisecond);
BENCHMARK(VelKeyScanSqlite)->Name("VelKeyScan/sqlite")->Unit(benchmark::kMillisecond);

// ---- the scan's floor: the pages it needs, each read and decoded once ----
// The data records and the priority key's entries lie in the file's one
// tree beside the unique key's entries (key number 1). A scan in priority
// order must read and decode at least every page holding a data record or
// a priority entry, and the internal pages above them, once each: that
// cost, with no search, no record copied and no field converted, bounds
// any scan of this stored form from below. A subtree is passed over when
// its separators show it holds only unique-key entries.

using kor::vel::CompareKeys;
using Key = std::vector<uint8_t>;  // a key of the tree: table (4), kind, ...

struct FloorWalk {
  kor::vel::PageStore& store;
  Key lo, hi;  // the unique key's entries, [table 01, table 02): passed over when set
  std::vector<const kor::vel::Page*> pages;

  // `upper`: the first key past this page's range, empty for none. Page
  // pointers stay valid while nothing changes, so a parent is read where it
  // lies while its children load.
  bool Walk(uint32_t id, std::span<const uint8_t> upper) {
    const kor::vel::Page* p = nullptr;
    if (!store.Get(id, &p).ok()) return false;
    pages.push_back(p);
    for (size_t i = 0; !p->leaf() && i < p->children.size(); ++i) {
      std::span<const uint8_t> next = i + 1 < p->records.size() ? p->records[i + 1].key() : upper;
      bool unique_only = !lo.empty() && CompareKeys(p->records[i].key(), lo) >= 0 &&
                         !next.empty() && CompareKeys(next, hi) <= 0;
      if (!unique_only && !Walk(p->children[i], next)) return false;
    }
    return true;
  }
};

// The pages of the loaded file, every one or (`scan_only`) those a scan in
// priority order needs; 0 on a failure.
size_t WalkPages(kor::vel::PageStore& store, bool scan_only,
                 std::vector<const kor::vel::Page*>* pages = nullptr) {
  if (!store.Open(KorFile(), 0x22, {}).ok()) return 0;  // no owner: not enciphered
  FloorWalk walk{store, {}, {}, {}};
  if (scan_only) {
    // The smallest key of the tree is the table's first unique-key entry.
    uint32_t id = store.header().root;
    const kor::vel::Page* p = nullptr;
    while (store.Get(id, &p).ok() && !p->leaf()) id = p->children[0];
    if (p == nullptr || p->records.empty() || p->records[0].key_length < 5 ||
        p->records[0].key()[4] != 1) {
      return 0;
    }
    walk.lo.assign(p->records[0].key().begin(), p->records[0].key().begin() + 5);
    walk.hi = walk.lo;
    walk.hi[4] = 2;
  }
  if (!walk.Walk(store.header().root, {})) return 0;
  if (pages != nullptr) *pages = walk.pages;
  return walk.pages.size();
}

int KorScanPages() {
  kor::vel::PageStore store;
  size_t n = WalkPages(store, true);
  store.Close();
  return int(n);
}

void VelKeyScanPages(benchmark::State& state) {
  KorFile();
  int pages = 0;
  for (auto _ : state) pages = KorScanPages();
  if (pages <= 0) state.SkipWithError("the walk failed");
  state.counters["pages"] = pages;
}
BENCHMARK(VelKeyScanPages)->Name("VelKeyScan/pages")->Unit(benchmark::kMillisecond);

// ---- the bulk load's floor: the loaded file's pages coded and written ----
// However its ADDs go, a load that leaves this file must code each of its
// pages once (run-length coding, shared prefixes) and write them, flushed:
// that cost, with no tree built and no key made, bounds any load into this
// stored form from below. The pages are read and decoded first, untimed.
void VelBulkAddPages(benchmark::State& state) {
  kor::vel::PageStore store;
  std::vector<const kor::vel::Page*> pages;
  if (WalkPages(store, false, &pages) == 0) state.SkipWithError("the walk failed");
  std::string name = (Folder() / "coded.vel").string();
  std::vector<uint8_t> coded;
  int64_t bytes = 0;
  for (auto _ : state) {
    kor::OsHandle out = kor::kOsNoHandle;
    bool ok = kor::OsCreate(name.c_str(), 0, &out) == kor::kOsOk;
    bytes = kor::vel::kHeaderSize;
    for (const kor::vel::Page* p : pages) {
      uint32_t done = 0;
      ok = ok && kor::vel::EncodePage(*p, uint32_t(bytes), &coded).ok() &&
           kor::OsWriteAt(out, bytes, coded.data(), uint32_t(coded.size()), &done) == kor::kOsOk;
      bytes += int64_t(coded.size());
    }
    ok = ok && kor::OsFlush(out) == kor::kOsOk;
    kor::OsClose(out);
    if (!ok) state.SkipWithError("coding or writing failed");
  }
  store.Close();
  std::filesystem::remove(name);
  state.counters["pages"] = double(pages.size());
  state.counters["file_bytes"] = double(bytes);
}
BENCHMARK(VelBulkAddPages)->Name("VelBulkAdd/pages")->Unit(benchmark::kMillisecond);

// ---- random reads by the unique key: the sum of the tags found ----

std::vector<int> Lookups() {
  std::minstd_rand random(7);
  std::vector<int> keys(kLookups);
  for (int& k : keys) k = int(random() % kRecords);
  return keys;
}

int64_t KorGets(ProjectFile& f, const std::vector<int>& keys) {
  int64_t sum = 0;
  for (int i : keys) {
    f.Fill(PathOf(i), NameOf(i), 0, 0);
    kor::DriverArgs args;
    args.key = &f.path_key;
    kor::ClearError();
    kor::DispatchFileOp(kor::kOpGETfilekey, &f.file, &args);
    if (kor::ERRORCODE() != 0) return -1;
    sum += f.Tag();
  }
  return sum;
}

int64_t SqlGets(sqlite3* db, const std::vector<int>& keys) {
  sqlite3_stmt* get = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT path, name, tag, priority FROM apps WHERE path = ? COLLATE NOCASE AND "
                     "name = ? COLLATE NOCASE",
                     -1, &get, nullptr);
  int64_t sum = 0;
  for (int i : keys) {
    std::string path = PathOf(i), project = NameOf(i);
    sqlite3_bind_text(get, 1, path.c_str(), int(path.size()), SQLITE_STATIC);
    sqlite3_bind_text(get, 2, project.c_str(), int(project.size()), SQLITE_STATIC);
    if (sqlite3_step(get) != SQLITE_ROW) sum = INT64_MIN / 2;
    sum += sqlite3_column_int(get, 2);
    sqlite3_reset(get);
  }
  sqlite3_finalize(get);
  return sum;
}

void VelRandomGetKor(benchmark::State& state) {
  std::vector<int> keys = Lookups();
  ProjectFile f(KorFile(), false);
  kor::OPEN(&f.file, 0x22);
  int64_t sum = 0;
  for (auto _ : state) sum = KorGets(f, keys);
  kor::CLOSE(&f.file);
  sqlite3* db = SqlOpen(SqlFile());
  Same(state, uint64_t(sum), uint64_t(SqlGets(db, keys)));
  sqlite3_close(db);
}
void VelRandomGetSqlite(benchmark::State& state) {
  std::vector<int> keys = Lookups();
  sqlite3* db = SqlOpen(SqlFile());
  int64_t sum = 0;
  for (auto _ : state) sum = SqlGets(db, keys);
  sqlite3_close(db);
  ProjectFile f(KorFile(), false);
  kor::OPEN(&f.file, 0x22);
  Same(state, uint64_t(sum), uint64_t(KorGets(f, keys)));
  kor::CLOSE(&f.file);
}
BENCHMARK(VelRandomGetKor)->Name("VelRandomGet/kor")->Unit(benchmark::kMillisecond);
BENCHMARK(VelRandomGetSqlite)->Name("VelRandomGet/sqlite")->Unit(benchmark::kMillisecond);

// ---- one durable ADD ----

// Counts the flushes the format asks of the system.
class CountingFiles : public kor::FileServices {
 public:
  uint32_t Flush(kor::OsHandle handle) override {
    ++flushes;
    return FileServices::Flush(handle);
  }
  int64_t flushes = 0;
};

void VelDurableAddKor(benchmark::State& state) {
  ProjectFile f(KorFile(), false);
  kor::OPEN(&f.file, 0x22);
  CountingFiles counting;
  kor::FileServices* previous = kor::ReplaceFileServices(&counting);
  // Repetitions of the benchmark add to the same file: numbering goes on
  // from the last run, so no repetition meets its own earlier keys.
  static int next = kRecords;
  int& i = next;
  for (auto _ : state) {
    Fill(f, i++);
    kor::ADD(&f.file);
    if (kor::ERRORCODE() != 0) state.SkipWithError("ADD failed");
  }
  kor::ReplaceFileServices(previous);
  state.counters["flushes_per_add"] = double(counting.flushes) / double(state.iterations());
  int32_t count = kor::RECORDSfile(&f.file);
  kor::CLOSE(&f.file);
  if (count != i) state.SkipWithError("records were lost");
}
void VelDurableAddSqlite(benchmark::State& state) {
  sqlite3* db = SqlOpen(SqlFile());
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO apps VALUES(?,?,?,?)", -1, &insert, nullptr);
  static int next = 2 * kRecords;  // apart from the ones the Velocore side adds
  int& i = next;
  for (auto _ : state) {
    std::string path = PathOf(i), project = NameOf(i);
    sqlite3_bind_text(insert, 1, path.c_str(), int(path.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 2, project.c_str(), int(project.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 3, i % 30000);
    sqlite3_bind_int(insert, 4, PriorityOf(i++));
    if (sqlite3_step(insert) != SQLITE_DONE) state.SkipWithError("INSERT failed");
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_close(db);
}
BENCHMARK(VelDurableAddKor)
    ->Name("VelDurableAdd/kor")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Iterations(200);
BENCHMARK(VelDurableAddSqlite)
    ->Name("VelDurableAdd/sqlite")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Iterations(200);

}  // namespace

BENCHMARK_MAIN();
