// velocore: looks after Velocore data files. Commands:
//   info FILE                 header, size classes, tables and keys, journal
//   verify FILE               checks every page and record; exit 0 clean,
//                             1 damaged (each problem printed), 2 unreadable
//   dump FILE [TABLE] --csv|--json    every record, fields by declaration
//   schema FILE [TABLE]       the table's declaration as JSON
//   load FILE TABLE --schema S.json --csv DATA.csv
//                             makes the table when missing, adds the rows
//   recover FILE              replays or drops a pending journal
// Every command takes --owner TEXT for a file with the ENCRYPT attribute.
// Bad input gives one line on standard error and a non-zero status.
#include <cstdio>
#include <iostream>

#include "files/velocore/status.h"
#include "files/velocore/verify.h"
#include "runtime/core/module.h"
#include "runtime/core/startup.h"
#include "runtime/os/os.h"
#include "runtime/runtime_init.h"
#include "tools/velocore/tool.h"

namespace velocore_tool {

using namespace kor::vel;

void Fail(const std::string& text) { std::cerr << "velocore: " << text << "\n"; }

std::unique_ptr<PageStore> OpenFile(const Args& args, bool write) {
  auto store = std::make_unique<PageStore>();
  uint32_t mode = (write ? kor::kOsReadWrite : kor::kOsReadOnly) | kor::kOsDenyNone;
  Status s = store->Open(args.file, mode, args.owner);
  if (s.ok()) return store;
  if (s.code == kor::kErrInvalidDataFile) {
    Fail(args.file + " is not a Velocore data file (too short or no signature)" +
         (args.owner.empty() ? "; if it is encrypted, give --owner"
                             : "; or the OWNER text is wrong"));
  } else if (s.is_check()) {
    Fail(args.file + " is damaged: " + s.Describe());
  } else {
    Fail("cannot open " + args.file + ": " + s.Describe());
  }
  return nullptr;
}

bool OpenTable(PageStore& store, const Args& args, Table* table) {
  std::vector<TableName> tables;
  Status s = ListTables(store, &tables);
  if (!s.ok()) {
    Fail(args.file + " is damaged: " + s.Describe());
    return false;
  }
  std::string name = args.table;
  std::string names;
  for (const TableName& t : tables) names += (names.empty() ? "" : ", ") + t.name;
  if (name.empty()) {
    if (tables.size() != 1) {
      Fail(args.file + " holds " + std::to_string(tables.size()) + " tables (" + names +
           "); name one");
      return false;
    }
    name = tables[0].name;
  }
  std::string why;
  s = table->Open(name, nullptr, &why);
  if (s.code == kor::kErrFileNotFound) {
    Fail("no table " + name + " in " + args.file + " (tables: " + (names.empty() ? "none" : names) +
         ")");
  } else if (!s.ok()) {
    Fail("table " + name + " in " + args.file + " cannot be read: " + s.Describe());
  }
  return s.ok();
}

int Verify(const Args& args) {
  auto store = OpenFile(args, false);
  if (!store) return kUnreadable;
  VerifyReport report;
  Status s = VerifyFile(*store, &report);
  if (!s.ok()) {
    Fail(args.file + " cannot be read: " + s.Describe());
    return kUnreadable;
  }
  for (const Problem& p : report.problems) std::cout << DescribeProblem(p) << "\n";
  if (store->journal_outcome() == JournalOutcome::kReadThrough) {
    std::cout << "note: a pending journal was read through; run velocore recover\n";
  }
  std::cout << (report.clean() ? "clean" : std::to_string(report.problems.size()) + " problem(s)")
            << ": " << report.pages << " pages, " << report.records << " records, "
            << report.tables.size() << " tables\n";
  return report.clean() ? kOk : kDamaged;
}

int Recover(const Args& args) {
  auto store = OpenFile(args, true);
  if (!store) return kUnreadable;
  switch (store->journal_outcome()) {
    case JournalOutcome::kNone: std::cout << "no journal pending\n"; return kOk;
    case JournalOutcome::kReplayed:
      std::cout << "journal replayed: the interrupted update is complete\n";
      return kOk;
    case JournalOutcome::kDropped:
      std::cout << "damaged journal dropped: the file keeps its state from before the "
                   "interrupted update\n";
      return kOk;
    case JournalOutcome::kReadThrough:
      Fail("another program holds the file; its journal could not be replayed now");
      return kUnreadable;
  }
  return kOk;
}

}  // namespace velocore_tool

namespace {

const kor::InitEntry kInitTable[] = {KOR_RUNTIME_CORE_INIT_ENTRIES};
kor::ModuleDescriptor g_module = {nullptr,
                                  std::begin(kInitTable),
                                  std::end(kInitTable),
                                  nullptr,
                                  nullptr,
                                  nullptr,
                                  nullptr,
                                  nullptr,
                                  "velocore"};

int Usage() {
  std::cerr << "usage: velocore info|verify|recover FILE [--owner TEXT]\n"
               "       velocore dump FILE [TABLE] --csv|--json [--owner TEXT]\n"
               "       velocore schema FILE [TABLE] [--owner TEXT]\n"
               "       velocore load FILE TABLE --schema S.json --csv DATA.csv [--owner TEXT]\n";
  return velocore_tool::kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  kor::RegisterModule(&g_module, nullptr);
  kor::vel::RecoveryPoint point;  // internal checks are reported, never a halt
  velocore_tool::Args a;
  std::vector<std::string> plain;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool has_value = i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0;
    if (arg == "--json") a.json = true;
    else if (arg == "--owner" && i + 1 < argc) a.owner = argv[++i];
    else if (arg == "--schema" && i + 1 < argc) a.schema_path = argv[++i];
    else if (arg == "--csv" && has_value && !plain.empty() && plain[0] == "load")
      a.csv_path = argv[++i];
    else if (arg == "--csv") a.csv = true;
    else if (arg.rfind("--", 0) == 0) return Usage();
    else plain.push_back(arg);
  }
  if (plain.size() < 2 || plain.size() > 3) return Usage();
  a.command = plain[0];
  a.file = plain[1];
  if (plain.size() == 3) a.table = plain[2];
  using namespace velocore_tool;
  if (a.command == "info") return Info(a);
  if (a.command == "verify") return Verify(a);
  if (a.command == "recover") return Recover(a);
  if (a.command == "dump") return Dump(a);
  if (a.command == "schema") return Schema(a);
  if (a.command == "load") return Load(a);
  return Usage();
}
