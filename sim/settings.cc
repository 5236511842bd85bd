// Reads the stand-in's settings from the settings file and the switches.
#include "sim/settings.h"

#include <cctype>
#include <cstdlib>

namespace sim {
namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool ParseNumber(std::string_view text, unsigned* out) {
  text = Trim(text);
  if (text.empty() || text.size() > 9) return false;
  unsigned v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<unsigned>(c - '0');
  }
  *out = v;
  return true;
}

bool ParseFlag(std::string_view text, bool* out) {
  std::string v = Lower(Trim(text));
  if (v.empty() || v == "1" || v == "yes" || v == "on" || v == "true") *out = true;
  else if (v == "0" || v == "no" || v == "off" || v == "false") *out = false;
  else return false;
  return true;
}

bool ParseMake(std::string_view text, MakeOutputs* out) {
  std::string v = Lower(Trim(text));
  if (v == "both") *out = MakeOutputs::kBoth;
  else if (v == "exe") *out = MakeOutputs::kExe;
  else if (v == "dll") *out = MakeOutputs::kDll;
  else return false;
  return true;
}

// Adds the ";"-separated project names of a refuse value.
void AddRefused(Settings* s, std::string_view text) {
  while (!text.empty()) {
    size_t cut = text.find(';');
    std::string_view one = Trim(text.substr(0, cut));
    if (!one.empty()) s->refuse.emplace_back(one);
    if (cut == std::string_view::npos) break;
    text.remove_prefix(cut + 1);
  }
}

std::string Bad(std::string_view name, std::string_view value, const char* what) {
  return "bad value \"" + std::string(value) + "\" for " + std::string(name) + " (" + what + ")";
}

std::string ApplyNumber(std::string_view name, std::string_view value, unsigned* out) {
  return ParseNumber(value, out) ? "" : Bad(name, value, "a number expected");
}

std::string ApplyFlag(std::string_view name, std::string_view value, bool* out) {
  return ParseFlag(value, out) ? "" : Bad(name, value, "1 or 0 expected");
}

std::string ApplyText(std::string_view name, std::string_view value, std::string* out) {
  if (Trim(value).empty()) return Bad(name, value, "a text expected");
  *out = std::string(Trim(value));
  return "";
}

}  // namespace

std::string ApplySetting(Settings* s, std::string_view name, std::string_view value) {
  std::string n = Lower(name);
  if (n == "service") return ApplyText(name, value, &s->service);
  if (n == "delay") return ApplyNumber(name, value, &s->delay_ms);
  if (n == "noanswer") return ApplyFlag(name, value, &s->no_answer);
  if (n == "terminate") return ApplyNumber(name, value, &s->terminate_after);
  if (n == "slowstart") return ApplyNumber(name, value, &s->slow_start_ms);
  if (n == "nooutput") return ApplyFlag(name, value, &s->no_output);
  if (n == "idle") return ApplyNumber(name, value, &s->idle_quit_ms);
  if (n == "log") return ApplyText(name, value, &s->log_path);
  if (n == "multi") return ApplyFlag(name, value, &s->multi);
  if (n == "min") return ApplyFlag(name, value, &s->minimized);
  if (n == "ini") return ApplyText(name, value, &s->ini_path);
  if (n == "quit") return ApplyFlag(name, value, &s->quit);
  if (n == "make") return ParseMake(value, &s->make) ? "" : Bad(name, value, "EXE, DLL or BOTH");
  if (n == "refuse") {
    AddRefused(s, value);
    return "";
  }
  return "unknown setting \"" + std::string(name) + "\"";
}

std::string ApplySettingsText(Settings* s, std::string_view text) {
  bool in_section = false;
  int line_no = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++line_no;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      in_section = Lower(line) == "[z9ee]";
      continue;
    }
    if (!in_section) continue;
    size_t eq = line.find('=');
    std::string err = eq == std::string_view::npos
                          ? "\"Name=value\" expected"
                          : ApplySetting(s, Trim(line.substr(0, eq)), line.substr(eq + 1));
    if (!err.empty()) return "line " + std::to_string(line_no) + ": " + err;
  }
  return "";
}

std::string ApplySwitches(Settings* s, const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-'))
      return "unknown argument \"" + arg + "\" (switches start with \"/\")";
    std::string_view body = std::string_view(arg).substr(1);
    if (body == "?" || Lower(body) == "help") {
      s->usage = true;
      continue;
    }
    size_t sep = body.find_first_of("=:");
    std::string_view name = body.substr(0, sep);
    std::string_view value = sep == std::string_view::npos ? "" : body.substr(sep + 1);
    std::string err = ApplySetting(s, name, value);
    if (!err.empty()) return err;
  }
  return "";
}

void ApplyValidSwitches(Settings* settings, const std::vector<std::string>& args) {
  for (const std::string& arg : args) ApplySwitches(settings, {arg});
}

std::string IniSwitch(const std::vector<std::string>& args) {
  Settings scratch;
  ApplyValidSwitches(&scratch, args);  // faults are reported by the full pass
  return scratch.ini_path;
}

bool IsRefused(const Settings& s, const Command& command) {
  std::string stem = Lower(command.stem);
  std::string base = Lower(BaseName(command.stem));
  for (const std::string& r : s.refuse) {
    std::string entry = Lower(r);
    if (entry == stem || entry == base) return true;
  }
  return false;
}

std::string Describe(const Settings& s) {
  static const char* const kMake[] = {"BOTH", "EXE", "DLL"};
  std::string refuse;
  for (const std::string& r : s.refuse) refuse += (refuse.empty() ? "" : ";") + r;
  return "service=" + s.service + " delay=" + std::to_string(s.delay_ms) + " refuse=" + refuse +
         " noanswer=" + std::to_string(s.no_answer) +
         " terminate=" + std::to_string(s.terminate_after) +
         " slowstart=" + std::to_string(s.slow_start_ms) +
         " nooutput=" + std::to_string(s.no_output) + " idle=" + std::to_string(s.idle_quit_ms) +
         " make=" + kMake[static_cast<int>(s.make)] + " multi=" + std::to_string(s.multi);
}

}  // namespace sim
