// Unattended runs: switches, help text, report and exit status.
#include "app/core/unattended.h"

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace mxb {

namespace {

// Splits on blanks; double quotes group a value with blanks and are dropped.
std::vector<std::string> Tokens(std::string_view line) {
  std::vector<std::string> out;
  std::string token;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) out.push_back(token);
      token.clear();
      any = false;
    } else {
      token += c;
      any = true;
    }
  }
  if (any) out.push_back(token);
  return out;
}

bool ParseMinutes(const std::string& value, uint8_t* minutes) {
  if (value.empty() || value.size() > 3) return false;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
  }
  int n = std::atoi(value.c_str());
  if (n < 1 || n > 255) return false;
  *minutes = static_cast<uint8_t>(n);
  return true;
}

// One switch; false with *error set.
bool ApplySwitch(const std::string& name, const std::string* value, RunOptions* o,
                 std::string* error) {
  const std::string key = Upper(name);
  auto needs = [&](bool has) {
    if (has == (value != nullptr)) return true;
    *error = "/" + name + (has ? " needs a value" : " takes no value");
    return false;
  };
  if (key == "?" || key == "HELP") return needs(false) && (o->help = true);
  if (key == "YES") return needs(false) && (o->confirmed = true);
  if (key == "HIDE") {
    if (!needs(false)) return false;
    o->show = ShowMode::kHidden;
    return true;
  }
  if (key == "RUN") {
    if (!needs(true)) return false;
    o->op = FindOpBySwitch(*value);
    if (o->op == nullptr) *error = "unknown operation \"" + *value + "\" for /run";
    return o->op != nullptr;
  }
  if (key == "REPORT") {
    if (!needs(true)) return false;
    if (value->empty()) *error = "/report needs a file name";
    o->report_path = *value;
    return !value->empty();
  }
  if (key == "TIMEOUT") {
    if (!needs(true)) return false;
    if (ParseMinutes(*value, &o->timeout_minutes)) return true;
    *error = "/timeout takes whole minutes from 1 to 255";
    return false;
  }
  *error = "unknown switch /" + name;
  return false;
}

}  // namespace

bool ParseCommandLine(std::string_view line, RunOptions* options, std::string* error) {
  for (const std::string& token : Tokens(line)) {
    if (token.size() < 2 || (token[0] != '/' && token[0] != '-')) {
      *error = "not a switch: " + token;
      return false;
    }
    size_t sep = token.find_first_of("=:", 1);
    std::string name = token.substr(1, sep == std::string::npos ? std::string::npos : sep - 1);
    std::string value = sep == std::string::npos ? std::string() : token.substr(sep + 1);
    if (!ApplySwitch(name, sep == std::string::npos ? nullptr : &value, options, error)) {
      return false;
    }
  }
  if (options->help) return true;
  if (options->unattended() && options->show == ShowMode::kNormal) {
    options->show = ShowMode::kMinimised;
  }
  if (options->op != nullptr && options->op->op == BatchOp::kImportApp && !options->confirmed) {
    *error = "/run=importapp replaces the applications: add /yes to confirm";
    return false;
  }
  return true;
}

std::string HelpText() {
  return "Usage: mxb [/run=OPERATION [/yes] [/report=FILE] [/timeout=MINUTES] [/hide]] [/?]\n"
         "\n"
         "Without switches the project list opens as usual. With /run the operation\n"
         "runs over the tagged projects without anyone at the screen, and the\n"
         "program ends: no message waits for an answer; every message goes to the\n"
         "activity log and to the report.\n"
         "\n"
         "  /run=OPERATION  makeexe, makedll, exportapp, importapp, importdct or\n"
         "                  exportdct\n"
         "  /yes            confirms importapp (required with it)\n"
         "  /report=FILE    the report, one JSON object per project and a summary\n"
         "                  (default MXBRUN.JSON)\n"
         "  /timeout=MIN    DDE time-out in minutes, 1 to 255 (default 15)\n"
         "  /hide           no window on the screen (default: minimised)\n"
         "  /?              this text\n"
         "\n"
         "Exit status: 0 every tagged project finished, 1 a project failed or was\n"
         "skipped, 2 runtime error, 3 the environment could not be reached, 4 a\n"
         "fatal file error.\n";
}

const char* OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::kFinished: return "finished";
    case Outcome::kSourceMissing: return "source missing";
    case Outcome::kOutputMissing: return "output missing";
    case Outcome::kFailed: return "failed";
    case Outcome::kNotProcessed: return "not processed";
  }
  return "?";
}

void RunReport::Note(std::string_view message) {
  if (!notes_.empty()) notes_ += "; ";
  notes_ += message;
}

int32_t RunReport::ExitStatus() const {
  if (fatal_file_error_) return kExitFatalFileError;
  if (no_environment_) return kExitNoEnvironment;
  for (const ProjectResult& r : results_) {
    if (r.outcome != Outcome::kFinished) return kExitProjectFailed;
  }
  return kExitAllFinished;
}

std::string RunReport::Text() const {
  std::string text;
  int finished = 0, failed = 0;
  for (const ProjectResult& r : results_) {
    nlohmann::json line = {
        {"operation", op_.title}, {"project", r.project},       {"outcome", OutcomeName(r.outcome)},
        {"seconds", r.seconds},   {"error_code", r.error_code}, {"error_text", r.error_text}};
    text += line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    if (r.outcome == Outcome::kFinished) ++finished;
    if (r.outcome == Outcome::kFailed) ++failed;
  }
  const int projects = static_cast<int>(results_.size());
  nlohmann::json summary = {{"operation", op_.title},
                            {"projects", projects},
                            {"finished", finished},
                            {"failed", failed},
                            {"skipped", projects - finished - failed},
                            {"exit_status", ExitStatus()},
                            {"message", notes_}};
  nlohmann::json line = {{"summary", summary}};
  return text + line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

bool RunReport::WriteTo(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << Text();
  out.close();
  return static_cast<bool>(out);
}

}  // namespace mxb
