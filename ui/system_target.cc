// The system target's property store.
#include "ui/system_target.h"

#include <map>

namespace kor {

namespace {
std::map<uint32_t, std::string>& Properties() {
  static std::map<uint32_t, std::string> properties;
  return properties;
}
}  // namespace

void SetSystemProperty(uint32_t property, const std::string& value) {
  Properties()[property] = value;
}

std::string SystemProperty(uint32_t property) {
  auto it = Properties().find(property);
  return it == Properties().end() ? std::string() : it->second;
}

}  // namespace kor
