// The writes of the update forms, each framed and reported the same way for
// every file: insert, change in a transaction that notices another
// station's change, and delete in a transaction after a confirmation.
// Failures are reported through the standard warnings; the transaction is
// rolled back before the warning, and the failing statement's error is
// saved first so that the warning quotes it and not the rollback's.
//
//   Insert  ADD. 40 on the form's unique key (DUPLICATEkey, or the key is the
//           file's only unique one): warning 24 with the key's name; any
//           other error: warning 14. Both stay.
//   Change  LOGOUT (error: warning 34 name/"Update", ask), POSITION, PUT,
//           COMMIT. PUT error 89: ROLLBACK, warning 15 "Record Changed by
//           Another Station", WATCH and REGET by the saved position (the
//           other station's version is now in the buffer): show it and stay.
//           Any other PUT error: ROLLBACK, warning 15 with the name, ask.
//           Asking is warning 16: Yes tries again, No gives up unsaved,
//           Cancel stays in the form.
//   Delete  warning 32 (OK confirms); then POSITION in the delete key,
//           LOGOUT (error: warning 34 name/"Delete"), REGET by that
//           position, DELETE, COMMIT; a REGET or DELETE error: ROLLBACK,
//           warning 17 with the name. After a failure warning 18: Yes tries
//           again, No and Cancel give up.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/core/warnings.h"
#include "files/file_decl.h"

namespace mxb {

// RequestCode and ResponseCode values.
inline constexpr int32_t kRequestNone = 0, kRequestInsert = 1, kRequestChange = 2;
inline constexpr int32_t kRequestDelete = 3, kRequestSelect = 4;
inline constexpr int32_t kResponseCompleted = 1, kResponseNotCompleted = 2;

inline constexpr int32_t kTransactionSeconds = 1;
inline constexpr char kChangedByOtherStation[] = "Record Changed by Another Station";

struct UpdateTarget {
  kor::FileDescriptor* file = nullptr;
  std::string file_name;                     // "Apps", "TempFile" in the warnings
  kor::KeyDescriptor* delete_key = nullptr;  // the delete's position
  kor::KeyDescriptor* unique_key = nullptr;  // insert's duplicate check; may be null
  std::string unique_key_name;               // "APP:DriveKey"
  // Shown around the writes of change and delete (the busy cursor); may be null.
  std::function<void(bool busy)> busy;
};

enum class FormOutcome {
  kSaved,      // response 1, close
  kStay,       // stay in the form
  kShowOther,  // the buffer holds another station's version: show it, stay
  kGiveUp,     // close without saving (response 2)
};

FormOutcome InsertRecord(const UpdateTarget& target, WarningSink& sink);
FormOutcome ChangeRecord(const UpdateTarget& target, WarningSink& sink);
// kSaved after a delete, kGiveUp when not confirmed or abandoned.
FormOutcome DeleteRecord(const UpdateTarget& target, WarningSink& sink);

}  // namespace mxb
