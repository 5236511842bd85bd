// The stand-in's behaviour: what it serves, how it answers and when it
// misbehaves on purpose. Read from the settings file's [Z9EE] section first,
// then from the command-line switches, which override single values and add
// to the list of refused projects. main_win32.cc documents every switch.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/command.h"

namespace sim {

struct Settings {
  std::string service = "KorvaneWin";  // the DDE service answered
  unsigned delay_ms = 1000;            // from acknowledgement to output file
  std::vector<std::string> refuse;     // projects refused (stem or base name)
  bool no_answer = false;              // never acknowledge a command
  unsigned terminate_after = 0;        // end a conversation after N commands
  unsigned slow_start_ms = 0;          // ignore initiates this long after start
  bool no_output = false;              // acknowledge but never write outputs
  unsigned idle_quit_ms = 0;           // quit after this long without DDE traffic
  std::string log_path = "Z9EE.LOG";   // the event log
  MakeOutputs make = MakeOutputs::kBoth;
  bool multi = false;      // allow a second instance for the same service
  bool minimized = false;  // show the main window minimised
  std::string ini_path;    // the settings file named on the command line
  bool usage = false;      // "/?": print the switches and quit
  bool quit = false;       // "/quit": close the running instance and quit
};

// Sets one value by its name (any letter case). Returns "" or why it failed.
std::string ApplySetting(Settings* settings, std::string_view name, std::string_view value);

// Applies the [Z9EE] section of a settings file's text ("Name=value" lines;
// ";" starts a comment line). Returns "" or the first fault, with its line.
std::string ApplySettingsText(Settings* settings, std::string_view text);

// Applies switches "/name", "/name=value" or "/name:value" ("-" works as
// "/"; "/?" asks for the usage). Returns "" or the first fault.
std::string ApplySwitches(Settings* settings, const std::vector<std::string>& args);

// Applies every switch that is valid and passes over the faulty ones: where
// the log goes and which settings file to read are known even when another
// switch is wrong.
void ApplyValidSwitches(Settings* settings, const std::vector<std::string>& args);

// The value of "/ini=" among the switches, or "" (read before the file).
std::string IniSwitch(const std::vector<std::string>& args);

// Whether the command's project is one of the refused ones: its stem or its
// base name equals an entry, ignoring letter case.
bool IsRefused(const Settings& settings, const Command& command);

// One line that states every setting, for the event log.
std::string Describe(const Settings& settings);

// The usage text of "/?".
std::string UsageText();

}  // namespace sim
