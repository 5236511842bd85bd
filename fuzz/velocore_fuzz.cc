// Opens and verifies arbitrary bytes as a Velocore data file, then reads
// every table's records and memos as the dump does. The first input byte
// picks how: bit 0 opens for writing (a pending journal is replayed or
// dropped), bit 1 opens with an OWNER text (the cipher). Damage must be
// reported, never crash, hang or read outside what was read.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "files/velocore/memory_files.h"
#include "files/velocore/table.h"
#include "files/velocore/verify.h"
#include "runtime/os/file_services.h"

namespace {

using namespace kor::vel;

constexpr int kRecordsPerTable = 1000;

void ReadTables(PageStore& store) {
  std::vector<TableName> tables;
  if (!ListTables(store, &tables).ok()) return;
  for (const TableName& name : tables) {
    Table t(store);
    std::string why;
    if (!t.Open(name.name, nullptr, &why).ok()) continue;
    uint32_t at = 0, record = 0;
    bool found = true;
    // Enough records to reach every page kind of a small file; more only
    // repeats the work (each memo is padded to its declared size, up to
    // 64 KB, so 10,000 records took seconds without finding more).
    for (int n = 0; n < kRecordsPerTable; ++n) {
      if (!t.NextRecord(at, &record, &found).ok() || !found) break;
      Bytes image, memo;
      if (!t.Read(record, &image, &found).ok()) break;
      for (size_t m = 0; m < t.schema().memos.size(); ++m) t.ReadMemo(record, m, &memo);
      at = record;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  RecoveryPoint point;
  MemoryFiles files;
  kor::FileServices* previous = kor::ReplaceFileServices(&files);
  files.SetContent("f.vel", std::vector<uint8_t>(data + 1, data + size));
  {
    PageStore store;
    uint32_t mode = (data[0] & 1) ? kor::kOsReadWrite : kor::kOsReadOnly;
    if (store.Open("f.vel", mode | kor::kOsDenyNone, (data[0] & 2) ? "fuzz owner" : "").ok()) {
      VerifyReport report;
      VerifyFile(store, &report);
      ReadTables(store);
    }
  }
  kor::ReplaceFileServices(previous);
  return 0;
}
