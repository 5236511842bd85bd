// The string-stack forms of FORMAT, DEFORMAT and AGE used by generated code.
#include "runtime/builtins/format_functions.h"

#include <string>

#include "runtime/pictures/dates.h"
#include "runtime/pictures/format.h"
#include "runtime/values/string_stack.h"

namespace kor {

namespace {

// Pops the picture text and compiles it. The record's source pointer is
// cleared: the text it pointed to is gone with the entry.
Picture PopPicture() {
  std::string text = PopToStdString();
  Picture p;
  CompilePicture(text.data(), text.size(), &p);
  p.source = nullptr;
  return p;
}

}  // namespace

void FORMAT() {
  Picture p = PopPicture();
  std::string value = PopToStdString();
  char buf[kMaxPictureWidth];
  PushCopy(std::string_view(buf, FormatText(value, p, buf)));
}

void FormatLongOnStack(int32_t value) {
  Picture p = PopPicture();
  char buf[kMaxPictureWidth];
  PushCopy(std::string_view(buf, FormatLong(value, p, buf)));
}

void FormatRealOnStack(double value) {
  Picture p = PopPicture();
  char buf[kMaxPictureWidth];
  PushCopy(std::string_view(buf, FormatReal(value, p, buf)));
}

void DEFORMAT() {
  Picture p = PopPicture();
  std::string text = PopToStdString();
  DeformatResult r = Deformat(text, p);
  PushCopy(r.ok ? std::string_view(r.value) : std::string_view(text));
}

void AGE(int32_t birth, int32_t base) { PushCopy(AgeText(birth, base)); }

}  // namespace kor
