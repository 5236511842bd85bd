// Properties of the system target: program-wide settings that windows read
// when they open (the default icon among them). A subsystem that owns a
// setting (the DDE client's time-out) installs a handler for its number; the
// others are kept as text.
#pragma once

#include <cstdint>
#include <string>

namespace kor {

// Property numbers of the system target.
inline constexpr uint32_t kPropIcon = 0x7C68;        // icon of windows without their own
inline constexpr uint32_t kPropDdeTimeout = 0x7CC1;  // DDE time-out, hundredths (dde/)

void SetSystemProperty(uint32_t property, const std::string& value);
// The stored text (or the handler's answer); empty when never set.
std::string SystemProperty(uint32_t property);

// A handler takes over one property number: setting calls `set`, reading
// calls `get`. Null handlers give the number back to the plain store.
using SystemPropertySetter = void (*)(const std::string& value);
using SystemPropertyGetter = std::string (*)();
void SetSystemPropertyHandler(uint32_t property, SystemPropertySetter set,
                              SystemPropertyGetter get);

}  // namespace kor
