// The registration records of the DOS and VELOCORE drivers with their
// capability lists, and the lookup of a driver by name.
#include <cctype>

#include "files/driver.h"
#include "files/registry/registry.h"

namespace kor {

namespace {

// Count byte and operation codes, then count byte and field type codes.
const uint8_t kDosCapabilities[] = {
    36,
    1, 4, 7, 9, 10, 13, 14, 16, 20, 21, 23, 24, 25, 27, 29, 30, 31, 32,
    37, 38, 41, 43, 48, 50, 51, 52, 53, 54, 55, 59, 60, 61, 63, 66, 71, 72,
    18,
    kTypeByte, kTypeShort, kTypeUShort, kTypeDate, kTypeTime, kTypeLong, kTypeULong,
    kTypeSReal, kTypeReal, kTypeDecimal, kTypePDecimal, kTypeBFloat4, kTypeBFloat8,
    kTypeString, kTypeCString, kTypePString, kTypeGroup, kTypeArray,
};
static_assert(sizeof kDosCapabilities == 1 + 36 + 1 + 18);

const uint8_t kVelocoreCapabilities[] = {
    70,
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
    21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 36, 37, 38, 40, 41, 42,
    43, 44, 45, 46, 47, 48, 49, 50, 52, 54, 56, 57, 58, 60, 61, 62, 63, 64, 65, 66,
    67, 71, 72, 75, 76, 77, 78, 79, 85, 86,
    17,
    kTypeByte, kTypeShort, kTypeUShort, kTypeDate, kTypeTime, kTypeLong, kTypeULong,
    kTypeSReal, kTypeReal, kTypeDecimal, kTypeString, kTypeCString, kTypePString,
    kTypeMemo, kTypeBlob, kTypeGroup, kTypeArray,
};
static_assert(sizeof kVelocoreCapabilities == 1 + 70 + 1 + 17);

const DriverRegistration kDos = {
    "DOS", "Z9DOS.DLL", "", "Dos File Driver 1.0", &DosDriverEntry, {},
    kDosCapabilities, "Z9DOSS.DLL", "INDEX", "KEY", "\r\n",
};

const DriverRegistration kVelocore = {
    "VELOCORE", "Z9VEL.DLL", "", "Velocore (VEL) Driver 1.00", &VelocoreDriverEntry, {},
    kVelocoreCapabilities, "Z9VELS.DLL", "INDEX", "KEY", "\r\n",
};

bool SameName(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (std::toupper(static_cast<unsigned char>(*a)) !=
        std::toupper(static_cast<unsigned char>(*b))) {
      return false;
    }
  }
  return *a == '\0' && *b == '\0';
}

}  // namespace

const DriverRegistration& DosRegistration() { return kDos; }
const DriverRegistration& VelocoreRegistration() { return kVelocore; }

const DriverRegistration* FindDriver(const char* name) {
  if (name == nullptr) return nullptr;
  if (SameName(name, kDos.name)) return &kDos;
  if (SameName(name, kVelocore.name)) return &kVelocore;
  return nullptr;
}

}  // namespace kor
