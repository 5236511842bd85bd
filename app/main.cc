// Process entry of mxb.exe: brings the runtime up, reads the command line's
// switches, runs the program procedure and brings everything down through
// the runtime's halt.
#include <stdio.h>
#include <windows.h>

#include <string>

#include "app/app_init.h"
#include "app/core/unattended.h"
#include "app/main_frame.h"
#include "runtime/core/startup.h"
#include "ui/system_target.h"

namespace {

// The program procedure; returns the run's exit status.
int32_t Program(const mxb::RunOptions& options) {
  kor::RuntimeStart();
  // Every window without an icon of its own shows this one; a missing file is
  // not an error.
  kor::SetSystemProperty(kor::kPropIcon, "C:\\ICONS\\DIREVOD.ICO");
  int32_t status = mxb::kExitAllFinished;
  mxb::MainFrame(options, &status);
  return status;
}

// Switch errors and the help text go to standard output, where a calling
// script reads them; a program started without one (from a shortcut, the
// desktop, the Run box) shows them in a box instead, as a GUI program must.
void Say(const std::string& text, bool error) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out != nullptr && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN) {
    fputs(text.c_str(), stdout);
    fflush(stdout);
    return;
  }
  MessageBoxA(nullptr, text.c_str(), "mxb",
              MB_OK | (error ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
  kor::OsResetFpu();
  mxb::RunOptions options;
  std::string error;
  if (!mxb::ParseCommandLine(command_line != nullptr ? command_line : "", &options, &error)) {
    Say("mxb: " + error + "\n" + mxb::HelpText(), true);
    return mxb::kExitProjectFailed;
  }
  if (options.help) {
    Say(mxb::HelpText(), false);
    return mxb::kExitAllFinished;
  }
  kor::RegisterModule(mxb::ProgramModule(), nullptr);
  int32_t status = mxb::kExitAllFinished;
  if (kor::CheckRuntimeVersion(5, 0, 0)) {
    kor::InstallRuntimeFaultHandler();
    status = Program(options);
    kor::RuntimeShutdown();
  }
  kor::Halt(static_cast<uint32_t>(status));
}
