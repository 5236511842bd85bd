// The DOS driver's registration record and its capability lists.
#include "files/dos/dos_driver.h"

namespace kor {

namespace {

// Count byte and operation codes, then count byte and field type codes.
const uint8_t kDosCapabilities[] = {
    36,
    // clang-format off
    1, 4, 7, 9, 10, 13, 14, 16, 20, 21, 23, 24, 25, 27, 29, 30, 31, 32,
    37, 38, 41, 43, 48, 50, 51, 52, 53, 54, 55, 59, 60, 61, 63, 66, 71, 72,
    // clang-format on
    18,
    // clang-format off
    kTypeByte, kTypeShort, kTypeUShort, kTypeDate, kTypeTime, kTypeLong, kTypeULong,
    kTypeSReal, kTypeReal, kTypeDecimal, kTypePDecimal, kTypeBFloat4, kTypeBFloat8,
    kTypeString, kTypeCString, kTypePString, kTypeGroup, kTypeArray,
    // clang-format on
};
static_assert(sizeof kDosCapabilities == 1 + 36 + 1 + 18);

const DriverRegistration kDos = {
    .name = "DOS",
    .module = "Z9DOS.DLL",
    .notice = "",
    .description = "Dos File Driver 1.0",
    .entry = &DosDriverEntry,
    .capability_lists = kDosCapabilities,
    .module2 = "Z9DOSS.DLL",
    .index_word = "INDEX",
    .key_word = "KEY",
    .line_end = "\r\n",
};

}  // namespace

const DriverRegistration& DosRegistration() { return kDos; }

}  // namespace kor
