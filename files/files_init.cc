// Initialisation and close-down of the file layer: the shutdown steps that
// commit an open transaction and close every open file.
#include "files/driver.h"
#include "files/statements.h"
#include "files/trace.h"
#include "runtime/core/startup.h"

namespace kor {

namespace {

void CommitOpenTransaction() {
  if (TransactionActive()) COMMIT();
}

}  // namespace

void InitFiles(int32_t arg) {
  if (arg == 0) {
    SetShutdownHook(ShutdownStep::kCommitTransaction, &CommitOpenTransaction);
    SetShutdownHook(ShutdownStep::kCloseFiles, &CloseAllFiles);
  } else {
    CloseAllFiles();
    ForgetDeclarationDumps();
  }
}

}  // namespace kor
