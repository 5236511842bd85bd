// A control's bound variable as text: shown through the control's picture
// (FORMAT) and taken back from edited text (DEFORMAT), for entry fields,
// spin boxes, bound strings and check boxes.
//
// The picture is the record's picture with its "@" put back; a control
// without one shows a string variable as it stands and a number as the
// language's string conversion gives it. Integer types format as whole
// numbers (dates and times as day counts and time values), REAL, SREAL and
// the decimal types through their real value. A control without a bound
// variable shows "" and takes nothing.
#pragma once

#include <string>
#include <string_view>

#include "ui/control.h"

namespace kor {

// The variable formatted with the control's picture.
std::string FormatBound(const Control& control);
// Reads `text` through the picture into the variable; false (variable
// unchanged) when the picture cannot read it.
bool StoreBound(const Control& control, std::string_view text);
// Assigns `text` as it stands (no picture).
void AssignBoundText(const Control& control, std::string_view text);
// The variable as a number, and storing one.
double BoundReal(const Control& control);
void StoreBoundReal(const Control& control, double value);
// The picture text ("@n9.2"), empty when the control has none.
std::string ControlPicture(const Control& control);

}  // namespace kor
