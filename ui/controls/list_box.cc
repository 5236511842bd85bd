// The list box: layout, selection, keys, scrolling and properties; the
// painting is in list_draw.cc.
#include "ui/controls/list_box.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ui/controls/bound_value.h"
#include "ui/controls/list_box_impl.h"
#include "ui/events.h"
#include "ui/plain_controls.h"

namespace kor {

ListBox::ListBox(Window* window, const ControlRecord& record) : ClassControl(window, record) {
  format_ = ParseColumnFormat(record.format, window->state().scale);
}

ListBox::~ListBox() {
  for (const LoadedIcon& icon : icons_) {
    if (icon.owned) DestroyIcon(icon.icon);
  }
}

bool ListBox::SetIcon(int32_t index, const std::string& name) {
  if (index < 1 || index > kListIconMax) return true;
  if (size_t(index) >= icons_.size()) {
    icons_.resize(size_t(index) + 1);
    icon_names_.resize(size_t(index) + 1);
  }
  if (icons_[size_t(index)].owned) DestroyIcon(icons_[size_t(index)].icon);
  ImageName image;
  image.kind = ImageName::Kind::kFile;
  image.file = !name.empty() && name[0] == '~' ? name.substr(1) : name;
  icons_[size_t(index)] = LoadIconByName(image, GetModuleHandleA(nullptr));
  icon_names_[size_t(index)] = name;
  InvalidateRect(handle(), nullptr, TRUE);
  return true;
}

HWND ListBox::Create() {
  DWORD style = WS_BORDER;
  if (attr() & kCtlVScroll) style |= WS_VSCROLL;
  if (attr() & kCtlHScroll) style |= WS_HSCROLL;
  HWND h = CreateOfClass(kKorList, "", style, 0);
  if (h != nullptr) Layout();
  return h;
}

const QueueBinding* ListBox::binding() const {
  return static_cast<const QueueBinding*>(source().address);
}

int32_t ListBox::Count() const { return QueueRecords(binding()); }

const void* ListBox::RowData(int32_t row) const {
  const QueueBinding* b = binding();
  if (b == nullptr || b->queue == nullptr || row < 0) return nullptr;
  return b->queue->Row(uint32_t(row) + 1);
}

std::string ListBox::CellText(int32_t row, const ListColumn& c) const {
  const void* data = RowData(row);
  if (data == nullptr) return std::string();
  return FormatQueueField(*binding(), data, c.value_field,
                          c.picture.empty() ? std::string(kDefaultColumnPicture) : c.picture);
}

std::string ListBox::RowText(int32_t row) const {
  std::string text;
  for (size_t i = 0; i < format_.columns.size(); ++i) {
    if (i > 0) text += '\t';
    std::string cell = CellText(row, format_.columns[i]);
    text += cell.substr(0, cell.find_last_not_of(' ') + 1);
  }
  return text;
}

void ListBox::Layout() {
  HDC dc = GetDC(handle());
  HGDIOBJ old = SelectObject(dc, window()->state().font);
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(handle(), dc);
  row_height_ = std::max<int>(1, tm.tmHeight + 2);
  int lines = 0;
  for (const ListColumn& c : format_.columns) lines = std::max(lines, c.header_lines);
  header_height_ = lines > 0 ? lines * tm.tmHeight + 4 : 0;
  RECT r;
  GetClientRect(handle(), &r);
  rows_shown_ = std::max(0, int((r.bottom - header_height_) / row_height_));
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
    si.nPage = UINT(std::max(1, rows_shown_));
    si.nPos = top_;
  }
  SetScrollInfo(handle(), SB_VERT, &si, TRUE);
  RECT r;
  GetClientRect(handle(), &r);
  si.nMax = std::max(0, int(format_.total_width) - 1);
  si.nPage = UINT(std::max<LONG>(1, r.right));
  si.nPos = hscroll_;
  SetScrollInfo(handle(), SB_HORZ, &si, TRUE);
}

void ListBox::Refresh() {
  int32_t n = Count();
  if (selected_ >= n) selected_ = n - 1;
  top_ = std::clamp(top_, 0, std::max(0, n - std::max(1, rows_shown_)));
  UpdateScrollBars();
  InvalidateRect(handle(), nullptr, TRUE);
}

void ListBox::StoreSelection() {
  if (variable().address == nullptr) return;
  std::string value;
  if (selected_ >= 0 && size_t(format_.designated) < format_.columns.size()) {
    const ListColumn& c = format_.columns[size_t(format_.designated)];
    const void* data = RowData(selected_);
    if (data != nullptr) value = FormatQueueField(*binding(), data, c.value_field, "");
  }
  AssignBoundText(*this, value);
}

void ListBox::SelectRow(int32_t row, bool post) {
  int32_t n = Count();
  row = n == 0 ? -1 : std::clamp(row, -1, n - 1);
  if (row == selected_) return;
  selected_ = row;
  if (row >= 0 && row < top_) top_ = row;
  if (row >= 0 && rows_shown_ > 0 && row >= top_ + rows_shown_) top_ = row - rows_shown_ + 1;
  UpdateScrollBars();
  InvalidateRect(handle(), nullptr, TRUE);
  StoreSelection();
  if (post) Post(kEventNewSelection);
}

int32_t ListBox::RowAt(int y) const {
  if (y < header_height_ || row_height_ <= 0) return -1;
  int32_t row = top_ + (y - header_height_) / row_height_;
  return row < Count() ? row : -1;
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
  if (key == VK_RETURN) {
    if (selected_ >= 0) Post(kEventAccepted);
    return true;
  }
  if (key == VK_LEFT || key == VK_RIGHT) {
    ScrollHorizontally(key == VK_LEFT ? -row_height_ : row_height_);
    return true;
  }
  if (Paged()) return PagedKey(key);
  int32_t page = std::max(1, rows_shown_ - 1);
  switch (key) {
    case VK_HOME: SelectRow(0, true); return true;
    case VK_END: SelectRow(Count() - 1, true); return true;
    case VK_UP: SelectRow(std::max(0, selected_ - 1), true); return true;
    case VK_DOWN: SelectRow(selected_ + 1, true); return true;
    case VK_PRIOR: SelectRow(std::max(0, selected_ - page), true); return true;
    case VK_NEXT: SelectRow(selected_ + page, true); return true;
    default: return false;
  }
}

void ListBox::ScrollHorizontally(int delta) {
  RECT r;
  GetClientRect(handle(), &r);
  int most = std::max(0, int(format_.total_width - r.right));
  hscroll_ = std::clamp(hscroll_ + delta, 0, most);
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
  int32_t page = std::max(1, rows_shown_);
  switch (code) {
    case SB_LINEUP: top_ -= 1; break;
    case SB_LINEDOWN: top_ += 1; break;
    case SB_PAGEUP: top_ -= page; break;
    case SB_PAGEDOWN: top_ += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: top_ = si.nTrackPos; break;
    default: return;
  }
  Refresh();
}

bool ListBox::Message(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  *result = 0;
  switch (msg) {
    case WM_PAINT: Paint(); return true;
    case WM_ERASEBKGND: *result = 1; return true;
    case WM_SIZE: Layout(); return false;
    case WM_GETDLGCODE: *result = kListDialogCode; return true;
    case WM_SETFOCUS:
      Post(kEventSelected);
      InvalidateRect(handle(), nullptr, FALSE);
      return false;
    case WM_KILLFOCUS: InvalidateRect(handle(), nullptr, FALSE); return false;
    case WM_LBUTTONDOWN: {
      SetFocus(handle());
      int32_t row = RowAt(GET_Y_LPARAM(lp));
      if (row >= 0) SelectRow(row, true);
      return true;
    }
    case WM_RBUTTONDOWN: {
      SetFocus(handle());
      int32_t row = RowAt(GET_Y_LPARAM(lp));
      if (row >= 0 && row != selected_) {
        SelectRow(row, true);
      } else {
        Post(kEventNewSelection);  // the pop-up asks, whatever the row
      }
      return true;
    }
    case WM_LBUTTONDBLCLK:
      if (RowAt(GET_Y_LPARAM(lp)) >= 0) Post(kEventAccepted);
      return true;
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
        top_ -= GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * 3;
        Refresh();
      }
      return true;
    case WM_VSCROLL: VerticalScroll(LOWORD(wp), HIWORD(wp)); return true;
    case WM_HSCROLL:
      ScrollHorizontally(LOWORD(wp) == SB_LINELEFT || LOWORD(wp) == SB_PAGELEFT ? -row_height_
                                                                                : row_height_);
      return true;
    default: return RobotMessage(msg, wp, lp, result);
  }
}

bool ListBox::RobotMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  switch (msg) {
    case LB_GETCOUNT: *result = Count(); return true;
    case LB_GETCURSEL: *result = selected_ >= 0 ? selected_ : LB_ERR; return true;
    case LB_GETTEXTLEN:
      *result = int32_t(wp) < Count() ? LRESULT(RowText(int32_t(wp)).size()) : LB_ERR;
      return true;
    case WM_GETTEXTLENGTH:
      *result = selected_ >= 0 ? LRESULT(RowText(selected_).size()) : 0;
      return true;
    case WM_GETTEXT: {
      // The selected row, so that a reader in another process gets it whole
      // (the system carries a window's text between processes).
      std::string text = selected_ >= 0 ? RowText(selected_) : std::string();
      size_t room = size_t(wp);
      if (room == 0 || lp == 0) return true;
      size_t n = std::min(text.size(), room - 1);
      memcpy(reinterpret_cast<char*>(lp), text.data(), n);
      reinterpret_cast<char*>(lp)[n] = '\0';
      *result = LRESULT(n);
      return true;
    }
    case LB_GETTEXT: {
      if (int32_t(wp) >= Count() || lp == 0) {
        *result = LB_ERR;
        return true;
      }
      std::string text = RowText(int32_t(wp));
      memcpy(reinterpret_cast<char*>(lp), text.c_str(), text.size() + 1);
      *result = LRESULT(text.size());
      return true;
    }
    default: return false;
  }
}

bool ListBox::SetProperty(uint32_t property, int32_t index, const std::string& value) {
  if (property == kPropListIcon) return SetIcon(index, value);
  if (property == kPropListThumb) {
    thumb_ = std::clamp(atoi(value.c_str()), 0, kListThumbMax);
    UpdateScrollBars();
    return true;
  }
  if (property != kPropListSelected) return false;
  SelectRow(atoi(value.c_str()) - 1, false);
  return true;
}

bool ListBox::GetProperty(uint32_t property, int32_t index, std::string* value) const {
  if (property == kPropListIcon) {
    bool known = index > 0 && size_t(index) < icon_names_.size();
    *value = known ? icon_names_[size_t(index)] : std::string();
    return true;
  }
  if (property == kPropListRows) {
    *value = std::to_string(rows_shown_);
    return true;
  }
  if (property == kPropListSelected) {
    *value = std::to_string(selected_ + 1);
    return true;
  }
  if (property == kPropListThumb) {
    *value = std::to_string(thumb_);
    return true;
  }
  return false;
}

void* CreateList(const ControlCreation& creation) {
  // A drop-down list keeps the window library's stand-in until KorDrop is here.
  if (creation.record->drop != 0) return PlainControlKind(kRecList)->create(creation);
  return MakeControl<ListBox>(creation);
}

}  // namespace kor
