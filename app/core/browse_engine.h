// The page-wise browse both lists of the program use: a queue holding one
// page of a one-file view, each row carrying the record's POSITION, kept
// filled around an anchor and moved by row, by page, to either end or to a
// place given by the scroll thumb.
//
// A row is the caller's layout (the list's queue record) with the record's
// POSITION as a blank-padded STRING(512) at `position_offset`; the caller's
// row maker builds the rest of the row from the file's record buffer.
//
// Reading n rows in one direction starts from the queue's row at that end:
// RESET the view to that row's POSITION and skip the first record read when
// its POSITION equals the row's (the view gives the row itself again). Each
// record read becomes a row at that end; with a full page in the queue the
// row at the opposite end goes first. Error 33 (the end of the view) stops
// the reading; any other error stops it and makes the operation answer
// kFailed with the error left posted (the browse shows warning 35 and closes
// its window).
//
// Filling a page: empty the queue, RESET to the anchor (the view's start for
// an empty anchor), read a page forward; if that is not a full page, read
// backward from the first row until it is or the view begins. The current
// row is the one whose POSITION equals the anchor's, else the first.
//
// Rows are 1-based; current_row() is 0 only for an empty page.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "files/velocore/one_file_view.h"
#include "runtime/core/queue.h"

namespace mxb {

inline constexpr uint32_t kPositionSize = 512;  // STRING(512) in every list row
inline constexpr int32_t kThumbMax = 100;       // thumb places 0 (first) .. 100 (last)

enum class BrowseStatus { kOk, kFailed };

// The browse's pop-up menu: "&Insert|<change>|&Delete", with "~" (disabled)
// before the change and delete entries when the page is empty, then "|-|"
// and `extra` when there is any.
std::string BrowseMenuText(bool has_rows, std::string_view change_label, std::string_view extra);

class BrowseEngine {
 public:
  // Builds a row (all but its POSITION) from the file's record buffer.
  using RowMaker = std::function<void(void* row)>;

  BrowseEngine(kor::vel::OneFileView* view, kor::Queue* queue, uint32_t position_offset,
               RowMaker make_row);

  // The rows the list shows (at least 1).
  void set_page_size(int32_t rows) { page_size_ = rows < 1 ? 1 : rows; }
  int32_t page_size() const { return page_size_; }
  kor::Queue& queue() const { return *queue_; }
  int32_t rows() const { return int32_t(queue_->Records()); }
  int32_t current_row() const { return current_; }
  // The list's selection moved to `row` (clamped into the page).
  void set_current_row(int32_t row);

  // The POSITION kept in `row`, blank-padded to kPositionSize; "" outside.
  std::string RowPosition(int32_t row) const;
  // `position` blank-padded as a row keeps it.
  static std::string Padded(std::string_view position);

  BrowseStatus ReadForward(int32_t count);
  BrowseStatus ReadBackward(int32_t count);
  BrowseStatus FillPage(std::string_view anchor);
  // Refills around the highlighted row (the page as it stands when empty).
  BrowseStatus Refresh();

  BrowseStatus ScrollUp();
  BrowseStatus ScrollDown();
  BrowseStatus PageUp();
  BrowseStatus PageDown();
  BrowseStatus ScrollTop();
  BrowseStatus ScrollBottom();
  // Shows the page at `thumb` (0..kThumbMax) of the view, by record order.
  BrowseStatus ThumbTo(int32_t thumb);
  // Where the current row lies in the view, 0..kThumbMax (counts the records
  // before it once, then keeps the count while the page moves and when a
  // page is refilled around one of its own rows).
  int32_t ThumbPlace();

  // WATCH the view and REGET the current row's record into the buffer (so
  // a later PUT tells another station's change); false with the error
  // posted when there is no row or the record is gone.
  bool FetchCurrent();

 private:
  BrowseStatus Read(int32_t count, bool forward);
  // Drops the row at the far end when the page is full, adds the record.
  void AddRow(bool at_end, const std::string& position);
  // Reading stopped with `code`: 0 or 33 end it quietly.
  static bool QuietEnd(int32_t code);
  BrowseStatus FillFromEnd(bool from_end);

  kor::vel::OneFileView* view_;
  kor::Queue* queue_;
  uint32_t position_offset_;
  RowMaker make_row_;
  int32_t page_size_ = 1;
  int32_t current_ = 0;
  // Records of the view before the first row; -1 when not known.
  int64_t first_ordinal_ = -1;
};

}  // namespace mxb
