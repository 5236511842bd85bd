// The description parser's controls: the header line (kind, field number,
// text) and the properties each kind has.
#include "tools/rsc/parser.h"

namespace rsc {

using namespace kor;

namespace {

bool HasText(const ControlLayout& layout) { return layout.text != -1; }

}  // namespace

void Parser::Control(const Line& line, const KindName& kind, ControlRecord* out) {
  const ControlLayout& layout = *FindControlLayout(kind.type);
  out->type = kind.type;
  out->known = true;
  Field(line, &out->field);
  size_t n = line.tokens.size();
  if (n == 3 && HasText(layout) && line.tokens[2].is_text) out->text = line.tokens[2].value;
  else if (n > 2)
    Error(line, std::string("expected '") + kind.name + " FIELD" +
                    (HasText(layout) ? " [\"text\"]'" : "'"));
  std::set<std::string> seen;
  for (const Line& child : line.children) {
    if (KindByName(Keyword(child)) != nullptr) {
      if (kind.type != kRecGroup) Error(child, "only a group holds controls");
      bool handled;
      Controls({child}, &out->children, &handled);
      continue;
    }
    if (!child.children.empty())
      Error(child, "the property '" + Keyword(child) + "' holds no lines");
    if (FirstUse(seen, child) && !ControlProperty(child, layout, *out))
      Error(child, "'" + Keyword(child) + "' is not a property of " + kind.name);
  }
}

bool Parser::ControlProperty(const Line& line, const ControlLayout& layout, ControlRecord& c) {
  const std::string& k = Keyword(line);
  Args args = ArgsOf(line);
  std::string error;
  if (k == "name") return Report(line, ReadText(args, &c.name, &error), error);
  if (k == "at") return Report(line, ReadPosition(args, &c.position, &error), error);
  if (k == "attr")
    return Report(line, ReadBits(args, ControlAttrNames(c.type), INT32_MAX, &c.attr, &error),
                  error);
  if (k == "reserved") return Report(line, ReadWord(args, &c.reserved, &error), error);
  if (k == "var" && layout.variable != -1)
    return Report(line, ReadVariable(args, &c.variable, &error), error);
  if (k == "format" && layout.format != -1)
    return Report(line, ReadText(args, &c.format, &error), error);
  if (k == "picture" && layout.picture != -1)
    return Report(line, ReadPicture(args, &c.picture, &error), error);
  if (k == "font" && layout.font != -1) return Report(line, ReadFont(args, &c.font, &error), error);
  if (k == "cursor" && layout.cursor != -1)
    return Report(line, ReadImage(args, true, &c.cursor, &error), error);
  if (k == "colours" && layout.colours != -1)
    return Report(line, ReadColours(args, &c.colours, &error), error);
  if (((k == "icon" && c.type != kRecImage) || (k == "graphic" && c.type == kRecImage)) &&
      layout.image != -1)
    return Report(line, ReadImage(args, false, &c.image, &error), error);
  if (layout.message != -1 && MessageProperty(line, c.message)) return true;
  return KindProperty(line, c);
}

bool Parser::KindProperty(const Line& line, ControlRecord& c) {
  const std::string& k = Keyword(line);
  Args args = ArgsOf(line);
  std::string error;
  int64_t v;
  uint8_t t = c.type;
  if (k == "options" && (t == kRecButton || t == kRecCheck || t == kRecList || t == kRecImage ||
                         t == kRecBoundString)) {
    int32_t bits = 0;
    bool ok = ReadBits(args, OptionNames(t), 0xFF, &bits, &error);
    c.options = static_cast<uint8_t>(bits);
    return Report(line, ok, error);
  }
  if (k == "value" &&
      (t == kRecPrompt || t == kRecString || t == kRecBoundString || t == kRecSpin)) {
    bool ok = ReadInt(args, INT16_MIN, INT16_MAX, &v, &error);
    c.value = static_cast<int16_t>(v);
    return Report(line, ok, error);
  }
  if (k == "action" && t == kRecButton) {
    std::optional<int32_t> a =
        args.size() == 1 && !args[0].is_text ? ParseAction(args[0].value) : std::nullopt;
    if (a) c.action = *a;
    return Report(line, a.has_value(), "expected a standard action: close, or a number");
  }
  if (k == "repeat" && t == kRecButton) {
    int64_t delay = 0, interval = 0;
    bool ok = args.size() == 2 && ReadIntToken(args[0], 0, 0xFFFF, &delay, &error) &&
              ReadIntToken(args[1], 0, 0xFFFF, &interval, &error);
    if (args.size() != 2) error = "expected the delay and the interval in hundredths of a second";
    c.delay = static_cast<uint16_t>(delay);
    c.repeat = static_cast<uint16_t>(interval);
    return Report(line, ok, error);
  }
  if (k == "range" && t == kRecSpin) {
    bool ok =
        args.size() == 2 && ReadReal(args[0], &c.low, &error) && ReadReal(args[1], &c.high, &error);
    return Report(line, ok, args.size() == 2 ? error : "expected the lowest and the highest value");
  }
  if (k == "step" && t == kRecSpin) {
    bool ok = args.size() == 1 && ReadReal(args[0], &c.step, &error);
    return Report(line, ok, args.size() == 1 ? error : "expected one step");
  }
  if (k == "source" && (t == kRecSpin || t == kRecList))
    return Report(line, ReadVariable(args, &c.source, &error), error);
  if (k == "images" && t == kRecCheck) {
    bool ok = args.size() == 2 && ReadImage({args[0]}, false, &c.image2, &error) &&
              ReadImage({args[1]}, false, &c.image3, &error);
    return Report(line, ok, args.size() == 2 ? error : "expected two image file names");
  }
  if (t == kRecList) return ListProperty(line, c);
  return false;
}

bool Parser::ListProperty(const Line& line, ControlRecord& c) {
  const std::string& k = Keyword(line);
  Args args = ArgsOf(line);
  std::string error;
  int64_t v = 0;
  if (k == "var2") return Report(line, ReadVariable(args, &c.second, &error), error);
  if (k == "drop") {
    bool ok = ReadInt(args, 0, 255, &v, &error);
    c.drop = static_cast<uint8_t>(v);
    return Report(line, ok, error);
  }
  int32_t* word = k == "setting"      ? &c.setting
                  : k == "list-value" ? &c.option_value
                  : k == "list-more"  ? &c.more
                                      : nullptr;
  if (word != nullptr) {
    bool ok = ReadInt(args, INT32_MIN, INT32_MAX, &v, &error);
    *word = static_cast<int32_t>(v);
    return Report(line, ok, error);
  }
  if (k == "list-text") {
    bool ok = args.size() == 2 && args[0].is_text &&
              ReadIntToken(args[1], INT32_MIN, INT32_MAX, &v, &error);
    if (ok) c.extra_text = args[0].value, c.extra_value = static_cast<int32_t>(v);
    return Report(line, ok, error.empty() ? "expected a text and a number" : error);
  }
  return false;
}

}  // namespace rsc
