// The program's images, drawn in a text file one character per pixel, and
// written as the icon, bitmap and GIF files the Windows resources take in.
//
// The art file (resources/images.txt):
//
//   palette
//     .  none                # transparent
//     k  rgb(0,0,0)
//   image "C:\ICONS\CONNECT.ICO"     # an image the windows name by file
//     ..kk..
//     .kwwk.
//   image resource 101               # icon 101 of the program (0xFF 2 reference)
//     ...
//
// Every row of an image has the same length; every character is in the
// palette. A name's extension chooses the kind: ".ICO" an icon (32-bit colour
// with a transparency mask), ".BMP" a bitmap (24-bit; transparent pixels take
// the button-face grey), ".GIF" a GIF image (transparent colour kept).
// Numbered images are icons. A named image becomes the resource whose name is
// the file name with the "." of its extension turned into "_", in upper case
// ("C:\ICONS\CONNECT_ICO"); such a name starts with a letter and holds no
// blank, quote or comma.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/rsc/text_tree.h"

namespace rsc {

struct Picture {
  int line = 0;
  std::string name;  // the file name the windows use; empty for a numbered icon
  int32_t number = 0;
  int width = 0;
  int height = 0;
  std::vector<int32_t> pixels;  // row by row from the top; 0x00BBGGRR, -1 transparent
};

bool ReadArt(const std::string& text, std::vector<Picture>* out,
             std::vector<Diagnostic>* diagnostics);

enum class PictureKind { kIcon, kBitmap, kGif };
PictureKind KindOf(const Picture& p);
// The resource name ("C:\ICONS\CONNECT_ICO") or number, as the .rc writes
// it: a bare word.
std::string ResourceNameOf(const Picture& p);

std::vector<uint8_t> EncodeIcon(const Picture& p);
std::vector<uint8_t> EncodeBitmap(const Picture& p);
// A GIF holds at most 255 colours besides the transparent one (an art
// palette cannot name more); further colours are drawn transparent.
std::vector<uint8_t> EncodeGif(const Picture& p);

// A string as a resource script writes it (quotes, backslashes doubled).
std::string RcString(const std::string& s);

}  // namespace rsc
