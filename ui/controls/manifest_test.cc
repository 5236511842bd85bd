// The application manifest linked into the programs that show controls: it
// is there, it asks for the common controls of version 6 and for DPI
// awareness. (Whether the platform then loads version 6 is not checked
// here: Wine's common controls report version 5 either way.)
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace kor {
namespace {

std::string ManifestText() {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  if (found == nullptr) return std::string();
  HGLOBAL loaded = LoadResource(nullptr, found);
  const char* bytes = static_cast<const char*>(LockResource(loaded));
  return std::string(bytes, SizeofResource(nullptr, found));
}

TEST(ManifestTest, AsksForCommonControlsSixAndDpiAwareness) {
  std::string text = ManifestText();
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos);
  EXPECT_NE(text.find(">true</dpiAware>"), std::string::npos);
}

}  // namespace
}  // namespace kor
