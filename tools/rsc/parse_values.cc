// Readers of property values for the description parser.
#include "tools/rsc/parse_values.h"

#include <charconv>
#include <climits>

#include "tools/rsc/description.h"
#include "tools/rsc/names.h"
#include "ui/resource/window_format.h"

namespace rsc {

using namespace kor;

namespace {

bool Fail(std::string* error, std::string message) {
  *error = std::move(message);
  return false;
}

bool Count(const Args& args, size_t low, size_t high, const char* what, std::string* error) {
  if (args.size() >= low && args.size() <= high) return true;
  return Fail(error, std::string("expected ") + what);
}

bool Word(const Token& t, const char* what, std::string* error) {
  if (!t.is_text) return true;
  return Fail(error, std::string("expected ") + what + ", not a text");
}

}  // namespace

bool ReadText(const Args& args, std::string* out, std::string* error) {
  if (args.size() != 1 || !args[0].is_text) return Fail(error, "expected one text in quotes");
  *out = args[0].value;
  return true;
}

bool ReadIntToken(const Token& t, int64_t low, int64_t high, int64_t* out, std::string* error) {
  std::optional<int64_t> n = t.is_text ? std::nullopt : ParseNumber(t.value);
  if (!n) return Fail(error, "'" + t.value + "' is not a whole number");
  if (*n < low || *n > high) {
    return Fail(error, t.value + " is out of range (" + std::to_string(low) + " to " +
                           std::to_string(high) + ")");
  }
  *out = *n;
  return true;
}

bool ReadInt(const Args& args, int64_t low, int64_t high, int64_t* out, std::string* error) {
  if (!Count(args, 1, 1, "one number", error)) return false;
  return ReadIntToken(args[0], low, high, out, error);
}

bool ReadWord(const Args& args, int32_t* out, std::string* error) {
  int64_t v;
  if (!ReadInt(args, INT32_MIN, INT32_MAX, &v, error)) return false;
  *out = static_cast<int32_t>(v);
  return true;
}

bool ReadBits(const Args& args, const BitNames& names, int64_t max, int32_t* out,
              std::string* error) {
  std::vector<std::string> words;
  if (!ReadWords(args, &words, error)) return false;
  std::string bad;
  std::optional<int32_t> bits = ParseBits(words, names, &bad);
  if (!bits) return Fail(error, "'" + bad + "' is not a name of this option");
  if (max<INT32_MAX&& static_cast<uint32_t>(*bits)> max)
    return Fail(error, "the options do not fit one byte");
  *out = *bits;
  return true;
}

bool ReadReal(const Token& t, double* out, std::string* error) {
  const char* begin = t.value.data();
  const char* end = begin + t.value.size();
  auto [ptr, ec] = std::from_chars(begin, end, *out);
  if (t.is_text || t.value.empty() || ec != std::errc() || ptr != end)
    return Fail(error, "'" + t.value + "' is not a number");
  return true;
}

bool ReadPosition(const Args& args, Position* out, std::string* error) {
  if (!Count(args, 4, 4, "x, y, width and height (numbers or default)", error)) return false;
  int32_t* values[] = {&out->x, &out->y, &out->width, &out->height};
  for (int i = 0; i < 4; ++i) {
    if (args[i].value == "default" && !args[i].is_text) {
      *values[i] = kOmitted;
      continue;
    }
    int64_t v;
    if (!ReadIntToken(args[i], INT32_MIN + 1, INT32_MAX, &v, error)) return false;
    *values[i] = static_cast<int32_t>(v);
  }
  return true;
}

bool ReadImage(const Args& args, bool cursor, ImageName* out, std::string* error) {
  *out = ImageName();
  if (args.size() == 1 && !args[0].is_text && args[0].value == "none") return true;
  if (args.size() == 1 && args[0].is_text) {
    if (args[0].value.empty()) return Fail(error, "an image name may not be empty");
    if (static_cast<uint8_t>(args[0].value[0]) == kImageRefMark)
      return Fail(error, "a file name may not start with the character 255");
    out->kind = ImageName::Kind::kFile;
    out->file = args[0].value;
    return true;
  }
  const char* usage = "a file name in quotes, resource N, system NAME or ref KIND N";
  if (args.size() < 2 || args[0].is_text) return Fail(error, std::string("expected ") + usage);
  const std::string& how = args[0].value;
  int64_t kind = how == "resource" ? kRefProgram : kRefPlatform;
  int64_t id = 0;
  size_t number_at = 1;
  if (how == "ref") {
    if (!Count(args, 3, 3, usage, error)) return false;
    if (!ReadIntToken(args[1], 0, 255, &kind, error)) return false;
    number_at = 2;
  } else if (how != "resource" && how != "system") {
    return Fail(error, std::string("expected ") + usage);
  } else if (!Count(args, 2, 2, usage, error)) {
    return false;
  }
  std::optional<int32_t> named = how != "system" ? std::nullopt
                                 : cursor        ? SystemCursorByName(args[1].value)
                                                 : SystemIconByName(args[1].value);
  if (named) id = *named;
  else if (!ReadIntToken(args[number_at], 0, 0xFFFE, &id, error)) return false;
  out->kind = ImageName::Kind::kReference;
  out->ref_kind = static_cast<uint8_t>(kind);
  out->stored = static_cast<uint16_t>(id + 1);
  if (cursor && kind == kRefPlatform && id == 32646) out->stored = kStoredSizeAllCursor;
  if (cursor && kind == kRefPlatform && id == 32512) out->stored = kStoredArrowCursor;
  return true;
}

bool ReadFont(const Args& args, FontBlock* out, std::string* error) {
  const char* usage = "\"FACE\" SIZE [colour C] [weight normal|bold|N]";
  if (args.size() < 2 || !args[0].is_text || args.size() % 2 != 0)
    return Fail(error, std::string("expected ") + usage);
  *out = FontBlock();
  out->offset = kPending;
  out->face = args[0].value;
  int64_t size;
  if (!ReadIntToken(args[1], 0, INT32_MAX, &size, error)) return false;
  out->size = static_cast<int32_t>(size);
  for (size_t i = 2; i < args.size(); i += 2) {
    const std::string& key = args[i].value;
    const std::string& value = args[i + 1].value;
    if (key == "colour" && !args[i].is_text) {
      std::optional<int32_t> c = args[i + 1].is_text ? std::nullopt : ParseColour(value);
      if (!c) return Fail(error, "'" + value + "' is not a colour");
      out->colour = *c;
    } else if (key == "weight" && !args[i].is_text) {
      int64_t w = value == "normal" ? 400 : value == "bold" ? 700 : 0;
      if (w == 0 && !ReadIntToken(args[i + 1], INT32_MIN, INT32_MAX, &w, error)) return false;
      out->weight = static_cast<int32_t>(w);
    } else {
      return Fail(error, std::string("expected ") + usage);
    }
  }
  return true;
}

bool ReadColours(const Args& args, ColourBlock* out, std::string* error) {
  if (!Count(args, 3, 3, "three colours (default, rgb(r,g,b) or 0x...)", error)) return false;
  *out = ColourBlock();
  out->offset = kPending;
  for (int i = 0; i < 3; ++i) {
    std::optional<int32_t> c = args[i].is_text ? std::nullopt : ParseColour(args[i].value);
    if (!c) return Fail(error, "'" + args[i].value + "' is not a colour");
    out->colour[i] = *c;
  }
  return true;
}

bool ReadVariable(const Args& args, VariableDescriptor* out, std::string* error) {
  const char* usage = "TYPE[(SIZE[,PLACES])] [@PICTURE] [extra N]";
  if (args.empty() || args[0].is_text) return Fail(error, std::string("expected ") + usage);
  *out = VariableDescriptor();
  out->offset = kPending;
  std::string word = args[0].value;
  size_t paren = word.find('(');
  std::optional<uint8_t> type = TypeByName(word.substr(0, paren));
  if (!type) return Fail(error, "'" + word.substr(0, paren) + "' is not a data type");
  out->type = *type;
  out->size = NaturalSize(*type);
  if (paren != std::string::npos) {
    if (word.back() != ')') return Fail(error, "'" + word + "' lacks its closing parenthesis");
    std::string inside = word.substr(paren + 1, word.size() - paren - 2);
    size_t comma = inside.find(',');
    int64_t size, places = 0;
    if (!ReadIntToken({false, inside.substr(0, comma)}, 0, INT32_MAX, &size, error)) return false;
    if (comma != std::string::npos &&
        !ReadIntToken({false, inside.substr(comma + 1)}, 0, 255, &places, error))
      return false;
    out->size = static_cast<int32_t>(size);
    out->extra = static_cast<int32_t>(places);
  }
  for (size_t i = 1; i < args.size(); ++i) {
    const Token& t = args[i];
    if (!t.is_text && t.value.size() > 1 && t.value[0] == '@' && IsStringType(out->type)) {
      out->picture = t.value;
    } else if (!t.is_text && t.value == "extra" && i + 1 < args.size() &&
               !IsStringType(out->type)) {
      int64_t extra;
      if (!ReadIntToken(args[++i], INT32_MIN, INT32_MAX, &extra, error)) return false;
      out->extra = static_cast<int32_t>(extra);
    } else {
      return Fail(error, std::string("expected ") + usage + " (a picture only for strings)");
    }
  }
  return true;
}

bool ReadKeys(const Args& args, std::vector<int32_t>* out, std::string* error) {
  if (args.empty()) return Fail(error, "expected one or more keys");
  out->clear();
  for (const Token& t : args) {
    std::optional<int32_t> key = t.is_text ? std::nullopt : ParseKey(t.value);
    if (!key)
      return Fail(error, "'" + t.value + "' is not a key (Enter, Ctrl+Insert, F5, vk5 ...)");
    out->push_back(*key);
  }
  return true;
}

bool ReadStatusWidths(const Args& args, std::vector<int32_t>* out, std::string* error) {
  out->clear();
  for (const Token& t : args) {
    if (!Word(t, "widths", error)) return false;
    if (t.value == "rest") {
      out->push_back(kRestOfBar);
      continue;
    }
    int64_t w;
    if (!ReadIntToken(t, INT32_MIN, INT32_MAX, &w, error)) return false;
    if (w == 0) return Fail(error, "a status-bar width of 0 would end the list");
    out->push_back(static_cast<int32_t>(w));
  }
  return true;
}

bool ReadPicture(const Args& args, std::string* out, std::string* error) {
  if (args.size() != 1 || args[0].is_text || args[0].value.size() < 2 || args[0].value[0] != '@')
    return Fail(error, "expected a picture such as @s30 or @n3");
  *out = args[0].value.substr(1);
  return true;
}

bool ReadWindowAttr(const Args& args, int32_t* attr, std::string* error) {
  std::vector<std::string> words;
  if (!ReadWords(args, &words, error)) return false;
  std::string bad;
  std::optional<int32_t> bits = ParseBits(words, {}, &bad);
  if (!bits) return Fail(error, "'" + bad + "' is not a hexadecimal number of bits");
  if ((*bits & kUnitMask) != 0) return Fail(error, "the unit is given by 'unit'");
  *attr |= *bits;
  return true;
}

bool ReadFrame(const Args& args, int32_t* attr2, std::string* error) {
  std::vector<std::string> words;
  if (!ReadWords(args, &words, error)) return false;
  std::optional<int32_t> frame = words.empty() ? std::nullopt : ValueByName(words[0], FrameNames());
  if (!frame) return Fail(error, "expected a frame (single, resizable, double, none) and options");
  std::string bad;
  std::optional<int32_t> flags =
      ParseBits({words.begin() + 1, words.end()}, WindowFlagNames(), &bad);
  if (!flags) return Fail(error, "'" + bad + "' is not a window option");
  if ((*flags & kFrameMask) != 0) return Fail(error, "the frame is given by its name");
  *attr2 = *frame | *flags;
  return true;
}

bool ReadWords(const Args& args, std::vector<std::string>* out, std::string* error) {
  out->clear();
  for (const Token& t : args) {
    if (!Word(t, "names", error)) return false;
    out->push_back(t.value);
  }
  return true;
}

}  // namespace rsc
