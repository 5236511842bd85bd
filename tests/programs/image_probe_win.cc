// Loads the program's images from its own resources through the platform, as
// the window library will: each argument is "icon:NAME", "icon:#NUMBER",
// "bitmap:NAME" or "data:NAME". Prints one line per image ("NAME 16x16" or
// "NAME missing") and exits with the number of images that did not load.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The image's size, or 0 x 0 when it does not load.
SIZE Load(const std::string& kind, const std::string& name) {
  HINSTANCE self = GetModuleHandleA(nullptr);
  const char* id = name.c_str();
  if (!name.empty() && name[0] == '#') id = MAKEINTRESOURCEA(atoi(name.c_str() + 1));
  SIZE size = {0, 0};
  if (kind == "data") {
    HRSRC found = FindResourceA(self, id, MAKEINTRESOURCEA(10));  // RT_RCDATA
    DWORD bytes = found ? SizeofResource(self, found) : 0;
    HGLOBAL loaded = found ? LoadResource(self, found) : nullptr;
    const unsigned char* p =
        loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    if (p != nullptr && bytes >= 10 && memcmp(p, "GIF89a", 6) == 0) {
      size.cx = p[6] | p[7] << 8;
      size.cy = p[8] | p[9] << 8;
    }
    return size;
  }
  UINT type = kind == "icon" ? IMAGE_ICON : IMAGE_BITMAP;
  HANDLE image = LoadImageA(self, id, type, 0, 0, 0);
  if (image == nullptr) return size;
  if (type == IMAGE_ICON) {
    ICONINFO info;
    BITMAP bm;
    if (GetIconInfo(static_cast<HICON>(image), &info) &&
        GetObjectA(info.hbmColor, sizeof bm, &bm)) {
      size.cx = bm.bmWidth;
      size.cy = bm.bmHeight;
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
    }
    DestroyIcon(static_cast<HICON>(image));
  } else {
    BITMAP bm;
    if (GetObjectA(image, sizeof bm, &bm)) {
      size.cx = bm.bmWidth;
      size.cy = bm.bmHeight;
    }
    DeleteObject(image);
  }
  return size;
}

}  // namespace

int main(int argc, char** argv) {
  int missing = 0;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    size_t colon = arg.find(':');
    SIZE size = Load(arg.substr(0, colon), arg.substr(colon + 1));
    if (size.cx == 0) {
      printf("%s missing\n", argv[i]);
      ++missing;
    } else {
      printf("%s %ldx%ld\n", argv[i], static_cast<long>(size.cx), static_cast<long>(size.cy));
    }
  }
  return missing;
}
