// The VELOCORE driver's entry until its operations are linked in: the common
// frame with a driver that implements no operation, so every call that passes
// the state check fails with 80 "Unsupported File Driver Function".
#include "files/driver.h"
#include "files/registry/registry.h"
#include "files/state_check.h"

namespace kor {

namespace {

class VelocorePlaceholder final : public FileDriver {
 public:
  const DriverRegistration& Registration() const override { return VelocoreRegistration(); }
  const char* TraceSection() const override { return "QWVELOCORE"; }
  const char* DefaultTraceLog() const override { return "VELOCORE.LOG"; }
  std::unique_ptr<FileControlBlock> NewControlBlock(FileDescriptor*, int32_t*) override {
    return std::make_unique<FileControlBlock>();
  }
  int32_t Perform(int32_t, FileControlBlock&, const DriverArgs&, DriverOutput&) override {
    return kErrUnsupported;
  }
};

}  // namespace

intptr_t VelocoreDriverEntry(int32_t op, FileDescriptor* file, const void* args) {
  static VelocorePlaceholder driver;
  return RunDriverCall(driver, op, file, args);
}

}  // namespace kor
