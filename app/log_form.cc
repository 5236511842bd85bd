// The activity-log record form "MXB004_RSC": OK (1), Cancel (2), and the
// record's application, date, time and event. No file lookup and no
// existence check; the writes are those of the project form, on TempFile.
#include <string.h>
#include <windows.h>

#include "app/core/app_data.h"
#include "app/core/record_update.h"
#include "app/list_browse.h"
#include "app/log_browse.h"
#include "app/project_form.h"
#include "app/screen_sink.h"
#include "ui/accept.h"
#include "ui/events.h"
#include "ui/state_functions.h"
#include "ui/window.h"

namespace mxb {

namespace {

constexpr int32_t kOkButton = 1, kCancelButton = 2, kDateField = 6;

void ShowBusy(bool busy) { SetCursor(LoadCursorA(nullptr, busy ? IDC_WAIT : IDC_ARROW)); }

UpdateTarget TempTarget() {
  UpdateTarget t;
  t.file = &Data().temp;
  t.file_name = "TempFile";
  t.delete_key = &Data().clock_key;
  t.busy = ShowBusy;
  return t;
}

int32_t RunLogForm(int32_t request) {
  TempRecord& r = Data().temp_record;
  if (request == kRequestInsert) {
    StoreField(r.apps, sizeof r.apps, "");
    r.date = r.clock = 0;
    StoreField(r.event, sizeof r.event, "");
  }
  TempRecord saved = r;
  void* addresses[] = {r.apps, &r.date, &r.clock, r.event, nullptr};
  kor::Window window;
  window.Declare("mxb$MXB004", "P1$FORMWINDOW", addresses);
  if (!window.Open()) return kResponseNotCompleted;
  SetWindowTextA(window.handle(), request == kRequestInsert ? kTitleAdd : kTitleChange);
  int32_t response = kResponseNotCompleted;
  kor::ACCEPT([&] {
    if (kor::EVENT() != kor::kEventAccepted) return kor::Pass::kContinue;
    if (kor::FIELD() == kCancelButton) return kor::Pass::kBreak;
    if (kor::FIELD() != kOkButton) return kor::Pass::kContinue;
    FormOutcome outcome = FormOutcome::kSaved;
    if (request == kRequestInsert) {
      outcome = InsertRecord(TempTarget(), ScreenWarnings());
    } else if (memcmp(&r, &saved, sizeof saved) != 0) {
      outcome = ChangeRecord(TempTarget(), ScreenWarnings());
    }
    if (outcome == FormOutcome::kSaved) response = kResponseCompleted;
    if (outcome == FormOutcome::kSaved || outcome == FormOutcome::kGiveUp) return kor::Pass::kBreak;
    if (outcome == FormOutcome::kShowOther) saved = r;
    kor::RefreshDisplay();
    kor::SelectField(kDateField);
    return kor::Pass::kContinue;
  });
  window.Close();
  return response;
}

}  // namespace

int32_t LogForm(int32_t request) {
  AppData& d = Data();
  UseFile(&d.temp, &d.temp_uses, ScreenWarnings());
  int32_t response = kResponseNotCompleted;
  if (request == kRequestDelete) {
    if (DeleteRecord(TempTarget(), ScreenWarnings()) == FormOutcome::kSaved) {
      response = kResponseCompleted;
    }
  } else if (request == kRequestInsert || request == kRequestChange) {
    response = RunLogForm(request);
  }
  ReleaseFile(&d.temp, &d.temp_uses);
  return response;
}

}  // namespace mxb
