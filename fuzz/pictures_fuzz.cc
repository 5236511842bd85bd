// Fuzz target for the picture compiler, FORMAT and DEFORMAT. The input is a
// picture text, a zero byte, and a text to read; the text's bytes also make a
// number to format. Every compiled record must keep its width and FORMAT
// must write exactly that many characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/pictures/format.h"
#include "runtime/pictures/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  const char* split = static_cast<const char*>(std::memchr(bytes, 0, size));
  size_t picture_length = split ? static_cast<size_t>(split - bytes) : size;
  std::string picture(bytes, picture_length);
  std::string_view text;
  if (split) text = std::string_view(split + 1, size - picture_length - 1);

  kor::Picture p;
  kor::CompilePicture(picture.c_str(), picture.size(), &p);
  if (p.kind == kor::PictureKind::kInvalid && p.width != 0) std::abort();

  char out[kor::kMaxPictureWidth];
  int64_t number = 0;
  double real = 0;
  if (text.size() >= sizeof number) std::memcpy(&number, text.data(), sizeof number);
  if (text.size() >= sizeof real)
    std::memcpy(&real, text.data() + text.size() - sizeof real, sizeof real);
  size_t expect = p.kind == kor::PictureKind::kInvalid ? 0 : p.width;
  if (kor::FormatLong(number, p, out) != expect) std::abort();
  if (kor::FormatReal(real, p, out) != expect) std::abort();
  if (kor::FormatText(text, p, out) != expect) std::abort();

  // What FORMAT writes must read back.
  kor::DeformatResult r = kor::Deformat(text, p);
  size_t n = kor::FormatText(r.value, p, out);
  kor::DeformatResult again = kor::Deformat(std::string_view(out, n), p);
  if (r.ok && !again.ok && p.kind != kor::PictureKind::kKeyIn &&
      p.kind != kor::PictureKind::kInvalid) {
    // A value that does not fit shows "#"; everything else must read back.
    if (std::string_view(out, n).find('#') == std::string_view::npos) std::abort();
  }
  return 0;
}
