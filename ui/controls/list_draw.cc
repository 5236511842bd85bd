// Painting of the list view: the header, the rows and their cells, icons and
// tree lines.
#include <algorithm>
#include <cstdlib>

#include "ui/controls/list_view.h"

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

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

// A dotted line: every other pixel.
void Dots(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
  if (x1 == x2) {
    for (int y = std::min(y1, y2); y <= std::max(y1, y2); y += 2) SetPixel(dc, x1, y, colour);
  } else {
    for (int x = std::min(x1, x2); x <= std::max(x1, x2); x += 2) SetPixel(dc, x, y1, colour);
  }
}

}  // namespace

void ListView::Paint(HDC dc, const RECT& client, bool focused) {
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  if (header_height > 0) PaintHeader(dc, client);
  int32_t n = Count();
  for (int32_t i = 0; i <= rows_shown && top + i < n; ++i) {
    int y = header_height + i * row_height;
    RECT box = {client.left, y, client.right, y + row_height};
    PaintRow(dc, top + i, box, top + i == selected, focused);
  }
}

void ListView::PaintHeader(HDC dc, const RECT& client) {
  RECT band = {client.left, 0, client.right, header_height};
  FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  for (const ListColumn& c : format_.columns) {
    RECT cell = {c.x - hscroll, 0, c.x + c.width - hscroll, header_height};
    RECT edge = cell;
    DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT | BF_SOFT);
    RECT text = {cell.left + 2 + Indent(c.header_indent, average_char_), cell.top + 2,
                 cell.right - 2, cell.bottom - 2};
    DrawTextA(dc, c.header.c_str(), -1, &text,
              AlignFlags(c.header_align) | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
}

void ListView::PaintRow(HDC dc, int32_t row, const RECT& box, bool is_selected, bool focused) {
  if (is_selected) FillRect(dc, &box, GetSysColorBrush(COLOR_HIGHLIGHT));
  for (const ListColumn& c : format_.columns) {
    RECT cell = {c.x - hscroll, box.top, c.x + c.width - hscroll, box.bottom};
    if (cell.right > box.right) cell.right = box.right;
    if (cell.left < cell.right) PaintCell(dc, row, c, cell, is_selected);
  }
  if (is_selected && focused) {
    RECT focus = box;
    DrawFocusRect(dc, &focus);
  }
}

// The tree part of a cell: lines, the expand box; returns the pixels the
// text moves right.
int ListView::PaintTree(HDC dc, int32_t row, const ListColumn& c, const RECT& cell, COLORREF line) {
  int level = std::max(1, std::abs(TreeLevel(row, c)));
  int s = step();
  int left = cell.left + 2 + (level - 1) * s;
  int mid_x = left + s / 2;
  int mid_y = (cell.top + cell.bottom) / 2;
  if (level > 1) {
    // Up to the row above (its parent or a sibling), across to the text.
    Dots(dc, mid_x - s, cell.top, mid_x - s, mid_y, line);
    Dots(dc, mid_x - s, mid_y, mid_x, mid_y, line);
  }
  if (HasChildren(row, c)) {
    int half = std::max(3, s / 4);
    RECT sq = {mid_x - half, mid_y - half, mid_x + half + 1, mid_y + half + 1};
    FillRect(dc, &sq, GetSysColorBrush(COLOR_WINDOW));
    HBRUSH frame = CreateSolidBrush(line);
    FrameRect(dc, &sq, frame);
    DeleteObject(frame);
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ old = SelectObject(dc, pen);
    Line(dc, mid_x - half + 2, mid_y, mid_x + half - 1, mid_y);
    if (TreeLevel(row, c) < 0) Line(dc, mid_x, mid_y - half + 2, mid_x, mid_y + half - 1);
    SelectObject(dc, old);
    DeleteObject(pen);
  }
  return level * s;
}

void ListView::PaintCell(HDC dc, int32_t row, const ListColumn& c, const RECT& cell,
                         bool is_selected) {
  const void* data = RowData(row);
  bool coloured = (c.options & (kColColourFields | kColColours)) != 0;
  COLORREF text_colour = GetSysColor(is_selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  COLORREF back = GetSysColor(is_selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
  if (coloured) {
    int base = is_selected ? 2 : 0;
    text_colour =
        ColourAt(c, binding_, data, base, is_selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    back = ColourAt(c, binding_, data, base + 1, is_selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &cell, brush);
    DeleteObject(brush);
  }
  HRGN clip = CreateRectRgnIndirect(&cell);
  SaveDC(dc);
  ExtSelectClipRgn(dc, clip, RGN_AND);
  DeleteObject(clip);
  int lead = 0;
  if (c.options & kColTree) lead += PaintTree(dc, row, c, cell, GetSysColor(COLOR_GRAYTEXT));
  std::string shown = CellText(row, c);
  shown.erase(shown.find_last_not_of(' ') + 1);
  if (c.align != ColumnAlign::kLeft) shown.erase(0, shown.find_first_not_of(' '));
  if (c.options & kColIcon) {
    int s = step();
    int x = cell.left + 2 + lead;
    // Alone in a centred column, or in one narrower than the icon: centred.
    bool centre = (shown.empty() && c.align == ColumnAlign::kCentre) || cell.right - x < s + 2;
    if (centre && lead == 0) x = std::max<int>(cell.left, (cell.left + cell.right - s) / 2);
    int y = cell.top + (cell.bottom - cell.top - s) / 2;
    auto icon = icons_.find(IconOf(row, c));
    if (icon != icons_.end()) {
      if ((c.options & kColTransparentIcon) == 0) {
        RECT sq = {x, y, x + s, y + s};
        HBRUSH brush = CreateSolidBrush(back);
        FillRect(dc, &sq, brush);
        DeleteObject(brush);
      }
      DrawIconEx(dc, x, y, icon->second.loaded.icon, s, s, 0, nullptr, DI_NORMAL);
    }
    lead += s + 2;
  }
  SetTextColor(dc, text_colour);
  int indent = Indent(c.indent, average_char_);
  RECT text = {cell.left + 2 + lead + indent, cell.top + 1, cell.right - 2, cell.bottom - 1};
  DrawTextA(dc, shown.c_str(), int(shown.size()), &text,
            AlignFlags(c.align) | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  RestoreDC(dc, -1);
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ old = SelectObject(dc, pen);
  if (c.options & kColRightBorder) Line(dc, cell.right - 1, cell.top, cell.right - 1, cell.bottom);
  if (c.options & kColBottomBorder)
    Line(dc, cell.left, cell.bottom - 1, cell.right, cell.bottom - 1);
  SelectObject(dc, old);
  DeleteObject(pen);
}

}  // namespace kor
