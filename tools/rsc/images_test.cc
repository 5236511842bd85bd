// Tests of the image files: art read into pixels, and the icon, bitmap and
// GIF encoders checked by decoding their files with ImageMagick, a decoder
// that owes nothing to this code. Without ImageMagick the decoding checks are
// skipped.
#include "tools/rsc/images.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace rsc {
namespace {

constexpr const char* kConvert = "/usr/bin/convert";

// The pixels ImageMagick reads from `bytes` as 0x00BBGGRR, -1 for transparent.
bool Decode(const std::vector<uint8_t>& bytes, const char* ext, std::vector<int32_t>* out) {
  if (access(kConvert, X_OK) != 0) return false;
  std::string base = "/tmp/rsc_images_" + std::to_string(getpid()) + "_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::string file = base + ext, text = base + ".txt";
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  std::string command = std::string(kConvert) + " " + file + " -alpha on -depth 8 txt:" + text;
  int status = system(command.c_str());
  FILE* f = fopen(text.c_str(), "r");
  char line[256];
  out->clear();
  while (status == 0 && f != nullptr && fgets(line, sizeof line, f) != nullptr) {
    int x, y, r, g, b, a;
    if (sscanf(line, "%d,%d: (%d,%d,%d,%d", &x, &y, &r, &g, &b, &a) != 6) continue;
    out->push_back(a == 0 ? -1 : r | g << 8 | b << 16);
  }
  if (f != nullptr) fclose(f);
  remove(file.c_str());
  remove(text.c_str());
  return status == 0;
}

// A picture of `colours` different colours (and transparent pixels).
Picture Sample(int width, int height, bool transparent, int colours = 1 << 24) {
  Picture p;
  p.name = "X.ICO";
  p.width = width;
  p.height = height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int32_t c = (((x * 37) ^ (y * 91)) % colours) * 0x010305 & 0xFFFFFF;
      p.pixels.push_back(transparent && (x + y) % 5 == 0 ? -1 : c);
    }
  }
  return p;
}

TEST(Images, IconsKeepColoursAndTransparency) {
  for (int side : {16, 20, 32}) {
    Picture p = Sample(side, side, true);
    std::vector<int32_t> pixels;
    if (!Decode(EncodeIcon(p), ".ico", &pixels)) GTEST_SKIP() << "no ImageMagick";
    EXPECT_EQ(pixels, p.pixels) << side;
  }
}

TEST(Images, BitmapsPutTheButtonFaceWhereTransparent) {
  Picture p = Sample(13, 7, true);  // rows need padding
  std::vector<int32_t> pixels;
  if (!Decode(EncodeBitmap(p), ".bmp", &pixels)) GTEST_SKIP() << "no ImageMagick";
  ASSERT_EQ(pixels.size(), p.pixels.size());
  for (size_t i = 0; i < pixels.size(); ++i)
    EXPECT_EQ(pixels[i], p.pixels[i] < 0 ? 0xC0C0C0 : p.pixels[i]) << i;
}

TEST(Images, GifsOfManyCodesDecode) {
  // 40 x 40 pixels: several clear codes; 200 colours and transparency.
  Picture p = Sample(40, 40, true, 200);
  std::vector<int32_t> pixels;
  if (!Decode(EncodeGif(p), ".gif", &pixels)) GTEST_SKIP() << "no ImageMagick";
  EXPECT_EQ(pixels, p.pixels);
}

TEST(Images, ArtIsReadWithItsNames) {
  const char* art =
      "palette\n"
      "  .  none\n"
      "  k  rgb(0,0,0)\n"
      "  r  rgb(255,0,0)\n"
      "image \"C:\\ICONS\\A.ICO\"\n"
      "  .k\n"
      "  rk\n"
      "image resource 101\n"
      "  k\n"
      "image \"Exit.gif\"\n"
      "  r\n";
  std::vector<Picture> pictures;
  std::vector<Diagnostic> d;
  ASSERT_TRUE(ReadArt(art, &pictures, &d)) << d[0].message;
  ASSERT_EQ(pictures.size(), 3u);
  EXPECT_EQ(pictures[0].pixels, (std::vector<int32_t>{-1, 0, 0x0000FF, 0}));
  EXPECT_EQ(ResourceNameOf(pictures[0]), "C:\\ICONS\\A_ICO");
  EXPECT_EQ(KindOf(pictures[0]), PictureKind::kIcon);
  EXPECT_EQ(ResourceNameOf(pictures[1]), "101");
  EXPECT_EQ(ResourceNameOf(pictures[2]), "EXIT_GIF");
  EXPECT_EQ(KindOf(pictures[2]), PictureKind::kGif);
}

TEST(Images, ArtFaultsNameTheirLine) {
  struct Case {
    const char* art;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"palette\n  k  rgb(0,0,0)\nimage \"a.ico\"\n  kk\n  k\n", 5, "1 pixels, the first 2"},
      {"palette\n  k  rgb(0,0,0)\nimage \"a.ico\"\n  kx\n", 4, "'x' is not in the palette"},
      {"palette\n  k  rgb(0,0,0)\n  k  rgb(1,1,1)\n", 3, "twice"},
      {"palette\n  kk  rgb(0,0,0)\n", 2, "one character"},
      {"image \"a.png\"\n  k\n", 1, ".ico, .bmp or .gif"},
      {"image \"1.ico\"\n  k\n", 1, "start with a letter"},
      {"image \"my file.ico\"\n  k\n", 1, "no blank"},
      {"image \"a.ico\"\n", 1, "1 to 256 rows"},
      {"picture\n", 1, "'palette' or 'image'"},
  };
  for (const Case& c : cases) {
    std::vector<Picture> pictures;
    std::vector<Diagnostic> d;
    EXPECT_FALSE(ReadArt(c.art, &pictures, &d)) << c.art;
    ASSERT_FALSE(d.empty());
    EXPECT_EQ(d[0].line, c.line) << c.art;
    EXPECT_NE(d[0].message.find(c.message), std::string::npos) << d[0].message;
  }
}

}  // namespace
}  // namespace rsc
