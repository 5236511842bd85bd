// The linked drivers' registration records, capability lists and the lookup
// by name.
#include "files/registry/registry.h"

#include <gtest/gtest.h>

#include "files/dos/dos_driver.h"
#include "files/operations.h"
#include "files/velocore/velocore_driver.h"

namespace kor {
namespace {

TEST(DriverRegistry, RecordsAndCapabilityLists) {
  const DriverRegistration& dos = DosRegistration();
  EXPECT_STREQ(dos.name, "DOS");
  EXPECT_STREQ(dos.description, "Dos File Driver 1.0");
  EXPECT_STREQ(dos.module, "Z9DOS.DLL");
  EXPECT_STREQ(dos.module2, "Z9DOSS.DLL");
  EXPECT_EQ(FindDriver("dos"), &dos);
  EXPECT_EQ(FindDriver("Velocore"), &VelocoreRegistration());
  EXPECT_EQ(FindDriver("ASCII"), nullptr);
  EXPECT_STREQ(VelocoreRegistration().description, "Velocore (VEL) Driver 1.00");
  // DOS: the flat-file operations, 18 types, no MEMO or BLOB.
  for (int32_t op : {kOpADD, kOpNEXT, kOpPUTfileptrlen, kOpSEND, kOpGET_PROPERTY}) {
    EXPECT_TRUE(SupportsOperation(dos, op)) << OpName(op);
  }
  for (int32_t op : {kOpBOF, kOpSETkey, kOpDELETE, kOpLOGOUT, kOpWATCH, kOpHOLDfile}) {
    EXPECT_FALSE(SupportsOperation(dos, op)) << OpName(op);
  }
  EXPECT_TRUE(SupportsFieldType(dos, kTypePDecimal));
  EXPECT_FALSE(SupportsFieldType(dos, kTypeMemo));
  EXPECT_FALSE(SupportsFieldType(dos, kTypeBlob));
  const DriverRegistration& vel = VelocoreRegistration();
  EXPECT_TRUE(SupportsFieldType(vel, kTypeMemo));
  EXPECT_FALSE(SupportsFieldType(vel, kTypeBFloat8));
  EXPECT_TRUE(SupportsOperation(vel, kOpSETkeykey));
  EXPECT_FALSE(SupportsOperation(vel, kOpADDfilelen));
  // BUILDevent is listed: a deferred build comes back through it.
  EXPECT_TRUE(SupportsOperation(vel, kOpBUILDevent));
  EXPECT_EQ(vel.capability_lists[0], 71);
  EXPECT_EQ(dos.capability_lists[0], 36);
}

}  // namespace
}  // namespace kor
