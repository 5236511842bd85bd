// The one-file view over the statement entries (see one_file_view.h).
#include "files/velocore/one_file_view.h"

#include "files/statements.h"
#include "runtime/core/error_state.h"
#include "runtime/values/string_stack.h"

namespace kor::vel {

void OneFileView::SetToStart() { SETkey(key_); }

void OneFileView::Reset(std::string_view position) {
  RESETkey(key_, position.data(), uint32_t(position.size()));
}

void OneFileView::Next() { NEXT(file()); }

void OneFileView::Previous() { PREVIOUS(file()); }

std::string OneFileView::Position() {
  POSITIONkey(key_);
  // The frame pushes the string result whether or not the call succeeded.
  std::string position = PopToStdString();
  return ERRORCODE() == 0 ? position : std::string();
}

void OneFileView::Watch() { WATCH(file()); }

void OneFileView::Reget(std::string_view position) {
  REGETkey(key_, position.data(), uint32_t(position.size()));
}

}  // namespace kor::vel
