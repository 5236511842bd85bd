// The state check and state update of the driver frame.
//
// Bit 0x100 of the table means two different things: for the key forms it is
// the build-on-demand key's kKeyBuilt bit, for every other operation it is the
// file's kInView bit. The check's required-bits test therefore leaves 0x100
// out and looks at the key separately, and the update applies 0x100 to the key
// for the key forms and to the file state word for the rest (INVIEW, ENDVIEW,
// CLOSE), so that INVIEW can actually mark a file as being in a view.
#include "files/state_check.h"

#include "files/operations.h"
#include "runtime/os/ascii.h"

namespace kor {

namespace {

bool AllBlank(const char* text, uint32_t length) {
  return text == nullptr || IsBlankText(std::string_view(text, length));
}

bool AllowedDuringBuild(int32_t op) {
  return op == kOpCLOSE || op == kOpNAME || op == kOpGET_PROPERTY || op == kOpBUILDevent ||
         op == kOpGETPROPERTYkey;
}

bool IsOnDemand(const KeyDescriptor* key) {
  return key != nullptr && (key->attributes & kKeyOnDemand) != 0;
}

}  // namespace

int32_t StateCheck(int32_t op, uint32_t state, const KeyDescriptor* key, const char* position,
                   uint32_t position_length) {
  const OpStateRow* row = OpRow(op);
  if (row == nullptr) return kErrUnsupported;

  uint32_t missing = row->required & ~state & ~uint32_t{kInView};
  if (missing == 0 && IsOnDemand(key)) {
    missing = row->required & kKeyBuilt & ~uint32_t{key->state};
  }

  int32_t result;
  if (missing == 0) {
    if ((state & kBuildActive) != 0 && !AllowedDuringBuild(op)) return kErrBuildInProgress;
    uint32_t forbidden = state & row->forbidden;
    if ((forbidden & kFileOpen) != 0) {
      result = kErrFileAlreadyOpen;
    } else if ((forbidden & kLogoutActive) != 0) {
      result = kErrLogoutActive;
    } else if (forbidden != 0) {
      result = -1;  // LOCK of a locked file, STREAM while streaming, INVIEW in a view
    } else {
      result = 0;
    }
  } else if ((missing & kFileOpen) != 0) {
    result = kErrFileNotOpen;
  } else if ((missing & kKeyBuilt) != 0) {
    result = kErrKeyMustBeRebuilt;
  } else if ((state & kFileOpen) == 0) {
    // A closed file needs no write or exclusive rights: the driver opens it
    // itself, as BUILD does.
    result = 0;
  } else if ((missing & (kRecordCurrent | kSequenceSet)) != 0) {
    result = kErrRecordNotAvailable;
  } else if ((missing & kDenyOthers) != 0) {
    result = kErrExclusiveRequired;
  } else if ((missing & kWriteAccess) != 0) {
    result = kErrAccessDenied;
  } else {
    result = -1;  // e.g. COMMIT without LOGOUT
  }

  if (result == 0 && TakesPositionString(op) && AllBlank(position, position_length)) {
    result = kErrRecordNotFound;
  }
  return result;
}

StateUpdateResult StateUpdate(int32_t op, int32_t result, uint32_t* state, KeyDescriptor* key,
                              bool created) {
  StateUpdateResult out{false, 0};
  const OpStateRow* row = OpRow(op);
  if (row == nullptr) {
    // Not in the table: nothing to change; a block built for it goes again.
    out.release = created;
    return out;
  }
  bool key_form = IsKeyForm(op);
  uint32_t file_mask = key_form ? ~uint32_t{0x100} : ~uint32_t{0};

  if (result != 0) {
    // A file-level operation refused because the file is busy (open, or in
    // a transaction) leaves the file as it was: CLOSE refused during a
    // LOGOUT must not drop the block the later COMMIT needs.
    bool busy = result == kErrFileAlreadyOpen || result == kErrLogoutActive;
    if (result == kErrFileNotOpen || ((row->kind & kKindFileLevel) != 0 && !busy)) {
      out.release = true;
    }
    *state &= ~(row->cleared_on_failure & file_mask);
    *state &= ~uint32_t{kWatchPending | kWatched};
  } else {
    *state |= row->set_on_success & file_mask;
    *state &= ~(row->cleared_on_success & file_mask);
    if (key_form && IsOnDemand(key)) {
      key->state |= static_cast<uint16_t>(row->set_on_success & kKeyBuilt);
      key->state &= static_cast<uint16_t>(~(row->cleared_on_success & kKeyBuilt));
    }
    out.result_flags = row->kind;
    if ((row->kind & kKindFileLevel) != 0) out.release = true;
  }
  // A query on a closed file does not leave a block behind.
  if (created && (row->kind & kKindKeepsBlock) == 0) out.release = true;
  return out;
}

}  // namespace kor
