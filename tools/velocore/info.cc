// velocore info: what a person looking after a file wants to know first.
#include <iostream>

#include "files/velocore/verify.h"
#include "runtime/values/data_types.h"
#include "tools/velocore/tool.h"

namespace velocore_tool {

using namespace kor::vel;

namespace {

std::string KeyAttributes(uint8_t a) {
  std::string s;
  if (a & kor::kKeyDup) s += " DUP";
  if (a & kor::kKeyOpt) s += " OPT";
  if (a & kor::kKeyNoCase) s += " NOCASE";
  if (a & kor::kKeyPrimary) s += " PRIMARY";
  if (a & kor::kKeyOnDemand) s += " (built on demand)";
  return s;
}

void PrintTable(const TableSummary& t) {
  std::cout << "  " << t.name << " (table " << t.number << "): " << t.records << " records";
  if (t.counted != t.records) std::cout << " (statistics say " << t.counted << ")";
  std::cout << (t.oem ? ", OEM character set" : "") << "\n";
  if (!t.definition_ok) {
    std::cout << "    definition unreadable\n";
    return;
  }
  std::cout << "    record length " << t.schema.record_length << ", " << t.schema.fields.size()
            << " fields, " << t.schema.memos.size() << " memos\n";
  for (size_t k = 0; k < t.schema.keys.size(); ++k) {
    const KeyDecl& key = t.schema.keys[k];
    std::cout << "    key " << key.label.value_or("?") << KeyAttributes(key.attributes) << ":";
    for (const KeyComponent& c : key.components) {
      std::cout << " " << (c.descending() ? "-" : "")
                << t.schema.fields[c.field].name.value_or("?");
    }
    std::cout << "; " << (k < t.entries.size() ? t.entries[k] : 0) << " entries\n";
  }
}

}  // namespace

int Info(const Args& args) {
  auto store = OpenFile(args, false);
  if (!store) return kUnreadable;
  const Header& disk = store->disk_header();
  const Header& h = store->header();
  int64_t size = 0;
  store->io().Size(&size);
  std::cout << "file: " << args.file << ", " << size << " bytes\n";
  if (store->io().Encrypted()) {
    std::cout << "encryption: ENCRYPT with an OWNER text. The cipher keeps the file readable "
                 "wherever the OWNER text is known; it is no protection against a determined "
                 "reader.\n";
  }
  std::cout << "change counter " << h.change_counter << ", record counter " << h.record_counter
            << ", root page " << (h.root == kNoPage ? std::string("none") : std::to_string(h.root))
            << ", used end " << h.UsedEnd() << "\n";
  switch (store->journal_outcome()) {
    case JournalOutcome::kReadThrough:
      std::cout << "journal: pending (" << disk.journal_end - disk.journal_start
                << " bytes), read through; run velocore recover\n";
      break;
    case JournalOutcome::kDropped:
      std::cout << "journal: pending but damaged; it will be dropped by the next writer\n";
      break;
    default: std::cout << "journal: none\n";
  }
  VerifyReport report;
  Status s = VerifyFile(*store, &report);
  if (!s.ok()) {
    Fail(args.file + " cannot be read: " + s.Describe());
    return kUnreadable;
  }
  std::cout << "size classes in use:\n";
  for (uint32_t k = 1; k <= kMaxClass; ++k) {
    if (h.start[k] == h.end[k]) continue;
    std::cout << "  class " << k << " (" << k * kBlockSize << " bytes): " << h.PagesIn(k)
              << " pages, numbers " << h.start[k] << " to " << h.end[k] - k << "\n";
  }
  std::cout << "tree: " << report.pages << " pages, depth " << report.depth << ", "
            << report.records << " records\n";
  std::cout << "tables:\n";
  for (const TableSummary& t : report.tables) PrintTable(t);
  if (!report.clean()) {
    std::cout << report.problems.size() << " problem(s); run velocore verify\n";
    return kDamaged;
  }
  return kOk;
}

}  // namespace velocore_tool
