// A window description as the compiler holds it: the module-qualified name
// and its windows, in the decoded form of the runtime's resource reader, so
// that what the compiler writes and what it reads back compare directly.
//
// While a description is being compiled, a block that is present but not yet
// laid out (font, colours, variable, status widths) has the offset kPending.
#pragma once

#include <string>
#include <vector>

#include "tools/rsc/text_tree.h"
#include "ui/resource/window_records.h"

namespace rsc {

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
