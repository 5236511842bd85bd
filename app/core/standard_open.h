// The standard open: how every procedure of the application opens a data
// file, recovering, creating or repairing it before it gives up. It works
// through the file statements alone (OPEN, SEND, CREATE, BUILD, NAME), so it
// serves a file of any driver.
//
// Steps:
//   1. mode = 42h (read/write, deny none) when shared, else the given mode;
//      OPEN.
//   2. 32 "File Is Already Locked": SEND "Recover=10", OPEN once more.
//   3. by the error code:
//        0, 52 "File Already Open"   done
//        2 "File Not Found"          no-create set: step 4. Creation allowed:
//                                    CREATE (failing: warning 4, ends), OPEN
//                                    (failing: warning 5, ends). Else
//                                    warning 4 with the name (ends).
//        47 "Invalid Record Decl."   warning 1 (ends)
//        46 "Key File Must Be Rebuilt"  warning 2 (No ends); Yes: BUILD
//                                    (failing: warning 3, ends), OPEN
//   4. an error still set: warning 30 with the name, then the program ends
//      with "Disk Error" and exit code 1.
// The name in the messages is the file's NAME as the driver reports it.
#pragma once

#include <cstdint>

#include "app/core/warnings.h"
#include "files/file_decl.h"

namespace mxb {

inline constexpr uint32_t kSharedOpenMode = 0x42;
inline constexpr const char* kRecoverCommand = "Recover=10";
inline constexpr const char* kDiskErrorText = "Disk Error";

struct OpenRequest {
  bool create_allowed = true;
  bool no_create = false;
  uint32_t mode = 0;
  bool shared = true;
};

// On return the file is open; otherwise the sink has ended the program.
void StandardOpen(kor::FileDescriptor* file, WarningSink& sink, const OpenRequest& request = {});

}  // namespace mxb
