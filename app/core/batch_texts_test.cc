// The batch operations' commands and texts, each written out in full.
#include "app/core/batch_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace mxb {
namespace {

struct OpCase {
  BatchOp op;
  const char* command;  // for stem C:\P\SALES, before padding
  const char* source_missing;
  const char* removed;  // for the same stem, "" when none
  const char* wait;     // for directory C:\P\ (padded)
  const char* before;   // for project sales.app
  const char* ack;
  const char* finished;
  const char* begin;
  const char* end;
  const char* terminate;  // code 33, text "Record Not Available"
};

// clang-format off
const OpCase kCases[] = {
    {BatchOp::kMakeExe, "[ExecuteProject(\"C:\\P\\SALES.app\")]", ".APP not found",
     "C:\\P\\SALES.EXE", "C:\\P\\*.EXE", "", "sales.app DDE Ack.", "sales.app Compiled & Made",
     "Begin Make", "Make Finished", "Error Making .App 33 Record Not Available"},
    {BatchOp::kMakeDll, "[ExecuteProject(\"C:\\P\\SALES.app\")]", ".APP not found",
     "C:\\P\\SALES.DLL", "C:\\P\\*.DLL", "", "sales.app DDE Ack.",
     "sales.app DLL Compiled & Made", "Begin Make", "Make Finished",
     "Error Making .App 33 Record Not Available"},
    {BatchOp::kExportApp, "[ExportApp(\"C:\\P\\SALES.App\",C:\\P\\SALES.TXA,0)]",
     ".APP not found", "C:\\P\\SALES.TXA", "C:\\P\\*.TXA", "Exporting sales.app",
     "sales.app Exported.", "", "Begin APP Export", "Export APP Finished",
     "Error Making .App 33 Record Not Available"},
    {BatchOp::kImportApp, "[ImportApp(\"C:\\P\\SALES.TXA\",C:\\P\\SALES.APP,0,Replace)]",
     ".TXA not found", "", "C:\\P\\*.APP", "Importing sales.app", "sales.app Imported.", "",
     "Begin APP Import", "Import APP Finished", "Error Making .App 33 Record Not Available"},
    {BatchOp::kImportDct, "[ImportDCT(\"C:\\P\\SALES.TXD\",C:\\P\\SALES.DCT,0)]",
     ".TXD not found", "", "C:\\P\\*.DCT", "Importing sales.app", "sales.app Imported.", "",
     "Begin DCT Import", "Import DCT Finished", "Error Importing .DCT 33 Record Not Available"},
    {BatchOp::kExportDct, "[ExportDCT(\"C:\\P\\SALES.DCT\",C:\\P\\SALES.TXD,0)]",
     ".DCT not found", "", "C:\\P\\*.DCT", "Exporting sales.app", "sales.app Exported.", "",
     "Begin DCT Export", "Export DCT Finished", "Error Exporting .DCT 33 Record Not Available"},
};
// clang-format on

TEST(BatchTexts, EveryOperationsCommandAndTexts) {
  for (const OpCase& c : kCases) {
    const BatchOpSpec& spec = OpSpec(c.op);
    SCOPED_TRACE(spec.title);
    std::string stem = ProjectStem("C:\\P\\" + std::string(76, ' '), "SALES.app");
    ASSERT_EQ(stem, "C:\\P\\SALES");
    std::string cmd = BuildCommand(spec, stem);
    ASSERT_EQ(cmd.size(), 255u);
    std::string raw = c.command;
    EXPECT_EQ(cmd.substr(0, raw.size()), raw);
    EXPECT_EQ(cmd.find_first_not_of(' ', raw.size()), std::string::npos) << "blank padding";
    EXPECT_EQ(MissingSourceText(spec), c.source_missing);
    EXPECT_EQ(RemovedName(spec, stem), c.removed);
    EXPECT_EQ(WaitPattern(spec, "C:\\P\\   "), c.wait);
    EXPECT_EQ(StatusBefore(spec, "sales.app   "), c.before);
    EXPECT_EQ(StatusAck(spec, "sales.app   "), c.ack);
    EXPECT_EQ(StatusFinished(spec, "sales.app"), c.finished);
    EXPECT_EQ(spec.log_begin, std::string(c.begin));
    EXPECT_EQ(spec.log_finished, std::string(c.end));
    EXPECT_EQ(TerminateMessage(spec, 33, "Record Not Available   "), c.terminate);
    EXPECT_EQ(FindOpBySwitch(Upper(spec.switch_name)), &spec);
  }
  EXPECT_EQ(FindOpBySwitch("make"), nullptr);
}

TEST(BatchTexts, BaseNameIsTheTextBeforeTheFirstDot) {
  EXPECT_EQ(BaseName("a.b.app"), "a");
  EXPECT_EQ(BaseName("plain   "), "plain");  // no "." : the whole name
  EXPECT_EQ(BaseName(".app"), "");
  EXPECT_EQ(ProjectStem("D:\\", "X.DCT"), "D:\\X");
}

TEST(BatchTexts, StatusTextsAreCutToTheLastActionField) {
  const BatchOpSpec& spec = OpSpec(BatchOp::kMakeDll);
  std::string project(28, 'p');
  EXPECT_EQ(StatusAck(spec, project), project + " D");
  EXPECT_EQ(StatusFinished(spec, project).size(), kLastActionSize);
}

TEST(BatchTexts, ErrorLogTextJoinsCodeAndClippedText) {
  EXPECT_EQ(ErrorLogText(603, "DDEexecute - invalid command   "),
            "Error 603 DDEexecute - invalid command");
  EXPECT_EQ(ErrorLogText(2, std::string(100, 'x')).size(), kLogEventSize);
}

TEST(BatchTexts, ACommandThatDoesNotFitIsNotSentCut) {
  const BatchOpSpec& spec = OpSpec(BatchOp::kImportApp);
  std::string stem(120, 'S');  // 2 x 120 + the pieces: past 255
  EXPECT_FALSE(CommandFits(spec, stem));
  EXPECT_EQ(BuildCommand(spec, stem), "");
  EXPECT_TRUE(CommandFits(OpSpec(BatchOp::kMakeExe), stem));
}

TEST(BatchTexts, ExpectedOutputByListedOrFullName) {
  const BatchOpSpec& spec = OpSpec(BatchOp::kMakeExe);
  struct {
    const char* base;
    const char* listed;
    const char* long_name;
    bool match;
  } cases[] = {
      {"SALES", "SALES.EXE    ", "", true},
      {"sales", "  Sales.exe  ", "", true},  // leading blanks and case ignored
      {"SALES", "SALES.DLL    ", "SALES.DLL", false},
      {"SALESX", "SALES.EXE    ", "SALES.EXE", false},
      {"inventory", "INVENT~1.EXE ", "", false},  // the 8.3 name alone never matches
      {"inventory", "INVENT~1.EXE ", "Inventory.EXE", true},
      {"abcdefghijk", "abcdefghijk.E", "", false},  // a listed long name is cut to 13
      {"abcdefghijk", "abcdefghijk.E", "abcdefghijk.exe", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsExpectedOutput(spec, c.base, c.listed, c.long_name), c.match)
        << c.base << " / " << c.listed << " / " << c.long_name;
  }
}

}  // namespace
}  // namespace mxb
