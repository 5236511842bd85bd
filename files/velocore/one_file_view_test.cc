// The one-file view as a browse uses it: pages read both ways from kept
// POSITION strings (padded as the browse keeps them), the ends, REGET of a
// kept row, a row whose record was deleted meanwhile, and WATCH.
#include "files/velocore/one_file_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/driver.h"
#include "files/statements.h"
#include "files/velocore/project_file_test_support.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os_test_dir.h"
#include "runtime/values/string_stack.h"

namespace kor::vel {
namespace {

using testing::ProjectFile;

// Ten projects, priorities 0..4 twice each (a DUP key with equal values).
class OneFileViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CREATE(&f_.file);
    SHARE(&f_.file);
    ASSERT_EQ(ERRORCODE(), 0);
    for (int i = 0; i < 10; ++i) {
      f_.Fill("P" + std::to_string(i), "n" + std::to_string(i), 0, uint8_t(i % 5));
      ADD(&f_.file);
      ASSERT_EQ(ERRORCODE(), 0);
    }
  }
  void TearDown() override {
    CloseAllFiles();
    while (StringStackDepth() > 0) PopString();
  }
  // The names `count` reads in one direction give, stopping at an error.
  std::vector<std::string> Read(int count, bool forward) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
      forward ? view_.Next() : view_.Previous();
      if (ERRORCODE() != 0) break;
      names.push_back(f_.Name());
    }
    return names;
  }
  // As the browse keeps a row's position: in a STRING(512).
  static std::string Padded(const std::string& position) {
    return position + std::string(512 - position.size(), ' ');
  }

  ::kor::testing::ScratchDir dir_;
  ProjectFile f_{dir_.Path("apps.vel"), false};
  OneFileView view_{&f_.priority_key};
};

const std::vector<std::string> kOrder = {"n0", "n5", "n1", "n6", "n2",
                                         "n7", "n3", "n8", "n4", "n9"};

TEST_F(OneFileViewTest, WholeViewBothWaysWithItsEnds) {
  view_.SetToStart();
  EXPECT_EQ(Read(20, true), kOrder);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
  view_.SetToStart();
  std::vector<std::string> back(kOrder.rbegin(), kOrder.rend());
  EXPECT_EQ(Read(20, false), back);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
}

// Paging: RESET to the edge row's kept position; the first record read is
// that row again (the browse skips it), then the view goes on.
TEST_F(OneFileViewTest, PagesFromKeptPositions) {
  view_.SetToStart();
  std::vector<std::string> rows;
  for (int i = 0; i < 4; ++i) {
    view_.Next();
    rows.push_back(Padded(view_.Position()));
    ASSERT_EQ(ERRORCODE(), 0);
  }
  view_.Reset(rows.back());
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(Read(3, true), (std::vector<std::string>{"n6", "n2", "n7"}));
  view_.Reset(rows[1]);
  EXPECT_EQ(Read(3, false), (std::vector<std::string>{"n5", "n0"}));
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
  // Every position read along the way leads back to its record.
  for (size_t i = 0; i < rows.size(); ++i) {
    view_.Reget(rows[i]);
    ASSERT_EQ(ERRORCODE(), 0);
    EXPECT_EQ(f_.Name(), kOrder[i]);
    EXPECT_EQ(Padded(view_.Position()), rows[i]);
  }
}

// A row whose record another FILE deleted: REGET fails with 35, RESET to
// it continues with the neighbours.
TEST_F(OneFileViewTest, RowWhoseRecordWasDeleted) {
  view_.SetToStart();
  Read(3, true);
  std::string row = view_.Position();
  ASSERT_EQ(f_.Name(), "n1");
  ProjectFile other(dir_.Path("apps.vel"), false);
  SHARE(&other.file);
  SETkey(&other.path_key);
  for (NEXT(&other.file); ERRORCODE() == 0 && other.Name() != "n1"; NEXT(&other.file)) {
  }
  ASSERT_EQ(other.Name(), "n1");
  DELETEfile(&other.file);
  ASSERT_EQ(ERRORCODE(), 0);
  view_.Reget(row);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotFound);
  view_.Reset(row);
  EXPECT_EQ(Read(1, true), (std::vector<std::string>{"n6"}));
  view_.Reset(row);
  EXPECT_EQ(Read(1, false), (std::vector<std::string>{"n5"}));
}

TEST_F(OneFileViewTest, WatchedRowChangedElsewhere) {
  view_.SetToStart();
  view_.Next();
  std::string row = view_.Position();
  ProjectFile other(dir_.Path("apps.vel"), false);
  SHARE(&other.file);
  GETfileptr(&other.file, uint32_t(POINTERfile(&f_.file)));
  ASSERT_EQ(other.Name(), "n0");
  view_.Watch();
  view_.Reget(row);
  other.Set(7, 0);
  PUT(&other.file);
  ASSERT_EQ(ERRORCODE(), 0);
  f_.Set(8, 0);
  PUT(&f_.file);
  EXPECT_EQ(ERRORCODE(), kErrRecordChangedByAnotherStation);
  view_.Reget(row);
  EXPECT_EQ(f_.Tag(), 7);
}

TEST_F(OneFileViewTest, NoPositionWithoutACurrentRecord) {
  ProjectFile fresh(dir_.Path("apps.vel"), false);
  SHARE(&fresh.file);
  OneFileView view(&fresh.priority_key);
  view.SetToStart();
  EXPECT_EQ(view.Position(), "");
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
  std::string short_position("\0\0\0\2", 4);  // the key's value image is missing
  view.Reset(short_position);
  EXPECT_EQ(ERRORCODE(), kErrRecordNotFound);
}

}  // namespace
}  // namespace kor::vel
