// The resource writer: lays a description out as a container. Records come
// in the order they are read, each followed by the strings and blocks it is
// first to use; equal strings and equal blocks are written once and shared.
#include <cstring>
#include <map>

#include "tools/rsc/description.h"
#include "ui/resource/window_format.h"

namespace rsc {

using namespace kor;

namespace {

class BodyWriter {
 public:
  BodyWriter() { bytes_.assign(4, 0); }  // the first window's offset
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  int32_t Here() const { return static_cast<int32_t>(bytes_.size()) + kBodyBase; }
  bool too_large() const { return bytes_.size() > ResourceBuffer::kMaxBody / 2; }

  int32_t Reserve(int32_t size) {
    int32_t at = Here();
    bytes_.resize(bytes_.size() + static_cast<size_t>(size), 0);
    return at;
  }
  void PutU8(int32_t at, uint8_t v) { bytes_[static_cast<size_t>(at - kBodyBase)] = v; }
  void PutU16(int32_t at, uint16_t v) {
    PutU8(at, static_cast<uint8_t>(v));
    PutU8(at + 1, static_cast<uint8_t>(v >> 8));
  }
  void PutI32(int32_t at, int32_t v) {
    for (int i = 0; i < 4; ++i)
      PutU8(at + i, static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
  }
  void PutF64(int32_t at, double v) {
    uint64_t bits;
    memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) PutU8(at + i, static_cast<uint8_t>(bits >> (8 * i)));
  }
  void PutRef(int32_t at, int32_t offset) { PutI32(at, offset); }

  // A string's offset; the empty string is offset 0.
  int32_t String(const std::string& s) {
    if (s.empty()) return 0;
    auto it = strings_.find(s);
    if (it != strings_.end()) return it->second;
    int32_t at = Append(std::vector<uint8_t>(s.begin(), s.end()));
    PutU8(Reserve(1), 0);
    strings_.emplace(s, at);
    return at;
  }
  // A block's offset, shared with an earlier block of the same bytes.
  int32_t Block(const std::vector<uint8_t>& block) {
    auto it = blocks_.find(block);
    if (it != blocks_.end()) return it->second;
    int32_t at = Append(block);
    blocks_.emplace(block, at);
    return at;
  }
  int32_t Append(const std::vector<uint8_t>& b) {
    int32_t at = Here();
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return at;
  }

 private:
  std::vector<uint8_t> bytes_;
  std::map<std::string, int32_t> strings_;
  std::map<std::vector<uint8_t>, int32_t> blocks_;
};

void AddI32(std::vector<uint8_t>& b, int32_t v) {
  for (int i = 0; i < 4; ++i)
    b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}

class Writer {
 public:
  bool Write(const Description& d, std::vector<uint8_t>* out, std::string* error);

 private:
  int32_t Font(const FontBlock& f);
  int32_t Colours(const ColourBlock& c);
  int32_t Variable(const VariableDescriptor& v);
  int32_t Image(const ImageName& n);
  int32_t Alerts(const std::vector<int32_t>& keys);
  int32_t StatusWidths(const WindowRecord& w);
  void Message(int32_t at, const MessageBlock& m);
  int32_t Window(const WindowTree& t);
  int32_t MenuBar(const MenuBarRecord& bar);
  int32_t Menus(const std::vector<MenuRecord>& menus);
  int32_t ToolBar(const ToolBarRecord& bar);
  int32_t Controls(const std::vector<ControlRecord>& controls);
  int32_t Control(const ControlRecord& c);
  void KindFields(int32_t at, const ControlRecord& c);

  BodyWriter b_;
  std::map<std::vector<int32_t>, int32_t> alert_chains_;  // shared by their keys
  std::string error_;
};

int32_t Writer::Font(const FontBlock& f) {
  if (!f.present()) return 0;
  std::vector<uint8_t> block;
  AddI32(block, b_.String(f.face));
  AddI32(block, f.size);
  AddI32(block, f.colour);
  AddI32(block, f.weight);
  return b_.Block(block);
}

int32_t Writer::Colours(const ColourBlock& c) {
  if (!c.present()) return 0;
  std::vector<uint8_t> block;
  for (int32_t colour : c.colour) AddI32(block, colour);
  return b_.Block(block);
}

int32_t Writer::Variable(const VariableDescriptor& v) {
  if (!v.present()) return 0;
  std::vector<uint8_t> block = {v.type};
  AddI32(block, v.size);
  AddI32(block, IsStringType(v.type) ? b_.String(v.picture) : v.extra);
  return b_.Block(block);
}

int32_t Writer::Image(const ImageName& n) {
  switch (n.kind) {
    case ImageName::Kind::kFile: return b_.String(n.file);
    case ImageName::Kind::kReference:
      // Four bytes and a zero, so the reference also ends like a string.
      return b_.Block({kImageRefMark, n.ref_kind, static_cast<uint8_t>(n.stored),
                       static_cast<uint8_t>(n.stored >> 8), 0});
    default: return 0;
  }
}

// Alert chains hold their own links, so they are shared by their keys.
int32_t Writer::Alerts(const std::vector<int32_t>& keys) {
  if (keys.empty()) return 0;
  auto it = alert_chains_.find(keys);
  if (it != alert_chains_.end()) return it->second;
  std::vector<uint8_t> chain;
  int32_t at = b_.Here();
  for (size_t i = 0; i < keys.size(); ++i) {
    AddI32(chain, keys[i]);
    AddI32(chain, i + 1 < keys.size() ? at + static_cast<int32_t>((i + 1) * kAlertSize) : 0);
  }
  b_.Append(chain);
  alert_chains_.emplace(keys, at);
  return at;
}

int32_t Writer::StatusWidths(const WindowRecord& w) {
  if (w.status_offset == 0) return 0;
  std::vector<uint8_t> block;
  for (int32_t width : w.status_widths) AddI32(block, width);
  AddI32(block, 0);
  return b_.Block(block);
}

void Writer::Message(int32_t at, const MessageBlock& m) {
  b_.PutI32(at + kMsgText, b_.String(m.message));
  b_.PutI32(at + kMsgTooltip, b_.String(m.tooltip));
  b_.PutI32(at + kMsgHelp, b_.String(m.help));
  b_.PutI32(at + kMsgHotKey, m.hot_key);
  b_.PutI32(at + kMsgAlert, Alerts(m.alert_keys));
}

void PutPosition(BodyWriter& b, int32_t at, const Position& p) {
  b.PutI32(at + kPosX, p.x);
  b.PutI32(at + kPosY, p.y);
  b.PutI32(at + kPosWidth, p.width);
  b.PutI32(at + kPosHeight, p.height);
}

int32_t Writer::Window(const WindowTree& t) {
  const WindowRecord& w = t.window;
  int32_t at = b_.Reserve(kWinSize);
  b_.PutU8(at + kWinType, w.type);
  b_.PutI32(at + kWinAttr, w.attr);
  b_.PutI32(at + kWinReserved, w.reserved);
  PutPosition(b_, at + kWinPosition, w.position);
  b_.PutI32(at + kWinLabel, b_.String(w.label));
  b_.PutI32(at + kWinFont, Font(w.font));
  b_.PutI32(at + kWinTitle, b_.String(w.title));
  b_.PutI32(at + kWinReserved2, w.reserved2[0]);
  b_.PutI32(at + kWinReserved2 + 4, w.reserved2[1]);
  b_.PutI32(at + kWinColours, Colours(w.colours));
  b_.PutI32(at + kWinIcon, Image(w.icon));
  Message(at + kWinMessage, w.message);
  b_.PutI32(at + kWinAttr2, w.attr2);
  b_.PutI32(at + kWinTimer, w.timer);
  b_.PutI32(at + kWinCursor, Image(w.cursor));
  b_.PutI32(at + kWinStatusWidths, StatusWidths(w));
  b_.PutU8(at + kWinWallpaper + kWallMode, w.wallpaper_mode);
  b_.PutI32(at + kWinWallpaper + kWallImage, Image(w.wallpaper));
  if (w.extension != 0) error_ = "window " + w.label + ": its extension block cannot be written";
  if (t.menu_bar) b_.PutI32(at + kWinMenuBar, MenuBar(*t.menu_bar));
  if (t.tool_bar) b_.PutI32(at + kWinToolBar, ToolBar(*t.tool_bar));
  b_.PutI32(at + kWinFirstControl, Controls(t.controls));
  return at;
}

int32_t Writer::MenuBar(const MenuBarRecord& bar) {
  int32_t at = b_.Reserve(kMenuBarSize);
  b_.PutU8(at, kRecMenuBar);
  b_.PutI32(at + kBarAttr, bar.attr);
  b_.PutI32(at + kBarReserved, bar.reserved);
  b_.PutI32(at + kMenuBarFirst, Menus(bar.menus));
  return at;
}

int32_t Writer::Menus(const std::vector<MenuRecord>& menus) {
  int32_t first = 0, previous = 0;
  for (const MenuRecord& m : menus) {
    bool is_menu = m.type == kRecMenu;
    int32_t at = b_.Reserve(is_menu ? kMenuSize : kItemSize);
    if (previous != 0) b_.PutI32(previous + kCtlNext, at);
    if (first == 0) first = at;
    previous = at;
    b_.PutU8(at + kCtlType, m.type);
    b_.PutI32(at + kCtlAttr, m.attr);
    b_.PutI32(at + kCtlReserved, m.reserved);
    b_.PutI32(at + kCtlField, m.field);
    b_.PutI32(at + kCtlName, b_.String(m.name));
    b_.PutI32(at + kMenuReserved, m.reserved2);
    b_.PutI32(at + kMenuText, b_.String(m.text));
    Message(at + kMenuMessage, m.message);
    b_.PutI32(at + kMenuFont, Font(m.font));
    if (is_menu) {
      b_.PutI32(at + kMenuFirstItem, Menus(m.items));
    } else {
      b_.PutI32(at + kItemAction, m.action);
      b_.PutU8(at + kItemOptions, m.options);
    }
  }
  return first;
}

int32_t Writer::ToolBar(const ToolBarRecord& bar) {
  int32_t at = b_.Reserve(kToolBarSize);
  b_.PutU8(at, kRecToolBar);
  b_.PutI32(at + kBarAttr, bar.attr);
  b_.PutI32(at + kBarReserved, bar.reserved);
  PutPosition(b_, at + kToolBarPosition, bar.position);
  b_.PutI32(at + kToolBarFirst, Controls(bar.controls));
  return at;
}

int32_t Writer::Controls(const std::vector<ControlRecord>& controls) {
  int32_t first = 0, previous = 0;
  for (const ControlRecord& c : controls) {
    int32_t at = Control(c);
    if (at == 0) return 0;
    if (previous != 0) b_.PutI32(previous + kCtlNext, at);
    if (first == 0) first = at;
    previous = at;
  }
  return first;
}

int32_t Writer::Control(const ControlRecord& c) {
  const ControlLayout* l = FindControlLayout(c.type);
  if (l == nullptr) {
    error_ = "a control of kind " + std::to_string(c.type) + " has no layout to write";
    return 0;
  }
  int32_t at = b_.Reserve(l->size);
  b_.PutU8(at + kCtlType, c.type);
  b_.PutI32(at + kCtlAttr, c.attr);
  b_.PutI32(at + kCtlReserved, c.reserved);
  b_.PutI32(at + kCtlField, c.field);
  b_.PutI32(at + kCtlName, b_.String(c.name));
  if (l->variable != -1) b_.PutI32(at + l->variable, Variable(c.variable));
  if (l->format != -1) b_.PutI32(at + l->format, b_.String(c.format));
  PutPosition(b_, at + l->position, c.position);
  if (l->message != -1) Message(at + l->message, c.message);
  if (l->font != -1) b_.PutI32(at + l->font, Font(c.font));
  if (l->cursor != -1) b_.PutI32(at + l->cursor, Image(c.cursor));
  if (l->colours != -1) b_.PutI32(at + l->colours, Colours(c.colours));
  if (l->text != -1) b_.PutI32(at + l->text, b_.String(c.text));
  if (l->picture != -1) b_.PutI32(at + l->picture, b_.String(c.picture));
  if (l->image != -1) b_.PutI32(at + l->image, Image(c.image));
  KindFields(at, c);
  return at;
}

void Writer::KindFields(int32_t at, const ControlRecord& c) {
  switch (c.type) {
    case kRecButton:
      b_.PutI32(at + kButtonAction, c.action);
      b_.PutU8(at + kButtonOptions, c.options);
      b_.PutU16(at + kButtonDelay, c.delay);
      b_.PutU16(at + kButtonRepeat, c.repeat);
      break;
    case kRecGroup:
      b_.PutI32(at + kGroupBlock, c.group_block);
      if (c.group_block != 0) error_ = "a group's block cannot be written";
      b_.PutI32(at + kGroupFirstChild, Controls(c.children));
      break;
    case kRecPrompt:
    case kRecString: b_.PutU16(at + kPromptValue, static_cast<uint16_t>(c.value)); break;
    case kRecBoundString:
      b_.PutU8(at + kShowOptions, c.options);
      b_.PutU16(at + kShowValue, static_cast<uint16_t>(c.value));
      break;
    case kRecCheck:
      b_.PutU8(at + kCheckIconOptions, c.options);
      b_.PutI32(at + kCheckImage2, Image(c.image2));
      b_.PutI32(at + kCheckImage3, Image(c.image3));
      break;
    case kRecSpin:
      b_.PutF64(at + kSpinLow, c.low);
      b_.PutF64(at + kSpinHigh, c.high);
      b_.PutU16(at + kSpinValue, static_cast<uint16_t>(c.value));
      b_.PutF64(at + kSpinStep, c.step);
      b_.PutI32(at + kSpinSource, Variable(c.source));
      break;
    case kRecList:
      b_.PutU8(at + kListDrop, c.drop);
      b_.PutI32(at + kListSecond, Variable(c.second));
      b_.PutI32(at + kListSource, Variable(c.source));
      b_.PutI32(at + kListOptionValue, c.option_value);
      b_.PutI32(at + kListExtraText, b_.String(c.extra_text));
      b_.PutI32(at + kListExtraValue, c.extra_value);
      b_.PutU8(at + kListOptions, c.options);
      b_.PutI32(at + kListMore, c.more);
      b_.PutI32(at + kListSetting, c.setting);
      break;
    case kRecImage: b_.PutU8(at + kImageOptions, c.options); break;
    default: break;
  }
}

bool Writer::Write(const Description& d, std::vector<uint8_t>* out, std::string* error) {
  int32_t previous = 0;
  for (const WindowTree& t : d.windows) {
    int32_t at = Window(t);
    b_.PutI32(previous == 0 ? kFirstWindowRef : previous + kWinNext, at);
    previous = at;
    if (!error_.empty()) break;
  }
  if (error_.empty() && b_.too_large()) error_ = "the resource is too large";
  if (!error_.empty()) {
    *error = error_;
    return false;
  }
  out->assign(d.module.begin(), d.module.end());
  out->push_back(0);
  out->insert(out->end(), b_.bytes().begin(), b_.bytes().end());
  return true;
}

}  // namespace

bool WriteResource(const Description& description, std::vector<uint8_t>* out, std::string* error) {
  return Writer().Write(description, out, error);
}

bool ReadResource(const std::vector<uint8_t>& bytes, Description* out, std::string* error) {
  *out = Description();
  ContainerView container;
  if (!SplitContainer(bytes.data(), bytes.size(), &container)) {
    *error = "the resource does not start with a module name ended by a zero byte";
    return false;
  }
  ResourceBuffer buffer;
  if (!buffer.Assign(container.body, container.body_size)) {
    *error = "the resource is too large";
    return false;
  }
  out->module = std::string(container.name);
  DecodeError decode;
  if (!DecodeAllWindows(buffer, &out->windows, &decode)) {
    *error = "damaged resource: " + decode.what;
    return false;
  }
  return true;
}

}  // namespace rsc
