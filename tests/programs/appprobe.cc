// Starts as mxb.exe does, with the program's own module and start-up table,
// opens two flat files with their trace on, and ends in one of two ways:
//   appprobe end  FIRST SECOND LOG   RuntimeShutdown, then Halt(0)
//   appprobe halt FIRST SECOND LOG   Halt(3) at once (no shutdown sequence)
// The trace in LOG shows which files the shutdown or the close-down closed.
// After RuntimeShutdown the probe prints "open files N" and whether FIRST,
// opened deny-all, can be opened again ("first closed" / "first still open").
#include <stdio.h>
#include <string.h>

#include "app/app_init.h"
#include "files/dos/dos_driver.h"
#include "files/driver.h"
#include "files/statements.h"
#include "runtime/core/error_state.h"
#include "runtime/core/startup.h"
#include "runtime/os/os.h"

namespace {

uint8_t g_record[16];

kor::FileDescriptor Declare(const char* label, const char* name) {
  kor::FileDescriptor f = {};
  f.driver = &kor::DosDriverEntry;
  f.label = label;
  f.label_length = static_cast<int32_t>(strlen(label));
  f.driver_name = "DOS";
  f.name = name;
  f.record = g_record;
  f.record_length = sizeof g_record;
  return f;
}

void TraceTo(kor::FileDescriptor& file, const char* log) {
  if (file.fcb == nullptr) return;
  file.fcb->trace.on = true;
  file.fcb->trace.file_name = log;
}

void Say(const char* text) {
  printf("%s\n", text);
  fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    fprintf(stderr, "usage: appprobe end|halt FIRST SECOND LOG\n");
    return 64;
  }
  kor::OsResetFpu();
  kor::RegisterModule(mxb::ProgramModule(), nullptr);
  if (!kor::CheckRuntimeVersion(5, 0, 0)) kor::Halt(0);
  kor::InstallRuntimeFaultHandler();
  kor::RuntimeStart();
  static kor::FileDescriptor first = Declare("First", argv[2]);
  static kor::FileDescriptor second = Declare("Second", argv[3]);
  kor::CREATE(&first);
  kor::CREATE(&second);
  kor::OPEN(&first, 0x12);  // deny all: nobody opens it while we hold it
  TraceTo(first, argv[4]);
  kor::SHARE(&second, 0x42);
  TraceTo(second, argv[4]);
  printf("open files %u\n", static_cast<unsigned>(kor::OpenFileCount()));
  fflush(stdout);
  if (strcmp(argv[1], "halt") == 0) kor::Halt(3);
  kor::RuntimeShutdown();
  printf("open files %u\n", static_cast<unsigned>(kor::OpenFileCount()));
  kor::OsHandle h = kor::kOsNoHandle;
  if (kor::OsOpen(argv[2], kor::kOsReadWrite | kor::kOsDenyAll, &h) == kor::kOsOk) {
    kor::OsClose(h);
    Say("first closed");
  } else {
    Say("first still open");
  }
  kor::Halt(0);
}
