// Tests of the stand-in's settings: switches, the settings file, refusals.
#include "sim/settings.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

TEST(Settings, DefaultsServeKorvaneWinAndBehave) {
  Settings s;
  EXPECT_EQ(s.service, "KorvaneWin");
  EXPECT_EQ(s.log_path, "Z9EE.LOG");
  EXPECT_FALSE(s.no_answer);
  EXPECT_EQ(s.terminate_after, 0u);
  EXPECT_EQ(s.idle_quit_ms, 0u);
  EXPECT_EQ(s.make, MakeOutputs::kBoth);
}

TEST(Settings, SwitchesSetEveryValue) {
  Settings s;
  ASSERT_EQ(ApplySwitches(&s, {"/service=Other", "-delay:250", "/NOANSWER", "/terminate=2",
                               "/slowstart=3000", "/nooutput=1", "/idle=9000", "/make=exe",
                               "/log=C:\\t\\z.log", "/multi", "/min", "/refuse=a;b", "/refuse=C"}),
            "");
  EXPECT_EQ(s.service, "Other");
  EXPECT_EQ(s.delay_ms, 250u);
  EXPECT_TRUE(s.no_answer);
  EXPECT_EQ(s.terminate_after, 2u);
  EXPECT_EQ(s.slow_start_ms, 3000u);
  EXPECT_TRUE(s.no_output);
  EXPECT_EQ(s.idle_quit_ms, 9000u);
  EXPECT_EQ(s.make, MakeOutputs::kExe);
  EXPECT_EQ(s.log_path, "C:\\t\\z.log");
  EXPECT_TRUE(s.multi);
  EXPECT_TRUE(s.minimized);
  EXPECT_EQ(s.refuse, (std::vector<std::string>{"a", "b", "C"}));
  EXPECT_FALSE(s.usage);
  EXPECT_FALSE(s.quit);
  ASSERT_EQ(ApplySwitches(&s, {"/noanswer=0", "/quit", "/?"}), "");
  EXPECT_FALSE(s.no_answer);
  EXPECT_TRUE(s.quit);
  EXPECT_TRUE(s.usage);
}

TEST(Settings, BadSwitchesAreNamed) {
  // clang-format off
  const std::vector<std::pair<const char*, const char*>> kBad = {
      {"/delay=soon",  "bad value \"soon\" for delay (a number expected)"},
      {"/delay=",      "bad value \"\" for delay (a number expected)"},
      {"/noanswer=maybe", "bad value \"maybe\" for noanswer (1 or 0 expected)"},
      {"/make=LIB",    "bad value \"LIB\" for make (EXE, DLL or BOTH)"},
      {"/service=",    "bad value \"\" for service (a text expected)"},
      {"/colour=red",  "unknown setting \"colour\""},
      {"delay=5",      "unknown argument \"delay=5\" (switches start with \"/\")"},
      {"/",            "unknown argument \"/\" (switches start with \"/\")"},
  };
  // clang-format on
  for (const auto& [arg, message] : kBad) {
    Settings s;
    EXPECT_EQ(ApplySwitches(&s, {arg}), message) << arg;
  }
}

TEST(Settings, FileSectionThenSwitches) {
  Settings s;
  const char* kText =
      "; the stand-in's settings\r\n"
      "[Other]\r\nDelay=1\r\n"
      "[Z9EE]\r\nDelay = 400\r\nRefuse=old\r\nNoOutput=yes\r\n\r\n"
      "[Later]\r\nDelay=2\r\n";
  ASSERT_EQ(ApplySettingsText(&s, kText), "");
  EXPECT_EQ(s.delay_ms, 400u);
  EXPECT_TRUE(s.no_output);
  ASSERT_EQ(ApplySwitches(&s, {"/delay=5", "/refuse=new"}), "");
  EXPECT_EQ(s.delay_ms, 5u);
  EXPECT_EQ(s.refuse, (std::vector<std::string>{"old", "new"}));
  EXPECT_EQ(ApplySettingsText(&s, "[Z9EE]\nDelay=400\nbogus\n"), "line 3: \"Name=value\" expected");
  EXPECT_EQ(ApplySettingsText(&s, "[z9ee]\nTerminate=x\n"),
            "line 2: bad value \"x\" for Terminate (a number expected)");
}

TEST(Settings, ValidSwitchesApplyAroundAFaultyOne) {
  Settings s;
  ApplyValidSwitches(&s, {"/delay=soon", "/log=C:\\t\\z.log", "/bogus", "/idle=5"});
  EXPECT_EQ(s.log_path, "C:\\t\\z.log");
  EXPECT_EQ(s.idle_quit_ms, 5u);
  EXPECT_EQ(s.delay_ms, 1000u);
}

TEST(Settings, IniSwitchIsFoundAmongOthers) {
  EXPECT_EQ(IniSwitch({"/delay=1", "/ini=C:\\x.ini", "/bogus"}), "C:\\x.ini");
  EXPECT_EQ(IniSwitch({"/delay=1"}), "");
}

TEST(Settings, RefusedByStemOrBaseNameInAnyCase) {
  Settings s;
  ASSERT_EQ(ApplySwitches(&s, {"/refuse=PROJ;c:\\w\\other"}), "");
  struct Case {
    const char* command;
    bool refused;
  };
  // clang-format off
  const Case kCases[] = {
      {"[ExecuteProject(\"C:\\W\\proj.app\")]", true},
      {"[ExportApp(\"D:\\proj.App\",D:\\proj.TXA,0)]", true},
      {"[ExecuteProject(\"C:\\W\\other.app\")]", true},
      {"[ExecuteProject(\"C:\\X\\other.app\")]", false},
      {"[ExecuteProject(\"C:\\W\\project.app\")]", false},
  };
  // clang-format on
  for (const Case& c : kCases) {
    ParseResult r = ParseCommand(c.command);
    ASSERT_TRUE(r.ok) << c.command;
    EXPECT_EQ(IsRefused(s, r.command), c.refused) << c.command;
  }
}

TEST(Settings, UsageNamesEverySwitch) {
  std::string usage = UsageText();
  for (const char* name :
       {"/service=", "/delay=", "/refuse=", "/noanswer", "/terminate=", "/slowstart=", "/nooutput",
        "/idle=", "/make=", "/log=", "/multi", "/min", "/ini=", "/quit", "/?"})
    EXPECT_NE(usage.find(name), std::string::npos) << name;
}

}  // namespace
}  // namespace sim
