// The page-wise browse: reading rows at either end of the page, filling a
// page around an anchor, and the moves of the list.
#include "app/core/browse_engine.h"

#include <string.h>

#include <utility>
#include <vector>

#include "files/statements.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"

namespace mxb {

std::string BrowseMenuText(bool has_rows, std::string_view change_label, std::string_view extra) {
  std::string off = has_rows ? "" : "~";
  std::string text = "&Insert|" + off + std::string(change_label) + "|" + off + "&Delete";
  if (!extra.empty()) text += "|-|" + std::string(extra);
  return text;
}

BrowseEngine::BrowseEngine(kor::vel::OneFileView* view, kor::Queue* queue, uint32_t position_offset,
                           RowMaker make_row)
    : view_(view),
      queue_(queue),
      position_offset_(position_offset),
      make_row_(std::move(make_row)) {}

void BrowseEngine::set_current_row(int32_t row) {
  int32_t n = rows();
  current_ = n == 0 ? 0 : (row < 1 ? 1 : (row > n ? n : row));
}

std::string BrowseEngine::Padded(std::string_view position) {
  std::string s(position.substr(0, kPositionSize));
  s.resize(kPositionSize, ' ');
  return s;
}

std::string BrowseEngine::RowPosition(int32_t row) const {
  if (row < 1 || row > rows()) return std::string();
  const char* data = static_cast<const char*>(queue_->Row(uint32_t(row)));
  return std::string(data + position_offset_, kPositionSize);
}

bool BrowseEngine::QuietEnd(int32_t code) {
  return code == 0 || code == kor::kErrRecordNotAvailable;
}

void BrowseEngine::AddRow(bool at_end, const std::string& position) {
  std::vector<char> row(queue_->record_size(), 0);
  make_row_(row.data());
  std::string padded = Padded(position);
  memcpy(row.data() + position_offset_, padded.data(), kPositionSize);
  if (rows() >= page_size_) {
    if (at_end) {
      queue_->Delete(1);
      if (first_ordinal_ >= 0) ++first_ordinal_;
    } else {
      queue_->Delete(uint32_t(rows()));
    }
  }
  if (at_end) {
    queue_->Append(row.data());
  } else {
    queue_->Insert(1, row.data());
    if (first_ordinal_ > 0) --first_ordinal_;
  }
}

// With rows in the queue the view starts at the edge row; with none, where
// the caller put it.
BrowseStatus BrowseEngine::Read(int32_t count, bool forward) {
  std::string edge;
  if (rows() > 0) {
    edge = RowPosition(forward ? rows() : 1);
    view_->Reset(edge);
  }
  bool skip_edge = !edge.empty();
  for (int32_t added = 0; added < count;) {
    forward ? view_->Next() : view_->Previous();
    int32_t code = kor::ERRORCODE();
    if (code != 0) return QuietEnd(code) ? BrowseStatus::kOk : BrowseStatus::kFailed;
    std::string position = view_->Position();
    if (kor::ERRORCODE() != 0) return BrowseStatus::kFailed;
    if (skip_edge) {
      skip_edge = false;
      if (Padded(position) == edge) continue;
    }
    AddRow(forward, position);
    ++added;
  }
  return BrowseStatus::kOk;
}

BrowseStatus BrowseEngine::ReadForward(int32_t count) { return Read(count, true); }
BrowseStatus BrowseEngine::ReadBackward(int32_t count) { return Read(count, false); }

BrowseStatus BrowseEngine::FillPage(std::string_view anchor) {
  std::string kept(anchor);
  bool blank = kept.find_first_not_of(' ') == std::string::npos;
  // An anchor on the page as it stands keeps its place in the view known, so
  // that a refresh need not count the records before it again.
  int64_t anchor_ordinal = -1;
  if (!blank && first_ordinal_ >= 0) {
    std::string want = Padded(kept);
    for (int32_t row = 1; row <= rows(); ++row) {
      if (RowPosition(row) == want) anchor_ordinal = first_ordinal_ + row - 1;
    }
  }
  queue_->Free();
  current_ = 0;
  first_ordinal_ = -1;
  if (blank) {
    view_->SetToStart();
    first_ordinal_ = 0;
  } else {
    view_->Reset(kept);
  }
  if (ReadForward(page_size_) == BrowseStatus::kFailed) return BrowseStatus::kFailed;
  if (rows() < page_size_) {
    // The anchor lies near the view's end (or past it): complete the page
    // backward from its first row, or from the anchor when none was read.
    if (rows() == 0 && !blank) view_->Reset(kept);
    if (ReadBackward(page_size_ - rows()) == BrowseStatus::kFailed) return BrowseStatus::kFailed;
  }
  current_ = rows() > 0 ? 1 : 0;
  if (!blank) {
    std::string want = Padded(kept);
    for (int32_t row = 1; row <= rows(); ++row) {
      if (RowPosition(row) == want) {
        current_ = row;
        if (anchor_ordinal >= current_ - 1) first_ordinal_ = anchor_ordinal - (current_ - 1);
        break;
      }
    }
  }
  return BrowseStatus::kOk;
}

BrowseStatus BrowseEngine::Refresh() { return FillPage(RowPosition(current_)); }

BrowseStatus BrowseEngine::ScrollDown() {
  if (current_ < rows()) {
    ++current_;
    return BrowseStatus::kOk;
  }
  return ReadForward(1);  // the new row is the last one, the highlight stays there
}

BrowseStatus BrowseEngine::ScrollUp() {
  if (current_ > 1) {
    --current_;
    return BrowseStatus::kOk;
  }
  return ReadBackward(1);
}

BrowseStatus BrowseEngine::PageDown() {
  std::string before = RowPosition(rows());
  BrowseStatus status = ReadForward(page_size_);
  if (RowPosition(rows()) == before) current_ = rows();  // already at the end
  return status;
}

BrowseStatus BrowseEngine::PageUp() {
  std::string before = RowPosition(1);
  BrowseStatus status = ReadBackward(page_size_);
  if (RowPosition(1) == before) current_ = rows() > 0 ? 1 : 0;
  return status;
}

BrowseStatus BrowseEngine::FillFromEnd(bool from_end) {
  queue_->Free();
  view_->SetToStart();
  BrowseStatus status = from_end ? ReadBackward(page_size_) : ReadForward(page_size_);
  current_ = from_end ? rows() : (rows() > 0 ? 1 : 0);
  if (from_end) {
    int32_t total = kor::RECORDSfile(view_->file());
    first_ordinal_ = total >= rows() ? total - rows() : -1;
  } else {
    first_ordinal_ = 0;
  }
  return status;
}

BrowseStatus BrowseEngine::ScrollTop() { return FillFromEnd(false); }
BrowseStatus BrowseEngine::ScrollBottom() { return FillFromEnd(true); }

BrowseStatus BrowseEngine::ThumbTo(int32_t thumb) {
  thumb = thumb < 0 ? 0 : (thumb > kThumbMax ? kThumbMax : thumb);
  int64_t total = kor::RECORDSfile(view_->file());
  if (total <= 0 || thumb == 0) return ScrollTop();
  if (thumb == kThumbMax) return ScrollBottom();
  int64_t target = thumb * (total - 1) / kThumbMax;
  view_->SetToStart();
  for (int64_t i = 0; i <= target; ++i) {
    view_->Next();
    if (kor::ERRORCODE() != 0) {
      return QuietEnd(kor::ERRORCODE()) ? ScrollBottom() : BrowseStatus::kFailed;
    }
  }
  std::string anchor = view_->Position();
  if (kor::ERRORCODE() != 0) return BrowseStatus::kFailed;
  BrowseStatus status = FillPage(anchor);
  if (status == BrowseStatus::kOk && current_ > 0) first_ordinal_ = target - (current_ - 1);
  return status;
}

int32_t BrowseEngine::ThumbPlace() {
  if (rows() == 0) return 0;
  int64_t total = kor::RECORDSfile(view_->file());
  if (total <= 1) return 0;
  if (first_ordinal_ < 0) {
    // Count the records before the first row once.
    std::string first = RowPosition(1);
    view_->SetToStart();
    int64_t before = 0;
    for (;;) {
      view_->Next();
      if (kor::ERRORCODE() != 0) break;
      if (Padded(view_->Position()) == first) break;
      ++before;
    }
    kor::ClearError();
    first_ordinal_ = before;
  }
  int64_t place = first_ordinal_ + current_ - 1;
  int64_t thumb = place * kThumbMax / (total - 1);
  return int32_t(thumb > kThumbMax ? kThumbMax : thumb);
}

bool BrowseEngine::FetchCurrent() {
  if (current_ < 1) {
    kor::PostError(kor::kErrRecordNotAvailable);
    return false;
  }
  view_->Watch();
  view_->Reget(RowPosition(current_));
  return kor::ERRORCODE() == 0;
}

}  // namespace mxb
