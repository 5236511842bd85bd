// The activity-log browse.
#include "app/log_browse.h"

#include <string.h>
#include <windows.h>

#include <iterator>
#include <string>

#include "app/core/app_data.h"
#include "app/core/record_update.h"
#include "app/list_browse.h"
#include "app/screen_sink.h"
#include "files/statements.h"
#include "files/velocore/one_file_view.h"
#include "runtime/core/error_state.h"
#include "runtime/values/data_types.h"
#include "ui/accept.h"
#include "ui/controls/list_queue.h"
#include "ui/events.h"
#include "ui/state_functions.h"
#include "ui/window.h"

namespace mxb {

namespace {

constexpr kor::QueueField kLogRowFields[] = {
    {kor::kTypeString, 0, 40},  {kor::kTypeLong, 40, 4},  {kor::kTypeLong, 44, 4},
    {kor::kTypeString, 48, 80}, {kor::kTypeByte, 128, 1}, {kor::kTypeString, 129, 512},
};
constexpr int32_t kList = 1, kInsert = 2, kView = 3, kDelete = 4, kSelect = 5;

void MakeLogRow(void* out) {
  const TempRecord& r = Data().temp_record;
  LogRow* row = static_cast<LogRow*>(out);
  memset(row, 0, sizeof *row);
  memcpy(row->apps, r.apps, sizeof row->apps);
  row->date = r.date;
  row->clock = r.clock;
  memcpy(row->event, r.event, sizeof row->event);
}

void EnableField(kor::Window& window, int32_t field, bool on) {
  kor::Control* c = window.ControlOf(field);
  if (c != nullptr && c->handle() != nullptr) EnableWindow(c->handle(), on ? TRUE : FALSE);
}

class LogBrowseRun {
 public:
  explicit LogBrowseRun(int32_t request)
      : request_(request),
        engine_(&view_, &rows_, offsetof(LogRow, position), MakeLogRow),
        list_(&engine_, Setup(request), ScreenWarnings()) {}

  int32_t Run();

 private:
  static ListBrowseSetup Setup(int32_t request) {
    ListBrowseSetup s;
    s.list_field = kList;
    s.buttons = {kInsert, kView, kDelete, kSelect};
    s.change_label = "&View";
    s.extra_menu = request == kRequestSelect ? "&Select" : "~&Select";
    s.file_name = "TempFile";
    return s;
  }
  void CallForm(int32_t request);

  int32_t request_;
  kor::vel::OneFileView view_{&Data().clock_key};
  kor::Queue rows_{sizeof(LogRow)};
  BrowseEngine engine_;
  ListBrowse list_;
  int32_t response_ = kResponseNotCompleted;
};

void LogBrowseRun::CallForm(int32_t request) {
  if (request != kRequestInsert && !engine_.FetchCurrent()) return;
  int32_t row = engine_.current_row();
  if (LogForm(request) != kResponseCompleted) return;
  std::string anchor;
  if (request == kRequestDelete) {
    engine_.queue().Delete(uint32_t(row));
    anchor = engine_.RowPosition(row <= engine_.rows() ? row : engine_.rows());
  } else {
    anchor = view_.Position();
    kor::ClearError();
  }
  list_.Fill(anchor);
  kor::SelectField(kList);
}

int32_t LogBrowseRun::Run() {
  kor::QueueBinding binding = {&rows_, kLogRowFields, int32_t(std::size(kLogRowFields))};
  void* addresses[] = {&binding, nullptr};
  // One file without a filter: the view is empty exactly when the file is.
  if (kor::RECORDSfile(&Data().temp) <= 0) {
    StoreField(Data().temp_record.apps, sizeof Data().temp_record.apps, "");
    Data().temp_record.date = Data().temp_record.clock = 0;
    StoreField(Data().temp_record.event, sizeof Data().temp_record.event, "");
    ShowFrameMessage(kEmptyLogText, kEmptyLogCaption, kStandardIconQuestion);
    return response_;
  }
  kor::Window window;
  window.Declare("mxb$MXB003", "P1$BROWSEWINDOW", addresses);
  if (!window.Open()) return response_;
  EnableField(window, kSelect, request_ == kRequestSelect);
  list_.Fill("");
  kor::SelectField(kList);
  kor::ACCEPT([&] {
    if (list_.TakeListEvent()) return kor::Pass::kContinue;
    if (kor::EVENT() == kor::kEventGainFocus) list_.Refresh();
    if (kor::EVENT() != kor::kEventAccepted) return kor::Pass::kContinue;
    switch (kor::FIELD()) {
      case kInsert: CallForm(kRequestInsert); break;
      case kView: CallForm(kRequestChange); break;
      case kDelete: CallForm(kRequestDelete); break;
      case kSelect:
        if (request_ != kRequestSelect || !engine_.FetchCurrent()) break;
        response_ = kResponseCompleted;
        return kor::Pass::kBreak;
      default: break;
    }
    return kor::Pass::kContinue;
  });
  window.Close();
  return response_;
}

}  // namespace

int32_t LogBrowse(int32_t request) {
  AppData& d = Data();
  UseFile(&d.temp, &d.temp_uses, ScreenWarnings());
  int32_t response = LogBrowseRun(request).Run();
  ReleaseFile(&d.temp, &d.temp_uses);
  return response;
}

}  // namespace mxb
