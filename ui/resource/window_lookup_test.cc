// Tests of the window lookup over fake modules: the resource name, the
// leading-string check, labels without regard to case, the search order of
// the modules, damaged resources passed over, and every loaded resource
// released.
#include "ui/resource/window_lookup.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "runtime/core/startup.h"
#include "ui/resource/resource_test_bytes.h"

namespace kor {
namespace {

using resource_testing::BodyBytes;

struct FakeModule {
  std::map<std::string, std::vector<uint8_t>> resources;  // by resource name
  int loads = 0;
  int releases = 0;
};

bool FakeLoad(OsInstance instance, const char* name, const char* type, OsResource* out) {
  auto* module = static_cast<FakeModule*>(instance);
  auto it = module->resources.find(name);
  if (std::string(type) != "DABDUMP" || it == module->resources.end()) return false;
  ++module->loads;
  out->data = it->second.data();
  out->size = it->second.size();
  out->owned = module;
  return true;
}

void FakeRelease(OsResource* resource) {
  ++static_cast<FakeModule*>(resource->owned)->releases;
  *resource = OsResource();
}

const ResourceSource kFake = {&FakeLoad, &FakeRelease};

// A resource with the given leading string holding windows with these labels.
std::vector<uint8_t> ResourceWith(const std::string& leading, std::vector<std::string> labels,
                                  std::vector<int32_t>* offsets = nullptr) {
  BodyBytes b;
  int32_t previous = 0;
  for (const std::string& label : labels) {
    int32_t w = b.Record(kRecWindow, kWinSize);
    b.PutI32(w + kWinLabel, b.Str(label));
    if (previous == 0) b.FirstWindow(w);
    else b.PutI32(previous + kWinNext, w);
    previous = w;
    if (offsets != nullptr) offsets->push_back(w);
  }
  return b.Container(leading);
}

TEST(WindowLookup, ResourceNameIsThePartAfterTheFirstDollar) {
  const std::pair<const char*, const char*> cases[] = {
      {"mxb$MXB003", "MXB003_RSC"},
      {"MXB001", "MXB001_RSC"},
      {"a$b$c", "b$c_RSC"},
      {"$X", "X_RSC"},
      {"", "_RSC"},
      {"mxb$MXB_SF", "MXB_SF_RSC"},
  };
  for (const auto& [qualified, name] : cases) EXPECT_EQ(ResourceNameOf(qualified), name);
}

TEST(WindowLookup, AMismatchedLeadingStringIsPassedOver) {
  FakeModule wrong, right;
  wrong.resources["MXB003_RSC"] = ResourceWith("other$MXB003", {"P1$BROWSEWINDOW"});
  std::vector<int32_t> offsets;
  right.resources["MXB003_RSC"] = ResourceWith("mxb$MXB003", {"P1$BROWSEWINDOW"}, &offsets);
  FoundWindow found;
  ASSERT_TRUE(LookupWindow({&wrong, &right}, kFake, "mxb$MXB003", "P1$BROWSEWINDOW", &found));
  EXPECT_EQ(found.module, &right);
  EXPECT_EQ(found.offset, offsets[0]);
  EXPECT_EQ(wrong.loads, 1);
  EXPECT_EQ(wrong.releases, 1);
  EXPECT_EQ(right.releases, right.loads);
}

TEST(WindowLookup, NamesAndLabelsCompareWithoutCase) {
  FakeModule m;
  std::vector<int32_t> offsets;
  m.resources["MXB003_RSC"] =
      ResourceWith("MXB$mxb003", {"P1$FORMWINDOW", "P1$BROWSEWINDOW"}, &offsets);
  FoundWindow found;
  ASSERT_TRUE(LookupWindow({&m}, kFake, "mxb$MXB003", "p1$browsewindow", &found));
  EXPECT_EQ(found.offset, offsets[1]);
  // The body sits at offset 2 of the buffer: the record is where it was laid.
  int32_t label;
  std::string text;
  ASSERT_TRUE(found.buffer.ReadI32(found.offset + kWinLabel, &label));
  ASSERT_TRUE(found.buffer.ReadString(label, &text));
  EXPECT_EQ(text, "P1$BROWSEWINDOW");
}

TEST(WindowLookup, AModuleWithoutTheLabelSendsTheSearchOn) {
  FakeModule first, second;
  first.resources["MXB_SF_RSC"] = ResourceWith("mxb$MXB_SF", {"P22$JUMPWINDOW"});
  second.resources["MXB_SF_RSC"] = ResourceWith("mxb$MXB_SF", {"P23$SELECTWINDOW"});
  FoundWindow found;
  ASSERT_TRUE(LookupWindow({&first, &second}, kFake, "mxb$MXB_SF", "P23$SELECTWINDOW", &found));
  EXPECT_EQ(found.module, &second);
  ASSERT_TRUE(LookupWindow({&first, &second}, kFake, "mxb$MXB_SF", "P22$JUMPWINDOW", &found));
  EXPECT_EQ(found.module, &first);
  EXPECT_EQ(first.loads, first.releases);
  EXPECT_EQ(second.loads, second.releases);
}

TEST(WindowLookup, DamagedResourcesArePassedOver) {
  FakeModule unterminated, broken, good;
  unterminated.resources["MXB001_RSC"] = {'m', 'x', 'b', '$', 'M'};
  // The chain breaks before the label; a window before the break is found.
  std::vector<int32_t> offsets;
  std::vector<uint8_t> chain = ResourceWith("mxb$MXB001", {"A", "P1$WINDOW"}, &offsets);
  size_t next = strlen("mxb$MXB001") + 1 + static_cast<size_t>(offsets[0] - 2 + kWinNext);
  chain[next] = 0xF0;
  chain[next + 3] = 0x7F;
  broken.resources["MXB001_RSC"] = chain;
  good.resources["MXB001_RSC"] = ResourceWith("mxb$MXB001", {"P1$WINDOW"});
  FoundWindow found;
  ASSERT_TRUE(
      LookupWindow({&unterminated, &broken, &good}, kFake, "mxb$MXB001", "P1$WINDOW", &found));
  EXPECT_EQ(found.module, &good);
  ASSERT_TRUE(LookupWindow({&broken}, kFake, "mxb$MXB001", "a", &found));
  EXPECT_EQ(found.offset, offsets[0]);
}

TEST(WindowLookup, NoModuleHoldingTheWindowGivesZero) {
  FakeModule a, b;
  a.resources["MXB002_RSC"] = ResourceWith("mxb$MXB002", {"P1$FORMWINDOW"});
  FoundWindow found;
  EXPECT_FALSE(LookupWindow({&a, &b}, kFake, "mxb$MXB002", "P1$WINDOW", &found));
  EXPECT_EQ(found.offset, 0);
  EXPECT_FALSE(LookupWindow({&a, &b}, kFake, "mxb$MXB004", "P1$FORMWINDOW", &found));
  EXPECT_FALSE(LookupWindow({}, kFake, "mxb$MXB002", "P1$FORMWINDOW", &found));
  EXPECT_EQ(a.loads, 1);
  EXPECT_EQ(a.releases, 1);
}

TEST(WindowLookup, TheProgramModuleComesFirstThenRegistrationOrder) {
  int x = 0, y = 0;
  RegisterModule(nullptr, &x);
  RegisterModule(nullptr, &y);
  RegisterModule(nullptr, ResourceInstance());  // registered twice, searched once
  std::vector<OsInstance> order = ResourceSearchOrder();
  UnregisterModule(ResourceInstance());
  UnregisterModule(&y);
  UnregisterModule(&x);
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(order[0], ResourceInstance());
  EXPECT_EQ(order[order.size() - 2], &x);
  EXPECT_EQ(order[order.size() - 1], &y);
  for (size_t i = 0; i < order.size(); ++i)
    for (size_t j = i + 1; j < order.size(); ++j) EXPECT_NE(order[i], order[j]);
}

#if !defined(_WIN32)
TEST(WindowLookupDeathTest, AWindowNoModuleHoldsStopsWithInternalError02) {
  EXPECT_EXIT(FindWindowRecordOrStop("mxb$NOSUCH", "P1$WINDOW"), ::testing::ExitedWithCode(2),
              "Internal error 02");
}
#endif

}  // namespace
}  // namespace kor
