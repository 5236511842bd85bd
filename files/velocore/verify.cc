// The whole-file check (see verify.h): a walk of the tree's pages, then a
// pass over the records in key order, table by table.
#include "files/velocore/verify.h"

#include <algorithm>
#include <set>

#include "files/velocore/definition.h"
#include "files/velocore/key_image.h"
#include "files/velocore/record_keys.h"
#include "files/velocore/table.h"

namespace kor::vel {

namespace {

struct Located {
  Record record;
  uint32_t page;
  int32_t index;
};

class Walker {
 public:
  Walker(PageStore& store, VerifyReport& report) : store_(store), report_(report) {}

  void Page_(uint32_t id, uint8_t level, const Bytes* low, const Bytes* high, uint32_t depth);
  std::vector<Located>& leaves() { return leaves_; }
  const std::set<uint32_t>& seen() const { return seen_; }
  bool fatal = false;
  Status failure;

 private:
  void Add(uint32_t page, int32_t record, std::string text) {
    report_.problems.push_back({page, record, std::move(text)});
  }
  bool Decode(uint32_t id, uint32_t k, Page* page);

  PageStore& store_;
  VerifyReport& report_;
  std::vector<Located> leaves_;
  std::set<uint32_t> seen_;
};

bool Walker::Decode(uint32_t id, uint32_t k, Page* page) {
  Bytes raw;
  RecoveryPoint point;  // checks here are findings, not failures
  Status s = store_.ReadRaw(id, &raw);
  if (!s.ok()) {
    if (!s.is_check() || s.check != kCheckShortRead) {
      fatal = true;
      failure = s;
    }
    Add(id, -1, "cannot be read: " + s.Describe());
    return false;
  }
  PageInfo info;
  s = DecodePage(raw.data(), uint32_t(raw.size()), page, &info);
  if (!s.ok()) {
    Add(id, -1, s.Describe());
    return false;
  }
  if (info.own_offset != uint32_t(PageOffset(id))) {
    Add(id, -1, "offset field " + std::to_string(info.own_offset) + " is not the page's place");
  }
  Bytes again;
  s = EncodePage(*page, info.own_offset, &again);
  if (!s.ok() || again != raw) Add(id, -1, "does not survive the codec's round trip");
  if (again.size() != k * kBlockSize) Add(id, -1, "encodes to another size class");
  return true;
}

void Walker::Page_(uint32_t id, uint8_t level, const Bytes* low, const Bytes* high,
                   uint32_t depth) {
  if (fatal) return;
  if (!seen_.insert(id).second) return Add(id, -1, "reached twice from the root");
  uint32_t k = store_.header().ClassOf(id);
  if (k == 0) return Add(id, -1, "lies in no size class (check 1013)");
  Page page;
  if (!Decode(id, k, &page)) return;
  ++report_.pages;
  ++report_.pages_per_class[k];
  report_.depth = std::max(report_.depth, depth);
  if (level != 0xFF && page.level != level) Add(id, -1, "level does not follow its parent's");
  if (page.records.empty()) return Add(id, -1, "has no records");
  for (size_t i = 0; i < page.records.size(); ++i) {
    std::span<const uint8_t> key = page.records[i].key();
    if (i > 0 && CompareKeys(page.records[i - 1].key(), key) >= 0) {
      Add(id, int32_t(i), "key not above the one before it");
    }
    bool bounded_low = low && (page.leaf() || i > 0);
    if ((bounded_low && CompareKeys(key, *low) < 0) || (high && CompareKeys(key, *high) >= 0)) {
      Add(id, int32_t(i), "key outside the range its parent's separators give");
    }
  }
  if (page.leaf()) {
    for (size_t i = 0; i < page.records.size(); ++i) {
      leaves_.push_back(
          {MakeRecord(page.records[i].key(), page.records[i].data()), id, int32_t(i)});
    }
    return;
  }
  if (page.level == 0xFF) return Add(id, -1, "level too high");
  for (size_t i = 0; i < page.records.size(); ++i) {
    Bytes lo(page.records[i].key().begin(), page.records[i].key().end());
    Bytes hi;
    if (i + 1 < page.records.size())
      hi.assign(page.records[i + 1].key().begin(), page.records[i + 1].key().end());
    Page_(page.children[i], uint8_t(page.level - 1), i == 0 ? low : &lo,
          i + 1 < page.records.size() ? &hi : high, depth + 1);
  }
}

// The pass over the records in key order.
class Records {
 public:
  Records(std::vector<Located>& all, VerifyReport& report) : all_(all), report_(report) {}
  void Run();

 private:
  void Add(const Located& l, std::string text) {
    report_.problems.push_back({l.page, l.index, std::move(text)});
  }
  void Table(size_t first, size_t end, uint32_t number, TableSummary& t);
  void Entries(const std::vector<const Located*>& data,
               std::map<uint8_t, std::vector<const Located*>>& keys, TableSummary& t,
               const CollationRecord& col);
  void Memos(const std::vector<const Located*>& memos, const std::set<uint32_t>& records,
             TableSummary& t);

  std::vector<Located>& all_;
  VerifyReport& report_;
};

void Records::Run() {
  report_.records = all_.size();
  std::map<uint32_t, std::string> names;
  for (const Located& l : all_) {
    std::span<const uint8_t> key = l.record.key();
    if (!key.empty() && key[0] == kTableNamePrefix) {
      if (l.record.data().size() != 4) Add(l, "table-name record without a 4-byte table number");
      else names[Get32BE(l.record.data().data())] = std::string(key.begin() + 1, key.end());
    } else if (key.size() == 1 && key[0] == kTransactionKey) {
      report_.transaction_record = true;
    }
  }
  size_t i = 0;
  while (i < all_.size()) {
    std::span<const uint8_t> key = all_[i].record.key();
    if (!key.empty() && (key[0] == kTableNamePrefix || key[0] == kTransactionKey)) {
      ++i;
      continue;
    }
    if (key.size() < kTablePrefix) {
      Add(all_[i++], "key too short for any record kind");
      continue;
    }
    uint32_t number = Get32BE(key.data());
    size_t end = i;
    while (end < all_.size() && all_[end].record.key().size() >= 4 &&
           Get32BE(all_[end].record.key().data()) == number &&
           all_[end].record.key()[0] < kTableNamePrefix) {
      ++end;
    }
    if (!names.count(number)) {
      Add(all_[i], "records of table " + std::to_string(number) + ", which has no name record");
    } else {
      TableSummary t;
      t.name = names[number];
      t.number = number;
      Table(i, end, number, t);
      report_.tables.push_back(std::move(t));
      names.erase(number);
    }
    i = std::max(end, i + 1);
  }
  for (auto& [number, name] : names) {
    report_.problems.push_back({kNoPage, -1, "table " + name + " has a name but no records"});
  }
}

void Records::Table(size_t first, size_t end, uint32_t number, TableSummary& t) {
  Bytes stream;
  std::vector<const Located*> data, memos;
  std::map<uint8_t, std::vector<const Located*>> keys;
  std::map<uint8_t, uint32_t> stats;
  const Located* collation = nullptr;
  uint16_t block = 0;
  for (size_t i = first; i < end; ++i) {
    const Located& l = all_[i];
    std::span<const uint8_t> key = l.record.key(), value = l.record.data();
    uint8_t kind = key[4];
    if (kind == kKindDefinition) {
      if (key.size() != kTablePrefix + 2 || Get16(key.data() + kTablePrefix) != block++ ||
          value.size() > kDefinitionBlockBytes) {
        Add(l, "definition block out of sequence or too long");
      }
      stream.insert(stream.end(), value.begin(), value.end());
    } else if (kind == kKindCollation) {
      collation = &l;
      if (key.size() != kTablePrefix + 1 || value.size() != 1 + kCollationTableBytes) {
        Add(l, "collation record of the wrong size");
        collation = nullptr;
      }
    } else if (kind == kKindStatistics) {
      Statistics s;
      if (key.size() != kTablePrefix + 1 || !DecodeStatistics(value, &s)) {
        Add(l, "statistics record of the wrong size");
      } else {
        stats[key[5]] = s.count;
      }
    } else if (kind == kKindData) {
      if (key.size() != kTablePrefix + 4) Add(l, "data record key of the wrong size");
      else data.push_back(&l);
    } else if (kind == kKindMemo) {
      if (key.size() != kTablePrefix + 7) Add(l, "memo block key of the wrong size");
      else memos.push_back(&l);
    } else {
      keys[kind].push_back(&l);
    }
  }
  RecoveryPoint point;
  std::string why;
  if (!ReadDefinition(stream, &t.schema).ok()) {
    report_.problems.push_back({kNoPage, -1, "table " + t.name + ": definition stream malformed"});
    return;
  }
  if (!ValidateSchema(t.schema, &why).ok()) {
    report_.problems.push_back({kNoPage, -1, "table " + t.name + ": definition unusable: " + why});
    return;
  }
  t.definition_ok = true;
  if (!collation) {
    report_.problems.push_back({kNoPage, -1, "table " + t.name + ": no collation record"});
    return;
  }
  t.oem = collation->record.data()[0] != 0;
  CollationRecord tables;
  std::copy_n(collation->record.data().data() + 1, kCollationTableBytes,
              reinterpret_cast<uint8_t*>(&tables));
  std::set<uint32_t> numbers;
  for (const Located* l : data) {
    numbers.insert(Get32BE(l->record.key().data() + kTablePrefix));
    if (l->record.data().size() != t.schema.record_length) {
      Add(*l, "data record of " + std::to_string(l->record.data().size()) +
                  " bytes, the declaration says " + std::to_string(t.schema.record_length));
    }
  }
  t.records = uint32_t(data.size());
  Entries(data, keys, t, tables);
  Memos(memos, numbers, t);
  auto count_check = [&](uint8_t which, uint32_t found, const std::string& what) {
    auto it = stats.find(which);
    if (it == stats.end()) {
      report_.problems.push_back({kNoPage, -1, "table " + t.name + ": no statistics for " + what});
    } else if (it->second != found) {
      report_.problems.push_back({kNoPage, -1,
                                  "table " + t.name + ": statistics count " +
                                      std::to_string(it->second) + " for " + what + ", found " +
                                      std::to_string(found)});
    }
  };
  if (stats.count(kKindData)) t.counted = stats[kKindData];
  count_check(kKindData, t.records, "its records");
  for (size_t k = 0; k < t.schema.keys.size(); ++k) {
    if (!(t.schema.keys[k].attributes & kKeyOnDemand)) {
      count_check(uint8_t(k + 1), t.entries[k], "key " + t.schema.keys[k].label.value_or("?"));
    }
  }
  (void)number;
}

void Records::Entries(const std::vector<const Located*>& data,
                      std::map<uint8_t, std::vector<const Located*>>& keys, TableSummary& t,
                      const CollationRecord& col) {
  const TableSchema& schema = t.schema;
  t.entries.assign(schema.keys.size(), 0);
  for (auto& [kind, list] : keys) {
    if (kind == 0 || kind > schema.keys.size()) {
      for (const Located* l : list) Add(*l, "record of unknown kind " + std::to_string(kind));
      continue;
    }
    size_t k = kind - 1;
    const KeyDecl& key = schema.keys[k];
    std::map<Bytes, uint32_t> expected;
    for (const Located* l : data) {
      const Record& r = l->record;
      if (r.data().size() != schema.record_length) continue;
      if ((key.attributes & kKeyOpt) && KeyComponentsEmpty(schema, key, r.data().data())) continue;
      uint32_t number = Get32BE(r.key().data() + kTablePrefix);
      Bytes image = KeyImage(schema, key, r.data().data(), {&col, t.oem});
      expected[EntryKey(t.number, kind, image, key.dup(), number)] = number;
    }
    for (const Located* l : list) {
      Bytes entry(l->record.key().begin(), l->record.key().end());
      auto it = expected.find(entry);
      uint32_t named = l->record.data().size() == 4 ? Get32BE(l->record.data().data()) : 0;
      if (it == expected.end() || it->second != named) {
        Add(*l, "entry of key " + key.label.value_or("?") + " matches no data record");
      } else {
        expected.erase(it);
      }
      ++t.entries[k];
    }
    if (key.attributes & kKeyOnDemand) continue;
    for (auto& [entry, number] : expected) {
      report_.problems.push_back({kNoPage, -1,
                                  "table " + t.name + ": record " + std::to_string(number) +
                                      " has no entry in key " + key.label.value_or("?")});
    }
  }
  for (size_t k = 0; k < schema.keys.size(); ++k) {
    const KeyDecl& key = schema.keys[k];
    if (keys.count(uint8_t(k + 1)) || (key.attributes & kKeyOnDemand)) continue;
    for (const Located* l : data) {
      if ((key.attributes & kKeyOpt) && KeyComponentsEmpty(schema, key, l->record.data().data())) {
        continue;
      }
      Add(*l, "record has no entry in key " + key.label.value_or("?"));
    }
  }
}

void Records::Memos(const std::vector<const Located*>& memos, const std::set<uint32_t>& records,
                    TableSummary& t) {
  t.memo_blocks = uint32_t(memos.size());
  size_t i = 0;
  while (i < memos.size()) {
    std::span<const uint8_t> key = memos[i]->record.key();
    uint32_t record = Get32BE(key.data() + kTablePrefix);
    uint8_t memo = key[kTablePrefix + 4];
    size_t end = i;
    while (end < memos.size() &&
           HasPrefix(memos[end]->record.key(), key.subspan(0, kTablePrefix + 5)))
      ++end;
    const Located& head = *memos[i];
    if (!records.count(record))
      Add(head, "memo block of record " + std::to_string(record) + ", which does not exist");
    if (memo >= t.schema.memos.size()) {
      Add(head, "memo block of memo " + std::to_string(memo) + ", which is not declared");
    } else {
      bool blob = t.schema.memos[memo].blob();
      uint64_t total = 0, stated = 0;
      for (size_t j = i; j < end; ++j) {
        std::span<const uint8_t> k2 = memos[j]->record.key(), d = memos[j]->record.data();
        if (size_t(k2[kTablePrefix + 5] << 8 | k2[kTablePrefix + 6]) != j - i) {
          Add(*memos[j], "memo block out of sequence");
          break;
        }
        if (blob && j == i) {
          if (d.size() < 4) {
            Add(*memos[j], "BLOB block 0 without its length");
            break;
          }
          stated = Get32(d.data());
          d = d.subspan(4);
        }
        if (d.empty() || d.size() > kMemoBlockBytes ||
            (j + 1 < end && d.size() != kMemoBlockBytes)) {
          Add(*memos[j], "memo block of " + std::to_string(d.size()) + " bytes");
        }
        total += d.size();
      }
      if (blob && total != stated)
        Add(head,
            "BLOB length " + std::to_string(stated) + " but blocks hold " + std::to_string(total));
    }
    i = end;
  }
}

}  // namespace

std::string DescribeProblem(const Problem& p) {
  std::string s;
  if (p.page != kNoPage) s = "page " + std::to_string(p.page);
  if (p.record >= 0) s += " record " + std::to_string(p.record);
  return s.empty() ? p.text : s + ": " + p.text;
}

Status VerifyFile(PageStore& store, VerifyReport* report, bool records) {
  *report = VerifyReport{};
  const Header& h = store.header();
  if (!RangesValid(h))
    report->problems.push_back({kNoPage, -1, "size-class ranges out of order (check 1735)"});
  if (h.JournalArmed()) report->problems.push_back({kNoPage, -1, "a journal is pending"});
  Walker walker(store, *report);
  if (h.root != kNoPage) walker.Page_(h.root, 0xFF, nullptr, nullptr, 1);
  if (walker.fatal) return walker.failure;
  for (size_t i = 1; i < walker.leaves().size(); ++i) {
    const Located& a = walker.leaves()[i - 1];
    const Located& b = walker.leaves()[i];
    if (a.page != b.page && CompareKeys(a.record.key(), b.record.key()) >= 0) {
      report->problems.push_back(
          {b.page, b.index, "key not above the last key of the page before"});
    }
  }
  // Slots of the ranges that no page of the tree occupies (counted, not
  // walked: a damaged header may claim millions of them).
  uint64_t slots = 0, occupied = 0;
  for (uint32_t k = 1; k <= kMaxClass; ++k) slots += h.PagesIn(k);
  for (uint32_t id : walker.seen()) occupied += h.ClassOf(id) != 0;
  report->unused_slots =
      uint32_t(std::min<uint64_t>(slots - std::min(slots, occupied), UINT32_MAX));
  if (records) Records(walker.leaves(), *report).Run();
  return Status::Ok();
}

}  // namespace kor::vel
