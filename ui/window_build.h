// Building a window's platform side from its decoded record: the window's
// font and units, its class, icon, cursor and menu bar, the platform window,
// its controls through the control-kind table, and its timer; and giving
// those objects back when the window closes.
//
// Styles from the second attribute word (window_format.h):
//   frame 0x20 resizable (thick frame), 0x40 dialog frame, 0x60 none (pop-up),
//   0 single border; a non-empty title adds the caption bar; 0x800 the
//   maximise button and the system menu; 0x1000 the system menu; a window
//   with an icon of its own also gets the minimise button and the system
//   menu. 0x80 centres the window over the window below it (else the
//   screen); 0x4000 and 0x8000 open it maximised or minimised.
// Position: x, y, width and height in the window's unit are the client
// area's; an omitted x or y takes the platform's default place, an omitted
// width or height its default size.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/resource/resource_buffer.h"
#include "ui/resource/window_records.h"

namespace kor {

class Window;

inline constexpr UINT_PTR kWindowTimerId = 1;  // EVENT:Timer
inline constexpr UINT_PTR kWaitTimerId = 2;    // the runtime's timed waits (the pump's)

// The platform styles of a window record; `own_icon` when it names an icon.
DWORD WindowStyleOf(const WindowRecord& record, bool own_icon);
DWORD WindowExStyleOf(const WindowRecord& record);
// The show command the start of the first loop uses (maximised, minimised,
// or normal).
int ShowCommandOf(const WindowRecord& record);

// Font, units, class, icon, cursor, menu and the platform window. false when
// the platform refuses the window (the caller posts 529); a refused class
// stops the runtime with 503 and gives false as well.
bool BuildPlatformWindow(Window* window, const WindowTree& tree);
// The controls of the tree, in record order, through the creation table;
// first the tool bar's, through the tool bar builder when one is installed
// (a tool bar without one is left out).
void BuildControls(Window* window, const WindowTree& tree);
// Makes a window's tool bar and its controls (installed by the control
// library, which holds the tool bar class).
using ToolBarBuilder = void (*)(Window* window, const ResourceBuffer& buffer,
                                const ToolBarRecord& record);
void SetToolBarBuilder(ToolBarBuilder builder);
// Platform timer 1 at period x 10 ms when the record has a period.
void StartWindowTimer(Window* window);
// Gives back the class, fonts, icon, cursor and menu once the platform
// window is gone (or was never made).
void ReleasePlatformObjects(Window* window);
// The font of a font block, made once per window and block (controls that
// share a block share the font); the window's font for a record without one.
HFONT FontOf(Window* window, const FontBlock& block);
// Whether `field` is the field number of one of the window's menu items.
bool IsMenuField(const Window* window, int32_t field);

}  // namespace kor
