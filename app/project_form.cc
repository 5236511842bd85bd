// The project form.
#include "app/project_form.h"

#include <string.h>
#include <windows.h>

#include <string>

#include "app/core/app_data.h"
#include "app/core/batch_steps.h"
#include "app/list_browse.h"
#include "app/screen_sink.h"
#include "ui/accept.h"
#include "ui/controls/file_dialog.h"
#include "ui/events.h"
#include "ui/state_functions.h"
#include "ui/window.h"

namespace mxb {

namespace {

constexpr int32_t kNameField = 2, kLookupButton = 3, kPathField = 5;
constexpr int32_t kOkButton = 11, kCancelButton = 12;
constexpr int32_t kNameSize = 90;

std::string Clipped(const char* field, size_t size) {
  std::string s(field, size);
  size_t end = s.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

void ShowBusy(bool busy) { SetCursor(LoadCursorA(nullptr, busy ? IDC_WAIT : IDC_ARROW)); }

UpdateTarget AppsTarget() {
  AppData& d = Data();
  UpdateTarget t;
  t.file = &d.apps;
  t.file_name = "Apps";
  t.delete_key = &d.drive_key;
  t.unique_key = &d.drive_key;
  t.unique_key_name = "APP:DriveKey";
  t.busy = ShowBusy;
  return t;
}

class ProjectFormRun {
 public:
  ProjectFormRun(int32_t request, WarningSink& sink) : request_(request), sink_(sink) {
    memset(name_, ' ', sizeof name_);
    AppsRecord& r = Data().apps_record;
    if (request == kRequestChange) {
      StoreField(name_, sizeof name_,
                 Clipped(r.drive_path, sizeof r.drive_path) +
                     Clipped(r.application, sizeof r.application));
    }
  }

  int32_t Run();

 private:
  void Lookup();
  void FixPath();
  // "&Ok": true when the form is done.
  bool Complete();

  int32_t request_;
  WarningSink& sink_;
  char name_[kNameSize];
  AppsRecord saved_;  // the record as the form showed it
  int32_t response_ = kResponseNotCompleted;
};

void ProjectFormRun::Lookup() {
  char chosen[kNameSize];
  std::string start = Clipped(name_, sizeof name_);
  StoreField(chosen, sizeof chosen, start.empty() ? kLookupStart : start);
  if (kor::ShowFileDialog(kLookupTitle, kLookupFilter, chosen, kNameSize, 0) != 1) return;
  memcpy(name_, chosen, sizeof name_);
  std::string full = Clipped(name_, sizeof name_);
  size_t cut = full.rfind('\\');
  cut = cut == std::string::npos ? 0 : cut + 1;
  AppsRecord& r = Data().apps_record;
  StoreField(r.drive_path, sizeof r.drive_path, full.substr(0, cut));
  StoreField(r.application, sizeof r.application, full.substr(cut));
  kor::RefreshDisplay();
}

void ProjectFormRun::FixPath() {
  AppsRecord& r = Data().apps_record;
  StoreField(r.drive_path, sizeof r.drive_path,
             WithTrailingBackslash(Clipped(r.drive_path, sizeof r.drive_path)));
}

bool ProjectFormRun::Complete() {
  if (!SourceExists(Clipped(name_, sizeof name_))) {
    MessageBeep(0);
    ShowFrameMessage(kNoFileText, kNoFileCaption, kStandardIconQuestion);
    return false;
  }
  FixPath();
  kor::RefreshDisplay();
  FormOutcome outcome;
  if (request_ == kRequestInsert) {
    outcome = InsertRecord(AppsTarget(), sink_);
  } else if (memcmp(&Data().apps_record, &saved_, sizeof saved_) == 0) {
    outcome = FormOutcome::kSaved;
  } else {
    outcome = ChangeRecord(AppsTarget(), sink_);
  }
  switch (outcome) {
    case FormOutcome::kSaved: response_ = kResponseCompleted; return true;
    case FormOutcome::kGiveUp: return true;
    case FormOutcome::kShowOther:
      saved_ = Data().apps_record;
      kor::RefreshDisplay();
      return false;
    default: kor::SelectField(kNameField); return false;
  }
}

int32_t ProjectFormRun::Run() {
  AppData& d = Data();
  if (request_ == kRequestInsert) {
    StoreField(d.apps_record.drive_path, sizeof d.apps_record.drive_path, "");
    StoreField(d.apps_record.application, sizeof d.apps_record.application, "");
    d.apps_record.tag = 0;
    d.apps_record.priority = 0;
  }
  saved_ = d.apps_record;
  void* addresses[] = {name_,
                       d.apps_record.drive_path,
                       d.apps_record.application,
                       &d.apps_record.priority,
                       &d.apps_record.tag,
                       nullptr};
  kor::Window window;
  window.Declare("mxb$MXB002", "P1$FORMWINDOW", addresses);
  if (!window.Open()) return response_;
  SetWindowTextA(window.handle(), request_ == kRequestInsert ? kTitleAdd : kTitleChange);
  kor::ACCEPT([&] {
    if (kor::EVENT() != kor::kEventAccepted) return kor::Pass::kContinue;
    switch (kor::FIELD()) {
      case kLookupButton: Lookup(); break;
      case kPathField:
        FixPath();
        kor::RefreshDisplay(kPathField, kPathField);
        break;
      case kOkButton: return Complete() ? kor::Pass::kBreak : kor::Pass::kContinue;
      case kCancelButton: return kor::Pass::kBreak;
      default: break;
    }
    return kor::Pass::kContinue;
  });
  window.Close();
  return response_;
}

}  // namespace

std::string WithTrailingBackslash(std::string_view path) {
  std::string s(path.substr(0, path.find_last_not_of(' ') + 1));
  if (!s.empty() && s.back() != '\\') s += '\\';
  return s;
}

int32_t ProjectForm(int32_t request, WarningSink& sink) {
  AppData& d = Data();
  UseFile(&d.apps, &d.apps_uses, sink);
  int32_t response = kResponseNotCompleted;
  if (request == kRequestDelete) {
    if (DeleteRecord(AppsTarget(), sink) == FormOutcome::kSaved) response = kResponseCompleted;
  } else if (request == kRequestInsert || request == kRequestChange) {
    response = ProjectFormRun(request, sink).Run();
  }
  ReleaseFile(&d.apps, &d.apps_uses);
  return response;
}

}  // namespace mxb
