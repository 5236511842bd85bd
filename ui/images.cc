// Icons and cursors from image names.
#include "ui/images.h"

namespace kor {

namespace {

bool IsResourceOnly(const std::string& file) { return !file.empty() && file[0] == '~'; }

}  // namespace

std::string ImageResourceName(const std::string& file) {
  std::string name = IsResourceOnly(file) ? file.substr(1) : file;
  size_t dot = name.find_last_of('.');
  size_t slash = name.find_last_of("\\/:");
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) name[dot] = '_';
  return name;
}

namespace {

// An image from the module's resources by name or number, shared (never
// destroyed); null when the module has none.
HANDLE FromModule(HINSTANCE module, const char* id, UINT type) {
  if (module == nullptr) return nullptr;
  return LoadImageA(module, id, type, 0, 0, LR_DEFAULTSIZE | LR_SHARED);
}

}  // namespace

LoadedIcon LoadIconByName(const ImageName& name, HINSTANCE module) {
  LoadedIcon out;
  if (name.kind == ImageName::Kind::kFile) {
    std::string resource = ImageResourceName(name.file);
    out.icon = static_cast<HICON>(FromModule(module, resource.c_str(), IMAGE_ICON));
    if (out.icon == nullptr && !IsResourceOnly(name.file)) {
      out.icon = static_cast<HICON>(LoadImageA(nullptr, name.file.c_str(), IMAGE_ICON, 0, 0,
                                               LR_LOADFROMFILE | LR_DEFAULTSIZE));
      out.owned = out.icon != nullptr;
    }
  } else if (name.kind == ImageName::Kind::kReference) {
    const char* id = MAKEINTRESOURCEA(name.Identifier());
    if (name.ref_kind == 1) {
      out.icon = LoadIconA(nullptr, id);
    } else {
      out.icon = static_cast<HICON>(FromModule(module, id, IMAGE_ICON));
    }
  }
  return out;
}

LoadedCursor LoadCursorByName(const ImageName& name, HINSTANCE module) {
  LoadedCursor out;
  if (name.kind == ImageName::Kind::kFile) {
    std::string resource = ImageResourceName(name.file);
    out.cursor = static_cast<HCURSOR>(FromModule(module, resource.c_str(), IMAGE_CURSOR));
    if (out.cursor == nullptr && !IsResourceOnly(name.file)) {
      out.cursor = static_cast<HCURSOR>(
          LoadImageA(nullptr, name.file.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE));
      out.owned = out.cursor != nullptr;
    }
  } else if (name.kind == ImageName::Kind::kReference) {
    if (name.ref_kind == 1) {
      out.cursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(CursorIdentifier(name.stored)));
    } else {
      out.cursor = static_cast<HCURSOR>(
          FromModule(module, MAKEINTRESOURCEA(name.Identifier()), IMAGE_CURSOR));
    }
  }
  return out;
}

}  // namespace kor
