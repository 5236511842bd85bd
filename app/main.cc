// Process entry of mxb.exe: brings the runtime up, runs the program
// procedure and brings everything down through the runtime's halt.
#include <windows.h>

#include "app/app_init.h"
#include "app/main_frame.h"
#include "runtime/core/startup.h"
#include "ui/system_target.h"

namespace {

// The program procedure.
void Program() {
  kor::RuntimeStart();
  // Every window without an icon of its own shows this one; a missing file is
  // not an error.
  kor::SetSystemProperty(kor::kPropIcon, "C:\\ICONS\\DIREVOD.ICO");
  mxb::MainFrame();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  kor::OsResetFpu();
  kor::RegisterModule(mxb::ProgramModule(), nullptr);
  if (kor::CheckRuntimeVersion(5, 0, 0)) {
    kor::InstallRuntimeFaultHandler();
    Program();
    kor::RuntimeShutdown();
  }
  kor::Halt(0);
}
