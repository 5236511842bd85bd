// The description parser: the line tree read into windows, menus, tool bars
// and controls, with each fault reported on its line.
#include <algorithm>
#include <map>
#include <set>

#include "tools/rsc/description.h"
#include "tools/rsc/names.h"
#include "tools/rsc/parse_values.h"
#include "tools/rsc/parser.h"
#include "ui/resource/window_format.h"

namespace rsc {

using namespace kor;

bool Parser::FirstUse(std::set<std::string>& seen, const Line& line) {
  if (seen.insert(Keyword(line)).second) return true;
  Error(line, "'" + Keyword(line) + "' is given twice");
  return false;
}

bool Parser::Field(const Line& line, int32_t* field) {
  std::string error;
  int64_t v;
  if (line.tokens.size() < 2 || !ReadIntToken(line.tokens[1], 0, INT32_MAX, &v, &error)) {
    Error(line, "'" + Keyword(line) + "' needs its field number (0 when never addressed)");
    return false;
  }
  *field = static_cast<int32_t>(v);
  if (*field == 0) return true;
  // The runtime numbers a window's controls, menus and items 1, 2, 3 ... in
  // record order; the description says the same numbers.
  auto [it, fresh] = fields_.emplace(*field, line.number);
  if (!fresh) {
    Error(line, "field number " + std::to_string(*field) + " is used twice in this window " +
                    "(first on line " + std::to_string(it->second) + ")");
  } else if (*field != last_field_ + 1) {
    Error(line, "field number " + std::to_string(*field) + " should be " +
                    std::to_string(last_field_ + 1) +
                    ": a window's fields are numbered 1, 2, 3 ... in the order written");
  }
  last_field_ = *field;
  return true;
}

bool Parser::MessageProperty(const Line& line, MessageBlock& m) {
  const std::string& k = Keyword(line);
  Args args = ArgsOf(line);
  std::string error;
  if (k == "message") return Report(line, ReadText(args, &m.message, &error), error);
  if (k == "tip") return Report(line, ReadText(args, &m.tooltip, &error), error);
  if (k == "help") return Report(line, ReadText(args, &m.help, &error), error);
  if (k == "alert") return Report(line, ReadKeys(args, &m.alert_keys, &error), error);
  if (k == "key") {
    std::vector<int32_t> keys;
    bool ok = ReadKeys(args, &keys, &error) && (keys.size() == 1 || (error = "one key", false));
    if (ok) m.hot_key = keys[0];
    return Report(line, ok, error);
  }
  return false;
}

bool Parser::WindowProperty(const Line& line, WindowRecord& w) {
  const std::string& k = Keyword(line);
  Args args = ArgsOf(line);
  std::string error;
  int64_t v = 0;
  if (k == "title") return Report(line, ReadText(args, &w.title, &error), error);
  if (k == "at") return Report(line, ReadPosition(args, &w.position, &error), error);
  if (k == "font") return Report(line, ReadFont(args, &w.font, &error), error);
  if (k == "colours") return Report(line, ReadColours(args, &w.colours, &error), error);
  if (k == "icon") return Report(line, ReadImage(args, false, &w.icon, &error), error);
  if (k == "cursor") return Report(line, ReadImage(args, true, &w.cursor, &error), error);
  if (k == "timer") {
    bool ok = ReadInt(args, 0, INT32_MAX, &v, &error);
    w.timer = static_cast<int32_t>(v);
    return Report(line, ok, error);
  }
  if (k == "status") {
    w.status_offset = kPending;
    return Report(line, ReadStatusWidths(args, &w.status_widths, &error), error);
  }
  if (k == "unit") {
    std::optional<int32_t> unit;
    if (args.size() == 1) unit = ValueByName(args[0].value, UnitNames());
    if (unit) w.attr = (w.attr & ~kUnitMask) | *unit;
    return Report(line, unit.has_value(), "expected a unit: dialog, inch/25, inch/1000 or pixel");
  }
  if (k == "attr") return Report(line, ReadWindowAttr(args, &w.attr, &error), error);
  if (k == "frame") return Report(line, ReadFrame(args, &w.attr2, &error), error);
  if (k == "reserved") {
    int32_t* words[] = {&w.reserved, &w.reserved2[0], &w.reserved2[1]};
    bool ok = args.size() == 3 || (error = "expected three numbers", false);
    for (size_t i = 0; ok && i < 3; ++i) {
      ok = ReadIntToken(args[i], INT32_MIN, INT32_MAX, &v, &error);
      *words[i] = static_cast<int32_t>(v);
    }
    return Report(line, ok, error);
  }
  if (k == "wallpaper") {
    bool ok = args.size() >= 2 && ReadIntToken(args[0], 0, 255, &v, &error) &&
              ReadImage(Args(args.begin() + 1, args.end()), false, &w.wallpaper, &error);
    if (args.size() < 2) error = "expected a mode number and an image";
    w.wallpaper_mode = static_cast<uint8_t>(v);
    return Report(line, ok, error);
  }
  return MessageProperty(line, w.message);
}

void Parser::Window(const Line& line, WindowTree* out) {
  fields_.clear();
  last_field_ = 0;
  WindowRecord& w = out->window;
  w.type = Keyword(line) == "report" ? kRecReport : kRecWindow;
  std::string error;
  if (!ReadText(ArgsOf(line), &w.label, &error)) Error(line, "a window needs its label: " + error);
  std::set<std::string> seen;
  bool handled;
  for (const Line& child : line.children) {
    const std::string& k = Keyword(child);
    if (k == "menubar" || k == "toolbar") {
      // Written in record order: the menu bar, the tool bar, the controls.
      if (!out->controls.empty() || (k == "menubar" && out->tool_bar))
        Error(child, "the menu bar and the tool bar come before the controls, in that order");
      if (!FirstUse(seen, child)) continue;
      if (k == "menubar") MenuBar(child, &out->menu_bar.emplace());
      else ToolBar(child, &out->tool_bar.emplace());
      continue;
    }
    Controls({child}, &out->controls, &handled);
    if (handled) continue;
    if (!child.children.empty()) Error(child, "the property '" + k + "' holds no lines");
    if (FirstUse(seen, child) && !WindowProperty(child, w))
      Error(child, "'" + k + "' is not a property of a window");
  }
}

void Parser::MenuBar(const Line& line, MenuBarRecord* out) {
  std::string error;
  if (line.tokens.size() != 1) Error(line, "'menubar' stands alone; its menus follow indented");
  std::set<std::string> seen;
  for (const Line& child : line.children) {
    const std::string& k = Keyword(child);
    if (k == "menu") {
      Menu(child, &out->menus.emplace_back());
    } else if ((k == "attr" || k == "reserved") && FirstUse(seen, child)) {
      Report(child, ReadWord(ArgsOf(child), k == "attr" ? &out->attr : &out->reserved, &error),
             error);
    } else if (k != "attr" && k != "reserved") {
      Error(child, "a menu bar holds menus ('menu'), not '" + k + "'");
    }
  }
}

void Parser::Menu(const Line& line, MenuRecord* out) {
  out->type = Keyword(line) == "menu" ? kRecMenu : kRecMenuItem;
  Field(line, &out->field);
  if (line.tokens.size() > 3 || (line.tokens.size() == 3 && !line.tokens[2].is_text))
    Error(line, "expected '" + Keyword(line) + " FIELD \"text\"'");
  if (line.tokens.size() == 3) out->text = line.tokens[2].value;
  std::set<std::string> seen;
  for (const Line& child : line.children) {
    const std::string& k = Keyword(child);
    if (out->type == kRecMenu && (k == "menu" || k == "item")) {
      Menu(child, &out->items.emplace_back());
      continue;
    }
    if (FirstUse(seen, child) && !MenuProperty(child, *out))
      Error(child, "'" + k + "' is not a property of a " + Keyword(line));
  }
}

bool Parser::MenuProperty(const Line& line, MenuRecord& m) {
  const std::string& k = Keyword(line);
  Args args = ArgsOf(line);
  std::string error;
  bool item = m.type == kRecMenuItem;
  if (k == "name") return Report(line, ReadText(args, &m.name, &error), error);
  if (k == "font") return Report(line, ReadFont(args, &m.font, &error), error);
  if (k == "attr") return Report(line, ReadWord(args, &m.attr, &error), error);
  if (k == "reserved") return Report(line, ReadWord(args, &m.reserved, &error), error);
  if (k == "reserved2") return Report(line, ReadWord(args, &m.reserved2, &error), error);
  if (k == "action" && item) {
    std::optional<int32_t> a =
        args.size() == 1 && !args[0].is_text ? ParseAction(args[0].value) : std::nullopt;
    if (a) m.action = *a;
    return Report(line, a.has_value(), "expected a standard action: close, or a number");
  }
  if (k == "options" && item) {
    int32_t bits = 0;
    bool ok = ReadBits(args, OptionNames(kRecMenuItem), 0xFF, &bits, &error);
    m.options = static_cast<uint8_t>(bits);
    return Report(line, ok, error);
  }
  return MessageProperty(line, m.message);
}

void Parser::ToolBar(const Line& line, ToolBarRecord* out) {
  if (line.tokens.size() != 1) Error(line, "'toolbar' stands alone; its controls follow indented");
  std::set<std::string> seen;
  for (const Line& child : line.children) {
    bool handled;
    Controls({child}, &out->controls, &handled);
    if (handled || !FirstUse(seen, child)) continue;
    const std::string& k = Keyword(child);
    std::string error;
    if (k == "at") {
      Report(child, ReadPosition(ArgsOf(child), &out->position, &error), error);
    } else if (k == "attr" || k == "reserved") {
      Report(child, ReadWord(ArgsOf(child), k == "attr" ? &out->attr : &out->reserved, &error),
             error);
    } else {
      Error(child, "'" + k + "' is not a property of a tool bar");
    }
  }
}

void Parser::Controls(const std::vector<Line>& lines, std::vector<ControlRecord>* out,
                      bool* handled) {
  *handled = false;
  for (const Line& line : lines) {
    const KindName* kind = KindByName(Keyword(line));
    if (kind == nullptr) continue;
    *handled = true;
    Control(line, *kind, &out->emplace_back());
  }
}

void Parser::Resource(const std::vector<Line>& roots, Description* out) {
  bool named = false;
  std::map<std::string, int> labels;
  for (const Line& line : roots) {
    const std::string& k = Keyword(line);
    if (k == "resource") {
      std::string error;
      if (named) Error(line, "'resource' is given twice");
      else if (!ReadText(ArgsOf(line), &out->module, &error)) Error(line, error);
      if (!line.children.empty()) Error(line, "'resource' holds no lines");
      named = true;
    } else if (k == "window" || k == "report") {
      if (!named) Error(line, "the file must start with 'resource \"prefix$MODULE\"'");
      Window(line, &out->windows.emplace_back());
      std::string upper = out->windows.back().window.label;
      for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
      auto [it, fresh] = labels.emplace(upper, line.number);
      if (!fresh) Error(line, "a window of this label is on line " + std::to_string(it->second));
    } else {
      Error(line, "expected 'resource' or 'window', not '" + k + "'");
    }
  }
  if (!named && diagnostics_->empty()) diagnostics_->push_back({1, "the file names no resource"});
}

bool ParseDescription(const std::string& text, Description* out,
                      std::vector<Diagnostic>* diagnostics) {
  *out = Description();
  size_t before = diagnostics->size();
  std::vector<Line> roots;
  ReadTextTree(text, &roots, diagnostics);
  Parser(diagnostics).Resource(roots, out);
  std::stable_sort(diagnostics->begin() + static_cast<long>(before), diagnostics->end(),
                   [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
  return diagnostics->size() == before;
}

}  // namespace rsc
