// MEMOs and BLOBs in 256-byte blocks (0xFC records): a MEMO is kept without
// its trailing blanks, and one holding only blanks keeps no block; a BLOB is
// kept at its full length, block 0 beginning with the total length (4
// bytes, little-endian) before its 256 bytes; an empty BLOB keeps no block.
#include <algorithm>

#include "files/velocore/table.h"
#include "runtime/os/os.h"

namespace kor::vel {

namespace {

void Convert(Bytes& b, bool to_oem) {
  char* c = reinterpret_cast<char*>(b.data());
  if (to_oem) OsAnsiToOem(c, c, b.size());
  else OsOemToAnsi(c, c, b.size());
}

}  // namespace

Status Table::EraseMemos(uint32_t record, size_t memo) {
  Bytes prefix = MemoPrefix(number_, record);
  prefix.push_back(uint8_t(memo));
  Record r;
  bool found = false;
  Status s = tree_.Ceiling(prefix, false, &r, &found);
  while (s.ok() && found && HasPrefix(r.key(), prefix)) {
    Bytes key(r.key().begin(), r.key().end());
    s = tree_.Erase(key, &found);
    if (s.ok()) s = tree_.Ceiling(prefix, false, &r, &found);
  }
  return s;
}

Status Table::StoreMemo(uint32_t record, size_t memo, const Bytes& contents) {
  const MemoDecl& decl = schema_.memos[memo];
  if (!MemoFits(contents.size())) return Status::Error(kErrInvalidMemoFile);
  Status s = EraseMemos(record, memo);
  Bytes body = contents;
  if (!decl.blob()) {
    while (!body.empty() && body.back() == ' ') body.pop_back();
  }
  if (oem_ && !decl.binary()) Convert(body, true);
  for (size_t at = 0, seq = 0; s.ok() && at < body.size(); at += kMemoBlockBytes, ++seq) {
    size_t n = std::min<size_t>(kMemoBlockBytes, body.size() - at);
    Bytes data;
    if (decl.blob() && seq == 0) {
      data.resize(4);
      Put32(data.data(), uint32_t(body.size()));
    }
    data.insert(data.end(), body.begin() + ptrdiff_t(at), body.begin() + ptrdiff_t(at + n));
    s = tree_.Put(MakeRecord(MemoKey(number_, record, uint8_t(memo), uint16_t(seq)), data));
  }
  return s;
}

Status Table::ReadMemo(uint32_t record, size_t memo, Bytes* contents) {
  contents->clear();
  Status s = Begin();
  if (!s.ok()) return s;
  const MemoDecl& decl = schema_.memos[memo];
  Bytes prefix = MemoPrefix(number_, record);
  prefix.push_back(uint8_t(memo));
  Cursor cursor(tree_);
  uint32_t total = 0;
  uint16_t expected = 0;
  for (s = cursor.SeekCeiling(prefix);
       s.ok() && cursor.valid() && HasPrefix(cursor.record().key(), prefix);
       s = cursor.Next(), ++expected) {
    const Record& r = cursor.record();
    std::span<const uint8_t> data = r.data();
    bool first = expected == 0;
    if (r.key().size() != prefix.size() + 2 ||
        (r.key()[prefix.size()] << 8 | r.key()[prefix.size() + 1]) != expected) {
      return Finish(Check(kCheckMemo));
    }
    if (decl.blob() && first) {
      if (data.size() < 4) return Finish(Check(kCheckMemo));
      total = Get32(data.data());
      data = data.subspan(4);
    }
    if (data.empty() || data.size() > kMemoBlockBytes) return Finish(Check(kCheckMemo));
    contents->insert(contents->end(), data.begin(), data.end());
  }
  if (!s.ok()) return s.is_check() ? Finish(s) : s;
  if (decl.blob() && contents->size() != total) return Finish(Check(kCheckMemo));
  if (oem_ && !decl.binary()) Convert(*contents, false);
  if (!decl.blob()) contents->resize(std::max<size_t>(contents->size(), decl.size), ' ');
  return Status::Ok();
}

}  // namespace kor::vel

namespace kor::vel {

Status Table::WriteMemo(uint32_t record, size_t memo, const Bytes& contents) {
  Status s = Begin();
  bool found = false;
  if (s.ok() && memo >= schema_.memos.size()) s = Status::Error(kErrInvalidMemoFile);
  if (s.ok()) s = tree_.Find(DataKey(number_, record), nullptr, &found);
  if (s.ok() && !found) s = Status::Error(kErrRecordNotAvailable);
  if (s.ok()) s = StoreMemo(record, memo, contents);
  return Finish(s);
}

}  // namespace kor::vel
