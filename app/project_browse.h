// The project list on the main window: a page-wise browse of `Apps` in
// APP:PriorityKey order, its list rows, and the buttons that act on the
// highlighted project (Tag 14, Insert 15, Change 16, Delete 17) and open the
// activity log (Log 18).
//
// List row, 679 bytes (the list's format takes fields 1..13):
//   offset size  field
//        0    1  TAG_            STRING(1), blank
//        1   16  TAG_ colours    4 LONG: normal fg, bg, selected fg, bg (-1 default)
//       17    2  TAG_:ICON       SHORT, 1 (the check mark) when APP:TAG is 1
//       19    1  APP:PRIORITY    BYTE
//       20   16  its colours     4 LONG
//       36   80  APP:DRIVENPATH  STRING(80)
//      116   50  APP:APPLICATION STRING(50)
//      166    1  MARK            BYTE
//      167  512  POSITION        STRING(512), the record's position
//
// Tag sets APP:TAG to |APP:TAG - 1| (1 becomes 0, anything else 1 ... 2
// becomes 1) and PUTs it. Insert, Change and Delete run the project form
// with request 1, 2 or 3 (Change and Delete only with a highlighted row) and
// refill the page around the record it leaves current when it completed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/core/app_data.h"
#include "app/core/browse_engine.h"
#include "app/list_browse.h"
#include "files/velocore/one_file_view.h"
#include "runtime/core/queue.h"
#include "ui/controls/list_queue.h"

namespace mxb {

#pragma pack(push, 1)
struct ProjectRow {
  char tag[1];
  int32_t tag_colours[4];
  int16_t tag_icon;
  uint8_t priority;
  int32_t priority_colours[4];
  char drive_path[80];
  char application[50];
  uint8_t mark;
  char position[kPositionSize];
};
#pragma pack(pop)
static_assert(offsetof(ProjectRow, tag_icon) == 17 && offsetof(ProjectRow, priority) == 19 &&
              offsetof(ProjectRow, drive_path) == 36 && offsetof(ProjectRow, application) == 116 &&
              offsetof(ProjectRow, position) == 167 && sizeof(ProjectRow) == 679);

inline constexpr int32_t kTagButton = 14, kInsertButton = 15, kChangeButton = 16;
inline constexpr int32_t kDeleteButton = 17, kLogButton = 18;
inline constexpr int16_t kCheckIcon = 1;
inline constexpr char kCheckIconName[] = "~c:\\korvane5\\images\\check.ico";

// The list's binding for a queue of ProjectRow.
kor::QueueBinding ProjectListBinding(kor::Queue* rows);
// The row of the project record in the buffer (its POSITION blank).
void MakeProjectRow(const AppsRecord& record, ProjectRow* row);

class ProjectBrowse {
 public:
  explicit ProjectBrowse(kor::Queue* rows);
  ~ProjectBrowse();
  ProjectBrowse(const ProjectBrowse&) = delete;
  ProjectBrowse& operator=(const ProjectBrowse&) = delete;

  // Once the window is open: a use of Apps, the list's alert keys, the
  // first page from the start of the view.
  void FirstFill();
  // EVENT:GainFocus: refill around the highlighted row.
  void Refresh();
  // The list's events and buttons 14..18; true when the event was one.
  bool TakeEvent();

 private:
  void Tag();
  void CallForm(int32_t request);
  void Log();

  kor::vel::OneFileView view_;
  BrowseEngine engine_;
  ListBrowse list_;
  bool using_apps_ = false;
};

}  // namespace mxb
