// The VELOCORE driver's entry until its operations are linked in: the common
// frame with a driver that implements no operation, so every call that passes
// the state check fails with 80 "Unsupported File Driver Function".
#include "files/velocore/velocore_driver.h"

#include "files/state_check.h"

namespace kor {

namespace {

// Count byte and operation codes, then count byte and field type codes.
const uint8_t kVelocoreCapabilities[] = {
    70,
    // clang-format off
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
    21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 36, 37, 38, 40, 41, 42,
    43, 44, 45, 46, 47, 48, 49, 50, 52, 54, 56, 57, 58, 60, 61, 62, 63, 64, 65, 66,
    67, 71, 72, 75, 76, 77, 78, 79, 85, 86,
    // clang-format on
    17,
    // clang-format off
    kTypeByte, kTypeShort, kTypeUShort, kTypeDate, kTypeTime, kTypeLong, kTypeULong,
    kTypeSReal, kTypeReal, kTypeDecimal, kTypeString, kTypeCString, kTypePString,
    kTypeMemo, kTypeBlob, kTypeGroup, kTypeArray,
    // clang-format on
};
static_assert(sizeof kVelocoreCapabilities == 1 + 70 + 1 + 17);

const DriverRegistration kVelocore = {
    .name = "VELOCORE",
    .module = "Z9VEL.DLL",
    .notice = "",
    .description = "Velocore (VEL) Driver 1.00",
    .entry = &VelocoreDriverEntry,
    .capability_lists = kVelocoreCapabilities,
    .module2 = "Z9VELS.DLL",
    .index_word = "INDEX",
    .key_word = "KEY",
    .line_end = "\r\n",
};

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

const DriverRegistration& VelocoreRegistration() { return kVelocore; }

intptr_t VelocoreDriverEntry(int32_t op, FileDescriptor* file, const void* args) {
  static VelocorePlaceholder driver;
  return RunDriverCall(driver, op, file, args);
}

}  // namespace kor
