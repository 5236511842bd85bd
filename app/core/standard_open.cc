// The standard open's decision sequence over the file statements.
#include "app/core/standard_open.h"

#include <string>

#include "app/core/batch_texts.h"
#include "files/statements.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/values/string_stack.h"

namespace mxb {

namespace {

// The file's NAME as the driver reports it; a driver that reports none
// (NAME failing) leaves the message its declared name, else its label.
std::string FileName(kor::FileDescriptor* file) {
  kor::SaveErrorState();  // NAME must not clear the error being reported
  kor::NAME(file);
  std::string name = Clip(kor::PopToStdString());
  kor::RestoreErrorState();
  if (!name.empty()) return name;
  if (file->name != nullptr) {
    return Clip(file->name_size == 0 ? std::string_view(file->name)
                                     : std::string_view(file->name, file->name_size));
  }
  return std::string(file->label, file->label_length);
}

// Runs a warning about the file; the error state is the one to quote.
uint32_t Warn(WarningSink& sink, int number, kor::FileDescriptor* file) {
  return StandardWarning(sink, number, FileName(file));
}

void CreateAndOpen(kor::FileDescriptor* file, WarningSink& sink, uint32_t mode) {
  kor::CREATE(file);
  if (kor::ERRORCODE() != kor::kErrNone) Warn(sink, 4, file);
  kor::OPEN(file, mode);
  if (kor::ERRORCODE() != kor::kErrNone) Warn(sink, 5, file);
}

void Rebuild(kor::FileDescriptor* file, WarningSink& sink, uint32_t mode) {
  if (Warn(sink, 2, file) != kButtonYes) return;  // the error stays: step 4
  kor::BUILDfile(file);
  if (kor::ERRORCODE() != kor::kErrNone) Warn(sink, 3, file);
  kor::OPEN(file, mode);
}

}  // namespace

void StandardOpen(kor::FileDescriptor* file, WarningSink& sink, const OpenRequest& request) {
  const uint32_t mode = request.shared ? kSharedOpenMode : request.mode;
  kor::OPEN(file, mode);
  if (kor::ERRORCODE() == kor::kErrFileIsAlreadyLocked) {
    kor::SEND(file, kRecoverCommand);
    kor::PopString();
    kor::OPEN(file, mode);
  }
  switch (kor::ERRORCODE()) {
    case kor::kErrNone:
    case kor::kErrFileAlreadyOpen: return;
    case kor::kErrFileNotFound:
      if (request.no_create) break;
      if (request.create_allowed) {
        CreateAndOpen(file, sink, mode);
      } else {
        Warn(sink, 4, file);
      }
      break;
    case kor::kErrInvalidRecordDeclaration: Warn(sink, 1, file); break;
    case kor::kErrKeyMustBeRebuilt: Rebuild(file, sink, mode); break;
    default: break;
  }
  if (kor::ERRORCODE() == kor::kErrNone) return;
  Warn(sink, 30, file);
  sink.End(kFatalFileExitCode, kDiskErrorText);
}

}  // namespace mxb
