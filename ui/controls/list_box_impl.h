// The list box's class, shared by its two source files (list_box.cc for
// behaviour, list_draw.cc for painting); not for other users.
#pragma once

#include <windowsx.h>

#include <string>
#include <vector>

#include "ui/images.h"

#include "ui/controls/control_class.h"
#include "ui/controls/list_queue.h"
#include "ui/resource/column_format.h"

namespace kor {

class ListBox : public ClassControl {
 public:
  ListBox(Window* window, const ControlRecord& record);
  ~ListBox() override;
  HWND Create();

  void Refresh() override;
  int32_t Choice() const override { return selected_ + 1; }
  bool Message(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  bool SetProperty(uint32_t property, int32_t index, const std::string& value) override;
  bool GetProperty(uint32_t property, int32_t index, std::string* value) const override;

 private:
  bool Paged() const { return (attr() & kCtlPaged) != 0; }
  const QueueBinding* binding() const;
  int32_t Count() const;
  const void* RowData(int32_t row) const;  // 0-based
  std::string CellText(int32_t row, const ListColumn& column) const;
  std::string RowText(int32_t row) const;

  void Layout();
  void UpdateScrollBars();
  void StoreSelection();
  void SelectRow(int32_t row, bool post);
  int32_t RowAt(int y) const;
  bool Key(WPARAM key);
  bool PagedKey(WPARAM key);
  void ScrollHorizontally(int delta);
  void VerticalScroll(int code, int thumb_place);
  bool RobotMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

  // list_draw.cc
  void Paint();
  void PaintHeader(HDC dc, const RECT& client);
  void PaintRow(HDC dc, int32_t row, const RECT& box);
  void PaintCell(HDC dc, int32_t row, const ListColumn& column, const RECT& box, bool selected);
  // Draws the row's icon at the start of `text` and moves its left edge past it.
  void PaintIcon(HDC dc, int32_t row, const ListColumn& column, RECT* text);
  bool SetIcon(int32_t index, const std::string& name);

  ColumnFormat format_;
  int32_t top_ = 0;        // first row shown, 0-based
  int32_t selected_ = -1;  // 0-based, -1 = none
  int hscroll_ = 0;        // pixels
  int row_height_ = 16;
  int header_height_ = 0;
  int32_t rows_shown_ = 0;
  int32_t thumb_ = 0;  // program-scrolled: 0..kListThumbMax
  // Icons by number (index 0 unused), with the names they were set from.
  std::vector<LoadedIcon> icons_;
  std::vector<std::string> icon_names_;
};

}  // namespace kor
