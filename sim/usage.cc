// The usage text printed by "Z9EE /?": the switches and settings keys.
#include "sim/settings.h"

namespace sim {

std::string UsageText() {
  return R"(Z9EE - the stand-in development environment: a DDE server for the batch
compile manager and its tests.

Usage: Z9EE [/switch[=value]]...

  /service=NAME    DDE service to answer (default KorvaneWin); any topic
  /delay=MS        wait from acknowledgement to output file (default 1000)
  /refuse=NAME     refuse commands for this project: stem or base name,
                   any letter case; ";" separates several; may repeat
  /noanswer        take commands but never acknowledge them
  /terminate=N     end each conversation after its N-th command (0 = never)
  /slowstart=MS    ignore initiates for MS after start
  /nooutput        acknowledge commands but write no output file
  /idle=MS         quit after MS without DDE traffic or pending output
                   (default 0 = never)
  /make=WHICH      files ExecuteProject writes: BOTH (default), EXE or DLL
  /log=PATH        event log (default Z9EE.LOG in the working directory)
  /multi           run even when another instance serves the same service
  /min             show the main window minimised
  /ini=PATH        settings file (default Z9EE.INI in the working directory,
                   else beside the program)
  /quit            close the running instance for the service (its window
                   gets WM_CLOSE), wait up to 10 s for it to end, and quit
  /?               print this text to standard output and quit

The settings file's [Z9EE] section takes the same names as keys, e.g.
  [Z9EE]
  Delay=500
  Refuse=C:\WORK\OLD;LEGACY
Switches override the file; /refuse adds to its list. "-" may replace "/",
and ":" may replace "=".

Refusals answer GetErrorNum/GetErrorMsg: 101 unknown command, 102 malformed
command, 103 project refused, 104 source file not found; 0 after a command
that was accepted.
)";
}

}  // namespace sim
