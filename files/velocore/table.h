// Tables inside a physical file: the catalogue (table-name records), making
// a table from a declaration, opening one against a declaration, and the
// record operations with their key entries, statistics and memos. This is
// the layer the driver's operations and the velocore tool are built on.
//
// Each changing call is one update of the file: the store commits it at the
// end of the call (or, when the caller holds the commit with HoldCommits,
// when the caller commits), and discards it when the call fails.
//
// Internal checks. A call that meets an internal check fails with 90 and the
// check's number, its update is discarded with the cached header, and the
// table refuses every later call the same way (Failed()) until it is closed.
//
// Character sets. With the OEM attribute (kept in the table's collation
// record) record images are converted from ANSI to OEM on the way in and
// back on the way out: STRING fields whole, CSTRING up to its zero, PSTRING
// by its length byte, leaving fields whose marker is not 0. MEMOs and BLOBs
// not declared BINARY are converted the same way.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "files/velocore/btree.h"
#include "files/velocore/record_keys.h"
#include "files/velocore/schema.h"
#include "runtime/locale/collation.h"

namespace kor::vel {

inline constexpr const char* kUnnamedTable = "UNNAMED";

struct TableName {
  std::string name;
  uint32_t number = 0;
};
// Every table of the file, in name order.
Status ListTables(PageStore& store, std::vector<TableName>* tables);
Status FindTable(PageStore& store, std::string_view name, uint32_t* number, bool* found);
// The stored definition stream of a table, joined from its 0xFA blocks
// (internal check 2328 when a block is missing or oversized).
Status ReadDefinitionStream(PageStore& store, uint32_t table, std::vector<uint8_t>* stream);

class Table {
 public:
  explicit Table(PageStore& store) : store_(store), tree_(store) {}

  // Makes a table (name record, definition, statistics, collation record
  // holding `collation` and `oem`) and commits it; the table is then open.
  // 47 for a declaration the format cannot hold (the reason in *why); a
  // name already in the file is 40 "Creates Duplicate Key" (the table-name
  // records form a unique key).
  Status Create(std::string_view name, const TableSchema& schema, bool oem,
                const CollationRecord& collation, std::string* why);
  // Opens a table. With a declaration, the stored definition must match it
  // (47, the difference in *why); without one the stored definition is
  // taken (for tools). A missing table is 2 "File Not Found".
  Status Open(std::string_view name, const TableSchema* declared, std::string* why);
  void Close();

  const std::string& name() const { return name_; }
  uint32_t number() const { return number_; }
  const TableSchema& schema() const { return schema_; }
  bool oem() const { return oem_; }
  const CollationRecord& collation() const { return collation_; }
  int32_t Failed() const { return failed_check_; }

  // Records. Images are the caller's (ANSI) form, record_length bytes.
  // Memos: one byte string per MEMO/BLOB declaration (a MEMO's buffer, a
  // BLOB's contents); an empty list writes none.
  Status Add(const uint8_t* image, const std::vector<Bytes>& memos, uint32_t* record);
  Status Read(uint32_t record, Bytes* image, bool* found);
  Status Put(uint32_t record, const uint8_t* image);
  Status Delete(uint32_t record);
  // Whether a MEMO or BLOB of this many bytes can be kept (its blocks are
  // numbered in 16 bits); a longer one is 57 "Invalid Memo File".
  static bool MemoFits(size_t bytes) { return bytes <= (size_t{0xFFFF} + 1) * kMemoBlockBytes; }
  Status ReadMemo(uint32_t record, size_t memo, Bytes* contents);
  Status WriteMemo(uint32_t record, size_t memo, const Bytes& contents);
  // The first record number above `after` (0: the first), or *found false.
  Status NextRecord(uint32_t after, uint32_t* record, bool* found);
  // Key order (key k, 0-based). The entry search key of a record image:
  // the key's number and the image, and for a DUP key the record number 0
  // (where a forward walk over equal values starts) or 0xFFFFFFFF (where a
  // backward walk starts). The bounds of all of the key's entries.
  Bytes KeySearchKey(size_t key, const uint8_t* image, bool for_previous) const;
  Bytes KeyFirst(size_t key) const;
  Bytes KeyLast(size_t key) const;
  // The entry key key k has (or would have) for this image and record.
  Bytes EntryOf(size_t key, const uint8_t* image, uint32_t record) const;
  // The bytes of key k's value image in an entry key of it.
  size_t ImageSize(size_t key) const { return KeyImageSize(schema_, schema_.keys[key]); }
  // The data record nearest `from` (a DataKey) in the direction of travel,
  // as KeyEntry; *found false past the table's records.
  Status RecordNear(std::span<const uint8_t> from, bool forward, bool strict, uint32_t* record,
                    bool* found);
  // The entry of key k nearest `from` in the direction of travel (at or
  // after it going forward, at or before it going back; strictly so when
  // `strict`), with the record it names; *found false past the key's end.
  Status KeyEntry(size_t key, std::span<const uint8_t> from, bool forward, bool strict,
                  Bytes* entry, uint32_t* record, bool* found);
  // Statistics: the record count, or key k's entry count; the table's flags
  // value (kept beside the record count).
  Status Count(uint32_t* count);
  Status KeyCount(size_t key, uint32_t* count);
  Status Flags(uint32_t* flags);
  Status SetFlags(uint32_t flags);

  // Maintenance (table_maintenance.cc).
  // Adds a record without key entries (APPEND); a BUILD makes them later.
  Status Append(const uint8_t* image, const std::vector<Bytes>& memos, uint32_t* record);
  // Removes every record of the table with its key entries (build-on-demand
  // ones too) and memos, sets the counts to 0 and writes the definition
  // again.
  Status Empty();
  // Removes the table: all its records and its name record. *last tells
  // whether the file holds no other table afterwards. The table is closed.
  Status Remove(bool* last);
  // Makes key k's entries again from the data records, build-on-demand
  // keys included; `keep` (may be null) chooses the records that get an
  // entry. A unique key meeting a second equal value fails with 40.
  Status BuildKey(size_t key, const std::function<bool(const Bytes& image)>& keep);
  // The entry key of key k for a stored (OEM-form) image, and whether the
  // key makes one (OPT keys skip empty images, build-on-demand keys none).
  bool EntryFor(size_t key, const uint8_t* stored_image, uint32_t record, Bytes* entry) const;
  // Images between the caller's and the stored character set.
  Bytes ToStored(const uint8_t* image) const;
  void ToStored(const uint8_t* image, Bytes* out) const;  // `out` keeps its room
  Bytes FromStored(std::span<const uint8_t> stored) const;

  // While held, changing calls leave their update in the store.
  void HoldCommits(bool hold) { hold_ = hold; }

 private:
  Status Begin();
  Status Finish(Status s);
  Status AdjustStatistics(uint8_t which, int32_t delta);
  Status UniqueFree(const Bytes& entry, bool* free);
  Status EraseOwnEntry(size_t key, const Bytes& entry, uint32_t record, bool* erased);
  Status EraseMemos(uint32_t record, size_t memo);
  Status StoreMemo(uint32_t record, size_t memo, const Bytes& contents);
  Status WriteDefinitionBlocks(const TableSchema& schema);
  Status EraseRange(const Bytes& prefix);
  Status SetCount(uint8_t which, uint32_t count);
  bool MakeEntry(size_t key, const uint8_t* stored_image, uint32_t record, bool on_demand,
                 Bytes* entry) const;

  PageStore& store_;
  Tree tree_;
  // Add's record image, key entries and which keys make one, kept for
  // their room.
  struct AddRoom {
    Bytes stored;
    std::vector<Bytes> entries;
    std::vector<uint8_t> makes;
  } add_room_;
  std::string name_;
  uint32_t number_ = 0;
  TableSchema schema_;
  CollationRecord collation_{};
  bool oem_ = false;
  bool open_ = false;
  bool hold_ = false;
  int32_t failed_check_ = 0;
};

}  // namespace kor::vel
