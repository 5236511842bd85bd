// The list box's class, shared by list_box.cc (behaviour) and
// list_mouse.cc (clicks, column sizing, tree boxes); not for other users.
#pragma once

#include <windowsx.h>

#include <string>

#include "ui/controls/control_class.h"
#include "ui/controls/list_queue.h"
#include "ui/controls/list_view.h"
#include "ui/resource/column_format.h"

namespace kor {

class ListBox : public ClassControl {
 public:
  ListBox(Window* window, const ControlRecord& record);
  HWND Create();

  void Refresh() override;
  int32_t Choice() const override { return view_.selected + 1; }
  bool Message(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  bool SetProperty(uint32_t property, int32_t index, const std::string& value) override;
  bool GetProperty(uint32_t property, int32_t index, std::string* value) const override;

 private:
  bool Paged() const { return (attr() & kCtlPaged) != 0; }
  int32_t Count() const { return view_.Count(); }

  void Paint(HDC dc);  // the whole client area
  void Layout();
  void UpdateScrollBars();
  void StoreSelection();
  void SelectRow(int32_t row, bool post);
  bool Key(WPARAM key);
  bool PagedKey(WPARAM key);
  void ScrollHorizontally(int delta);
  void VerticalScroll(int code, int thumb_place);
  bool RobotMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

  // list_mouse.cc
  bool Mouse(UINT msg, WPARAM wp, LPARAM lp);
  bool SetCursorForEdge();
  void Click(int x, int y);
  void EndSizing(bool post);
  void Tree(int direction);

  ListView view_;
  int32_t sizing_ = -1;  // the column being resized, -1 = none
  int sizing_from_x_ = 0;
  int sizing_from_width_ = 0;
  int32_t thumb_ = 0;  // program-scrolled: 0..kListThumbMax
};

}  // namespace kor
