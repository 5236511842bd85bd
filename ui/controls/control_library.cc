// The control library's entries in the creation table.
#include "ui/controls/control_library.h"

#include "ui/controls/buttons.h"
#include "ui/controls/entry.h"
#include "ui/controls/image_control.h"
#include "ui/controls/list_box.h"
#include "ui/controls/text_controls.h"

namespace kor {

namespace {

struct LibraryKind {
  uint8_t type;
  ControlKind kind;
};

constexpr LibraryKind kKinds[] = {
    {kRecButton, {"KorButton", &CreateButton}}, {kRecCheck, {"KorCheck", &CreateCheck}},
    {kRecGroup, {"KorGroup", &CreateGroupBox}}, {kRecPrompt, {"KorPrompt", &CreatePrompt}},
    {kRecString, {"KorString", &CreateString}}, {kRecBoundString, {"KorString", &CreateString}},
    {kRecEntry, {"KorEdit", &CreateEntry}},     {kRecSpin, {"KorEdit", &CreateEntry}},
    {kRecList, {"KorList", &CreateList}},       {kRecImage, {"KorGraphic", &CreateImage}},
};

}  // namespace

const ControlKind* LibraryControlKind(uint8_t type) {
  for (const LibraryKind& k : kKinds)
    if (k.type == type) return &k.kind;
  return nullptr;
}

int RegisterLibraryControlKinds(const uint8_t* types, size_t count) {
  int n = 0;
  for (size_t i = 0; i < count; ++i) {
    const ControlKind* kind = LibraryControlKind(types[i]);
    if (kind != nullptr && RegisterControlKind(types[i], kind)) ++n;
  }
  return n;
}

}  // namespace kor
