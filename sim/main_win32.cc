// Z9EE.exe: the stand-in development environment. A DDE server for the
// service "KorvaneWin" (empty or any topic) that takes the batch driver's
// five bracketed commands, acknowledges them, and after a delay writes the
// output file each command is expected to make in the project's directory;
// it can also misbehave on purpose for the tests.
//
// Switches ("-" may replace "/", ":" may replace "="); the settings file's
// [Z9EE] section takes the same names as keys, and switches override it
// (/refuse adds to its list):
//   /service=NAME   DDE service answered (default KorvaneWin)
//   /delay=MS       from the acknowledgement to the output file (default 1000)
//   /refuse=NAME    refuse commands for this project (stem or base name, any
//                   letter case; ";" separates several; may repeat): 103
//   /noanswer       take commands but never acknowledge them (time-outs)
//   /terminate=N    post WM_DDE_TERMINATE after a conversation's N-th command
//   /slowstart=MS   ignore initiates for MS after start (connection loops)
//   /nooutput       acknowledge commands but write no output (completion waits)
//   /idle=MS        quit after MS without DDE traffic or pending output
//                   (default 0 = never)
//   /make=WHICH     what ExecuteProject writes: BOTH (default), EXE or DLL
//   /log=PATH       event log, appended to (default Z9EE.LOG in the working
//                   directory); format in event_log.h
//   /multi          run even when another instance serves the same service
//   /min            show the main window minimised
//   /ini=PATH       settings file (default Z9EE.INI in the working directory,
//                   else beside the program)
//   /quit           close the running instance for the service (WM_CLOSE to
//                   its window), wait up to 10 s for it to end, and quit:
//                   prints "Z9EE: closed N"; status 1 if it is still there
//   /?              print the usage to standard output and quit; with no
//                   standard output and no console, to Z9EE.TXT in the
//                   working directory
// A second instance for the same service (without /multi) logs "duplicate"
// and quits at once, so a client that starts "Z9EE" in a loop while the first
// is still starting slowly does not pile up servers. Exit codes: 0, or 1 for
// a bad switch or settings file, a log that cannot be opened, or a /quit
// that left the instance running.
#include <windows.h>

#include <ctype.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim/event_log.h"
#include "sim/quit.h"
#include "sim/server.h"
#include "sim/settings.h"

namespace {

constexpr unsigned kQuitWaitMs = 10000;

std::vector<std::string> Arguments() {
  std::vector<std::string> args;
  for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);
  return args;
}

bool ReadFile(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  *text = all.str();
  return true;
}

bool Exists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ProgramDirectory() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  size_t cut = s.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : s.substr(0, cut + 1);
}

// The settings file: the one named by /ini (it must exist), else Z9EE.INI
// in the working directory, else beside the program; "" for none.
std::string FindSettingsFile(const std::vector<std::string>& args, std::string* error) {
  std::string named = sim::IniSwitch(args);
  if (!named.empty()) {
    if (!Exists(named)) *error = "settings file not found: " + named;
    return named;
  }
  if (Exists("Z9EE.INI")) return "Z9EE.INI";
  std::string beside = ProgramDirectory() + "Z9EE.INI";
  return Exists(beside) ? beside : std::string();
}

// Reads the settings file and the switches. Returns "" or the fault.
std::string LoadSettings(const std::vector<std::string>& args, sim::Settings* settings) {
  std::string error;
  std::string ini = FindSettingsFile(args, &error);
  if (!error.empty()) return error;
  std::string text;
  if (!ini.empty()) {
    if (!ReadFile(ini, &text)) return "cannot read the settings file " + ini;
    error = sim::ApplySettingsText(settings, text);
    if (!error.empty()) return "settings file " + ini + ", " + error;
  }
  return sim::ApplySwitches(settings, args);
}

// Standard output if there is one (a handle inherited, or the parent's
// console); otherwise the file Z9EE.TXT in the working directory.
void Print(const std::string& text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  bool own = false;
  if ((out == nullptr || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
    out =
        CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    own = true;
  }
  if (out == nullptr || out == INVALID_HANDLE_VALUE) {
    out = CreateFileA("Z9EE.TXT", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    own = true;
  }
  if (out == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  if (own) CloseHandle(out);
}

// Holds the instance's claim on its service; false when another instance
// already has it.
bool ClaimService(const std::string& service, HANDLE* mutex) {
  std::string name = "Z9EE stand-in ";
  for (char c : service)  // one claim per service name, whatever its letter case
    name += c == '\\' ? '_' : static_cast<char>(toupper(static_cast<unsigned char>(c)));
  *mutex = CreateMutexA(nullptr, FALSE, name.c_str());
  return *mutex != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
}

int Serve(const sim::Settings& settings, sim::EventLog& log, int show) {
  HANDLE claim = nullptr;
  if (!settings.multi && !ClaimService(settings.service, &claim)) {
    log.Write("start", 0, "duplicate", "another instance serves " + settings.service);
    return 0;
  }
  log.Write("start", 0, "ok", sim::Describe(settings));
  sim::Server server(settings, log);
  if (!sim::Window::RegisterWindowClass(GetModuleHandleA(nullptr)) || !server.Create(show)) {
    log.Write("start", 0, "error", "cannot create the main window");
    return 1;
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (claim != nullptr) CloseHandle(claim);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  std::vector<std::string> args = Arguments();
  sim::Settings settings;
  std::string error = LoadSettings(args, &settings);
  if (error.empty() && settings.usage) {
    Print(sim::UsageText());
    return 0;
  }
  if (!error.empty()) {  // the fault goes to the log the switches name
    settings = sim::Settings();
    sim::ApplyValidSwitches(&settings, args);
  }
  if (error.empty() && settings.quit) {
    int closed = sim::QuitRunning(settings.service, kQuitWaitMs);
    Print(closed < 0 ? "Z9EE: still running\n" : "Z9EE: closed " + std::to_string(closed) + "\n");
    return closed < 0 ? 1 : 0;
  }
  sim::EventLog log;
  if (!log.Open(settings.log_path)) {
    Print("Z9EE: cannot open the log " + settings.log_path + "\n");
    return 1;
  }
  if (!error.empty()) {
    log.Write("start", 0, "error", error);
    Print("Z9EE: " + error + "\n");
    return 1;
  }
  return Serve(settings, log, show);
}
