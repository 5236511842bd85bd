// Tool bars (KorToolBar): a child window of its window that holds the tool
// bar record's controls, made from the tool bar's own control records in
// the same way as the window's controls.
//
// Position: the record's, in the window's units; an omitted x or y is 0, an
// omitted width the window's client width, an omitted height
// kToolBarDefaultHeight units. The controls are made through the creation
// table (their fields, identifiers, events and tooltips are as everywhere)
// and then moved into the tool bar, their positions counting from its
// corner. The tool bar passes its controls' commands and notifications on
// to the window, and Tab reaches into it (it is a control parent).
#pragma once

#include <windows.h>

#include "ui/resource/resource_buffer.h"
#include "ui/resource/window_records.h"

namespace kor {

class Window;

inline constexpr int32_t kToolBarDefaultHeight = 18;

// The window's tool bar (installed as the window library's builder).
void BuildToolBar(Window* window, const ResourceBuffer& buffer, const ToolBarRecord& record);
// The tool bar child of a window, null when it has none.
HWND ToolBarOf(HWND window);

}  // namespace kor
