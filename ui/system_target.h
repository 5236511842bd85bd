// Properties of the system target: program-wide settings that windows read
// when they open (the default icon among them).
#pragma once

#include <cstdint>
#include <string>

namespace kor {

// Property numbers of the system target.
inline constexpr uint32_t kPropIcon = 0x7C68;  // icon of windows without their own

void SetSystemProperty(uint32_t property, const std::string& value);
// The stored text; empty when never set.
std::string SystemProperty(uint32_t property);

}  // namespace kor
