// The search for a window record through the program's modules.
#include "ui/resource/window_lookup.h"

#include <algorithm>
#include <utility>

#include "runtime/core/error_codes.h"
#include "runtime/core/runtime_error.h"
#include "runtime/core/startup.h"
#include "runtime/locale/collation.h"
#include "ui/resource/window_format.h"
#include "ui/resource/window_records.h"

namespace kor {

namespace {

ResourceBuffer g_current;
OsInstance g_current_module = nullptr;

bool SameName(std::string_view a, std::string_view b) {
  return CollateCompareNoCase(a.data(), a.size(), b.data(), b.size()) == 0;
}

bool CollectModule(ModuleDescriptor*, OsInstance instance, void* arg) {
  static_cast<std::vector<OsInstance>*>(arg)->push_back(instance);
  return true;
}

// The offset of the window labelled `label`, 0 when the chain has none. A
// damaged chain is searched as far as it can be read.
int32_t FindLabel(const ResourceBuffer& buffer, std::string_view label) {
  std::vector<int32_t> windows;
  DecodeError ignored;
  ListWindows(buffer, &windows, &ignored);
  for (int32_t at : windows) {
    int32_t label_offset;
    std::string found;
    if (!buffer.ReadI32(at + kWinLabel, &label_offset)) continue;
    if (!buffer.ReadString(label_offset, &found)) continue;
    if (SameName(found, label)) return at;
  }
  return 0;
}

// Steps 3 and 4 for one module: true with the buffer and offset on a match.
bool SearchModule(OsInstance module, const ResourceSource& source, const std::string& name,
                  std::string_view qualified, std::string_view label, FoundWindow* out) {
  OsResource resource;
  if (!source.load(module, name.c_str(), kWindowResourceType, &resource)) return false;
  ContainerView container;
  bool matches = SplitContainer(resource.data, resource.size, &container) &&
                 SameName(container.name, qualified);
  ResourceBuffer buffer;
  if (matches) matches = buffer.Assign(container.body, container.body_size);
  source.release(&resource);
  if (!matches) return false;
  int32_t offset = FindLabel(buffer, label);
  if (offset == 0) return false;
  out->offset = offset;
  out->module = module;
  out->buffer = std::move(buffer);
  return true;
}

}  // namespace

ResourceSource PlatformResources() { return {&OsLoadResource, &OsReleaseResource}; }

std::string ResourceNameOf(std::string_view qualified) {
  size_t dollar = qualified.find('$');
  std::string_view module =
      dollar == std::string_view::npos ? qualified : qualified.substr(dollar + 1);
  return std::string(module) + "_RSC";
}

std::vector<OsInstance> ResourceSearchOrder() {
  std::vector<OsInstance> newest_first;
  ForEachModule(&CollectModule, &newest_first);
  std::vector<OsInstance> order;
  if (ResourceInstance() != nullptr) order.push_back(ResourceInstance());
  for (auto it = newest_first.rbegin(); it != newest_first.rend(); ++it)
    if (std::find(order.begin(), order.end(), *it) == order.end()) order.push_back(*it);
  return order;
}

bool LookupWindow(const std::vector<OsInstance>& modules, const ResourceSource& source,
                  std::string_view qualified, std::string_view label, FoundWindow* out) {
  *out = FoundWindow();
  std::string name = ResourceNameOf(qualified);
  for (OsInstance module : modules)
    if (SearchModule(module, source, name, qualified, label, out)) return true;
  return false;
}

int32_t FindWindowRecord(std::string_view qualified, std::string_view label) {
  FoundWindow found;
  if (!LookupWindow(ResourceSearchOrder(), PlatformResources(), qualified, label, &found)) return 0;
  g_current = std::move(found.buffer);
  g_current_module = found.module;
  return found.offset;
}

int32_t FindWindowRecordOrStop(std::string_view qualified, std::string_view label) {
  int32_t offset = FindWindowRecord(qualified, label);
  if (offset == 0) RaiseRuntimeError(kErrInternal02, nullptr);
  return offset;
}

const ResourceBuffer& CurrentWindowResource() { return g_current; }
OsInstance CurrentResourceModule() { return g_current_module; }

}  // namespace kor
