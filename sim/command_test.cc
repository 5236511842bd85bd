// Tests of the command parser: every accepted form, padding, and the refusals.
#include "sim/command.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

struct Accepted {
  const char* text;
  CommandKind kind;
  const char* source;
  const char* target;
  const char* stem;
};

// clang-format off
const Accepted kAccepted[] = {
    {"[ExecuteProject(\"C:\\W\\a.app\")]", CommandKind::kExecuteProject, "C:\\W\\a.app", "", "C:\\W\\a"},
    {"[ExportApp(\"C:\\W\\a.App\",C:\\W\\a.TXA,0)]", CommandKind::kExportApp, "C:\\W\\a.App", "C:\\W\\a.TXA", "C:\\W\\a"},
    {"[ImportApp(\"C:\\W\\a.TXA\",C:\\W\\a.APP,0,Replace)]", CommandKind::kImportApp, "C:\\W\\a.TXA", "C:\\W\\a.APP", "C:\\W\\a"},
    {"[ImportDCT(\"C:\\W\\a.TXD\",C:\\W\\a.DCT,0)]", CommandKind::kImportDct, "C:\\W\\a.TXD", "C:\\W\\a.DCT", "C:\\W\\a"},
    {"[ExportDCT(\"C:\\W\\a.DCT\",C:\\W\\a.TXD,0)]", CommandKind::kExportDct, "C:\\W\\a.DCT", "C:\\W\\a.TXD", "C:\\W\\a"},
    // Blanks and commas inside the bare second name; a relative stem.
    {"[ExportDCT(\"My Dir\\b,c.DCT\",My Dir\\b,c.TXD,0)]", CommandKind::kExportDct, "My Dir\\b,c.DCT", "My Dir\\b,c.TXD", "My Dir\\b,c"},
    {"[ExecuteProject(\"x.app\")]", CommandKind::kExecuteProject, "x.app", "", "x"},
};
// clang-format on

TEST(ParseCommand, AcceptsTheFiveCommands) {
  for (const Accepted& a : kAccepted) {
    ParseResult r = ParseCommand(a.text);
    ASSERT_TRUE(r.ok) << a.text << ": " << r.message;
    EXPECT_EQ(r.command.kind, a.kind) << a.text;
    EXPECT_EQ(r.command.source, a.source) << a.text;
    EXPECT_EQ(r.command.target, a.target) << a.text;
    EXPECT_EQ(r.command.stem, a.stem) << a.text;
  }
}

TEST(ParseCommand, AcceptsTheWhole255CharacterVariable) {
  std::string text = "[ExecuteProject(\"C:\\W\\a.app\")]";
  text.resize(255, ' ');
  ParseResult r = ParseCommand(text);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.command.stem, "C:\\W\\a");
  // What follows a zero byte is not part of the command.
  ParseResult cut = ParseCommand(std::string("[ExecuteProject(\"a.app\")]  \0junk", 32));
  EXPECT_TRUE(cut.ok) << cut.message;
}

struct Refused {
  const char* text;
  int error;
};

// clang-format off
const Refused kRefused[] = {
    {"", kSimMalformedCommand},
    {"     ", kSimMalformedCommand},
    {"ExecuteProject(\"a.app\")", kSimMalformedCommand},
    {"[ExecuteProject(\"a.app\")] x", kSimMalformedCommand},
    {"[ExecuteProject(\"a.app\")]\t", kSimMalformedCommand},
    {" [ExecuteProject(\"a.app\")]", kSimMalformedCommand},
    {"[ExecuteProject]", kSimMalformedCommand},
    {"[ExecuteProject(a.app)]", kSimMalformedCommand},
    {"[ExecuteProject(\"a.app)]", kSimMalformedCommand},
    {"[ExecuteProject(\"a.APP\")]", kSimMalformedCommand},
    {"[ExecuteProject(\".app\")]", kSimMalformedCommand},
    {"[ExecuteProject(\"C:\\W\\.app\")]", kSimMalformedCommand},
    {"[ExecuteProject(\"a.app\") ]", kSimMalformedCommand},
    {"[ExecuteProject(\"a.app\",0)]", kSimMalformedCommand},
    {"[ExportApp(\"a.App\",a.TXA)]", kSimMalformedCommand},
    {"[ExportApp(\"a.App\",\"a.TXA\",0)]", kSimMalformedCommand},
    {"[ExportApp(\"a.App\",a.TXD,0)]", kSimMalformedCommand},
    {"[ExportApp(\"a.App\",.TXA,0)]", kSimMalformedCommand},
    {"[ExportApp(\"a.App\" ,a.TXA,0)]", kSimMalformedCommand},
    {"[ImportApp(\"a.TXA\",a.APP,0)]", kSimMalformedCommand},
    {"[ImportApp(\"a.TXA\",a.APP,0,replace)]", kSimMalformedCommand},
    {"[ImportDCT(\"a.DCT\",a.TXD,0)]", kSimMalformedCommand},
    {"[ExportDCT(\"a.DCT\",a.TXD,1)]", kSimMalformedCommand},
    {"[executeproject(\"a.app\")]", kSimUnknownCommand},
    {"[CompileProject(\"a.app\")]", kSimUnknownCommand},
    {"[(\"a.app\")]", kSimUnknownCommand},
};
// clang-format on

TEST(ParseCommand, RefusesWithAReason) {
  for (const Refused& r : kRefused) {
    ParseResult result = ParseCommand(r.text);
    EXPECT_FALSE(result.ok) << r.text;
    EXPECT_EQ(result.error, r.error) << r.text << ": " << result.message;
    EXPECT_FALSE(result.message.empty()) << r.text;
  }
  EXPECT_EQ(ParseCommand("[Foo(\"a.app\")]").message, "Unknown command: Foo");
}

TEST(OutputFiles, MakeWritesWhatItIsToldAndTheOthersTheirTarget) {
  Command make = ParseCommand("[ExecuteProject(\"C:\\W\\a.app\")]").command;
  EXPECT_EQ(OutputFiles(make, MakeOutputs::kBoth),
            (std::vector<std::string>{"C:\\W\\a.EXE", "C:\\W\\a.DLL"}));
  EXPECT_EQ(OutputFiles(make, MakeOutputs::kExe), std::vector<std::string>{"C:\\W\\a.EXE"});
  EXPECT_EQ(OutputFiles(make, MakeOutputs::kDll), std::vector<std::string>{"C:\\W\\a.DLL"});
  Command import = ParseCommand("[ImportDCT(\"C:\\W\\a.TXD\",C:\\W\\a.DCT,0)]").command;
  EXPECT_EQ(OutputFiles(import, MakeOutputs::kExe), std::vector<std::string>{"C:\\W\\a.DCT"});
}

TEST(OutputContent, NamesTheCommandWithoutPaddingAndTheCounter) {
  EXPECT_EQ(
      OutputContent("[ExecuteProject(\"a.app\")]   ", 7),
      "Made by the Korvane stand-in\r\nCommand: [ExecuteProject(\"a.app\")]\r\nCounter: 7\r\n");
}

TEST(Paths, BaseNameAndDirectory) {
  EXPECT_EQ(BaseName("C:\\W\\a"), "a");
  EXPECT_EQ(BaseName("C:a"), "a");
  EXPECT_EQ(BaseName("dir/a"), "a");
  EXPECT_EQ(BaseName("a"), "a");
  EXPECT_EQ(DirectoryOf("C:\\W\\a.EXE"), "C:\\W\\");
  EXPECT_EQ(DirectoryOf("a.EXE"), "");
}

}  // namespace
}  // namespace sim
