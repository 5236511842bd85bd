// Tests of the record decoders against resources laid out by hand: every
// field lands where the format puts it, shared blocks stay shared, references
// decode to their identifiers, and damaged resources fail with a message
// instead of reading outside the buffer.
#include "ui/resource/window_records.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/resource/resource_test_bytes.h"

namespace kor {
namespace {

using resource_testing::BodyBytes;

// A browse-like window: a list, an omitted-size prompt sharing the list's
// font, a button, a group holding an entry and a check box, a control of a
// kind without a layout, and a spin box.
struct Sample {
  BodyBytes b;
  int32_t window, font, list, prompt, button, group, entry, check, other, spin;
};

void SetPosition(BodyBytes& b, int32_t at, int32_t x, int32_t y, int32_t w, int32_t h) {
  b.PutPosition(at, x, y, w, h);
}

int32_t AlertChain(BodyBytes& b, std::vector<int32_t> keys) {
  int32_t next = 0;
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    int32_t node = b.I32(*it);
    b.I32(next);
    next = node;
  }
  return next;
}

void BuildSample(Sample& s) {
  BodyBytes& b = s.b;
  s.window = b.Record(kRecWindow, kWinSize);
  b.FirstWindow(s.window);
  b.PutI32(s.window + kWinAttr, kUnitDialog);
  SetPosition(b, s.window + kWinPosition, kOmitted, kOmitted, kOmitted, kOmitted);
  b.PutI32(s.window + kWinLabel, b.Str("P1$BROWSEWINDOW"));
  b.PutI32(s.window + kWinTitle, b.Str("Activity Log"));
  int32_t face = b.Str("Arial");
  s.font = b.I32(face);  // then size, colour, weight
  b.I32(9);
  b.I32(-1);
  b.I32(700);
  b.PutI32(s.window + kWinFont, s.font);
  b.PutI32(s.window + kWinIcon, b.Raw({0xFF, 0x02, 0x0F, 0x7F}));
  b.PutI32(s.window + kWinCursor, b.Raw({0xFF, 0x01, 0x81, 0x7F}));
  b.PutI32(s.window + kWinMessage + kMsgText, b.Str("Browsing"));
  b.PutI32(s.window + kWinMessage + kMsgAlert, AlertChain(b, {33, 34}));
  b.PutI32(s.window + kWinAttr2, 0x3800);
  b.PutI32(s.window + kWinTimer, 1000);
  int32_t widths = b.I32(-1);
  b.I32(94);
  b.I32(0);
  b.PutI32(s.window + kWinStatusWidths, widths);

  s.list = b.Record(kRecList, 109);
  b.PutI32(s.window + kWinFirstControl, s.list);
  b.PutI32(s.list + kCtlField, 1);
  b.PutI32(s.list + kCtlAttr, kCtlPaged);
  b.PutI32(s.list + 25, b.Str("97L(2)~Application~@s40@"));
  SetPosition(b, s.list + 29, 4, 4, 239, 94);
  b.PutI32(s.list + 65, s.font);
  int32_t queue = b.U8(26);
  b.I32(0);
  b.I32(0);
  b.PutI32(s.list + kListSource, queue);
  b.PutI32(s.list + kListSetting, -1);
  b.PutU8(s.list + kListOptions, 2);

  s.prompt = b.Record(kRecPrompt, 59);
  b.PutI32(s.list + kCtlNext, s.prompt);
  b.PutI32(s.prompt + kCtlField, 2);
  b.PutI32(s.prompt + kCtlAttr, kCtlRight);
  SetPosition(b, s.prompt + 21, 4, 100, kOmitted, kOmitted);
  b.PutI32(s.prompt + 41, b.Str("Last Action:"));
  b.PutI32(s.prompt + 45, s.font);
  b.PutI16(s.prompt + kPromptValue, -3);

  s.button = b.Record(kRecButton, 90);
  b.PutI32(s.prompt + kCtlNext, s.button);
  b.PutI32(s.button + kCtlField, 3);
  SetPosition(b, s.button + 21, 50, 100, 45, 14);
  b.PutI32(s.button + 37 + kMsgTooltip, b.Str("~"));
  b.PutI32(s.button + 37 + kMsgHotKey, 525);
  b.PutI32(s.button + 69, b.Str("&View"));
  b.PutI32(s.button + 73, b.Str("C:\\ICONS\\X.ICO"));
  b.PutI32(s.button + kButtonAction, 15);
  b.PutU8(s.button + kButtonOptions, 0x41);
  b.PutI16(s.button + kButtonDelay, 30);
  b.PutI16(s.button + kButtonRepeat, 10);

  s.group = b.Record(kRecGroup, 81);
  b.PutI32(s.button + kCtlNext, s.group);
  b.PutI32(s.group + kCtlField, 4);
  b.PutI32(s.group + 69, b.Str("Across"));
  s.entry = b.Record(kRecEntry, 77);
  b.PutI32(s.group + kGroupFirstChild, s.entry);
  b.PutI32(s.entry + kCtlField, 5);
  int32_t kept = b.Str("@s30");
  int32_t var = b.U8(18);
  b.I32(30);
  b.I32(kept);
  b.PutI32(s.entry + 21, var);
  b.PutI32(s.entry + 73, b.Str("s30"));
  s.check = b.Record(kRecCheck, 93);
  b.PutI32(s.entry + kCtlNext, s.check);
  b.PutI32(s.check + kCtlField, 6);
  int32_t short_var = b.U8(2);
  b.I32(2);
  b.I32(0);
  b.PutI32(s.check + 21, short_var);
  b.PutI32(s.check + 73, b.Str("Tag"));

  s.other = b.Record(4, 40);  // a kind without a layout here
  b.PutI32(s.group + kCtlNext, s.other);
  b.PutI32(s.other + kCtlField, 7);
  s.spin = b.Record(kRecSpin, 114);
  b.PutI32(s.other + kCtlNext, s.spin);
  b.PutI32(s.spin + kCtlField, 8);
  b.PutF64(s.spin + kSpinLow, 1);
  b.PutF64(s.spin + kSpinHigh, 99);
  b.PutF64(s.spin + kSpinStep, 0.5);
  b.PutI16(s.spin + kSpinValue, 7);
}

TEST(WindowRecords, WindowFieldsDecode) {
  Sample s;
  BuildSample(s);
  ResourceBuffer buffer = s.b.Buffer();
  WindowTree tree;
  DecodeError error;
  ASSERT_TRUE(DecodeWindowTree(buffer, s.window, &tree, &error)) << error.what;
  const WindowRecord& w = tree.window;
  EXPECT_EQ(w.label, "P1$BROWSEWINDOW");
  EXPECT_EQ(w.title, "Activity Log");
  EXPECT_EQ(w.position, (Position{kOmitted, kOmitted, kOmitted, kOmitted}));
  EXPECT_EQ(w.font.face, "Arial");
  EXPECT_EQ(w.font.size, 9);
  EXPECT_EQ(w.font.colour, -1);
  EXPECT_EQ(w.font.weight, 700);
  EXPECT_EQ(w.icon.kind, ImageName::Kind::kReference);
  EXPECT_EQ(w.icon.ref_kind, kRefProgram);
  EXPECT_EQ(w.icon.Identifier(), 32526);
  EXPECT_EQ(CursorIdentifier(w.cursor.stored), 32646);
  EXPECT_EQ(w.message.message, "Browsing");
  EXPECT_EQ(w.message.alert_keys, (std::vector<int32_t>{33, 34}));
  EXPECT_EQ(w.attr2, 0x3800);
  EXPECT_EQ(w.timer, 1000);
  EXPECT_EQ(w.status_widths, (std::vector<int32_t>{-1, 94}));
  EXPECT_FALSE(w.menu_bar != 0 || tree.menu_bar || tree.tool_bar);
  EXPECT_FALSE(w.colours.present());
}

TEST(WindowRecords, ControlsDecodeInChainOrderWithGroupChildren) {
  Sample s;
  BuildSample(s);
  ResourceBuffer buffer = s.b.Buffer();
  WindowTree tree;
  DecodeError error;
  ASSERT_TRUE(DecodeWindowTree(buffer, s.window, &tree, &error)) << error.what;
  ASSERT_EQ(tree.controls.size(), 6u);
  const std::vector<ControlRecord>& c = tree.controls;
  EXPECT_EQ(c[0].field, 1);
  EXPECT_EQ(c[0].format, "97L(2)~Application~@s40@");
  EXPECT_EQ(c[0].source.type, 26);
  EXPECT_FALSE(c[0].variable.present());
  EXPECT_EQ(c[0].setting, -1);
  EXPECT_EQ(c[0].options, 2);
  EXPECT_EQ(c[0].position, (Position{4, 4, 239, 94}));

  EXPECT_EQ(c[1].text, "Last Action:");
  EXPECT_EQ(c[1].position.width, kOmitted);
  EXPECT_EQ(c[1].position.height, kOmitted);
  EXPECT_EQ(c[1].value, -3);
  EXPECT_EQ(c[1].attr & kCtlAlignMask, kCtlRight);

  const ControlRecord& button = c[2];
  EXPECT_EQ(button.text, "&View");
  EXPECT_EQ(button.message.hot_key, 525);
  EXPECT_EQ(button.image.file, "C:\\ICONS\\X.ICO");
  EXPECT_EQ(button.action, 15);
  EXPECT_EQ(button.options, 0x41);
  EXPECT_EQ(button.delay, 30);
  EXPECT_EQ(button.repeat, 10);
  EXPECT_FALSE(button.font.present());  // inherits the window's

  const ControlRecord& group = c[3];
  EXPECT_EQ(group.text, "Across");
  ASSERT_EQ(group.children.size(), 2u);
  EXPECT_EQ(group.children[0].field, 5);
  EXPECT_EQ(group.children[0].variable.type, 18);
  EXPECT_EQ(group.children[0].variable.size, 30);
  EXPECT_EQ(group.children[0].variable.picture, "@s30");
  EXPECT_EQ(group.children[0].picture, "s30");
  EXPECT_EQ(group.children[1].text, "Tag");
  EXPECT_EQ(group.children[1].variable.type, 2);
  EXPECT_EQ(group.children[1].variable.picture, "");

  EXPECT_FALSE(c[4].known);  // kind 4: header only
  EXPECT_EQ(c[4].field, 7);
  EXPECT_EQ(c[5].low, 1);
  EXPECT_EQ(c[5].high, 99);
  EXPECT_EQ(c[5].step, 0.5);
  EXPECT_EQ(c[5].value, 7);
}

TEST(WindowRecords, TwoControlsWithOneFontBlockShareIt) {
  Sample s;
  BuildSample(s);
  ResourceBuffer buffer = s.b.Buffer();
  std::vector<ControlRecord> controls;
  DecodeError error;
  ASSERT_TRUE(DecodeControls(buffer, s.list, &controls, &error)) << error.what;
  EXPECT_EQ(controls[0].font.offset, s.font);
  EXPECT_EQ(controls[1].font.offset, controls[0].font.offset);
  EXPECT_EQ(controls[1].font.face, "Arial");
}

TEST(WindowRecords, ZeroOffsetsReadAsEmptyStrings) {
  BodyBytes b;
  int32_t w = b.Record(kRecWindow, kWinSize);
  b.FirstWindow(w);
  WindowRecord record;
  DecodeError error;
  ASSERT_TRUE(DecodeWindowRecord(b.Buffer(), w, &record, &error)) << error.what;
  EXPECT_EQ(record.label, "");
  EXPECT_EQ(record.title, "");
  EXPECT_EQ(record.icon.kind, ImageName::Kind::kNone);
  EXPECT_FALSE(record.font.present());
  EXPECT_EQ(record.status_offset, 0);
  EXPECT_TRUE(record.status_widths.empty());
}

TEST(WindowRecords, ImageReferencesAndCursorValues) {
  struct Case {
    std::vector<uint8_t> bytes;
    uint8_t kind;
    int32_t identifier;
    int32_t cursor;
  };
  const Case cases[] = {
      {{0xFF, 0x02, 0x0F, 0x7F}, kRefProgram, 32526, 32526},
      {{0xFF, 0x01, 0x02, 0x7F}, kRefPlatform, 32513, 32513},
      {{0xFF, 0x01, 0x81, 0x7F}, kRefPlatform, 0x7F80, 32646},
      {{0xFF, 0x01, 0x82, 0x7F}, kRefPlatform, 0x7F81, 32512},
      {{0xFF, 0x02, 0x66, 0x00}, kRefProgram, 101, 101},  // a zero byte inside
  };
  for (const Case& c : cases) {
    BodyBytes b;
    int32_t at = b.Raw(c.bytes);
    ResourceBuffer buffer = b.Buffer();
    BlockReader r(buffer, nullptr);
    ImageName n = ReadImageName(r, at);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(n.kind, ImageName::Kind::kReference);
    EXPECT_EQ(n.ref_kind, c.kind);
    EXPECT_EQ(n.Identifier(), c.identifier);
    EXPECT_EQ(CursorIdentifier(n.stored), c.cursor);
  }
}

TEST(WindowRecords, TildeTooltipsTakeTheStatusMessage) {
  struct Case {
    const char* message;
    const char* tooltip;
    const char* shown;
  };
  const Case cases[] = {
      {"Add an application", "~", "Add an application"},
      {"Add an application", "~Insert", "Add an application"},
      {"", "~", "~"},
      {"", "~Insert", "~Insert"},
      {"Add an application", "Insert", "Insert"},
      {"Add an application", "", ""},
      {"Add", "a~b", "a~b"},
  };
  for (const Case& c : cases) {
    MessageBlock m;
    m.message = c.message;
    m.tooltip = c.tooltip;
    EXPECT_EQ(EffectiveTooltip(m), c.shown) << c.message << " / " << c.tooltip;
  }
}

// Damage of one kind each: the decode fails with a message and reads nothing
// outside the buffer (AddressSanitizer watches the latter).
TEST(WindowRecords, DamagedResourcesFailWithAMessage) {
  struct Case {
    const char* name;
    void (*damage)(Sample& s);
    const char* message;
  };
  const Case cases[] = {
      {"label outside", [](Sample& s) { s.b.PutI32(s.window + kWinLabel, 1 << 30); },
       "window label"},
      {"first control outside",
       [](Sample& s) { s.b.PutI32(s.window + kWinFirstControl, s.b.Here() + 3); }, "control"},
      {"control chain loops", [](Sample& s) { s.b.PutI32(s.spin + kCtlNext, s.list); },
       "reached twice"},
      {"group holds itself", [](Sample& s) { s.b.PutI32(s.group + kGroupFirstChild, s.group); },
       "reached twice"},
      {"alert chain loops",
       [](Sample& s) {
         int32_t node = s.b.I32(33);
         s.b.I32(node);
         s.b.PutI32(s.window + kWinMessage + kMsgAlert, node);
       },
       "loops"},
      {"negative font offset", [](Sample& s) { s.b.PutI32(s.prompt + 45, -8); }, "font"},
      {"unterminated text",
       [](Sample& s) {
         s.b.U8('x');  // the last byte of the body, with no end after it
         s.b.PutI32(s.button + 69, s.b.Here() - 1);
       },
       "not terminated"},
      // Offsets near the top of the int32_t range: the fixed offsets added to
      // them must not overflow.
      {"alert chain at the top of the range",
       [](Sample& s) { s.b.PutI32(s.window + kWinMessage + kMsgAlert, INT32_MAX); }, "alert key"},
      {"control chain at the top of the range",
       [](Sample& s) { s.b.PutI32(s.spin + kCtlNext, INT32_MAX - 1); }, "control chain"},
      {"font at the top of the range",
       [](Sample& s) { s.b.PutI32(s.window + kWinFont, INT32_MAX - 2); }, "window font"},
      {"status widths run off the end",
       [](Sample& s) { s.b.PutI32(s.window + kWinStatusWidths, s.b.Here() - 2); },
       "status-bar widths"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sample s;
    BuildSample(s);
    c.damage(s);
    ResourceBuffer buffer = s.b.Buffer();
    std::vector<WindowTree> windows;
    DecodeError error;
    EXPECT_FALSE(DecodeAllWindows(buffer, &windows, &error));
    EXPECT_NE(error.what.find(c.message), std::string::npos) << error.what;
  }
}

TEST(WindowRecords, TruncatedRecordsAndChainsFail) {
  BodyBytes b;
  int32_t w = b.Record(kRecWindow, kWinSize - 1);  // one byte short
  b.FirstWindow(w);
  WindowRecord record;
  DecodeError error;
  EXPECT_FALSE(DecodeWindowRecord(b.Buffer(), w, &record, &error));
  EXPECT_NE(error.what.find("runs past the end"), std::string::npos) << error.what;

  BodyBytes c;
  int32_t button = c.Record(kRecButton, 89);
  ControlRecord control;
  EXPECT_FALSE(DecodeControl(c.Buffer(), button, &control, &error));

  BodyBytes d;
  d.FirstWindow(d.Here() + 100);
  std::vector<int32_t> offsets;
  EXPECT_FALSE(ListWindows(d.Buffer(), &offsets, &error));
  EXPECT_TRUE(offsets.empty());
}

TEST(WindowRecords, GroupsNestedTooDeeplyFail) {
  BodyBytes b;
  int32_t first = b.Record(kRecGroup, 81);
  int32_t outer = first;
  for (int i = 0; i < 40; ++i) {
    int32_t inner = b.Record(kRecGroup, 81);
    b.PutI32(outer + kGroupFirstChild, inner);
    outer = inner;
  }
  std::vector<ControlRecord> controls;
  DecodeError error;
  EXPECT_FALSE(DecodeControls(b.Buffer(), first, &controls, &error));
  EXPECT_NE(error.what.find("nested"), std::string::npos) << error.what;
}

TEST(WindowRecords, AWindowChainHoldsOnlyWindowsAndReports) {
  BodyBytes b;
  int32_t w1 = b.Record(kRecWindow, kWinSize);
  int32_t w2 = b.Record(kRecReport, kWinSize);
  int32_t bad = b.Record(kRecButton, 90);
  b.FirstWindow(w1);
  b.PutI32(w1 + kWinNext, w2);
  std::vector<int32_t> offsets;
  DecodeError error;
  ASSERT_TRUE(ListWindows(b.Buffer(), &offsets, &error)) << error.what;
  EXPECT_EQ(offsets, (std::vector<int32_t>{w1, w2}));
  b.PutI32(w2 + kWinNext, bad);
  EXPECT_FALSE(ListWindows(b.Buffer(), &offsets, &error));
  EXPECT_EQ(offsets, (std::vector<int32_t>{w1, w2}));  // the part before the damage
}

}  // namespace
}  // namespace kor
