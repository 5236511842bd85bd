// The program's five compiled window resources, found through the program's
// own lookup and the platform (the resources linked into this test program
// under Windows, the compiled files beside it natively), decoded, and
// compared with the windows the program's description sets out: every
// control with its field number, kind, text, variable, picture, tip, key and
// options. The tables are written by hand from that description, not from the
// resource files.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "runtime/core/startup.h"
#include "ui/resource/window_lookup.h"
#include "ui/resource/window_records.h"

namespace kor {
namespace {

constexpr uint8_t kByte = 1, kShort = 2, kLong = 6, kString = 18, kQueue = 26;

// One control as the description gives it; null or 0 items are not checked
// (except text, which is always compared).
struct Want {
  int32_t field;
  uint8_t type;
  const char* text;
  int32_t parent = 0;  // field of the group it sits in
  uint8_t var_type = 0;
  int32_t var_size = 0;
  const char* picture = nullptr;
  const char* tip = nullptr;  // tooltip, or the status message of lists and entries
  int32_t key = 0;
  bool is_default = false;
  int32_t action = 0;
};

struct Flat {
  const ControlRecord* control;
  int32_t parent;
};

void Flatten(const std::vector<ControlRecord>& controls, int32_t parent, std::vector<Flat>* out) {
  for (const ControlRecord& c : controls) {
    out->push_back({&c, parent});
    Flatten(c.children, c.field, out);
  }
}

WindowTree Open(const char* module, const char* label) {
  int32_t offset = FindWindowRecord(module, label);
  EXPECT_NE(offset, 0) << module << " " << label;
  WindowTree tree;
  DecodeError error;
  if (offset != 0) {
    EXPECT_TRUE(DecodeWindowTree(CurrentWindowResource(), offset, &tree, &error)) << error.what;
  }
  return tree;
}

void ExpectControls(const WindowTree& tree, const std::vector<Want>& want) {
  std::vector<Flat> got;
  Flatten(tree.controls, 0, &got);
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    const Want& w = want[i];
    const ControlRecord& c = *got[i].control;
    SCOPED_TRACE("control " + std::to_string(w.field));
    EXPECT_EQ(c.field, w.field);
    EXPECT_EQ(c.type, w.type);
    EXPECT_EQ(c.text, w.text);
    EXPECT_EQ(got[i].parent, w.parent);
    if (w.var_type != 0) {
      const VariableDescriptor& v = c.type == kRecList ? c.source : c.variable;
      EXPECT_EQ(v.type, w.var_type);
      EXPECT_EQ(v.size, w.var_size);
    }
    if (w.picture != nullptr) {
      EXPECT_EQ(c.picture, w.picture);
    }
    if (w.tip != nullptr) {
      bool status = c.type == kRecList || c.type == kRecEntry;
      EXPECT_EQ(status ? c.message.message : c.message.tooltip, w.tip);
    }
    EXPECT_EQ(c.message.hot_key, w.key);
    EXPECT_EQ((c.options & kButtonDefault) != 0 && c.type == kRecButton, w.is_default);
    EXPECT_EQ(c.action, w.action);
  }
}

TEST(WindowResources, MainFrame) {
  WindowTree t = Open("mxb$MXB001", "P1$WINDOW");
  EXPECT_EQ(t.window.title, "Tessaly (Batch Compile Manager)");
  EXPECT_EQ(t.window.position.width, 291);
  EXPECT_EQ(t.window.position.height, 176);
  EXPECT_EQ(t.window.attr & kUnitMask, kUnitDialog);
  EXPECT_EQ(t.window.attr2, 0x3800);
  EXPECT_EQ(t.window.timer, 1000);
  EXPECT_EQ(t.window.icon.file, "C:\\ICONS\\DIREVOD.ICO");
  // clang-format off
  ExpectControls(t, {
      {1, kRecList, "", 0, kQueue, 0, nullptr, "Browsing Records"},
      {2, kRecGroup, "Application"},
      {3, kRecButton, "&Gen && Make    (.EXE)", 2, 0, 0, nullptr, "Generate, compile and link an .EXE."},
      {4, kRecButton, "Gen && &Make    (.DLL)", 2, 0, 0, nullptr, "Generate, make and compile a .DLL"},
      {5, kRecButton, "Export", 2, 0, 0, nullptr, "Export to .TXA in same directory and with same name."},
      {6, kRecButton, "Import", 2, 0, 0, nullptr, "Import .TXA from same directory and name."},
      {7, kRecGroup, "Dictionary"},
      {8, kRecButton, "Import", 7, 0, 0, nullptr, "Import .TXD to .DCT with same name, from same directory"},
      {9, kRecButton, "Export", 7, 0, 0, nullptr, "Export Dictionary to .TXD with same name and directory"},
      {10, kRecGroup, ""},
      {11, kRecBoundString, "", 10},
      {12, kRecButton, "Connect", 10, 0, 0, nullptr, "Establish DDE session, starting Korvane if necessary."},
      {13, kRecButton, "Disconnect", 10, 0, 0, nullptr, "Disconnect from Korvane, ending DDE session."},
      {14, kRecButton, "&Tag", 0, 0, 0, nullptr, "Tag/Untag application for processing."},
      {15, kRecButton, "&Insert", 0, 0, 0, nullptr, "Add an application to the list."},
      {16, kRecButton, "Chan&ge", 0, 0, 0, nullptr, "Change application information.", 0, true},
      {17, kRecButton, "&Delete", 0, 0, 0, nullptr, "Remove application from list."},
      {18, kRecButton, "&Log", 0, 0, 0, nullptr, "List of actions completed."},
      {19, kRecButton, "Close", 0, 0, 0, nullptr, "Bye bye", 0, false, 15},
      {20, kRecSpin, "", 0, kByte, 1, "n3",
       "DDE time out period - set higher for slower machines and/or large .Apps."},
      {21, kRecPrompt, "DDE Time Out (in minutes):"},
      {22, kRecEntry, "", 0, kString, 30, "s30"},
      {23, kRecImage, ""},
      {24, kRecPrompt, "Last Action:"},
  });
  // clang-format on
  std::vector<Flat> all;
  Flatten(t.controls, 0, &all);
  const ControlRecord& list = *all[0].control;
  EXPECT_EQ(list.format,
            "10C*I@s1@11C*@n3B@E(0FFH,,0FFFFH,)71L|M~Drive & "
            "Path~S(88)@s80@200L(1)~Application~L(2)@s50@");
  EXPECT_EQ(list.font.face, "Arial");
  EXPECT_EQ(list.font.size, 9);
  EXPECT_NE(list.attr & kCtlPaged, 0);
  const ControlRecord& spin = *all[19].control;
  EXPECT_EQ(spin.low, 1);
  EXPECT_EQ(spin.high, 99);
  EXPECT_EQ(spin.step, 0);
  const ControlRecord& last_action = *all[21].control;
  EXPECT_EQ(last_action.attr & (kCtlReadOnly | kCtlNoTab), kCtlReadOnly | kCtlNoTab);
  EXPECT_EQ(all[22].control->image.file, "VELOCORE.BMP");
  // The button images: the ten files named and two of the program's icons.
  std::set<std::string> files;
  std::set<int32_t> icons;
  for (const Flat& f : all) {
    const ImageName& n = f.control->image;
    if (f.control->type != kRecButton || n.kind == ImageName::Kind::kNone) continue;
    EXPECT_NE(f.control->options & kButtonIconLeft, 0) << f.control->field;
    if (n.kind == ImageName::Kind::kFile) files.insert(n.file);
    else if (n.ref_kind == kRefProgram) icons.insert(n.Identifier());
  }
  EXPECT_EQ(files, (std::set<std::string>{"C:\\ICONS\\COFFEE2.ICO", "COMPUTER.ICO",
                                          "C:\\ICONS\\CONNECT.ICO", "C:\\ICONS\\DISCON.ICO",
                                          "Check1.ico", "C:\\ICONS\\INSERT.ICO", "Quill.ico",
                                          "C:\\ICONS\\DELETE.ICO", "C:\\ICONS\\INVOICE.ICO",
                                          "C:\\Korvane5\\IMAGES\\ANIMATE\\Exit.gif"}));
  EXPECT_EQ(icons.size(), 2u);
}

TEST(WindowResources, ProjectForm) {
  WindowTree t = Open("mxb$MXB002", "P1$FORMWINDOW");
  EXPECT_EQ(t.window.title, "Application Information");
  EXPECT_EQ(t.window.position.width, 248);
  EXPECT_EQ(t.window.position.height, 84);
  EXPECT_EQ(t.window.attr2, 0x3080);
  // clang-format off
  ExpectControls(t, {
      {1, kRecPrompt, "App. &Name:"},
      {2, kRecEntry, "", 0, kString, 90, "s90"},
      {3, kRecButton, "..."},
      {4, kRecPrompt, "Drive 'N Path:"},
      {5, kRecEntry, "", 0, kString, 80, "s80"},
      {6, kRecPrompt, "Application:"},
      {7, kRecEntry, "", 0, kString, 50, "s50", "No .app at the end"},
      {8, kRecPrompt, "Priority:"},
      {9, kRecEntry, "", 0, kByte, 1, "n3"},
      {10, kRecCheck, "Tag", 0, kShort, 2},
      {11, kRecButton, "&Ok", 0, 0, 0, nullptr, nullptr, 0, true},
      {12, kRecButton, "&Cancel"},
  });
  // clang-format on
  EXPECT_NE(t.controls[2].attr & kCtlNoTab, 0);  // "..." is not a tab stop
}

TEST(WindowResources, ActivityLogBrowse) {
  WindowTree t = Open("mxb$MXB003", "P1$BROWSEWINDOW");
  EXPECT_EQ(t.window.title, "Activity Log");
  EXPECT_EQ(t.window.position.width, 247);
  EXPECT_EQ(t.window.position.height, 121);
  EXPECT_EQ(t.window.attr2, 0x3040);
  // clang-format off
  ExpectControls(t, {
      {1, kRecList, "", 0, kQueue, 0, nullptr, "Browsing Records"},
      {2, kRecButton, "&Insert", 0, 0, 0, nullptr, nullptr, 45},
      {3, kRecButton, "&View", 0, 0, 0, nullptr, nullptr, 525, true},
      {4, kRecButton, "&Delete", 0, 0, 0, nullptr, nullptr, 46},
      {5, kRecButton, "&Select", 0, 0, 0, nullptr, nullptr, 13},
      {6, kRecButton, "&Close", 0, 0, 0, nullptr, nullptr, 0, false, 15},
  });
  // clang-format on
  EXPECT_EQ(t.controls[0].format,
            "97L(2)~Application~@s40@36R~Date~C(2)@d1@34L(2)~Time~L(5)@t3@240L~Event~@s80@");
  EXPECT_EQ(t.controls[0].font.face, "Arial");
  EXPECT_EQ(t.controls[0].font.size, 9);
}

TEST(WindowResources, ActivityRecordForm) {
  WindowTree t = Open("mxb$MXB004", "P1$FORMWINDOW");
  EXPECT_EQ(t.window.title, "DDE Activity Record");
  EXPECT_EQ(t.window.position.width, 184);
  EXPECT_EQ(t.window.position.height, 86);
  EXPECT_EQ(t.window.attr2, 0x3000);
  // clang-format off
  ExpectControls(t, {
      {1, kRecButton, "OK", 0, 0, 0, nullptr, nullptr, 0, true},
      {2, kRecButton, "Cancel"},
      {3, kRecPrompt, "App.:"},
      {4, kRecEntry, "", 0, kString, 40, "s40"},
      {5, kRecPrompt, "Date:"},
      {6, kRecEntry, "", 0, kLong, 4, "d1"},
      {7, kRecPrompt, "Time:"},
      {8, kRecEntry, "", 0, kLong, 4, "t3"},
      {9, kRecPrompt, "Event:"},
      {10, kRecEntry, "", 0, kString, 80, "s80"},
  });
  // clang-format on
  // Only the date entry is a tab stop among the entries.
  for (const ControlRecord& c : t.controls)
    if (c.type == kRecEntry) {
      EXPECT_EQ((c.attr & kCtlNoTab) == 0, c.field == 6) << c.field;
    }
}

TEST(WindowResources, ReportPreviewAndItsDialogs) {
  WindowTree preview = Open("mxb$MXB_SF", "P9$PREVIEW:WINDOW");
  EXPECT_EQ(preview.window.title, "Report Preview");
  EXPECT_EQ(preview.window.position, (Position{kOmitted, kOmitted, kOmitted, kOmitted}));
  EXPECT_EQ(preview.window.attr2, 0x6820);
  EXPECT_EQ(preview.window.status_widths, (std::vector<int32_t>{-1, 94}));
  EXPECT_EQ(preview.window.message.alert_keys, (std::vector<int32_t>{33, 34}));
  ASSERT_TRUE(preview.menu_bar.has_value());
  std::vector<std::string> menus;
  for (const MenuRecord& m : preview.menu_bar->menus) menus.push_back(m.text);
  EXPECT_EQ(menus, (std::vector<std::string>{"&File", "&View", "&Zoom"}));
  ASSERT_TRUE(preview.tool_bar.has_value());
  EXPECT_FALSE(preview.tool_bar->controls.empty());

  WindowTree jump = Open("mxb$MXB_SF", "P22$JUMPWINDOW");
  EXPECT_EQ(jump.window.title, "Jump to a Report Page");
  EXPECT_EQ(jump.window.position.width, 181);
  EXPECT_EQ(jump.window.position.height, 26);
  EXPECT_EQ(jump.window.attr2, 0x2000);
  // clang-format off
  ExpectControls(jump, {
      {1, kRecPrompt, "&Page:"},
      {2, kRecSpin, "", 0, kLong, 4, "n5"},
      {3, kRecButton, "OK", 0, 0, 0, nullptr, nullptr, 0, true},
      {4, kRecButton, "Cancel", 0, 0, 0, nullptr, nullptr, 0, false, 15},
  });
  // clang-format on
  EXPECT_EQ(jump.controls[1].low, 0);
  EXPECT_EQ(jump.controls[1].high, 0);
  EXPECT_EQ(jump.controls[1].step, 1);

  WindowTree select = Open("mxb$MXB_SF", "P23$SELECTWINDOW");
  EXPECT_EQ(select.window.title, "Change the Report Display");
  EXPECT_EQ(select.window.position.width, 141);
  EXPECT_EQ(select.window.position.height, 64);
  EXPECT_EQ(select.window.attr2, 0x2000);
  // clang-format off
  ExpectControls(select, {
      {1, kRecGroup, "Pages Displayed"},
      {2, kRecGroup, "Across", 1},
      {3, kRecSpin, "", 2, kShort, 2, "N2"},
      {4, kRecGroup, "Down", 1},
      {5, kRecSpin, "", 4, kShort, 2, "N2"},
      {6, kRecButton, "OK", 0, 0, 0, nullptr, nullptr, 0, true},
      {7, kRecButton, "Cancel", 0, 0, 0, nullptr, nullptr, 0, false, 15},
  });
  // clang-format on
}

// The lookup ignores the case of labels and keeps the buffer it found as the
// current window resource, with the module that held it.
TEST(WindowResources, LookupThroughThePlatform) {
  int32_t offset = FindWindowRecord("MXB$mxb003", "p1$browsewindow");
  ASSERT_NE(offset, 0);
  EXPECT_EQ(CurrentResourceModule(), ResourceInstance());
  WindowRecord w;
  DecodeError error;
  ASSERT_TRUE(DecodeWindowRecord(CurrentWindowResource(), offset, &w, &error)) << error.what;
  EXPECT_EQ(w.label, "P1$BROWSEWINDOW");
  EXPECT_EQ(FindWindowRecord("mxb$MXB003", "P1$FORMWINDOW"), 0);      // not in this resource
  EXPECT_EQ(FindWindowRecord("other$MXB003", "P1$BROWSEWINDOW"), 0);  // leading string differs
  EXPECT_EQ(FindWindowRecord("mxb$MXB009", "P1$WINDOW"), 0);
  // A failed lookup leaves the current resource as it was.
  ASSERT_TRUE(DecodeWindowRecord(CurrentWindowResource(), offset, &w, &error));
  EXPECT_EQ(w.label, "P1$BROWSEWINDOW");
}

}  // namespace
}  // namespace kor
