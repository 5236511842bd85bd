// Operations on a table as a whole: OPEN and SHARE, CREATE, CLOSE, REMOVE,
// COPY, RENAME and EMPTY.
#include <vector>

#include "files/operations.h"
#include "files/velocore/driver_block.h"
#include "files/velocore/table_name.h"
#include "runtime/os/file_services.h"

namespace kor::vel {

namespace {

bool Exists(const std::string& name) {
  uint8_t attributes = 0;
  return Files().Attributes(name.c_str(), &attributes) == kOsOk;
}

struct Names {
  std::string path;  // full path of the physical file
  std::string table;
};

// The physical file and the table a FILE's NAME designates. An empty name
// is 45, and so is a table name past kMaxTableName characters.
Status SplitNames(const VelBlock& b, Names* n) {
  if (b.external_name.empty()) return Status::Error(kErrInvalidFilename);
  SplitName split = SplitTableName(b.external_name, Exists);
  if (split.table.size() > kMaxTableName) return Status::Error(kErrInvalidFilename);
  n->path = OsFullPathName(split.file.c_str());
  n->table = split.table;
  return Status::Ok();
}

// The declaration as the format keeps it, checked: a record buffer of the
// declared length and MEMO buffers where MEMOs are declared (47 otherwise,
// before anything touches the disk).
Status Declaration(const VelBlock& b, TableSchema* schema) {
  const FileDescriptor& file = *b.file;
  if (file.record == nullptr || file.record_length == 0 || file.record_length > 0xFFFF) {
    return Status::Error(kErrInvalidRecordDeclaration);
  }
  for (uint32_t m = 0; m < file.memo_count; ++m) {
    const MemoDescriptor* memo = file.memos[m];
    if (memo == nullptr || memo->size > 0xFFFF) return Status::Error(kErrInvalidRecordDeclaration);
    if (!(memo->flags & kMemoBlob) && memo->size > 0 && memo->buffer == nullptr) {
      return Status::Error(kErrInvalidRecordDeclaration);
    }
  }
  for (uint32_t k = 0; k < file.key_count; ++k) {
    if (file.keys[k] == nullptr) return Status::Error(kErrInvalidRecordDeclaration);
  }
  *schema = SchemaFromDescriptor(file);
  std::string why;
  return ValidateSchema(*schema, &why);
}

std::string Owner(const VelBlock& b) {
  return (b.attributes & kFileEncrypt) ? b.owner : std::string();
}

void Forget(VelBlock& b) {
  DropHold(b);
  if (b.physical != nullptr) {
    b.physical->GiveAllBytes(&b);
    ForgetBlock(b);
    b.physical->Release();
  }
  b.table_locked = false;
  b.physical = nullptr;
  b.table.reset();
  b.current = 0;
  b.flags &= kVelFullBuild;
  b.sequence = Sequence{};
  b.watch_image.clear();
}

// Makes table `name` inside a file this program can write: the old table of
// that name, if any, goes in the same update.
Status CreateInside(PhysicalFile& pf, const Names& n, const TableSchema& schema, bool oem) {
  Status s = pf.BeginWrite();
  if (!s.ok()) return s;
  Table old(pf.store()), fresh(pf.store());
  old.HoldCommits(true);
  fresh.HoldCommits(true);
  std::string why;
  s = old.Open(n.table, nullptr, &why);
  bool last = false;
  if (s.ok()) s = old.Remove(&last);
  if (s.code == kErrFileNotFound) s = Status::Ok();
  CollationRecord collation;
  SaveCollationRecord(&collation);
  if (s.ok()) s = fresh.Create(n.table, schema, oem, collation, &why);
  return pf.EndWrite(s);
}

// A new file holding the one table.
Status CreateFresh(const Names& n, const TableSchema& schema, bool oem, const std::string& owner) {
  PageStore store;
  Status s = store.Create(n.path, owner);
  if (!s.ok()) return s;
  Table table(store);
  CollationRecord collation;
  SaveCollationRecord(&collation);
  std::string why;
  s = table.Create(n.table, schema, oem, collation, &why);
  store.Close();
  return s;
}

// Whether an existing file holds tables other than `table` (36 for a file
// that is not one of this format).
Status HoldsOthers(PhysicalFile& pf, const std::string& table, bool* others) {
  std::vector<TableName> tables;
  Status s = pf.BeginRead();
  if (s.ok()) s = ListTables(pf.store(), &tables);
  pf.EndRead();
  *others = false;
  for (const TableName& t : tables) *others = *others || t.name != table;
  return s;
}

// Copies a file byte for byte into a new one; no half copy is left behind.
uint32_t CopyBytes(const std::string& from, const std::string& to) {
  OsHandle in = kOsNoHandle, out = kOsNoHandle;
  uint32_t r = OsOpen(from.c_str(), kOsReadOnly | kOsDenyWrite, &in);
  if (r != kOsOk) return r;
  r = OsCreate(to.c_str(), kOsCreateNormal, &out);
  if (r != kOsOk) {
    OsClose(in);
    return r;
  }
  std::vector<uint8_t> chunk(64 * 1024);
  for (;;) {
    uint32_t got = 0, put = 0;
    r = OsRead(in, chunk.data(), uint32_t(chunk.size()), &got);
    if (r != kOsOk || got == 0) break;
    r = OsWrite(out, chunk.data(), got, &put);
    if (r == kOsOk && put < got) r = kOsDiskFull;
    if (r != kOsOk) break;
  }
  if (r == kOsOk) r = OsFlush(out);
  OsClose(in);
  if (OsClose(out) != kOsOk && r == kOsOk) r = kOsAccessDenied;
  if (r != kOsOk) OsDelete(to.c_str());
  return r;
}

}  // namespace

VelBlock::~VelBlock() { Forget(*this); }

Status OpenTable(VelBlock& b, uint32_t mode) {
  TableSchema schema;
  Names n;
  Status s = Declaration(b, &schema);
  if (s.ok()) s = SplitNames(b, &n);
  PhysicalFile* pf = nullptr;
  if (s.ok()) s = PhysicalFile::Acquire(n.path, mode & 0xFF, Owner(b), &pf);
  if (!s.ok()) return s;
  pf->set_wait_ms(b.open_wait_ms);
  auto table = std::make_unique<Table>(pf->store());
  table->HoldCommits(true);
  std::string why;
  s = pf->BeginRead();
  if (s.ok()) s = table->Open(n.table, &schema, &why);
  pf->EndRead();
  if (!s.ok()) {
    pf->Release();
    return s;
  }
  b.physical = pf;
  b.table = std::move(table);
  b.file_name = n.path;
  b.table_name = n.table;
  b.open_mode = mode;
  b.flags = (b.flags & kVelFullBuild) | kVelOpen;
  b.blobs.assign(b.file->memo_count, Bytes());
  if ((mode & kOsAccessMask) != 0) b.state |= kWriteAccess;
  if ((mode & 0x30) != 0) b.state |= kDenyOthers;
  return Status::Ok();
}

Status CreateTable(VelBlock& b) {
  TableSchema schema;
  Names n;
  Status s = Declaration(b, &schema);
  if (s.ok()) s = SplitNames(b, &n);
  if (!s.ok()) return s;
  b.file_name = n.path;
  bool oem = (b.attributes & kFileOem) != 0;
  if (PhysicalFile* open = PhysicalFile::Find(n.path)) return CreateInside(*open, n, schema, oem);
  if (!Exists(n.path)) return CreateFresh(n, schema, oem, Owner(b));
  PhysicalFile* pf = nullptr;
  s = PhysicalFile::Acquire(n.path, kOsReadWrite | kOsDenyAll, Owner(b), &pf);
  // A file of another kind is replaced, as CREATE replaces any file.
  if (s.code == kErrInvalidDataFile) return CreateFresh(n, schema, oem, Owner(b));
  if (!s.ok()) return s;
  bool others = false;
  s = HoldsOthers(*pf, n.table, &others);
  if (s.ok() && others) s = CreateInside(*pf, n, schema, oem);
  pf->Release();
  if (s.ok() && !others) s = CreateFresh(n, schema, oem, Owner(b));
  return s;
}

Status CloseTable(VelBlock& b) {
  Forget(b);
  b.failed_check = 0;
  b.state &= ~uint32_t{kWriteAccess | kDenyOthers};
  return Status::Ok();
}

Status RemoveTable(VelBlock& b) {
  Names n;
  Status s = SplitNames(b, &n);
  if (!s.ok()) return s;
  if (!Exists(n.path)) return Status::Error(kErrFileNotFound);
  PhysicalFile* pf = nullptr;
  s = PhysicalFile::Acquire(n.path, kOsReadWrite | kOsDenyNone, Owner(b), &pf);
  if (!s.ok()) return s;
  // The stored definition is taken, so a changed declaration does not stop
  // the removal.
  Table table(pf->store());
  table.HoldCommits(true);
  bool last = false;
  std::string why;
  s = pf->BeginWrite();
  if (s.ok()) {
    s = table.Open(n.table, nullptr, &why);
    if (s.ok()) s = table.Remove(&last);
    s = pf->EndWrite(s);
  }
  pf->Release();
  if (s.ok() && last && PhysicalFile::Find(n.path) == nullptr) {
    uint32_t e = Files().Delete(n.path.c_str());
    if (e != kOsOk) s = e == kOsAccessDenied ? Status::Error(kErrAccessDenied) : Status::Os(e);
  }
  return s;
}

Status CopyOrRename(VelBlock& b, const DriverArgs& args, bool rename) {
  Names n;
  Status s = SplitNames(b, &n);
  if (!s.ok()) return s;
  std::string target(args.text == nullptr ? "" : std::string(args.text, args.text_length));
  while (!target.empty() && target.back() == ' ') target.pop_back();
  if (target.empty()) return Status::Error(kErrInvalidFilename);
  target = OsFullPathName(WithDefaultExtension(target).c_str());
  if (!Exists(n.path)) return Status::Error(kErrFileNotFound);
  // Nothing is overwritten, and a file this program has open stays put.
  if (Exists(target) || (rename && PhysicalFile::Find(n.path) != nullptr)) {
    return Status::Error(kErrAccessDenied);
  }
  uint32_t e = rename ? OsRename(n.path.c_str(), target.c_str()) : CopyBytes(n.path, target);
  if (e == kOsOk) return Status::Ok();
  if (e == kOsFileNotFound || e == kOsPathNotFound) return Status::Error(int32_t(e));
  return Status::Error(kErrAccessDenied);
}

Status EmptyTable(VelBlock& b) {
  Status s = b.physical->BeginWrite();
  if (s.ok()) s = b.physical->EndWrite(b.table->Empty());
  b.current = 0;
  b.sequence = Sequence{};
  return s;
}

}  // namespace kor::vel
