// The activity-log browse "MXB003_RSC" (label "P1$BROWSEWINDOW", "Activity
// Log") and its record form "MXB004_RSC" ("DDE Activity Record"): the steps
// of the last batch run, oldest first (TMP:ClockKey order), page-wise as the
// project list (list_browse.h), with Insert (2), View (3, the change
// action), Delete (4), Select (5, only when called with request 4) and
// Close (6).
//
// List row, 641 bytes:
//   offset size  field
//        0   40  TMP:APPS   STRING(40)
//       40    4  TMP:DATE   LONG (@d1)
//       44    4  TMP:CLOCK  LONG (@t3)
//       48   80  TMP:EVENT  STRING(80)
//      128    1  MARK       BYTE
//      129  512  POSITION   STRING(512)
//
// An empty log shows "No records in DDE Activity Log." ("Activity Log") and
// the browse ends at once with response 2, before its window is shown.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/core/browse_engine.h"

namespace mxb {

#pragma pack(push, 1)
struct LogRow {
  char apps[40];
  int32_t date;
  int32_t clock;
  char event[80];
  uint8_t mark;
  char position[kPositionSize];
};
#pragma pack(pop)
static_assert(offsetof(LogRow, date) == 40 && offsetof(LogRow, event) == 48 &&
              offsetof(LogRow, position) == 129 && sizeof(LogRow) == 641);

inline constexpr char kEmptyLogText[] = "No records in DDE Activity Log.";
inline constexpr char kEmptyLogCaption[] = "Activity Log";

// Runs the browse; returns the response (1 after a select, else 2).
int32_t LogBrowse(int32_t request);
// The record form over the activity-log record buffer; returns the response.
int32_t LogForm(int32_t request);

}  // namespace mxb
