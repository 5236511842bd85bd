// Painting of the list box: the header, the rows and their cells.
#include <algorithm>

#include "ui/controls/list_box_impl.h"

namespace kor {

namespace {

UINT AlignFlags(ColumnAlign a) {
  switch (a) {
    case ColumnAlign::kRight:
    case ColumnAlign::kDecimal: return DT_RIGHT;
    case ColumnAlign::kCentre: return DT_CENTER;
    default: return DT_LEFT;
  }
}

// A colour position: the queue's colour field, else the fixed colour, else
// `fallback`.
COLORREF ColourAt(const ListColumn& c, const QueueBinding* b, const void* row, int index,
                  int system_colour) {
  int32_t value = kNoColour;
  if ((c.options & kColColourFields) && b != nullptr && row != nullptr)
    value = QueueFieldLong(*b, row, c.colour_field + index);
  if (value == kNoColour || value == 0) value = c.colours[index];
  if (value == kNoColour) return GetSysColor(system_colour);
  if (uint32_t(value) & 0x80000000u) return GetSysColor(int(uint32_t(value) & 0xFF));
  return COLORREF(value);
}

int Indent(int units, int average) { return units * average / 4; }

}  // namespace

void ListBox::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(handle(), &ps);
  RECT client;
  GetClientRect(handle(), &client);
  HGDIOBJ old = SelectObject(dc, window()->state().font);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  if (header_height_ > 0) PaintHeader(dc, client);
  int32_t n = Count();
  for (int32_t i = 0; i <= rows_shown_ && top_ + i < n; ++i) {
    int y = header_height_ + i * row_height_;
    RECT box = {client.left, y, client.right, y + row_height_};
    PaintRow(dc, top_ + i, box);
  }
  SelectObject(dc, old);
  EndPaint(handle(), &ps);
}

void ListBox::PaintHeader(HDC dc, const RECT& client) {
  RECT band = {client.left, 0, client.right, header_height_};
  FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  for (const ListColumn& c : format_.columns) {
    RECT cell = {c.x - hscroll_, 0, c.x + c.width - hscroll_, header_height_};
    RECT edge = cell;
    DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT | BF_SOFT);
    RECT text = {cell.left + 2 + Indent(c.header_indent, tm.tmAveCharWidth), cell.top + 2,
                 cell.right - 2, cell.bottom - 2};
    DrawTextA(dc, c.header.c_str(), -1, &text,
              AlignFlags(c.header_align) | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
}

void ListBox::PaintRow(HDC dc, int32_t row, const RECT& box) {
  bool selected = row == selected_;
  if (selected) FillRect(dc, &box, GetSysColorBrush(COLOR_HIGHLIGHT));
  for (const ListColumn& c : format_.columns) {
    RECT cell = {c.x - hscroll_, box.top, c.x + c.width - hscroll_, box.bottom};
    PaintCell(dc, row, c, cell, selected);
  }
  if (selected && GetFocus() == handle()) {
    RECT focus = box;
    DrawFocusRect(dc, &focus);
  }
}

void ListBox::PaintIcon(HDC dc, int32_t row, const ListColumn& c, RECT* text) {
  const void* data = RowData(row);
  if (data == nullptr || c.icon_field <= 0) return;
  int32_t n = QueueFieldLong(*binding(), data, c.icon_field);
  if (n < 1 || size_t(n) >= icons_.size() || icons_[size_t(n)].icon == nullptr) return;
  int size = std::max<int>(1, std::min<int>(16, text->bottom - text->top));
  int top = text->top + (text->bottom - text->top - size) / 2;
  DrawIconEx(dc, text->left, top, icons_[size_t(n)].icon, size, size, 0, nullptr, DI_NORMAL);
  text->left += size + 2;
}

void ListBox::PaintCell(HDC dc, int32_t row, const ListColumn& c, const RECT& cell, bool selected) {
  const void* data = RowData(row);
  const QueueBinding* b = binding();
  bool coloured = (c.options & (kColColourFields | kColColours)) != 0;
  COLORREF text_colour = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  if (coloured) {
    int base = selected ? 2 : 0;
    text_colour = ColourAt(c, b, data, base, selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    COLORREF back = ColourAt(c, b, data, base + 1, selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &cell, brush);
    DeleteObject(brush);
  }
  SetTextColor(dc, text_colour);
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  int indent = Indent(c.indent, tm.tmAveCharWidth);
  RECT text = {cell.left + 2 + indent, cell.top + 1, cell.right - 2, cell.bottom - 1};
  if (c.options & kColIcon) PaintIcon(dc, row, c, &text);
  std::string shown = CellText(row, c);
  shown.erase(shown.find_last_not_of(' ') + 1);
  if (c.align != ColumnAlign::kLeft) shown.erase(0, shown.find_first_not_of(' '));
  DrawTextA(dc, shown.c_str(), int(shown.size()), &text,
            AlignFlags(c.align) | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ old = SelectObject(dc, pen);
  if (c.options & kColRightBorder) {
    MoveToEx(dc, cell.right - 1, cell.top, nullptr);
    LineTo(dc, cell.right - 1, cell.bottom);
  }
  if (c.options & kColBottomBorder) {
    MoveToEx(dc, cell.left, cell.bottom - 1, nullptr);
    LineTo(dc, cell.right, cell.bottom - 1);
  }
  SelectObject(dc, old);
  DeleteObject(pen);
}

}  // namespace kor
