// Shared by the Velocore tests: a small declaration with every kind of key
// (unique, DUP NOCASE with a descending component, OPT), a MEMO and a BLOB;
// record images for it; a table opened over in-memory files; the record
// set of a table, for before/after comparisons; and the walk of failing
// writes over an update.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "files/velocore/memory_files.h"
#include "files/velocore/table.h"
#include "files/velocore/verify.h"
#include "runtime/locale/collation.h"
#include "runtime/values/data_types.h"

namespace kor::vel::testing {

// ID LONG @0, NAME STRING(20) @4, AMOUNT DECIMAL(7,2) @24 (4 bytes), DAY DATE
// @28, CODE CSTRING(8) @32; record length 40.
inline TableSchema SampleSchema() {
  TableSchema t;
  t.record_length = 40;
  auto field = [&](uint8_t type, uint16_t offset, const char* name, uint16_t size) {
    FieldDecl f;
    f.type = type;
    f.offset = offset;
    f.name = name;
    f.size = size;
    if (type == kTypeString || type == kTypeCString) {
      f.characters = uint16_t(type == kTypeString ? size : size - 1);
      f.picture = type == kTypeString ? OptText("@s20") : std::nullopt;
    }
    t.fields.push_back(f);
  };
  field(kTypeLong, 0, "SMP:ID", 4);
  field(kTypeString, 4, "SMP:NAME", 20);
  field(kTypeDecimal, 24, "SMP:AMOUNT", 4);
  t.fields.back().digits = 7;
  t.fields.back().places = 2;
  field(kTypeDate, 28, "SMP:DAY", 4);
  field(kTypeCString, 32, "SMP:CODE", 8);
  t.memos.push_back({"SMP:NOTES", "notes", 300, 0});
  t.memos.push_back({"SMP:PIC", std::nullopt, 1000, kStreamBlob | kStreamBinary});
  t.keys.push_back({std::nullopt, "SMP:IDKEY", kKeyPrimary, {{0, 0}}});
  t.keys.push_back({"byname", "SMP:NAMEKEY", kKeyDup | kKeyNoCase, {{1, 0}, {3, 1}}});
  t.keys.push_back({std::nullopt, "SMP:CODEKEY", kKeyDup | kKeyOpt, {{4, 0}}});
  return t;
}

inline Bytes SampleImage(int32_t id, const std::string& name, int32_t cents = 0, int32_t day = 0,
                         const std::string& code = "") {
  Bytes b(40, 0);
  StoreLong(b.data(), id);
  StoreText(b.data() + 4, kTypeString, 20, name);
  // DECIMAL(7,2) in 4 bytes: sign nibble, then 7 digits.
  uint32_t v = uint32_t(cents < 0 ? -cents : cents);
  b[24] = uint8_t((cents < 0 ? 0xF0 : 0) | (v / 1000000 % 10));
  b[25] = uint8_t((v / 100000 % 10) << 4 | (v / 10000 % 10));
  b[26] = uint8_t((v / 1000 % 10) << 4 | (v / 100 % 10));
  b[27] = uint8_t((v / 10 % 10) << 4 | (v % 10));
  StoreDate(b.data() + 28, day);
  StoreText(b.data() + 32, kTypeCString, 8, code);
  return b;
}

inline CollationRecord CurrentCollation() {
  CollationRecord r;
  SaveCollationRecord(&r);
  return r;
}

// Every record of a table: number -> image and memos.
struct TableState {
  std::map<uint32_t, std::pair<Bytes, std::vector<Bytes>>> records;
  bool operator==(const TableState&) const = default;
};

inline TableState ReadState(Table& t) {
  TableState state;
  uint32_t at = 0, record = 0;
  bool found = true;
  while (true) {
    Status s = t.NextRecord(at, &record, &found);
    EXPECT_TRUE(s.ok()) << s.Describe();
    if (!s.ok() || !found) break;
    Bytes image;
    EXPECT_TRUE(t.Read(record, &image, &found).ok());
    std::vector<Bytes> memos(t.schema().memos.size());
    for (size_t m = 0; m < memos.size(); ++m) EXPECT_TRUE(t.ReadMemo(record, m, &memos[m]).ok());
    state.records[record] = {image, memos};
    at = record;
  }
  return state;
}

// Verifies a file and returns its problems, one per line ("" when clean).
inline std::string VerifyProblems(PageStore& store, uint32_t* unused = nullptr,
                                  bool records = true) {
  VerifyReport report;
  Status s = VerifyFile(store, &report, records);
  if (!s.ok()) return "unreadable: " + s.Describe();
  std::string out;
  for (const Problem& p : report.problems) out += DescribeProblem(p) + "\n";
  if (unused) *unused = report.unused_slots;
  return out;
}

// Runs an update once per failing write: the write, flush or truncation at
// event n = 1, 2, ... fails, once or from then on, with an error or short
// (whole units of it done), until the update no longer reaches event n.
// `check(answer, n, persists, short_write)` judges each run; the walk stops
// at the first test failure.
template <typename Run, typename Check>
void ForEachFailingWrite(MemoryFiles& files, Run run, Check check) {
  struct Variant {
    bool persists, short_write;
  };
  for (Variant v :
       {Variant{false, false}, Variant{true, false}, Variant{false, true}, Variant{true, true}}) {
    for (int64_t n = 1;; ++n) {
      MemoryFiles::Plan plan;
      plan.fail_at = n;
      plan.fail_persists = v.persists;
      plan.short_write = v.short_write;
      files.SetPlan(plan);
      Status s = run();
      bool reached = files.events() >= n;
      files.SetPlan({});
      check(s, n, v.persists, v.short_write);
      if (::testing::Test::HasFailure() || !reached) break;
    }
  }
}

// Installs in-memory files for the length of a test.
class MemoryFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = ReplaceFileServices(&files_); }
  void TearDown() override { ReplaceFileServices(previous_); }
  MemoryFiles files_;
  FileServices* previous_ = nullptr;
  RecoveryPoint point_;  // checks in these tests are findings, never a halt
};

}  // namespace kor::vel::testing
