// The lookup of a linked driver by the name a DRIVER attribute gives: the one
// place that names every driver.
#include "files/registry/registry.h"

#include <cctype>

#include "files/dos/dos_driver.h"
#include "files/velocore/velocore_driver.h"

namespace kor {

namespace {

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

const DriverRegistration* FindDriver(const char* name) {
  if (name == nullptr) return nullptr;
  for (const DriverRegistration* reg : {&DosRegistration(), &VelocoreRegistration()})
    if (SameName(name, reg->name)) return reg;
  return nullptr;
}

}  // namespace kor
