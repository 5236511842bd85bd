// Image controls (KorGraphic): a picture of the program's resources or a
// file, drawn in the control.
//
// The image name (window_records.h) is looked up as a bitmap, then as an
// icon: a file name first as the program's resource of that name with the
// extension's "." made "_" ("VELOCORE.BMP" is the resource "VELOCORE_BMP"),
// then as the file itself (".BMP" and ".ICO" files); a reference of kind 2
// as the program's resource with that number; kind 1 as one of the
// platform's icons. Other image formats (GIF, JPEG, PCX, metafiles) are not
// loaded here and leave the control empty.
//
// Options: stretch (0x01) fills the control, centre (0x02) centres the
// image, tile (0x04) repeats it; none draws it at the top left. An omitted
// width or height takes the image's own size.
#pragma once

#include <windows.h>

#include <string>

#include "ui/resource/control_kinds.h"
#include "ui/resource/shared_blocks.h"

namespace kor {

struct LoadedImage {
  HBITMAP bitmap = nullptr;
  HICON icon = nullptr;
  SIZE size = {0, 0};
  bool owned = false;  // loaded from a file or copied: the control frees it
};
LoadedImage LoadImageByName(const ImageName& name, HINSTANCE module);
void FreeImage(LoadedImage* image);

// Where the image goes in a control of `box` for `options` (one rectangle;
// tiling repeats it from there).
RECT ImagePlace(const RECT& box, SIZE image, uint8_t options);

void* CreateImage(const ControlCreation& creation);

}  // namespace kor
