// Icon, bitmap and GIF encoders for the program's images.
//
// Icon file: a 6-byte header (0, 1 = icon, count 1), one 16-byte directory
// entry (width, height, 0 colours, 0, 1 plane, 32 bits, size, offset 22),
// then the image: a 40-byte bitmap header with twice the height, the pixels
// as blue, green, red, alpha from the bottom row up, and the transparency
// mask (1 bit a pixel, 1 = transparent, rows padded to 32 bits).
//
// Bitmap file: a 14-byte file header ("BM", size, 0, offset 54), the 40-byte
// bitmap header, the pixels as blue, green, red from the bottom row up, rows
// padded to 4 bytes.
//
// GIF: "GIF89a", the screen descriptor with a 256-colour table, a graphic
// control extension naming the transparent colour, the image descriptor and
// the pixels coded with LZW at a minimum code size of 8. A clear code is sent
// before the code table would grow past 9 bits, so every code is 9 bits wide.
#include <map>

#include "tools/rsc/images.h"

namespace rsc {

namespace {

constexpr int32_t kButtonFace = 0xC0C0C0;

void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

void BitmapInfo(std::vector<uint8_t>& b, int width, int height, int bits, uint32_t image_size) {
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(width));
  Put32(b, static_cast<uint32_t>(height));
  Put16(b, 1);
  Put16(b, static_cast<uint32_t>(bits));
  Put32(b, 0);  // no compression
  Put32(b, image_size);
  for (int i = 0; i < 4; ++i) Put32(b, 0);
}

int32_t At(const Picture& p, int x, int y) {
  return p.pixels[static_cast<size_t>(y * p.width + x)];
}

void PutBgr(std::vector<uint8_t>& b, int32_t colour) {
  b.push_back(static_cast<uint8_t>(colour >> 16));
  b.push_back(static_cast<uint8_t>(colour >> 8));
  b.push_back(static_cast<uint8_t>(colour));
}

// Packs codes of `width` bits, lowest bit first, into sub-blocks of 255.
class CodeWriter {
 public:
  void Put(uint32_t code, int width) {
    acc_ |= code << bits_;
    bits_ += width;
    while (bits_ >= 8) {
      bytes_.push_back(static_cast<uint8_t>(acc_));
      acc_ >>= 8;
      bits_ -= 8;
    }
  }
  std::vector<uint8_t> Finish() {
    if (bits_ > 0) bytes_.push_back(static_cast<uint8_t>(acc_));
    std::vector<uint8_t> out;
    for (size_t i = 0; i < bytes_.size(); i += 255) {
      size_t n = std::min<size_t>(255, bytes_.size() - i);
      out.push_back(static_cast<uint8_t>(n));
      out.insert(out.end(), bytes_.begin() + static_cast<long>(i),
                 bytes_.begin() + static_cast<long>(i + n));
    }
    out.push_back(0);
    return out;
  }

 private:
  uint32_t acc_ = 0;
  int bits_ = 0;
  std::vector<uint8_t> bytes_;
};

}  // namespace

std::vector<uint8_t> EncodeIcon(const Picture& p) {
  int mask_row = ((p.width + 31) / 32) * 4;
  uint32_t image = static_cast<uint32_t>(40 + p.width * p.height * 4 + mask_row * p.height);
  std::vector<uint8_t> b;
  Put16(b, 0);
  Put16(b, 1);
  Put16(b, 1);
  b.push_back(static_cast<uint8_t>(p.width == 256 ? 0 : p.width));
  b.push_back(static_cast<uint8_t>(p.height == 256 ? 0 : p.height));
  b.push_back(0);
  b.push_back(0);
  Put16(b, 1);
  Put16(b, 32);
  Put32(b, image);
  Put32(b, 22);
  BitmapInfo(b, p.width, 2 * p.height, 32, 0);
  for (int y = p.height - 1; y >= 0; --y) {
    for (int x = 0; x < p.width; ++x) {
      int32_t c = At(p, x, y);
      PutBgr(b, c < 0 ? 0 : c);
      b.push_back(c < 0 ? 0 : 0xFF);
    }
  }
  for (int y = p.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(static_cast<size_t>(mask_row), 0);
    for (int x = 0; x < p.width; ++x)
      if (At(p, x, y) < 0) row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

std::vector<uint8_t> EncodeBitmap(const Picture& p) {
  int row = (p.width * 3 + 3) / 4 * 4;
  uint32_t image = static_cast<uint32_t>(row * p.height);
  std::vector<uint8_t> b = {'B', 'M'};
  Put32(b, 54 + image);
  Put32(b, 0);
  Put32(b, 54);
  BitmapInfo(b, p.width, p.height, 24, image);
  for (int y = p.height - 1; y >= 0; --y) {
    for (int x = 0; x < p.width; ++x) {
      int32_t c = At(p, x, y);
      PutBgr(b, c < 0 ? kButtonFace : c);
    }
    b.resize(b.size() + static_cast<size_t>(row - p.width * 3), 0);
  }
  return b;
}

std::vector<uint8_t> EncodeGif(const Picture& p) {
  // Colour table: the transparent entry first (index 0), then each colour.
  std::map<int32_t, int> index = {{-1, 0}};
  std::vector<int32_t> colours = {0};
  for (int32_t c : p.pixels) {
    if (index.count(c) == 0 && colours.size() < 256) {
      index[c] = static_cast<int>(colours.size());
      colours.push_back(c);
    }
  }
  std::vector<uint8_t> b = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(b, static_cast<uint32_t>(p.width));
  Put16(b, static_cast<uint32_t>(p.height));
  b.insert(b.end(), {0xF7, 0, 0});  // global table of 256 colours, 8 bits each
  for (size_t i = 0; i < 256; ++i) {
    int32_t c = i < colours.size() ? colours[i] : 0;
    b.insert(b.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8),
                       static_cast<uint8_t>(c >> 16)});
  }
  b.insert(b.end(), {0x21, 0xF9, 4, 0x01, 0, 0, 0, 0});  // colour 0 is transparent
  b.push_back(0x2C);
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, static_cast<uint32_t>(p.width));
  Put16(b, static_cast<uint32_t>(p.height));
  b.push_back(0);
  constexpr int kMinCodeSize = 8;
  constexpr uint32_t kClear = 1u << kMinCodeSize, kEnd = kClear + 1;
  // After a clear the decoder adds one table entry per code from the second
  // on; 254 codes keep its table below 512 entries, so the width stays 9.
  constexpr int kCodesPerClear = 254;
  b.push_back(kMinCodeSize);
  CodeWriter codes;
  int since_clear = kCodesPerClear;
  for (int32_t c : p.pixels) {
    if (since_clear == kCodesPerClear) {
      codes.Put(kClear, kMinCodeSize + 1);
      since_clear = 0;
    }
    codes.Put(static_cast<uint32_t>(index.count(c) ? index[c] : 0), kMinCodeSize + 1);
    ++since_clear;
  }
  codes.Put(kEnd, kMinCodeSize + 1);
  std::vector<uint8_t> data = codes.Finish();
  b.insert(b.end(), data.begin(), data.end());
  b.push_back(0x3B);
  return b;
}

}  // namespace rsc
