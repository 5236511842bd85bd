// The rows of a queue drawn as the columns of a format string: what a list
// box (KorList) and the dropped part of a drop-down list (KorDrop) share.
// It holds the columns, the icon list, the first row shown, the selected
// row and the measures of the last layout; the controls own the windows,
// the keys and the events.
//
// Drawing: an optional header row (when any column has a header; as tall as
// its most lines), then rows one font line plus 2 pixels high, or a small
// icon plus 2 when any column shows icons, whichever is taller. Each column
// shows its value field through its picture ("@S30" without one), aligned
// and indented as the format says, clipped to the column; fixed colours
// ("E") or colour fields ("*") give, in order, the text colour, the
// background, the selected text colour and the selected background (-1 or
// a missing position: the system's colour); "|" and "_" draw the borders.
//
// Icons: the list keeps its own numbered icons (SetIcon). A column with "I"
// or "J" draws the icon whose number its icon field holds at its left, the
// text after it; 0, a negative number or a number without an icon draws
// none (the text keeps its place). A centred column whose text is blank, or
// a column narrower than the icon, shows the icon centred in it. "J" draws
// only the icon's own pixels; "I" first fills the icon's square with the
// cell's background.
//
// Tree columns ("T"): the tree field holds the row's level, 1 the outermost;
// a negative level is a contracted row that has children. The text is
// indented one step (a small icon's width) per level below 1, a dotted line
// joins each row to the one above it at the level before, and a row with
// children (negative level, or a next row deeper than it) shows a box with
// "+" (contracted) or "-" (expanded) in its step.
//
// Resizable columns ("M"): the 4 pixels either side of a column's right edge
// are its sizing grip (EdgeAt); resizing moves the columns to its right by
// the same amount. A column is never narrower than kMinColumnWidth.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

#include "ui/control.h"
#include "ui/controls/list_queue.h"
#include "ui/images.h"
#include "ui/resource/column_format.h"

namespace kor {

// The module whose resources a control's images come from: the window's,
// else the program's.
HINSTANCE ModuleOf(const Control& control);

inline constexpr int kMinColumnWidth = 4;
inline constexpr int kGripPixels = 4;

class ListView {
 public:
  ListView() = default;
  ~ListView();
  ListView(const ListView&) = delete;
  ListView& operator=(const ListView&) = delete;

  void set_format(ColumnFormat format) { format_ = std::move(format); }
  const ColumnFormat& format() const { return format_; }
  void set_binding(const QueueBinding* binding) { binding_ = binding; }

  int32_t Count() const { return QueueRecords(binding_); }
  const void* RowData(int32_t row) const;  // 0-based; null outside
  std::string CellText(int32_t row, const ListColumn& column) const;
  // A row's columns, trailing blanks cut (leading ones too with `trim`),
  // joined by tabs (for robots).
  std::string RowText(int32_t row, bool trim = false) const;
  // The designated column's value of `row` as it stands (no picture); "" for
  // no row.
  std::string DesignatedValue(int32_t row) const;
  int32_t IconOf(int32_t row, const ListColumn& column) const;  // 0 = none
  int32_t TreeLevel(int32_t row, const ListColumn& column) const;
  // Whether a tree column's row has children: a negative level, or a next
  // row deeper than it.
  bool HasChildren(int32_t row, const ListColumn& column) const;

  // Icon `number` (1 up) from an image name (images.h; a leading "~" takes
  // it from the program's resources only); an empty name removes it. false
  // when the number is below 1 or the image cannot be found (the icon is
  // then removed).
  bool SetIcon(int32_t number, const std::string& name, HINSTANCE module);
  const std::string& IconName(int32_t number) const;
  bool HasIcon(int32_t number) const { return icons_.count(number) != 0; }

  // Row and header heights for the font, and the whole rows a client area
  // of `height` pixels shows (below the header when `header`).
  void Measure(HDC dc, int height, bool header);
  // Paints the header (when measured with one) and the rows from top().
  void Paint(HDC dc, const RECT& client, bool focused);
  void PaintRow(HDC dc, int32_t row, const RECT& box, bool selected, bool focused);

  // The row under y (client pixels), -1 for the header or below the rows.
  int32_t RowAt(int y) const;
  // The resizable column whose edge is under x, -1 when none.
  int32_t EdgeAt(int x) const;
  // Sets the column's width (pixels, at least kMinColumnWidth) and moves
  // the columns to its right; false for a column that is not there.
  bool ResizeColumn(int32_t column, int width);
  // The tree column's expand box of `row` under x: +1 contracted, -1
  // expanded, 0 no box there.
  int TreeBoxAt(int32_t row, int x) const;

  // The icon list (kPropListIcon) and column widths (kPropListColumnWidth)
  // of list_box.h, shared by both list kinds; false for another property.
  bool SetProperty(uint32_t property, int32_t index, const std::string& value, HINSTANCE module);
  bool GetProperty(uint32_t property, int32_t index, std::string* value) const;

  int32_t top = 0;        // first row shown, 0-based
  int32_t selected = -1;  // 0-based, -1 = none
  int hscroll = 0;        // pixels
  int row_height = 16;
  int header_height = 0;
  int32_t rows_shown = 0;

 private:
  struct Icon {
    std::string name;
    LoadedIcon loaded;
  };
  void PaintHeader(HDC dc, const RECT& client);
  void PaintCell(HDC dc, int32_t row, const ListColumn& c, const RECT& box, bool selected);
  int PaintTree(HDC dc, int32_t row, const ListColumn& c, const RECT& cell, COLORREF line);
  bool HasIconColumn() const;
  int step() const;

  ColumnFormat format_;
  const QueueBinding* binding_ = nullptr;
  std::map<int32_t, Icon> icons_;
  int average_char_ = 6;
};

}  // namespace kor
