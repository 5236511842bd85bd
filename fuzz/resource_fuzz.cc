// Feeds arbitrary bytes to the window-resource decoder as a compiled
// resource: the container split, every window with its menus, tool bar and
// controls, the shared blocks, and the unit conversion of every position.
// A resource may be damaged; nothing may crash or read outside the buffer.
// Seeds: the program's own compiled resources (build/fuzz/fuzz-seeds/).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/resource/resource_buffer.h"
#include "ui/resource/units.h"
#include "ui/resource/window_format.h"
#include "ui/resource/window_records.h"

namespace {

using namespace kor;

void Convert(const UnitScale& s, const Position& p) {
  ToPixelsX(s, p.x);
  ToPixelsY(s, p.y);
  Converted w = ToPixelsX(s, p.width);
  Converted h = ToPixelsY(s, p.height);
  RoundUpToUnitsX(s, w.pixels);
  RoundUpToUnitsY(s, h.pixels);
}

void Walk(const UnitScale& s, const std::vector<ControlRecord>& controls) {
  for (const ControlRecord& c : controls) {
    Convert(s, c.position);
    EffectiveTooltip(c.message);
    CursorIdentifier(c.cursor.stored);
    Walk(s, c.children);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ContainerView container;
  if (!SplitContainer(data, size, &container)) return 0;
  ResourceBuffer buffer;
  if (!buffer.Assign(container.body, container.body_size)) return 0;
  std::vector<int32_t> offsets;
  DecodeError error;
  ListWindows(buffer, &offsets, &error);
  for (int32_t at : offsets) {
    WindowTree tree;
    if (!DecodeWindowTree(buffer, at, &tree, &error)) continue;
    UnitMetrics metrics;
    metrics.average_char_width = 6;
    metrics.char_height = 13;
    UnitScale scale = MakeUnitScale(tree.window.attr, metrics, tree.window.type == kRecReport);
    Convert(scale, tree.window.position);
    Walk(scale, tree.controls);
    if (tree.tool_bar) Walk(scale, tree.tool_bar->controls);
  }
  // The first bytes of the body taken as the offset of a control chain.
  int32_t first = 0;
  if (buffer.ReadI32(kBodyBase, &first)) {
    std::vector<ControlRecord> controls;
    DecodeControls(buffer, first, &controls, &error);
  }
  return 0;
}
