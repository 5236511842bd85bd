// Collating sequences, digraphs, case tables and the data-file collation record.
#include "runtime/locale/collation.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/os/os.h"

namespace kor {
namespace {

class CollationTest : public testing::Test {
 protected:
  void SetUp() override { ResetCollation(); }
  void TearDown() override { ResetCollation(); }
  static int Cmp(const std::string& a, const std::string& b) {
    return CollateCompare(a.data(), a.size(), b.data(), b.size());
  }
  static int CmpNoCase(const std::string& a, const std::string& b) {
    return CollateCompareNoCase(a.data(), a.size(), b.data(), b.size());
  }
};

TEST_F(CollationTest, DefaultIsByteOrderWithBlankPadding) {
  EXPECT_EQ(Cmp("abc", "abc"), 0);
  EXPECT_EQ(Cmp("abc", "abc   "), 0);
  EXPECT_EQ(Cmp("abc   ", "abc"), 0);
  EXPECT_EQ(Cmp("abc", "abd"), -1);
  EXPECT_EQ(Cmp("B", "a"), -1);         // byte order: upper case first
  EXPECT_EQ(Cmp("abc", "abc\x01"), 1);  // 1 sorts below the padding blank
  EXPECT_EQ(Cmp("abc", "abc!"), -1);
  EXPECT_EQ(Cmp("", ""), 0);
  EXPECT_EQ(Cmp("", "  "), 0);
  EXPECT_EQ(Cmp("\xE9", "f"), 1);  // high characters after ASCII
  for (int c = 0; c < 256; ++c) EXPECT_EQ(CollatingSequence()[c], c);
}

TEST_F(CollationTest, SequencePlacesListedCharactersAsBlock) {
  SetCollatingSequence("AaBbCc", 6, false);
  EXPECT_EQ(Cmp("a", "B"), -1);
  EXPECT_EQ(Cmp("A", "a"), -1);
  EXPECT_EQ(Cmp("b", "C"), -1);
  // Characters below the lowest listed code keep their weight.
  const uint8_t* w = CollatingSequence();
  for (int c = 0; c < 'A'; ++c) EXPECT_EQ(w[c], c);
  EXPECT_EQ(w['A'], 'A');
  EXPECT_EQ(w['a'], 'A' + 1);
  EXPECT_EQ(w['c'], 'A' + 5);
  // Unlisted characters above follow the block in byte order.
  EXPECT_EQ(w['D'], 'A' + 6);
  EXPECT_LT(w['Z'], w['d']);
  // Every weight is distinct.
  bool seen[256] = {};
  for (int c = 0; c < 256; ++c) {
    EXPECT_FALSE(seen[w[c]]) << c;
    seen[w[c]] = true;
  }
}

TEST_F(CollationTest, SequenceDuplicatesCountOnceAndEmptyRestoresIdentity) {
  SetCollatingSequence("zaz", 3, false);
  const uint8_t* w = CollatingSequence();
  EXPECT_EQ(w['z'], 'a');
  EXPECT_EQ(w['a'], 'a' + 1);
  EXPECT_EQ(Cmp("z", "a"), -1);
  SetCollatingSequence("", 0, false);
  for (int c = 0; c < 256; ++c) EXPECT_EQ(CollatingSequence()[c], c);
  EXPECT_EQ(Cmp("z", "a"), 1);
}

TEST_F(CollationTest, OemCopyFollowsTheConversion) {
  // e acute is 0xE9 in the Windows set and 0x82 in the OEM set.
  SetCollatingSequence(
      "\xE9"
      "e",
      2, false);
  EXPECT_LT(CollatingSequenceOem()[0x82], CollatingSequenceOem()['e']);
  EXPECT_LT(CollatingSequenceOem()['d'], CollatingSequenceOem()[0x82]);
  EXPECT_LT(CollatingSequence()[0xE9], CollatingSequence()['e']);
  // The same order written in OEM characters gives the same Windows order.
  SetCollatingSequence(
      "\x82"
      "e",
      2, true);
  EXPECT_LT(CollatingSequence()[0xE9], CollatingSequence()['e']);
  EXPECT_LT(CollatingSequenceOem()[0x82], CollatingSequenceOem()['e']);
  // Characters the conversion merges (the euro sign and 0x81 both become
  // "?") still weigh differently from each other and from "?".
  for (const uint8_t* w : {CollatingSequence(), CollatingSequenceOem()}) {
    bool seen[256] = {};
    for (int c = 0; c < 256; ++c) {
      EXPECT_FALSE(seen[w[c]]) << c;
      seen[w[c]] = true;
    }
  }
  EXPECT_NE(CollateCompare("\x80", 1, "?", 1), 0);
  EXPECT_NE(CollateCompare("\x80", 1, "\x81", 1), 0);
}

TEST_F(CollationTest, SystemSequenceSortsLettersTogether) {
  SetSystemCollatingSequence();
  EXPECT_EQ(Cmp("a", "B"), -1);
  EXPECT_EQ(Cmp("B", "c"), -1);
  EXPECT_EQ(Cmp("a", "A"), -1);
  EXPECT_EQ(Cmp("9", "a"), -1);
  const uint8_t* w = CollatingSequence();
  EXPECT_EQ(w[0], 0);
  EXPECT_EQ(w[1], 1);
  EXPECT_EQ(w[255], 255);
  bool seen[256] = {};
  for (int c = 0; c < 256; ++c) {
    EXPECT_FALSE(seen[w[c]]) << c;
    seen[w[c]] = true;
  }
  SaveCollatingSequence();
  SetCollatingSequence("", 0, false);
  RestoreCollatingSequence();
  EXPECT_EQ(Cmp("a", "B"), -1);
}

TEST_F(CollationTest, DigraphsExpandBeforeWeighing) {
  SetDigraphs("\xDFss", 3);
  ASSERT_EQ(DigraphCount(), 1);
  EXPECT_EQ(DigraphAt(0).ch, 0xDF);
  EXPECT_EQ(DigraphAt(0).first, 's');
  EXPECT_EQ(DigraphAt(0).second, 's');
  EXPECT_EQ(DigraphOemAt(0).ch, 0xE1);  // sharp s in the OEM set
  EXPECT_EQ(Cmp("Stra\xDF"
                "e",
                "Strasse"),
            0);
  EXPECT_EQ(Cmp("Stra\xDF", "Strass"), 0);
  EXPECT_EQ(Cmp("Stra\xDF", "Strast"), -1);
  EXPECT_EQ(Cmp("Stra\xDF", "Strasr"), 1);
  EXPECT_EQ(Cmp("Stra\xDF", "Strass  "), 0);
  EXPECT_EQ(Cmp("Stra\xDF", "Stras"), 1);  // second s against a padding blank
  EXPECT_EQ(CmpNoCase("STRA\xDF"
                      "E",
                      "strasse"),
            0);
}

TEST_F(CollationTest, DigraphLimitsAndClearing) {
  std::string many;
  for (int i = 0; i < 20; ++i) many += std::string{static_cast<char>(0xC0 + i), 'x', 'y'};
  SetDigraphs(many.data(), many.size() + 0);
  EXPECT_EQ(DigraphCount(), kMaxDigraphs);
  EXPECT_FALSE(AddDigraph(Digraph{'q', 'a', 'b'}));
  // clang-format off
  SetDigraphs("\xC6" "AE" "\xE6" "a", 5);  // the incomplete second group is ignored
  // clang-format on
  EXPECT_EQ(DigraphCount(), 1);
  EXPECT_EQ(Cmp("\xC6", "AE"), 0);
  ClearDigraphs();
  EXPECT_EQ(Cmp("\xC6", "AE"), 1);
}

TEST_F(CollationTest, DefaultCaseTables) {
  EXPECT_EQ(ToUpperChar('a'), 'A');
  EXPECT_EQ(ToUpperChar('z'), 'Z');
  EXPECT_EQ(ToUpperChar('A'), 'A');
  EXPECT_EQ(ToLowerChar('Q'), 'q');
  EXPECT_EQ(ToLowerChar('1'), '1');
  EXPECT_EQ(ToUpperChar(0xE9), 0xE9);  // no high pairs by default
  EXPECT_EQ(CharClassOf('5'), kCharDigit);
  EXPECT_EQ(CharClassOf('m'), kCharLower);
  EXPECT_EQ(CharClassOf('M'), kCharUpper);
  EXPECT_EQ(CharClassOf('-'), 0);
  char text[] = "Hello, World 42";
  ToUpperText(text, sizeof text - 1);
  EXPECT_STREQ(text, "HELLO, WORLD 42");
  ToLowerText(text, sizeof text - 1);
  EXPECT_STREQ(text, "hello, world 42");
  EXPECT_EQ(CmpNoCase("abc", "ABC"), 0);
  EXPECT_EQ(CmpNoCase("abc", "ABD"), -1);
}

TEST_F(CollationTest, CasePairsFromHighHalfOnly) {
  // clang-format off
  SetCasePairs("\xC9\xC4" "B", 3, "\xE9\xE4" "x", 3);
  // clang-format on
  EXPECT_EQ(ToUpperChar(0xE9), 0xC9);
  EXPECT_EQ(ToLowerChar(0xC4), 0xE4);
  EXPECT_EQ(ToLowerChar('B'), 'b');  // A-Z stays paired with a-z
  EXPECT_EQ(ToUpperChar('x'), 'X');
  EXPECT_EQ(CmpNoCase("\xE9t\xE9", "\xC9T\xC9"), 0);
  // A new list replaces the old high pairs.
  SetCasePairs("\xD6", 1, "\xF6", 1);
  EXPECT_EQ(ToUpperChar(0xE9), 0xE9);
  EXPECT_EQ(ToUpperChar(0xF6), 0xD6);
  // A re-paired character drops its former partner.
  SetCasePairs("\xD6\xD6", 2, "\xF6\xF5", 2);
  EXPECT_EQ(ToUpperChar(0xF5), 0xD6);
  EXPECT_EQ(ToUpperChar(0xF6), 0xF6);
  EXPECT_EQ(ToLowerChar(0xD6), 0xF5);
}

TEST_F(CollationTest, SystemCasePairs) {
  SetSystemCasePairs();
  EXPECT_EQ(ToUpperChar(0xE9), 0xC9);
  EXPECT_EQ(ToLowerChar(0xC0), 0xE0);
  EXPECT_EQ(ToUpperChar(0xFF), 0x9F);  // y diaeresis
  EXPECT_EQ(ToUpperChar(0x9A), 0x8A);  // s caron
  EXPECT_EQ(ToUpperChar(0xDF), 0xDF);  // sharp s has no upper case
  EXPECT_EQ(ToUpperChar(0xF7), 0xF7);  // division sign is no letter
  EXPECT_EQ(ToLowerChar(0xD7), 0xD7);
}

TEST_F(CollationTest, CollationRecordTransformsKeys) {
  SetCollatingSequence("ba", 2, false);
  SetCasePairs("\xC9", 1, "\xE9", 1);
  CollationRecord record;
  SaveCollationRecord(&record);
  EXPECT_EQ(record.weight['b'], 'a');
  EXPECT_EQ(record.upper[0xE9], 0xC9);
  EXPECT_EQ(record.upper_oem[0x82], 0x90);  // e acute to E acute in the OEM set
  EXPECT_EQ(record.digraph_count, 0);
  uint8_t key[] = {'a', 'b', 'B'};
  CollateKeyBytes(record, false, false, key, 3);
  EXPECT_EQ(key[0], 'a' + 1);
  EXPECT_EQ(key[1], 'a');
  EXPECT_EQ(key[2], 'B');
  uint8_t nocase[] = {'b', 0xE9};
  CollateKeyBytes(record, false, true, nocase, 2);
  EXPECT_EQ(nocase[0], record.weight['B']);
  EXPECT_EQ(nocase[1], record.weight[0xC9]);
  uint8_t oem[] = {0x82};
  CollateKeyBytes(record, true, true, oem, 1);
  EXPECT_EQ(oem[0], record.weight_oem[0x90]);
  // The record keeps its order after the runtime's tables change.
  ResetCollation();
  uint8_t again[] = {'b'};
  CollateKeyBytes(record, false, false, again, 1);
  EXPECT_EQ(again[0], 'a');
}

}  // namespace
}  // namespace kor
