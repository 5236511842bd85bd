// The description printer: one canonical layout, so that a description read,
// compiled, decoded and printed again gives back its own lines.
#include <charconv>

#include "tools/rsc/description.h"
#include "tools/rsc/names.h"
#include "ui/resource/window_format.h"

namespace rsc {

using namespace kor;

namespace {

class Printer {
 public:
  std::string Print(const Description& d);

 private:
  void Line(int depth, const std::string& text) {
    out_ += std::string(2 * depth, ' ') + text + "\n";
  }
  void Window(const WindowTree& t);
  void WindowProperties(const WindowRecord& w);
  void Message(int depth, const MessageBlock& m);
  void MenuBar(const MenuBarRecord& bar);
  void Menu(int depth, const MenuRecord& m);
  void ToolBar(const ToolBarRecord& bar);
  void Control(int depth, const ControlRecord& c);
  void SharedItems(int depth, const ControlRecord& c, const ControlLayout& l);
  void KindItems(int depth, const ControlRecord& c);

  std::string out_;
};

std::string Value(int32_t v) { return v == kOmitted ? "default" : std::to_string(v); }

std::string PositionText(const Position& p) {
  return "at " + Value(p.x) + " " + Value(p.y) + " " + Value(p.width) + " " + Value(p.height);
}

std::string Real(double v) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : "0";
}

std::string ImageText(const ImageName& n, bool cursor) {
  if (n.kind == ImageName::Kind::kNone) return "none";
  if (n.kind == ImageName::Kind::kFile) return QuoteText(n.file);
  if (n.ref_kind == kRefProgram) return "resource " + std::to_string(n.Identifier());
  if (n.ref_kind != kRefPlatform)
    return "ref " + std::to_string(n.ref_kind) + " " + std::to_string(n.Identifier());
  int32_t id = cursor ? CursorIdentifier(n.stored) : n.Identifier();
  const char* name = cursor ? SystemCursorName(id) : SystemIconName(id);
  return "system " + (name != nullptr ? std::string(name) : std::to_string(id));
}

std::string FontText(const FontBlock& f) {
  std::string s = "font " + QuoteText(f.face) + " " + std::to_string(f.size);
  if (f.colour != kDefaultColour) s += " colour " + FormatColour(f.colour);
  if (f.weight == 400) s += " weight normal";
  else if (f.weight == 700) s += " weight bold";
  else if (f.weight != kDefaultColour) s += " weight " + std::to_string(f.weight);
  return s;
}

std::string ColoursText(const ColourBlock& c) {
  return "colours " + FormatColour(c.colour[0]) + " " + FormatColour(c.colour[1]) + " " +
         FormatColour(c.colour[2]);
}

std::string VariableText(const VariableDescriptor& v) {
  const char* name = TypeName(v.type);
  std::string s = name != nullptr ? name : "type" + std::to_string(v.type);
  bool decimal = v.type == 10 || v.type == 11;
  if (decimal) s += "(" + std::to_string(v.size) + "," + std::to_string(v.extra) + ")";
  else if (v.size != NaturalSize(v.type)) s += "(" + std::to_string(v.size) + ")";
  if (IsStringType(v.type) && !v.picture.empty()) s += " " + v.picture;
  if (!decimal && !IsStringType(v.type) && v.extra != 0) s += " extra " + std::to_string(v.extra);
  return s;
}

std::string KeysText(const std::vector<int32_t>& keys) {
  std::string s;
  for (int32_t k : keys) s += " " + FormatKey(k);
  return s;
}

}  // namespace

void Printer::Message(int depth, const MessageBlock& m) {
  if (!m.message.empty()) Line(depth, "message " + QuoteText(m.message));
  if (!m.tooltip.empty()) Line(depth, "tip " + QuoteText(m.tooltip));
  if (!m.help.empty()) Line(depth, "help " + QuoteText(m.help));
  if (m.hot_key != 0) Line(depth, "key " + FormatKey(m.hot_key));
  if (!m.alert_keys.empty()) Line(depth, "alert" + KeysText(m.alert_keys));
}

void Printer::WindowProperties(const WindowRecord& w) {
  if (!w.title.empty()) Line(1, "title " + QuoteText(w.title));
  Line(1, PositionText(w.position));
  if ((w.attr & kUnitMask) != kUnitDialog)
    Line(1, std::string("unit ") + NameOfValue(w.attr & kUnitMask, UnitNames()));
  if ((w.attr & ~kUnitMask) != 0) Line(1, "attr " + FormatBits(w.attr & ~kUnitMask, {}));
  if (w.reserved != 0 || w.reserved2[0] != 0 || w.reserved2[1] != 0) {
    Line(1, "reserved " + std::to_string(w.reserved) + " " + std::to_string(w.reserved2[0]) + " " +
                std::to_string(w.reserved2[1]));
  }
  std::string flags = FormatBits(w.attr2 & ~kFrameMask, WindowFlagNames());
  Line(1, std::string("frame ") + NameOfValue(w.attr2 & kFrameMask, FrameNames()) +
              (flags.empty() ? "" : " " + flags));
  if (w.font.present()) Line(1, FontText(w.font));
  if (w.colours.present()) Line(1, ColoursText(w.colours));
  if (w.icon.kind != ImageName::Kind::kNone) Line(1, "icon " + ImageText(w.icon, false));
  if (w.cursor.kind != ImageName::Kind::kNone) Line(1, "cursor " + ImageText(w.cursor, true));
  if (w.timer != 0) Line(1, "timer " + std::to_string(w.timer));
  Message(1, w.message);
  if (w.status_offset != 0) {
    std::string widths;
    for (int32_t width : w.status_widths)
      widths += " " + (width == kRestOfBar ? std::string("rest") : std::to_string(width));
    Line(1, "status" + widths);
  }
  if (w.wallpaper.kind != ImageName::Kind::kNone || w.wallpaper_mode != 0) {
    Line(1, "wallpaper " + std::to_string(w.wallpaper_mode) + " " + ImageText(w.wallpaper, false));
  }
  if (w.extension != 0)
    Line(1, "# an extension block at " + std::to_string(w.extension) + " is not shown");
}

void Printer::Window(const WindowTree& t) {
  out_ += "\n";
  Line(0, std::string(t.window.type == kRecReport ? "report " : "window ") +
              QuoteText(t.window.label));
  WindowProperties(t.window);
  if (t.menu_bar) MenuBar(*t.menu_bar);
  if (t.tool_bar) ToolBar(*t.tool_bar);
  for (const ControlRecord& c : t.controls) Control(1, c);
}

void Printer::MenuBar(const MenuBarRecord& bar) {
  Line(1, "menubar");
  if (bar.attr != 0) Line(2, "attr " + std::to_string(bar.attr));
  if (bar.reserved != 0) Line(2, "reserved " + std::to_string(bar.reserved));
  for (const MenuRecord& m : bar.menus) Menu(2, m);
}

void Printer::Menu(int depth, const MenuRecord& m) {
  bool item = m.type == kRecMenuItem;
  Line(depth, std::string(item ? "item " : "menu ") + std::to_string(m.field) +
                  (m.text.empty() ? "" : " " + QuoteText(m.text)));
  if (!m.name.empty()) Line(depth + 1, "name " + QuoteText(m.name));
  if (m.attr != 0) Line(depth + 1, "attr " + std::to_string(m.attr));
  if (m.reserved != 0) Line(depth + 1, "reserved " + std::to_string(m.reserved));
  if (m.reserved2 != 0) Line(depth + 1, "reserved2 " + std::to_string(m.reserved2));
  if (item && m.action != 0) Line(depth + 1, "action " + FormatAction(m.action));
  if (item && m.options != 0)
    Line(depth + 1, "options " + FormatBits(m.options, OptionNames(kRecMenuItem)));
  Message(depth + 1, m.message);
  if (m.font.present()) Line(depth + 1, FontText(m.font));
  for (const MenuRecord& sub : m.items) Menu(depth + 1, sub);
}

void Printer::ToolBar(const ToolBarRecord& bar) {
  Line(1, "toolbar");
  Line(2, PositionText(bar.position));
  if (bar.attr != 0) Line(2, "attr " + std::to_string(bar.attr));
  if (bar.reserved != 0) Line(2, "reserved " + std::to_string(bar.reserved));
  for (const ControlRecord& c : bar.controls) Control(2, c);
}

void Printer::Control(int depth, const ControlRecord& c) {
  const KindName* kind = KindByType(c.type);
  const ControlLayout* l = FindControlLayout(c.type);
  if (!c.known || kind == nullptr || l == nullptr) {
    Line(depth, "# a control of kind " + std::to_string(c.type) + " (field " +
                    std::to_string(c.field) + ") has no layout here and is not shown");
    return;
  }
  bool text = l->text != -1 && !c.text.empty();
  Line(depth, std::string(kind->name) + " " + std::to_string(c.field) +
                  (text ? " " + QuoteText(c.text) : ""));
  SharedItems(depth + 1, c, *l);
  for (const ControlRecord& child : c.children) Control(depth + 1, child);
}

void Printer::SharedItems(int d, const ControlRecord& c, const ControlLayout& l) {
  if (!c.name.empty()) Line(d, "name " + QuoteText(c.name));
  Line(d, PositionText(c.position));
  if (c.attr != 0) Line(d, "attr " + FormatBits(c.attr, ControlAttrNames(c.type)));
  if (c.reserved != 0) Line(d, "reserved " + std::to_string(c.reserved));
  if (c.variable.present()) Line(d, "var " + VariableText(c.variable));
  if (c.second.present()) Line(d, "var2 " + VariableText(c.second));
  if (c.source.present()) Line(d, "source " + VariableText(c.source));
  if (!c.format.empty()) Line(d, "format " + QuoteText(c.format));
  if (!c.picture.empty()) Line(d, "picture @" + c.picture);
  if (c.image.kind != ImageName::Kind::kNone)
    Line(d, std::string(c.type == kRecImage ? "graphic " : "icon ") + ImageText(c.image, false));
  KindItems(d, c);
  if (l.message != -1) Message(d, c.message);
  if (c.font.present()) Line(d, FontText(c.font));
  if (c.cursor.kind != ImageName::Kind::kNone) Line(d, "cursor " + ImageText(c.cursor, true));
  if (c.colours.present()) Line(d, ColoursText(c.colours));
}

void Printer::KindItems(int d, const ControlRecord& c) {
  if (c.image2.kind != ImageName::Kind::kNone || c.image3.kind != ImageName::Kind::kNone)
    Line(d, "images " + ImageText(c.image2, false) + " " + ImageText(c.image3, false));
  if (c.options != 0) Line(d, "options " + FormatBits(c.options, OptionNames(c.type)));
  if (c.group_block != 0)
    Line(d, "# a group block at " + std::to_string(c.group_block) + " is not shown");
  if (c.action != 0) Line(d, "action " + FormatAction(c.action));
  if (c.delay != 0 || c.repeat != 0)
    Line(d, "repeat " + std::to_string(c.delay) + " " + std::to_string(c.repeat));
  if (c.value != 0) Line(d, "value " + std::to_string(c.value));
  if (c.low != 0 || c.high != 0) Line(d, "range " + Real(c.low) + " " + Real(c.high));
  if (c.step != 0) Line(d, "step " + Real(c.step));
  if (c.type != kRecList) return;
  if (c.drop != 0) Line(d, "drop " + std::to_string(c.drop));
  if (c.setting != -1) Line(d, "setting " + std::to_string(c.setting));
  if (c.option_value != 0) Line(d, "list-value " + std::to_string(c.option_value));
  if (!c.extra_text.empty() || c.extra_value != 0)
    Line(d, "list-text " + QuoteText(c.extra_text) + " " + std::to_string(c.extra_value));
  if (c.more != 0) Line(d, "list-more " + std::to_string(c.more));
}

std::string Printer::Print(const Description& d) {
  out_ = "resource " + QuoteText(d.module) + "\n";
  for (const WindowTree& t : d.windows) Window(t);
  return out_;
}

std::string PrintDescription(const Description& description) {
  return Printer().Print(description);
}

}  // namespace rsc
