// A window description as the compiler holds it: the module-qualified name
// and its windows, in the decoded form of the runtime's resource reader, so
// that what the compiler writes and what it reads back compare directly.
//
// The description language (resources/MODULE.wnd; lexical rules in
// text_tree.h). One property a line, indented under what it belongs to:
//
//   resource "mxb$MXB001"               the leading module-qualified name
//   window "P1$WINDOW"                  a window (report "..." for a report)
//     title "..."                       caption text (none: no caption bar)
//     at X Y WIDTH HEIGHT               each a number or "default"
//     unit dialog|inch/25|inch/1000|pixel          (dialog when not given)
//     frame single|resizable|double|none [centred maxbox sysmenu look3d
//           maximised minimised]        the second attribute word
//     attr 0x..  reserved A B C         other bits and the reserved words
//     font "FACE" SIZE [colour C] [weight normal|bold|N]
//     colours C C C                     default, rgb(r,g,b) or 0x...
//     icon IMAGE   cursor IMAGE         "FILE", resource N, system NAME|N,
//                                       ref KIND N, none
//     timer HUNDREDTHS   status W|rest ...   wallpaper MODE IMAGE
//     message "..."  tip "..."  help "..."  key KEY  alert KEY ...
//     menubar                           then: menu FIELD "text" holding
//                                       menu and item FIELD ["text"] lines
//     toolbar                           then: at, and controls
//     KIND FIELD ["text"]               the controls, in record order
//
// Control kinds: show (a variable through a picture), string, image, entry,
// button, prompt, check, group (holds controls), list, spin. Their properties
// (each where the kind has it): name, at, attr (notab right centre disabled
// hidden; entry and spin: readonly required upper password; button: repeat;
// list: paged vscroll hscroll), reserved, var TYPE[(SIZE[,PLACES])] [@PIC],
// var2, source (a list's rows, a spin box's values), format, picture @PIC,
// graphic IMAGE (image), icon IMAGE, images IMAGE IMAGE (check), options
// (button and check: default icon-left; list: extra; image: stretch centre
// tile; items: checked separator), action close|N, repeat DELAY INTERVAL,
// value N, range LOW HIGH, step S, drop N, setting N, list-value N,
// list-text "..." N, list-more N, message, tip, help, key, alert, font,
// cursor, colours. Keys: Enter, Insert, PgUp, F5, A, 7 ... with Ctrl+, Alt+,
// Shift+ (Ctrl+Enter is 525), vkN for others.
//
// Field numbers run 1, 2, 3 ... in record order (menus, then the tool bar's
// controls, then the window's, groups' children after their group); 0 marks
// a record the program never addresses. The menu bar and the tool bar come
// before the controls. Values left out take the format's "none": 0, an empty
// text, no block. The printer writes one canonical layout: the properties in
// the order above, those at their "none" left out.
#pragma once

#include <string>
#include <vector>

#include "tools/rsc/text_tree.h"
#include "ui/resource/window_records.h"

namespace rsc {

// A block the parser found present but that is not laid out yet (font,
// colours, variable, status widths) has this offset until it is written.
inline constexpr int32_t kPending = -1;

struct Description {
  std::string module;  // "mxb$MXB001"
  std::vector<kor::WindowTree> windows;
};

// Reads a description text. Faults are reported per line; false when any.
bool ParseDescription(const std::string& text, Description* out,
                      std::vector<Diagnostic>* diagnostics);

// The compiled container: the leading name, then the body. false with a
// message when the body cannot be laid out (larger than offsets reach).
bool WriteResource(const Description& description, std::vector<uint8_t>* out, std::string* error);

// Decodes a container back into a description; false with a message when the
// bytes are not a sound resource.
bool ReadResource(const std::vector<uint8_t>& bytes, Description* out, std::string* error);

// The description text of a description, in the one canonical layout.
std::string PrintDescription(const Description& description);

}  // namespace rsc
