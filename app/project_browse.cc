// The project list browse of the main window.
#include "app/project_browse.h"

#include <string.h>

#include <string>

#include "app/log_browse.h"
#include "app/project_form.h"
#include "app/screen_sink.h"
#include "files/statements.h"
#include "runtime/core/error_state.h"
#include "runtime/values/data_types.h"
#include "ui/controls/list_box.h"
#include "ui/events.h"
#include "ui/properties.h"
#include "ui/state_functions.h"

namespace mxb {

namespace {

constexpr kor::QueueField kProjectRowFields[] = {
    {kor::kTypeString, 0, 1},    {kor::kTypeLong, 1, 4},   {kor::kTypeLong, 5, 4},
    {kor::kTypeLong, 9, 4},      {kor::kTypeLong, 13, 4},  {kor::kTypeShort, 17, 2},
    {kor::kTypeByte, 19, 1},     {kor::kTypeLong, 20, 4},  {kor::kTypeLong, 24, 4},
    {kor::kTypeLong, 28, 4},     {kor::kTypeLong, 32, 4},  {kor::kTypeString, 36, 80},
    {kor::kTypeString, 116, 50}, {kor::kTypeByte, 166, 1}, {kor::kTypeString, 167, 512},
};
constexpr int32_t kDefaultColour = -1;
constexpr int32_t kWarningUpdate = 15;

ListBrowseSetup ProjectSetup() {
  ListBrowseSetup s;
  s.list_field = 1;
  s.buttons = {kInsertButton, kChangeButton, kDeleteButton, 0};
  s.change_label = "Chan&ge";
  s.file_name = "Apps";
  return s;
}

}  // namespace

kor::QueueBinding ProjectListBinding(kor::Queue* rows) {
  return {rows, kProjectRowFields, int32_t(std::size(kProjectRowFields))};
}

void MakeProjectRow(const AppsRecord& record, ProjectRow* row) {
  memset(row, 0, sizeof *row);
  row->tag[0] = ' ';
  for (int i = 0; i < 4; ++i) row->tag_colours[i] = row->priority_colours[i] = kDefaultColour;
  row->tag_icon = record.tag == 1 ? kCheckIcon : 0;
  row->priority = record.priority;
  memcpy(row->drive_path, record.drive_path, sizeof row->drive_path);
  memcpy(row->application, record.application, sizeof row->application);
  memset(row->position, ' ', sizeof row->position);
}

ProjectBrowse::ProjectBrowse(kor::Queue* rows)
    : view_(&Data().priority_key),
      engine_(&view_, rows, offsetof(ProjectRow, position),
              [](void* row) { MakeProjectRow(Data().apps_record, static_cast<ProjectRow*>(row)); }),
      list_(&engine_, ProjectSetup(), ScreenWarnings()) {}

ProjectBrowse::~ProjectBrowse() {
  if (using_apps_) ReleaseFile(&Data().apps, &Data().apps_uses);
}

void ProjectBrowse::FirstFill() {
  if (!using_apps_) {
    UseFile(&Data().apps, &Data().apps_uses, ScreenWarnings());
    using_apps_ = true;
  }
  kor::SetPropertyValue(1, kor::kPropListIcon, kCheckIcon, kCheckIconName);
  list_.SetAlertKeys();
  list_.Fill("");
}

void ProjectBrowse::Refresh() {
  if (!using_apps_) {
    FirstFill();
    return;
  }
  list_.Refresh();
}

void ProjectBrowse::Tag() {
  if (!engine_.FetchCurrent()) return;
  AppsRecord& r = Data().apps_record;
  r.tag = int16_t(r.tag - 1 < 0 ? 1 - r.tag : r.tag - 1);
  kor::PUT(&Data().apps);
  if (kor::ERRORCODE() != 0) StandardWarning(ScreenWarnings(), kWarningUpdate, "Apps");
  kor::SelectField(1);
  list_.Refresh();
}

void ProjectBrowse::CallForm(int32_t request) {
  if (request != kRequestInsert && !engine_.FetchCurrent()) return;
  int32_t row = engine_.current_row();
  if (ProjectForm(request, ScreenWarnings()) != kResponseCompleted) return;
  std::string anchor;
  if (request == kRequestDelete) {
    engine_.queue().Delete(uint32_t(row));
    anchor = engine_.RowPosition(row <= engine_.rows() ? row : engine_.rows());
  } else {
    anchor = view_.Position();  // the record the form left current
    kor::ClearError();
  }
  list_.Fill(anchor);
  kor::SelectField(1);
}

void ProjectBrowse::Log() {
  LogBrowse(kRequestNone);
  list_.Refresh();
}

bool ProjectBrowse::TakeEvent() {
  if (list_.TakeListEvent()) return true;
  if (kor::EVENT() != kor::kEventAccepted) return false;
  switch (kor::FIELD()) {
    case kTagButton: Tag(); return true;
    case kInsertButton: CallForm(kRequestInsert); return true;
    case kChangeButton: CallForm(kRequestChange); return true;
    case kDeleteButton: CallForm(kRequestDelete); return true;
    case kLogButton: Log(); return true;
    default: return false;
  }
}

}  // namespace mxb
