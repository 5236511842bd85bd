// Image controls.
#include "ui/controls/image_control.h"

#include <algorithm>

#include "ui/controls/control_class.h"
#include "ui/images.h"

namespace kor {

namespace {

bool EndsWith(const std::string& s, const char* ext) {
  size_t n = strlen(ext);
  return s.size() >= n && _stricmp(s.c_str() + s.size() - n, ext) == 0;
}

LoadedImage FromBitmap(HBITMAP bitmap, bool owned) {
  LoadedImage image;
  BITMAP info = {};
  if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) == 0) return image;
  image.bitmap = bitmap;
  image.size = {info.bmWidth, info.bmHeight};
  image.owned = owned;
  return image;
}

LoadedImage FromIcon(HICON icon, bool owned) {
  LoadedImage image;
  if (icon == nullptr) return image;
  image.icon = icon;
  image.size = {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
  image.owned = owned;
  return image;
}

LoadedImage FromFile(const std::string& file, HINSTANCE module) {
  std::string resource = ImageResourceName(file);
  HANDLE h = LoadImageA(module, resource.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (h != nullptr) return FromBitmap(static_cast<HBITMAP>(h), true);
  if (EndsWith(file, ".BMP")) {
    h = LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0,
                   LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    return FromBitmap(static_cast<HBITMAP>(h), true);
  }
  ImageName name;
  name.kind = ImageName::Kind::kFile;
  name.file = file;
  LoadedIcon icon = LoadIconByName(name, module);
  return FromIcon(icon.icon, icon.owned);
}

class ImageControl : public ClassControl {
 public:
  using ClassControl::ClassControl;
  ~ImageControl() override { FreeImage(&image_); }

  HWND Create() {
    HINSTANCE module = static_cast<HINSTANCE>(window()->state().module_instance);
    image_ =
        LoadImageByName(record().image, module != nullptr ? module : GetModuleHandleA(nullptr));
    return CreateOfClass(kKorGraphic, "", 0, 0);
  }
  SIZE NaturalSize() const override { return image_.size; }
  bool Message(UINT msg, WPARAM, LPARAM, LRESULT* result) override {
    if (msg != WM_PAINT) return false;
    Paint();
    *result = 0;
    return true;
  }

 private:
  void Draw(HDC dc, HDC source, const RECT& at) {
    int w = at.right - at.left;
    int h = at.bottom - at.top;
    if (image_.icon != nullptr) {
      DrawIconEx(dc, at.left, at.top, image_.icon, w, h, 0, nullptr, DI_NORMAL);
    } else {
      SetStretchBltMode(dc, HALFTONE);
      StretchBlt(dc, at.left, at.top, w, h, source, 0, 0, image_.size.cx, image_.size.cy, SRCCOPY);
    }
  }

  void Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle(), &ps);
    RECT box;
    GetClientRect(handle(), &box);
    if (image_.size.cx > 0 && image_.size.cy > 0) {
      HDC source = CreateCompatibleDC(dc);
      HGDIOBJ old = image_.bitmap != nullptr ? SelectObject(source, image_.bitmap) : nullptr;
      RECT at = ImagePlace(box, image_.size, record().options);
      if (record().options & kImageTile) {
        for (int y = at.top; y < box.bottom; y += image_.size.cy)
          for (int x = at.left; x < box.right; x += image_.size.cx)
            Draw(dc, source, {x, y, x + image_.size.cx, y + image_.size.cy});
      } else {
        Draw(dc, source, at);
      }
      if (old != nullptr) SelectObject(source, old);
      DeleteDC(source);
    }
    EndPaint(handle(), &ps);
  }

  LoadedImage image_;
};

}  // namespace

LoadedImage LoadImageByName(const ImageName& name, HINSTANCE module) {
  switch (name.kind) {
    case ImageName::Kind::kFile: return FromFile(name.file, module);
    case ImageName::Kind::kReference: {
      if (name.ref_kind == 2) {
        HANDLE h = LoadImageA(module, MAKEINTRESOURCEA(name.Identifier()), IMAGE_BITMAP, 0, 0,
                              LR_CREATEDIBSECTION);
        if (h != nullptr) return FromBitmap(static_cast<HBITMAP>(h), true);
      }
      LoadedIcon icon = LoadIconByName(name, module);
      return FromIcon(icon.icon, icon.owned);
    }
    default: return {};
  }
}

void FreeImage(LoadedImage* image) {
  if (image->owned && image->bitmap != nullptr) DeleteObject(image->bitmap);
  if (image->owned && image->icon != nullptr) DestroyIcon(image->icon);
  *image = {};
}

RECT ImagePlace(const RECT& box, SIZE image, uint8_t options) {
  if (options & kImageStretch) return box;
  RECT at = {box.left, box.top, box.left + image.cx, box.top + image.cy};
  if (options & kImageCentre) {
    int dx = ((box.right - box.left) - image.cx) / 2;
    int dy = ((box.bottom - box.top) - image.cy) / 2;
    OffsetRect(&at, dx, dy);
  }
  return at;
}

void* CreateImage(const ControlCreation& creation) { return MakeControl<ImageControl>(creation); }

}  // namespace kor
