// The string stack's conversions of the top string to numbers.
#include "runtime/values/string_stack.h"

#include "runtime/os/ascii.h"
#include "runtime/values/decimal_stack.h"

namespace kor {

double PopStringAsReal() {
  constexpr size_t kMaxRealText = 39;
  std::string_view text = TrimTrailingBlanks(TopView());
  if (text.size() > kMaxRealText) text = text.substr(0, kMaxRealText);
  double value = TextToReal(text.data(), text.size());
  PopString();
  return value;
}

void PopStringAsDecimal() {
  constexpr size_t kMaxDecimalText = 99;
  std::string_view text = TopView();
  if (text.size() > kMaxDecimalText) text = text.substr(0, kMaxDecimalText);
  PushTextDecimal(text.data(), text.size());
  PopString();
}

}  // namespace kor
