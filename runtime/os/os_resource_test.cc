// Tests of resource loading on POSIX, where the executable's resources are
// files NAME.TYPE beside it: found without regard to the case of the name,
// only for the executable's instance, and never through a path. (The Windows
// side is checked by the window-resource tests, which link real resources.)
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "runtime/os/os.h"

namespace kor {
namespace {

#if !defined(_WIN32)
std::string BesideTheProgram(const std::string& file) {
  std::string exe = OsExecutablePath();
  return exe.substr(0, exe.rfind('/') + 1) + file;
}

TEST(OsResource, TheExecutablesResourcesAreFilesBesideIt) {
  std::string name = "OSRESTEST" + std::to_string(getpid());
  std::string path = BesideTheProgram(name + ".DABDUMP");
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fwrite("mxb$X\0body", 1, 10, f);
  fclose(f);

  OsResource r;
  std::string lower = "osrestest" + std::to_string(getpid());
  ASSERT_TRUE(OsLoadResource(OsExecutableInstance(), lower.c_str(), "dabdump", &r));
  ASSERT_EQ(r.size, 10u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data), 10), std::string("mxb$X\0body", 10));
  OsReleaseResource(&r);
  EXPECT_EQ(r.data, nullptr);

  int other = 0;
  EXPECT_FALSE(OsLoadResource(&other, name.c_str(), "DABDUMP", &r));
  EXPECT_FALSE(OsLoadResource(OsExecutableInstance(), name.c_str(), "OTHER", &r));
  EXPECT_FALSE(
      OsLoadResource(OsExecutableInstance(), ("../test-bin/" + name).c_str(), "DABDUMP", &r));
  EXPECT_EQ(r.data, nullptr);
  remove(path.c_str());
  EXPECT_FALSE(OsLoadResource(OsExecutableInstance(), name.c_str(), "DABDUMP", &r));
}
#endif

}  // namespace
}  // namespace kor
