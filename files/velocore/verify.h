// Checking a whole file against everything the format promises: every page
// in its size class and decodable, the codec's round trip byte for byte, key
// order within and across pages, separators against their children, every
// key entry against its data record and back, statistics counts, definition
// streams, collation records and memo block chains. Used by the velocore
// tool's verify and info commands and by the tests.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "files/velocore/page_store.h"
#include "files/velocore/schema.h"

namespace kor::vel {

struct Problem {
  uint32_t page = kNoPage;  // kNoPage: the file as a whole
  int32_t record = -1;      // index on the page, -1: the page as a whole
  std::string text;
};

struct TableSummary {
  std::string name;
  uint32_t number = 0;
  bool definition_ok = false;
  TableSchema schema;
  bool oem = false;
  uint32_t records = 0;           // data records found
  uint32_t counted = 0;           // as the statistics record says
  std::vector<uint32_t> entries;  // per key: entries found
  uint32_t memo_blocks = 0;
};

struct VerifyReport {
  std::vector<Problem> problems;
  uint32_t pages = 0;
  uint32_t depth = 0;
  uint64_t records = 0;
  std::array<uint32_t, kClassCount> pages_per_class{};
  uint32_t unused_slots = 0;  // slots of a range no page of the tree occupies
  bool transaction_record = false;
  std::vector<TableSummary> tables;
  bool clean() const { return problems.empty(); }
};

// Walks the file as the store's current header describes it. Fails only
// when the file cannot be read at all; damage goes into the report.
// Without `records` only the pages and the tree's shape are checked (for a
// tree that holds no tables).
Status VerifyFile(PageStore& store, VerifyReport* report, bool records = true);
// One line per problem: "page 12 record 3: text".
std::string DescribeProblem(const Problem& p);

}  // namespace kor::vel
