// The runtime log "Z9LOG.TXT" and the numbered diagnostics of the allocator
// that are written to it before they are shown as a runtime error.
#pragma once

#include <cstddef>

namespace kor {

// The log file, in the current directory.
inline constexpr const char kRuntimeLogName[] = "Z9LOG.TXT";
// The profile entry that also sends every line to the auxiliary device.
inline constexpr const char kAuxTraceSection[] = "Korvane 5 Tracing";
inline constexpr const char kAuxTraceKey[] = "auxtrace";
// A diagnostic's text is cut to this many bytes, its zero included.
inline constexpr size_t kDiagnosticTextSize = 200;
// Return addresses written after a diagnostic's text.
inline constexpr int kDiagnosticFrames = 10;

// Writes one line (the caller supplies its line end). The first line written
// in a process creates the file afresh; later lines are appended. When the
// profile entry "auxtrace" of section "Korvane 5 Tracing" is non-empty, the
// line also goes to the device "AUX" (to standard error on POSIX, which has
// no such device).
void RuntimeLogWrite(const char* line);
// printf-style form of RuntimeLogWrite.
void RuntimeLogPrintf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// Makes the next line create the file afresh and re-reads the profile entry,
// as at the start of a process (for tests that change directory).
void RestartRuntimeLog();

// The window library serialises log writes with its critical section; it
// installs the enter and leave procedures here.
using RuntimeLogLockProc = void (*)();
void SetRuntimeLogLock(RuntimeLogLockProc enter, RuntimeLogLockProc leave);

// The text of a diagnostic number; "Unknown Error" for a number that has none.
const char* DiagnosticText(int number);

// Formats the diagnostic's text with the arguments into kDiagnosticTextSize
// bytes, writes "Error: <text>", up to kDiagnosticFrames caller addresses and
// a line of dashes to the runtime log, then hands the number and text to the
// diagnostic hook. The start-up installs a hook that raises a runtime error
// with code 0 and the text (which returns only when runtime errors no longer
// halt); before any is installed the diagnostic is only logged.
void ReportDiagnostic(int number, ...);

// Replaces the diagnostic hook and returns the previous one. Tests install
// their own to see diagnostics without the runtime error box, and put the
// previous one back.
using DiagnosticHook = void (*)(int number, const char* text);
DiagnosticHook SetDiagnosticHook(DiagnosticHook hook);

}  // namespace kor
