// velocore dump, schema and load: a table's records and declaration out as
// CSV or JSON, and back in.
#include <fstream>
#include <iostream>
#include <sstream>

#include "runtime/values/data_types.h"
#include "tools/velocore/field_text.h"
#include "tools/velocore/schema_json.h"
#include "tools/velocore/tool.h"

namespace velocore_tool {

using namespace kor::vel;
using nlohmann::json;

namespace {

constexpr size_t kRowsPerUpdate = 500;

std::string MemoText(const MemoDecl& m, const Bytes& contents) {
  if (m.blob()) return Hex(contents);
  std::string s(contents.begin(), contents.end());
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

json FieldJson(const FieldDecl& f, const std::string& text) {
  using namespace kor;
  bool integer =
      f.elements <= 1 &&
      (f.type == kTypeByte || f.type == kTypeShort || f.type == kTypeUShort ||
       f.type == kTypeLong || f.type == kTypeULong || f.type == kTypeDate || f.type == kTypeTime);
  if (integer) return json(std::stoll(text));
  return json(text);
}

bool ReadWhole(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  *text = all.str();
  return true;
}

}  // namespace

int Dump(const Args& args) {
  if (args.csv == args.json) {
    Fail("dump needs one of --csv and --json");
    return kUsage;
  }
  auto store = OpenFile(args, false);
  if (!store) return kUnreadable;
  Table table(*store);
  if (!OpenTable(*store, args, &table)) return kUnreadable;
  const TableSchema& schema = table.schema();
  std::vector<std::string> header;
  for (const FieldDecl& f : schema.fields) {
    if (Dumped(f)) header.push_back(f.name.value_or(""));
  }
  for (const MemoDecl& m : schema.memos) header.push_back(m.label.value_or(""));
  if (args.csv) std::cout << CsvRow(header);
  json rows = json::array();
  uint32_t at = 0, record = 0;
  bool found = true;
  for (;;) {
    Status s = table.NextRecord(at, &record, &found);
    Bytes image;
    if (s.ok() && found) s = table.Read(record, &image, &found);
    if (!s.ok()) {
      Fail(args.file + " is damaged: " + s.Describe());
      return kDamaged;
    }
    if (!found) break;
    std::vector<std::string> cells;
    json fields = json::object(), memos = json::object();
    for (const FieldDecl& f : schema.fields) {
      if (!Dumped(f)) continue;
      cells.push_back(FieldText(f, image.data()));
      fields[f.name.value_or("")] = FieldJson(f, cells.back());
    }
    for (size_t m = 0; m < schema.memos.size(); ++m) {
      Bytes contents;
      s = table.ReadMemo(record, m, &contents);
      if (!s.ok()) {
        Fail(args.file + " is damaged: " + s.Describe());
        return kDamaged;
      }
      cells.push_back(MemoText(schema.memos[m], contents));
      memos[schema.memos[m].label.value_or("")] = cells.back();
    }
    if (args.csv) std::cout << CsvRow(cells);
    else rows.push_back({{"record", record}, {"fields", fields}, {"memos", memos}});
    at = record;
  }
  if (args.json) std::cout << rows.dump(2) << "\n";
  return kOk;
}

int Schema(const Args& args) {
  auto store = OpenFile(args, false);
  if (!store) return kUnreadable;
  Table table(*store);
  if (!OpenTable(*store, args, &table)) return kUnreadable;
  std::cout << SchemaToJson(table.name(), table.schema(), table.oem()).dump(2) << "\n";
  return kOk;
}

// The CSV rows as record images and memos, every value checked before
// anything is written.
static bool ParseRows(const std::string& text, const TableSchema& schema,
                      std::vector<Bytes>* images, std::vector<std::vector<Bytes>>* memos) {
  size_t at = 0;
  std::vector<std::string> header, cells;
  std::string error;
  if (!ReadCsvRow(text, &at, &header, &error)) {
    Fail(error.empty() ? "the CSV file is empty" : "CSV header: " + error);
    return false;
  }
  std::vector<int> column_field(header.size(), -1), column_memo(header.size(), -1);
  for (size_t c = 0; c < header.size(); ++c) {
    for (size_t f = 0; f < schema.fields.size(); ++f) {
      if (Dumped(schema.fields[f]) && schema.fields[f].name == header[c]) column_field[c] = int(f);
    }
    for (size_t m = 0; m < schema.memos.size(); ++m) {
      if (schema.memos[m].label == header[c]) column_memo[c] = int(m);
    }
    if (column_field[c] < 0 && column_memo[c] < 0) {
      Fail("CSV column " + header[c] + " is no field or memo of the table");
      return false;
    }
  }
  for (size_t row = 2; ReadCsvRow(text, &at, &cells, &error); ++row) {
    if (cells.size() == 1 && cells[0].empty()) continue;  // a blank line
    if (cells.size() != header.size()) {
      Fail("CSV row " + std::to_string(row) + " has " + std::to_string(cells.size()) +
           " fields, the header " + std::to_string(header.size()));
      return false;
    }
    Bytes image(schema.record_length, 0);
    for (const FieldDecl& f : schema.fields) {
      if (f.type == kor::kTypeString) kor::StoreText(image.data() + f.offset, f.type, f.size, "");
    }
    std::vector<Bytes> row_memos(schema.memos.size());
    for (size_t c = 0; c < cells.size(); ++c) {
      if (column_field[c] >= 0) {
        const FieldDecl& f = schema.fields[size_t(column_field[c])];
        if (!StoreFieldText(f, cells[c], image.data())) {
          Fail("CSV row " + std::to_string(row) + ": '" + cells[c] + "' is not a " +
               kor::TypeCodeName(f.type) + " value for " + header[c]);
          return false;
        }
        continue;
      }
      const MemoDecl& m = schema.memos[size_t(column_memo[c])];
      if (m.blob()) {
        auto bytes = FromHex(cells[c]);
        if (!bytes) {
          Fail("CSV row " + std::to_string(row) + ": BLOB " + header[c] + " is not hexadecimal");
          return false;
        }
        row_memos[size_t(column_memo[c])] = *bytes;
      } else {
        Bytes text(cells[c].begin(), cells[c].end());
        text.resize(std::max<size_t>(text.size(), m.size), ' ');
        row_memos[size_t(column_memo[c])] = text;
      }
    }
    images->push_back(std::move(image));
    memos->push_back(std::move(row_memos));
  }
  if (!error.empty()) {
    Fail("CSV: " + error);
    return false;
  }
  return true;
}

int Load(const Args& args) {
  if (args.table.empty() || args.schema_path.empty() || args.csv_path.empty()) {
    Fail("load needs FILE TABLE --schema S.json --csv DATA.csv");
    return kUsage;
  }
  std::string schema_text, csv_text, error;
  if (!ReadWhole(args.schema_path, &schema_text) || !ReadWhole(args.csv_path, &csv_text)) {
    Fail("cannot read " + (schema_text.empty() ? args.schema_path : args.csv_path));
    return kUnreadable;
  }
  json j = json::parse(schema_text, nullptr, false);
  TableSchema schema;
  bool oem = false;
  if (j.is_discarded() || !SchemaFromJson(j, &schema, &oem, &error)) {
    Fail(args.schema_path + ": " + (j.is_discarded() ? std::string("not JSON") : error));
    return kUnreadable;
  }
  std::vector<Bytes> images;
  std::vector<std::vector<Bytes>> memos;
  if (!ParseRows(csv_text, schema, &images, &memos)) return kUnreadable;
  auto store = std::make_unique<PageStore>();
  Status s = store->Open(args.file, kor::kOsReadWrite | kor::kOsDenyNone, args.owner);
  if (s.code == kor::kErrFileNotFound) s = store->Create(args.file, args.owner);
  if (!s.ok()) {
    Fail("cannot open " + args.file + ": " + s.Describe());
    return kUnreadable;
  }
  Table table(*store);
  std::string why;
  uint32_t number = 0;
  bool exists = false;
  s = FindTable(*store, args.table, &number, &exists);
  if (s.ok()) {
    kor::CollationRecord collation;
    kor::SaveCollationRecord(&collation);
    s = exists ? table.Open(args.table, &schema, &why)
               : table.Create(args.table, schema, oem, collation, &why);
  }
  if (!s.ok()) {
    Fail("table " + args.table + ": " + s.Describe() + (why.empty() ? "" : " (" + why + ")"));
    return kUnreadable;
  }
  for (size_t first = 0; first < images.size(); first += kRowsPerUpdate) {
    table.HoldCommits(true);
    size_t end = std::min(images.size(), first + kRowsPerUpdate);
    for (size_t i = first; s.ok() && i < end; ++i) {
      uint32_t record = 0;
      s = table.Add(images[i].data(), memos[i], &record);
      if (!s.ok()) error = "CSV row " + std::to_string(i + 2) + ": " + s.Describe();
    }
    table.HoldCommits(false);
    if (s.ok()) {
      s = store->Commit();
      if (!s.ok()) error = "writing " + args.file + ": " + s.Describe();
    }
    if (!s.ok()) {
      store->Discard();
      Fail(error + "; " + std::to_string(first) + " rows were added before it");
      return kDamaged;
    }
  }
  std::cout << images.size() << " records added to " << args.table << "\n";
  return kOk;
}

}  // namespace velocore_tool
