// Loading the icons and cursors a window record names (image names of the
// resource format, shared_blocks.h):
//   - a file name: the program's image resource whose name is the file name
//     with the "." of its extension turned into "_" ("C:\ICONS\CONNECT.ICO"
//     is the resource "C:\ICONS\CONNECT_ICO"), when the module has one; else
//     the file itself from the disk; a name that starts with "~" names only
//     the program's resource ("~c:\images\check.ico" is the resource
//     "c:\images\check_ico") and is never read from the disk;
//   - a reference of kind 2: the module's image resource with that number;
//   - a reference of kind 1: the platform's own icon or cursor.
// A missing image is no error: the result is null.
#pragma once

#include <windows.h>

#include <string>

#include "ui/resource/shared_blocks.h"

namespace kor {

// The resource name a file name stands for (a leading "~" dropped).
std::string ImageResourceName(const std::string& file);

struct LoadedIcon {
  HICON icon = nullptr;
  bool owned = false;  // loaded from a file: DestroyIcon when done
};
LoadedIcon LoadIconByName(const ImageName& name, HINSTANCE module);

struct LoadedCursor {
  HCURSOR cursor = nullptr;
  bool owned = false;
};
LoadedCursor LoadCursorByName(const ImageName& name, HINSTANCE module);

}  // namespace kor
