// Tooltips: one platform tooltip window (class "tooltips_class32", always
// shown, top-most, made after the common controls are loaded) per runtime
// thread, created on first use. A control with a tooltip text is a tool
// identified by its child window (the tooltip watches the child's mouse
// messages itself); it is removed when the control goes.
//
// The text: a tooltip text beginning with "~" shows the control's
// status-bar message when it has one; otherwise the text as it stands.
#pragma once

#include <windows.h>

#include <string>

namespace kor {

class Control;

// The text a control's tooltip shows; empty = no tooltip.
std::string TooltipText(const std::string& tooltip, const std::string& message);
// Adds the control's child as a tool (when its text is not empty).
void AddTooltip(const Control& control);
void RemoveTooltip(const Control& control);
// The calling thread's tooltip window, null before the first tool.
HWND ThreadTooltipWindow();

}  // namespace kor
