// The process-wide error state: ERRORCODE, its text, the driver's own error
// pair and the FILE whose operation failed; the save stack and the message
// override list.
#pragma once

#include <cstdint>
#include <string>

namespace kor {

// Layout of the state, also used for saved copies and copy out / copy in.
struct ErrorStateRecord {
  int32_t system_error;       // the system's last error when posted
  int32_t code;               // ERRORCODE; 0 = no error
  const void* file;           // FILE whose operation posted, or null
  char text[80];              // STRING(80), blank-padded
  char driver_text[255];      // STRING(255), blank-padded
  char driver_code_text[81];  // STRING(81), blank-padded
};

// Sets the state for `code` (0 = 300 + the system's last error).
void PostError(int32_t code);
// ERRORCODE 0, no file, all texts blank.
void ClearError();
// Text of a code: override, else message table, else "Unknown Error Posted : n".
// The result lives in one static buffer overwritten by the next call.
const char* ErrorText(int32_t code);
// Sets the driver's code text and message (null message: "File System Error : code").
void SetDriverError(const char* code_text, const char* message);
void SetErrorFile(const void* file);

int32_t ERRORCODE();
// The FILE of the last posted error (set by the drivers), or null.
const void* ErrorFile();
// The system error stored by the last PostError.
int32_t ErrorSystemCode();

// The state as it stands (texts blank-padded; a state never posted holds
// zero bytes). The language's ERROR(), DRIVERERROR() and DRIVERERRORCODE()
// read it (runtime/builtins/error_functions.h).
const ErrorStateRecord& CurrentErrorState();

void SaveErrorState();
void RestoreErrorState();
void CopyErrorStateOut(ErrorStateRecord* out);
void CopyErrorStateIn(const ErrorStateRecord* in);

// The message override list (filled from the environment file).
void SetMessageText(int32_t id, const char* text);
const char* FindMessageText(int32_t id);

// Initialisation entry: 0 clears the state, 1 frees the save stack and the
// override list.
void InitErrorState(int32_t arg);

}  // namespace kor
