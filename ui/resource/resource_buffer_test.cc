// Tests of the container split and of the bounded readers: every read inside
// the buffer gives the little-endian value, every read that would pass either
// end fails, and offset 0 is the empty string.
#include "ui/resource/resource_buffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace kor {
namespace {

std::vector<uint8_t> Bytes(const char* s, size_t n) {
  return std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(s),
                              reinterpret_cast<const uint8_t*>(s) + n);
}

TEST(Container, SplitsAtTheFirstZero) {
  std::vector<uint8_t> c = Bytes("mxb$MXB003\0\x07\x00\x09", 14);
  ContainerView v;
  ASSERT_TRUE(SplitContainer(c.data(), c.size(), &v));
  EXPECT_EQ(v.name, "mxb$MXB003");
  ASSERT_EQ(v.body_size, 3u);
  EXPECT_EQ(v.body[0], 7);
  EXPECT_EQ(v.body[2], 9);
}

TEST(Container, WithoutAnEndToTheNameIsRefused) {
  std::vector<uint8_t> c = Bytes("mxb$MXB003", 10);
  ContainerView v;
  EXPECT_FALSE(SplitContainer(c.data(), c.size(), &v));
  EXPECT_FALSE(SplitContainer(nullptr, 0, &v));
  // An empty body is a body.
  std::vector<uint8_t> bare = Bytes("x\0", 2);
  ASSERT_TRUE(SplitContainer(bare.data(), bare.size(), &v));
  EXPECT_EQ(v.body_size, 0u);
}

TEST(ResourceBuffer, BodyStartsAtOffsetTwoAfterTwoZeroBytes) {
  const uint8_t body[] = {0xAA, 0xBB};
  ResourceBuffer b;
  ASSERT_TRUE(b.Assign(body, sizeof body));
  ASSERT_EQ(b.size(), 4u);
  uint8_t v = 1;
  ASSERT_TRUE(b.ReadU8(0, &v));
  EXPECT_EQ(v, 0);
  ASSERT_TRUE(b.ReadU8(1, &v));
  EXPECT_EQ(v, 0);
  ASSERT_TRUE(b.ReadU8(2, &v));
  EXPECT_EQ(v, 0xAA);
  std::string s = "x";
  ASSERT_TRUE(b.ReadString(0, &s));
  EXPECT_EQ(s, "");
}

TEST(ResourceBuffer, ValuesAreLittleEndian) {
  const uint8_t body[] = {0x01, 0x02, 0x03, 0x84, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
  ResourceBuffer b;
  ASSERT_TRUE(b.Assign(body, sizeof body));
  uint16_t u16;
  int16_t i16;
  int32_t i32;
  double f64;
  ASSERT_TRUE(b.ReadU16(2, &u16));
  EXPECT_EQ(u16, 0x0201);
  ASSERT_TRUE(b.ReadI16(4, &i16));
  EXPECT_EQ(i16, static_cast<int16_t>(0x8403));
  ASSERT_TRUE(b.ReadI32(2, &i32));
  EXPECT_EQ(i32, static_cast<int32_t>(0x84030201u));
  ASSERT_TRUE(b.ReadF64(6, &f64));
  EXPECT_EQ(f64, 1.0);
}

// Reads at and beyond both ends, for every width.
TEST(ResourceBuffer, ReadsOutsideTheBufferFail) {
  std::vector<uint8_t> body(10, 0x41);
  ResourceBuffer b;
  ASSERT_TRUE(b.Assign(body.data(), body.size()));  // 12 bytes
  struct Case {
    int32_t offset;
    size_t width;
    bool inside;
  };
  const Case cases[] = {
      {0, 1, true},
      {11, 1, true},
      {12, 1, false},
      {-1, 1, false},
      {10, 2, true},
      {11, 2, false},
      {8, 4, true},
      {9, 4, false},
      {4, 8, true},
      {5, 8, false},
      {INT32_MAX, 1, false},
      {INT32_MIN, 4, false},
      {INT32_MAX - 2, 4, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.offset) + " width " + std::to_string(c.width));
    EXPECT_EQ(b.Contains(c.offset, c.width), c.inside);
    uint8_t u8;
    uint16_t u16;
    int32_t i32;
    double f64;
    bool ok = c.width == 1   ? b.ReadU8(c.offset, &u8)
              : c.width == 2 ? b.ReadU16(c.offset, &u16)
              : c.width == 4 ? b.ReadI32(c.offset, &i32)
                             : b.ReadF64(c.offset, &f64);
    EXPECT_EQ(ok, c.inside);
  }
}

TEST(ResourceBuffer, StringsMustEndInsideTheBuffer) {
  const char body[] = "abc\0de";  // "de" has no end: the body stops there
  ResourceBuffer b;
  ASSERT_TRUE(b.Assign(reinterpret_cast<const uint8_t*>(body), 6));
  std::string s;
  ASSERT_TRUE(b.ReadString(2, &s));
  EXPECT_EQ(s, "abc");
  ASSERT_TRUE(b.ReadString(4, &s));
  EXPECT_EQ(s, "c");
  EXPECT_FALSE(b.ReadString(6, &s));
  EXPECT_FALSE(b.ReadString(7, &s));
  EXPECT_FALSE(b.ReadString(8, &s));
  EXPECT_FALSE(b.ReadString(-2, &s));
}

TEST(ResourceBuffer, AnEmptyBodyStillReadsOffsetZero) {
  ResourceBuffer b;
  ASSERT_TRUE(b.Assign(nullptr, 0));
  std::string s = "x";
  EXPECT_TRUE(b.ReadString(0, &s));
  EXPECT_EQ(s, "");
  int32_t first;
  EXPECT_FALSE(b.ReadI32(2, &first));
}

}  // namespace
}  // namespace kor
