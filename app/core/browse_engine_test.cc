// The browse engine over a real Velocore file in priority order (equal
// priorities included): the pages it fills and moves to are checked against
// the whole view read once with plain NEXT calls.
#include "app/core/browse_engine.h"

#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "files/driver.h"
#include "files/statements.h"
#include "files/velocore/project_file_test_support.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os_test_dir.h"
#include "runtime/values/string_stack.h"

namespace mxb {
namespace {

using kor::vel::testing::ProjectFile;

constexpr uint32_t kNameSize = 50;
constexpr uint32_t kRowSize = kNameSize + kPositionSize;  // name, POSITION
constexpr int32_t kPage = 5;

class BrowseEngineTest : public ::testing::Test {
 protected:
  void Open(int records) {
    kor::CREATE(&f_.file);
    kor::SHARE(&f_.file);
    ASSERT_EQ(kor::ERRORCODE(), 0);
    for (int i = 0; i < records; ++i) {
      // Priorities out of insertion order and repeated.
      f_.Fill("D\\", "n" + std::to_string(i), 0, uint8_t((i * 7) % 9));
      kor::ADD(&f_.file);
      ASSERT_EQ(kor::ERRORCODE(), 0);
    }
    view_.SetToStart();
    for (;;) {
      view_.Next();
      if (kor::ERRORCODE() != 0) break;
      order_.push_back(f_.Name());
      positions_.push_back(view_.Position());
    }
    engine_.set_page_size(kPage);
  }
  void TearDown() override {
    kor::CloseAllFiles();
    while (kor::StringStackDepth() > 0) kor::PopString();
  }
  std::vector<std::string> Page() const {
    std::vector<std::string> names;
    for (int32_t r = 1; r <= engine_.rows(); ++r) {
      const char* row = static_cast<const char*>(queue_.Row(uint32_t(r)));
      std::string name(row, kNameSize);
      names.push_back(name.substr(0, name.find_last_not_of(' ') + 1));
    }
    return names;
  }
  std::vector<std::string> Slice(size_t first, size_t count) const {
    return {order_.begin() + long(first), order_.begin() + long(first + count)};
  }
  std::string CurrentName() const { return Page()[size_t(engine_.current_row() - 1)]; }

  kor::testing::ScratchDir dir_;
  ProjectFile f_{dir_.Path("browse.vel"), false};
  kor::vel::OneFileView view_{&f_.priority_key};
  kor::Queue queue_{kRowSize};
  BrowseEngine engine_{&view_, &queue_, kNameSize,
                       [this](void* row) { memcpy(row, f_.record + 80, kNameSize); }};
  std::vector<std::string> order_, positions_;
};

// Anchors across the view: the page starts at the anchor unless too few
// records follow it, then it ends at the view's last record.
TEST_F(BrowseEngineTest, FillsAPageAroundAnchors) {
  Open(23);
  ASSERT_EQ(order_.size(), 23u);
  for (size_t a : {size_t(0), size_t(1), size_t(10), size_t(18), size_t(19), size_t(22)}) {
    SCOPED_TRACE(a);
    ASSERT_EQ(engine_.FillPage(positions_[a]), BrowseStatus::kOk);
    size_t first = a + kPage <= order_.size() ? a : order_.size() - kPage;
    EXPECT_EQ(Page(), Slice(first, kPage));
    EXPECT_EQ(CurrentName(), order_[a]);
    EXPECT_EQ(engine_.ThumbPlace(), int32_t(a * kThumbMax / 22));
  }
}

TEST_F(BrowseEngineTest, EmptyViewAndShortView) {
  Open(0);
  EXPECT_EQ(engine_.FillPage(""), BrowseStatus::kOk);
  EXPECT_EQ(engine_.rows(), 0);
  EXPECT_EQ(engine_.current_row(), 0);
  EXPECT_EQ(engine_.ScrollBottom(), BrowseStatus::kOk);
  EXPECT_EQ(engine_.rows(), 0);
  EXPECT_FALSE(engine_.FetchCurrent());
}

TEST_F(BrowseEngineTest, ShortViewFillsWhatThereIs) {
  Open(3);
  ASSERT_EQ(engine_.FillPage(positions_[2]), BrowseStatus::kOk);
  EXPECT_EQ(Page(), order_);
  EXPECT_EQ(engine_.current_row(), 3);
  EXPECT_EQ(engine_.PageDown(), BrowseStatus::kOk);
  EXPECT_EQ(Page(), order_);
  EXPECT_EQ(engine_.ScrollTop(), BrowseStatus::kOk);
  EXPECT_EQ(engine_.current_row(), 1);
}

// Row by row down the whole view and back: the highlight walks the oracle,
// the page drops rows at the opposite end, and 33 at either end is quiet.
TEST_F(BrowseEngineTest, ScrollsRowByRowThroughBothEnds) {
  Open(17);
  ASSERT_EQ(engine_.ScrollTop(), BrowseStatus::kOk);
  for (size_t i = 0; i < order_.size(); ++i) {
    ASSERT_EQ(CurrentName(), order_[i]) << i;
    ASSERT_EQ(engine_.rows(), kPage);
    ASSERT_EQ(engine_.ScrollDown(), BrowseStatus::kOk);
  }
  EXPECT_EQ(CurrentName(), order_.back());
  EXPECT_EQ(Page(), Slice(order_.size() - kPage, kPage));
  EXPECT_EQ(engine_.ThumbPlace(), kThumbMax);
  for (size_t i = order_.size(); i-- > 0;) {
    ASSERT_EQ(CurrentName(), order_[i]) << i;
    ASSERT_EQ(engine_.ScrollUp(), BrowseStatus::kOk);
  }
  EXPECT_EQ(Page(), Slice(0, kPage));
  EXPECT_EQ(engine_.ThumbPlace(), 0);
}

TEST_F(BrowseEngineTest, PagesAndEnds) {
  Open(23);
  ASSERT_EQ(engine_.ScrollBottom(), BrowseStatus::kOk);
  EXPECT_EQ(Page(), Slice(18, kPage));
  EXPECT_EQ(engine_.current_row(), kPage);
  ASSERT_EQ(engine_.ScrollTop(), BrowseStatus::kOk);
  engine_.set_current_row(2);
  std::vector<std::vector<std::string>> pages = {Slice(5, 5), Slice(10, 5), Slice(15, 5),
                                                 Slice(18, 5)};
  for (const auto& want : pages) {
    ASSERT_EQ(engine_.PageDown(), BrowseStatus::kOk);
    EXPECT_EQ(Page(), want);
  }
  EXPECT_EQ(engine_.current_row(), 2);
  ASSERT_EQ(engine_.PageDown(), BrowseStatus::kOk);  // at the end: highlight to the last
  EXPECT_EQ(engine_.current_row(), kPage);
  ASSERT_EQ(engine_.PageUp(), BrowseStatus::kOk);
  EXPECT_EQ(Page(), Slice(13, 5));
  for (int i = 0; i < 4; ++i) ASSERT_EQ(engine_.PageUp(), BrowseStatus::kOk);
  EXPECT_EQ(Page(), Slice(0, 5));
  EXPECT_EQ(engine_.current_row(), 1);
}

// Refills around rows of the page as it stands keep the thumb's place
// without a recount, and it stays right.
TEST_F(BrowseEngineTest, RefreshKeepsTheThumbsPlace) {
  Open(30);
  ASSERT_EQ(engine_.ThumbTo(50), BrowseStatus::kOk);
  for (int32_t row : {3, 5, 1, 4}) {
    engine_.set_current_row(row);
    std::string name = CurrentName();
    ASSERT_EQ(engine_.Refresh(), BrowseStatus::kOk);
    ASSERT_EQ(CurrentName(), name);
    size_t at = size_t(std::find(order_.begin(), order_.end(), name) - order_.begin());
    EXPECT_EQ(engine_.ThumbPlace(), int32_t(at * kThumbMax / 29)) << name;
  }
}

// The thumb's place and a drag to it agree with the record order.
TEST_F(BrowseEngineTest, ThumbDragShowsThatPlace) {
  Open(41);
  for (int32_t thumb : {0, 25, 50, 90, 100}) {
    SCOPED_TRACE(thumb);
    ASSERT_EQ(engine_.ThumbTo(thumb), BrowseStatus::kOk);
    size_t target = size_t(thumb * 40 / kThumbMax);
    EXPECT_EQ(CurrentName(), order_[target]);
    EXPECT_EQ(engine_.ThumbPlace(), thumb);
  }
}

// A page kept while its records change: a deleted edge row is passed over,
// and a refresh re-reads around the highlighted row.
TEST_F(BrowseEngineTest, RefreshAfterChangesAndFetch) {
  Open(12);
  ASSERT_EQ(engine_.FillPage(positions_[3]), BrowseStatus::kOk);
  engine_.set_current_row(5);  // order_[7]
  ASSERT_TRUE(engine_.FetchCurrent());
  EXPECT_EQ(f_.Name(), order_[7]);
  kor::DELETEfile(&f_.file);  // the record just re-read
  ASSERT_EQ(kor::ERRORCODE(), 0);
  std::vector<std::string> rest = order_;
  rest.erase(rest.begin() + 7);
  ASSERT_EQ(engine_.ScrollDown(), BrowseStatus::kOk);  // reads past the gone row
  EXPECT_EQ(CurrentName(), rest[7]);
  // Four records from rest[7] on: the page is completed backward.
  ASSERT_EQ(engine_.Refresh(), BrowseStatus::kOk);
  EXPECT_EQ(CurrentName(), rest[7]);
  EXPECT_EQ(Page(), std::vector<std::string>(rest.begin() + 6, rest.end()));
}

// A read failure other than the view's end is reported with its code left.
TEST_F(BrowseEngineTest, ReadFailureIsReported) {
  Open(8);
  ASSERT_EQ(engine_.ScrollTop(), BrowseStatus::kOk);
  kor::CLOSE(&f_.file);
  engine_.set_current_row(kPage);
  EXPECT_EQ(engine_.ScrollDown(), BrowseStatus::kFailed);
  EXPECT_NE(kor::ERRORCODE(), 0);
  EXPECT_NE(kor::ERRORCODE(), kor::kErrRecordNotAvailable);
}

// The pop-ups of both browses, with and without rows.
TEST(BrowseMenu, TextsOfBothBrowses) {
  struct Case {
    bool rows;
    const char* change;
    const char* extra;
    const char* want;
  };
  const Case cases[] = {
      {true, "Chan&ge", "", "&Insert|Chan&ge|&Delete"},
      {false, "Chan&ge", "", "&Insert|~Chan&ge|~&Delete"},
      {true, "&View", "~&Select", "&Insert|&View|&Delete|-|~&Select"},
      {false, "&View", "~&Select", "&Insert|~&View|~&Delete|-|~&Select"},
      {true, "&View", "&Select", "&Insert|&View|&Delete|-|&Select"},
  };
  for (const Case& c : cases) EXPECT_EQ(BrowseMenuText(c.rows, c.change, c.extra), c.want);
}

}  // namespace
}  // namespace mxb
