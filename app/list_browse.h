// The list half of a browse procedure: a program-scrolled list box whose
// queue a BrowseEngine keeps filled, and the list's events as both browses
// of the program handle them.
//
//   EVENT:NewSelection   mouse key code 2 (the right button): with rows the
//                        selected row becomes the current one first (a
//                        right press selects the row under it); the pop-up
//                        "&Insert|<change>|&Delete" ("~" before change and
//                        delete on an empty list), then "|-|" and the extra
//                        entries; choice n presses button n of the browse.
//                        Else, with rows: the selected row becomes the
//                        current one, its record is fetched (WATCH, REGET)
//                        and the thumb follows it.
//   scroll events 3..8   row, page, top and bottom moves (with rows only)
//   EVENT:ScrollDrag     the page at the thumb's place
//   EVENT:AlertKey       key code 5 and Ctrl+Enter press change, Insert
//                        presses insert, Delete presses delete (with rows)
//   EVENT:Accepted       a double click or Enter on a row presses change
// After each move the list shows the page, highlights the current row
// (7C8Fh) and sets the thumb (7C92h). A read failure other than the view's
// end shows warning 35 with the file's name and closes the window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/core/browse_engine.h"
#include "app/core/warnings.h"
#include "files/file_decl.h"

namespace mxb {

// A procedure's use of a file: the first use opens it through the standard
// open, the last release closes it.
void UseFile(kor::FileDescriptor* file, int32_t* uses, WarningSink& sink);
void ReleaseFile(kor::FileDescriptor* file, int32_t* uses);

// The field numbers of a browse's buttons, in pop-up order (0 = none).
struct BrowseButtons {
  int32_t insert = 0;
  int32_t change = 0;
  int32_t remove = 0;
  int32_t select = 0;
};

struct ListBrowseSetup {
  int32_t list_field = 1;
  BrowseButtons buttons;
  std::string change_label;  // "Chan&ge", "&View"
  std::string extra_menu;    // after "|-|"; empty = none
  std::string file_name;     // for warning 35
};

class ListBrowse {
 public:
  ListBrowse(BrowseEngine* engine, ListBrowseSetup setup, WarningSink& sink);

  BrowseEngine& engine() const { return *engine_; }
  // The pop-up's text for the current page.
  std::string MenuText() const;
  // Gives the list its alert keys (Insert, Delete, Ctrl+Enter, key code 5).
  void SetAlertKeys();
  // Sizes the page from the list and fills it around `anchor`.
  bool Fill(std::string_view anchor);
  // Refills around the highlighted row.
  bool Refresh();
  // Handles the current event when it is one of the list's; true if so.
  bool TakeListEvent();
  // Shows the page: rows, highlight, thumb.
  void Show();

 private:
  bool Done(BrowseStatus status);
  void Press(int32_t field);
  void TakeSelection();
  void NewSelection();
  void AlertKey();

  BrowseEngine* engine_;
  ListBrowseSetup setup_;
  WarningSink& sink_;
};

// The key codes of the browses' alert keys.
inline constexpr int32_t kKeyInsert = 45, kKeyDelete = 46, kKeyCtrlEnter = 525;
inline constexpr int32_t kKeyChangeCode = 5;
inline constexpr int32_t kWarningRetrieval = 35;

}  // namespace mxb
