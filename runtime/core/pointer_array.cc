// KORARRAY insertion, search and copying over the runtime allocator.
#include "runtime/core/pointer_array.h"

#include <cstring>

#include "runtime/core/error_codes.h"
#include "runtime/core/runtime_error.h"
#include "runtime/core/startup.h"
#include "runtime/memory/memory.h"

namespace kor {

namespace {

constexpr int32_t kCapacities[kArraySizeClasses] = {
    0,        2,        4,        8,        16,       32,       64,        128,
    256,      1024,     2048,     4096,     8192,     16000,    32000,     65000,
    130000,   250000,   500000,   1000000,  2000000,  3000000,  4000000,   5000000,
    6000000,  7000000,  8000000,  9000000,  10000000, 10000000, 20000000,  30000000,
    40000000, 50000000, 60000000, 70000000, 80000000, 90000000, 100000000,
};

constexpr const char kOutOfMemoryText[] = "Out of memory in KORARRAY!";

bool OutOfMemory() {
  RaiseRuntimeError(kErrInternal01, kOutOfMemoryText);
  return false;
}

}  // namespace

int32_t ArrayCapacity(int size_class) {
  return size_class >= 0 && size_class < kArraySizeClasses ? kCapacities[size_class] : 0;
}

bool ArrayInsert(KORARRAY* array, ArrayEntry value, int32_t index) {
  if (array == nullptr || index < 0 || index > array->count) return false;
  int32_t count = array->count + 1;
  if (count > ArrayCapacity(array->size_class)) {
    // The table repeats 10,000,000: step on until a class really holds the
    // new count, so that the entries never outgrow the data.
    int size_class = array->size_class + 1;
    while (size_class < kArraySizeClasses && kCapacities[size_class] < count) ++size_class;
    if (size_class >= kArraySizeClasses) return OutOfMemory();
    size_t bytes = static_cast<size_t>(kCapacities[size_class]) * sizeof(ArrayEntry);
    void* data = array->data == nullptr ? Allocate(bytes) : Reallocate(array->data, bytes);
    if (data == nullptr) return OutOfMemory();
    array->data = static_cast<ArrayEntry*>(data);
    array->size_class = static_cast<uint8_t>(size_class);
  }
  ArrayEntry* at = array->data + index;
  std::memmove(at + 1, at, static_cast<size_t>(array->count - index) * sizeof(ArrayEntry));
  *at = value;
  array->count = count;
  return true;
}

int32_t ArrayFind(const KORARRAY* array, ArrayEntry value) {
  if (array == nullptr) return -1;
  for (int32_t i = 0; i < array->count; ++i) {
    if (array->data[i] == value) return i;
  }
  return -1;
}

bool ArrayCopy(KORARRAY* destination, const KORARRAY* source) {
  if (destination == nullptr || source == nullptr || destination == source) return false;
  ArrayEntry* data = nullptr;
  size_t capacity = static_cast<size_t>(ArrayCapacity(source->size_class));
  if (capacity > 0) {
    data = static_cast<ArrayEntry*>(Allocate(capacity * sizeof(ArrayEntry)));
    if (data == nullptr) return OutOfMemory();
    std::memcpy(data, source->data, static_cast<size_t>(source->count) * sizeof(ArrayEntry));
  }
  Free(destination->data);
  destination->data = data;
  destination->count = source->count;
  destination->size_class = source->size_class;
  return true;
}

bool ArrayDelete(KORARRAY* array, int32_t index) {
  if (array == nullptr || index < 0 || index >= array->count) return false;
  ArrayEntry* at = array->data + index;
  std::memmove(at, at + 1, static_cast<size_t>(array->count - index - 1) * sizeof(ArrayEntry));
  --array->count;
  return true;
}

void ArrayFree(KORARRAY* array) {
  if (array == nullptr) return;
  Free(array->data);
  array->data = nullptr;
  array->count = 0;
  array->size_class = 0;
}

}  // namespace kor
