// The per-driver trace log: settings from the driver's profile section, the
// text of one trace line, and appending to the log file.
#pragma once

#include <cstdint>
#include <string>

#include "files/control_block.h"
#include "files/file_decl.h"

namespace kor {

// Line end of every line the trace and the dump write.
inline constexpr const char* kTraceLineEnd = "\r\n";

// Reads "Profile", "TraceFile" and "Details" from the profile section into
// fcb->trace. Details of an ENCRYPT file are read only when the driver option
// string holds the word ALLOWDETAILS; otherwise they stay off.
void ReadTraceSettings(FileControlBlock* fcb, const char* section, const char* default_log);

// Whether one of the options ("/"-separated) is ALLOWDETAILS, in any case.
bool OptionsAllowDetails(const std::string& options);

// One trace line, line end included. `key` is the KEY of a key form or null;
// `os_error_text` is shown for result 90; `elapsed` is in hundredths.
std::string FormatTraceLine(int32_t op, const FileControlBlock& fcb, const KeyDescriptor* key,
                            uint32_t thread, int32_t result, const std::string& os_error_text,
                            uint32_t elapsed);

// Appends text to the log, opened shared with others and created when
// missing. Returns false when the log cannot be written.
bool AppendToTraceLog(const std::string& path, const std::string& text);

// Hundredths of a second from the system's tick count.
uint32_t TraceClock();

// The program's list of files whose declaration has been written to a log:
// true the first time it is asked for a file.
bool FirstDeclarationDump(const FileDescriptor* file);
void ForgetDeclarationDumps();

}  // namespace kor
