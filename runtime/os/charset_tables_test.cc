// The character-set services of the operating-system layer agree with the
// code page 437 / Windows-1252 tables (on Windows this checks the tables
// against the platform itself).
#include "runtime/os/charset_tables.h"

#include <gtest/gtest.h>

#include "runtime/os/os.h"

namespace kor {
namespace {

TEST(CharacterSets, ConversionMatchesTables) {
  char all[256], out[256];
  for (int i = 0; i < 256; ++i) all[i] = static_cast<char>(i);
  OsOemToAnsi(all, out, 256);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(static_cast<uint8_t>(out[i]), kOem437ToAnsi1252[i]) << i;
  OsAnsiToOem(all, out, 256);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(static_cast<uint8_t>(out[i]), kAnsi1252ToOem437[i]) << i;
  // In place, and a few well-known pairs.
  char text[] = "\x82t\x82";
  OsOemToAnsi(text, text, 3);
  EXPECT_STREQ(text, "\xE9t\xE9");
  OsAnsiToOem(text, text, 3);
  EXPECT_STREQ(text, "\x82t\x82");
  EXPECT_EQ(kOem437ToAnsi1252[0x81], 0xFC);  // u diaeresis
  EXPECT_EQ(kAnsi1252ToOem437[0xC4], 0x8E);  // A diaeresis
  for (int i = 0; i < 128; ++i) EXPECT_EQ(kOem437ToAnsi1252[i], i);
}

TEST(CharacterSets, LettersAndCaseMatchTables) {
  for (int i = 0; i < 256; ++i) {
    auto c = static_cast<uint8_t>(i);
    EXPECT_EQ(OsIsCharAlpha(c), IsAnsi1252Letter(c)) << i;
    EXPECT_EQ(OsCharLower(c), kAnsi1252Lower[i]) << i;
    EXPECT_EQ(OsCharUpper(c), kAnsi1252Upper[i]) << i;
  }
  EXPECT_TRUE(IsAnsi1252Letter('q'));
  EXPECT_FALSE(IsAnsi1252Letter('5'));
  EXPECT_TRUE(IsAnsi1252Letter(0xE9));
  EXPECT_FALSE(IsAnsi1252Letter(0xD7));
}

TEST(CharacterSets, SystemOrderIsAPermutation) {
  uint8_t order[253];
  OsSystemCharacterOrder(order);
  bool seen[256] = {};
  for (uint8_t c : order) {
    EXPECT_GE(c, 2);
    EXPECT_LE(c, 254);
    EXPECT_FALSE(seen[c]) << int{c};
    seen[c] = true;
  }
  for (int i = 0; i < 253; ++i) EXPECT_EQ(order[i], kAnsi1252SystemOrder[i]) << i;
}

}  // namespace
}  // namespace kor
