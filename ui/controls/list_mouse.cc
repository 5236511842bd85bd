// The list box's mouse: clicks on rows, sizing columns by their edge, the
// expand boxes of tree columns.
#include <algorithm>

#include "ui/controls/list_box_impl.h"
#include "ui/events.h"

namespace kor {

bool ListBox::SetCursorForEdge() {
  POINT p;
  GetCursorPos(&p);
  ScreenToClient(handle(), &p);
  bool grip = sizing_ >= 0 ||
              ((view_.header_height == 0 || p.y < view_.header_height) && view_.EdgeAt(p.x) >= 0);
  if (grip) SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
  return grip;
}

void ListBox::Click(int x, int y) {
  SetFocus(handle());
  bool in_header = view_.header_height > 0 && y < view_.header_height;
  int32_t edge = view_.EdgeAt(x);
  if (edge >= 0 && (view_.header_height == 0 || in_header)) {
    sizing_ = edge;
    sizing_from_x_ = x;
    sizing_from_width_ = view_.format().columns[size_t(edge)].width;
    SetCapture(handle());
    return;
  }
  int32_t row = view_.RowAt(y);
  if (row < 0) return;
  SelectRow(row, true);
  int box = view_.TreeBoxAt(row, x);
  if (box != 0) Tree(box);
}

void ListBox::EndSizing(bool post) {
  int32_t column = sizing_;
  sizing_ = -1;
  if (GetCapture() == handle()) ReleaseCapture();
  if (column < 0) return;
  UpdateScrollBars();
  if (post && view_.format().columns[size_t(column)].width != sizing_from_width_)
    Post(kEventColumnResize);
}

// Asks the program to expand (+1) or contract (-1) the selected row of a
// tree column; the program changes the queue. A row without children, or
// one already that way, asks nothing.
void ListBox::Tree(int direction) {
  int32_t row = view_.selected;
  if (row < 0) return;
  for (const ListColumn& c : view_.format().columns) {
    if ((c.options & kColTree) == 0) continue;
    bool contracted = view_.TreeLevel(row, c) < 0;
    if (!view_.HasChildren(row, c) || contracted != (direction > 0)) return;
    Post(direction > 0 ? kEventExpanding : kEventContracting);
    Post(direction > 0 ? kEventExpanded : kEventContracted);
    return;
  }
}

bool ListBox::Mouse(UINT msg, WPARAM, LPARAM lp) {
  int x = GET_X_LPARAM(lp);
  int y = GET_Y_LPARAM(lp);
  switch (msg) {
    case WM_LBUTTONDOWN: Click(x, y); return true;
    case WM_LBUTTONDBLCLK:
      if (sizing_ < 0 && view_.RowAt(y) >= 0 && view_.TreeBoxAt(view_.RowAt(y), x) == 0)
        Post(kEventAccepted);
      return true;
    case WM_MOUSEMOVE:
      if (sizing_ < 0) return false;
      view_.ResizeColumn(sizing_, sizing_from_width_ + x - sizing_from_x_);
      InvalidateRect(handle(), nullptr, TRUE);
      return true;
    case WM_LBUTTONUP: EndSizing(true); return true;
    case WM_CAPTURECHANGED: EndSizing(true); return false;
    default: return false;
  }
}

}  // namespace kor
