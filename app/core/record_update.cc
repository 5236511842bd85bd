// Insert, change and delete of the update forms.
#include "app/core/record_update.h"

#include <string>

#include "files/statements.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/values/string_stack.h"

namespace mxb {

namespace {

constexpr int kWarnInsert = 14, kWarnUpdate = 15, kWarnAskUpdate = 16, kWarnDelete = 17;
constexpr int kWarnAskDelete = 18, kWarnDuplicate = 24, kWarnConfirmDelete = 32;
constexpr int kWarnFraming = 34;

void Busy(const UpdateTarget& t, bool on) {
  if (t.busy) t.busy(on);
}

// One try of the change: 0 saved, 1 failed (ask), 2 another station's
// version re-read.
int TryChange(const UpdateTarget& t, WarningSink& sink) {
  Busy(t, true);
  kor::LOGOUT(kTransactionSeconds, {t.file});
  if (kor::ERRORCODE() != 0) {
    SaveCurrentError();
    Busy(t, false);
    StandardWarning(sink, kWarnFraming, t.file_name, "Update");
    return 1;
  }
  kor::POSITIONfile(t.file);
  std::string position = kor::PopToStdString();
  kor::PUT(t.file);
  if (kor::ERRORCODE() == 0) {
    kor::COMMIT();
    Busy(t, false);
    return 0;
  }
  SaveCurrentError();
  int32_t code = GlobalSavedError().code;
  kor::ROLLBACK();
  Busy(t, false);
  if (code == kor::kErrRecordChangedByAnotherStation) {
    StandardWarning(sink, kWarnUpdate, kChangedByOtherStation);
    kor::WATCH(t.file);
    kor::REGETfile(t.file, position.data(), uint32_t(position.size()));
    return 2;
  }
  StandardWarning(sink, kWarnUpdate, t.file_name);
  return 1;
}

// One try of the delete; true when done.
bool TryDelete(const UpdateTarget& t, WarningSink& sink) {
  Busy(t, true);
  kor::POSITIONkey(t.delete_key);
  std::string position = kor::PopToStdString();
  kor::LOGOUT(kTransactionSeconds, {t.file});
  if (kor::ERRORCODE() != 0) {
    SaveCurrentError();
    Busy(t, false);
    StandardWarning(sink, kWarnFraming, t.file_name, "Delete");
    return false;
  }
  kor::REGETkey(t.delete_key, position.data(), uint32_t(position.size()));
  if (kor::ERRORCODE() == 0) kor::DELETEfile(t.file);
  if (kor::ERRORCODE() != 0) {
    SaveCurrentError();
    kor::ROLLBACK();
    Busy(t, false);
    StandardWarning(sink, kWarnDelete, t.file_name);
    return false;
  }
  kor::COMMIT();
  Busy(t, false);
  return true;
}

// Whether error 40 of an ADD came from `key`: DUPLICATE says so, or `key`
// is the file's only unique key. (DUPLICATE leaves the file's current record
// out, so it says no when the record duplicated is the current one.)
bool DuplicatesKey(kor::KeyDescriptor* key) {
  if (kor::DUPLICATEkey(key) != 0) return true;
  kor::FileDescriptor* file = key->file;
  for (uint32_t i = 0; i < file->key_count; ++i) {
    kor::KeyDescriptor* k = file->keys[i];
    if (k != key && (k->attributes & kor::kKeyDup) == 0) return false;
  }
  return (key->attributes & kor::kKeyDup) == 0;
}

}  // namespace

FormOutcome InsertRecord(const UpdateTarget& t, WarningSink& sink) {
  kor::ADD(t.file);
  int32_t code = kor::ERRORCODE();
  if (code == 0) return FormOutcome::kSaved;
  if (code == kor::kErrCreatesDuplicateKey && t.unique_key != nullptr &&
      DuplicatesKey(t.unique_key)) {
    StandardWarning(sink, kWarnDuplicate, t.unique_key_name);
  } else {
    StandardWarning(sink, kWarnInsert);
  }
  return FormOutcome::kStay;
}

FormOutcome ChangeRecord(const UpdateTarget& t, WarningSink& sink) {
  for (;;) {
    int result = TryChange(t, sink);
    if (result == 0) return FormOutcome::kSaved;
    if (result == 2) return FormOutcome::kShowOther;
    uint32_t answer = StandardWarning(sink, kWarnAskUpdate);
    if (answer == kButtonYes) continue;
    return answer == kButtonNo ? FormOutcome::kGiveUp : FormOutcome::kStay;
  }
}

FormOutcome DeleteRecord(const UpdateTarget& t, WarningSink& sink) {
  if (StandardWarning(sink, kWarnConfirmDelete) != kButtonOk) return FormOutcome::kGiveUp;
  while (!TryDelete(t, sink)) {
    if (StandardWarning(sink, kWarnAskDelete) != kButtonYes) return FormOutcome::kGiveUp;
  }
  return FormOutcome::kSaved;
}

}  // namespace mxb
