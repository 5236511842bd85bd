// The list events of a browse.
#include "app/list_browse.h"

#include <stdlib.h>

#include <iterator>
#include <string>
#include <utility>

#include "app/core/standard_open.h"
#include "files/statements.h"
#include "ui/controls/list_box.h"
#include "ui/controls/popup_menu.h"
#include "ui/events.h"
#include "ui/key_codes.h"
#include "ui/properties.h"
#include "ui/state_functions.h"
#include "ui/thread_state.h"
#include "ui/window.h"

namespace mxb {

void UseFile(kor::FileDescriptor* file, int32_t* uses, WarningSink& sink) {
  if ((*uses)++ == 0) StandardOpen(file, sink);
}

void ReleaseFile(kor::FileDescriptor* file, int32_t* uses) {
  if (*uses > 0 && --*uses == 0) kor::CLOSE(file);
}

ListBrowse::ListBrowse(BrowseEngine* engine, ListBrowseSetup setup, WarningSink& sink)
    : engine_(engine), setup_(std::move(setup)), sink_(sink) {}

std::string ListBrowse::MenuText() const {
  return BrowseMenuText(engine_->rows() > 0, setup_.change_label, setup_.extra_menu);
}

void ListBrowse::SetAlertKeys() {
  kor::Window* window = kor::TopWindow();
  kor::Control* list = window != nullptr ? window->ControlOf(setup_.list_field) : nullptr;
  if (list == nullptr) return;
  for (int32_t key : {kKeyInsert, kKeyDelete, kKeyCtrlEnter, kKeyChangeCode}) {
    list->AddAlertKey(key);
  }
}

void ListBrowse::Show() {
  int32_t list = setup_.list_field;
  kor::RefreshDisplay(list, list);
  kor::SetPropertyValue(list, kor::kPropListSelected, 0, std::to_string(engine_->current_row()));
  kor::SetPropertyValue(list, kor::kPropListThumb, 0, std::to_string(engine_->ThumbPlace()));
}

bool ListBrowse::Done(BrowseStatus status) {
  if (status == BrowseStatus::kOk) {
    Show();
    return true;
  }
  StandardWarning(sink_, kWarningRetrieval, setup_.file_name);
  kor::PostEvent(kor::kEventCloseWindow);
  return false;
}

bool ListBrowse::Fill(std::string_view anchor) {
  int32_t shown = atoi(kor::GetPropertyValue(setup_.list_field, kor::kPropListRows, 0).c_str());
  engine_->set_page_size(shown);
  return Done(engine_->FillPage(anchor));
}

bool ListBrowse::Refresh() { return Fill(engine_->RowPosition(engine_->current_row())); }

void ListBrowse::Press(int32_t field) {
  if (field != 0) kor::PostEvent(kor::kEventAccepted, field);
}

void ListBrowse::TakeSelection() {
  engine_->set_current_row(kor::ControlChoice(setup_.list_field));
  engine_->FetchCurrent();
}

void ListBrowse::NewSelection() {
  if ((kor::KeyCode() & kor::kKeyCodeMask) == kor::kKeyRightButton) {
    // A right press on another row selects it: the menu's actions are on
    // the row now highlighted, not the one before.
    if (engine_->rows() > 0) TakeSelection();
    const BrowseButtons& b = setup_.buttons;
    const int32_t by_choice[] = {0, b.insert, b.change, b.remove, b.select};
    int32_t choice = kor::ShowPopupMenu(MenuText());
    if (choice > 0 && choice < int32_t(std::size(by_choice))) Press(by_choice[choice]);
    return;
  }
  if (engine_->rows() == 0) return;
  TakeSelection();
  kor::SetPropertyValue(setup_.list_field, kor::kPropListThumb, 0,
                        std::to_string(engine_->ThumbPlace()));
}

void ListBrowse::AlertKey() {
  if (engine_->rows() == 0) return;
  int32_t key = kor::KeyCode() & kor::kKeyCodeMask;
  if (key == kKeyChangeCode || key == kKeyCtrlEnter) Press(setup_.buttons.change);
  if (key == kKeyInsert) Press(setup_.buttons.insert);
  if (key == kKeyDelete) Press(setup_.buttons.remove);
}

bool ListBrowse::TakeListEvent() {
  if (kor::FIELD() != setup_.list_field) return false;
  int32_t event = kor::EVENT();
  if (event == kor::kEventNewSelection) {
    NewSelection();
    return true;
  }
  if (event == kor::kEventAlertKey) {
    AlertKey();
    return true;
  }
  if (event == kor::kEventAccepted) {  // a double click or Enter on a row
    if (engine_->rows() > 0) Press(setup_.buttons.change);
    return true;
  }
  if (event == kor::kEventScrollDrag) {
    if (engine_->rows() > 0) {
      int32_t thumb =
          atoi(kor::GetPropertyValue(setup_.list_field, kor::kPropListThumb, 0).c_str());
      Done(engine_->ThumbTo(thumb));
    }
    return true;
  }
  if (event < kor::kEventScrollUp || event > kor::kEventScrollBottom) return false;
  if (engine_->rows() == 0) return true;
  engine_->set_current_row(kor::ControlChoice(setup_.list_field));
  switch (event) {
    case kor::kEventScrollUp: Done(engine_->ScrollUp()); break;
    case kor::kEventScrollDown: Done(engine_->ScrollDown()); break;
    case kor::kEventPageUp: Done(engine_->PageUp()); break;
    case kor::kEventPageDown: Done(engine_->PageDown()); break;
    case kor::kEventScrollTop: Done(engine_->ScrollTop()); break;
    default: Done(engine_->ScrollBottom()); break;
  }
  return true;
}

}  // namespace mxb
