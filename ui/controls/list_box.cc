// The list box: layout, selection, keys, scrolling and properties; the
// painting is in list_draw.cc.
#include "ui/controls/list_box.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ui/controls/bound_value.h"
#include "ui/controls/drop_list.h"
#include "ui/controls/list_box_impl.h"
#include "ui/events.h"

namespace kor {

ListBox::ListBox(Window* window, const ControlRecord& record) : ClassControl(window, record) {
  view_.set_format(ParseColumnFormat(record.format, window->state().scale));
}

HWND ListBox::Create() {
  view_.set_binding(static_cast<const QueueBinding*>(source().address));
  DWORD style = WS_BORDER;
  if (attr() & kCtlVScroll) style |= WS_VSCROLL;
  if (attr() & kCtlHScroll) style |= WS_HSCROLL;
  HWND h = CreateOfClass(kKorList, "", style, 0);
  if (h != nullptr) Layout();
  return h;
}

void ListBox::Paint(HDC dc) {
  RECT client;
  GetClientRect(handle(), &client);
  HGDIOBJ old = SelectObject(dc, window()->state().font);
  view_.Paint(dc, client, GetFocus() == handle());
  SelectObject(dc, old);
}

void ListBox::Layout() {
  HDC dc = GetDC(handle());
  HGDIOBJ old = SelectObject(dc, window()->state().font);
  RECT r;
  GetClientRect(handle(), &r);
  view_.Measure(dc, r.bottom, true);
  SelectObject(dc, old);
  ReleaseDC(handle(), dc);
  UpdateScrollBars();
}

void ListBox::UpdateScrollBars() {
  if (handle() == nullptr) return;
  SCROLLINFO si = {};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (Paged()) {
    // The program knows where its page is: the thumb runs 0..kListThumbMax.
    si.nPage = 10;
    si.nMax = kListThumbMax + int(si.nPage) - 1;
    si.nPos = thumb_;
  } else {
    si.nMax = std::max(0, Count() - 1);
    si.nPage = UINT(std::max(1, view_.rows_shown));
    si.nPos = view_.top;
  }
  SetScrollInfo(handle(), SB_VERT, &si, TRUE);
  RECT r;
  GetClientRect(handle(), &r);
  si.nMax = std::max(0, int(view_.format().total_width) - 1);
  si.nPage = UINT(std::max<LONG>(1, r.right));
  si.nPos = view_.hscroll;
  SetScrollInfo(handle(), SB_HORZ, &si, TRUE);
}

void ListBox::Refresh() {
  int32_t n = Count();
  if (view_.selected >= n) view_.selected = n - 1;
  view_.top = std::clamp(view_.top, 0, std::max(0, n - std::max(1, view_.rows_shown)));
  UpdateScrollBars();
  InvalidateRect(handle(), nullptr, TRUE);
}

void ListBox::StoreSelection() {
  if (variable().address == nullptr) return;
  AssignBoundText(*this, view_.DesignatedValue(view_.selected));
}

void ListBox::SelectRow(int32_t row, bool post) {
  int32_t n = Count();
  row = n == 0 ? -1 : std::clamp(row, -1, n - 1);
  if (row == view_.selected) return;
  view_.selected = row;
  if (row >= 0 && row < view_.top) view_.top = row;
  if (row >= 0 && view_.rows_shown > 0 && row >= view_.top + view_.rows_shown)
    view_.top = row - view_.rows_shown + 1;
  UpdateScrollBars();
  InvalidateRect(handle(), nullptr, TRUE);
  StoreSelection();
  if (post) Post(kEventNewSelection);
}

bool ListBox::PagedKey(WPARAM key) {
  bool ctrl = GetKeyState(VK_CONTROL) < 0;
  switch (key) {
    case VK_HOME: Post(kEventScrollTop); return true;
    case VK_END: Post(kEventScrollBottom); return true;
    case VK_UP: Post(kEventScrollUp); return true;
    case VK_DOWN: Post(kEventScrollDown); return true;
    case VK_PRIOR: Post(ctrl ? kEventScrollTop : kEventPageUp); return true;
    case VK_NEXT: Post(ctrl ? kEventScrollBottom : kEventPageDown); return true;
    default: return false;
  }
}

bool ListBox::Key(WPARAM key) {
  if (key == VK_ADD || key == VK_SUBTRACT) {
    Tree(key == VK_ADD ? 1 : -1);
    return true;
  }
  if (key == VK_RETURN) {
    if (view_.selected >= 0) Post(kEventAccepted);
    return true;
  }
  if (key == VK_LEFT || key == VK_RIGHT) {
    ScrollHorizontally(key == VK_LEFT ? -view_.row_height : view_.row_height);
    return true;
  }
  if (Paged()) return PagedKey(key);
  int32_t page = std::max(1, view_.rows_shown - 1);
  switch (key) {
    case VK_HOME: SelectRow(0, true); return true;
    case VK_END: SelectRow(Count() - 1, true); return true;
    case VK_UP: SelectRow(std::max(0, view_.selected - 1), true); return true;
    case VK_DOWN: SelectRow(view_.selected + 1, true); return true;
    case VK_PRIOR: SelectRow(std::max(0, view_.selected - page), true); return true;
    case VK_NEXT: SelectRow(view_.selected + page, true); return true;
    default: return false;
  }
}

void ListBox::ScrollHorizontally(int delta) {
  RECT r;
  GetClientRect(handle(), &r);
  int most = std::max(0, int(view_.format().total_width - r.right));
  view_.hscroll = std::clamp(view_.hscroll + delta, 0, most);
  UpdateScrollBars();
  InvalidateRect(handle(), nullptr, TRUE);
}

void ListBox::VerticalScroll(int code, int thumb_place) {
  if (Paged()) {
    switch (code) {
      case SB_LINEUP: Post(kEventScrollUp); break;
      case SB_LINEDOWN: Post(kEventScrollDown); break;
      case SB_PAGEUP: Post(kEventPageUp); break;
      case SB_PAGEDOWN: Post(kEventPageDown); break;
      case SB_TOP: Post(kEventScrollTop); break;
      case SB_BOTTOM: Post(kEventScrollBottom); break;
      case SB_THUMBTRACK: Post(kEventScrollTrack); break;
      case SB_THUMBPOSITION:
        // The release's place travels in the message (the thumb runs 0..100,
        // well inside its 16 bits).
        thumb_ = std::clamp(int32_t(thumb_place), 0, kListThumbMax);
        Post(kEventScrollDrag);
        break;
      default: break;
    }
    return;
  }
  SCROLLINFO si = {};
  si.cbSize = sizeof si;
  si.fMask = SIF_TRACKPOS;
  GetScrollInfo(handle(), SB_VERT, &si);
  int32_t page = std::max(1, view_.rows_shown);
  switch (code) {
    case SB_LINEUP: view_.top -= 1; break;
    case SB_LINEDOWN: view_.top += 1; break;
    case SB_PAGEUP: view_.top -= page; break;
    case SB_PAGEDOWN: view_.top += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: view_.top = si.nTrackPos; break;
    default: return;
  }
  Refresh();
}

bool ListBox::Message(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  *result = 0;
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      Paint(BeginPaint(handle(), &ps));
      EndPaint(handle(), &ps);
      return true;
    }
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wp)); return true;
    case WM_ERASEBKGND: *result = 1; return true;
    case WM_SIZE: Layout(); return false;
    case WM_GETDLGCODE: *result = kListDialogCode; return true;
    case WM_SETFOCUS:
      Post(kEventSelected);
      InvalidateRect(handle(), nullptr, FALSE);
      return false;
    case WM_KILLFOCUS: InvalidateRect(handle(), nullptr, FALSE); return false;
    case WM_RBUTTONDOWN: {
      SetFocus(handle());
      int32_t row = view_.RowAt(GET_Y_LPARAM(lp));
      if (row >= 0 && row != view_.selected) {
        SelectRow(row, true);
      } else {
        Post(kEventNewSelection);  // the pop-up asks, whatever the row
      }
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_CAPTURECHANGED: return Mouse(msg, wp, lp);
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && SetCursorForEdge()) {
        *result = TRUE;
        return true;
      }
      return false;
    case WM_KEYDOWN: return Key(wp);
    case WM_CHAR:
      // Typing asks the program to locate a row; a list that scrolls itself
      // leaves incremental search out.
      if (Paged() && wp >= ' ') Post(kEventLocate);
      return true;
    case WM_MOUSEWHEEL:
      if (Paged()) {
        Post(GET_WHEEL_DELTA_WPARAM(wp) > 0 ? kEventScrollUp : kEventScrollDown);
      } else {
        view_.top -= GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * 3;
        Refresh();
      }
      return true;
    case WM_VSCROLL: VerticalScroll(LOWORD(wp), HIWORD(wp)); return true;
    case WM_HSCROLL:
      ScrollHorizontally(LOWORD(wp) == SB_LINELEFT || LOWORD(wp) == SB_PAGELEFT ? -view_.row_height
                                                                                : view_.row_height);
      return true;
    default: return RobotMessage(msg, wp, lp, result);
  }
}

bool ListBox::RobotMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  switch (msg) {
    case LB_GETCOUNT: *result = Count(); return true;
    case LB_GETCURSEL: *result = view_.selected >= 0 ? view_.selected : LB_ERR; return true;
    case LB_GETTEXTLEN:
      *result = int32_t(wp) < Count() ? LRESULT(view_.RowText(int32_t(wp)).size()) : LB_ERR;
      return true;
    case WM_GETTEXTLENGTH:
      *result = view_.selected >= 0 ? LRESULT(view_.RowText(view_.selected).size()) : 0;
      return true;
    case WM_GETTEXT: {
      // The selected row, so that a reader in another process gets it whole
      // (the system carries a window's text between processes).
      std::string text = view_.selected >= 0 ? view_.RowText(view_.selected) : std::string();
      size_t room = size_t(wp);
      if (room == 0 || lp == 0) return true;
      size_t n = std::min(text.size(), room - 1);
      memcpy(reinterpret_cast<char*>(lp), text.data(), n);
      reinterpret_cast<char*>(lp)[n] = '\0';
      *result = LRESULT(n);
      return true;
    }
    case LB_GETITEMRECT: {  // a shown row's place in the list, client pixels
      int32_t row = int32_t(wp);
      RECT client;
      if (lp == 0 || row < view_.top || row >= Count() || !GetClientRect(handle(), &client)) {
        *result = LB_ERR;
        return true;
      }
      int y = view_.header_height + (row - view_.top) * view_.row_height;
      *reinterpret_cast<RECT*>(lp) = {0, y, client.right, y + view_.row_height};
      *result = 1;
      return true;
    }
    case LB_GETTEXT: {
      if (int32_t(wp) >= Count() || lp == 0) {
        *result = LB_ERR;
        return true;
      }
      std::string text = view_.RowText(int32_t(wp));
      memcpy(reinterpret_cast<char*>(lp), text.c_str(), text.size() + 1);
      *result = LRESULT(text.size());
      return true;
    }
    default: return false;
  }
}

bool ListBox::SetProperty(uint32_t property, int32_t index, const std::string& value) {
  if (property == kPropListSelected) {
    SelectRow(atoi(value.c_str()) - 1, false);
    return true;
  }
  if (property == kPropListThumb) {
    thumb_ = std::clamp(atoi(value.c_str()), 0, kListThumbMax);
    UpdateScrollBars();
    return true;
  }
  if (!view_.SetProperty(property, index, value, ModuleOf(*this))) return false;
  Layout();
  InvalidateRect(handle(), nullptr, TRUE);
  return true;
}

bool ListBox::GetProperty(uint32_t property, int32_t index, std::string* value) const {
  if (property == kPropListRows) {
    *value = std::to_string(view_.rows_shown);
    return true;
  }
  if (property == kPropListSelected) {
    *value = std::to_string(view_.selected + 1);
    return true;
  }
  if (property == kPropListThumb) {
    *value = std::to_string(thumb_);
    return true;
  }
  return view_.GetProperty(property, index, value);
}

void* CreateList(const ControlCreation& creation) {
  if (creation.record->drop != 0) return CreateDropList(creation);
  return MakeControl<ListBox>(creation);
}

}  // namespace kor
