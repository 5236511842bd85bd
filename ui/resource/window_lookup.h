// Finding a window record: which module's resource holds a window, and the
// runtime's current window resource that the window and control set-up read.
//
// Lookup of window `label` in the module-qualified name `qualified`
// ("mxb$MXB003", "P1$BROWSEWINDOW"):
//   1. The resource name is the part of `qualified` after its first "$" (all
//      of it when there is none) followed by "_RSC"; its type is "DABDUMP".
//   2. The modules are searched in order: the program's own module first (the
//      instance the runtime was started with), then every other registered
//      module in registration order, each once.
//   3. A module's resource counts only when its leading string equals
//      `qualified` (without regard to case, with the runtime's collation);
//      otherwise it is released and the search goes on.
//   4. The body is copied into a fresh buffer (window_format.h) and the window
//      chain is walked for a label equal to `label`, again without regard to
//      case. A match gives the record's offset and the module whose images
//      the window uses; no match releases the buffer and the search goes on.
// A damaged resource (no end to its leading string, a broken window chain)
// is passed over like one that does not match.
//
// The errors of opening a window: a window no module holds stops the runtime
// with 502 (FindWindowRecordOrStop); an address list that runs out, 501
// (address_list.h). The window library raises the other two when it creates
// the platform's objects: 503 ("Internal error 03", kErrInternal03) stops the
// runtime when the platform refuses a window class, and 529 ("Unable to open
// WINDOW", kErrWindowOpen) is posted when it refuses the window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/os/os.h"
#include "ui/resource/resource_buffer.h"

namespace kor {

inline constexpr const char* kWindowResourceType = "DABDUMP";

// Where resource bytes come from: the OS layer for the runtime, fakes in tests.
struct ResourceSource {
  bool (*load)(OsInstance instance, const char* name, const char* type, OsResource* out);
  void (*release)(OsResource* resource);
};
ResourceSource PlatformResources();

// The resource name of a module-qualified name ("mxb$MXB003" -> "MXB003_RSC").
std::string ResourceNameOf(std::string_view qualified);
// The modules in search order (step 2).
std::vector<OsInstance> ResourceSearchOrder();

struct FoundWindow {
  int32_t offset = 0;  // of the window record; 0 = not found
  OsInstance module = nullptr;
  ResourceBuffer buffer;
};
// The lookup over the given modules and source. false when none holds it.
bool LookupWindow(const std::vector<OsInstance>& modules, const ResourceSource& source,
                  std::string_view qualified, std::string_view label, FoundWindow* out);

// The runtime's lookup through ResourceSearchOrder and the platform. On a
// match the buffer becomes the current window resource and the module the
// current resource module, and the record's offset is returned; 0 when no
// module holds the window (the current resource stays as it was).
int32_t FindWindowRecord(std::string_view qualified, std::string_view label);
// As FindWindowRecord, but a window that no module holds stops the runtime
// with error 502 ("Internal error 02"); 0 only when the error box returns.
int32_t FindWindowRecordOrStop(std::string_view qualified, std::string_view label);

// The buffer of the last successful lookup (empty before the first).
const ResourceBuffer& CurrentWindowResource();
// The module that held it (null before the first lookup).
OsInstance CurrentResourceModule();

}  // namespace kor
