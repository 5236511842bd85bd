// The runtime's message box: measuring, the template and the modal run.
#include "ui/controls/message_box.h"

#include <windows.h>

#include <algorithm>

#include "runtime/values/string_stack.h"
#include "ui/controls/dialog_template.h"
#include "ui/controls/message_box_buttons.h"
#include "ui/images.h"
#include "ui/resource/shared_blocks.h"

namespace kor {

namespace {

MessageBoxReplacement g_replacement = nullptr;
bool g_new_look = true;

constexpr char kMeasureText[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr uint8_t kImageRefMarkByte = 0xFF;
constexpr uint32_t kIconClassMask = 0xF0;
constexpr int kFirstIconClassIcon = 32513;  // 0x10 hand .. 0x40 asterisk

DialogFont BoxFont() {
  if (g_new_look) return {8, FW_NORMAL, "MS Sans Serif"};
  return {8, FW_BOLD, "Helv"};
}

// The base units of the box's font on the screen, as the dialog manager
// works them out, and the text's extent in pixels.
struct Measure {
  int cx = 6;   // average character width
  int cy = 13;  // character height
  SIZE text = {0, 0};
};

Measure MeasureText(const std::string& text) {
  Measure m;
  HDC dc = GetDC(nullptr);
  DialogFont f = BoxFont();
  int height = -MulDiv(f.points, GetDeviceCaps(dc, LOGPIXELSY), 72);
  HFONT font = CreateFontA(height, 0, 0, 0, f.weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, f.face.c_str());
  HGDIOBJ old = SelectObject(dc, font);
  SIZE alphabet;
  TEXTMETRICA tm;
  if (GetTextExtentPoint32A(dc, kMeasureText, sizeof kMeasureText - 1, &alphabet) &&
      GetTextMetricsA(dc, &tm)) {
    m.cx = std::max(1L, (alphabet.cx / 26 + 1) / 2);
    m.cy = std::max(1L, tm.tmHeight);
  }
  RECT r = {0, 0, MulDiv(kMaxTextWidth, m.cx, 4), 0};
  DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  m.text = {r.right - r.left, r.bottom - r.top};
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  return m;
}

int UnitsX(int px, const Measure& m) { return (px * 4 + m.cx - 1) / m.cx; }
int UnitsY(int px, const Measure& m) { return (px * 8 + m.cy - 1) / m.cy; }

struct BoxIcon {
  HICON icon = nullptr;
  bool owned = false;
};

BoxIcon LoadBoxIcon(const MessageBoxArgs& args) {
  ImageName name;
  const std::string& s = args.icon;
  if (s.size() >= 4 && static_cast<uint8_t>(s[0]) == kImageRefMarkByte) {
    name.kind = ImageName::Kind::kReference;
    name.ref_kind = static_cast<uint8_t>(s[1]);
    name.stored =
        static_cast<uint16_t>(static_cast<uint8_t>(s[2]) | static_cast<uint8_t>(s[3]) << 8);
  } else if (s.find_first_not_of(' ') != std::string::npos) {
    name.kind = ImageName::Kind::kFile;
    name.file = s.substr(0, s.find_last_not_of(' ') + 1);
  } else {
    uint32_t cls = (args.style & kIconClassMask) >> 4;
    if (cls < 1 || cls > 4) return {};
    return {LoadIconA(nullptr, MAKEINTRESOURCEA(kFirstIconClassIcon + int(cls) - 1)), false};
  }
  LoadedIcon loaded = LoadIconByName(name, GetModuleHandleA(nullptr));
  return {loaded.icon, loaded.owned};
}

struct BoxRun {
  const MessageBoxButtons* buttons;
  HICON icon;
};

// The identifier of the button that is the Cancel of the box, 0 when none.
bool HasButton(const MessageBoxButtons& set, int32_t result) {
  return std::any_of(set.buttons.begin(), set.buttons.end(),
                     [&](const MessageBoxButton& b) { return b.result == result; });
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  auto* run = reinterpret_cast<BoxRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: {
      run = reinterpret_cast<BoxRun*>(lp);
      SetWindowLongPtrA(dialog, DWLP_USER, lp);
      if (run->icon != nullptr)
        SendDlgItemMessageA(dialog, kMessageBoxIconId, STM_SETICON, WPARAM(run->icon), 0);
      const MessageBoxButton& def = run->buttons->buttons[size_t(run->buttons->default_index)];
      SendMessageA(dialog, DM_SETDEFID, WPARAM(def.result), 0);
      SetFocus(GetDlgItem(dialog, def.result));
      return FALSE;  // the focus is set
    }
    case WM_COMMAND: {
      int id = LOWORD(wp);
      if (HIWORD(wp) != BN_CLICKED && HIWORD(wp) != 0) return FALSE;
      if (run != nullptr && HasButton(*run->buttons, id)) {
        EndDialog(dialog, id);
      } else if (id == IDCANCEL) {
        EndDialog(dialog, 0);  // Escape or the close box, and no Cancel button
      }
      return TRUE;
    }
    default: return FALSE;
  }
}

DialogTemplate BuildTemplate(const MessageBoxArgs& args, const std::string& text,
                             const MessageBoxButtons& set, bool has_icon) {
  Measure m = MeasureText(text);
  int text_w = std::max(1, UnitsX(m.text.cx, m));
  int text_h = std::max(8, UnitsY(m.text.cy, m));
  int icon_w = has_icon ? UnitsX(GetSystemMetrics(SM_CXICON), m) : 0;
  int icon_h = has_icon ? UnitsY(GetSystemMetrics(SM_CYICON), m) : 0;
  int n = int(set.buttons.size());
  int row_w = n * kMessageBoxButtonWidth + (n - 1) * kMessageBoxButtonGap;
  int content_w = icon_w + (has_icon ? kMessageBoxMargin : 0) + text_w;
  int width = std::max(kMessageBoxMinWidth, std::max(content_w, row_w) + 2 * kMessageBoxMargin);
  int top_h = std::max(text_h, icon_h);
  int buttons_y = kMessageBoxMargin + top_h + kMessageBoxMargin + 2;
  int height = buttons_y + kMessageBoxButtonHeight + kMessageBoxMargin;

  DWORD style = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  if (args.system_modal) style |= DS_SYSMODAL;
  DialogTemplate t(style, {0, 0, width, height}, args.caption, BoxFont());
  int x = kMessageBoxMargin;
  if (has_icon) {
    t.AddItem(kDialogStaticAtom, WS_CHILD | WS_VISIBLE | SS_ICON,
              {x, kMessageBoxMargin, x + icon_w, kMessageBoxMargin + icon_h}, kMessageBoxIconId,
              "");
    x += icon_w + kMessageBoxMargin;
  }
  int text_y = kMessageBoxMargin + (top_h - text_h) / 2;
  t.AddItem(kDialogStaticAtom, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
            {x, text_y, x + text_w, text_y + text_h}, kMessageBoxTextId, text);
  int bx = (width - row_w) / 2;
  for (int i = 0; i < n; ++i) {
    const MessageBoxButton& b = set.buttons[size_t(i)];
    DWORD bs = WS_CHILD | WS_VISIBLE | WS_TABSTOP |
               (i == set.default_index ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
               (i == 0 ? WS_GROUP : 0);
    t.AddItem(kDialogButtonAtom, bs,
              {bx, buttons_y, bx + kMessageBoxButtonWidth, buttons_y + kMessageBoxButtonHeight},
              DWORD(b.result), b.label);
    bx += kMessageBoxButtonWidth + kMessageBoxButtonGap;
  }
  return t;
}

int32_t RunBox(const MessageBoxArgs& args, const MessageBoxButtons& set) {
  std::string text = args.keep_bars ? args.text : BarsToLineBreaks(args.text);
  BoxIcon icon = LoadBoxIcon(args);
  DialogTemplate t = BuildTemplate(args, text, set, icon.icon != nullptr);
  BoxRun run = {&set, icon.icon};
  HWND focus = GetFocus();
  INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.get(), GetActiveWindow(),
                                           &BoxProc, reinterpret_cast<LPARAM>(&run));
  if (focus != nullptr && IsWindow(focus)) SetFocus(focus);
  if (icon.owned) DestroyIcon(icon.icon);
  return result < 0 ? 0 : int32_t(result);
}

}  // namespace

int32_t ShowMessageBox(const MessageBoxArgs& args) {
  if (g_replacement != nullptr) return g_replacement(args);
  MessageBoxButtons set = ParseMessageBoxButtons(args.buttons, args.default_button);
  return MessageBoxAnswer(set, RunBox(args, set));
}

int32_t MESSAGE(int32_t default_button, int32_t system_modal) {
  MessageBoxArgs args;
  args.text = PopToStdString();
  args.caption = PopToStdString();
  args.icon = PopToStdString();
  args.buttons = PopToStdString();
  args.default_button = default_button;
  args.system_modal = system_modal != 0;
  return ShowMessageBox(args);
}

void SetMessageBoxReplacement(MessageBoxReplacement replacement) { g_replacement = replacement; }
void SetMessageBoxNewLook(bool on) { g_new_look = on; }
bool MessageBoxNewLook() { return g_new_look; }

namespace {

// The standard buttons of the platform's button codes MB_OK .. MB_RETRYCANCEL.
constexpr int32_t kStyleButtons[] = {1, 1 | 64, 8 | 16 | 32, 2 | 4 | 64, 2 | 4, 16 | 64};

}  // namespace

int PlatformStyleMessageBox(const char* text, const char* caption, uint32_t style) {
  uint32_t code = style & MB_TYPEMASK;
  MessageBoxButtons set =
      StandardButtons(code < std::size(kStyleButtons) ? kStyleButtons[code] : 1);
  size_t def = (style & MB_DEFMASK) >> 8;
  if (def < set.buttons.size()) set.default_index = int(def);
  MessageBoxArgs args;
  args.text = text != nullptr ? text : "";
  args.caption = caption != nullptr ? caption : "";
  args.style = style;
  args.system_modal = (style & MB_SYSTEMMODAL) != 0;
  args.keep_bars = true;
  return RunBox(args, set);
}

}  // namespace kor
