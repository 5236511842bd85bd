// Decoding of window, control, menu and tool-bar records.
#include "ui/resource/window_records.h"

namespace kor {

namespace {

constexpr bool LayoutsFit() {
  for (const ControlLayout& l : kControlLayouts) {
    const int32_t items[] = {l.variable, l.format, l.font,    l.cursor,
                             l.colours,  l.text,   l.picture, l.image};
    for (int32_t at : items)
      if (at != -1 && (at < kCtlHeaderSize || at + 4 > l.size)) return false;
    if (l.position + kPositionSize > l.size) return false;
    if (l.message != -1 && l.message + kMessageSize > l.size) return false;
  }
  return true;
}
static_assert(LayoutsFit(), "an item of a control layout lies outside its record");

void ReadHeader(BlockReader& r, int32_t at, ControlRecord* c) {
  c->offset = at;
  c->type = r.U8(at + kCtlType, "control record");
  c->attr = r.I32(at + kCtlAttr, "control record");
  c->reserved = r.I32(at + kCtlReserved, "control record");
  c->field = r.I32(at + kCtlField, "control record");
  c->name = r.StringAt(at + kCtlName, "control name");
}

void ReadSharedItems(BlockReader& r, int32_t at, const ControlLayout& l, ControlRecord* c) {
  if (l.variable != -1) c->variable = ReadVariable(r, r.Ref(at + l.variable, "variable"));
  if (l.format != -1) c->format = r.StringAt(at + l.format, "list format");
  c->position = ReadPosition(r, at + l.position);
  if (l.message != -1) c->message = ReadMessageBlock(r, at + l.message);
  if (l.font != -1) c->font = ReadFontBlock(r, r.Ref(at + l.font, "font"));
  if (l.cursor != -1) c->cursor = ReadImageName(r, r.Ref(at + l.cursor, "cursor"));
  if (l.colours != -1) c->colours = ReadColourBlock(r, r.Ref(at + l.colours, "colours"));
  if (l.text != -1) c->text = r.StringAt(at + l.text, "control text");
  if (l.picture != -1) c->picture = r.StringAt(at + l.picture, "picture");
  if (l.image != -1) c->image = ReadImageName(r, r.Ref(at + l.image, "image"));
}

// Groups inside groups and sub-menus deeper than this are a damaged resource
// (the walk recurses once per level).
constexpr int kMaxDepth = 32;

void ReadControlChain(BlockReader& r, int32_t first, std::vector<ControlRecord>* out, int depth);

void ReadKindFields(BlockReader& r, int32_t at, ControlRecord* c, int depth) {
  switch (c->type) {
    case kRecButton:
      c->action = r.I32(at + kButtonAction, "button");
      c->options = r.U8(at + kButtonOptions, "button");
      c->delay = r.U16(at + kButtonDelay, "button");
      c->repeat = r.U16(at + kButtonRepeat, "button");
      break;
    case kRecGroup:
      c->group_block = r.I32(at + kGroupBlock, "group");
      ReadControlChain(r, r.Ref(at + kGroupFirstChild, "group"), &c->children, depth + 1);
      break;
    case kRecPrompt:
    case kRecString: c->value = r.I16(at + kPromptValue, "prompt"); break;
    case kRecBoundString:
      c->options = r.U8(at + kShowOptions, "string");
      c->value = r.I16(at + kShowValue, "string");
      break;
    case kRecCheck:
      c->options = r.U8(at + kCheckIconOptions, "check box");
      c->image2 = ReadImageName(r, r.Ref(at + kCheckImage2, "check box"));
      c->image3 = ReadImageName(r, r.Ref(at + kCheckImage3, "check box"));
      break;
    case kRecSpin:
      c->low = r.F64(at + kSpinLow, "spin box");
      c->high = r.F64(at + kSpinHigh, "spin box");
      c->value = r.I16(at + kSpinValue, "spin box");
      c->step = r.F64(at + kSpinStep, "spin box");
      c->source = ReadVariable(r, r.Ref(at + kSpinSource, "spin box"));
      break;
    case kRecList:
      c->drop = r.U8(at + kListDrop, "list");
      c->second = ReadVariable(r, r.Ref(at + kListSecond, "list"));
      c->source = ReadVariable(r, r.Ref(at + kListSource, "list"));
      c->option_value = r.I32(at + kListOptionValue, "list");
      c->extra_text = r.StringAt(at + kListExtraText, "list text");
      c->extra_value = r.I32(at + kListExtraValue, "list");
      c->options = r.U8(at + kListOptions, "list");
      c->more = r.I32(at + kListMore, "list");
      c->setting = r.I32(at + kListSetting, "list");
      break;
    case kRecImage: c->options = r.U8(at + kImageOptions, "image"); break;
    default: break;
  }
}

void ReadControl(BlockReader& r, int32_t at, ControlRecord* c, int depth) {
  if (!r.Visit(at, "control")) return;
  ReadHeader(r, at, c);
  const ControlLayout* layout = FindControlLayout(c->type);
  if (layout == nullptr || !r.ok()) return;
  // The whole record must be there before its items are read.
  if (!r.buffer().Contains(at, static_cast<size_t>(layout->size))) {
    r.Fail(at, "control record at " + std::to_string(at) + " runs past the end of the resource");
    return;
  }
  c->known = true;
  ReadSharedItems(r, at, *layout, c);
  ReadKindFields(r, at, c, depth);
}

void ReadControlChain(BlockReader& r, int32_t first, std::vector<ControlRecord>* out, int depth) {
  if (first != 0 && depth > kMaxDepth) {
    r.Fail(first, "groups nested deeper than " + std::to_string(kMaxDepth) + " levels");
    return;
  }
  for (int32_t at = first; at != 0 && r.ok(); at = r.Ref(at + kCtlNext, "control chain")) {
    ControlRecord c;
    ReadControl(r, at, &c, depth);
    if (!r.ok()) return;
    out->push_back(std::move(c));
  }
}

void ReadMenuChain(BlockReader& r, int32_t first, std::vector<MenuRecord>* out, int depth);

void ReadMenu(BlockReader& r, int32_t at, MenuRecord* m, int depth) {
  if (!r.Visit(at, "menu")) return;
  m->offset = at;
  m->type = r.U8(at + kCtlType, "menu");
  if (r.ok() && m->type != kRecMenu && m->type != kRecMenuItem) {
    r.Fail(at, "record at " + std::to_string(at) + " in a menu is of type " +
                   std::to_string(m->type) + ", not a menu or item");
    return;
  }
  m->attr = r.I32(at + kCtlAttr, "menu");
  m->reserved = r.I32(at + kCtlReserved, "menu");
  m->field = r.I32(at + kCtlField, "menu");
  m->name = r.StringAt(at + kCtlName, "menu name");
  m->reserved2 = r.I32(at + kMenuReserved, "menu");
  m->text = r.StringAt(at + kMenuText, "menu text");
  m->message = ReadMessageBlock(r, at + kMenuMessage);
  m->font = ReadFontBlock(r, r.Ref(at + kMenuFont, "menu font"));
  if (m->type == kRecMenu) {
    ReadMenuChain(r, r.Ref(at + kMenuFirstItem, "menu"), &m->items, depth + 1);
  } else {
    m->action = r.I32(at + kItemAction, "menu item");
    m->options = r.U8(at + kItemOptions, "menu item");
  }
}

void ReadMenuChain(BlockReader& r, int32_t first, std::vector<MenuRecord>* out, int depth) {
  if (first != 0 && depth > kMaxDepth) {
    r.Fail(first, "menus nested deeper than " + std::to_string(kMaxDepth) + " levels");
    return;
  }
  for (int32_t at = first; at != 0 && r.ok(); at = r.Ref(at + kCtlNext, "menu chain")) {
    MenuRecord m;
    ReadMenu(r, at, &m, depth);
    if (!r.ok()) return;
    out->push_back(std::move(m));
  }
}

bool ExpectType(BlockReader& r, int32_t at, uint8_t type, const char* what) {
  uint8_t found = r.U8(at, what);
  if (r.ok() && found != type) {
    r.Fail(at,
           std::string(what) + " at " + std::to_string(at) + " has type " + std::to_string(found));
  }
  return r.ok();
}

MenuBarRecord ReadMenuBar(BlockReader& r, int32_t at) {
  MenuBarRecord bar;
  bar.offset = at;
  if (!ExpectType(r, at, kRecMenuBar, "menu bar")) return bar;
  bar.attr = r.I32(at + kBarAttr, "menu bar");
  bar.reserved = r.I32(at + kBarReserved, "menu bar");
  ReadMenuChain(r, r.Ref(at + kMenuBarFirst, "menu bar"), &bar.menus, 0);
  return bar;
}

ToolBarRecord ReadToolBar(BlockReader& r, int32_t at) {
  ToolBarRecord bar;
  bar.offset = at;
  if (!ExpectType(r, at, kRecToolBar, "tool bar")) return bar;
  bar.attr = r.I32(at + kBarAttr, "tool bar");
  bar.reserved = r.I32(at + kBarReserved, "tool bar");
  bar.position = ReadPosition(r, at + kToolBarPosition);
  ReadControlChain(r, r.Ref(at + kToolBarFirst, "tool bar"), &bar.controls, 0);
  return bar;
}

void ReadWindow(BlockReader& r, int32_t at, WindowRecord* w) {
  w->offset = at;
  if (!r.Visit(at, "window")) return;
  w->type = r.U8(at + kWinType, "window record");
  if (r.ok() && w->type != kRecWindow && w->type != kRecReport) {
    r.Fail(at, "record at " + std::to_string(at) + " in the window chain is of type " +
                   std::to_string(w->type));
    return;
  }
  if (r.ok() && !r.buffer().Contains(at, kWinSize)) {
    r.Fail(at, "window record at " + std::to_string(at) + " runs past the end of the resource");
    return;
  }
  w->attr = r.I32(at + kWinAttr, "window");
  w->reserved = r.I32(at + kWinReserved, "window");
  w->position = ReadPosition(r, at + kWinPosition);
  w->first_control = r.Ref(at + kWinFirstControl, "first control");
  w->label = r.StringAt(at + kWinLabel, "window label");
  w->font = ReadFontBlock(r, r.Ref(at + kWinFont, "window font"));
  w->title = r.StringAt(at + kWinTitle, "window title");
  w->reserved2[0] = r.I32(at + kWinReserved2, "window");
  w->reserved2[1] = r.I32(at + kWinReserved2 + 4, "window");
  w->colours = ReadColourBlock(r, r.Ref(at + kWinColours, "window colours"));
  w->icon = ReadImageName(r, r.Ref(at + kWinIcon, "window icon"));
  w->message = ReadMessageBlock(r, at + kWinMessage);
  w->attr2 = r.I32(at + kWinAttr2, "window");
  w->extension = r.I32(at + kWinExtension, "window");
  w->timer = r.I32(at + kWinTimer, "window");
  w->menu_bar = r.Ref(at + kWinMenuBar, "menu bar");
  w->tool_bar = r.Ref(at + kWinToolBar, "tool bar");
  w->cursor = ReadImageName(r, r.Ref(at + kWinCursor, "window cursor"));
  w->status_offset = r.Ref(at + kWinStatusWidths, "status-bar widths");
  w->status_widths = ReadStatusWidths(r, w->status_offset);
  w->wallpaper_mode = r.U8(at + kWinWallpaper + kWallMode, "wallpaper");
  w->wallpaper = ReadImageName(r, r.Ref(at + kWinWallpaper + kWallImage, "wallpaper"));
}

}  // namespace

const ControlLayout* FindControlLayout(uint8_t type) {
  for (const ControlLayout& l : kControlLayouts)
    if (l.type == type) return &l;
  return nullptr;
}

bool ListWindows(const ResourceBuffer& buffer, std::vector<int32_t>* offsets, DecodeError* error) {
  BlockReader r(buffer, error);
  offsets->clear();
  for (int32_t at = r.I32(kFirstWindowRef, "first window"); at != 0 && r.ok();
       at = r.I32(at + kWinNext, "window chain")) {
    if (!r.Visit(at, "window")) break;
    uint8_t type = r.U8(at, "window record");
    if (!r.ok()) break;
    if (type != kRecWindow && type != kRecReport) {
      r.Fail(at, "record at " + std::to_string(at) + " in the window chain is of type " +
                     std::to_string(type));
      break;
    }
    offsets->push_back(at);
  }
  return r.ok();
}

bool DecodeWindowRecord(const ResourceBuffer& buffer, int32_t offset, WindowRecord* out,
                        DecodeError* error) {
  BlockReader r(buffer, error);
  *out = WindowRecord();
  ReadWindow(r, offset, out);
  return r.ok();
}

bool DecodeControl(const ResourceBuffer& buffer, int32_t offset, ControlRecord* out,
                   DecodeError* error) {
  BlockReader r(buffer, error);
  *out = ControlRecord();
  ReadControl(r, offset, out, 0);
  return r.ok();
}

bool DecodeControls(const ResourceBuffer& buffer, int32_t first, std::vector<ControlRecord>* out,
                    DecodeError* error) {
  BlockReader r(buffer, error);
  out->clear();
  ReadControlChain(r, first, out, 0);
  return r.ok();
}

bool DecodeWindowTree(const ResourceBuffer& buffer, int32_t offset, WindowTree* out,
                      DecodeError* error) {
  BlockReader r(buffer, error);
  *out = WindowTree();
  ReadWindow(r, offset, &out->window);
  if (r.ok() && out->window.menu_bar != 0) out->menu_bar = ReadMenuBar(r, out->window.menu_bar);
  if (r.ok() && out->window.tool_bar != 0) out->tool_bar = ReadToolBar(r, out->window.tool_bar);
  if (r.ok()) ReadControlChain(r, out->window.first_control, &out->controls, 0);
  return r.ok();
}

bool DecodeAllWindows(const ResourceBuffer& buffer, std::vector<WindowTree>* out,
                      DecodeError* error) {
  out->clear();
  std::vector<int32_t> offsets;
  if (!ListWindows(buffer, &offsets, error)) return false;
  for (int32_t at : offsets) {
    WindowTree tree;
    if (!DecodeWindowTree(buffer, at, &tree, error)) return false;
    out->push_back(std::move(tree));
  }
  return true;
}

}  // namespace kor
