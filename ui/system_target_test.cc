// The system target keeps the texts programs store in its properties.
#include "ui/system_target.h"

#include <gtest/gtest.h>

TEST(SystemTarget, StoresAndReplacesProperties) {
  EXPECT_EQ(kor::SystemProperty(0x1234), "");
  kor::SetSystemProperty(kor::kPropIcon, "C:\\ICONS\\A.ICO");
  kor::SetSystemProperty(kor::kPropIcon, "C:\\ICONS\\B.ICO");
  EXPECT_EQ(kor::SystemProperty(kor::kPropIcon), "C:\\ICONS\\B.ICO");
}
