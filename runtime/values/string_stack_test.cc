// The string stack: entry kinds, the top operations, the pops and the faults.
#include "runtime/values/string_stack.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "runtime/locale/collation.h"
#include "runtime/memory/memory.h"
#include "runtime/values/decimal_stack.h"

namespace kor {
namespace {

class StringStackTest : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(StringStackDepth(), 0) << "test left entries behind"; }
};

char* HeapCopy(const char* text) {
  size_t n = strlen(text);
  auto* block = static_cast<char*>(Allocate(n + 1));
  memcpy(block, text, n + 1);
  return block;
}

TEST_F(StringStackTest, DetachKeepsTwentyInlineAndCopiesLongerToTheHeap) {
  std::string twenty(20, 'a'), twenty_one(21, 'b');
  PushString(twenty.data(), 20);
  EXPECT_EQ(StringStackTop()->kind, kStringBorrowed);
  EXPECT_EQ(TopText(), twenty.data());
  DetachTop();
  EXPECT_EQ(StringStackTop()->kind, kStringInline);
  EXPECT_EQ(TopText(), StringStackTop()->buffer);
  twenty[0] = 'z';  // the entry no longer looks at the caller's memory
  EXPECT_EQ(TopView(), std::string(20, 'a'));
  PopString();

  PushString(twenty_one.data(), 21);
  DetachTop();
  EXPECT_EQ(StringStackTop()->kind, kStringOwned);
  EXPECT_NE(TopText(), twenty_one.data());
  twenty_one[0] = 'z';
  EXPECT_EQ(TopView(), std::string(21, 'b'));
  DetachTop();  // owned stays owned
  EXPECT_EQ(StringStackTop()->kind, kStringOwned);
  PopString();
}

TEST_F(StringStackTest, PushFormsAndNullTexts) {
  PushString(nullptr, 12);
  EXPECT_EQ(TopLength(), 0);
  PushString("abc", -4);
  EXPECT_EQ(TopLength(), 0);
  PushCString(nullptr);
  EXPECT_EQ(TopLength(), 0);
  PushCString("hello");
  EXPECT_EQ(StringStackTop()->kind, kStringInline);
  EXPECT_EQ(TopView(), "hello");
  PushOwnedString(HeapCopy("owned text"), 10);
  EXPECT_EQ(StringStackTop()->kind, kStringOwned);
  EXPECT_EQ(StringStackDepth(), 5);
  EXPECT_EQ(PopToStdString(), "owned text");
  EXPECT_EQ(PopToStdString(), "hello");
  PopString();
  PopString();
  PopString();
}

TEST_F(StringStackTest, LongAsStringAtTheLimits) {
  const struct {
    int32_t value;
    const char* text;
    // clang-format off
  } cases[] = {{0, "0"}, {7, "7"}, {-1, "-1"}, {1234567, "1234567"},
               {2147483647, "2147483647"}, {-2147483647 - 1, "-2147483648"}};
  // clang-format on
  for (const auto& c : cases) {
    PushLongAsString(c.value);
    EXPECT_EQ(StringStackTop()->kind, kStringInline);
    EXPECT_EQ(PopToStdString(), c.text) << c.value;
  }
}

TEST_F(StringStackTest, SetTopLengthCutsOrPadsWithBlanks) {
  PushString("ab", 2);
  SetTopLength(5);
  EXPECT_EQ(StringStackTop()->kind, kStringOwned);
  EXPECT_EQ(PopToStdString(), "ab   ");
  PushString("abcdefg", 7);
  SetTopLength(5);
  EXPECT_EQ(StringStackTop()->kind, kStringBorrowed);  // a cut changes the length only
  EXPECT_EQ(PopToStdString(), "abcde");
  PushString("xyz", 3);
  SetTopLength(-3);
  EXPECT_EQ(PopToStdString(), "");
  PushString(nullptr, 0);
  SetTopLength(3);
  EXPECT_EQ(PopToStdString(), "   ");
}

TEST_F(StringStackTest, ClipTopRemovesOnlyTrailingBlanks) {
  PushString("  a b   ", 8);
  ClipTop();
  EXPECT_EQ(PopToStdString(), "  a b");
  PushString("    ", 4);
  ClipTop();
  EXPECT_EQ(PopToStdString(), "");
  PushString("x\0 ", 3);
  ClipTop();  // a zero byte is a character like any other
  EXPECT_EQ(PopToStdString(), std::string("x\0", 2));
}

TEST_F(StringStackTest, PopToFieldPadsCutsAndAllowsOverlap) {
  char field[6];
  PushString("abc", 3);
  PopToField(field, 6);
  EXPECT_EQ(std::string(field, 6), "abc   ");
  PushString("abcdefghij", 10);
  PopToField(field, 6);
  EXPECT_EQ(std::string(field, 6), "abcdef");
  // A string borrowed from the field itself, shifted left.
  PushString(field + 2, 4);
  PopToField(field, 6);
  EXPECT_EQ(std::string(field, 6), "cdef  ");
  PushString("abc", 3);
  PopToField(field, 0);  // nothing written, still popped
  EXPECT_EQ(std::string(field, 6), "cdef  ");
}

TEST_F(StringStackTest, PopToCStringTerminatesWithinCapacity) {
  char buffer[5];
  memset(buffer, 'x', sizeof buffer);
  PushString("abcdefg", 7);
  PopToCString(buffer, 5);
  EXPECT_STREQ(buffer, "abcd");
  PushString("ab", 2);
  PopToCString(buffer, 5);
  EXPECT_STREQ(buffer, "ab");
  PushString("ab", 2);
  PopToCString(buffer, 1);
  EXPECT_STREQ(buffer, "");
  buffer[0] = 'q';
  PushString("ab", 2);
  PopToCString(buffer, 0);
  EXPECT_EQ(buffer[0], 'q');
}

TEST_F(StringStackTest, PopToHeapHandsOwnedBlocksOverAndCopiesOthers) {
  HeapString heap = {nullptr, 0};
  char* block = HeapCopy("given away");
  PushOwnedString(block, 10);
  PopToHeap(&heap);
  EXPECT_EQ(heap.text, block);
  EXPECT_EQ(heap.length, 10);

  // A borrowed top from the descriptor's own block: copied before the free.
  PushString(heap.text + 6, 4);
  PopToHeap(&heap);
  EXPECT_EQ(std::string(heap.text, static_cast<size_t>(heap.length)), "away");

  PushLongAsString(42);
  PopToHeap(&heap);
  EXPECT_EQ(std::string(heap.text, static_cast<size_t>(heap.length)), "42");

  PushString(nullptr, 0);
  PopToHeap(&heap);
  EXPECT_EQ(heap.text, nullptr);
  EXPECT_EQ(heap.length, 0);
}

TEST_F(StringStackTest, CompareTopStringsPadsTheShorterWithBlanks) {
  const struct {
    const char *second, *top;
    int result;
  } cases[] = {{"abc", "abc   ", 0}, {"abc  ", "abc", 0}, {"abc", "abd", -1}, {"abd", "abc", 1},
               {"ab", "ab!", -1},  // the padding blank sorts below "!"
               {"ab", "ab\t", 1},  // and above a tab
               {"ab", "aba", -1},    {"", "", 0},         {"", "  ", 0},      {"", "a", -1}};
  for (const auto& c : cases) {
    PushCString(c.second);
    PushCString(c.top);
    EXPECT_EQ(CompareTopStrings(), c.result) << c.second << " vs " << c.top;
  }
  EXPECT_EQ(CompareStrings("\xE9", 1, "z", 1), 1);  // bytes are unsigned
}

TEST_F(StringStackTest, CompareTopStringsUsesTheCollatingSequence) {
  SetCollatingSequence("ba", 2, false);
  PushCString("a");
  PushCString("b");
  EXPECT_EQ(CompareTopStrings(), 1);
  ResetCollation();
  PushCString("a");
  PushCString("b");
  EXPECT_EQ(CompareTopStrings(), -1);
}

TEST_F(StringStackTest, PopStringAsRealReadsAtMost39Characters) {
  PushCString("  2.5   ");
  EXPECT_EQ(PopStringAsReal(), 2.5);
  PushCString("-1e3");
  EXPECT_EQ(PopStringAsReal(), -1000.0);
  PushCString("abc");
  EXPECT_EQ(PopStringAsReal(), 0.0);
  std::string text = std::string(37, ' ') + "12";  // 39 characters
  PushCopy(text);
  EXPECT_EQ(PopStringAsReal(), 12.0);
  PushCopy(" " + text);  // the 40th is not read
  EXPECT_EQ(PopStringAsReal(), 1.0);
  // Trailing blanks go before the limit is applied.
  PushCopy(text + std::string(30, ' '));
  EXPECT_EQ(PopStringAsReal(), 12.0);
}

TEST_F(StringStackTest, PopStringAsDecimalReadsAtMost99Characters) {
  const struct {
    std::string text;
    const char* value;
  } cases[] = {{"1,5", "1.5"},
               {"2e3", "2000"},
               {" -7", "-7"},
               {std::string(97, ' ') + "12", "12"},
               {std::string(98, ' ') + "12", "1"},
               {"", "0"}};
  for (const auto& c : cases) {
    PushCopy(c.text);
    PopStringAsDecimal();
    EXPECT_EQ(StringStackDepth(), 0);
    EXPECT_EQ(DecimalToText(-1), c.value) << '"' << c.text << '"';
    DropDecimal();
  }
}

TEST_F(StringStackTest, FullStackTakesThirtyTwoEntries) {
  for (int i = 0; i < kStringStackDepth; ++i) PushLongAsString(i);
  EXPECT_EQ(StringStackDepth(), 32);
  for (int i = kStringStackDepth - 1; i >= 0; --i) EXPECT_EQ(PopToStdString(), std::to_string(i));
}

TEST_F(StringStackTest, InitFreesOwnedEntriesAndEmpties) {
  PushOwnedString(HeapCopy("leak me not"), 11);
  PushString("b", 1);
  InitStringStack(1);
  EXPECT_EQ(StringStackDepth(), 0);
  EXPECT_EQ(StringStackTop(), nullptr);
  EXPECT_EQ(TopText(), nullptr);
  EXPECT_EQ(TopLength(), 0);
}

#if !defined(_WIN32)
using StringStackDeathTest = StringStackTest;

TEST_F(StringStackDeathTest, OverflowRaisesStringStackError) {
  EXPECT_EXIT(
      {
        for (int i = 0; i <= kStringStackDepth; ++i) PushLongAsString(i);
      },
      testing::ExitedWithCode(2), "Internal error 01 : String Stack Error");
  EXPECT_EXIT(
      {
        for (int i = 0; i < kStringStackDepth; ++i) PushString("x", 1);
        PushCString("one too many");
      },
      testing::ExitedWithCode(2), "String Stack Error");
}

TEST_F(StringStackDeathTest, PopOfAnEmptyStackRaisesStringStackError) {
  EXPECT_EXIT(PopString(), testing::ExitedWithCode(2), "String Stack Error");
  EXPECT_EXIT(
      {
        PushString("a", 1);
        CompareTopStrings();
      },
      testing::ExitedWithCode(2), "String Stack Error");
}
#endif

}  // namespace
}  // namespace kor
