// The section lookup through an image's headers, over images laid out by
// hand: which section holds an address, and headers that are not headers.
#include "runtime/os/image_sections.h"

#include <gtest/gtest.h>

#include <vector>

#include "runtime/os/fake_memory_testing.h"

namespace kor {
namespace {

constexpr uint64_t kBase = 0x400000;
constexpr uint32_t kNewHeaders = 0x80;
constexpr uint32_t kOptionalSize = 0xE0;

struct Section {
  uint32_t virtual_size, virtual_address, raw_size;
};

constexpr uint64_t kTable = kBase + kNewHeaders + 24 + kOptionalSize;

// An image with the given sections; `mark`, `signature` and the count may be
// spoilt, and the header of section `missing` (1-based) left out.
testing::FakeMemory Image(const std::vector<Section>& sections, uint16_t mark = 0x5A4D,
                          uint32_t signature = 0x4550, uint16_t count = 0xFFFF,
                          size_t missing = 0) {
  testing::FakeMemory m;
  m.PutBytes(kBase, std::vector<uint8_t>(kTable - kBase, 0));
  m.PutWord(kBase, mark, 2);
  m.PutWord(kBase + 0x3C, kNewHeaders, 4);
  m.PutWord(kBase + kNewHeaders, signature, 4);
  m.PutWord(kBase + kNewHeaders + 6, count == 0xFFFF ? sections.size() : count, 2);
  m.PutWord(kBase + kNewHeaders + 20, kOptionalSize, 2);
  for (size_t i = 0; i < sections.size(); ++i) {
    if (i + 1 == missing) continue;
    uint64_t h = kTable + i * 40;
    m.PutBytes(h, std::vector<uint8_t>(40, 0));
    m.PutWord(h + 8, sections[i].virtual_size, 4);
    m.PutWord(h + 12, sections[i].virtual_address, 4);
    m.PutWord(h + 16, sections[i].raw_size, 4);
  }
  return m;
}

const std::vector<Section> kSections = {
    {0x1234, 0x1000, 0x1400},  // .text: raw size is the larger
    {0x3000, 0x3000, 0x0200},  // .data: virtual size is the larger
    {0x0100, 0x7000, 0x0200},
};

TEST(ImageSections, FindsTheSectionAndTheOffsetWithinIt) {
  struct {
    uint64_t address;
    uint32_t number, offset;
  } const cases[] = {
      {kBase + 0x1000, 1, 0x0},    {kBase + 0x1234, 1, 0x234},
      {kBase + 0x23FF, 1, 0x13FF},                               // inside the raw size only
      {kBase + 0x2400, 0, 0},                                    // between sections
      {kBase + 0x3000, 2, 0},      {kBase + 0x5FFF, 2, 0x2FFF},  // inside the virtual size only
      {kBase + 0x6000, 0, 0},      {kBase + 0x71FF, 3, 0x1FF},
      {kBase + 0x7200, 0, 0},      {kBase + 0x10, 0, 0},  // the headers
      {kBase - 1, 0, 0},                                  // below the image
  };
  testing::FakeMemory image = Image(kSections);
  for (const auto& c : cases) {
    ImageSection s = FindImageSection(kBase, c.address, image.Probe());
    EXPECT_EQ(s.number, c.number) << std::hex << c.address;
    EXPECT_EQ(s.offset, c.offset) << std::hex << c.address;
  }
}

TEST(ImageSections, HeadersThatAreNotAnImagesGiveNoSection) {
  struct {
    const char* what;
    testing::FakeMemory image;
  } cases[] = {
      {"no old header mark", Image(kSections, 0x4D5A)},
      {"no new header signature", Image(kSections, 0x5A4D, 0x454E)},
      {"more sections than a loader takes", Image(kSections, 0x5A4D, 0x4550, 97)},
      {"nothing mapped", testing::FakeMemory()},
  };
  for (auto& c : cases)
    EXPECT_EQ(FindImageSection(kBase, kBase + 0x1010, c.image.Probe()).number, 0u) << c.what;
}

TEST(ImageSections, AnUnreadableSectionHeaderEndsTheSearch) {
  testing::FakeMemory whole = Image(kSections);
  EXPECT_EQ(FindImageSection(kBase, kBase + 0x7010, whole.Probe()).number, 3u);
  testing::FakeMemory cut = Image(kSections, 0x5A4D, 0x4550, 0xFFFF, 2);
  EXPECT_EQ(FindImageSection(kBase, kBase + 0x1010, cut.Probe()).number, 1u);
  EXPECT_EQ(FindImageSection(kBase, kBase + 0x7010, cut.Probe()).number, 0u);
}

}  // namespace
}  // namespace kor
