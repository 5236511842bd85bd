// Tests of the window's address list: a copy up to the null entry, taken in
// order; descriptors of size 0 read their size at the address; running out
// stops the runtime with error 501.
#include "ui/resource/address_list.h"

#include <gtest/gtest.h>

namespace kor {
namespace {

TEST(AddressList, CopiesUpToTheNullEntryAndHandsOutInOrder) {
  int a = 0, b = 0, c = 0;
  void* list[] = {&a, &b, nullptr, &c};
  AddressList addresses(list);
  list[0] = &c;  // the window keeps its own copy
  EXPECT_EQ(addresses.remaining(), 2u);
  void* p = nullptr;
  ASSERT_TRUE(addresses.Next(&p));
  EXPECT_EQ(p, &a);
  ASSERT_TRUE(addresses.Next(&p));
  EXPECT_EQ(p, &b);
  EXPECT_FALSE(addresses.Next(&p));
  EXPECT_EQ(addresses.remaining(), 0u);
  AddressList none(nullptr);
  EXPECT_FALSE(none.Next(&p));
}

TEST(AddressList, SizeZeroDescriptorsTakeTheValueAtTheAddress) {
  int32_t queue_size = 679;
  char text[30];
  void* list[] = {&queue_size, text, nullptr};
  AddressList addresses(list);
  VariableDescriptor queue;
  queue.type = 26;
  queue.size = 0;
  VariableDescriptor string;
  string.type = 18;
  string.size = 30;
  BoundAddress bound;
  ASSERT_TRUE(BindNext(addresses, queue, &bound));
  EXPECT_EQ(bound.address, &queue_size);
  EXPECT_EQ(bound.size, 679);
  ASSERT_TRUE(BindNext(addresses, string, &bound));
  EXPECT_EQ(bound.address, text);
  EXPECT_EQ(bound.size, 30);
  EXPECT_FALSE(BindNext(addresses, string, &bound));
}

// The runtime error box answers on standard error natively; under Windows it
// is a real box, so the stop is checked natively only.
#if !defined(_WIN32)
TEST(AddressListDeathTest, RunningOutStopsWithInternalError01) {
  EXPECT_EXIT(
      {
        AddressList empty(nullptr);
        BoundAddress bound;
        BindNextOrStop(empty, VariableDescriptor(), &bound);
      },
      ::testing::ExitedWithCode(2), "Internal error 01");
}
#endif

}  // namespace
}  // namespace kor
