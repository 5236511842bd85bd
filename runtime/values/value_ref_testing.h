// Test helpers for the value-reference tests: owning handles, short forms
// for reading and assigning through a reference, and a fixture that checks
// the string and decimal stacks are balanced after each test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/values/decimal_stack.h"
#include "runtime/values/string_stack.h"
#include "runtime/values/value_ref.h"

namespace kor::testing_refs {

struct Destroyer {
  void operator()(ValueRef* r) const { DestroyValueRef(r); }
};
using Ref = std::unique_ptr<ValueRef, Destroyer>;

inline Ref Make(void* address, int32_t type, int32_t size = 0, int32_t places = 0) {
  return Ref(MakeValueRef(address, type, size, places));
}

inline std::string AsString(ValueRef& r) {
  r.PushAsString();
  return PopToStdString();
}

inline void AssignText(ValueRef& r, const char* text) {
  PushCString(text);
  r.AssignString();
}

// The stored bytes, as the reference writes them out.
inline std::vector<uint8_t> Raw(const ValueRef& r) {
  std::vector<uint8_t> bytes(static_cast<size_t>(r.Size()));
  EXPECT_EQ(r.RawStore(bytes.data()), r.Size());
  return bytes;
}

class BalancedStacksTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(StringStackDepth(), 0) << "string stack not balanced";
    EXPECT_EQ(DecimalDepth(), 0) << "decimal stack not balanced";
  }
};

}  // namespace kor::testing_refs
