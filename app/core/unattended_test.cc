// Unattended runs: switch parsing, the report read back with a JSON parser,
// and the exit status.
#include "app/core/unattended.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace mxb {
namespace {

TEST(Unattended, SwitchesInWindowsStyle) {
  struct {
    const char* line;
    bool ok;
    BatchOp op = BatchOp::kMakeExe;  // when unattended
    bool unattended = false;
    const char* report = "";
    int timeout = 0;
    ShowMode show = ShowMode::kNormal;
  } cases[] = {
      {"", true, BatchOp::kMakeExe, false, "MXBRUN.JSON", 15, ShowMode::kNormal},
      {"/run=makeexe", true, BatchOp::kMakeExe, true, "MXBRUN.JSON", 15, ShowMode::kMinimised},
      {"-RUN:MakeDll /hide /timeout=1", true, BatchOp::kMakeDll, true, "MXBRUN.JSON", 1,
       ShowMode::kHidden},
      {"/run=exportdct /report=\"C:\\nightly runs\\r.json\" /TIMEOUT:255", true,
       BatchOp::kExportDct, true, "C:\\nightly runs\\r.json", 255, ShowMode::kMinimised},
      {"/run=importapp /yes", true, BatchOp::kImportApp, true, "MXBRUN.JSON", 15,
       ShowMode::kMinimised},
      {"/run=importapp", false},  // the confirmation needs /yes
      {"/run=make", false},
      {"/run", false},
      {"/yes=1", false},
      {"/timeout=0", false},
      {"/timeout=256", false},
      {"/timeout=5m", false},
      {"/report=", false},
      {"/bogus", false},
      {"makeexe", false},
  };
  for (const auto& c : cases) {
    RunOptions o;
    std::string error;
    bool ok = ParseCommandLine(c.line, &o, &error);
    EXPECT_EQ(ok, c.ok) << c.line << ": " << error;
    if (!ok) {
      EXPECT_FALSE(error.empty()) << c.line;
      continue;
    }
    EXPECT_EQ(o.unattended(), c.unattended) << c.line;
    if (c.unattended) {
      EXPECT_EQ(o.op->op, c.op) << c.line;
    }
    EXPECT_EQ(o.report_path, c.report) << c.line;
    EXPECT_EQ(o.timeout_minutes, c.timeout) << c.line;
    EXPECT_EQ(o.show, c.show) << c.line;
  }
  RunOptions o;
  std::string error;
  ASSERT_TRUE(ParseCommandLine("/?", &o, &error));
  EXPECT_TRUE(o.help);
  for (const char* name : {"makeexe", "makedll", "exportapp", "importapp", "importdct", "exportdct",
                           "/yes", "/report", "/timeout", "/hide"}) {
    EXPECT_NE(HelpText().find(name), std::string::npos) << name;
  }
}

std::vector<nlohmann::json> Lines(const std::string& text) {
  std::vector<nlohmann::json> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out.push_back(nlohmann::json::parse(line));
  return out;
}

TEST(Unattended, ReportOneObjectPerProjectThenSummary) {
  RunReport report(OpSpec(BatchOp::kMakeExe));
  EXPECT_EQ(report.ExitStatus(), kExitAllFinished);  // nothing tagged
  report.Add({"sales.app", Outcome::kFinished, 1.5, 0, ""});
  EXPECT_EQ(report.ExitStatus(), kExitAllFinished);
  report.Add({"st\xe9.app", Outcome::kFailed, 0.25, 603, "DDEexecute - invalid command"});
  report.Add({"rest.app", Outcome::kNotProcessed, 0, 0, ""});
  report.Note("Error 103 : Project refused");
  std::vector<nlohmann::json> lines = Lines(report.Text());
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0]["operation"], "make executable");
  EXPECT_EQ(lines[0]["project"], "sales.app");
  EXPECT_EQ(lines[0]["outcome"], "finished");
  EXPECT_DOUBLE_EQ(lines[0]["seconds"].get<double>(), 1.5);
  EXPECT_EQ(lines[1]["outcome"], "failed");
  EXPECT_EQ(lines[1]["error_code"], 603);
  EXPECT_EQ(lines[1]["error_text"], "DDEexecute - invalid command");
  EXPECT_EQ(lines[2]["outcome"], "not processed");
  const nlohmann::json& s = lines[3]["summary"];
  EXPECT_EQ(s["projects"], 3);
  EXPECT_EQ(s["finished"], 1);
  EXPECT_EQ(s["failed"], 1);
  EXPECT_EQ(s["skipped"], 1);
  EXPECT_EQ(s["exit_status"], 1);
  EXPECT_EQ(s["message"], "Error 103 : Project refused");
}

TEST(Unattended, ExitStatusPrecedence) {
  RunReport report(OpSpec(BatchOp::kExportApp));
  report.Add({"a.app", Outcome::kSourceMissing, 0, 0, ""});
  EXPECT_EQ(report.ExitStatus(), kExitProjectFailed);
  report.SetEnvironmentUnreachable();
  EXPECT_EQ(report.ExitStatus(), kExitNoEnvironment);
  report.SetFatalFileError();
  EXPECT_EQ(report.ExitStatus(), kExitFatalFileError);
}

}  // namespace
}  // namespace mxb
