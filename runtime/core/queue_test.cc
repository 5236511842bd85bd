// Tests of the in-memory queues: order under append, insert and delete,
// position errors, replacement, emptying, and the error state they leave.
#include "runtime/core/queue.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "runtime/core/error_state.h"

namespace kor {
namespace {

struct Row {
  char name[8];
  int32_t number;
};

Row MakeRow(const char* name, int32_t number) {
  Row r{};
  strncpy(r.name, name, sizeof r.name);
  r.number = number;
  return r;
}

// The numbers of the rows in order, read through Get.
std::string Numbers(const Queue& q) {
  std::string out;
  for (uint32_t i = 1; i <= q.Records(); ++i) {
    Row r;
    EXPECT_TRUE(q.Get(i, &r));
    out += std::to_string(r.number) + (i < q.Records() ? "," : "");
  }
  return out;
}

TEST(Queue, AppendInsertAndDeleteKeepOrder) {
  Queue q(sizeof(Row));
  auto insert = [&](uint32_t position, const char* name, int32_t number) {
    Row r = MakeRow(name, number);
    return q.Insert(position, &r);
  };
  EXPECT_EQ(q.Records(), 0u);
  // Inserting at position 1 of an empty queue is the top of an empty page.
  ASSERT_TRUE(insert(1, "b", 2));
  Row c = MakeRow("c", 3);
  ASSERT_TRUE(q.Append(&c));
  ASSERT_TRUE(insert(1, "a", 1));
  ASSERT_TRUE(insert(4, "d", 4));  // one past the end appends
  ASSERT_TRUE(insert(3, "x", 9));
  EXPECT_EQ(Numbers(q), "1,2,9,3,4");
  ASSERT_TRUE(q.Delete(3));
  EXPECT_EQ(Numbers(q), "1,2,3,4");
  ASSERT_TRUE(q.Delete(1));
  ASSERT_TRUE(q.Delete(q.Records()));
  EXPECT_EQ(Numbers(q), "2,3");
  Row r;
  ASSERT_TRUE(q.Get(1, &r));
  EXPECT_STREQ(r.name, "b");
}

TEST(Queue, GrowsPastManyRecords) {
  Queue q(sizeof(Row));
  for (int32_t i = 0; i < 1000; ++i) {
    Row r = MakeRow("n", i);
    ASSERT_TRUE(i % 2 ? q.Append(&r) : q.Insert(1, &r));
  }
  EXPECT_EQ(q.Records(), 1000u);
  Row first, last;
  ASSERT_TRUE(q.Get(1, &first));
  ASSERT_TRUE(q.Get(1000, &last));
  EXPECT_EQ(first.number, 998);
  EXPECT_EQ(last.number, 999);
}

TEST(Queue, PositionsOutsideTheTablePostEntryNotFound) {
  Queue q(sizeof(Row));
  Row r = MakeRow("a", 1);
  ASSERT_TRUE(q.Append(&r));
  Row out = MakeRow("keep", 7);
  for (uint32_t bad : {0u, 2u, 100u}) {
    EXPECT_FALSE(q.Get(bad, &out)) << bad;
    EXPECT_EQ(ERRORCODE(), 30);
    EXPECT_EQ(std::string(CurrentErrorState().text, 15), "Entry Not Found");
    EXPECT_FALSE(q.Replace(bad, &r)) << bad;
    EXPECT_EQ(ERRORCODE(), 30);
    EXPECT_FALSE(q.Delete(bad)) << bad;
    EXPECT_EQ(ERRORCODE(), 30);
    EXPECT_EQ(q.Row(bad), nullptr);
  }
  EXPECT_FALSE(q.Insert(0, &r));
  EXPECT_EQ(ERRORCODE(), 30);
  EXPECT_FALSE(q.Insert(3, &r));
  EXPECT_EQ(ERRORCODE(), 30);
  // Failures change nothing: the buffer and the table stay as they were.
  EXPECT_EQ(out.number, 7);
  EXPECT_EQ(Numbers(q), "1");
  // A success clears the error.
  EXPECT_TRUE(q.Get(1, &out));
  EXPECT_EQ(ERRORCODE(), 0);
}

TEST(Queue, ReplaceAndRowReadInPlace) {
  Queue q(sizeof(Row));
  Row a = MakeRow("a", 1), b = MakeRow("b", 2);
  ASSERT_TRUE(q.Append(&a));
  ASSERT_TRUE(q.Append(&a));
  ASSERT_TRUE(q.Replace(2, &b));
  const Row* row = static_cast<const Row*>(q.Row(2));
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->number, 2);
  EXPECT_STREQ(row->name, "b");
  // The queue keeps its own copy.
  b.number = 5;
  EXPECT_EQ(static_cast<const Row*>(q.Row(2))->number, 2);
}

TEST(Queue, FreeEmptiesAndTheQueueStaysUsable) {
  Queue q(3);
  ASSERT_TRUE(q.Append("abc"));
  ASSERT_TRUE(q.Append("def"));
  q.Free();
  EXPECT_EQ(q.Records(), 0u);
  EXPECT_EQ(q.Row(1), nullptr);
  ASSERT_TRUE(q.Append("ghi"));
  char out[3];
  ASSERT_TRUE(q.Get(1, out));
  EXPECT_EQ(std::string(out, 3), "ghi");
}

}  // namespace
}  // namespace kor
