// The lookup of a linked driver by the name a DRIVER attribute gives: the one
// place that names every driver.
#include "files/registry/registry.h"

#include "files/dos/dos_driver.h"
#include "files/velocore/velocore_driver.h"
#include "runtime/os/ascii.h"

namespace kor {

const DriverRegistration* FindDriver(const char* name) {
  if (name == nullptr) return nullptr;
  for (const DriverRegistration* reg : {&DosRegistration(), &VelocoreRegistration()})
    if (EqualIgnoringAsciiCase(name, reg->name)) return reg;
  return nullptr;
}

}  // namespace kor
