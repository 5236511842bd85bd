// Tests of the compiler as a whole: the program's five descriptions go text
// -> resource -> text unchanged and resource -> text -> resource to the same
// bytes; equal blocks are written once; faults in a description name their
// line.
#include "tools/rsc/description.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ui/resource/window_format.h"

namespace rsc {
namespace {

std::string ReadSource(const std::string& name) {
  std::ifstream in(std::string(MXB_SOURCE_DIR) + "/resources/" + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<uint8_t> Compile(const std::string& text) {
  Description d;
  std::vector<Diagnostic> diagnostics;
  EXPECT_TRUE(ParseDescription(text, &d, &diagnostics))
      << diagnostics[0].line << ": " << diagnostics[0].message;
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(WriteResource(d, &bytes, &error)) << error;
  return bytes;
}

class Program : public ::testing::TestWithParam<const char*> {};

TEST_P(Program, DescriptionRoundTripsThroughTheResource) {
  std::string source = ReadSource(GetParam());
  ASSERT_FALSE(source.empty()) << GetParam();
  std::vector<uint8_t> bytes = Compile(source);
  Description back;
  std::string error;
  ASSERT_TRUE(ReadResource(bytes, &back, &error)) << error;
  std::string printed = PrintDescription(back);
  EXPECT_EQ(SignificantLines(printed), SignificantLines(source));
  // And the printed text compiles to the very same bytes.
  EXPECT_EQ(Compile(printed), bytes);
}

INSTANTIATE_TEST_SUITE_P(Descriptions, Program,
                         ::testing::Values("MXB001.wnd", "MXB002.wnd", "MXB003.wnd", "MXB004.wnd",
                                           "MXB_SF.wnd"));

// A description that uses every property once, so the round trip covers each.
const char* kEverything = R"(resource "x$ALL"

report "P1$R"
  title "All"
  at 1 -2 default 4
  unit inch/1000
  attr 0x1
  reserved 1 2 3
  frame none centred minimised
  font "Face" 10 colour rgb(1,2,3) weight bold
  colours default rgb(0,0,0) 0x80000005
  icon system question
  cursor system sizeall
  timer 50
  message "m"
  tip "~"
  help "h"
  key Alt+F4
  alert Insert Delete
  status 20 rest
  wallpaper 2 resource 7
  menubar
    attr 1
    reserved 2
    menu 1 "&M"
      name "n"
      reserved2 3
      font "Face" 10 colour rgb(1,2,3) weight bold
      menu 2 "&Sub"
        item 3 "I"
          action close
          options checked
          key Ctrl+I
      item 4
        options separator
  toolbar
    at 0 0 default 10
    attr 3
    button 5 "T"
      at 1 1 1 1
  list 6
    name "lst"
    at 1 2 3 4
    attr paged vscroll hscroll
    reserved 9
    var STRING(20) @s20
    var2 DECIMAL(5,2)
    source QUEUE
    format "10L@s1@"
    options extra
    drop 5
    setting 3
    list-value 7
    list-text "t" 8
    list-more 9
    alert Insert Delete
    font "Face" 10 colour rgb(1,2,3) weight bold
    cursor system arrow
    colours rgb(9,9,9) default default
  group 7 "G"
    at 1 1 1 1
    check 8 "C"
      at 1 1 1 1
      var SHORT
      icon "a.ico"
      images "b.ico" none
      options default icon-left
    spin 9
      at 1 1 1 1
      attr readonly required upper password
      var REAL
      source LONG extra 4
      picture @n3.2
      value -7
      range -1.5 2.25
      step 0.25
  show 10
    at 1 1 1 1
    var ULONG
    picture @n10
    options 0x80
    value 3
  string 11 "s"
    at 1 1 1 1
    attr right
    value 2
  prompt 12 "p"
    at default default default default
    attr centre notab disabled hidden
  image 13
    at 1 1 default default
    graphic ref 3 9
    options stretch tile
  button 14 "B"
    at 1 1 1 1
    attr repeat
    icon resource 101
    options 0x2
    action 3
    repeat 30 10
  entry 15
    at 1 1 1 1
    var type23(4)
    picture @s1
)";

TEST(Description, EveryPropertyRoundTrips) {
  std::vector<uint8_t> bytes = Compile(kEverything);
  Description back;
  std::string error;
  ASSERT_TRUE(ReadResource(bytes, &back, &error)) << error;
  EXPECT_EQ(SignificantLines(PrintDescription(back)), SignificantLines(kEverything));
}

TEST(Description, EqualBlocksAndTextsAreWrittenOnce) {
  const char* text = R"(resource "x$S"
window "W"
  at 0 0 10 10
  font "Arial" 9
  prompt 1 "Same"
    at 0 0 1 1
    font "Arial" 9
  prompt 2 "Same"
    at 0 0 1 1
    font "Arial" 9
  button 3 "Other"
    at 0 0 1 1
    alert Insert Delete
  button 4 "Same"
    at 0 0 1 1
    alert Insert Delete
  button 5
    at 0 0 1 1
)";
  std::vector<uint8_t> bytes = Compile(text);
  Description d;
  std::string error;
  ASSERT_TRUE(ReadResource(bytes, &d, &error)) << error;
  const std::vector<kor::ControlRecord>& c = d.windows[0].controls;
  EXPECT_EQ(c[0].font.offset, d.windows[0].window.font.offset);
  EXPECT_EQ(c[1].font.offset, c[0].font.offset);
  std::string body(bytes.begin(), bytes.end());
  size_t first = body.find("Same");
  EXPECT_EQ(body.find("Same", first + 1), std::string::npos);  // one copy of the text
  size_t arial = body.find("Arial");
  EXPECT_EQ(body.find("Arial", arial + 1), std::string::npos);
  // Both buttons point at one alert chain; an empty text is offset 0.
  int32_t alert3 = 0, alert4 = 0, text5 = -1;
  auto read = [&](int32_t at) {
    int32_t v;
    memcpy(&v, bytes.data() + (at - kor::kBodyBase) + 4 /* "x$S\0" */, 4);
    return v;
  };
  alert3 = read(c[2].offset + 37 + kor::kMsgAlert);
  alert4 = read(c[3].offset + 37 + kor::kMsgAlert);
  text5 = read(c[4].offset + 69);
  EXPECT_NE(alert3, 0);
  EXPECT_EQ(alert3, alert4);
  EXPECT_EQ(text5, 0);
}

TEST(Description, FaultsNameTheirLine) {
  struct Case {
    const char* text;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"window \"W\"\n", 1, "start with 'resource"},
      {"resource \"x$A\"\nwindow \"W\"\n  titel \"t\"\n", 3,
       "'titel' is not a property of a window"},
      {"resource \"x$A\"\nwindow \"W\"\n  button 1\n  button 1\n", 4, "used twice"},
      {"resource \"x$A\"\nwindow \"W\"\n  button 1\n    range 1 2\n", 4,
       "not a property of button"},
      {"resource \"x$A\"\nwindow \"W\"\n  entry 1\n    var STRANG(3)\n", 4, "not a data type"},
      {"resource \"x$A\"\nwindow \"W\"\n  entry 1\n    key Ctrl+Foo\n", 4, "not a key"},
      {"resource \"x$A\"\nwindow \"W\"\n  button 1\n    at 1 2 3\n", 4, "x, y, width and height"},
      {"resource \"x$A\"\nwindow \"W\"\n  prompt 1 \"a\"\n    button 2\n", 4, "only a group"},
      {"resource \"x$A\"\nwindow \"W\"\n  list 1 \"a\"\n", 3, "expected 'list FIELD'"},
      {"resource \"x$A\"\nwindow \"W\"\n  frame single wobbly\n", 3, "'wobbly'"},
      {"resource \"x$A\"\nwindow \"W\"\n  button x\n", 3, "field number"},
      {"resource \"x$A\"\nwindow \"W\"\n  title \"a\"\n  title \"b\"\n", 4, "given twice"},
      {"resource \"x$A\"\nwindow \"W\"\nwindow \"w\"\n", 3, "a window of this label"},
      {"resource \"x$A\"\nwindow \"W\"\n  spin 1\n    value 40000\n", 4, "out of range"},
      {"resource \"x$A\"\nwindow \"W\"\n  status 0\n", 3, "width of 0"},
      {"resource \"x$A\"\nwindow \"W\"\n  attr 0x100\n", 3, "'unit'"},
      {"resource \"x$A\"\nwindow \"W\"\n  button 1\n    options big\n", 4, "'big'"},
      {"resource \"x$A\"\nwindow \"W\"\n  button 1\n  button 3\n", 4, "should be 2"},
      {"resource \"x$A\"\nwindow \"W\"\n  button 2\n", 3, "should be 1"},
      {"resource \"x$A\"\nwindow \"W\"\n  button 1\n  menubar\n", 4, "come before"},
  };
  for (const Case& c : cases) {
    Description d;
    std::vector<Diagnostic> diagnostics;
    EXPECT_FALSE(ParseDescription(c.text, &d, &diagnostics)) << c.text;
    ASSERT_FALSE(diagnostics.empty()) << c.text;
    EXPECT_EQ(diagnostics[0].line, c.line) << c.text;
    EXPECT_NE(diagnostics[0].message.find(c.message), std::string::npos)
        << c.text << " -> " << diagnostics[0].message;
  }
}

TEST(Description, DamagedResourcesAreReportedNotPrinted) {
  std::vector<uint8_t> bytes = Compile(ReadSource("MXB003.wnd"));
  Description d;
  std::string error;
  std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2));
  EXPECT_FALSE(ReadResource(cut, &d, &error));
  EXPECT_NE(error.find("damaged"), std::string::npos) << error;
  EXPECT_FALSE(ReadResource({'n', 'o', 'e', 'n', 'd'}, &d, &error));
}

}  // namespace
}  // namespace rsc
