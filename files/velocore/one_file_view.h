// The view the browses read: one file in the order of one of its keys, no
// filter, no join. Every statement acts as the driver's own on that key, so
// the view's POSITION strings are the file's (POSITIONkey: the record
// number, big-endian, then the key value image) and a browse may keep them
// blank-padded in longer fields. Failures are posted to the error state as
// by the statements: 33 at either end of the view, 35 for a position that
// names no record, 37 when the file is not open.
//
//   SetToStart   the next NEXT reads the first record, PREVIOUS the last
//   Reset        the next NEXT (PREVIOUS) reads the record at that position,
//                or the nearest one after (before) it
//   Position     the current record's position; "" (and an error) when the
//                file has no current record
//   Watch        the next read keeps the record's image, so that a PUT of it
//                fails with 89 once another program changed it
//   Reget        reads the record at that position again (35 when gone)
#pragma once

#include <string>
#include <string_view>

#include "files/file_decl.h"

namespace kor::vel {

class OneFileView {
 public:
  // `key` names the file (its owner) and the order.
  explicit OneFileView(KeyDescriptor* key) : key_(key) {}

  FileDescriptor* file() const { return key_->file; }
  KeyDescriptor* key() const { return key_; }

  void SetToStart();
  void Reset(std::string_view position);
  void Next();
  void Previous();
  std::string Position();
  void Watch();
  void Reget(std::string_view position);

 private:
  KeyDescriptor* key_;
};

}  // namespace kor::vel
