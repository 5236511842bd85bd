// The system target's property store and its handlers.
#include "ui/system_target.h"

#include <map>
#include <utility>

namespace kor {

namespace {

std::map<uint32_t, std::string>& Properties() {
  static std::map<uint32_t, std::string> properties;
  return properties;
}

using Handler = std::pair<SystemPropertySetter, SystemPropertyGetter>;
std::map<uint32_t, Handler>& Handlers() {
  static std::map<uint32_t, Handler> handlers;
  return handlers;
}

}  // namespace

void SetSystemProperty(uint32_t property, const std::string& value) {
  auto it = Handlers().find(property);
  if (it != Handlers().end() && it->second.first != nullptr) {
    it->second.first(value);
    return;
  }
  Properties()[property] = value;
}

std::string SystemProperty(uint32_t property) {
  auto h = Handlers().find(property);
  if (h != Handlers().end() && h->second.second != nullptr) return h->second.second();
  auto it = Properties().find(property);
  return it == Properties().end() ? std::string() : it->second;
}

void SetSystemPropertyHandler(uint32_t property, SystemPropertySetter set,
                              SystemPropertyGetter get) {
  if (set == nullptr && get == nullptr) {
    Handlers().erase(property);
  } else {
    Handlers()[property] = {set, get};
  }
}

}  // namespace kor
