// The drop-down list: the field, its dropped list and their keys.
#include "ui/controls/drop_list.h"

#include <windowsx.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ui/controls/bound_value.h"
#include "ui/controls/control_class.h"
#include "ui/controls/list_box.h"
#include "ui/controls/list_view.h"
#include "ui/events.h"

namespace kor {

namespace {

std::string Trimmed(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

LRESULT CALLBACK PopupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

bool EnsurePopupClass() {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (GetClassInfoExA(instance, kDropListClass, &wc)) return true;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &PopupProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kDropListClass;
  return RegisterClassExA(&wc) != 0;
}

class DropList : public ClassControl {
 public:
  DropList(Window* window, const ControlRecord& record) : ClassControl(window, record) {
    view_.set_format(ParseColumnFormat(record.format, window->state().scale));
  }
  ~DropList() override { CloseUp(); }

  HWND Create() {
    view_.set_binding(static_cast<const QueueBinding*>(source().address));
    HWND h = CreateOfClass(kKorDrop, "", 0, WS_EX_CLIENTEDGE);
    if (h != nullptr) Refresh();
    return h;
  }

  void Refresh() override {
    int32_t n = view_.Count();
    if (view_.selected >= n) view_.selected = n - 1;
    if (variable().address != nullptr) {
      std::string want = Trimmed(FormatBound(*this));
      for (int32_t row = 0; row < n; ++row) {
        if (Trimmed(view_.DesignatedValue(row)) != want) continue;
        view_.selected = row;
        break;
      }
    }
    Shown();
  }

  int32_t Choice() const override { return view_.selected + 1; }

  bool SetProperty(uint32_t property, int32_t index, const std::string& value) override {
    if (property == kPropListSelected) {
      Select(atoi(value.c_str()) - 1, false);
      return true;
    }
    if (!view_.SetProperty(property, index, value, ModuleOf(*this))) return false;
    Shown();
    return true;
  }

  bool GetProperty(uint32_t property, int32_t index, std::string* value) const override {
    if (property == kPropListRows) {
      *value = std::to_string(record().drop);
      return true;
    }
    if (property == kPropListSelected) {
      *value = std::to_string(view_.selected + 1);
      return true;
    }
    return view_.GetProperty(property, index, value);
  }

  bool Message(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  bool PopupMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

 private:
  bool Dropped() const { return popup_ != nullptr; }

  // The field shows the selected row; the robots read it as the window text.
  void Shown() {
    if (handle() == nullptr) return;
    SetWindowTextA(handle(),
                   view_.selected >= 0 ? view_.RowText(view_.selected, true).c_str() : "");
    InvalidateRect(handle(), nullptr, TRUE);
    if (popup_ != nullptr) InvalidateRect(popup_, nullptr, TRUE);
  }

  void Select(int32_t row, bool post) {
    int32_t n = view_.Count();
    row = n == 0 ? -1 : std::clamp(row, post ? 0 : -1, n - 1);
    hot_ = row;
    if (row == view_.selected) return;
    view_.selected = row;
    if (popup_ != nullptr && row >= 0) {
      if (row < view_.top) view_.top = row;
      if (row >= view_.top + view_.rows_shown) view_.top = row - view_.rows_shown + 1;
      UpdatePopupScroll();
    }
    if (variable().address != nullptr) AssignBoundText(*this, view_.DesignatedValue(row));
    Shown();
    if (post) Post(kEventNewSelection);
  }

  void Drop();
  void CloseUp();
  void UpdatePopupScroll();
  void PaintField();
  bool Key(WPARAM key, bool alt);
  void Locate(char c);

  ListView view_;
  HWND popup_ = nullptr;
  int32_t hot_ = -1;  // the row the pointer lights in the dropped list
  int button_width_ = 16;
};

void DropList::Drop() {
  if (Dropped() || !EnsurePopupClass()) return;
  Post(kEventDroppingDown);
  HWND top = window()->handle();
  RECT field, client;
  GetWindowRect(handle(), &field);
  MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&field), 2);
  GetClientRect(top, &client);
  HDC dc = GetDC(handle());
  HGDIOBJ old = SelectObject(dc, window()->state().font);
  view_.Measure(dc, 0, true);
  SelectObject(dc, old);
  ReleaseDC(handle(), dc);
  // The rows that fit below the field, else above it, at most the drop count.
  int32_t n = view_.Count();
  int frame = 2 * GetSystemMetrics(SM_CYBORDER);
  auto fitting = [&](int room) {
    return std::max<int32_t>(1, (room - frame - view_.header_height) / view_.row_height);
  };
  int32_t want = std::clamp<int32_t>(n, 1, std::max<int32_t>(1, record().drop));
  int32_t below = fitting(client.bottom - field.bottom);
  int32_t above = fitting(field.top);
  bool up = below < want && above > below;
  int32_t rows = std::min(want, up ? above : below);
  DWORD style = WS_CHILD | WS_BORDER | WS_CLIPSIBLINGS | (n > rows ? WS_VSCROLL : 0);
  int width = std::max<int>(field.right - field.left, view_.format().total_width + frame);
  if (n > rows) width += GetSystemMetrics(SM_CXVSCROLL);
  width = std::min<int>(width, client.right - field.left);
  int height = view_.header_height + rows * view_.row_height + frame;
  int y = up ? field.top - height : field.bottom;
  popup_ = CreateWindowExA(0, kDropListClass, "", style, field.left, y, width, height, top,
                           reinterpret_cast<HMENU>(kDropListId), GetModuleHandleA(nullptr), this);
  if (popup_ == nullptr) return;
  view_.rows_shown = rows;
  view_.top = std::clamp(view_.selected, 0, std::max(0, n - rows));
  hot_ = view_.selected;
  UpdatePopupScroll();
  SetWindowPos(popup_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  InvalidateRect(handle(), nullptr, TRUE);
  Post(kEventDroppedDown);
}

void DropList::CloseUp() {
  if (popup_ == nullptr) return;
  HWND popup = popup_;
  popup_ = nullptr;
  SetWindowLongPtrA(popup, GWLP_USERDATA, 0);
  DestroyWindow(popup);
  if (handle() != nullptr && IsWindow(handle())) InvalidateRect(handle(), nullptr, TRUE);
}

void DropList::UpdatePopupScroll() {
  if (popup_ == nullptr) return;
  SCROLLINFO si = {};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMax = std::max(0, view_.Count() - 1);
  si.nPage = UINT(std::max(1, view_.rows_shown));
  si.nPos = view_.top;
  SetScrollInfo(popup_, SB_VERT, &si, TRUE);
  InvalidateRect(popup_, nullptr, TRUE);
}

void DropList::PaintField() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(handle(), &ps);
  RECT client;
  GetClientRect(handle(), &client);
  HGDIOBJ old = SelectObject(dc, window()->state().font);
  bool focused = GetFocus() == handle();
  FillRect(dc, &client, GetSysColorBrush(IsWindowEnabled(handle()) ? COLOR_WINDOW : COLOR_BTNFACE));
  SetBkMode(dc, TRANSPARENT);
  button_width_ = GetSystemMetrics(SM_CXVSCROLL);
  RECT button = {client.right - button_width_, client.top, client.right, client.bottom};
  RECT text = {client.left, client.top, button.left, client.bottom};
  if (view_.selected >= 0) {
    HRGN clip = CreateRectRgnIndirect(&text);
    SelectClipRgn(dc, clip);
    DeleteObject(clip);
    view_.hscroll = 0;
    view_.PaintRow(dc, view_.selected, text, focused && !Dropped(), focused && !Dropped());
    SelectClipRgn(dc, nullptr);
  } else if (focused) {
    DrawFocusRect(dc, &text);
  }
  DrawFrameControl(dc, &button, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (Dropped() ? DFCS_PUSHED : 0));
  SelectObject(dc, old);
  EndPaint(handle(), &ps);
}

void DropList::Locate(char c) {
  int32_t n = view_.Count();
  if (n == 0 || view_.format().columns.empty()) return;
  const ListColumn& first = view_.format().columns[0];
  for (int32_t i = 1; i <= n; ++i) {
    int32_t row = (view_.selected + i + n) % n;
    std::string text = view_.CellText(row, first);
    size_t at = text.find_first_not_of(' ');
    if (at != std::string::npos && toupper(uint8_t(text[at])) == toupper(uint8_t(c))) {
      Select(row, true);
      return;
    }
  }
}

bool DropList::Key(WPARAM key, bool alt) {
  int32_t page = std::max<int32_t>(1, record().drop);
  if (key == VK_F4 || (alt && (key == VK_DOWN || key == VK_UP))) {
    if (Dropped()) {
      CloseUp();
    } else {
      Drop();
    }
    return true;
  }
  switch (key) {
    case VK_RETURN:
    case VK_ESCAPE:
      if (!Dropped()) return false;
      CloseUp();
      return true;
    case VK_UP: Select(std::max(0, view_.selected - 1), true); return true;
    case VK_DOWN: Select(view_.selected + 1, true); return true;
    case VK_PRIOR: Select(std::max(0, view_.selected - page), true); return true;
    case VK_NEXT: Select(view_.selected + page, true); return true;
    case VK_HOME: Select(0, true); return true;
    case VK_END: Select(view_.Count() - 1, true); return true;
    default: return false;
  }
}

bool DropList::Message(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  *result = 0;
  switch (msg) {
    case WM_PAINT: PaintField(); return true;
    case WM_ERASEBKGND: *result = 1; return true;
    case WM_GETDLGCODE: *result = kListDialogCode | (Dropped() ? DLGC_WANTALLKEYS : 0); return true;
    case WM_SETFOCUS:
      Post(kEventSelected);
      InvalidateRect(handle(), nullptr, FALSE);
      return false;
    case WM_KILLFOCUS:
      CloseUp();
      InvalidateRect(handle(), nullptr, FALSE);
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(handle());
      if (Dropped()) {
        CloseUp();
      } else {
        Drop();
      }
      return true;
    case WM_KEYDOWN: return Key(wp, false);
    case WM_SYSKEYDOWN: return Key(wp, true);
    case WM_CHAR:
      if (wp > ' ') Locate(char(wp));
      return wp != VK_RETURN && wp != VK_ESCAPE;
    case WM_MOUSEWHEEL:
      Select(view_.selected + (GET_WHEEL_DELTA_WPARAM(wp) > 0 ? -1 : 1), true);
      return true;
    case CB_SHOWDROPDOWN:
      if (wp != 0) {
        Drop();
      } else {
        CloseUp();
      }
      *result = TRUE;
      return true;
    case CB_GETDROPPEDSTATE: *result = Dropped(); return true;
    case LB_GETCOUNT: *result = view_.Count(); return true;
    case LB_GETCURSEL: *result = view_.selected >= 0 ? view_.selected : LB_ERR; return true;
    case LB_GETTEXTLEN:
    case LB_GETTEXT: {
      if (int32_t(wp) >= view_.Count() || (msg == LB_GETTEXT && lp == 0)) {
        *result = LB_ERR;
        return true;
      }
      std::string text = view_.RowText(int32_t(wp));
      if (msg == LB_GETTEXT) memcpy(reinterpret_cast<char*>(lp), text.c_str(), text.size() + 1);
      *result = LRESULT(text.size());
      return true;
    }
    case WM_DESTROY: CloseUp(); return false;
    default: return false;
  }
}

bool DropList::PopupMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  *result = 0;
  switch (msg) {
    case WM_NCDESTROY:  // with the window
      popup_ = nullptr;
      return false;
    case WM_ERASEBKGND: *result = 1; return true;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(popup_, &ps);
      RECT client;
      GetClientRect(popup_, &client);
      HGDIOBJ old = SelectObject(dc, window()->state().font);
      int32_t keep = view_.selected;
      view_.selected = hot_;
      view_.Paint(dc, client, false);
      view_.selected = keep;
      SelectObject(dc, old);
      EndPaint(popup_, &ps);
      return true;
    }
    case WM_MOUSEMOVE: {
      int32_t row = view_.RowAt(GET_Y_LPARAM(lp));
      if (row >= 0 && row != hot_) {
        hot_ = row;
        InvalidateRect(popup_, nullptr, FALSE);
      }
      return true;
    }
    case WM_LBUTTONUP: {
      int32_t row = view_.RowAt(GET_Y_LPARAM(lp));
      if (row < 0) return true;
      Select(row, true);
      CloseUp();
      return true;
    }
    case WM_MOUSEWHEEL:
    case WM_VSCROLL: {
      int32_t most = std::max(0, view_.Count() - view_.rows_shown);
      int code = msg == WM_MOUSEWHEEL ? (GET_WHEEL_DELTA_WPARAM(wp) > 0 ? SB_LINEUP : SB_LINEDOWN)
                                      : LOWORD(wp);
      if (code == SB_LINEUP) view_.top -= 1;
      if (code == SB_LINEDOWN) view_.top += 1;
      if (code == SB_PAGEUP) view_.top -= view_.rows_shown;
      if (code == SB_PAGEDOWN) view_.top += view_.rows_shown;
      if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) view_.top = HIWORD(wp);
      view_.top = std::clamp(view_.top, 0, most);
      UpdatePopupScroll();
      return true;
    }
    default: return false;
  }
}

LRESULT CALLBACK PopupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* drop = reinterpret_cast<DropList*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  LRESULT result = 0;
  if (drop != nullptr && drop->PopupMessage(msg, wp, lp, &result)) return result;
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

void* CreateDropList(const ControlCreation& creation) { return MakeControl<DropList>(creation); }

}  // namespace kor
