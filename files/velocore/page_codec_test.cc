// The stored form of pages: run-length coding, record serialisation, size
// classes at their edges, the 0xB0 fill and the checks of reading and
// writing a page.
#include "files/velocore/page_codec.h"

#include <gtest/gtest.h>

#include <random>

#include "files/velocore/record_keys.h"
#include "files/velocore/rle.h"

namespace kor::vel {
namespace {

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Bytes without any run of equal neighbours.
Bytes Varied(size_t n, uint32_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t((i * 7 + seed) % 251 + (i % 2));
  return b;
}

TEST(RunLengthTest, CodesRunsOfFourAndMoreAsPairs) {
  struct Case {
    Bytes plain;
    bool has_run;
    Bytes coded;  // worked out by hand from the rules
  };
  Bytes z200(200, 'z');
  const Case cases[] = {
      {Text("abc"), false, {3, 'a', 'b', 'c'}},
      {Text("aaab"), false, {4, 'a', 'a', 'a', 'b'}},  // a run of 3 stays literal
      {Text("aaaa"), true, {1, 'a', 3, 0}},            // ends with a literal part of count 0
      {Text("xaaaaay"), true, {2, 'x', 'a', 4, 1, 'y'}},
      {Text("aaaabbbb"), true, {1, 'a', 3, 1, 'b', 3, 0}},
      {z200, true, {1, 'z', 0xC7, 0x01, 0}},  // 199 in base 128, low group first
      {{}, false, {0}},
  };
  for (const Case& c : cases) {
    bool has_run = !c.has_run;
    Bytes coded = RunLengthEncode(c.plain.data(), c.plain.size(), &has_run);
    EXPECT_EQ(has_run, c.has_run);
    EXPECT_EQ(coded, c.coded);
    Bytes back(c.plain.size());
    size_t used = 0;
    ASSERT_TRUE(RunLengthDecode(coded.data(), coded.size(), back.data(), back.size(), &used).ok());
    EXPECT_EQ(back, c.plain);
  }
}

// The coder against the rules written out plainly: at each position the
// run of equal bytes there; 4 or more become a pair, fewer stay literal.
Bytes PlainRunLengthCode(const Bytes& in) {
  Bytes out;
  auto count = [&](size_t n) {
    for (; n >= 0x80; n >>= 7) out.push_back(uint8_t(0x80 | (n & 0x7F)));
    out.push_back(uint8_t(n));
  };
  size_t literal = 0, i = 0;
  while (i < in.size()) {
    size_t run = 1;
    while (i + run < in.size() && in[i + run] == in[i]) ++run;
    if (run >= 4) {
      count(i + 1 - literal);
      out.insert(out.end(), in.begin() + ptrdiff_t(literal), in.begin() + ptrdiff_t(i + 1));
      count(run - 1);
      literal = i + run;
    }
    i += run;
  }
  count(in.size() - literal);
  out.insert(out.end(), in.begin() + ptrdiff_t(literal), in.end());
  return out;
}

TEST(RunLengthTest, RandomDataCodesAsThePlainRulesSay) {
  std::mt19937 random(17);
  for (int n = 0; n < 2000; ++n) {
    // Stretches of runs of 1..9 over a small alphabet, at every alignment.
    Bytes in;
    for (size_t size = random() % 400; in.size() < size;) {
      in.insert(in.end(), 1 + random() % (random() % 3 == 0 ? 9 : 3), uint8_t(random() % 3));
    }
    bool has_run = false;
    Bytes coded = RunLengthEncode(in.data(), in.size(), &has_run);
    ASSERT_EQ(coded, PlainRunLengthCode(in)) << "case " << n;
    Bytes back(in.size());
    size_t used = 0;
    ASSERT_TRUE(RunLengthDecode(coded.data(), coded.size(), back.data(), back.size(), &used).ok());
    EXPECT_EQ(back, in);
  }
}

TEST(RunLengthTest, BadCodedDataIsCheck1164) {
  RecoveryPoint point;
  const Bytes bad[] = {
      {5, 'a', 'b'},  // literal count beyond the data
      {1, 'a', 9},    // repeat beyond the output
      {0, 3},         // repeat with nothing before it
      {0x80, 0x80},   // count that never ends
  };
  for (const Bytes& b : bad) {
    Bytes out(4);
    size_t used = 0;
    EXPECT_EQ(RunLengthDecode(b.data(), b.size(), out.data(), out.size(), &used).check,
              kCheckRunLength);
  }
}

Page Leaf(const std::vector<Record>& records) {
  Page p;
  for (const Record& r : records) p.records.PushBack(r.key(), r.data());
  return p;
}

TEST(PageCodecTest, SizeClassEdges) {
  // One record of total length t serialises to 5 + t bytes after the
  // 13-byte header: t = 238 fills 256 bytes exactly.
  uint32_t blocks = 0;
  ASSERT_TRUE(EncodedClass(Leaf({MakeRecord(Varied(4, 1), Varied(234, 2))}), &blocks).ok());
  EXPECT_EQ(blocks, 1u);
  ASSERT_TRUE(EncodedClass(Leaf({MakeRecord(Varied(4, 1), Varied(235, 2))}), &blocks).ok());
  EXPECT_EQ(blocks, 2u);
  Bytes out;
  ASSERT_TRUE(EncodePage(Leaf({MakeRecord(Varied(4, 1), Varied(235, 2))}), 768, &out).ok());
  ASSERT_EQ(out.size(), 512u);
  EXPECT_EQ(Get32(out.data()), 768u);
  EXPECT_EQ(Get16(out.data() + kPgStoredSize), 257);
  EXPECT_EQ(Get16(out.data() + kPgPlainSize), 257);
  for (size_t i = 257; i < 512; ++i) ASSERT_EQ(out[i], kPagePad) << i;
}

TEST(PageCodecTest, CodedFormIsKeptOnlyWhenItSavesABlock) {
  RecoveryPoint point;
  // 300 plain bytes; one run of 6 saves a few bytes but not a block.
  Bytes data = Varied(270, 3);
  std::fill(data.begin() + 10, data.begin() + 16, 'r');
  Bytes out;
  ASSERT_TRUE(EncodePage(Leaf({MakeRecord(Varied(12, 4), data)}), 512, &out).ok());
  EXPECT_EQ(Get16(out.data() + kPgStoredSize), Get16(out.data() + kPgPlainSize));
  // A long run shrinks it below 256: coded.
  std::fill(data.begin() + 10, data.begin() + 200, 'r');
  ASSERT_TRUE(EncodePage(Leaf({MakeRecord(Varied(12, 4), data)}), 512, &out).ok());
  EXPECT_LT(Get16(out.data() + kPgStoredSize), Get16(out.data() + kPgPlainSize));
  EXPECT_EQ(out.size(), 256u);
  Page back;
  ASSERT_TRUE(DecodePage(out.data(), uint32_t(out.size()), &back).ok());
  EXPECT_EQ(back.records[0].data().size(), 270u);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), back.records[0].data().begin()));
}

TEST(PageCodecTest, SharedPrefixIsCappedAt63AndLengthsRepeatImplicitly) {
  Bytes common = Varied(100, 5);
  Bytes a = common, b = common;
  a.push_back(1);
  b.push_back(2);
  Page p = Leaf({MakeRecord(a, {}), MakeRecord(b, {})});
  Bytes out;
  ASSERT_TRUE(EncodePage(p, 512, &out).ok());
  const uint8_t* area = out.data() + kPgHeaderSize;
  EXPECT_EQ(area[0], kRecTotalLength | kRecKeyLength);  // first record: both lengths, no sharing
  EXPECT_EQ(Get16(area + 1), 101);
  EXPECT_EQ(Get16(area + 3), 101);
  const uint8_t* second = area + 5 + 101;
  EXPECT_EQ(second[0], 63) << "same lengths, 100 shared bytes recorded as 63";
  EXPECT_EQ(Get16(out.data() + kPgPlainSize), kPgHeaderSize + 5 + 101 + 1 + (101 - 63));
  Page back;
  ASSERT_TRUE(DecodePage(out.data(), uint32_t(out.size()), &back).ok());
  EXPECT_EQ(back, p);
}

TEST(PageCodecTest, InternalPagesCarryChildNumbers) {
  Page p = Leaf({MakeRecord({}, {}), MakeRecord(Text("m"), {}), MakeRecord(Text("t"), {})});
  p.level = 2;
  p.children = {7, 0x01020304, 99};
  Bytes out;
  ASSERT_TRUE(EncodePage(p, 512, &out).ok());
  EXPECT_EQ(Get32(out.data() + kPgHeaderSize + 4), 0x01020304u);
  Page back;
  ASSERT_TRUE(DecodePage(out.data(), uint32_t(out.size()), &back).ok());
  EXPECT_EQ(back, p);
}

TEST(PageCodecTest, ChecksOfWritingAndReading) {
  RecoveryPoint point;
  std::mt19937 random(3);
  auto noise = [&](size_t n) {
    Bytes b(n);
    for (auto& x : b) x = uint8_t(random());
    return b;
  };
  Bytes out;
  // Larger than 59 blocks after coding: 1678.
  Page big = Leaf({MakeRecord(Text("a"), noise(4000)), MakeRecord(Text("b"), noise(4000)),
                   MakeRecord(Text("c"), noise(4000)), MakeRecord(Text("d"), noise(4000))});
  EXPECT_EQ(EncodePage(big, 512, &out).check, kCheckPageTooBig);
  // A budget beyond the 16-bit in-memory size field: 1659.
  std::vector<Record> many;
  for (int i = 0; i < 14; ++i) many.push_back(MakeRecord(Bytes{uint8_t(i)}, Bytes(4900, 'x')));
  EXPECT_EQ(EncodePage(Leaf(many), 512, &out).check, kCheckBudget);

  Page p = Leaf({MakeRecord(Text("key1"), Text("data")), MakeRecord(Text("key2"), Text("more"))});
  ASSERT_TRUE(EncodePage(p, 512, &out).ok());
  Page back;
  Bytes bad = out;
  Put16(bad.data() + kPgStoredSize, 300);  // rounds to 512, the page is 256
  EXPECT_EQ(DecodePage(bad.data(), 256, &back).check, kCheckPageSize);
  bad = out;
  Put16(bad.data() + kPgCount, 3);  // records end before the count is reached
  EXPECT_EQ(DecodePage(bad.data(), 256, &back).check, kCheckRecordEnd);
  bad = out;
  bad[kPgHeaderSize + 3] = 9;  // key length 9 > total length 8
  EXPECT_EQ(DecodePage(bad.data(), 256, &back).check, kCheckRecordLayout);
}

TEST(PageCodecTest, RandomPagesSurviveTheRoundTrip) {
  std::mt19937 random(11);
  for (int n = 0; n < 300; ++n) {
    Page p;
    p.level = uint8_t(random() % 3);
    Bytes key;
    for (int i = 0, count = 1 + int(random() % 30); i < count; ++i) {
      key.push_back(uint8_t(random() % 4));  // ascending keys sharing prefixes
      Bytes data(random() % 80, uint8_t(random() % 2));
      p.records.PushBack(key, data);
      if (p.level) p.children.push_back(uint32_t(random()));
    }
    Bytes out;
    ASSERT_TRUE(EncodePage(p, 512, &out).ok());
    Page back;
    ASSERT_TRUE(DecodePage(out.data(), uint32_t(out.size()), &back).ok());
    EXPECT_EQ(back, p);
  }
}

}  // namespace
}  // namespace kor::vel
